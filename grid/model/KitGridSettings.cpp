#include "grid/model/KitGridSettings.h"

#include <cstring>

// ---------------------------------------------------------------------------
// Table-driven copy

void AssignPublishedProperties(const TClassInfo* Info, TObject* Dest, const TObject* Source,
                               std::initializer_list<const char*> Skip) {
  for (const TPropInfo* prop : Info->PropList()) {
    if (prop->Kind() == tkMethod || !prop->HasGetter() || !prop->HasSetter()) continue;
    bool skipped = false;
    for (const char* name : Skip)
      if (prop->Name() == QLatin1String(name)) skipped = true;
    if (skipped) continue;
    switch (prop->Kind()) {
      case tkInteger: case tkChar: case tkEnumeration: case tkSet: case tkWChar: case tkInt64:
        prop->SetOrd(Dest, prop->GetOrd(Source));
        break;
      case tkFloat:
        prop->SetFloat(Dest, prop->GetFloat(Source));
        break;
      case tkString: case tkLString: case tkWString: case tkUString:
        prop->SetStr(Dest, prop->GetStr(Source));
        break;
      case tkClass:
        prop->SetObject(Dest, prop->GetObject(Source));
        break;
      case tkVariant:
        prop->SetVariant(Dest, prop->GetVariant(Source));
        break;
      default:
        break;
    }
  }
}

namespace {

// Sets a flag for the length of a scope (Assign copies without notices).
class TAssigning {
 public:
  explicit TAssigning(bool& Flag) : FFlag(Flag), FOld(Flag) { FFlag = true; }
  ~TAssigning() { FFlag = FOld; }

 private:
  bool& FFlag;
  bool FOld;
};

}  // namespace

// ---------------------------------------------------------------------------
// TSearchFooter

TF_PUBLISHED(TSearchFooter, TPersistent) {
  using S = TSearchFooter;
  return TPublished<S>()
      .Boolean("AlwaysHighLight", &S::AlwaysHighLight, &S::SetAlwaysHighLight).Default(false)
      .Boolean("AutoSearch", &S::AutoSearch, &S::SetAutoSearch).Default(true)
      .Color("Color", &S::Color, &S::SetColor).Default(clWhite)
      .Color("ColorTo", &S::ColorTo, &S::SetColorTo).Default(clBtnFace)
      .String("FindNextCaption", &S::FindNextCaption, &S::SetFindNextCaption)
      .String("FindPrevCaption", &S::FindPrevCaption, &S::SetFindPrevCaption)
      .Object("Font", &S::Font, &S::SetFont)
      .Enum("HighLight", &S::HighLight, &S::SetHighLight).Default(hMatchingText)
      .String("HighLightCaption", &S::HighLightCaption, &S::SetHighLightCaption)
      .String("HintClose", &S::HintClose, &S::SetHintClose)
      .String("HintFindNext", &S::HintFindNext, &S::SetHintFindNext)
      .String("HintFindPrev", &S::HintFindPrev, &S::SetHintFindPrev)
      .String("HintHighlight", &S::HintHighlight, &S::SetHintHighlight)
      .Boolean("IgnoreHTML", &S::IgnoreHTML, &S::SetIgnoreHTML).Default(true)
      .Boolean("IgnoreAccents", &S::IgnoreAccents, &S::SetIgnoreAccents).Default(false)
      .String("MatchCaseCaption", &S::MatchCaseCaption, &S::SetMatchCaseCaption)
      .String("ResultFormat", &S::ResultFormat, &S::SetResultFormat)
      .Boolean("SearchActiveColumnOnly", &S::SearchActiveColumnOnly, &S::SetSearchActiveColumnOnly)
      .Default(false)
      .Integer("SearchColumn", &S::SearchColumn, &S::SetSearchColumn).Default(-1)
      .Boolean("SearchMatchStart", &S::SearchMatchStart, &S::SetSearchMatchStart).Default(false)
      .Boolean("SearchFixedCells", &S::SearchFixedCells, &S::SetSearchFixedCells).Default(false)
      .Boolean("SearchHiddenRows", &S::SearchHiddenRows, &S::SetSearchHiddenRows).Default(false)
      .Color("SearchColor", &S::SearchColor, &S::SetSearchColor).Default(clWindow)
      .Color("SearchTextColor", &S::SearchTextColor, &S::SetSearchTextColor).Default(clWindowText)
      .Color("SearchErrorColor", &S::SearchErrorColor, &S::SetSearchErrorColor).Default(clRed)
      .Color("SearchErrorTextColor", &S::SearchErrorTextColor, &S::SetSearchErrorTextColor).Default(clWhite)
      .Enum("SearchDirection", &S::SearchDirection, &S::SetSearchDirection).Default(sdTopBottom)
      .Boolean("SearchFromFocusCell", &S::SearchFromFocusCell, &S::SetSearchFromFocusCell).Default(false)
      .Enum("SearchType", &S::SearchType, &S::SetSearchType).Default(stSearch)
      .Boolean("ShowClose", &S::ShowClose, &S::SetShowClose).Default(true)
      .Boolean("ShowFindNext", &S::ShowFindNext, &S::SetShowFindNext).Default(true)
      .Boolean("ShowFindPrev", &S::ShowFindPrev, &S::SetShowFindPrev).Default(true)
      .Boolean("ShowHighLight", &S::ShowHighLight, &S::SetShowHighLight).Default(true)
      .Boolean("ShowResults", &S::ShowResults, &S::SetShowResults).Default(false)
      .Boolean("ShowMatchCase", &S::ShowMatchCase, &S::SetShowMatchCase).Default(true)
      .Boolean("Visible", &S::Visible, &S::SetVisible).Default(false)
      .Event("OnChange", &S::OnChange)
      .TypeName("TNotifyEvent");
}

TSearchFooter::TSearchFooter(TComponent* AOwner, bool InitDesign)
    : FOwner(AOwner), FFont(std::make_unique<TFont>()) {
  FFont->OnChange = [this](TObject*) { Changed(); };
  if (InitDesign) {
    FFindPrevCaption = QStringLiteral("Find &previous");
    FFindNextCaption = QStringLiteral("Find &next");
    FMatchCaseCaption = QStringLiteral("Match case");
    FHighLightCaption = QStringLiteral("Highlight");
    FHintClose = QStringLiteral("Close");
    FHintFindNext = QStringLiteral("Find next occurrence");
    FHintFindPrev = QStringLiteral("Find previous occurrence");
    FHintHighlight = QStringLiteral("Highlight occurrences");
  }
}

TSearchFooter::~TSearchFooter() { FFont->OnChange = nullptr; }

void TSearchFooter::Changed() {
  if (!FAssigning && OnChange) OnChange(this);
}

template <class V>
void TSearchFooter::SetNotify(V& Field, const V& Value) {
  Field = Value;
  Changed();
}

template <class V>
void TSearchFooter::SetNotifyWhenChanged(V& Field, const V& Value) {
  if (Field == Value) return;
  Field = Value;
  Changed();
}

void TSearchFooter::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TSearchFooter*>(Source);
  if (!source) return;
  TAssigning assigning(FAssigning);
  AssignPublishedProperties(StaticClassInfo(), this, source, {"AutoSearch", "SearchFixedCells"});
}

void TSearchFooter::SetAutoSearch(bool Value) {
  FAutoSearch = Value;
  FLastSearch.clear();
}

void TSearchFooter::SetColor(TColor Value) { SetNotify(FColor, Value); }
void TSearchFooter::SetColorTo(TColor Value) { SetNotify(FColorTo, Value); }
void TSearchFooter::SetFindNextCaption(const QString& Value) { SetNotify(FFindNextCaption, Value); }
void TSearchFooter::SetFindPrevCaption(const QString& Value) { SetNotify(FFindPrevCaption, Value); }
// The font's own change notice reports the copy.
void TSearchFooter::SetFont(TFont* Value) { FFont->Assign(Value); }
void TSearchFooter::SetHighLightCaption(const QString& Value) { SetNotify(FHighLightCaption, Value); }
void TSearchFooter::SetHintClose(const QString& Value) { SetNotify(FHintClose, Value); }
void TSearchFooter::SetHintFindNext(const QString& Value) { SetNotify(FHintFindNext, Value); }
void TSearchFooter::SetHintFindPrev(const QString& Value) { SetNotify(FHintFindPrev, Value); }
void TSearchFooter::SetHintHighlight(const QString& Value) { SetNotify(FHintHighlight, Value); }
void TSearchFooter::SetMatchCaseCaption(const QString& Value) { SetNotify(FMatchCaseCaption, Value); }
void TSearchFooter::SetSearchColor(TColor Value) { SetNotifyWhenChanged(FSearchColor, Value); }
void TSearchFooter::SetSearchTextColor(TColor Value) { SetNotifyWhenChanged(FSearchTextColor, Value); }
void TSearchFooter::SetSearchType(TSearchType Value) { SetNotifyWhenChanged(FSearchType, Value); }
void TSearchFooter::SetShowClose(bool Value) { SetNotify(FShowClose, Value); }
void TSearchFooter::SetShowFindNext(bool Value) { SetNotifyWhenChanged(FShowFindNext, Value); }
void TSearchFooter::SetShowFindPrev(bool Value) { SetNotifyWhenChanged(FShowFindPrev, Value); }
void TSearchFooter::SetShowHighLight(bool Value) { SetNotifyWhenChanged(FShowHighLight, Value); }
void TSearchFooter::SetShowResults(bool Value) { SetNotifyWhenChanged(FShowResults, Value); }
void TSearchFooter::SetShowMatchCase(bool Value) { SetNotifyWhenChanged(FShowMatchCase, Value); }
void TSearchFooter::SetVisible(bool Value) { SetNotifyWhenChanged(FVisible, Value); }
void TSearchFooter::SetAutoThemeAdapt(bool Value) { SetNotify(FAutoThemeAdapt, Value); }

// ---------------------------------------------------------------------------
// TNavigation

TF_PUBLISHED(TNavigation, TPersistent) {
  using N = TNavigation;
  return TPublished<N>()
      .Boolean("AllowInsertRow", &N::AllowInsertRow, &N::SetAllowInsertRow).Default(false)
      .Boolean("AllowDeleteRow", &N::AllowDeleteRow, &N::SetAllowDeleteRow).Default(false)
      .Boolean("AllowDeleteCells", &N::AllowDeleteCells, &N::SetAllowDeleteCells).Default(false)
      .Boolean("AlwaysEdit", &N::AlwaysEdit, &N::SetAlwaysEdit).Default(false)
      .Boolean("AdvanceOnEnter", &N::AdvanceOnEnter, &N::SetAdvanceOnEnter).Default(false)
      .Boolean("AdvanceOnEnterLoop", &N::AdvanceOnEnterLoop, &N::SetAdvanceOnEnterLoop).Default(true)
      .Boolean("AdvanceInsert", &N::AdvanceInsert, &N::SetAdvanceInsert).Default(false)
      .Boolean("AdvanceAutoEdit", &N::AdvanceAutoEdit, &N::SetAdvanceAutoEdit).Default(true)
      .Boolean("AdvanceSkipReadOnlyCells", &N::AdvanceSkipReadOnlyCells, &N::SetAdvanceSkipReadOnlyCells)
      .Default(true)
      .Boolean("AutoGotoWhenSorted", &N::AutoGotoWhenSorted, &N::SetAutoGotoWhenSorted).Default(false)
      .Boolean("AutoGotoIncremental", &N::AutoGotoIncremental, &N::SetAutoGotoIncremental).Default(false)
      .Boolean("AutoComboDropSize", &N::AutoComboDropSize, &N::SetAutoComboDropSize).Default(false)
      .Boolean("AutoComboSelect", &N::AutoComboSelect, &N::SetAutoComboSelect).Default(true)
      .Enum("AdvanceDirection", &N::AdvanceDirection, &N::SetAdvanceDirection).Default(adLeftRight)
      .Boolean("AllowClipboardShortCuts", &N::AllowClipboardShortCuts, &N::SetAllowClipboardShortCuts)
      .Default(false)
      .Boolean("AllowCtrlEnter", &N::AllowCtrlEnter, &N::SetAllowCtrlEnter).Default(true)
      .Boolean("AllowSmartClipboard", &N::AllowSmartClipboard, &N::SetAllowSmartClipboard).Default(false)
      .Boolean("AllowRTFClipboard", &N::AllowRTFClipboard, &N::SetAllowRTFClipboard).Default(false)
      .Boolean("AllowFmtClipboard", &N::AllowFmtClipboard, &N::SetAllowFmtClipboard).Default(false)
      .Boolean("AllowClipboardAlways", &N::AllowClipboardAlways, &N::SetAllowClipboardAlways).Default(false)
      .Boolean("AllowClipboardRowGrow", &N::AllowClipboardRowGrow, &N::SetAllowClipboardRowGrow).Default(true)
      .Boolean("AllowClipboardColGrow", &N::AllowClipboardColGrow, &N::SetAllowClipboardColGrow).Default(true)
      .Boolean("AllowEditButtonCells", &N::AllowEditButtonCells, &N::SetAllowEditButtonCells).Default(false)
      .Boolean("AdvanceAuto", &N::AdvanceAuto, &N::SetAdvanceAuto).Default(false)
      .Boolean("AppendOnArrowDown", &N::AppendOnArrowDown, &N::SetAppendOnArrowDown).Default(false)
      .Boolean("EditSelectAll", &N::EditSelectAll, &N::SetEditSelectAll).Default(true)
      .Enum("InsertPosition", &N::InsertPosition, &N::SetInsertPosition).Default(pInsertBefore)
      .Enum("ClipboardCutAction", &N::ClipboardCutAction, &N::SetClipboardCutAction).Default(caClear)
      .Enum("ClipboardPasteAction", &N::ClipboardPasteAction, &N::SetClipboardPasteAction).Default(paReplace)
      .Boolean("ComboGetUpDown", &N::ComboGetUpDown, &N::SetComboGetUpDown).Default(true)
      .Enum("CursorAdvance", &N::CursorAdvance, &N::SetCursorAdvance).Default(caDefault)
      .Boolean("CursorWalkEditor", &N::CursorWalkEditor, &N::SetCursorWalkEditor).Default(false)
      .Boolean("CursorWalkAlwaysEdit", &N::CursorWalkAlwaysEdit, &N::SetCursorWalkAlwaysEdit).Default(true)
      .Boolean("CursorMoveRows", &N::CursorMoveRows, &N::SetCursorMoveRows).Default(false)
      .Boolean("MoveRowOnSort", &N::MoveRowOnSort, &N::SetMoveRowOnSort).Default(false)
      .Boolean("KeepScrollOnSort", &N::KeepScrollOnSort, &N::SetKeepScrollOnSort).Default(false)
      .Boolean("MoveRowOnScroll", &N::MoveRowOnScroll, &N::SetMoveRowOnScroll).Default(false)
      .Boolean("MoveScrollOnly", &N::MoveScrollOnly, &N::SetMoveScrollOnly).Default(false)
      .Boolean("ImproveMaskSel", &N::ImproveMaskSel, &N::SetImproveMaskSel).Default(false)
      .Boolean("LeftRightRowSelect", &N::LeftRightRowSelect, &N::SetLeftRightRowSelect).Default(true)
      .Boolean("CopyHTMLTagsToClipboard", &N::CopyHTMLTagsToClipboard, &N::SetCopyHTMLTagsToClipboard)
      .Default(true)
      .Boolean("KeepHorizScroll", &N::KeepHorizScroll, &N::SetKeepHorizScroll).Default(false)
      .Boolean("LineFeedOnEnter", &N::LineFeedOnEnter, &N::SetLineFeedOnEnter).Default(false)
      .Enum("HomeEndKey", &N::HomeEndKey, &N::SetHomeEndKey).Default(heFirstLastColumn)
      .Boolean("SkipFixedCells", &N::SkipFixedCells, &N::SetSkipFixedCells).Default(true)
      .Boolean("SkipDisabledRows", &N::SkipDisabledRows, &N::SetSkipDisabledRows).Default(true)
      .Boolean("SkipReadOnly", &N::SkipReadOnly, &N::SetSkipReadOnly).Default(false)
      .Boolean("TabToNextAtEnd", &N::TabToNextAtEnd, &N::SetTabToNextAtEnd).Default(false)
      .Enum("TabAdvanceDirection", &N::TabAdvanceDirection, &N::SetTabAdvanceDirection).Default(adLeftRight)
      .Enum("ToggleTriStateCheck", &N::ToggleTriStateCheck, &N::SetToggleTriStateCheck).Default(tsAllStates);
}

void TNavigation::Changed() {
  if (!FAssigning && OnChange) OnChange(this);
}

void TNavigation::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TNavigation*>(Source);
  if (!source) return;
  TAssigning assigning(FAssigning);
  AssignPublishedProperties(StaticClassInfo(), this, source, {"KeepScrollOnSort"});
}

void TNavigation::SetAdvanceDirection(TAdvanceDirection Value) {
  if (FAdvanceDirection == Value) return;
  FAdvanceDirection = Value;
  Changed();
}

void TNavigation::SetAdvanceInsert(bool Value) {
  if (FAdvanceInsert == Value) return;
  FAdvanceInsert = Value;
  Changed();
}

void TNavigation::SetAdvanceAuto(bool Value) {
  if (FAdvanceAuto == Value) return;
  FAdvanceAuto = Value;
  if (Value && !FAssigning) FAdvanceOnEnter = true;
}

// ---------------------------------------------------------------------------
// TMouseActions

TF_PUBLISHED(TMouseActions, TPersistent) {
  using M = TMouseActions;
  return TPublished<M>()
      .Boolean("AllColumnSize", &M::AllColumnSize, &M::SetAllColumnSize).Default(false)
      .Boolean("AllRowSize", &M::AllRowSize, &M::SetAllRowSize).Default(false)
      .Boolean("AllSelect", &M::AllSelect, &M::SetAllSelect).Default(false)
      .Boolean("AllSelectAllFixedColumns", &M::AllSelectAllFixedColumns, &M::SetAllSelectAllFixedColumns)
      .Default(true)
      .Boolean("AutoFocus", &M::AutoFocus, &M::SetAutoFocus).Default(false)
      .Boolean("AutoSizeColOnDblClick", &M::AutoSizeColOnDblClick, &M::SetAutoSizeColOnDblClick).Default(true)
      .Boolean("CaretPositioning", &M::CaretPositioning, &M::SetCaretPositioning).Default(false)
      .Boolean("CheckAllCheck", &M::CheckAllCheck, &M::SetCheckAllCheck).Default(false)
      .Boolean("ColSelect", &M::ColSelect, &M::SetColSelect).Default(false)
      .Boolean("DirectComboClose", &M::DirectComboClose, &M::SetDirectComboClose).Default(false)
      .Boolean("DirectComboDrop", &M::DirectComboDrop, &M::SetDirectComboDrop).Default(false)
      .Boolean("DirectDateClose", &M::DirectDateClose, &M::SetDirectDateClose).Default(false)
      .Boolean("DirectDateDrop", &M::DirectDateDrop, &M::SetDirectDateDrop).Default(false)
      .Boolean("DirectEdit", &M::DirectEdit, &M::SetDirectEdit).Default(false)
      .Boolean("DisjunctRowSelect", &M::DisjunctRowSelect, &M::SetDisjunctRowSelect).Default(false)
      .Boolean("DisjunctRowSelectDrag", &M::DisjunctRowSelectDrag, &M::SetDisjunctRowSelectDrag).Default(false)
      .Boolean("DisjunctRowSelectNoCtrl", &M::DisjunctRowSelectNoCtrl, &M::SetDisjunctRowSelectNoCtrl)
      .Default(false)
      .Boolean("DisjunctColSelect", &M::DisjunctColSelect, &M::SetDisjunctColSelect).Default(false)
      .Boolean("DisjunctColSelectNoCtrl", &M::DisjunctColSelectNoCtrl, &M::SetDisjunctColSelectNoCtrl)
      .Default(false)
      .Boolean("DisjunctCellSelect", &M::DisjunctCellSelect, &M::SetDisjunctCellSelect).Default(false)
      .Boolean("EditOnDblClickOnly", &M::EditOnDblClickOnly, &M::SetEditOnDblClickOnly).Default(false)
      .Enum("FixedRowsEdit", &M::FixedRowsEdit, &M::SetFixedRowsEdit).Default(fceNone)
      .Enum("FixedColsEdit", &M::FixedColsEdit, &M::SetFixedColsEdit).Default(fceNone)
      .Enum("FixedRowsEditor", &M::FixedRowsEditor, &M::SetFixedRowsEditor).Default(fceEdit)
      .Enum("FixedColsEditor", &M::FixedColsEditor, &M::SetFixedColsEditor).Default(fceEdit)
      .Object("FixedComboValues", &M::FixedComboValues, &M::SetFixedComboValues)
      .Boolean("HotmailRowSelect", &M::HotmailRowSelect, &M::SetHotmailRowSelect).Default(false)
      .Boolean("MoveRowOnNodeClick", &M::MoveRowOnNodeClick, &M::SetMoveRowOnNodeClick).Default(false)
      .Boolean("NoAutoRangeScroll", &M::NoAutoRangeScroll, &M::SetNoAutoRangeScroll).Default(false)
      .Boolean("NodeAllExpandContract", &M::NodeAllExpandContract, &M::SetNodeAllExpandContract).Default(false)
      .Boolean("NoScrollOnPartialRow", &M::NoScrollOnPartialRow, &M::SetNoScrollOnPartialRow).Default(false)
      .Boolean("NoScrollOnPartialCol", &M::NoScrollOnPartialCol, &M::SetNoScrollOnPartialCol).Default(false)
      .Integer("PartialScrollDelta", &M::PartialScrollDelta, &M::SetPartialScrollDelta).Default(0)
      .Boolean("PreciseCheckBoxCheck", &M::PreciseCheckBoxCheck, &M::SetPreciseCheckBoxCheck).Default(false)
      .Boolean("PreciseNodeClick", &M::PreciseNodeClick, &M::SetPreciseNodeClick).Default(true)
      .Boolean("RangeSelectAndEdit", &M::RangeSelectAndEdit, &M::SetRangeSelectAndEdit).Default(false)
      .Boolean("RowSelect", &M::RowSelect, &M::SetRowSelect).Default(false)
      .Boolean("RowSelectPersistent", &M::RowSelectPersistent, &M::SetRowSelectPersistent).Default(false)
      .Boolean("SelectOnRightClick", &M::SelectOnRightClick, &M::SetSelectOnRightClick).Default(false)
      .Boolean("SelectOnRightClickNewSelectionOnly", &M::SelectOnRightClickNewSelectionOnly,
               &M::SetSelectOnRightClickNewSelectionOnly)
      .Default(false)
      .Boolean("SizeFixedCol", &M::SizeFixedCol, &M::SetSizeFixedCol).Default(false)
      .Boolean("SizeFixedRow", &M::SizeFixedRow, &M::SetSizeFixedRow).Default(false)
      .Boolean("ToggleNodeOnDblClick", &M::ToggleNodeOnDblClick, &M::SetToggleNodeOnDblClick).Default(false)
      .Boolean("TouchScroll", &M::TouchScroll, &M::SetTouchScroll).Default(false)
      .Integer("WheelIncrement", &M::WheelIncrement, &M::SetWheelIncrement).Default(0)
      .Enum("WheelAction", &M::WheelAction, &M::SetWheelAction).Default(waMoveSelection)
      .Enum("WheelActive", &M::WheelActive, &M::SetWheelActive).Default(waFocus);
}

TMouseActions::TMouseActions(TComponent* AOwner)
    : FOwner(AOwner), FFixedComboValues(std::make_unique<TStringList>()) {}

TMouseActions::~TMouseActions() = default;

void TMouseActions::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TMouseActions*>(Source);
  if (!source) return;
  TAssigning assigning(FAssigning);
  AssignPublishedProperties(StaticClassInfo(), this, source,
                            {"SizeFixedRow", "HotmailRowSelect", "EditOnDblClickOnly", "FixedComboValues"});
}

bool TMouseActions::IsDesigning() {
  bool designing = false;
  if (OnIsDesigning) OnIsDesigning(this, designing);
  return designing;
}

void TMouseActions::SetHotmailRowSelect(bool Value) {
  FHotmailRowSelect = Value;
  if (FAssigning) return;
  if (Value) {
    FDisjunctRowSelect = true;
    FCheckAllCheck = true;
  }
  if (OnInvalidate) OnInvalidate(this);
}

void TMouseActions::SetEditOnDblClickOnly(bool Value) {
  FEditOnDblClickOnly = Value;
  if (Value && !FAssigning && OnDisableEdit) OnDisableEdit(this);
}

void TMouseActions::SetDisjunct(bool& Field, bool Value) {
  Field = Value;
  if (!Value || FAssigning || !IsDesigning()) return;
  for (bool* other : {&FDisjunctRowSelect, &FDisjunctColSelect, &FDisjunctCellSelect})
    if (other != &Field) *other = false;
}

void TMouseActions::SetDisjunctRowSelect(bool Value) { SetDisjunct(FDisjunctRowSelect, Value); }
void TMouseActions::SetDisjunctColSelect(bool Value) { SetDisjunct(FDisjunctColSelect, Value); }
void TMouseActions::SetDisjunctCellSelect(bool Value) { SetDisjunct(FDisjunctCellSelect, Value); }

void TMouseActions::SetWheelAction(TWheelAction Value) {
  if (FWheelAction == Value) return;
  FWheelAction = Value;
  if (!FAssigning && OnChange) OnChange(this);
}

void TMouseActions::SetFixedComboValues(TStrings* Value) { FFixedComboValues->Assign(Value); }

// ---------------------------------------------------------------------------
// TSyncGrid

TF_PUBLISHED(TSyncGrid, TPersistent) {
  using G = TSyncGrid;
  return TPublished<G>()
      .Object("Grid", &G::Grid, &G::SetGrid)
      .Boolean("ScrollVertical", &G::ScrollVertical, &G::SetScrollVertical).Default(false)
      .Boolean("ScrollHorizontal", &G::ScrollHorizontal, &G::SetScrollHorizontal).Default(false)
      .Boolean("SelectionColumn", &G::SelectionColumn, &G::SetSelectionColumn).Default(false)
      .Boolean("SelectionRow", &G::SelectionRow, &G::SetSelectionRow).Default(false)
      .Boolean("MoveColumn", &G::MoveColumn, &G::SetMoveColumn).Default(false)
      .Boolean("MoveRow", &G::MoveRow, &G::SetMoveRow).Default(false);
}

void TSyncGrid::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TSyncGrid*>(Source);
  if (!source) return;
  AssignPublishedProperties(StaticClassInfo(), this, source);
}

void TSyncGrid::SetGrid(TComponent* Value) {
  if (Value && Value == FOwner) return;  // never in step with itself
  FGrid = Value;
}

// ---------------------------------------------------------------------------
// TBands

TF_PUBLISHED(TBands, TPersistent) {
  using B = TBands;
  return TPublished<B>()
      .Boolean("Active", &B::Active, &B::SetActive).Default(false)
      .Color("PrimaryColor", &B::PrimaryColor, &B::SetPrimaryColor).Default(clInfoBk)
      .Integer("PrimaryLength", &B::PrimaryLength, &B::SetPrimaryLength).Default(1)
      .Color("SecondaryColor", &B::SecondaryColor, &B::SetSecondaryColor).Default(clWindow)
      .Integer("SecondaryLength", &B::SecondaryLength, &B::SetSecondaryLength).Default(1)
      .Boolean("Print", &B::Print, &B::SetPrint).Default(false)
      .Event("OnChange", &B::OnChange)
      .TypeName("TNotifyEvent");
}

void TBands::Changed() {
  if (!FAssigning && OnChange) OnChange(this);
}

void TBands::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TBands*>(Source);
  if (!source) return;
  TAssigning assigning(FAssigning);
  AssignPublishedProperties(StaticClassInfo(), this, source);
  FTotalLength = FPrimaryLength + FSecondaryLength;
}

void TBands::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  Changed();
}

void TBands::SetPrimaryColor(TColor Value) {
  if (FPrimaryColor == Value) return;
  FPrimaryColor = Value;
  if (FActive) Changed();
}

void TBands::SetSecondaryColor(TColor Value) {
  if (FSecondaryColor == Value) return;
  FSecondaryColor = Value;
  if (FActive) Changed();
}

void TBands::SetPrimaryLength(int Value) {
  if (FPrimaryLength == Value) return;
  FPrimaryLength = Value;
  FTotalLength = FPrimaryLength + FSecondaryLength;
  if (FActive) Changed();
}

void TBands::SetSecondaryLength(int Value) {
  if (FSecondaryLength == Value) return;
  FSecondaryLength = Value;
  FTotalLength = FPrimaryLength + FSecondaryLength;
  if (FActive) Changed();
}
