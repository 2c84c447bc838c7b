// The floating footer: the calculation of its column values, the expansion
// of its preview template, and the painting and clicks of its panel.

#include <algorithm>
#include <cmath>

#include "foundation/KitMiniHTMLEngine.h"
#include "grid/model/KitGrid.h"
#include "platform/vcl/Forms.h"

// ---------------------------------------------------------------------------
// Calculation

void TKitStringGrid::DoCalcFooter(int ACol) {
  TFloatingFooter* ff = FFloatingFooter.get();
  if (ff == nullptr || !ff->Visible() || ff->FooterStyle() != fsFixedLastRow || !ff->EnableCalculation()) return;
  const int footerRow = RowCount() - 1;
  const int hidden = ff->CalculateHiddenRows() ? NumHiddenRows() : 0;
  const int from = FixedRows();
  const int to = RowCount() - 2 + hidden;
  // With hidden rows the range is read by real row index up to the row
  // before the footer, so the footer row itself is never counted.
  const bool oldReal = FCalcRealRows;
  FCalcRealRows = hidden > 0;
  struct TRestore {
    bool& Flag;
    bool Old;
    ~TRestore() { Flag = Old; }
  } restore{FCalcRealRows, oldReal};
  const int firstCol = ACol == -1 ? 0 : ACol;
  // Columns by real index, hidden ones included.
  const int lastCol = ACol == -1 ? TotalColCount() - 1 : ACol;
  for (int c = std::max(firstCol, 0); c <= lastCol && c < TotalColCount(); ++c) {
    if (footerRow < 0 || !HasCellProperties(c, footerRow)) continue;
    const TColumnCalcType type = GetCellProperties(c, footerRow)->CalcType();
    double value = 0;
    switch (type) {
      case acSUM: value = ColumnSum(c, from, to); break;
      case acAVG: value = ColumnAvg(c, from, to); break;
      case acMIN: value = ColumnMin(c, from, to); break;
      case acMAX: value = ColumnMax(c, from, to); break;
      case acDISTINCT: value = ColumnDistinct(c, from, to); break;
      case acSTDDEV: value = ColumnStdDev(c, from, to); break;
      case acCOUNT:
        SetCells(c, footerRow, QString::number(RowCount() - FixedRows() - 1 + hidden));
        continue;
      case acCUSTOM: {
        QString text;
        if (OnCalcFooter) OnCalcFooter(this, c, footerRow + hidden, text);
        else if (ff->OnCalcFooter) ff->OnCalcFooter(this, c, footerRow + hidden, text);
        SetCells(c, footerRow, text);
        continue;
      }
      case acNONE:
      case acSPREAD:
        continue;
    }
    SetFloats(c, footerRow, value);
  }
  UpdateFooter();
}

QString TKitStringGrid::ExpandFooterTemplate(const QString& Template) {
  QString out;
  QString rest = Template;
  for (;;) {
    const qsizetype open = rest.indexOf(QStringLiteral("<#"));
    if (open < 0) break;
    out += rest.left(open);
    const qsizetype close = rest.indexOf(u'>', open + 2);
    if (close < 0) {
      // An unclosed tag stays as it is written.
      out += rest.mid(open);
      rest.clear();
      break;
    }
    int col = 0;
    if (TryStrToInt(rest.mid(open + 2, close - open - 2), col) && col >= 0 && col < ColCount() && Row() >= 0 &&
        Row() < RowCount())
      out += Cells(col, Row());
    rest = rest.mid(close + 1);
  }
  return out + rest;
}

// ---------------------------------------------------------------------------
// The panel

TF_MESSAGE_MAP(TFooterPanel, TCustomPanel) {
  return {
      TF_MESSAGE(CM_HINTSHOW, CMHintShow),
      TF_MESSAGE(CM_MOUSELEAVE, CMMouseLeave),
  };
}

int TFooterPanel::ColumnAt(int X) const {
  if (X < 0) return -1;
  int sum = 0;
  for (int c = 0; c < FGrid->FixedCols(); ++c) {
    sum += FGrid->ColWidths(c);
    if (X < sum) return c;
  }
  for (int c = FGrid->LeftCol(); c < FGrid->ColCount(); ++c) {
    sum += FGrid->ColWidths(c);
    if (X < sum) return c;
  }
  return -1;
}

void TFooterPanel::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomPanel::MouseMove(Shift, X, Y);
  if (FGrid == nullptr) return;
  const int col = ColumnAt(X);
  // The balloon belongs to one footer cell (its base cell when merged).
  if (FHToolTip != nullptr && FLastBalloonPos.X >= 0) {
    const int row = FGrid->RowCount() - 1;
    const TPoint cell = col >= 0 && row >= 0 ? FGrid->BaseCell(col, row) : TPoint(-1, -1);
    if (cell != FLastBalloonPos) {
      FHToolTip->Pop();
      FLastBalloonPos = TPoint(-1, -1);
    }
  }
  if (!FGrid->FloatingFooter()->ShowHint()) return;
  if (col != FLastHintX) {
    if (Application) Application->CancelHint();
    FLastHintX = col;
  }
}

void TFooterPanel::BalloonInit() {
  if (FBalloonInit || FGrid == nullptr) return;
  auto tip = std::make_unique<TBalloonTip>(this);
  // Without a window there is no tooltip; the window's creation tries again.
  if (!tip->Created() || !tip->AddTool()) return;
  FBalloonInit = true;
  tip->SetTitle(QStringLiteral("ToolTipText"), 3);
  FGrid->BalloonInitSettings(tip.get());
  tip->OnNeedText = [this] { return BalloonNeedText(); };
  FHToolTip = std::move(tip);
}

void TFooterPanel::BalloonDone() {
  FHToolTip.reset();
  FBalloonInit = false;
  FLastBalloonPos = TPoint(-1, -1);
}

QString TFooterPanel::BalloonNeedText() {
  if (FGrid == nullptr || FHToolTip == nullptr || !FGrid->Balloon()->Enable()) return QString();
  const int col = ColumnAt(FHToolTip->MousePos().X);
  const int row = FGrid->RowCount() - 1;
  if (col < 0 || row < 0) return QString();
  const TPoint base = FGrid->BaseCell(col, row);
  TKitStringGrid::TGridBalloonNotify answer;
  // The footer's balloons carry the information icon unless the cell's
  // balloon or the event choose another.
  FGrid->BalloonCellAnswer(base.X, base.Y, 1, answer);
  if (!answer.Answered || FHToolTip == nullptr) return QString();
  FLastBalloonPos = base;
  FHToolTip->SetTitle(answer.Title, answer.Icon);
  FHToolTip->SetMaxWidth(answer.MaxWidth);
  FHToolTip->SetColors(answer.TextColor, answer.BackgroundColor);
  return answer.Text;
}

void TFooterPanel::CMHintShow(TMessage& Message) {
  Inherited<TCustomPanel>(Message);
  auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
  if (info == nullptr || FGrid == nullptr) return;
  const int col = ColumnAt(info->CursorPos.X);
  FLastHintX = col;
  QString hint = info->HintStr;
  if (FGrid->OnGridHint && col >= 0) FGrid->OnGridHint(FGrid, FGrid->RowCount() - 1, col, hint);
  if (!FGrid->FloatingFooter()->ShowHint() || col < 0) {
    Message.Result = 1;
    return;
  }
  info->HintStr = hint;
}

void TFooterPanel::CMMouseLeave(TMessage& Message) {
  Inherited<TCustomPanel>(Message);
  FLastHintX = -1;
}

void TFooterPanel::CreateWnd() {
  TCustomPanel::CreateWnd();
  if (FGrid == nullptr) return;
  TFloatingFooter* ff = FGrid->FloatingFooter();
  SetHeight(ff->Visible() ? ff->Height() : 0);
  if (FGrid->OnCreatedFloatingFooter) FGrid->OnCreatedFloatingFooter(FGrid);
  if (FGrid->Balloon()->Enable()) BalloonInit();
}

void TFooterPanel::DestroyWnd() {
  TCustomPanel::DestroyWnd();
  BalloonDone();
}

int TFooterPanel::PaintedWidth() const {
  int w = 0;
  for (int c = 0; c < FGrid->FixedCols(); ++c) w += FGrid->ColWidths(c);
  for (int c = FGrid->LeftCol(); c < FGrid->ColCount(); ++c) w += FGrid->ColWidths(c);
  return w;
}

void TFooterPanel::Paint() {
  TCanvas* C = Canvas();
  if (C == nullptr || FGrid == nullptr) return;
  const int w = PaintedWidth();
  TFloatingFooter* ff = FGrid->FloatingFooter();
  switch (ff->FooterStyle()) {
    case fsFixedLastRow: PaintFixedLastRow(C, w); break;
    case fsColumnPreview: PaintColumnPreview(C, w); break;
    case fsCustomPreview: PaintCustomPreview(C, w); break;
    case fsCustomPaint:
      if (FGrid->OnPaintFooter) FGrid->OnPaintFooter(this, ff->Column(), ClientRect(), C);
      break;
  }
  if (ff->BorderColor() != clNone) {
    C->Pen()->SetColor(ff->BorderColor());
    C->Pen()->SetWidth(1);
    C->MoveTo(0, 0);
    C->LineTo(w, 0);
  }
}

void TFooterPanel::PaintFixedLastRow(TCanvas* C, int W) {
  TFloatingFooter* ff = FGrid->FloatingFooter();
  const TRect client = ClientRect();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(ff->Color());
  C->FillRect(TRect(0, 0, std::min(W, client.Right), client.Bottom));
  if (W < client.Right) {
    C->Brush()->SetColor(FGrid->Color());
    C->FillRect(TRect(W, 0, client.Right, client.Bottom));
  }
  const int row = FGrid->RowCount() - 1;
  if (row < 0) return;
  const TGridOptions options = FGrid->Options();
  const TGridLook look = FGrid->Look();
  const bool raised = (look == glSoft || look == glVDX || look == glXP || look == glVista) && !FGrid->Flat();
  const bool vert = options.Contains(goFixedVertLine);
  const bool horz = options.Contains(goFixedHorzLine);

  // The columns in painting order: the fixed ones, then the scrolled ones.
  struct TCol {
    int Col;
    bool Scrolled;
  };
  std::vector<TCol> cols;
  for (int c = 0; c < FGrid->FixedCols(); ++c) cols.push_back({c, false});
  for (int c = FGrid->LeftCol(); c < FGrid->ColCount(); ++c)
    if (FGrid->ColWidths(c) > 0) cols.push_back({c, true});

  // Separators.
  TColor lineColor = FGrid->GridLineColor();
  int x = 0;
  for (const TCol& col : cols) {
    const int left = x;
    x += FGrid->ColWidths(col.Col);
    if (vert && raised) {
      C->Pen()->SetColor(clWhite);
      C->MoveTo(left, 0);
      C->LineTo(left, client.Bottom);
    }
    C->Pen()->SetColor(lineColor);
    if (horz) {
      C->MoveTo(left, 0);
      C->LineTo(x, 0);
    }
    if (vert) {
      C->MoveTo(x - 1, 0);
      C->LineTo(x - 1, client.Bottom);
    }
    if (col.Scrolled && look != glVista) lineColor = 0x808080;
  }

  // The cells of the last row, drawn as fixed cells.
  x = 0;
  for (const TCol& col : cols) {
    const int c = col.Col;
    const int left = x;
    x += FGrid->ColWidths(c);
    if (!FGrid->IsBaseCell(c, row)) continue;
    int right = x;
    const TPoint span = FGrid->CellSpan(c, row);
    for (int k = 1; k <= span.X && c + k < FGrid->ColCount(); ++k) right += FGrid->ColWidths(c + k);
    TRect r(left, 0, right, client.Bottom);
    if (horz && raised) r.Left += 1;
    if (col.Scrolled) {
      if (FGrid->OnGetCellColor) {
        TBrush brush;
        brush.SetStyle(bsClear);
        TFont font;
        font.Assign(FGrid->Font());
        FGrid->OnGetCellColor(FGrid, row, c, TGridDrawState{gdFixed}, &brush, &font);
        if (brush.Style() != bsClear) {
          C->Brush()->Assign(&brush);
          C->FillRect(r);
        }
      }
      const TColor own = FGrid->Colors(c, row);
      if (own != clNone && own != clWindow) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(own);
        C->FillRect(r);
      }
      if (FGrid->OnPaintFooter) {
        FGrid->OnPaintFooter(this, c, r, C);
        continue;
      }
    }
    FGrid->DrawGridCell(C, c, row, r, TGridDrawState{gdFixed});
  }
}

void TFooterPanel::PaintSunkenFrame(TCanvas* C, int W) {
  const TRect client = ClientRect();
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(0x808080);
  C->MoveTo(0, client.Bottom - 1);
  C->LineTo(W - 1, client.Bottom - 1);
  C->LineTo(W - 1, -1);
  C->Pen()->SetColor(0xFFFFFF);
  C->MoveTo(W - 1, 0);
  C->LineTo(0, 0);
  C->LineTo(0, client.Bottom);
}

void TFooterPanel::PaintColumnPreview(TCanvas* C, int W) {
  TFloatingFooter* ff = FGrid->FloatingFooter();
  const TRect client = ClientRect();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(ff->Color());
  C->FillRect(TRect(0, 0, std::min(W, client.Right), client.Bottom));
  PaintSunkenFrame(C, W);
  const int col = ff->Column();
  const int row = FGrid->Row();
  const TRect r(1, 1, W - 1, client.Bottom - 1);
  if (col >= 0 && col < FGrid->ColCount() && row >= 0 && row < FGrid->RowCount()) {
    if (FGrid->OnPaintFooter) {
      FGrid->OnPaintFooter(this, col, r, C);
    } else {
      const TColor oldSel = FGrid->SelectionTextColor();
      FGrid->SetSelectionTextColor(clBlack);
      FGrid->DrawGridCell(C, col, row, r, TGridDrawState{});
      FGrid->SetSelectionTextColor(oldSel);
    }
  }
  if (W < client.Right) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FGrid->Color());
    C->FillRect(TRect(W, 0, client.Right, client.Bottom));
  }
}

void TFooterPanel::PaintCustomPreview(TCanvas* C, int W) {
  TFloatingFooter* ff = FGrid->FloatingFooter();
  const TRect client = ClientRect();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(ff->Color());
  C->FillRect(TRect(0, 0, std::min(W, client.Right), client.Bottom));
  PaintSunkenFrame(C, W);
  C->Font()->Assign(FGrid->Font());
  const TRect r(2, 2, W - 2, client.Bottom);
  C->Brush()->SetStyle(bsClear);
  if (FGrid->ComponentState().Contains(csDesigning)) {
    C->TextRect(r, r.Left, r.Top, ff->CustomTemplate());
  } else {
    TMiniHtmlDrawParams params;
    params.ImageList = FGrid->GetGridImages();
    params.PictureContainer = FGrid->PictureContainer();
    params.PictureCache = FGrid->ImageCache();
    params.URLColor = FGrid->URLColor();
    params.HoverColor = 0x808080;
    params.ScaleFactor = FGrid->GetDPIScale();
    TMiniHtmlDrawResult result;
    DrawMiniHtml(C, FGrid->ExpandFooterTemplate(ff->CustomTemplate()), r, params, result);
  }
  if (W < client.Right) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FGrid->Color());
    C->FillRect(TRect(W, 0, client.Right, client.Bottom));
  }
}

void TFooterPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomPanel::MouseUp(Button, Shift, X, Y);
  if (FGrid == nullptr) return;
  int col = -1, row = -1;
  MouseToCell(X, Y, col, row);
  if (FGrid->OnClick) FGrid->OnClick(FGrid);
  FGrid->ClickCell(row, col);
}
