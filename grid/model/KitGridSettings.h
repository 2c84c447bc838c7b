#pragma once
// Persistent settings groups of the grid: the search footer, keyboard
// navigation, mouse actions, the synchronised grid and the row bands. Each
// holds its published properties with their defaults, tells its owner about
// changes through its events, and copies itself from another object of the
// same class with Assign (which never notifies and ignores any other
// source). The behaviour the switches select lives in the grid.
//
// Also here: what the settings objects ask of the grid that owns them
// (IKitGridSettingsOwner) and the table-driven copy their Assign uses.

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>

#include "grid/model/KitGridTypes.h"
#include "platform/rtl/Components.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Graphics.h"

// What settings objects ask of the grid that owns them. The grid
// implements it and passes itself to the objects that need it.
class IKitGridSettingsOwner {
 public:
  virtual ~IKitGridSettingsOwner() = default;
  // The grid as a component: the owner of persistent parts it creates.
  virtual TComponent* SettingsComponent() = 0;
  // Repaints the grid at once.
  virtual void SettingsRepaint() = 0;
  // Writes one of the grid's own fixed-cell gradient colours, named as the
  // grid's property ("VDXGradientFrom", "VDXGradientHoverMirrorTo"...).
  virtual void SetVDXGradientColor(const QString& PropertyName, TColor Value) = 0;
  // The number of node rows the grid holds.
  virtual int SettingsNodeCount() = 0;
  // True when the grid sits on a parent window control.
  virtual bool SettingsHasParent() = 0;
  // The grid's column stretching (ACol -1: the last column; NewWidth -1:
  // the client width).
  virtual void SettingsStretchColumn(int ACol, int NewWidth) = 0;
};

// Copies the published properties of Info's class (events excepted) from
// Source into Dest through the property accessors, except those named in
// Skip. Object properties go through the destination's setter, which copies
// the object.
void AssignPublishedProperties(const TClassInfo* Info, TObject* Dest, const TObject* Source,
                               std::initializer_list<const char*> Skip = {});

// Declares a published value that its setter only stores: Name(),
// SetName(v) and the field FName with its initial value. Leaves the class
// in its private section.
#define TF_PLAIN_PROPERTY(Type, Name, Initial)      \
 public:                                            \
  Type Name() const { return F##Name; }             \
  void Set##Name(Type Value) { F##Name = Value; }   \
                                                    \
 private:                                           \
  Type F##Name = Initial;

// ---------------------------------------------------------------------------
// Search footer

class TSearchFooter : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TSearchFooter)
  // InitDesign fills the captions and hints ("Find &next"...); otherwise
  // they start empty and come from the component stream.
  TSearchFooter(TComponent* AOwner, bool InitDesign);
  ~TSearchFooter() override;

  // Every published property but AutoSearch and SearchFixedCells; the font
  // by its attributes.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }

  bool AutoSearch() const { return FAutoSearch; }
  void SetAutoSearch(bool Value);  // also empties LastSearch
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor Value);
  const QString& FindNextCaption() const { return FFindNextCaption; }
  void SetFindNextCaption(const QString& Value);
  const QString& FindPrevCaption() const { return FFindPrevCaption; }
  void SetFindPrevCaption(const QString& Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value);
  const QString& HighLightCaption() const { return FHighLightCaption; }
  void SetHighLightCaption(const QString& Value);
  const QString& HintClose() const { return FHintClose; }
  void SetHintClose(const QString& Value);
  const QString& HintFindNext() const { return FHintFindNext; }
  void SetHintFindNext(const QString& Value);
  const QString& HintFindPrev() const { return FHintFindPrev; }
  void SetHintFindPrev(const QString& Value);
  const QString& HintHighlight() const { return FHintHighlight; }
  void SetHintHighlight(const QString& Value);
  const QString& MatchCaseCaption() const { return FMatchCaseCaption; }
  void SetMatchCaseCaption(const QString& Value);
  const QString& ResultFormat() const { return FResultFormat; }
  void SetResultFormat(const QString& Value) { FResultFormat = Value; }
  // Notify only when the value changes.
  TColor SearchColor() const { return FSearchColor; }
  void SetSearchColor(TColor Value);
  TColor SearchTextColor() const { return FSearchTextColor; }
  void SetSearchTextColor(TColor Value);
  TSearchType SearchType() const { return FSearchType; }
  void SetSearchType(TSearchType Value);
  bool ShowClose() const { return FShowClose; }
  void SetShowClose(bool Value);  // notifies always
  bool ShowFindNext() const { return FShowFindNext; }
  void SetShowFindNext(bool Value);
  bool ShowFindPrev() const { return FShowFindPrev; }
  void SetShowFindPrev(bool Value);
  bool ShowHighLight() const { return FShowHighLight; }
  void SetShowHighLight(bool Value);
  bool ShowResults() const { return FShowResults; }
  void SetShowResults(bool Value);
  bool ShowMatchCase() const { return FShowMatchCase; }
  void SetShowMatchCase(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  // Public, not streamed.
  bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
  void SetAutoThemeAdapt(bool Value);  // notifies

  TNotifyEvent OnChange;

  // Public, not streamed: the text of the last search, the current match
  // and the match count that ResultFormat shows.
  TF_PLAIN_PROPERTY(QString, LastSearch, QString())
  TF_PLAIN_PROPERTY(int, ResultPos, 0)
  TF_PLAIN_PROPERTY(int, ResultTot, 0)

  TF_PLAIN_PROPERTY(bool, AlwaysHighLight, false)
  TF_PLAIN_PROPERTY(THighlightType, HighLight, hMatchingText)
  TF_PLAIN_PROPERTY(bool, IgnoreHTML, true)
  TF_PLAIN_PROPERTY(bool, IgnoreAccents, false)
  TF_PLAIN_PROPERTY(bool, SearchActiveColumnOnly, false)
  TF_PLAIN_PROPERTY(int, SearchColumn, -1)
  TF_PLAIN_PROPERTY(bool, SearchMatchStart, false)
  TF_PLAIN_PROPERTY(bool, SearchFixedCells, false)
  TF_PLAIN_PROPERTY(bool, SearchHiddenRows, false)
  TF_PLAIN_PROPERTY(TColor, SearchErrorColor, clRed)
  TF_PLAIN_PROPERTY(TColor, SearchErrorTextColor, clWhite)
  TF_PLAIN_PROPERTY(TSearchDirection, SearchDirection, sdTopBottom)
  TF_PLAIN_PROPERTY(bool, SearchFromFocusCell, false)

 private:
  void Changed();
  template <class V>
  void SetNotify(V& Field, const V& Value);
  template <class V>
  void SetNotifyWhenChanged(V& Field, const V& Value);

  TComponent* FOwner;
  std::unique_ptr<TFont> FFont;
  bool FAssigning = false;
  bool FAutoSearch = true;
  TColor FColor = clWhite;
  TColor FColorTo = clBtnFace;
  QString FFindNextCaption;
  QString FFindPrevCaption;
  QString FHighLightCaption;
  QString FHintClose;
  QString FHintFindNext;
  QString FHintFindPrev;
  QString FHintHighlight;
  QString FMatchCaseCaption;
  QString FResultFormat = QStringLiteral("(%d of %d)");
  TColor FSearchColor = clWindow;
  TColor FSearchTextColor = clWindowText;
  TSearchType FSearchType = stSearch;
  bool FShowClose = true;
  bool FShowFindNext = true;
  bool FShowFindPrev = true;
  bool FShowHighLight = true;
  bool FShowResults = false;
  bool FShowMatchCase = true;
  bool FVisible = false;
  bool FAutoThemeAdapt = false;
};

// ---------------------------------------------------------------------------
// Navigation

class TNavigation : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TNavigation)
  TNavigation() = default;

  // Every published property but KeepScrollOnSort.
  void Assign(TPersistent* Source) override;

  // Notify when changed.
  TAdvanceDirection AdvanceDirection() const { return FAdvanceDirection; }
  void SetAdvanceDirection(TAdvanceDirection Value);
  bool AdvanceInsert() const { return FAdvanceInsert; }
  void SetAdvanceInsert(bool Value);
  // Switching it on also switches AdvanceOnEnter on.
  bool AdvanceAuto() const { return FAdvanceAuto; }
  void SetAdvanceAuto(bool Value);

  TNotifyEvent OnChange;

  TF_PLAIN_PROPERTY(bool, AllowInsertRow, false)
  TF_PLAIN_PROPERTY(bool, AllowDeleteRow, false)
  TF_PLAIN_PROPERTY(bool, AllowDeleteCells, false)
  TF_PLAIN_PROPERTY(bool, AlwaysEdit, false)
  TF_PLAIN_PROPERTY(bool, AdvanceOnEnter, false)
  TF_PLAIN_PROPERTY(bool, AdvanceOnEnterLoop, true)
  TF_PLAIN_PROPERTY(bool, AdvanceAutoEdit, true)
  TF_PLAIN_PROPERTY(bool, AdvanceSkipReadOnlyCells, true)
  TF_PLAIN_PROPERTY(bool, AutoGotoWhenSorted, false)
  TF_PLAIN_PROPERTY(bool, AutoGotoIncremental, false)
  TF_PLAIN_PROPERTY(bool, AutoComboDropSize, false)
  TF_PLAIN_PROPERTY(bool, AutoComboSelect, true)
  TF_PLAIN_PROPERTY(bool, AllowClipboardShortCuts, false)
  TF_PLAIN_PROPERTY(bool, AllowCtrlEnter, true)
  TF_PLAIN_PROPERTY(bool, AllowSmartClipboard, false)
  TF_PLAIN_PROPERTY(bool, AllowRTFClipboard, false)
  TF_PLAIN_PROPERTY(bool, AllowFmtClipboard, false)
  TF_PLAIN_PROPERTY(bool, AllowClipboardAlways, false)
  TF_PLAIN_PROPERTY(bool, AllowClipboardRowGrow, true)
  TF_PLAIN_PROPERTY(bool, AllowClipboardColGrow, true)
  TF_PLAIN_PROPERTY(bool, AllowEditButtonCells, false)
  TF_PLAIN_PROPERTY(bool, AppendOnArrowDown, false)
  TF_PLAIN_PROPERTY(bool, EditSelectAll, true)
  TF_PLAIN_PROPERTY(TInsertPosition, InsertPosition, pInsertBefore)
  TF_PLAIN_PROPERTY(TClipboardCutAction, ClipboardCutAction, caClear)
  TF_PLAIN_PROPERTY(TClipboardPasteAction, ClipboardPasteAction, paReplace)
  TF_PLAIN_PROPERTY(bool, ComboGetUpDown, true)
  TF_PLAIN_PROPERTY(TCursorAdvance, CursorAdvance, caDefault)
  TF_PLAIN_PROPERTY(bool, CursorWalkEditor, false)
  TF_PLAIN_PROPERTY(bool, CursorWalkAlwaysEdit, true)
  TF_PLAIN_PROPERTY(bool, CursorMoveRows, false)
  TF_PLAIN_PROPERTY(bool, MoveRowOnSort, false)
  TF_PLAIN_PROPERTY(bool, KeepScrollOnSort, false)
  TF_PLAIN_PROPERTY(bool, MoveRowOnScroll, false)
  TF_PLAIN_PROPERTY(bool, MoveScrollOnly, false)
  TF_PLAIN_PROPERTY(bool, ImproveMaskSel, false)
  TF_PLAIN_PROPERTY(bool, LeftRightRowSelect, true)
  TF_PLAIN_PROPERTY(bool, CopyHTMLTagsToClipboard, true)
  TF_PLAIN_PROPERTY(bool, KeepHorizScroll, false)
  TF_PLAIN_PROPERTY(bool, LineFeedOnEnter, false)
  TF_PLAIN_PROPERTY(THomeEndAction, HomeEndKey, heFirstLastColumn)
  TF_PLAIN_PROPERTY(bool, SkipFixedCells, true)
  TF_PLAIN_PROPERTY(bool, SkipDisabledRows, true)
  TF_PLAIN_PROPERTY(bool, SkipReadOnly, false)
  TF_PLAIN_PROPERTY(bool, TabToNextAtEnd, false)
  TF_PLAIN_PROPERTY(TAdvanceDirection, TabAdvanceDirection, adLeftRight)
  TF_PLAIN_PROPERTY(TToggleTriStateCheck, ToggleTriStateCheck, tsAllStates)

 private:
  void Changed();

  bool FAssigning = false;
  TAdvanceDirection FAdvanceDirection = adLeftRight;
  bool FAdvanceInsert = false;
  bool FAdvanceAuto = false;
};

// ---------------------------------------------------------------------------
// Mouse actions

class TMouseActions : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TMouseActions)
  explicit TMouseActions(TComponent* AOwner);
  ~TMouseActions() override;

  // Every published property but SizeFixedRow, HotmailRowSelect,
  // EditOnDblClickOnly and FixedComboValues, as plain values.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }

  // On also switches DisjunctRowSelect and CheckAllCheck on; either way
  // OnInvalidate follows.
  bool HotmailRowSelect() const { return FHotmailRowSelect; }
  void SetHotmailRowSelect(bool Value);
  // On calls OnDisableEdit.
  bool EditOnDblClickOnly() const { return FEditOnDblClickOnly; }
  void SetEditOnDblClickOnly(bool Value);
  // The three disjunct selections exclude each other while the owner is
  // being designed (OnIsDesigning); at run time they are independent.
  bool DisjunctRowSelect() const { return FDisjunctRowSelect; }
  void SetDisjunctRowSelect(bool Value);
  bool DisjunctColSelect() const { return FDisjunctColSelect; }
  void SetDisjunctColSelect(bool Value);
  bool DisjunctCellSelect() const { return FDisjunctCellSelect; }
  void SetDisjunctCellSelect(bool Value);
  // The same value as DisjunctRowSelect, without the setter's effects.
  bool DisjunctRowSelectDirect() const { return FDisjunctRowSelect; }
  void SetDisjunctRowSelectDirect(bool Value) { FDisjunctRowSelect = Value; }
  // Notifies when changed.
  TWheelAction WheelAction() const { return FWheelAction; }
  void SetWheelAction(TWheelAction Value);
  // Owned; the setter copies the lines.
  TStrings* FixedComboValues() const { return FFixedComboValues.get(); }
  void SetFixedComboValues(TStrings* Value);

  TNotifyEvent OnChange;
  TNotifyEvent OnInvalidate;
  TNotifyEvent OnDisableEdit;
  TIsDesigningEvent OnIsDesigning;

  TF_PLAIN_PROPERTY(bool, AllColumnSize, false)
  TF_PLAIN_PROPERTY(bool, AllRowSize, false)
  TF_PLAIN_PROPERTY(bool, AllSelect, false)
  TF_PLAIN_PROPERTY(bool, AllSelectAllFixedColumns, true)
  TF_PLAIN_PROPERTY(bool, AutoFocus, false)
  TF_PLAIN_PROPERTY(bool, AutoSizeColOnDblClick, true)
  TF_PLAIN_PROPERTY(bool, CaretPositioning, false)
  TF_PLAIN_PROPERTY(bool, CheckAllCheck, false)
  TF_PLAIN_PROPERTY(bool, ColSelect, false)
  TF_PLAIN_PROPERTY(bool, DirectComboClose, false)
  TF_PLAIN_PROPERTY(bool, DirectComboDrop, false)
  TF_PLAIN_PROPERTY(bool, DirectDateClose, false)
  TF_PLAIN_PROPERTY(bool, DirectDateDrop, false)
  TF_PLAIN_PROPERTY(bool, DirectEdit, false)
  TF_PLAIN_PROPERTY(bool, DisjunctRowSelectDrag, false)
  TF_PLAIN_PROPERTY(bool, DisjunctRowSelectNoCtrl, false)
  TF_PLAIN_PROPERTY(bool, DisjunctColSelectNoCtrl, false)
  TF_PLAIN_PROPERTY(TGridFixedCellEdit, FixedRowsEdit, fceNone)
  TF_PLAIN_PROPERTY(TGridFixedCellEdit, FixedColsEdit, fceNone)
  TF_PLAIN_PROPERTY(TGridFixedCellEditor, FixedRowsEditor, fceEdit)
  TF_PLAIN_PROPERTY(TGridFixedCellEditor, FixedColsEditor, fceEdit)
  TF_PLAIN_PROPERTY(bool, MoveRowOnNodeClick, false)
  TF_PLAIN_PROPERTY(bool, NoAutoRangeScroll, false)
  TF_PLAIN_PROPERTY(bool, NodeAllExpandContract, false)
  TF_PLAIN_PROPERTY(bool, NoScrollOnPartialRow, false)
  TF_PLAIN_PROPERTY(bool, NoScrollOnPartialCol, false)
  TF_PLAIN_PROPERTY(int, PartialScrollDelta, 0)
  TF_PLAIN_PROPERTY(bool, PreciseCheckBoxCheck, false)
  TF_PLAIN_PROPERTY(bool, PreciseNodeClick, true)
  TF_PLAIN_PROPERTY(bool, RangeSelectAndEdit, false)
  TF_PLAIN_PROPERTY(bool, RowSelect, false)
  TF_PLAIN_PROPERTY(bool, RowSelectPersistent, false)
  TF_PLAIN_PROPERTY(bool, SelectOnRightClick, false)
  TF_PLAIN_PROPERTY(bool, SelectOnRightClickNewSelectionOnly, false)
  TF_PLAIN_PROPERTY(bool, SizeFixedCol, false)
  TF_PLAIN_PROPERTY(bool, SizeFixedRow, false)
  TF_PLAIN_PROPERTY(bool, ToggleNodeOnDblClick, false)
  TF_PLAIN_PROPERTY(bool, TouchScroll, false)
  TF_PLAIN_PROPERTY(int, WheelIncrement, 0)
  TF_PLAIN_PROPERTY(TWheelActive, WheelActive, waFocus)

 private:
  bool IsDesigning();
  // Stores Value in one of the three disjunct switches; in a designed
  // owner switching one on switches the other two off.
  void SetDisjunct(bool& Field, bool Value);

  TComponent* FOwner;
  std::unique_ptr<TStringList> FFixedComboValues;
  bool FAssigning = false;
  bool FHotmailRowSelect = false;
  bool FEditOnDblClickOnly = false;
  bool FDisjunctRowSelect = false;
  bool FDisjunctColSelect = false;
  bool FDisjunctCellSelect = false;
  TWheelAction FWheelAction = waMoveSelection;
};

// ---------------------------------------------------------------------------
// Synchronised grid

class TSyncGrid : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TSyncGrid)
  explicit TSyncGrid(TComponent* AOwner) : FOwner(AOwner) {}

  // All seven properties; Grid through its setter.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }

  // The grid to keep in step (not owned); the owner itself is refused. The
  // owner clears it when that grid is destroyed.
  TComponent* Grid() const { return FGrid; }
  void SetGrid(TComponent* Value);

  TF_PLAIN_PROPERTY(bool, ScrollVertical, false)
  TF_PLAIN_PROPERTY(bool, ScrollHorizontal, false)
  TF_PLAIN_PROPERTY(bool, SelectionColumn, false)
  TF_PLAIN_PROPERTY(bool, SelectionRow, false)
  TF_PLAIN_PROPERTY(bool, MoveColumn, false)
  TF_PLAIN_PROPERTY(bool, MoveRow, false)

 private:
  TComponent* FOwner;
  TComponent* FGrid = nullptr;
};

// ---------------------------------------------------------------------------
// Bands

// Alternating row colours from the first non-fixed row: rows whose offset
// modulo TotalLength is below PrimaryLength take PrimaryColor, the others
// SecondaryColor.
class TBands : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TBands)
  TBands() = default;

  // Active, the colours, the lengths and Print.
  void Assign(TPersistent* Source) override;

  // Active notifies when changed; the colours and lengths notify when
  // changed and only while Active.
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  TColor PrimaryColor() const { return FPrimaryColor; }
  void SetPrimaryColor(TColor Value);
  int PrimaryLength() const { return FPrimaryLength; }
  void SetPrimaryLength(int Value);
  TColor SecondaryColor() const { return FSecondaryColor; }
  void SetSecondaryColor(TColor Value);
  int SecondaryLength() const { return FSecondaryLength; }
  void SetSecondaryLength(int Value);
  // PrimaryLength + SecondaryLength.
  int TotalLength() const { return FTotalLength; }

  TNotifyEvent OnChange;

  TF_PLAIN_PROPERTY(bool, Print, false)

 private:
  void Changed();

  bool FAssigning = false;
  bool FActive = false;
  TColor FPrimaryColor = clInfoBk;
  int FPrimaryLength = 1;
  TColor FSecondaryColor = clWindow;
  int FSecondaryLength = 1;
  int FTotalLength = 2;
};
