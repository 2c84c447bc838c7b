// The text of a cell: its final colours, the text itself (formatted,
// formula-evaluated, masked, search-highlighted), the selection rectangle,
// and the text drawn as mini-HTML or plain text; and the size the text takes
// when painted that way.

#include <algorithm>

#include "foundation/KitMiniHTMLEngine.h"
#include "foundation/KitMiniHTMLText.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridDraw.h"
#include "grid/model/KitGridUtils.h"
#include "platform/win32/Gdi.h"

namespace {

constexpr int kMaxSingleLine = 4096;

// DrawText on the canvas with the canvas's font and colours selected; the
// height of the text drawn (or, with DT_CALCRECT, measured into R).
int CanvasDrawText(TCanvas* Canvas, const QString& Text, TRect& R, UINT Flags) {
  static constexpr std::pair<UINT, TTextFormats> kMap[] = {
      {DT_BOTTOM, tfBottom},           {DT_CALCRECT, tfCalcRect},    {DT_CENTER, tfCenter},
      {DT_EDITCONTROL, tfEditControl}, {DT_END_ELLIPSIS, tfEndEllipsis}, {DT_EXPANDTABS, tfExpandTabs},
      {DT_NOPREFIX, tfNoPrefix},       {DT_RIGHT, tfRight},          {DT_RTLREADING, tfRtlReading},
      {DT_SINGLELINE, tfSingleLine},   {DT_VCENTER, tfVerticalCenter}, {DT_WORDBREAK, tfWordBreak},
      {DT_NOCLIP, tfNoClip}};
  TTextFormat format;
  for (const auto& [flag, option] : kMap)
    if (Flags & flag) format.Include(option);
  QString text = Text;
  if (Flags & DT_CALCRECT) {
    Canvas->TextRect(R, text, format);
    return R.Height();
  }
  TRect r = R;
  Canvas->TextRect(r, text, format);
  // The height of what was drawn: measured the same way.
  return 0;
}

UINT HAlignToFlag(TAlignment A) { return A == taRightJustify ? DT_RIGHT : (A == taCenter ? DT_CENTER : DT_LEFT); }
UINT VAlignToFlag(TVAlignment A) { return A == vtaCenter ? DT_VCENTER : (A == vtaBottom ? DT_BOTTOM : DT_TOP); }

bool LooksLikeUrl(const QString& Text) {
  return Text.contains(QStringLiteral("://")) || Text.contains(QStringLiteral("mailto:"), Qt::CaseInsensitive);
}

}  // namespace

// ---------------------------------------------------------------------------
// Drawing

void TKitStringGrid::DrawCellText(TCellPaintContext& Ctx) {
  TCanvas* canvas = Ctx.Canvas;
  TRect& r = Ctx.Rect;
  const int rc = Ctx.RealCol;
  const int row = Ctx.Row;
  TColor urlColor = FURLColor;

  // 1. Selection colours.
  const bool rowSelected = Options().Contains(goRowSelect) && rc >= RawFixedCols() &&
                           rc <= ColCount() - FFixedRightCols - 1 && GetRowSelect(Ctx.SelRow);
  const bool selected = Ctx.State.Contains(gdSelected) || rowSelected;
  if (selected && !Ctx.Fixed) {
    const bool visible = IsSelectionVisible();
    if (visible) {
      if (FSelectionColor != clNone) canvas->Brush()->SetColor(FSelectionColor);
      if (FSelectionTextColor != clNone && Enabled() && FUseSelectionTextColor)
        canvas->Font()->SetColor(FSelectionTextColor);
      urlColor = FSelectionTextColor;
    }
    if ((!Focused() || HasCellCheckBox(rc, row)) && !visible) {
      canvas->Brush()->SetColor(Ctx.SavedBrush);
      canvas->Font()->SetColor(Ctx.SavedFont);
      urlColor = FURLColor;
    }
  }

  // 2. Text.
  QString text = GetFormattedCell(rc, row);

  // 3. Search highlight.
  if (FSearchFooter->Visible()) text = SearchHighlighted(Ctx, text);

  // 4. Kind; a formula shows its value.
  int kind = GetCellTextKind(text, FEnableHTML);
  if (kind == 3) {
    text = GetCellValue(rc, row);
    kind = GetCellTextKind(text, FEnableHTML);
  }

  // 6. Password.
  if (QueryPasswordCell(rc, row)) text = QString(text.size(), FPasswordChar);

  // 7. Text rectangle.
  if (Ctx.Fixed) {
    r.Left += GridLineWidth();
    r.Top += GridLineWidth();
  }
  const TRect cellRect = r;
  int savedDC = 0;
  if (Ctx.ScrollOffset > 0) {
    savedDC = ::SaveDC(canvas->Handle());
    ::IntersectClipRect(canvas->Handle(), r.Left, r.Top, r.Right, r.Bottom);
    r.Top -= Ctx.ScrollOffset;
  }

  // 8. Filter glyph.
  if (Ctx.FilterGlyph) PaintFilterGlyph(Ctx, cellRect);

  // 10. Outside a disjunct selection a cell shows the grid's own colours.
  if (FMouseActions->DisjunctRowSelect() || FMouseActions->DisjunctColSelect()) ResetDisjunctColours(Ctx, urlColor);

  // 11. Background picture.
  if (TBitmap* picture = FBackGround->Bitmap(); picture != nullptr && !picture->Empty()) {
    const TBackGroundCells cells = FBackGround->Cells();
    const bool covered = cells == bcAll || (cells == bcNormal && !Ctx.Fixed) || (cells == bcFixed && Ctx.Fixed);
    const bool shownSelected = selected && !Ctx.Fixed && IsSelectionVisible();
    const TCellProperties* own = FindCellProperties(rc, row);
    if (covered && !shownSelected && (own == nullptr || own->BrushColor() == clNone)) {
      const int gl = GridLineWidth();
      const TRect area(cellRect.Left - gl + 1, cellRect.Top - gl + 1, r.Right, r.Bottom);
      if (FBackGround->Display() == bdFixed)
        PaintCellBackgroundPicture(canvas, area);
      else if (FBackGround->Display() == bdTile)
        TileCellBackgroundPicture(canvas, area, rc, row);
    }
  }

  // 13. Selection rectangle.
  const TGridRect sel = Selection();
  if (FSelectionRectangle && sel.Contains(Ctx.DisplCol, row) && !Ctx.Fixed) {
    const bool lines = Options().Contains(goHorzLine) || Options().Contains(goVertLine);
    const int g = lines ? 1 : 0;
    const int gl = GridLineWidth();
    canvas->Pen()->SetColor(FSelectionRectangleColor);
    canvas->Pen()->SetWidth(lines ? 2 : 1);
    const TRect c = cellRect;
    if (Ctx.DisplCol == sel.Left) {
      canvas->MoveTo(c.Left + g - gl, c.Bottom);
      canvas->LineTo(c.Left + g - gl, c.Top - gl);
    }
    if (Ctx.DisplCol == sel.Right) {
      canvas->MoveTo(c.Right - 1, c.Bottom);
      canvas->LineTo(c.Right - 1, c.Top - gl);
    }
    const int x1 = c.Left - gl - (Ctx.DisplCol != sel.Left ? 1 : 0);
    const int x2 = Ctx.DisplCol != sel.Right ? c.Right : c.Right - 1;
    if (row == sel.Top) {
      canvas->MoveTo(x1, c.Top + g - gl);
      canvas->LineTo(x2, c.Top + g - gl);
    }
    if (row == sel.Bottom) {
      canvas->MoveTo(x1, c.Bottom + g - 1);
      canvas->LineTo(x2, c.Bottom + g - 1);
    }
    if (FSelectionResizer && Ctx.DisplCol == sel.Right && row == sel.Bottom) {
      const int s = int(Round(4 * GetDPIScale()));
      canvas->Brush()->SetColor(FSelectionRectangleColor);
      canvas->FillRect(TRect(c.Right - s, c.Bottom - s, c.Right, c.Bottom));
    }
    canvas->Pen()->SetWidth(1);
  }

  // 12. The grid-wide background gradient, the cell's slice of it.
  const TBackGroundDisplay display = FBackGround->Display();
  if ((display == bdGradientHorz || display == bdGradientVert) && FBackGround->ColorTo() != clNone) {
    TCellProperties* rec = FindCellProperties(rc, row);
    const TCellType type = GetCellType(Ctx.DisplCol, row);
    const bool ownColour = rec != nullptr && rec->BrushColor() != clNone &&
                           !TCellTypes{ctCheckBox, ctDataCheckBox, ctRadio, ctButton, ctBitButton, ctRadioButton,
                                       ctVirtButton}
                                .Contains(type);
    const TBackGroundCells cells = FBackGround->Cells();
    const bool covered = cells == bcAll || (cells == bcNormal && !Ctx.Fixed) || (cells == bcFixed && Ctx.Fixed);
    const bool shownSelected =
        IsSelectionVisible() && (selected || (Ctx.State.Contains(gdFocused) && Options().Contains(goDrawFocusSelected)));
    if (!ownColour && covered && !shownSelected) {
      const int gl = GridLineWidth();
      TRect g(cellRect.Left - 1, cellRect.Top - gl, cellRect.Right, cellRect.Bottom + gl - 1);
      const bool vertical = display == bdGradientVert;
      const int span = vertical ? ClientHeight() : ClientWidth();
      const TColor from = InterpolateColor(FBackGround->Color(), FBackGround->ColorTo(), 0,
                                           vertical ? g.Top : g.Left, span);
      const TColor to = InterpolateColor(FBackGround->Color(), FBackGround->ColorTo(), 0,
                                         vertical ? g.Bottom : g.Right, span);
      if (!Options().Contains(goHorzLine)) g.Bottom += 1;
      canvas->Brush()->SetColor(to);
      canvas->Pen()->SetColor(to);
      FillGradientRect(canvas, from, to, !vertical, g, 128);
    }
  }

  // 14. A graphic that stands for the text.
  if (Ctx.Graphic != nullptr && !Ctx.Layout.DrawText) {
    if (Ctx.ScrollOffset > 0) ::RestoreDC(canvas->Handle(), savedDC);
    return;
  }

  // 15. Margins, and the room of a graphic beside the text.
  r.Left += FXYOffset.X;
  r.Top += FXYOffset.Y;
  if (!FXYOffsetTopLeftOnly) r.Right -= FXYOffset.X;
  if (Ctx.Graphic != nullptr) {
    const TCellGraphicLayout& g = Ctx.Layout;
    if (g.HAlign == haBeforeText) r.Left += g.Width;
    else if (g.HAlign == haAfterText) r.Right -= g.Width;
    if (g.VAlign == vaAboveText) r.Top += g.Height;
    else if (g.VAlign == vaUnderText) r.Bottom -= g.Height;
  }
  if (rc == 0 && HasNodes() && !IsNode(row)) r.Left += GetNodeIndent(row);

  // 16. Filter-edit row: the filter type's image before the text, its name
  // as the placeholder of an empty cell.
  int textIndent = 0;
  QString placeholder;
  const bool filterEditCell = FFilterEdit->Enabled() && row == FFilterEdit->Row() && HasFilterEdit(rc, row);
  if (filterEditCell) PaintFilterEditType(Ctx, r, textIndent, placeholder);

  ::SetBkMode(canvas->Handle(), TRANSPARENT);
  if (kind == 1) {
    // 17. Mini-HTML.
    if (Ctx.FilterGlyph) r.Right -= 18;
    r.Left -= 1;
    const bool sortMarker = ShowsSortIndicator(Ctx);
    if (sortMarker) r.Right -= 10;
    TMiniHtmlDrawParams params;
    params.URLColor = urlColor;
    params.ScaleFactor = GetDPIScale();
    params.PictureContainer = FPictureContainer;
    params.PictureCache = FImageCache.get();
    params.ImageList = GetGridImages();
    params.WordWrap = Ctx.WordWrap;
    params.Selected = selected && IsSelectionVisible() && !Ctx.Fixed;
    TMiniHtmlDrawResult result;
    DrawMiniHtml(canvas, text, r, params, result);
    Ctx.TextWidth = result.Width + 2;
    // The marker stands in the room kept free right of the text rectangle.
    if (sortMarker) {
      const int y = Ctx.VAlign == vtaCenter ? r.Top + r.Height() / 2 : Ctx.VAlign == vtaBottom ? r.Bottom - 8 : r.Top + 8;
      DrawSortIndicator(canvas, rc, y, r.Right + 2);
    }
  } else if (kind == 2) {
    // 18. Rich text: the text rectangle in the brush colour (not for a
    // selected cell of an unfocused grid without a selection colour), then
    // the rich text over it.
    canvas->Pen()->SetColor(canvas->Brush()->Color());
    if (!(selected && !Focused() && FSelectionColor == clNone)) canvas->FillRect(r);
    canvas->Brush()->SetStyle(bsClear);
    PaintRichText(Ctx.DisplCol, row, r, canvas);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Font()->SetColor(clBlack);
  } else {
    // 19. Plain text.
    const bool url = FURLShow && LooksLikeUrl(text);
    if (url) {
      if (!FURLFull) StripUrlScheme(text);
      if (FURLUnderline) canvas->Font()->SetStyle(canvas->Font()->Style() + TFontStyles{fsUnderline});
      canvas->Font()->SetColor(urlColor);
    }
    UINT flags = DT_EDITCONTROL;
    const int lines = CountLines(text, FMultilinecells);
    if (lines <= 1 && !Ctx.WordWrap) {
      QString first;
      QString rest = text;
      ExtractFirstLine(rest, false, first);
      text = first;
      flags = DT_SINGLELINE;
      if (FEnhTextSize) flags |= DT_END_ELLIPSIS;
    } else if (Ctx.WordWrap && !FMultilinecells && FEnhTextSize) {
      flags |= DT_END_ELLIPSIS;
    }
    flags |= DT_EXPANDTABS | DT_NOPREFIX | HAlignToFlag(Ctx.HAlign) | VAlignToFlag(Ctx.VAlign);
    flags |= Ctx.WordWrap ? (DT_WORDBREAK | DT_EDITCONTROL) : DT_SINGLELINE;
    FVAlign = int(VAlignToFlag(Ctx.VAlign));
    if (Ctx.FilterGlyph) r.Right -= 16;
    // The graphic step places a graphic by the text's width only after the
    // text, before a text that is not left-aligned, or (a box with its own
    // alignment) beside it; other graphics spare the measuring.
    const TCellHAlign gha = Ctx.Layout.HAlign;
    const bool placedByText = gha == haAfterText || (gha == haBeforeText && Ctx.HAlign != taLeftJustify) ||
                              static_cast<bool>(OnGetAlignment);
    if (Ctx.Graphic != nullptr && !text.isEmpty() && placedByText) {
      TRect m = r;
      CanvasDrawText(canvas, text, m, flags | DT_CALCRECT);
      Ctx.TextWidth = m.Width() + 2;
    }
    if (FMultilinecells && lines > 1) {
      TRect probe(0, 0, 1000, 1000);
      const int lineHeight = CanvasDrawText(canvas, QStringLiteral("gh"), probe, DT_SINGLELINE | DT_CALCRECT);
      int top = r.Top;
      if (Ctx.VAlign == vtaCenter)
        top = r.Top + (r.Height() - lines * lineHeight) / 2;
      else if (Ctx.VAlign == vtaBottom)
        top = r.Bottom - lines * lineHeight;
      const UINT lineFlags = flags & ~(DT_VCENTER | DT_BOTTOM);
      QString rest = text;
      while (!rest.isEmpty()) {
        QString line;
        ExtractFirstLine(rest, true, line);
        TRect lr(r.Left, top, r.Right, r.Bottom);
        TRect m = lr;
        const int h = CanvasDrawText(canvas, line.isEmpty() ? QStringLiteral(" ") : line, m, lineFlags | DT_CALCRECT);
        CanvasDrawText(canvas, line, lr, lineFlags);
        top += std::max(h, lineHeight);
        if (top >= r.Bottom) break;
      }
    } else {
      if (filterEditCell) {
        // An empty filter cell names its filter type in italic grey; a typed
        // condition stands upright in black.
        if (text.isEmpty()) {
          text = placeholder;
          canvas->Font()->SetStyle(canvas->Font()->Style() + TFontStyles{fsItalic});
          canvas->Font()->SetColor(0x808080);
        } else {
          canvas->Font()->SetStyle(canvas->Font()->Style() - TFontStyles{fsItalic});
          canvas->Font()->SetColor(clBlack);
        }
      }
      if (flags & DT_SINGLELINE) text = text.left(kMaxSingleLine);
      if (canvas->Font()->Style().Contains(fsItalic) && Ctx.HAlign == taRightJustify) text += u' ';
      if ((flags & DT_END_ELLIPSIS) && Ctx.HAlign == taLeftJustify && !text.trimmed().isEmpty() &&
          canvas->TextWidth(text) > r.Width())
        text += QStringLiteral("     ");
      CanvasDrawText(canvas, text, r, flags);
      PaintErrorMarker(Ctx, text, r, flags, cellRect);
    }
    // 20. The sort indicator.
    if (ShowsSortIndicator(Ctx)) {
      const TRect t = cellRect;
      const int indent = textIndent;
      const int right = Ctx.FilterGlyph ? t.Right - 16 : t.Right;
      const int w = std::max(0, std::min(right - t.Left - indent - 16, canvas->TextWidth(text)));
      const int x = Ctx.HAlign == taRightJustify ? right - w - 10
                    : Ctx.HAlign == taCenter    ? t.Left + 8
                                                : t.Left + w + indent + 10;
      const int y = Ctx.VAlign == vtaCenter ? t.Top + t.Height() / 2 : Ctx.VAlign == vtaBottom ? t.Bottom - 8 : t.Top + 8;
      DrawSortIndicator(canvas, rc, y, x);
    }
    // 21. The URL underline goes again.
    if (url && FURLUnderline) canvas->Font()->SetStyle(canvas->Font()->Style() - TFontStyles{fsUnderline});
  }
  if (Ctx.ScrollOffset > 0) ::RestoreDC(canvas->Handle(), savedDC);
}

bool TKitStringGrid::ShowsSortIndicator(const TCellPaintContext& Ctx) {
  const int rc = Ctx.RealCol;
  if (!IsSortIndicatorCell(Ctx.DisplCol, Ctx.Row) || RawFixedRows() <= 0) return false;
  const int pos = FSortIndexes->FindIndex(rc);
  if (rc != FSortSettings->Column() && pos < 0) return false;
  if (rc < RawFixedCols() && !FSortSettings->FixedCols()) return false;
  return pos < 1 || FSortSettings->IndexShow();
}

void TKitStringGrid::PaintErrorMarker(TCellPaintContext& Ctx, const QString& Text, const TRect& R, UINT Flags,
                                      const TRect& Cell) {
  const TCellGraphic* g = Ctx.Graphic;
  if (g == nullptr || (g->CellType() != ctEmpty && g->CellType() != ctValue) || g->CellErrLen() <= 0) return;
  TCanvas* canvas = Ctx.Canvas;
  // The wave runs the height of "hg" below the top of the text's line.
  TRect probe(0, 0, 1000, 1000);
  const int hg = CanvasDrawText(canvas, QStringLiteral("hg"), probe, DT_SINGLELINE | DT_CALCRECT);
  Ctx.TextHeight = hg;
  // Where the drawn line stands: a text on one line moves with its
  // alignment, so the wave stays under the characters it marks (the marker
  // routine counts from a left edge one pixel before the first character).
  // Only a single-line layout centres vertically.
  TRect line = R;
  line.Left -= 1;
  const int width = canvas->TextWidth(Text);
  const bool oneLine = (Flags & DT_SINGLELINE) || (!Text.contains(u'\n') && width <= R.Width());
  if (oneLine && (Flags & DT_RIGHT))
    line.Left = R.Right - width - 1;
  else if (oneLine && (Flags & DT_CENTER))
    line.Left = R.Left + (R.Width() - width) / 2 - 1;
  if (Flags & DT_SINGLELINE) {
    if (Flags & DT_VCENTER)
      line.Top = R.Top + (R.Height() - hg) / 2;
    else if (Flags & DT_BOTTOM)
      line.Top = R.Bottom - hg;
  }
  // The wave never runs into the neighbouring cells.
  const int saved = ::SaveDC(canvas->Handle());
  ::IntersectClipRect(canvas->Handle(), Cell.Left, Cell.Top, Cell.Right, Cell.Bottom);
  DrawErrorMarker(canvas, Text, g->CellErrLen(), g->CellErrFrom(), hg, line);
  ::RestoreDC(canvas->Handle(), saved);
}

// ---------------------------------------------------------------------------
// Measuring

TSize TKitStringGrid::GetCellTextSize(int ACol, int ARow, bool VS, bool SB) {
  TSize size;
  // The cell's data lives at its real column (the display column mapped
  // through the hidden columns).
  MeasureCellText(ACol, DisplToRealCol(ACol), size, SB, VS, false, ARow);
  return size;
}

void TKitStringGrid::MeasureCellText(int ACol, int RCol, TSize& Size, bool SB, bool VS, bool FreeWidth, int ARow) {
  Size = TSize(0, 0);
  TCanvas* canvas = Canvas();
  // 1, 2.
  const bool editing = EditorMode() && ACol == Col() && ARow == Row();
  QString text = editing && InplaceEditor() != nullptr ? InplaceEditor()->Text() : GetFormattedCell(RCol, ARow);
  int kind = GetCellTextKind(text, FEnableHTML);
  // 3. Font.
  TGridDrawState state;
  GetFontProperties(ACol, RCol, ARow, state, canvas->Font(), canvas->Brush());
  if ((ARow < RawFixedRows() || ACol < RawFixedCols()) && FActiveCellShow &&
      FActiveCellFont->Style().Contains(fsBold))
    canvas->Font()->SetStyle(canvas->Font()->Style() + TFontStyles{fsBold});
  if (FZoomFactor != 0) {
    const int size = canvas->Font()->Size() + FZoomFactor;
    canvas->Font()->SetSize(size <= 0 ? 1 : size);
  }
  // 4.
  if (kind == 3) {
    text = GetCellValue(RCol, ARow);
    kind = GetCellTextKind(text, FEnableHTML);
  }
  // 5. Rectangle.
  TRect r = CellRect(ACol, ARow);
  r.Left += FXYOffset.X + 1;
  r.Top += FXYOffset.Y + 1;
  if (!FXYOffsetTopLeftOnly) {
    r.Right -= FXYOffset.X + 1;
    r.Bottom -= FXYOffset.Y;
  }
  if (SB) r.Right -= 17;
  if (FControlLook->DropDownAlwaysVisible() || FControlLook->SpinButtonsAlwaysVisible()) {
    TEditorType editor = FDefaultEditor;
    GetCellEditorType(RCol, ARow, editor);
    const bool dropDown = editor == edComboEdit || editor == edComboList || editor == edEditBtn ||
                          (editor >= edTrackbarDropDown && editor <= edKitGridDropDown);
    const bool spin = editor == edSpinEdit || editor == edFloatSpinEdit;
    if ((dropDown && FControlLook->DropDownAlwaysVisible()) || (spin && FControlLook->SpinButtonsAlwaysVisible()))
      r.Right -= int(Round(17 * GetDPIScale()));
  }
  // 6. Mini-HTML.
  if (kind == 1) {
    if (FreeWidth) r.Right = 65535;
    r.Bottom = 65535;
    const TSize s = MeasureMiniHtml(canvas, text, r, !FreeWidth || VS, GetDPIScale());
    Size = TSize(s.cx + 2, s.cy + 2);
    return;
  }
  // 7, 12. Rich text: the rich edit's required size, and its plain text in
  // the font of its first character measured as below; the larger of both.
  TSize richSize(0, 0);
  if (kind == 2) {
    if (!FDesignTime) {
      richSize = MeasureRichText(RCol, ARow, r, FreeWidth, canvas->Font());
      RichEdit()->GetSelAttributes(canvas->Font());
      text = RichEdit()->Text();
    } else {
      text = GetStrippedCell(RCol, ARow);
    }
  }
  struct TRichAtLeast {
    TSize& Size;
    const TSize& Rich;
    ~TRichAtLeast() {
      if (Rich.cx > 0 || Rich.cy > 0) Size = TSize(std::max(Size.cx, Rich.cx), std::max(Size.cy, Rich.cy));
    }
  } atLeast{Size, richSize};
  if (text.isEmpty()) return;
  if (VS) {
    // 9.
    if (editing && text.endsWith(u'\n')) text += u'w';
    if (FreeWidth) r.Right = 65535;
    if (FURLShow && !FURLFull) StripUrlScheme(text);
    TRect m = r;
    const int h = CanvasDrawText(canvas, text, m, DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL |
                                                       DT_WORDBREAK);
    Size = TSize(m.Width(), h);
    return;
  }
  // 10. Line by line.
  int width = 0;
  int lines = 0;
  QString rest = text;
  do {
    QString line;
    if (FMultilinecells) {
      ExtractFirstLine(rest, true, line);
    } else {
      ExtractFirstLine(rest, false, line);
      rest.clear();
    }
    if (FURLShow && !FURLFull && GetCellTextKind(line, FEnableHTML) != 1) StripUrlScheme(line);
    width = std::max(width, canvas->TextWidth(line));
    ++lines;
  } while (!rest.isEmpty());
  Size = TSize(width, lines * canvas->TextHeight(QStringLiteral("gh")));
}

bool TKitStringGrid::IsSortIndicatorCell(int ACol, int ARow) {
  if (!FSortSettings->Show() || RowCount() <= RawFixedRows() + 1) return false;
  const int sortRow = FSortSettings->Row();
  if (ARow == sortRow) return true;
  if (ARow < sortRow) {
    const TPoint span = CellSpan(ACol, ARow);
    return ARow + span.Y >= sortRow;
  }
  return false;
}

void TKitStringGrid::DrawSortIndicator(TCanvas* Canvas, int ACol, int Y, int X) {
  const double scale = GetDPIScale();
  auto s = [scale](int v) { return int(Round(v * scale)); };
  const int pos = FSortIndexes->FindIndex(ACol);
  Canvas->Pen()->SetColor(clBlack);
  Canvas->Brush()->SetColor(clBlack);
  Canvas->Brush()->SetStyle(bsSolid);
  if (FSortSettings->IndexShow()) {
    if (pos < 0) return;
    const bool ascending = FSortIndexes->SortDirections(pos);
    TRect box(X - s(7), Y - s(4), X + s(7), Y + s(9));
    if (ascending) box = TRect(box.Left, box.Top + 1, box.Right, box.Bottom + 1);
    Canvas->Brush()->SetColor(FSortSettings->IndexColor());
    Canvas->Pen()->SetColor(FSortSettings->IndexColor());
    Canvas->Rectangle(box);
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Brush()->SetColor(clBlack);
    if (ascending)
      Canvas->Polygon({TPoint(X - s(7), Y + s(9)), TPoint(X + s(7), Y + s(9)), TPoint(X, Y - s(4))});
    else
      Canvas->Polygon({TPoint(X - s(7), Y - s(4)), TPoint(X + s(7), Y - s(4)), TPoint(X, Y + s(9))});
    TFont saved;
    saved.Assign(Canvas->Font());
    Canvas->Font()->SetColor(clBlack);
    Canvas->Font()->SetSize(s(6));
    ::SetBkMode(Canvas->Handle(), TRANSPARENT);
    QString number = QString::number(pos + 1);
    TRect r = box;
    Canvas->TextRect(r, number, {tfCenter, tfVerticalCenter, tfSingleLine});
    Canvas->Font()->Assign(&saved);
    return;
  }
  TBitmap* up = FSortSettings->UpGlyph();
  TBitmap* down = FSortSettings->DownGlyph();
  const bool descending = FSortSettings->Direction() == sdDescending;
  if (up == nullptr || down == nullptr || up->Empty() || down->Empty()) {
    if (descending)
      Canvas->Polygon({TPoint(X - s(4), Y - s(2)), TPoint(X + s(4), Y - s(2)), TPoint(X, Y + s(5))});
    else
      Canvas->Polygon({TPoint(X - s(4), Y + s(5)), TPoint(X + s(4), Y + s(5)), TPoint(X, Y - s(2))});
  } else {
    TBitmap* glyph = descending ? down : up;
    glyph->SetTransparent(true);
    Canvas->Draw(X - 4, Y - 4, glyph);
    Canvas->Brush()->SetColor(FixedColor());
  }
}
