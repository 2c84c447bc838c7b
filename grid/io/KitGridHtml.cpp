// HTML export: a rectangle of the grid as one table with a generated style
// sheet. Merged cells become column and row spans, every distinct cell look
// one CSS class (looks are compared without regard to case through a hash
// of their lower-cased declarations), links and line breaks markup, and cell
// images JPEG files beside the document.
//
// Beyond the plain layout: link addresses are quoted and escaped (a scraped
// address with a blank, a quote or ">" cannot break out of the attribute);
// image sources are proper file URLs; with XHTML every element is closed and
// every attribute quoted, so that the document is well-formed XML.

#include <QDir>
#include <QPainter>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QRegularExpression>
#include <QUrl>

#include "foundation/KitMiniHTMLText.h"
#include "grid/io/KitGridIOSupport.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridSettingGroups.h"
#include "grid/model/KitGridUtils.h"
#include "platform/vcl/Jpeg.h"
#include "platform/win32/Shell.h"

using namespace kitgridio;

namespace {

const QString kQ = QStringLiteral("\"");
const QLatin1String kEol("\r\n");

QString Attr(const QString& Text) { return EscapeHtmlText(Text, false); }

// XHTML is read as XML without its DTD: named entities other than XML's own
// become numeric references, and a character beyond U+FFFF written as two
// references (one per UTF-16 half) becomes one.
QString XmlSafeEntities(const QString& Text) {
  if (!Text.contains(u'&')) return Text;
  static const QRegularExpression re(QStringLiteral("&(#[0-9]+|[A-Za-z][A-Za-z0-9]*);"));
  QString out;
  qsizetype last = 0;
  auto it = re.globalMatch(Text);
  char16_t pendingHigh = 0;
  while (it.hasNext()) {
    const QRegularExpressionMatch m = it.next();
    out += Text.mid(last, m.capturedStart() - last);
    last = m.capturedEnd();
    const QString name = m.captured(1);
    if (name.startsWith(u'#')) {
      const uint cp = name.mid(1).toUInt();
      if (QChar::isHighSurrogate(cp)) {
        pendingHigh = static_cast<char16_t>(cp);
        continue;
      }
      if (QChar::isLowSurrogate(cp) && pendingHigh != 0) {
        out += QStringLiteral("&#%1;").arg(QChar::surrogateToUcs4(pendingHigh, static_cast<char16_t>(cp)));
        pendingHigh = 0;
        continue;
      }
      pendingHigh = 0;
      if (!QChar::isSurrogate(cp)) out += m.captured(0);
      continue;
    }
    pendingHigh = 0;
    if (name == u"amp" || name == u"lt" || name == u"gt" || name == u"quot" || name == u"apos") {
      out += m.captured(0);
      continue;
    }
    const QString decoded = UnescapeHtmlText(m.captured(0), true);
    if (decoded == m.captured(0)) {
      out += QLatin1String("&amp;") + m.captured(0).mid(1);  // not an entity we know: literal text
    } else {
      for (uint cp : decoded.toUcs4()) out += QStringLiteral("&#%1;").arg(cp);
    }
  }
  out += Text.mid(last);
  return out;
}

// The class list: declarations -> class number, compared without case.
class TClassList {
 public:
  int ClassOf(const QString& Decl) {
    const QString key = Decl.toLower();
    auto it = FIndex.constFind(key);
    if (it != FIndex.constEnd()) return *it;
    const int n = static_cast<int>(FDecls.size());
    FIndex.insert(key, n);
    FDecls << Decl;
    return n;
  }
  QString StyleSheet() const {
    QString s = QStringLiteral("<style>") + kEol;
    for (int i = 0; i < FDecls.size(); ++i) s += QStringLiteral(".c%1 {").arg(i) + FDecls[i] + u'}' + kEol;
    return s + QStringLiteral("</style>") + kEol;
  }

 private:
  QHash<QString, int> FIndex;
  QStringList FDecls;
};

// Links: a text with "://" (or "mailto:") and no closing tag becomes an
// anchor around the whole address, showing all or the part after the scheme.
QString Linkify(const QString& Text, bool Full) {
  if (Text.contains(QLatin1String("</"))) return Text;
  qsizetype at = Text.indexOf(QLatin1String("://"));
  qsizetype skip = 3;
  if (at < 0) {
    at = Text.indexOf(QLatin1String("mailto:"));
    skip = 7;
  }
  if (at < 0) return Text;
  const QString shown = Full ? Text : Text.mid(at + skip).left(255);
  return QStringLiteral("<a href=\"") + Attr(Text) + QStringLiteral("\">") + shown + QStringLiteral("</a>");
}

bool WriteJpeg(TGraphic* Graphic, const QString& Path) {
  if (auto* jpeg = dynamic_cast<TJPEGImage*>(Graphic)) {
    jpeg->SaveToFile(Path);
    return true;
  }
  QImage image = Graphic->ToImage();
  if (image.isNull()) return false;
  // JPEG has no alpha: transparent parts go on white.
  QImage flat(image.size(), QImage::Format_RGB32);
  flat.fill(Qt::white);
  {
    QPainter p(&flat);
    p.drawImage(0, 0, image);
  }
  QImageWriter writer(Path, "jpg");
  writer.setQuality(kitgridio::HtmlJpegQuality);
  return writer.write(flat);
}

}  // namespace

QString TKitStringGrid::SaveRectToHTMLString(const TGridRect& ARect, const QString& Dir) {
  THTMLSettings* hs = HTMLSettings();
  const bool xhtml = hs->XHTML();
  const QString br = xhtml ? QStringLiteral("<br />") : QStringLiteral("<br>");
  TClassList classes;
  QStringList rows;
  int imageNo = 0;
  const QString imageDir = Dir + hs->ImageFolder();
  bool imageDirMade = false;

  auto imageLink = [&](TGraphic* G) -> QString {
    if (G == nullptr || G->Empty()) return QString();
    if (!imageDirMade) {
      if (!QDir().mkpath(imageDir)) throw Exception(QStringLiteral("Cannot create ") + imageDir);
      imageDirMade = true;
    }
    const QString path = imageDir + u'/' + hs->ImageBaseName() + QString::number(imageNo + 1) + QStringLiteral(".jpg");
    if (!WriteJpeg(G, path)) return QString();
    ++imageNo;
    return QStringLiteral("<img src= \"") + Attr(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString()) +
           (xhtml ? QStringLiteral("\" alt=\"\" />") : QStringLiteral("\">"));
  };
  auto imageListLink = [&](int Index) -> QString {
    TCustomImageList* images = GridImages();
    if (images == nullptr || Index < 0 || Index >= images->Count()) return QString();
    TBitmap bmp;
    if (!images->GetBitmap(Index, &bmp)) return QString();
    return imageLink(&bmp);
  };

  auto cellElement = [&](int c, int r, bool header, int widthPx) -> QString {
    const int dataCol = DisplToRealCol(c);
    QString text = SaveCell(dataCol, r);
    if (hs->ConvertSpecialChars()) text = EscapeHtmlText(text, true);
    if (hs->NonBreakingText()) text = SpacesToNbsp(text);
    text = ReturnsToBrTags(text);
    if (xhtml) text.replace(QLatin1String("<br>"), br);
    if (URLShow()) text = Linkify(text, URLFull());
    if (header ? text.isEmpty() : text.trimmed().isEmpty()) text = QStringLiteral("&nbsp;");

    // Look: alignment and word wrap as the grid shows the cell; colours
    // only where the cell (or the colour event) sets them.
    TGridDrawState state;
    TBrush brush;
    TFont font;
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = WordWrap();  // the grid's setting, unless the cell or its hook says otherwise
    TCellGradientDirection gd = GradientVertical;
    GetVisualProperties(dataCol, r, state, false, false, false, &brush, colorTo, mirror, mirrorTo, &font, ha, va, ww,
                        gd);
    font.Assign(Font());
    font.SetColor(clNone);
    brush.SetColor(clNone);
    if (TCellProperties* rec = FindCellProperties(dataCol, r)) {
      if (!rec->FontName().isEmpty()) font.SetName(rec->FontName());
      if (rec->FontSize() != 0) font.SetHeight(rec->FontSize());
      font.SetStyle(rec->FontStyle());
      font.SetColor(rec->FontColor());
      brush.SetColor(rec->BrushColor());
    }
    GetCellColor(dataCol, r, state, &brush, &font);
    TColor background = brush.Color();
    if (header || IsFixed(c, r)) background = FixedColor();
    QStringList decl;
    if (hs->SaveColor() && background != clNone) decl << QStringLiteral("background-color: #") + ColorToHtmlHex(ColorToRGB(background));
    if (hs->SaveColor() && font.Color() != clNone) decl << QStringLiteral("color: #") + ColorToHtmlHex(ColorToRGB(font.Color()));
    decl << QStringLiteral("font-size:%1pt").arg(font.Size());
    if (font.Style().Contains(fsItalic)) decl << QStringLiteral("font-style: italic");
    if (font.Style().Contains(fsBold)) decl << QStringLiteral("font-weight: bold");
    decl << QStringLiteral("font-family: ") + font.Name();
    if (ha == taRightJustify) decl << QStringLiteral("text-align: right");
    else if (ha == taCenter) decl << QStringLiteral("text-align: center");
    decl << (va == vtaCenter ? QStringLiteral("vertical-align: middle")
                             : va == vtaBottom ? QStringLiteral("vertical-align: bottom") : QStringLiteral("vertical-align: top"));

    // Images.
    QString content = text;
    if (hs->ExportImages()) {
      if (TCellGraphic* g = GetCellGraphic(dataCol, r)) {
        switch (g->CellType()) {
          case ctBitmap:
            content = text + imageLink(dynamic_cast<TGraphic*>(g->CellBitmap()));
            break;
          case ctPicture:
            if (auto* pic = dynamic_cast<TPicture*>(g->CellBitmap())) content = text + imageLink(pic->Graphic());
            break;
          case ctDataImage:
            content = imageListLink(StrToIntDef(GetGridCell(dataCol, r), -1));
            break;
          case ctImageList:
            content = imageListLink(g->CellIndex()) + text;
            break;
          case ctImages:
            if (TIntList* list = g->CellImageList()) {
              QString links;
              for (int i = 0; i < list->Count(); ++i) links += imageListLink(list->Items(i));
              content = links + text;
            }
            break;
          case ctNode:
            content = u'+' + text;
            break;
          default:
            break;
        }
      }
    }

    QString el = QStringLiteral("<td class=\"c%1\"").arg(classes.ClassOf(decl.join(u';')));
    if (TCellProperties* rec = FindCellProperties(dataCol, r); rec != nullptr && rec->IsBaseCell()) {
      if (rec->CellSpanX() > 0) el += QStringLiteral(" colspan=\"%1\"").arg(rec->CellSpanX() + 1);
      if (rec->CellSpanY() > 0) el += QStringLiteral(" rowspan=\"%1\"").arg(rec->CellSpanY() + 1);
    }
    if (!ww) el += QStringLiteral(" nowrap=\"nowrap\"");
    if (widthPx >= 0) el += xhtml ? QStringLiteral(" width=\"%1px\"").arg(widthPx) : QStringLiteral(" width=%1px").arg(widthPx);
    if (xhtml) content = XmlSafeEntities(content);
    return el + u'>' + content + QStringLiteral("</td>");
  };
  auto covered = [&](int c, int r) {
    TCellProperties* rec = FindCellProperties(DisplToRealCol(c), r);
    return rec != nullptr && !rec->IsBaseCell();
  };

  TIntList* widths = hs->ColWidths();
  int firstData = ARect.Top;
  bool headerRow = false;
  if (FixedRows() > 0 && ARect.Top < FixedRows() && (SaveFixedCells() || SaveFixedRows())) {
    headerRow = true;
    QString row = QStringLiteral("<tr>") + kEol;
    for (int c = ARect.Left; c <= ARect.Right; ++c) {
      if (covered(c, 0)) continue;
      row += cellElement(c, 0, true, c < widths->Count() ? widths->Items(c) : -1) + kEol;
    }
    rows << row + QStringLiteral("</tr>") + kEol;
    firstData = std::max(ARect.Top, 1);
  }
  ExportNotification(esExportStart, firstData);
  struct TDone {
    TKitStringGrid* G;
    ~TDone() { G->ExportNotification(esExportDone, -1); }
  } done{this};
  for (int r = firstData; r <= ARect.Bottom; ++r) {
    ExportNotification(esExportNextRow, r);
    QString row = QStringLiteral("<tr>") + kEol;
    for (int c = ARect.Left; c <= ARect.Right; ++c) {
      if (covered(c, r)) continue;
      const int k = c - ARect.Left;
      row += cellElement(c, r, false, !headerRow && k < widths->Count() ? widths->Items(k) : -1) + kEol;
    }
    rows << row + QStringLiteral("</tr>") + kEol;
  }

  QString doc;
  if (xhtml) {
    doc += QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>") + kEol;
    doc += QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\"") + kEol;
    doc += QStringLiteral("\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">") + kEol;
    doc += QStringLiteral("<HTML xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">") + kEol;
  }
  doc += hs->HeaderText();
  doc += hs->PrefixTag();
  doc += classes.StyleSheet();
  QString table = QStringLiteral("<table border=\"%1\" cellspacing=\"%2\" cellpadding=\"%3\" ")
                      .arg(hs->BorderSize())
                      .arg(hs->CellSpacing())
                      .arg(hs->CellPadding());
  if (!hs->Summary().isEmpty()) table += QStringLiteral("summary=\"") + Attr(hs->Summary()) + QStringLiteral("\" ");
  if (!hs->TableStyle().isEmpty()) table += u' ' + hs->TableStyle() + u' ';
  table += QStringLiteral(" width=\"%1%\">").arg(hs->Width());
  doc += table + kEol;
  for (const QString& row : rows) doc += row;
  doc += QStringLiteral("</table>") + kEol;
  if (!hs->SuffixTag().isEmpty()) doc += hs->SuffixTag();
  if (!hs->FooterText().isEmpty()) doc += hs->FooterText();
  if (xhtml) doc += QStringLiteral("</HTML>") + kEol;
  return doc;
}

QString TKitStringGrid::SaveToHTMLString(const QString& Dir) {
  const TSaveArea a = SaveArea(*this);
  return SaveRectToHTMLString(MakeGridRect(a.StartCol, a.StartRow, a.EndCol, a.EndRow), Dir);
}

namespace {

QString ReadFramingFile(const QString& FileName) {
  if (FileName.isEmpty()) return QString();
  return DecodeText(ReadFileBytes(FileName), TEncoding::ANSI());
}

QString HtmlDocumentFolder(const QString& FileName) {
  QString dir = QFileInfo(FileName).absolutePath();
  dir.replace(u'\\', u'/');
  return dir.endsWith(u'/') ? dir : dir + u'/';
}

}  // namespace

void TKitStringGrid::SaveToHTML(const QString& FileName, bool Show, bool Unicode) {
  THTMLSettings* hs = HTMLSettings();
  QString text = ReadFramingFile(hs->HeaderFile());
  text += SaveToHTMLString(HtmlDocumentFolder(FileName));
  text += ReadFramingFile(hs->FooterFile());
  TEncoding* enc = Unicode ? (Encoding() ? Encoding() : TEncoding::UTF8()) : TEncoding::ASCII();
  WriteFileBytes(FileName, enc->GetPreamble() + enc->GetBytes(text));
  if (Show || hs->AutoPreview()) ShellExecute(0, QStringLiteral("open"), FileName, QString(), QString(), SW_SHOWNORMAL);
}

void TKitStringGrid::AppendToHTML(const QString& FileName, bool Show, bool Unicode) {
  THTMLSettings* hs = HTMLSettings();
  QString text = ReadFramingFile(hs->HeaderFile());
  text += SaveToHTMLString(HtmlDocumentFolder(FileName));
  text += ReadFramingFile(hs->FooterFile());
  bool hasContent = false;
  TEncoding* enc = AppendEncoding(
      FileName, Unicode ? (Encoding() ? Encoding() : TEncoding::UTF8()) : TEncoding::ASCII(), hasContent);
  TBytes bytes = enc->GetBytes(text);
  if (!hasContent) bytes = enc->GetPreamble() + bytes;
  AppendFileBytes(FileName, bytes);
  if (Show || hs->AutoPreview()) ShellExecute(0, QStringLiteral("open"), FileName, QString(), QString(), SW_SHOWNORMAL);
}
