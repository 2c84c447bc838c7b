#include "grid/model/KitGridSettingGroups.h"

#include <cmath>

#include "grid/model/KitGrid.h"

namespace {
// Sets a flag for the length of a scope: Assign copies without notices.
class TAssignScope {
 public:
  explicit TAssignScope(bool& Flag) : FFlag(Flag), FOld(Flag) { FFlag = true; }
  ~TAssignScope() { FFlag = FOld; }

 private:
  bool& FFlag;
  bool FOld;
};
}  // namespace

// ---------------------------------------------------------------------------
// TFooterPanel

TFooterPanel::TFooterPanel(TKitStringGrid* AGrid) : TCustomPanel(AGrid), FGrid(AGrid) {
  SetAlign(alBottom);
  SetHeight(0);
  SetBorderWidth(0);
  SetBevelOuter(bvNone);
  SetShowCaption(false);
}

void TFooterPanel::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
  ARow = FGrid->RowCount() - 1;
  int sum = 0;
  int col = -1;
  for (int c = 0; c < FGrid->FixedCols() && sum < X; ++c) {
    sum += FGrid->ColWidths(c);
    col = c;
  }
  for (int c = FGrid->LeftCol(); c < FGrid->ColCount() && sum < X; ++c) {
    sum += FGrid->ColWidths(c);
    col = c;
  }
  // A point within the fixed columns gives the left column minus one.
  if (col < FGrid->FixedCols()) col = FGrid->LeftCol() - 1;
  ACol = col;
}

// ---------------------------------------------------------------------------
// TFloatingFooter

TF_PUBLISHED(TFloatingFooter, TPersistent) {
  using F = TFloatingFooter;
  return TPublished<F>()
      .Color("BorderColor", &F::BorderColor, &F::SetBorderColor)
      .Default(clNone)
      .Boolean("CalculateHiddenRows", &F::CalculateHiddenRows, &F::SetCalculateHiddenRows)
      .Default(true)
      .Color("Color", &F::Color, &F::SetColor)
      .Default(clBtnFace)
      .Integer("Column", &F::Column, &F::SetColumn)
      .Default(0)
      .String("CustomTemplate", &F::CustomTemplate, &F::SetCustomTemplate)
      .Enum("FooterStyle", &F::FooterStyle, &F::SetFooterStyle)
      .Default(fsFixedLastRow)
      .Boolean("ShowHint", &F::ShowHint, &F::SetShowHint)
      .Default(false)
      .Boolean("Visible", &F::Visible, &F::SetVisible)
      .Default(false)
      .Event("OnCalcFooter", &F::OnCalcFooter);
}

TFloatingFooter::TFloatingFooter(TKitStringGrid* AGrid) : FGrid(AGrid) {}

TPersistent* TFloatingFooter::GetOwner() const { return FGrid; }

void TFloatingFooter::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TFloatingFooter*>(Source);
  if (src == nullptr) return;
  FCalculateHiddenRows = src->FCalculateHiddenRows;
  FColor = src->FColor;
  FColumn = src->FColumn;
  FCustomTemplate = src->FCustomTemplate;
  FFooterStyle = src->FFooterStyle;
  SetVisible(src->FVisible);
  FShowHint = src->FShowHint;
}

void TFloatingFooter::Invalidate() {
  if (FGrid != nullptr && FGrid->FooterPanel() != nullptr) FGrid->FooterPanel()->Invalidate();
}

void TFloatingFooter::SetBorderColor(TColor Value) {
  if (FBorderColor == Value) return;
  FBorderColor = Value;
  Invalidate();
}

void TFloatingFooter::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  Invalidate();
}

void TFloatingFooter::SetColumn(int Value) {
  if (FColumn == Value) return;
  FColumn = Value;
  Invalidate();
}

void TFloatingFooter::SetCustomTemplate(const QString& Value) {
  if (FCustomTemplate == Value) return;
  FCustomTemplate = Value;
  Invalidate();
}

void TFloatingFooter::SetShowHint(bool Value) {
  FShowHint = Value;
  if (FGrid != nullptr && FGrid->FooterPanel() != nullptr) FGrid->FooterPanel()->SetShowHint(Value);
}

void TFloatingFooter::SetHeight(int Value) {
  FHeight = Value;
  if (FGrid != nullptr && FGrid->FooterPanel() != nullptr && Value > 0 && FVisible)
    FGrid->FooterPanel()->SetHeight(int(Round((FHeight - 1) * FGrid->GetDPIScale())));
}

void TFloatingFooter::UpdateAddedRow() {
  if (FGrid == nullptr || FGrid->ComponentState().Contains(csDesigning)) return;
  const bool wantRow = FVisible && FFooterStyle != fsFixedLastRow;
  if (wantRow && !FDidInc) {
    FGrid->SetRowCount(FGrid->RowCount() + 1);
    FDidInc = true;
  } else if (!wantRow && FDidInc) {
    FGrid->SetRowCount(FGrid->RowCount() - 1);
    FDidInc = false;
  }
}

void TFloatingFooter::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  if (FGrid == nullptr) return;
  if (TFooterPanel* panel = FGrid->FooterPanel()) {
    panel->SetHeight(FVisible ? int(Round((FHeight - 1) * FGrid->GetDPIScale())) : 0);
    panel->SetVisible(FVisible);
  }
  FGrid->SetFixedFooters(FVisible && FFooterStyle == fsFixedLastRow ? 1 : 0);
  UpdateAddedRow();
  if (!FGrid->ComponentState().Contains(csDesigning) && FGrid->FixedRows() > 0) FGrid->SetFixedRowAlways(true);
  FGrid->SetHideLastRow(FFooterStyle == fsFixedLastRow && FVisible);
  FGrid->FloatingFooterChanged();
  FGrid->Invalidate();
}

void TFloatingFooter::SetFooterStyle(TFooterStyle Value) {
  FFooterStyle = Value;
  if (FGrid == nullptr) return;
  UpdateAddedRow();
  FGrid->SetHideLastRow(FVisible);
  FGrid->Invalidate();
  Invalidate();
}

TColumnCalcType TFloatingFooter::GetColumnCalc(int c) const {
  const int r = FGrid->RowCount() - 1;
  if (!FGrid->HasCellProperties(c, r)) return acNONE;
  return FGrid->GetCellProperties(c, r)->CalcType();
}

void TFloatingFooter::SetColumnCalc(int c, TColumnCalcType Value) {
  FGrid->GetCellProperties(c, FGrid->RowCount() - 1)->SetCalcType(Value);
  FGrid->RecalcFooterColumn(c);
}

// ---------------------------------------------------------------------------
// TPrintSettings

TF_PUBLISHED(TPrintSettings, TPersistent) {
  using P = TPrintSettings;
  return TPublished<P>()
      .Integer("FooterSize", &P::FooterSize, &P::SetFooterSize)
      .Default(0)
      .Integer("HeaderSize", &P::HeaderSize, &P::SetHeaderSize)
      .Default(0)
      .Enum("Time", &P::Time, &P::SetTime)
      .Default(int(TPrintPosition::ppNone))
      .Enum("Date", &P::Date, &P::SetDate)
      .Default(int(TPrintPosition::ppNone))
      .String("DateFormat", &P::DateFormat, &P::SetDateFormat)
      .Enum("PageNr", &P::PageNr, &P::SetPageNr)
      .Default(int(TPrintPosition::ppNone))
      .Enum("Title", &P::Title, &P::SetTitle)
      .Default(int(TPrintPosition::ppNone))
      .String("TitleText", &P::TitleText, &P::SetTitleText)
      .Object("TitleLines", &P::TitleLines, [](P& p, TStringList* v) { p.SetTitleLines(v); })
      .Object("Font", &P::Font, &P::SetFont)
      .Object("FixedFont", &P::FixedFont, &P::SetFixedFont)
      .Object("HeaderFont", &P::HeaderFont, &P::SetHeaderFont)
      .Object("FooterFont", &P::FooterFont, &P::SetFooterFont)
      .Enum("Borders", &P::Borders, &P::SetBorders)
      .Default(int(TPrintBorders::pbSingle))
      .Enum("BorderStyle", &P::BorderStyle, &P::SetBorderStyle)
      .Default(psSolid)
      .Color("BorderColor", &P::BorderColor, &P::SetBorderColor)
      .Default(clBlack)
      .Boolean("Centered", &P::Centered, &P::SetCentered)
      .Default(true)
      .Boolean("RepeatFixedRows", &P::RepeatFixedRows, &P::SetRepeatFixedRows)
      .Default(false)
      .Boolean("RepeatFixedCols", &P::RepeatFixedCols, &P::SetRepeatFixedCols)
      .Default(false)
      .Integer("LeftSize", &P::LeftSize, &P::SetLeftSize)
      .Default(0)
      .Integer("RightSize", &P::RightSize, &P::SetRightSize)
      .Default(0)
      .Integer("ColumnSpacing", &P::ColumnSpacing, &P::SetColumnSpacing)
      .Default(0)
      .Integer("RowSpacing", &P::RowSpacing, &P::SetRowSpacing)
      .Default(0)
      .Integer("TitleSpacing", &P::TitleSpacing, &P::SetTitleSpacing)
      .Default(0)
      .Enum("Orientation", &P::Orientation, &P::SetOrientation)
      .Default(poPortrait)
      .String("PagePrefix", &P::PagePrefix, &P::SetPagePrefix)
      .String("PageSuffix", &P::PageSuffix, &P::SetPageSuffix)
      .Integer("PageNumberOffset", &P::PageNumberOffset, &P::SetPageNumberOffset)
      .Default(0)
      .Integer("MaxPagesOffset", &P::MaxPagesOffset, &P::SetMaxPagesOffset)
      .Default(0)
      .Integer("FixedWidth", &P::FixedWidth, &P::SetFixedWidth)
      .Default(0)
      .Integer("FixedHeight", &P::FixedHeight, &P::SetFixedHeight)
      .Default(0)
      .Boolean("UseFixedHeight", &P::UseFixedHeight, &P::SetUseFixedHeight)
      .Default(false)
      .Boolean("UseFixedWidth", &P::UseFixedWidth, &P::SetUseFixedWidth)
      .Default(false)
      .Enum("FitToPage", &P::FitToPage, &P::SetFitToPage)
      .Default(fpNever)
      .String("JobName", &P::JobName, &P::SetJobName)
      .String("PageNumSep", &P::PageNumSep, &P::SetPageNumSep)
      .Boolean("NoAutoSize", &P::NoAutoSize, &P::SetNoAutoSize)
      .Default(false)
      .Boolean("NoAutoSizeRow", &P::NoAutoSizeRow, &P::SetNoAutoSizeRow)
      .Default(false)
      .Boolean("PrintGraphics", &P::PrintGraphics, &P::SetPrintGraphics)
      .Default(false)
      .Boolean("UseDisplayFont", &P::UseDisplayFont, &P::SetUseDisplayFont)
      .Default(true)
      .Boolean("UseDefaultOrientation", &P::UseDefaultOrientation, &P::SetUseDefaultOrientation)
      .Default(false);
}

TPrintSettings::TPrintSettings()
    : FTitleLines(std::make_unique<TStringList>()),
      FFont(std::make_unique<TFont>()),
      FFixedFont(std::make_unique<TFont>()),
      FHeaderFont(std::make_unique<TFont>()),
      FFooterFont(std::make_unique<TFont>()) {}

TPrintSettings::~TPrintSettings() = default;

void TPrintSettings::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TPrintSettings*>(Source);
  if (src == nullptr) throw EInvalidCast(QString::fromUtf8(RtlConsts::SInvalidCast));
  AssignPublishedProperties(StaticClassInfo(), this, src);
  FPrintComments = src->FPrintComments;
}

// ---------------------------------------------------------------------------
// THTMLSettings

TF_PUBLISHED(THTMLSettings, TPersistent) {
  using H = THTMLSettings;
  return TPublished<H>()
      .Boolean("AutoPreview", &H::AutoPreview, &H::SetAutoPreview)
      .Default(false)
      .Integer("BorderSize", &H::BorderSize, &H::SetBorderSize)
      .Default(1)
      .Integer("CellSpacing", &H::CellSpacing, &H::SetCellSpacing)
      .Default(0)
      .Integer("CellPadding", &H::CellPadding, &H::SetCellPadding)
      .Default(0)
      .Boolean("ConvertSpecialChars", &H::ConvertSpecialChars, &H::SetConvertSpecialChars)
      .Default(false)
      .Boolean("ExportImages", &H::ExportImages, &H::SetExportImages)
      .Default(true)
      .String("FooterFile", &H::FooterFile, &H::SetFooterFile)
      .String("FooterText", &H::FooterText, &H::SetFooterText)
      .String("HeaderFile", &H::HeaderFile, &H::SetHeaderFile)
      .String("HeaderText", &H::HeaderText, &H::SetHeaderText)
      .String("ImageFolder", &H::ImageFolder, &H::SetImageFolder)
      .String("ImageBaseName", &H::ImageBaseName, &H::SetImageBaseName)
      .Boolean("NonBreakingText", &H::NonBreakingText, &H::SetNonBreakingText)
      .Default(false)
      .String("PrefixTag", &H::PrefixTag, &H::SetPrefixTag)
      .Boolean("SaveColor", &H::SaveColor, &H::SetSaveColor)
      .Default(true)
      .Boolean("SaveFonts", &H::SaveFonts, &H::SetSaveFonts)
      .Default(true)
      .String("SuffixTag", &H::SuffixTag, &H::SetSuffixTag)
      .String("Summary", &H::Summary, &H::SetSummary)
      .String("TableStyle", &H::TableStyle, &H::SetTableStyle)
      .Integer("Width", &H::Width, &H::SetWidth)
      .Default(100)
      .Boolean("XHTML", &H::XHTML, &H::SetXHTML)
      .Default(false);
}

THTMLSettings::THTMLSettings() : FColWidths(std::make_unique<TIntList>(-1, -1)) {}

THTMLSettings::~THTMLSettings() = default;

void THTMLSettings::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<THTMLSettings*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  AssignPublishedProperties(StaticClassInfo(), this, src, {"ExportImages"});
}

// ---------------------------------------------------------------------------
// TSortSettings

TF_PUBLISHED(TSortSettings, TPersistent) {
  using S = TSortSettings;
  return TPublished<S>()
      .Boolean("AutoColumnMerge", &S::AutoColumnMerge, &S::SetAutoColumnMerge)
      .Default(false)
      .Boolean("AutoFormat", &S::AutoFormat, &S::SetAutoFormat)
      .Default(true)
      .Boolean("AutoSortForGrouping", &S::AutoSortForGrouping, &S::SetAutoSortForGrouping)
      .Default(true)
      .Enum("BlankPos", &S::BlankPos, &S::SetBlankPos)
      .Default(blFirst)
      .Integer("Column", &S::Column, &S::SetColumn)
      .Default(-1)
      .Enum("DefaultFormat", &S::DefaultFormat, &S::SetDefaultFormat)
      .Default(ssAutomatic)
      .Enum("Direction", &S::Direction, &S::SetDirection)
      .Default(sdAscending)
      .Object("DownGlyph", &S::DownGlyph, &S::SetDownGlyph)
      .Boolean("FixedCols", &S::FixedCols, &S::SetFixedCols)
      .Default(false)
      .Boolean("Full", &S::Full, &S::SetFull)
      .Default(true)
      .Color("HeaderColor", &S::HeaderColor, &S::SetHeaderColor)
      .Default(clNone)
      .Color("HeaderColorTo", &S::HeaderColorTo, &S::SetHeaderColorTo)
      .Default(clNone)
      .Color("HeaderMirrorColor", &S::HeaderMirrorColor, &S::SetHeaderMirrorColor)
      .Default(clNone)
      .Color("HeaderMirrorColorTo", &S::HeaderMirrorColorTo, &S::SetHeaderMirrorColorTo)
      .Default(clNone)
      .Boolean("IgnoreBlanks", &S::IgnoreBlanks, &S::SetIgnoreBlanks)
      .Default(false)
      .Boolean("IgnoreCase", &S::IgnoreCase, &S::SetIgnoreCase)
      .Default(false)
      .Color("IndexColor", &S::IndexColor, &S::SetIndexColor)
      .Default(0xFFFF)
      .Object("IndexDownGlyph", &S::IndexDownGlyph, &S::SetIndexDownGlyph)
      .Boolean("IndexShow", &S::IndexShow, &S::SetIndexShow)
      .Default(false)
      .Enum("IndexSortKey", &S::IndexSortKey, &S::SetIndexSortKey)
      .Default(ikShift)
      .Object("IndexUpGlyph", &S::IndexUpGlyph, &S::SetIndexUpGlyph)
      .Enum("InitSortDirection", &S::InitSortDirection, &S::SetInitSortDirection)
      .Default(sdAscending)
      .Boolean("NormalCellsOnly", &S::NormalCellsOnly, &S::SetNormalCellsOnly)
      .Default(false)
      .Integer("Row", &S::Row, &S::SetRow)
      .Default(0)
      .Boolean("Show", &S::Show, &S::SetShow)
      .Default(false)
      .Boolean("SingleColumn", &S::SingleColumn, &S::SetSingleColumn)
      .Default(false)
      .Boolean("SortOnVirtualCells", &S::SortOnVirtualCells, &S::SetSortOnVirtualCells)
      .Default(true)
      .Boolean("UndoSort", &S::UndoSort, &S::SetUndoSort)
      .Default(false)
      .Object("UpGlyph", &S::UpGlyph, &S::SetUpGlyph);
}

TSortSettings::TSortSettings(TKitStringGrid* AOwner)
    : FOwner(AOwner),
      FUpGlyph(std::make_unique<TBitmap>()),
      FDownGlyph(std::make_unique<TBitmap>()),
      FIndexUpGlyph(std::make_unique<TBitmap>()),
      FIndexDownGlyph(std::make_unique<TBitmap>()) {}

TSortSettings::~TSortSettings() = default;

TPersistent* TSortSettings::GetOwner() const { return FOwner; }

void TSortSettings::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TSortSettings*>(Source);
  if (src == nullptr) return;
  TAssignScope assigning(FAssigning);
  AssignPublishedProperties(StaticClassInfo(), this, src, {"IgnoreCase", "SortOnVirtualCells"});
}

void TSortSettings::SetColumn(int Value) {
  FColumn = Value;
  if (!FAssigning && FOwner != nullptr && FRow >= 0 && FRow < FOwner->RowCount()) FOwner->RepaintRow(FRow);
}

void TSortSettings::SetShow(bool Value) {
  FShow = Value;
  if (!FAssigning && FOwner != nullptr) FOwner->Invalidate();
}

void TSortSettings::SetRow(int Value) {
  if (!FAssigning && FOwner != nullptr && Value > FOwner->FixedRows())
    throw Exception(QStringLiteral("Sort row should be smaller than number of fixed rows"));
  FRow = Value;
}

void TSortSettings::SetHeaderColorField(TColor& Field, TColor Value) {
  if (Field == Value) return;
  Field = Value;
  if (!FAssigning && FOwner != nullptr && FOwner->FixedRows() > 0) FOwner->RepaintRow(FOwner->FixedRows() - 1);
}

void TSortSettings::SetHeaderColor(TColor Value) { SetHeaderColorField(FHeaderColor, Value); }
void TSortSettings::SetHeaderColorTo(TColor Value) { SetHeaderColorField(FHeaderColorTo, Value); }
void TSortSettings::SetHeaderMirrorColor(TColor Value) { SetHeaderColorField(FHeaderMirrorColor, Value); }
void TSortSettings::SetHeaderMirrorColorTo(TColor Value) { SetHeaderColorField(FHeaderMirrorColorTo, Value); }

// ---------------------------------------------------------------------------
// TFilterData and TFilter

TF_PUBLISHED(TFilterData, TCollectionItem) {
  using D = TFilterData;
  return TPublished<D>()
      .Integer("Column", &D::Column, &D::SetColumn)
      .Default(0)
      .String("Condition", &D::Condition, &D::SetCondition)
      .Boolean("CaseSensitive", &D::CaseSensitive, &D::SetCaseSensitive)
      .Default(true)
      .Enum("Data", &D::Data, &D::SetData)
      .Default(fcVirtual)
      .Boolean("Enabled", &D::Enabled, &D::SetEnabled)
      .Default(true)
      .String("Prefix", &D::Prefix, &D::SetPrefix)
      .String("Suffix", &D::Suffix, &D::SetSuffix)
      .Enum("Operation", &D::Operation, &D::SetOperation)
      .NoDefault()
      .Enum("Method", &D::Method, &D::SetMethod)
      .Default(fmExpression)
      .Boolean("RemoveAccented", &D::RemoveAccented, &D::SetRemoveAccented)
      .Default(false);
}

TFilterData::TFilterData(TCollection* Collection) : TCollectionItem(Collection) {}

void TFilterData::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TFilterData*>(Source);
  if (src == nullptr) {
    TCollectionItem::Assign(Source);
    return;
  }
  {
    TAssignScope assigning(FAssigning);
    AssignPublishedProperties(StaticClassInfo(), this, src, {"Method", "Enabled"});
  }
  Changed(false);
}

void TFilterData::BuildCondition(const QString& Value) {
  QString v = Value;
  if (v.contains(u' ')) v = u'"' + v + u'"';
  switch (FFilterType) {
    case ftStartsWith: SetCondition(v + u'*'); break;
    case ftEndsWith: SetCondition(u'*' + v); break;
    case ftContains: SetCondition(u'*' + v + u'*'); break;
    case ftNotContains: SetCondition(QStringLiteral("!*") + v + u'*'); break;
    case ftEqual: SetCondition(v); break;
    case ftNotEqual: SetCondition(u'!' + v); break;
    case ftLargerThan: SetCondition(u'>' + v); break;
    case ftSmallerThan: SetCondition(u'<' + v); break;
    case ftClear:
    case ftNone: break;
  }
}

TF_PUBLISHED(TFilter, TCollection) { return TPublished<TFilter>(); }

TFilter::TFilter(TKitStringGrid* AOwner) : TCollection(CollectionItemClassOf<TFilterData>()), FOwner(AOwner) {}

TPersistent* TFilter::GetOwner() const { return FOwner; }

TFilterData* TFilter::Add() {
  auto* item = static_cast<TFilterData*>(TCollection::Add());
  item->SetOperation(Count() == 1 ? foNONE : foAND);
  return item;
}

TFilterData* TFilter::Add(int16_t AColumn, const QString& ACondition, TFilterOperation AOperation) {
  auto* item = static_cast<TFilterData*>(TCollection::Add());
  item->SetColumn(AColumn);
  item->SetCondition(ACondition);
  item->SetOperation(AOperation);
  return item;
}

TFilterData* TFilter::Insert(int) { return static_cast<TFilterData*>(TCollection::Add()); }

TFilterData* TFilter::GetColFilter(int Col) {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Column() == Col) return Items(i);
  TFilterData* item = Add();
  item->SetColumn(int16_t(Col));
  return item;
}

void TFilter::RemoveColumnFilter(int Col) {
  for (int i = Count() - 1; i >= 0; --i)
    if (Items(i)->Column() == Col) Delete(i);
  if (FOwner != nullptr && !FOwner->ComponentState().Contains(csDestroying)) FOwner->RepaintCell(Col, 0);
}

bool TFilter::HasFilter(int Col) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Column() == Col) return true;
  return false;
}

bool TFilter::HasOtherFilter(int Col) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Column() != Col) return true;
  return false;
}

TFilterType TFilter::HasFilterType(int Col) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Column() == Col) return Items(i)->FilterType();
  return ftContains;
}

void TFilter::Update(TCollectionItem*) {
  if (FOwner != nullptr && !FOwner->ComponentState().Contains(csDestroying) && FOwner->RowCount() > 0)
    FOwner->RepaintRow(0);
}

// ---------------------------------------------------------------------------
// TFilterDropDown

TF_PUBLISHED(TFilterDropDown, TPersistent) {
  using F = TFilterDropDown;
  return TPublished<F>()
      .Boolean("AutoSize", &F::AutoSize, &F::SetAutoSize)
      .Default(false)
      .Boolean("CaseSensitive", &F::CaseSensitive, &F::SetCaseSensitive)
      .Default(false)
      .Color("Color", &F::Color, &F::SetColor)
      .Default(clWindow)
      .Boolean("ColumnWidth", &F::ColumnWidth, &F::SetColumnWidth)
      .Default(false)
      .Object("Font", &F::Font, &F::SetFont)
      .Object("Glyph", &F::Glyph, &F::SetGlyph)
      .Object("GlyphActive", &F::GlyphActive, &F::SetGlyphActive)
      .Integer("Height", &F::Height, &F::SetHeight)
      .Default(150)
      .Boolean("IgnoreHTML", &F::IgnoreHTML, &F::SetIgnoreHTML)
      .Default(true)
      .Enum("Method", &F::Method, &F::SetMethod)
      .Default(fmExpression)
      .Boolean("Sorted", &F::Sorted, &F::SetSorted)
      .Default(true)
      .String("TextChecked", &F::TextChecked, &F::SetTextChecked)
      .String("TextUnChecked", &F::TextUnChecked, &F::SetTextUnChecked)
      .Integer("Width", &F::Width, &F::SetWidth)
      .Default(150)
      .Event("OnChange", &F::OnChange);
}

TFilterDropDown::TFilterDropDown()
    : FFont(std::make_unique<TFont>()), FGlyph(std::make_unique<TBitmap>()), FGlyphActive(std::make_unique<TBitmap>()) {}

TFilterDropDown::~TFilterDropDown() = default;

void TFilterDropDown::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TFilterDropDown*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  TAssignScope assigning(FAssigning);
  AssignPublishedProperties(StaticClassInfo(), this, src, {"AutoSize", "Sorted"});
}

void TFilterDropDown::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  if (!FAssigning && OnChange) OnChange(this);
}

void TFilterDropDown::SetGlyphActive(TBitmap* Value) {
  FGlyphActive->Assign(Value);
  if (!FAssigning && OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TFilterEdit

TF_PUBLISHED(TFilterEdit, TPersistent) {
  using F = TFilterEdit;
  return TPublished<F>()
      .Boolean("AutoHotKey", &F::AutoHotKey, &F::SetAutoHotKey)
      .Default(false)
      .Boolean("CaseSensitive", &F::CaseSensitive, &F::SetCaseSensitive)
      .Default(true)
      .Color("Color", &F::Color, &F::SetColor)
      .Default(0xFFFFFF)
      .Enum("Columns", &F::Columns, &F::SetColumns)
      .Default(fdNormal)
      .Boolean("Enabled", &F::Enabled, &F::SetEnabled)
      .Default(false)
      .Integer("Row", &F::Row, &F::SetRow)
      .Default(0)
      .Object("TypeNames", &F::TypeNames, [](F& f, TStringList* v) { f.SetTypeNames(v); });
}

TFilterEdit::TFilterEdit(TKitStringGrid* AOwner) : FOwner(AOwner), FTypeNames(std::make_unique<TStringList>()) {
  for (const char* name : {"Starts with", "Ends with", "Contains", "Not contains", "Equal", "Not equal",
                           "Larger than", "Smaller than", "Clear"})
    FTypeNames->Add(QString::fromLatin1(name));
}

TFilterEdit::~TFilterEdit() = default;

TPersistent* TFilterEdit::GetOwner() const { return FOwner; }

void TFilterEdit::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TFilterEdit*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  TAssignScope assigning(FAssigning);
  AssignPublishedProperties(StaticClassInfo(), this, src);
}

void TFilterEdit::Repaint() {
  if (!FAssigning && FOwner != nullptr) FOwner->Invalidate();
}

void TFilterEdit::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  Repaint();
}

void TFilterEdit::SetColumns(TFilterDropDownColumns Value) {
  if (FColumns == Value) return;
  FColumns = Value;
  Repaint();
}

void TFilterEdit::SetRow(int Value) {
  if (FRow == Value) return;
  FRow = Value;
  Repaint();
}

// ---------------------------------------------------------------------------
// TGrouping

TF_PUBLISHED(TGrouping, TPersistent) {
  using G = TGrouping;
  return TPublished<G>()
      .Boolean("AutoSelectGroup", &G::AutoSelectGroup, &G::SetAutoSelectGroup)
      .Default(false)
      .Boolean("AutoCheckGroup", &G::AutoCheckGroup, &G::SetAutoCheckGroup)
      .Default(false)
      .String("GroupCountFormat", &G::GroupCountFormat, &G::SetGroupCountFormat)
      .Color("HeaderColor", &G::HeaderColor, &G::SetHeaderColor)
      .Default(clNone)
      .Color("HeaderColorTo", &G::HeaderColorTo, &G::SetHeaderColorTo)
      .Default(clNone)
      .Color("HeaderTextColor", &G::HeaderTextColor, &G::SetHeaderTextColor)
      .Default(clNone)
      .Boolean("HeaderUnderline", &G::HeaderUnderline, &G::SetHeaderUnderline)
      .Default(false)
      .Color("HeaderLineColor", &G::HeaderLineColor, &G::SetHeaderLineColor)
      .Default(0xFF0000)
      .Integer("HeaderLineWidth", &G::HeaderLineWidth, &G::SetHeaderLineWidth)
      .Default(2)
      .Boolean("MergeHeader", &G::MergeHeader, &G::SetMergeHeader)
      .Default(false)
      .Boolean("MergeSummary", &G::MergeSummary, &G::SetMergeSummary)
      .Default(false)
      .Boolean("ShowGroupCount", &G::ShowGroupCount, &G::SetShowGroupCount)
      .Default(false)
      .Boolean("Summary", &G::Summary, &G::SetSummary)
      .Default(false)
      .Color("SummaryColor", &G::SummaryColor, &G::SetSummaryColor)
      .Default(clNone)
      .Color("SummaryColorTo", &G::SummaryColorTo, &G::SetSummaryColorTo)
      .Default(clNone)
      .Color("SummaryTextColor", &G::SummaryTextColor, &G::SetSummaryTextColor)
      .Default(clNone)
      .Boolean("SummaryLine", &G::SummaryLine, &G::SetSummaryLine)
      .Default(false)
      .Color("SummaryLineColor", &G::SummaryLineColor, &G::SetSummaryLineColor)
      .Default(0xFF0000)
      .Integer("SummaryLineWidth", &G::SummaryLineWidth, &G::SetSummaryLineWidth)
      .Default(2);
}

void TGrouping::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TGrouping*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  AssignPublishedProperties(StaticClassInfo(), this, src,
                            {"Summary", "HeaderLineColor", "HeaderLineWidth", "SummaryLineColor", "SummaryLineWidth"});
}

// ---------------------------------------------------------------------------
// TDragDropSettings

TF_PUBLISHED(TDragDropSettings, TPersistent) {
  using D = TDragDropSettings;
  return TPublished<D>()
      .Boolean("OleAcceptFiles", &D::OleAcceptFiles, &D::SetOleAcceptFiles)
      .Default(true)
      .Boolean("OleAcceptText", &D::OleAcceptText, &D::SetOleAcceptText)
      .Default(true)
      .Boolean("OleAcceptURLs", &D::OleAcceptURLs, &D::SetOleAcceptURLs)
      .Default(true)
      .Boolean("OleAppendRows", &D::OleAppendRows, &D::SetOleAppendRows)
      .Default(false)
      .Boolean("OleColumnDragDrop", &D::OleColumnDragDrop, &D::SetOleColumnDragDrop)
      .Default(false)
      .Boolean("OleColumnReorder", &D::OleColumnReorder, &D::SetOleColumnReorder)
      .Default(false)
      .Boolean("OleColumnsOnly", &D::OleColumnsOnly, &D::SetOleColumnsOnly)
      .Default(false)
      .Boolean("OleCopyAlways", &D::OleCopyAlways, &D::SetOleCopyAlways)
      .Default(false)
      .Boolean("OleDropRTF", &D::OleDropRTF, &D::SetOleDropRTF)
      .Default(false)
      .Boolean("OleDropSource", &D::OleDropSource, &D::SetOleDropSource)
      .Default(false)
      .Boolean("OleDropTarget", &D::OleDropTarget, &D::SetOleDropTarget)
      .Default(false)
      .Boolean("OleEntireRows", &D::OleEntireRows, &D::SetOleEntireRows)
      .Default(false)
      .Boolean("OleInsertRows", &D::OleInsertRows, &D::SetOleInsertRows)
      .Default(false)
      .Boolean("OleRemoveRows", &D::OleRemoveRows, &D::SetOleRemoveRows)
      .Default(false)
      .Boolean("ShowCells", &D::ShowCells, &D::SetShowCells)
      .Default(true);
}

TDragDropSettings::TDragDropSettings(TKitStringGrid* AGrid) : FGrid(AGrid) {}

TDragDropSettings::~TDragDropSettings() = default;

TPersistent* TDragDropSettings::GetOwner() const { return FGrid; }

void TDragDropSettings::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TDragDropSettings*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  // The switches are copied as values: the drop target's registration is
  // the grid's own and does not travel with them.
  TAssignScope assigning(FAssigning);
  AssignPublishedProperties(StaticClassInfo(), this, src);
  FOleColumnPicker = src->FOleColumnPicker;
}

void TDragDropSettings::SetOleDropTarget(bool Value) {
  if (FOleDropTarget == Value) return;
  FOleDropTarget = Value;
  if (FAssigning) return;
  if (FGrid != nullptr && FGrid->ComponentState().Contains(csDesigning)) return;
  if (FGrid == nullptr) return;
  FGrid->SetOleDropTargetActive(Value);
  FRegistered = FGrid->OleDropTargetAssigned();
}

// ---------------------------------------------------------------------------
// TShowModified

TF_PUBLISHED(TShowModified, TPersistent) {
  using S = TShowModified;
  return TPublished<S>()
      .Color("Color", &S::Color, &S::SetColor)
      .Default(0x00FFFF)
      .Boolean("Enabled", &S::Enabled, &S::SetEnabled)
      .Default(false)
      .Event("OnChange", &S::OnChange);
}

void TShowModified::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TShowModified*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  TAssignScope assigning(FAssigning);
  AssignPublishedProperties(StaticClassInfo(), this, src);
}

void TShowModified::SetColor(TColor Value) {
  FColor = Value;
  if (!FAssigning && OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// Drag scrolling

TF_PUBLISHED(TDragScrollDelays, TPersistent) {
  using D = TDragScrollDelays;
  return TPublished<D>()
      .Integer("InitialDelay", &D::InitialDelay, &D::SetInitialDelay)
      .Default(1000)
      .Integer("RepeatDelay", &D::RepeatDelay, &D::SetRepeatDelay)
      .Default(250);
}

void TDragScrollDelays::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TDragScrollDelays*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  AssignPublishedProperties(StaticClassInfo(), this, src);
}

TF_PUBLISHED(TDragScrollMargins, TPersistent) {
  using M = TDragScrollMargins;
  return TPublished<M>()
      .Integer("TopMargin", &M::TopMargin, &M::SetTopMargin)
      .Default(50)
      .Integer("BottomMargin", &M::BottomMargin, &M::SetBottomMargin)
      .Default(50)
      .Integer("LeftMargin", &M::LeftMargin, &M::SetLeftMargin)
      .Default(50)
      .Integer("RightMargin", &M::RightMargin, &M::SetRightMargin)
      .Default(50);
}

void TDragScrollMargins::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TDragScrollMargins*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  AssignPublishedProperties(StaticClassInfo(), this, src);
}

TF_PUBLISHED(TDragScrollOptions, TPersistent) {
  using O = TDragScrollOptions;
  return TPublished<O>()
      .Boolean("Active", &O::Active, &O::SetActive)
      .Default(false)
      .Object("Delays", &O::Delays, &O::SetDelays)
      .Object("Margins", &O::Margins, &O::SetMargins);
}

TDragScrollOptions::TDragScrollOptions()
    : FDelays(std::make_unique<TDragScrollDelays>()), FMargins(std::make_unique<TDragScrollMargins>()) {}

TDragScrollOptions::~TDragScrollOptions() = default;

void TDragScrollOptions::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TDragScrollOptions*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  AssignPublishedProperties(StaticClassInfo(), this, src);
}

// ---------------------------------------------------------------------------
// TGridItem

TF_PUBLISHED(TGridItem, TCollectionItem) {
  using G = TGridItem;
  return TPublished<G>()
      .Integer("Idx", &G::Idx, &G::SetIdx)
      .Integer("Height", &G::Height, &G::SetHeight)
      .Integer("Level", &G::Level, &G::SetLevel);
}

TGridItem::TGridItem(TCollection* Collection)
    : TCollectionItem(Collection), FItems(std::make_unique<TStringList>()) {}

TGridItem::~TGridItem() = default;

// ---------------------------------------------------------------------------
// TBalloonSettings

TF_PUBLISHED(TBalloonSettings, TPersistent) {
  using B = TBalloonSettings;
  return TPublished<B>()
      .Integer("AutoHideDelay", &B::AutoHideDelay, &B::SetAutoHideDelay)
      .Default(-1)
      .Color("BackgroundColor", &B::BackgroundColor, &B::SetBackgroundColor)
      .Default(clNone)
      .Boolean("Enable", &B::Enable, &B::SetEnable)
      .Default(false)
      .Integer("InitialDelay", &B::InitialDelay, &B::SetInitialDelay)
      .Default(-1)
      .Integer("ReshowDelay", &B::ReshowDelay, &B::SetReshowDelay)
      .Default(-1)
      .Boolean("ShowCell", &B::ShowCell, &B::SetShowCell)
      .Default(true)
      .Color("TextColor", &B::TextColor, &B::SetTextColor)
      .Default(clNone)
      .Integer("Transparency", &B::Transparency, &B::SetTransparency)
      .Default(0);
}

void TBalloonSettings::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TBalloonSettings*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  TAssignScope assigning(FAssigning);
  AssignPublishedProperties(StaticClassInfo(), this, src, {"Transparency"});
}

void TBalloonSettings::SetEnable(bool Value) {
  if (FEnable == Value) return;
  FEnable = Value;
  if (!FAssigning && OnEnableChange) OnEnableChange(this);
}

// ---------------------------------------------------------------------------
// Hover buttons

TF_PUBLISHED(THoverButtonsCollectionItem, TCollectionItem) {
  using I = THoverButtonsCollectionItem;
  return TPublished<I>()
      .String("Caption", &I::Caption, &I::SetCaption)
      .Boolean("Enabled", &I::Enabled, &I::SetEnabled)
      .Default(true)
      .Boolean("Flat", &I::Flat, &I::SetFlat)
      .Default(false)
      .String("Hint", &I::Hint, &I::SetHint)
      .Integer("ImageIndex", &I::ImageIndex, &I::SetImageIndex)
      .Default(-1)
      .Object("Picture", &I::Picture, &I::SetPicture)
      .Integer("Tag", &I::Tag, &I::SetTag)
      .Default(0)
      .Integer("Width", &I::Width, &I::SetWidth)
      .Default(0);
}

THoverButtonsCollectionItem::THoverButtonsCollectionItem(TCollection* Collection)
    : TCollectionItem(Collection), FPicture(std::make_unique<TPicture>()) {}

THoverButtonsCollectionItem::~THoverButtonsCollectionItem() = default;

void THoverButtonsCollectionItem::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<THoverButtonsCollectionItem*>(Source);
  if (src == nullptr) {
    TCollectionItem::Assign(Source);
    return;
  }
  {
    TAssignScope assigning(FAssigning);
    AssignPublishedProperties(StaticClassInfo(), this, src, {"ImageIndex"});
  }
  Changed(false);
}

void THoverButtonsCollectionItem::SetCaption(const QString& Value) { Store(FCaption, Value); }
void THoverButtonsCollectionItem::SetEnabled(bool Value) { Store(FEnabled, Value); }
void THoverButtonsCollectionItem::SetFlat(bool Value) { Store(FFlat, Value); }
void THoverButtonsCollectionItem::SetHint(const QString& Value) { Store(FHint, Value); }
void THoverButtonsCollectionItem::SetImageIndex(int Value) { Store(FImageIndex, Value); }
void THoverButtonsCollectionItem::SetTag(int Value) { Store(FTag, Value); }
void THoverButtonsCollectionItem::SetWidth(int Value) { Store(FWidth, Value); }

void THoverButtonsCollectionItem::SetPicture(TPicture* Value) {
  FPicture->Assign(Value);
  if (!FAssigning) Changed(false);
}

TF_PUBLISHED(THoverButtonsCollection, TOwnedCollection) { return TPublished<THoverButtonsCollection>(); }

THoverButtonsCollection::THoverButtonsCollection(TPersistent* AOwner)
    : TOwnedCollection(AOwner, CollectionItemClassOf<THoverButtonsCollectionItem>()) {}

void THoverButtonsCollection::Update(TCollectionItem*) { Updated = true; }

TF_PUBLISHED(THoverButtons, TPersistent) {
  using H = THoverButtons;
  return TPublished<H>()
      .Object("Buttons", &H::Buttons, &H::SetButtons)
      .Integer("Column", &H::Column, &H::SetColumn)
      .Default(0)
      .Boolean("Enabled", &H::Enabled, &H::SetEnabled)
      .Default(false)
      .Boolean("MoveActiveRow", &H::MoveActiveRow, &H::SetMoveActiveRow)
      .Default(true)
      .Enum("Position", &H::Position, &H::SetPosition)
      .Default(hbLeftFromColumnLeft)
      .Enum("Rows", &H::Rows, &H::SetRows)
      .Default(hrNormal);
}

THoverButtons::THoverButtons(TPersistent* AOwner)
    : FOwner(AOwner), FButtons(std::make_unique<THoverButtonsCollection>(this)) {}

THoverButtons::~THoverButtons() = default;

void THoverButtons::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<THoverButtons*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  AssignPublishedProperties(StaticClassInfo(), this, src);
}
