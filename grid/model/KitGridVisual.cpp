// The look of a cell: the combined visual properties (fonts, colours,
// gradient, alignment, word wrap) in their order of precedence, the font-only
// form used for measuring, the text shown for a cell, its alignment, and the
// selection colour mixing.

#include <algorithm>
#include <cmath>

#include "foundation/KitMiniHTMLText.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridNumberFormat.h"
#include "grid/model/KitGridDraw.h"
#include "grid/model/KitGridUtils.h"
#include "platform/rtl/SysUtils.h"

namespace {

// A number in "." form (after the locale's separators are made dots).
bool NumberValue(const QString& Text, double& Value) {
  static const TFormatSettings dot = TFormatSettings::Invariant();
  Extended v = 0;
  if (!TryStrToFloat(NumberTextToDot(Text), v, dot) || !std::isfinite(v)) return false;
  Value = v;
  return true;
}

int Ch(TColor c, int shift) { return (c >> shift) & 0xFF; }

// Plain cells and the cell kinds whose own colour counts.
const TCellTypes kPlainKinds{ctNone, ctRotated, ctEmpty};
const TCellTypes kControlKinds{ctCheckBox, ctDataCheckBox, ctRadio, ctButton, ctBitButton, ctRadioButton,
                               ctVirtButton};

}  // namespace

TColor MixColorPercent(TColor Color1, TColor Color2, int Percent) {
  if (Percent >= 100) return Color1;
  if (Percent <= 0 || Color1 == clNone) return Color2;
  if (Color2 == clNone) return Color1;
  const TColor a = ColorToRGB(Color1);
  const TColor b = ColorToRGB(Color2);
  const double p = Percent / 100.0;
  auto mix = [&](int shift) { return std::min(255, int(Round(p * Ch(a, shift) + (1 - p) * Ch(b, shift)))); };
  return TColor(mix(0) | mix(8) << 8 | mix(16) << 16);
}

TColor MixSelectionColor(TColor Color1, TColor Color2, bool Mix, int Percent) {
  return Mix ? MixColorPercent(Color1, Color2, Percent) : Color1;
}

void TKitStringGrid::GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print, bool Select,
                                         bool Remap, TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor,
                                         TColor& AMirrorColorTo, TFont* AFont, TAlignment& HA, TVAlignment& VA,
                                         bool& WW, TCellGradientDirection& GD) {
  const int fixedCols = RawFixedCols();
  const int fixedRows = RawFixedRows();
  const bool useDisplayFont = FPrintSettings->UseDisplayFont();

  // 1. Font.
  const bool fixedByPos = ACol < fixedCols || ARow < fixedRows;
  if (!Print || useDisplayFont)
    AssignCellFont(AFont, fixedByPos, true);
  else
    AFont->Assign(fixedByPos && FUseFixedFont ? FPrintSettings->FixedFont() : FPrintSettings->Font());

  // 2. Columns and rows.
  const int rc = Remap ? DisplToRealCol(ACol) : ACol;
  const int selRow = (FMouseActions->DisjunctRowSelect() && FMouseActions->RowSelectPersistent()) || FUseEnabledRows
                         ? DisplToRealRow(ARow)
                         : ARow;

  // 3. Start values.
  TColor brush = clNone;
  AColorTo = clNone;
  AMirrorColor = clNone;
  AMirrorColorTo = clNone;

  // 4. Cell properties.
  bool ownColour = false;      // no band, fixed, look or filter colour replaces it
  bool controlColour = false;  // a control kind with a colour of its own: keeps bands away
  bool controlKind = false;
  if (TCellProperties* rec = FindCellProperties(rc, ARow)) {
    const TCellType kind = GetCellType(ACol, ARow);
    if (kPlainKinds.Contains(kind)) {
      if (rec->BrushColor() != clNone) {
        brush = rec->BrushColor();
        ownColour = true;
      }
    } else if (kControlKinds.Contains(kind)) {
      controlKind = true;
      brush = rec->BrushColor();
      controlColour = brush != clNone;
    } else {
      brush = rec->BrushColor();
    }
    if (rec->FontColor() != clNone) AFont->SetColor(rec->FontColor());
    if (!rec->FontStyle().Empty()) AFont->SetStyle(rec->FontStyle());
    if (useDisplayFont) {
      if (rec->FontSize() != 0) AFont->SetHeight(rec->FontSize());
      if (!rec->FontName().isEmpty()) AFont->SetName(rec->FontName());
    }
    WW = rec->WordWrap();
    AColorTo = rec->BrushColorTo();
    GD = rec->GradientDirection();
  }

  // 5.
  if (AState.Contains(gdSelected)) GD = GradientVertical;

  // 6. Grid colour and bands.
  const int totalCols = ColCount() + NumHiddenColumns();
  const bool normalCol = ACol >= fixedCols && ACol < totalCols - FFixedRightCols;
  const bool normalRow = ARow >= fixedRows && ARow < RowCount() - FFixedFooters;
  if (brush == clNone || (controlKind && !controlColour)) {
    if (brush == clNone) brush = Color();
    if (FBands->Active() && (!Print || FBands->Print())) {
      if (normalCol && normalRow) {
        if (FBands->TotalLength() > 0) {
          if ((ARow - fixedRows) % FBands->TotalLength() < FBands->PrimaryLength())
            brush = FBands->PrimaryColor();
          else if (!FStyleBackground)
            brush = FBands->SecondaryColor();
        }
      } else {
        brush = FixedColor();
      }
    }
  }
  (void)controlColour;

  // 7. Fixed cells.
  const bool fixed = IsFixed(ACol, ARow) || fixedByPos;
  if (fixed && !ownColour) {
    brush = FixedColor();
    if (FUseFixedFont) AFont->Assign(Print && !useDisplayFont ? FPrintSettings->FixedFont() : FFixedFont.get());
    AState.Include(gdFixed);
    if (FLook != glStandard && FLook != glSoft && FLook != glClassic && FLook != glListView) {
      brush = FControlLook->FixedGradientFrom();
      AColorTo = FControlLook->FixedGradientTo();
      AMirrorColor = FControlLook->FixedGradientMirrorFrom();
      AMirrorColorTo = FControlLook->FixedGradientMirrorTo();
    }
  } else if (fixed) {
    AState.Include(gdFixed);
  }

  // 8. Filter-edit row.
  if (ARow == FFilterEdit->Row() && HasFilterEdit(ACol, ARow)) {
    brush = FFilterEdit->Color();
    AColorTo = AMirrorColor = AMirrorColorTo = FFilterEdit->Color();
  }

  // 9. Automatic number colours.
  if (FAutoColor->IsActive()) {
    const QString text = GetCellEx(rc, ARow);
    const int type = GetNumberTextType(text.trimmed());
    if (type == 0 || type == 1) {
      double value = 0;
      const QString number = ExtractFloatText(text);
      if (NumberValue(number, value)) {
        const TColorSetting* s = value < 0 ? FAutoColor->NegativeNumber() : FAutoColor->PositiveNumber();
        if (s->TextColor() != clNone) AFont->SetColor(s->TextColor());
        if (s->BkgColor() != clNone) brush = s->BkgColor();
      }
    }
  }

  // 10. Colour hook with the real column.
  ABrush->SetColor(brush);
  if (Print)
    GetCellPrintColor(rc, ARow, AState, ABrush, AFont);
  else
    GetCellColor(rc, ARow, AState, ABrush, AFont);

  // 11.
  if (OnGetCellGradient) {
    TColor c = ABrush->Color();
    OnGetCellGradient(this, ARow, rc, c, AColorTo, AMirrorColor, AMirrorColorTo, GD);
    ABrush->SetColor(c);
  }

  // 12.
  const TColor savedBrush = ABrush->Color();
  const TColor savedFont = AFont->Color();
  const TColor savedTo = AColorTo, savedMirror = AMirrorColor, savedMirrorTo = AMirrorColorTo;

  auto selectionColours = [&](bool mix) {
    const TColor b = ABrush->Color();
    ABrush->SetColor(mix && b != Color() ? MixSelectionColor(FSelectionColor, b, FSelectionColorMixer,
                                                             FSelectionColorMixerFactor)
                                         : FSelectionColor);
    AColorTo = FSelectionColorTo;
    AMirrorColor = FSelectionMirrorColor;
    AMirrorColorTo = FSelectionMirrorColorTo;
    if (FSelectionTextColor != clNone) AFont->SetColor(FSelectionTextColor);
  };

  const bool visible = !Print && Select && IsSelectionVisible();
  const bool disjunctRow = FMouseActions->DisjunctRowSelect();
  const bool disjunctCol = FMouseActions->DisjunctColSelect();
  // 13. Disjunct row selection.
  if (disjunctRow && !fixed && visible) {
    const bool selected = GetRowSelect(selRow);
    const bool counts = (selected && !(FMouseDown && ARow == Row())) ||
                        (FMouseDown && !selected && AState.Contains(gdSelected));
    if (counts) {
      AState = TGridDrawState{gdSelected};
      selectionColours(true);
    } else {
      AState.Exclude(gdSelected);
    }
  }
  // 14. Disjunct column selection.
  if (disjunctCol && !fixed && visible) {
    const bool selected = GetColSelect(ACol);
    const bool counts = (selected && (!FMouseDown || ACol != Col())) ||
                        (FMouseDown && !selected && AState.Contains(gdSelected));
    if (counts) {
      AState = TGridDrawState{gdSelected};
      selectionColours(false);
    }
  }
  // 15. Normal selection.
  if ((visible && !fixed && !disjunctRow && !disjunctCol && IsSelected(ACol, ARow)) ||
      (AState.Contains(gdSelected) && FMouseDown && IsSelectionVisible() && !Print && Select)) {
    selectionColours(true);
    AState.Include(gdSelected);
  }
  // 16. Disjunct cell selection.
  if (FMouseActions->DisjunctCellSelect() && IsSelectionVisible()) {
    const int key = (ARow << 16) | (ACol & 0xFFFF);
    if (FSelectedCells->HasValue(key)) {
      selectionColours(false);
      AState.Include(gdSelected);
    } else if (ACol == Col() && ARow == Row()) {
      AState.Exclude(gdSelected);
      ABrush->SetColor(savedBrush);
      AFont->SetColor(savedFont);
      AColorTo = savedTo;
      AMirrorColor = savedMirror;
      AMirrorColorTo = savedMirrorTo;
    }
  }
  // 17. Disabled look.
  if (FUseDisabledFont && ((FUseEnabledRows && !RowEnabled(selRow)) || !Enabled()))
    AFont->SetColor(FDisabledFontColor);
  // 18. Focus contrast.
  if (!Print && disjunctRow && IsSelected(ACol, ARow) && ARow != Row() && IsSelectionVisible() &&
      FSelectionColorTo == clNone && FShowFocusedSelectionColor)
    ABrush->SetColor(ChangeColorPercent(ABrush->Color(), -10));
  // 19. Word wrap and alignment.
  GetWordWrap(rc, ARow, WW);
  GetCellAlignment(rc, ARow, HA, VA);
}

void TKitStringGrid::GetFontProperties(int ACol, int RCol, int ARow, TGridDrawState& AState, TFont* AFont,
                                       TBrush* ABrush) {
  const bool fixed = IsFixed(ACol, ARow) || ACol < RawFixedCols() || ARow < RawFixedRows();
  AssignCellFont(AFont, fixed, true);
  if (TCellProperties* rec = FindCellProperties(RCol, ARow)) {
    if (rec->FontColor() != clNone) AFont->SetColor(rec->FontColor());
    if (!rec->FontStyle().Empty()) AFont->SetStyle(rec->FontStyle());
    if (rec->FontSize() != 0) AFont->SetHeight(rec->FontSize());
    if (!rec->FontName().isEmpty()) AFont->SetName(rec->FontName());
  }
  GetCellColor(RCol, ARow, AState, ABrush, AFont);
}

void TKitStringGrid::GetCellAlignment(int ACol, int ARow, TAlignment& HA, TVAlignment& VA) {
  HA = FDefaultAlignment;
  VA = FVAlignment;
  if (FAutoNumAlign) {
    QString text = GetCellEx(ACol, ARow);
    const bool wideFormula = text.size() > 3 && text[0] == u'|' && text[1] == u'\\' && text[3] == u'=';
    if (text.startsWith(u'=') || wideFormula) text = GetCellValue(ACol, ARow);
    text = text.trimmed();
    const int type = GetNumberTextType(text);
    if (type == 0 || type == 1 || type == 5) HA = taRightJustify;
  } else if (TCellProperties* rec = FindCellProperties(ACol, ARow)) {
    HA = rec->Alignment();
  }
  GetAlignment(ACol, ARow, HA, VA);
}

QString TKitStringGrid::GetFormattedCell(int ACol, int ARow) {
  const QString text = ExportCell(ACol, ARow);
  if (!OnGetFloatFormat) return text;
  const int type = GetNumberTextType(text);
  if (type != 0 && type != 1 && type != 5) return text;
  bool isFloat = true;
  QString format = FFloatFormat;
  OnGetFloatFormat(this, ACol, ARow, isFloat, format);
  if (!isFloat || format.isEmpty()) return text;
  try {
    if (FFormatType == ftKWF) {
      if (format.contains(u'd') || format.contains(u'x'))
        return Format(format, {TVarRec(Ints(ACol, ARow))});
      return Format(format, {TVarRec(Floats(ACol, ARow))});
    }
    return ApplyExcelNumberFormat(QVariant(Floats(ACol, ARow)), format);
  } catch (const Exception&) {
    return text;
  }
}
