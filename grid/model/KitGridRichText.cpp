// Hyperlinks in cell texts, rich-text cells (the hidden rich edit as the
// converter between rich text, plain text and painting) and the plain text
// of any cell.

#include "foundation/KitMiniHTMLText.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/RichText.h"

namespace {

// The schemes GetHyperlink and GetHyperlinkDetails look for, in this order.
const QStringList& UrlPrefixes() {
  static const QStringList k{QStringLiteral("file://"), QStringLiteral("http://"), QStringLiteral("https://"),
                             QStringLiteral("ftp://"),  QStringLiteral("ftps://"), QStringLiteral("nntp://"),
                             QStringLiteral("mailto:")};
  return k;
}

// The prefixes URLShowInText turns into anchors, in this order.
const QStringList& DisplayUrlPrefixes() {
  static const QStringList k{QStringLiteral("HTTP://"),  QStringLiteral("WWW."),   QStringLiteral("MAILTO:"),
                             QStringLiteral("HTTPS://"), QStringLiteral("NNTP://"), QStringLiteral("FILE://"),
                             QStringLiteral("FTP://")};
  return k;
}

}  // namespace

void TKitStringGrid::GetDisplText(int ACol, int ARow, QString& Value) {
  TBaseGrid::GetDisplText(ACol, ARow, Value);
  if (FURLShowInText) {
    for (const QString& prefix : DisplayUrlPrefixes()) {
      QString linked;
      if (LinkifyText(Value, prefix, linked)) {
        Value = linked;
        break;
      }
    }
  }
  if (FGrouping->ShowGroupCount() && ACol == 1 && IsNode(ARow)) {
    // The rows of the group below its header, without the child rows added
    // under it; a span of 0 counts the rows up to the next node.
    const int n = GetNodeSpanRows(ARow) - GetSubNodeCount(ARow) - 1;
    const QString format = FGrouping->GroupCountFormat();
    if (format.isEmpty()) {
      Value += QStringLiteral(" (%1)").arg(n);
      return;
    }
    // A format the formatter refuses leaves the text as it is (as a refused
    // float format leaves the cell's own text).
    try {
      Value += Format(format, {TVarRec(n)});
    } catch (const Exception&) {
    }
  }
}

bool TKitStringGrid::HasHyperlink(int i, int j) { return ContainsUrl(GetCellEx(i, j)); }

QString TKitStringGrid::GetHyperlink(int i, int j) {
  const QString lower = GetCellEx(i, j).toLower();
  for (const QString& prefix : UrlPrefixes()) {
    const qsizetype p = lower.indexOf(prefix);
    if (p < 0) continue;
    QString tail = lower.mid(p);
    qsizetype q = tail.indexOf(u'"');
    if (q < 0) q = tail.indexOf(u'\'');
    if (q >= 0) tail.truncate(q);
    return tail;
  }
  return {};
}

void TKitStringGrid::GetHyperlinkDetails(int i, int j, QString& URL, QString& Text) {
  URL.clear();
  Text.clear();
  const QString orig = GetCellEx(i, j);
  const QString lower = orig.toLower();
  for (const QString& prefix : UrlPrefixes()) {
    const qsizetype p = lower.indexOf(prefix);
    if (p < 0) continue;
    const QString tail = orig.mid(p);
    const qsizetype dq = tail.indexOf(u'"');
    if (dq >= 0) {
      URL = tail.left(dq);
      QString t = tail.mid(dq);
      const qsizetype gt = t.indexOf(u'>');
      if (gt >= 0) {
        t.remove(0, gt + 1);
        const qsizetype lt = t.indexOf(u'<');
        if (lt >= 0) Text = t.left(lt);
      }
    } else {
      const qsizetype sq = tail.indexOf(u'\'');
      URL = sq >= 0 ? tail.left(sq) : tail;
    }
    return;
  }
}

bool TKitStringGrid::HasHTMLForm(int ACol, int ARow) { return HasHtmlControl(GetCellEx(ACol, ARow)); }

TRichEdit* TKitStringGrid::RichEdit() {
  if (!FRichEdit) FRichEdit = std::make_unique<TRichEdit>();
  return FRichEdit.get();
}

void TKitStringGrid::CellToRich(int Col, int Row, TRichEdit* Richeditor) {
  if (Richeditor == nullptr) return;
  const QString text = GetCellEx(Col, Row);
  if (text.isEmpty()) {
    Richeditor->Clear();
    return;
  }
  Richeditor->LoadFromRtf(RtfTextToBytes(text));
}

QString TKitStringGrid::RichToString(TRichEdit* Richeditor) {
  if (Richeditor == nullptr || ComponentState().Contains(csDestroying)) return {};
  QString rtf = QString::fromLatin1(Richeditor->SaveToRtf());
  rtf.remove(QChar(0));
  return rtf;
}

void TKitStringGrid::RichToCell(int Col, int Row, TRichEdit* Richeditor) {
  SetCells(Col, Row, RichToString(Richeditor));
}

QString TKitStringGrid::GetStrippedCell(int c, int r) {
  const QString text = GetCellEx(c, r);
  if (text.contains(u"{\\"_qs)) {
    TRichEdit* re = RichEdit();
    CellToRich(c, r, re);
    return re->Text();
  }
  return MiniHtmlToText(text);
}

bool TKitStringGrid::IsRichTextCellSelected(int ACol, int ARow) {
  const TGridRect sel = Selection();
  const bool inSelection = ACol >= sel.Left && ACol <= sel.Right && ARow >= sel.Top && ARow <= sel.Bottom;
  const bool disjunctRows = FMouseActions->DisjunctRowSelect();
  const bool disjunctCols = FMouseActions->DisjunctColSelect();
  if (inSelection && !disjunctRows) {
    const bool focusedCurrent = ACol == Col() && ARow == Row() && Focused();
    if (!focusedCurrent || Options().Contains(goDrawFocusSelected)) return true;
  }
  if (disjunctRows && GetRowSelect(DisplToRealRow(ARow))) return true;
  if (disjunctCols && GetColSelect(ACol)) return true;
  return false;
}

void TKitStringGrid::PaintRichText(int ACol, int ARow, const TRect& ARect, TCanvas* Canvas) {
  if (FDesignTime || Canvas == nullptr) return;
  TRichEdit* re = RichEdit();
  // Text without a font of its own takes the cell's font.
  re->SetDefaultFont(Canvas->Font());
  CellToRich(DisplToRealCol(ACol), ARow, re);
  re->SetWordWrap(FWordWrapEx);
  if (IsRichTextCellSelected(ACol, ARow) && !FSelectionRTFKeep && FSelectionTextColor != clNone)
    re->SetAllTextColor(FSelectionTextColor);
  // The horizontal offset is the margin on every side (device pixels at 96
  // dots per inch).
  const int dpi = std::max(1, ::GetDeviceCaps(Canvas->Handle(), LOGPIXELSX));
  const int margin = FXYRTFOffset.X * dpi / 96;
  re->PaintTo(Canvas, ARect, margin, Canvas->Font()->Color());
}

TSize TKitStringGrid::MeasureRichText(int RCol, int ARow, const TRect& R, bool FreeWidth, TFont* Font) {
  TRichEdit* re = RichEdit();
  re->SetDefaultFont(Font);
  CellToRich(RCol, ARow, re);
  re->SetWordWrap(FWordWrapEx);
  const TSize need = re->RequiredSize(FreeWidth ? R.Width() : 1024);
  return TSize(need.cx, need.cy + 4);
}
