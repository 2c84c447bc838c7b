// Construction, lifetime, window creation, loading, copying and the unit's
// start-up of the string grid, with the unit's helper routines.

#include <QApplication>
#include <QCollator>
#include <algorithm>
#include <map>
#include <memory>

#include "gdiplus/KitHintInfo.h"
#include "gdiplus/PictureContainer.h"
#include "grid/model/KitGrid.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Forms.h"
#include "platform/win32/Clipboard.h"
#include "platform/win32/Messages.h"
#include "platform/win32/WinUser.h"

// ---------------------------------------------------------------------------
// Unit routines

TGridRect MakeGridRect(int Left, int Top, int Right, int Bottom) {
  TGridRect r;
  r.Left = Left;
  r.Top = Top;
  r.Right = Right;
  r.Bottom = Bottom;
  return r;
}

QChar GetTimeSeparatorChar() { return FormatSettings.TimeSeparator; }
QChar GetDateSeparatorChar() { return FormatSettings.DateSeparator; }
QChar GetThousandSeparatorChar() { return FormatSettings.ThousandSeparator; }
QChar GetDecimalSeparatorChar() { return FormatSettings.DecimalSeparator; }
QString GetShortDateFormatText() { return FormatSettings.ShortDateFormat; }
QString GetShortTimeFormatText() { return FormatSettings.ShortTimeFormat; }
QString GetLongTimeFormatText() { return FormatSettings.LongTimeFormat; }
QString GetCurrencyText() { return FormatSettings.CurrencyString; }

int NaturalCompareText(const QString& A, const QString& B) {
  // Digit runs compare by value (leading zeros skipped, then length, then
  // digits); everything else character by character without case.
  qsizetype i = 0, j = 0;
  while (i < A.size() && j < B.size()) {
    if (A[i].isDigit() && B[j].isDigit()) {
      qsizetype ei = i, ej = j;
      while (ei < A.size() && A[ei].isDigit()) ++ei;
      while (ej < B.size() && B[ej].isDigit()) ++ej;
      qsizetype si = i, sj = j;
      while (si < ei - 1 && A[si].digitValue() == 0) ++si;
      while (sj < ej - 1 && B[sj].digitValue() == 0) ++sj;
      if (ei - si != ej - sj) return ei - si < ej - sj ? -1 : 1;
      for (; si < ei; ++si, ++sj)
        if (A[si].digitValue() != B[sj].digitValue()) return A[si].digitValue() < B[sj].digitValue() ? -1 : 1;
      i = ei;
      j = ej;
      continue;
    }
    const QString a = QString(A[i]).toCaseFolded();
    const QString b = QString(B[j]).toCaseFolded();
    if (a != b) return a < b ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < A.size()) return 1;
  if (j < B.size()) return -1;
  return 0;
}

int GetFileVersionMS(const QString&) {
  // Modules of this platform carry no version resource.
  return -1;
}

namespace {

struct TUnitState {
  bool Started = false;
  TCursor HyperlinkCursor = crHandPoint;
  TKitStringGrid* FocusFrameGrid = nullptr;
  Word ClipboardFormat = 0;
  std::map<QString, Word> Messages;
  QStringList ClassNames;
  bool CommonControls470 = true;
};

TUnitState& GridUnit() {
  static TUnitState state;
  return state;
}

// The focus frame follows window moves of the thread: Qt reports moves and
// resizes of top-level windows to an application event filter.
class TFocusFrameHook : public QObject {
 public:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if ((Event->type() == QEvent::Move || Event->type() == QEvent::Resize) && Watched->isWidgetType() &&
        static_cast<QWidget*>(Watched)->isWindow()) {
      if (TKitStringGrid* grid = GridUnit().FocusFrameGrid) grid->MoveFocusWindow();
    }
    return false;
  }
};

}  // namespace

void TKitGridUnit::Startup() {
  TUnitState& unit = GridUnit();
  if (unit.Started) return;
  unit.Started = true;
  unit.FocusFrameGrid = nullptr;
  if (QCoreApplication* app = QCoreApplication::instance()) {
    static TFocusFrameHook* hook = nullptr;
    if (hook == nullptr) {
      hook = new TFocusFrameHook();
      hook->setParent(app);  // the application owns the filter
      app->installEventFilter(hook);
    }
  }
  // The grid's control classes, by name for component streaming; classes
  // of the editors register themselves when they exist. A failure is
  // swallowed and the rest still registers.
  const std::pair<const char*, const TClassInfo* (*)()> classes[] = {
      {"TKitStringGrid", [] { return ClassInfo<TKitStringGrid>(); }},
      {"TScrollBar", [] { return ClassInfo<TScrollBar>(); }},
  };
  for (const auto& [name, info] : classes) {
    try {
      RegisterClass(info());
      unit.ClassNames << QString::fromLatin1(name);
    } catch (const Exception&) {
    }
  }
  unit.CommonControls470 = GetFileVersionMS(QStringLiteral("comctl32.dll")) >= 0x00040046 ||
                           GetFileVersionMS(QStringLiteral("comctl32.dll")) == -1;
  unit.ClipboardFormat = Word(RegisterClipboardFormat(QStringLiteral("TKitStringGrid Cells")));
  for (const char* name : {"GridEditDone", "GridEditShow", "GridEditInvalid", "GridEditProp", "DTPShiftFocus",
                           "FilterEditUpdate"})
    unit.Messages[QString::fromLatin1(name)] = Word(RegisterWindowMessage(QString::fromLatin1(name)));
}

bool TKitGridUnit::Started() { return GridUnit().Started; }
TCursor TKitGridUnit::HyperlinkCursor() { return GridUnit().HyperlinkCursor; }
TKitStringGrid* TKitGridUnit::FocusFrameGrid() { return GridUnit().FocusFrameGrid; }
void TKitGridUnit::SetFocusFrameGrid(TKitStringGrid* Grid) { GridUnit().FocusFrameGrid = Grid; }
Word TKitGridUnit::ClipboardFormat() { return GridUnit().ClipboardFormat; }
Word TKitGridUnit::MessageId(const QString& Name) {
  auto it = GridUnit().Messages.find(Name);
  return it == GridUnit().Messages.end() ? Word(0) : it->second;
}
const QStringList& TKitGridUnit::RegisteredClassNames() { return GridUnit().ClassNames; }
bool TKitGridUnit::CommonControls470() { return GridUnit().CommonControls470; }

// ---------------------------------------------------------------------------
// Construction

namespace {

// Deletes a component the grid owns (it leaves its owner's list first).
template <class T>
void FreeComponent(T*& Component) {
  std::unique_ptr<TComponent> owned(Component);
  Component = nullptr;
}

}  // namespace

TKitStringGrid::TKitStringGrid(TComponent* AOwner) : TBaseGrid(AOwner) {
  TKitGridUnit::Startup();

  // Scaling, flags and positions before the panels.
  const TComponentState ownerState = AOwner ? AOwner->ComponentState() : TComponentState();
  FDesignTime = ComponentState().Contains(csDesigning) && !ownerState.Contains(csReading) &&
                !ownerState.Contains(csLoading);
  FEncoding = TEncoding::UTF8();
  FColorTones = EmptyColorTones();
  FPrevOfficeTheme = otUnknown;
  FFitCellsInGrid = true;
  FFilterNormalCellsOnly = true;
  FLastScrollCode = 255;

  CreateOwnedObjects();

  // Fonts and the text and active-cell defaults.
  FFixedFont = std::make_unique<TFont>();
  FFixedFont->SetName(QStringLiteral("MS Sans Serif"));
  FFixedFont->SetStyle(TFontStyles{fsBold});
  FFixedFont->SetHeight(-11);
  FFixedFont->OnChange = [this](TObject*) { Invalidate(); };
  FActiveCellFont = std::make_unique<TFont>();
  FActiveCellFont->SetStyle(TFontStyles{fsBold});
  if (ComponentState().Contains(csDesigning)) FActiveCellFont->SetName(QStringLiteral("MS Sans Serif"));
  FActiveCellFont->OnChange = [this](TObject*) { Invalidate(); };
  FWordWrapEx = true;
  SetBaseWordWrap(true);

  // Row count through its setter, then the size of the control.
  SetRowCount(10);
  TBaseGrid::SetBounds(Left(), Top(), 400, 250);

  // Colours, balloons, modified rows, column arrays and text formats.
  FAutoSize = false;
  Store().SetRowHint(TotalColCount());
  FVisibleCol.assign(size_t(ColCount()), true);
  FAllColWidths.assign(size_t(ColCount()), 0);
  for (int c = 0; c < ColCount(); ++c) FAllColWidths[size_t(c)] = ColWidths(c);

  // Default row height through the grid's own setter (a descendant's
  // override runs again in AfterConstruction), then the fixed row height.
  TKitStringGrid::SetDefaultRowHeight(22);
  FFixedRowHeight = DefaultRowHeight();

  // Look, platform and scrolling.
  FLook = glXP;
  FVDXGradientFrom = 0xFFFFFF;
  FVDXGradientTo = ColorToRGB(clBtnFace);
  FVDXGradientMirrorFrom = clNone;
  FVDXGradientMirrorTo = clNone;
  // The platform counts as modern: Windows XP, Vista and 7 and themed
  // common controls.
  FIsWinXP = true;
  FIsWin7 = true;
  FIsVista = true;
  FIsComCtl6 = true;
  FBorderColor = FIsWinXP ? TColor(0xB99D7F) : TColor(0x808080);
  FScrollBars = ssBoth;
  FScrollType = ssNormal;
  FScrollColor = clNone;
  FScrollWidth = GetSystemMetrics(SM_CXVSCROLL);

  FPrevLeftCol = LeftCol();
  FPrevTopRow = TopRow();
  FUIStyle = tsCustom;

  if (!FDesignTime && !ComponentState().Contains(csDesigning)) CreateRunTimeObjects();
  FDesignColumnNumbers = ComponentState().Contains(csDesigning);

  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  FOldCursor = TControl::Cursor();
}

void TKitStringGrid::CreateOwnedObjects() {
  FSearchPanel = new TSearchPanel(this);  // owned by the grid as a component
  FSearchPanel->OnEditChange = [this](TObject* Sender) { SearchEditChange(Sender); };
  FSearchPanel->OnExitClick = [this](TObject* Sender) { SearchPanelCloseClick(Sender); };
  FSearchPanel->OnHighLightClick = [this](TObject* Sender) { SearchPanelHighlightClick(Sender); };
  FSearchPanel->OnMatchCaseClick = [this](TObject* Sender) { SearchPanelMatchCaseClick(Sender); };

  FAutoColor = std::make_unique<TAutoColor>();
  FCellFont = std::make_unique<TFont>();
  FFocusHelper = std::make_unique<TFocusHelper>(this);
  FSearchFooter = std::make_unique<TSearchFooter>(this, FDesignTime);
  FSearchFooter->OnChange = [this](TObject*) { UpdateSearchFooter(); };
  FFloatingFooter = std::make_unique<TFloatingFooter>(this);
  FPrintSettings = std::make_unique<TPrintSettings>();
  FHTMLSettings = std::make_unique<THTMLSettings>();
  FSortSettings = std::make_unique<TSortSettings>(this);
  FDragDropSettings = std::make_unique<TDragDropSettings>(this);
  FDragScrollOptions = std::make_unique<TDragScrollOptions>();
  FControlLook = std::make_unique<TControlLook>(this);
  FNavigation = std::make_unique<TNavigation>();
  FNavigation->OnChange = [this](TObject* Sender) { SpareHook9(Sender); };
  FColumnSize = std::make_unique<TColumnSize>(this);
  FCellNode = std::make_unique<TCellNode>(this);
  FBands = std::make_unique<TBands>();
  FBands->OnChange = [this](TObject*) { Invalidate(); };
  FSizeWhileTyping = std::make_unique<TSizeWhileTyping>();
  FMouseActions = std::make_unique<TMouseActions>(this);
  FMouseActions->OnChange = [this](TObject* Sender) { SpareHook8(Sender); };
  FMouseActions->OnIsDesigning = [this](TObject* Sender, bool& IsDesigning) { GetDesignMode(Sender, IsDesigning); };
  FMouseActions->OnInvalidate = [this](TObject* Sender) { InvalidateGrid(Sender); };
  FMouseActions->OnDisableEdit = [this](TObject*) { DisableEditing(); };
  FGrouping = std::make_unique<TGrouping>();
  FColumnHeaders = std::make_unique<TStringList>();
  FColumnHeaders->OnChange = [this](TObject*) {
    BeforeShowColumnHeaders();
    ShowColumnHeaders();
  };
  FRowHeightCache = std::make_unique<TIntList>(-1, -1);
  FImageCache = std::make_unique<THTMLPictureCache>();
  FOrigColSizes = std::make_unique<TIntList>(-1, -1);
  FSuppressColSizes = std::make_unique<TIntList>(-1, -1);
  FSuppressRowSizes = std::make_unique<TIntList>(-1, -1);
  FRowHeaders = std::make_unique<TStringList>();
  FRowHeaders->OnChange = [this](TObject*) { ShowRowHeaders(); };
  FSortList = std::make_unique<TStringList>();
  FLookupItems = std::make_unique<TStringList>();
  FRowSelect = std::make_unique<TList>();
  FColSelect = std::make_unique<TList>();
  FSortIndexes = std::make_unique<TSortIndexList>();
  FSortIndexes->OnChange = [this](TObject*, int, int) {
    if (HandleAllocated() && !ComponentState().Contains(csDestroying)) Invalidate();
  };
  FSortRowXRef = std::make_unique<TIntList>(0, 0);
  FUnSortRowXRef = std::make_unique<TIntList>(0, 0);
  FMergedColumns = std::make_unique<TIntList>(0, 0);
  FSelectedCells = std::make_unique<TIntList>(0, 0);
  FSelectedRows = std::make_unique<TIntList>(0, 0);
  FModifiedRows = std::make_unique<TIntList>(0, 0);
  FEnabledRows = std::make_unique<TIntList>(0, 0);
  FRowIndicator = std::make_unique<TBitmap>();
  FBackGround = std::make_unique<TBackGround>(this);
  FControlList = std::make_unique<TKitControlList>();
  FProgressAppearance = std::make_unique<TGridProgressAppearance>();
  FProgressAppearance->OnChange = [this](TObject*) { Invalidate(); };
  FSyncGrid = std::make_unique<TSyncGrid>(this);
  FHiddenRowStore = std::make_unique<TCollection>(CollectionItemClassOf<TGridItem>());
  FFilter = std::make_unique<TFilter>(this);
  FBalloon = std::make_unique<TBalloonSettings>();
  FBalloon->OnEnableChange = [this](TObject* Sender) { BalloonEnableChanged(Sender); };
  FShowModified = std::make_unique<TShowModified>();
  FShowModified->OnChange = [this](TObject*) { RepaintCol(0); };
  FNotifierList = std::make_unique<TList>();
  FColumnOrder = std::make_unique<TIntList>(0, 0);
  FCellGraphic = std::make_unique<TCellGraphic>();
  FOfficeHint = std::make_unique<TKitHintInfo>();
  FIgnoreColumns = std::make_unique<TIntList>(-1, -1);
  FFilterDropDown = std::make_unique<TFilterDropDown>();
  if (FDesignTime) {
    FFilterDropDown->SetTextChecked(QStringLiteral("Checked"));
    FFilterDropDown->SetTextUnChecked(QStringLiteral("Unchecked"));
  }
  FFilterDropDown->OnChange = [this](TObject*) { Invalidate(); };
  FDropList = new TListBox(this);  // owned by the grid as a component
  FDropList->SetVisible(false);
  FDropList->SetBounds(0, 0, 0, 0);
  FDropList->SetParent(this);
  FDropCheckList = new TListBox(this);
  FDropCheckList->SetVisible(false);
  FDropCheckList->SetBounds(0, 0, 0, 0);
  FDropCheckList->SetParent(this);
  FFilterList = std::make_unique<TStringList>();
  FFilterList->SetSorted(true);
  FFilterList->SetDuplicates(dupIgnore);
  FFilterEdit = std::make_unique<TFilterEdit>(this);
  FFilterImageList = new TImageList(this);
  FillFilterImageList();
  FHoverButtons = std::make_unique<THoverButtons>(this);
}

void TKitStringGrid::FillFilterImageList() {
  // The nine filter-type glyphs, in the order of the filter types: starts
  // with, ends with, contains, not contains, equal, not equal, larger than,
  // smaller than, clear.
  static const char* const kGlyphs[] = {"a..", "..a", "*a*", "!a", "=", "\u2260", ">", "<", "\u00D7"};
  FFilterImageList->SetMasked(true);
  FFilterImageList->SetDrawingStyle(dsTransparent);
  for (const char* glyph : kGlyphs) {
    TBitmap bitmap(16, 16);
    bitmap.SetPixelFormat(pf32bit);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Brush()->SetColor(clFuchsia);
    canvas->FillRect(TRect(0, 0, 16, 16));
    canvas->Font()->SetHeight(-10);
    canvas->Font()->SetColor(clBlack);
    canvas->Brush()->SetStyle(bsClear);
    TRect rect(0, 0, 16, 16);
    QString text = QString::fromUtf8(glyph);
    canvas->TextRect(rect, text, {tfCenter, tfSingleLine, tfVerticalCenter});
    FFilterImageList->AddMasked(&bitmap, clFuchsia);
  }
}

void TKitStringGrid::CreateRunTimeObjects() {
  FFocusWindow = new TGridFocusWindow(this);
  for (TArrowDirection dir : {arrUp, arrDown, arrLeft, arrRight}) {
    FArrows[dir] = new TArrowWindow(this);
    FArrows[dir]->Init(this, dir);
  }
  FCellScrollBar = new TScrollBar(this);
  FCellScrollBar->SetVisible(false);
  FCellScrollBar->OnMouseLeave = [this](TObject*) {
    if (FCellScrollBar != nullptr) FCellScrollBar->SetVisible(false);
  };
  FPaintScrollBar = new TScrollBar(this);
  FPaintScrollBar->SetVisible(false);
  FHoverButtonForm = new TForm(this);
  FHoverButtonForm->SetBorderStyle(bsNone);
  FHoverButtonForm->SetEnabled(true);
  FHoverButtonForm->SetBounds(0, 0, 200, 22);
  FHoverButtonForm->OnMouseLeave = [this](TObject*) { HideButtonForm(); };
}

void TKitStringGrid::AfterConstruction() {
  TBaseGrid::AfterConstruction();
  if (FFooterPanel != nullptr) return;  // runs once
  FFooterPanel = CreateFooterPanel();
  if (FFooterPanel != nullptr) {
    FFooterPanel->SetAlign(alBottom);
    FFooterPanel->SetHeight(0);
    FFooterPanel->SetBorderWidth(0);
  }
  SetDefaultRowHeight(22);
  FFixedRowHeight = DefaultRowHeight();
}

TFooterPanel* TKitStringGrid::CreateFooterPanel() { return new TFooterPanel(this); }

TKitStringGrid::~TKitStringGrid() {
  Destroying();
  // No node or filter can exist yet; the Metro scroll controls are freed
  // with the scroll code.
  if (!FDesignTime) BalloonDone();
  FClearTextOnly = false;
  FSaveHiddenCells = false;

  // The sort list's notification goes before the list.
  if (FSortIndexes) FSortIndexes->OnChange = nullptr;
  FFooterPanel = nullptr;  // freed with the grid's components
  FreeComponent(FFocusWindow);
  for (TArrowWindow*& arrow : FArrows) FreeComponent(arrow);
  FreeComponent(FCellScrollBar);
  FreeComponent(FPaintScrollBar);
  FreeComponent(FHoverButtonForm);
  FreeComponent(FDropList);
  FreeComponent(FDropCheckList);
  FreeComponent(FFilterImageList);
  FreeComponent(FSearchPanel);
  // Records and their graphics go with the base grid, wherever they lie;
  // the records of hidden rows first.
  FreeHiddenRowRecords();
  FreeAllCellProperties();
  if (TKitGridUnit::FocusFrameGrid() == this) TKitGridUnit::SetFocusFrameGrid(nullptr);
}

// ---------------------------------------------------------------------------
// Window creation, loading, copying

void TKitStringGrid::CreateWnd() {
  if (ComponentState().Contains(csDestroying)) return;
  FLoading = ComponentState().Contains(csLoading);
  TBaseGrid::CreateWnd();
  // A new window takes the drop target's registration over.
  if (FDragDropSettings->OleDropTarget() && !ComponentState().Contains(csDesigning)) {
    FOleDropTargetAssigned = false;
    SetOleDropTargetActive(true);
  }
  if (Parent() == nullptr) return;
  if (!FDesignTime && !ComponentState().Contains(csDesigning)) {
    if (!FLoading) ApplyStyleColors(true);
    for (TScrollBar* bar : {FCellScrollBar, FPaintScrollBar}) {
      if (bar == nullptr) continue;
      bar->SetVisible(false);
      bar->SetParent(this);
      bar->SetTabStop(false);
      bar->SetKind(sbVertical);
      bar->SetWidth(17);
    }
    // The platform does its own high-DPI scaling: the grid's scale is 1.
    FDPIScale = 1.0;
    if (FBalloon->Enable()) BalloonInit();
  }
  if (FFooterPanel != nullptr) {
    FFooterPanel->SetParent(this);
    FFooterPanel->SetVisible(FFloatingFooter->Visible());
  }
  if (FSearchPanel != nullptr) {
    FSearchPanel->SetParent(this);
    FSearchPanel->SetVisible(FSearchFooter->Visible());
    FSearchPanel->SetHeight(FSearchFooter->Visible() ? GetSearchPanelHeight() : 0);
  }
  if (ComponentState().Contains(csDesigning) && !FLoaded && !FLoading) {
    Font()->SetName(QStringLiteral("Tahoma"));
  }
  InitMouseWheel(true);
}

void TKitStringGrid::CreateHandle() {
  TBaseGrid::CreateHandle();
  if (FBalloon->Enable()) BalloonInit();
}

void TKitStringGrid::Loaded() {
  TBaseGrid::Loaded();
  FOldCursor = TControl::Cursor();
  ShowColumnHeaders();
  ShowRowHeaders();
  FFixedRowsMin = RawFixedRows();
  FFixedColsMin = RawFixedCols();
  FMinRowHeight = DefaultRowHeight();
  FMinColWidth = 10;
  FMaxColCount = std::max(FMaxColCount, ColCount());
  FMaxRowCount = std::max(FMaxRowCount, RowCount());
  FLoaded = true;
  if (Options().Contains(goAlwaysShowEditor)) {
    FNavigation->SetAlwaysEdit(true);
    SetOptions(Options() - TGridOptions{goAlwaysShowEditor});
  }
  FSearchFooter->SetAutoThemeAdapt(FAutoThemeAdapt);
  UpdateSearchFooter();
  UpdateAlwaysScrollBars(false);
  FDisSelection = MakeGridRect(-1, -1, -1, -1);
  if (FBalloon->Enable()) BalloonInit();
  if (FSearchFooter->Visible() && HandleAllocated() && FSearchPanel != nullptr) FSearchPanel->SetVisible(true);
  ApplyStyleColors(false);
}

void TKitStringGrid::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TKitStringGrid*>(Source);
  if (src == nullptr) return;
  Font()->Assign(src->Font());
  FActiveCellColor = src->FActiveCellColor;
  FActiveCellColorTo = src->FActiveCellColorTo;
  FActiveCellFont->Assign(src->FActiveCellFont.get());
  FActiveCellShow = src->FActiveCellShow;
  FAutoColor->Assign(src->FAutoColor.get());
  SetActiveRowShow(src->ActiveRowShow());
  SetAlign(src->Align());
  FFilterDropDown->Assign(src->FFilterDropDown.get());
  FAnchorHint = src->FAnchorHint;
  FAutoSize = src->FAutoSize;
  FMouseActions->Assign(src->FMouseActions.get());
  FNavigation->Assign(src->FNavigation.get());
  FGrouping->Assign(src->FGrouping.get());
  FSearchFooter->Assign(src->FSearchFooter.get());
  FPrintSettings->Assign(src->FPrintSettings.get());
  FFilter->Assign(src->FFilter.get());
  FHTMLSettings->Assign(src->FHTMLSettings.get());
  FBands->Assign(src->FBands.get());
  FBackGround->Assign(src->FBackGround.get());
  FCellNode->Assign(src->FCellNode.get());
  FSortSettings->Assign(src->FSortSettings.get());
  FDragScrollOptions->Assign(src->FDragScrollOptions.get());
  FDragDropSettings->Assign(src->FDragDropSettings.get());
  FProgressAppearance->Assign(src->FProgressAppearance.get());
  FColumnSize->Assign(src->FColumnSize.get());
  FSyncGrid->Assign(src->FSyncGrid.get());
  FFocusHelper->Assign(src->FFocusHelper.get());
  FFilterEdit->Assign(src->FFilterEdit.get());
  FHoverButtons->Assign(src->FHoverButtons.get());
  FShowModified->Assign(src->FShowModified.get());
  FControlLook->Assign(src->FControlLook.get());
  FBalloon->Assign(src->FBalloon.get());
  FOfficeHint->Assign(src->FOfficeHint.get());
  FFixedRowAlways = src->FFixedRowAlways;
  SetColCount(src->ColCount());
  SetRowCount(src->RowCount());
  SetFixedRows(src->FixedRows());
  SetFixedCols(src->FixedCols());
  SetDefaultColWidth(src->DefaultColWidth());
  SetDefaultRowHeight(src->DefaultRowHeight());
  SetFixedRowHeight(src->FixedRowHeight());
  SetFixedColWidth(src->FixedColWidth());
  FInvalidEntryTitle = src->FInvalidEntryTitle;
  FInvalidEntryIcon = src->FInvalidEntryIcon;
  FInvalidEntryText = src->FInvalidEntryText;
  SetOptions(src->Options());
  for (int c = 0; c < std::min(ColCount(), src->ColCount()); ++c) SetColWidths(c, src->ColWidths(c));
  FColumnHeaders->Assign(src->FColumnHeaders.get());
  for (int r = 0; r < std::min(RowCount(), src->RowCount()); ++r) SetRowHeights(r, src->RowHeights(r));
  FScrollProportional = src->FScrollProportional;
  FScrollSynch = src->FScrollSynch;
  FScrollWidth = src->FScrollWidth;
  FScrollHints = src->FScrollHints;
  FScrollBarAlways = src->FScrollBarAlways;
  SetScrollBars(src->ScrollBars());
  SetScrollColor(src->ScrollColor());
  SetScrollType(src->ScrollType());
  SetScrollWidth(src->ScrollWidth());
  SetLook(src->Look());
  FBorderColor = src->FBorderColor;
  FSelectionColor = src->FSelectionColor;
  FSelectionColorTo = src->FSelectionColorTo;
  FSelectionMirrorColor = src->FSelectionMirrorColor;
  FSelectionMirrorColorTo = src->FSelectionMirrorColorTo;
  FSelectionTextColor = src->FSelectionTextColor;
  FSelectionRTFKeep = src->FSelectionRTFKeep;
  FSelectionResizer = src->FSelectionResizer;
  FAutoFilterUpdate = src->FAutoFilterUpdate;
  FAutoHideSelection = src->FAutoHideSelection;
  FAutoNumAlign = src->FAutoNumAlign;
  FAutoThemeAdapt = src->FAutoThemeAdapt;
  FDefaultEditor = src->FDefaultEditor;
  FDisabledFontColor = src->FDisabledFontColor;
  FEditWithTags = src->FEditWithTags;
  FEnableHTML = src->FEnableHTML;
  FEnableBlink = src->FEnableBlink;
  FEnhRowColMove = src->FEnhRowColMove;
  FEnhTextSize = src->FEnhTextSize;
  FExcelStyleDecimalSeparator = src->FExcelStyleDecimalSeparator;
  FFilterDropDownAuto = src->FFilterDropDownAuto;
  FFilterDropDownCheck = src->FFilterDropDownCheck;
  FFilterDropDownCheckUnCheckAll = src->FFilterDropDownCheckUnCheckAll;
  FFilterDropDownClear = src->FFilterDropDownClear;
  FFilterDropDownColumns = src->FFilterDropDownColumns;
  FFilterDropDownMultiCol = src->FFilterDropDownMultiCol;
  SetFilterDropDownRow(src->FilterDropDownRow());
  FFixedAsButtons = src->FFixedAsButtons;
  FFixedFooters = src->FFixedFooters;
  FFixedRightCols = src->FFixedRightCols;
  SetGridLineColor(src->GridLineColor());
  SetGridLineWidth(src->GridLineWidth());
  FHighlightColor = src->FHighlightColor;
  FHighlightTextColor = src->FHighlightTextColor;
  FHintColor = src->FHintColor;
  FHintShowCells = src->FHintShowCells;
  FHintShowLargeText = src->FHintShowLargeText;
  FHintShowLargeTextPos = src->FHintShowLargeTextPos;
  FHovering = src->FHovering;
  SetHoverRow(src->HoverRow());
  SetHoverRowColor(src->HoverRowColor());
  SetHoverRowColorTo(src->HoverRowColorTo());
  FIntelliZoom = src->FIntelliZoom;
  FIntelliPan = src->FIntelliPan;
  FIntegralHeight = src->FIntegralHeight;
  FHTMLHint = src->FHTMLHint;
  FHTMLKeepLineBreak = src->FHTMLKeepLineBreak;
  FInvalidEntryIcon = src->FInvalidEntryIcon;
  FInvalidEntryTitle = src->FInvalidEntryTitle;
  FInvalidEntryText = src->FInvalidEntryText;
  FLookupHistory = src->FLookupHistory;
  FLookup = src->FLookup;
  FLookupItems->Assign(src->FLookupItems.get());
  FLookupCaseSensitive = src->FLookupCaseSensitive;
  FMaxComboLength = src->FMaxComboLength;
  FMaxEditLength = src->FMaxEditLength;
  FMultilinecells = src->FMultilinecells;
  AssignCells(src);
}

void TKitStringGrid::AssignCells(TPersistent* Source) {
  auto* src = dynamic_cast<TKitStringGrid*>(Source);
  if (src == nullptr) return;
  // The binary grid stream carries the cells with their records and
  // graphics; until it exists the texts and the records are copied
  // directly, each record into a record of this grid.
  BeginUpdate();
  try {
    for (int r = 0; r < std::min(RowCount(), src->RowCount()); ++r)
      for (int c = 0; c < std::min(ColCount(), src->ColCount()); ++c) {
        SetGridCell(c, r, src->GetGridCell(c, r));
        if (TCellProperties* from = src->FindCellProperties(c, r)) {
          TCellProperties* to = GetCellProperties(c, r);
          to->Assign(from);
          to->SetBrushColorTo(from->BrushColorTo());
          to->SetGradientDirection(from->GradientDirection());
          to->SetCalcType(from->CalcType());
          if (auto* graphic = dynamic_cast<TCellGraphic*>(from->GraphicObject())) {
            auto copy = std::make_unique<TCellGraphic>();
            copy->Assign(graphic);
            copy->SetCellCreated(false);  // object references are not copied
            SetGraphicObjectEx(c, r, copy.release(), true);
          }
        } else {
          FreeCellProperties(c, r);
        }
      }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TKitStringGrid::Invalidate() {
  if (FEditChange) {
    FEditChange = false;
    return;
  }
  TBaseGrid::Invalidate();
  if (!ComponentState().Contains(csLoading) && FFooterPanel != nullptr && FFloatingFooter != nullptr &&
      FFloatingFooter->Visible())
    FFooterPanel->Invalidate();
}

void TKitStringGrid::Resize() {
  TBaseGrid::Resize();
  if (OnResize) OnResize(this);
  UpdateAlwaysScrollBars(false);
  CellControlsUpdate(false);
  InitMouseWheel(false);
  if (ComponentState().Contains(csDesigning)) Invalidate();
}

void TKitStringGrid::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (FIntegralHeight && FUpdateCount == 0 && DefaultRowHeight() > 0) {
    int visibleAndFixed = 0;
    int x = 0;
    for (int c = 0; c < ColCount() && x < AWidth; ++c, ++visibleAndFixed) x += ColWidths(c);
    const int a = visibleAndFixed < ColCount() ? GetSystemMetrics(SM_CYHSCROLL) : 0;
    const int b = BorderStyle() == bsSingle ? 2 : 0;
    const int inner = std::max(AHeight - a - b, 0);
    AHeight = a + 2 * b + inner / DefaultRowHeight() * DefaultRowHeight();
  }
  TBaseGrid::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (Parent() != nullptr && Parent()->HandleAllocated()) PaintGridBorder();
}

void TKitStringGrid::SetBorderColor(TColor Value) {
  if (FBorderColor == Value) return;
  FBorderColor = Value;
  if (Parent() != nullptr && Parent()->HandleAllocated()) PaintGridBorder();
}

void TKitStringGrid::SetIntegralHeight(bool Value) {
  FIntegralHeight = Value;
  SetBounds(Left(), Top(), Width(), Height());
}

void TKitStringGrid::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent != nullptr) {
    if (AComponent == FGridImages) FGridImages = nullptr;
    else if (AComponent == FPictureContainer) FPictureContainer = nullptr;
    else if (AComponent == reinterpret_cast<TComponent*>(FCellChecker)) FCellChecker = nullptr;
    // An arrow shown as an insert marker lives in the top-level window,
    // which frees it with its other children.
    for (TArrowWindow*& arrow : FArrows)
      if (AComponent == arrow) arrow = nullptr;
    else if (!ComponentState().Contains(csDestroying) && FSyncGrid && FSyncGrid->Grid() == AComponent)
      FSyncGrid->SetGrid(nullptr);
  }
  TBaseGrid::Notification(AComponent, Operation);
}

void TKitStringGrid::SetGridImages(TCustomImageList* Value) {
  if (FGridImages == Value) return;
  if (FGridImages != nullptr) FGridImages->RemoveFreeNotification(this);
  FGridImages = Value;
  if (Value != nullptr) Value->FreeNotification(this);
}

void TKitStringGrid::SetPictureContainer(TPictureContainer* Value) {
  if (FPictureContainer == Value) return;
  if (FPictureContainer != nullptr) FPictureContainer->RemoveFreeNotification(this);
  FPictureContainer = Value;
  if (Value != nullptr) Value->FreeNotification(this);
}

int TKitStringGrid::InitMouseWheel(bool Init) {
  FWheelMessage = 0;
  FWheelScrollLines = 0;
  FWheelPan = false;
  int lines = QApplication::wheelScrollLines();
  if (lines < 0) lines = VisibleRowCount();  // one page
  FWheelScrollLines = lines;
  FWheelMessage = WM_MOUSEWHEEL;
  return FWheelScrollLines;
}


QString TKitStringGrid::GetVersionString() {
  const int v = GetVersionNr();
  return QStringLiteral("%1.%2.%3.%4 May, 2022")
      .arg((v >> 24) & 0xFF)
      .arg((v >> 16) & 0xFF)
      .arg((v >> 8) & 0xFF)
      .arg(v & 0xFF);
}

QString TKitStringGrid::Version() {
  const int v = GetVersionNr();
  return QStringLiteral("%1.%2.%3.%4").arg((v >> 24) & 0xFF).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

// ---------------------------------------------------------------------------
// Balloons: the tooltip window of the balloon settings

void TKitStringGrid::BalloonEnableChanged(TObject*) {
  if (ComponentState().Contains(csLoading)) return;
  // The footer panel's balloon follows the switch as the grid's does (its
  // window may exist already).
  if (FBalloon->Enable()) {
    BalloonInit();
    if (FFooterPanel != nullptr && FFooterPanel->HandleAllocated()) FFooterPanel->BalloonInit();
  } else {
    BalloonDone();
    if (FFooterPanel != nullptr) FFooterPanel->BalloonDone();
  }
}

// BalloonInit and BalloonDone: KitGridHints.cpp.

// ---------------------------------------------------------------------------
// Published properties (the stored defaults are the component stream's:
// FixedRowHeight is declared with 21 while a new grid has 22, so a stored
// 21 is never written and loads as 22).

TF_PUBLISHED(TKitStringGrid, TStringGrid) {
  using G = TKitStringGrid;
  return TPublished<G>()
      .Integer("RowCount", &G::RowCount, &G::SetRowCount)
      .Default(10)
      .Integer("ColCount", &G::ColCount, &G::SetColCount)
      .Default(5)
      .Integer("FixedRows", &G::FixedRows, &G::SetFixedRows)
      .Default(1)
      .Integer("FixedCols", &G::FixedCols, &G::SetFixedCols)
      .Default(1)
      .Boolean("FixedRowAlways", &G::FixedRowAlways, &G::SetFixedRowAlways)
      .Default(false)
      .Boolean("FixedColAlways", &G::FixedColAlways, &G::SetFixedColAlways)
      .Default(false)
      .Integer("FixedFooters", &G::FixedFooters, &G::SetFixedFooters)
      .Default(0)
      .Integer("FixedRightCols", &G::FixedRightCols, &G::SetFixedRightCols)
      .Default(0)
      .Integer("DefaultRowHeight", &G::GetDefaultRowHeight, [](G& g, int v) { g.SetDefaultRowHeight(v); })
      .Default(22)
      .Integer("FixedRowHeight", &G::FixedRowHeight, &G::SetFixedRowHeight)
      .Default(21)
      .Integer("FixedColWidth", &G::FixedColWidth, &G::SetFixedColWidth)
      .Default(64)
      .Enum("DefaultAlignment", &G::DefaultAlignment, &G::SetDefaultAlignment)
      .Default(taLeftJustify)
      .Boolean("WordWrap", &G::WordWrap, &G::SetWordWrap)
      .Default(true)
      .Enum("VAlignment", &G::VAlignment, &G::SetVAlignment)
      .Default(vtaTop)
      .Boolean("ActiveRowShow", &G::ActiveRowShow, &G::SetActiveRowShow)
      .Default(false)
      .Color("ActiveRowColor", &G::ActiveRowColor, &G::SetActiveRowColor)
      .Default(clInfoBk)
      .Boolean("ActiveCellShow", &G::ActiveCellShow, &G::SetActiveCellShow)
      .Default(false)
      .Color("ActiveCellColor", &G::ActiveCellColor, &G::SetActiveCellColor)
      .Default(0x808080)
      .Color("ActiveCellColorTo", &G::ActiveCellColorTo, &G::SetActiveCellColorTo)
      .Default(clNone)
      .Object("ActiveCellFont", &G::ActiveCellFont, &G::SetActiveCellFont)
      .Boolean("DefaultDrawing", &G::DefaultDrawing, &G::SetDefaultDrawing)
      .Default(false)
      .Integer("GridLineWidth", &G::GridLineWidth, &G::SetGridLineWidth)
      .Default(1)
      .Color("GridLineColor", &G::GridLineColor, &G::SetGridLineColor)
      .Default(0xC0C0C0)
      .Color("GridFixedLineColor", &G::GridFixedLineColor, &G::SetGridFixedLineColor)
      .Default(0x808080)
      .Boolean("HoverRow", &G::HoverRow, &G::SetHoverRow)
      .Default(false)
      .Color("HoverRowColor", &G::HoverRowColor, &G::SetHoverRowColor)
      .Default(clInfoBk)
      .Color("HoverRowColorTo", &G::HoverRowColorTo, &G::SetHoverRowColorTo)
      .Default(clNone)
      .Color("SelectionColor", &G::SelectionColor, &G::SetSelectionColor)
      .Default(0xEACAB6)
      .Color("SelectionColorTo", &G::SelectionColorTo, &G::SetSelectionColorTo)
      .Default(clNone)
      .Color("SelectionMirrorColor", &G::SelectionMirrorColor, &G::SetSelectionMirrorColor)
      .Default(clNone)
      .Color("SelectionMirrorColorTo", &G::SelectionMirrorColorTo, &G::SetSelectionMirrorColorTo)
      .Default(clNone)
      .Color("SelectionTextColor", &G::SelectionTextColor, &G::SetSelectionTextColor)
      .Default(0)
      .Integer("SelectionColorMixerFactor", &G::SelectionColorMixerFactor, &G::SetSelectionColorMixerFactor)
      .Default(50)
      .Boolean("ShowSelection", &G::ShowSelection, &G::SetShowSelection)
      .Default(true)
      .Boolean("ShowDesignHelper", &G::ShowDesignHelper, &G::SetShowDesignHelper)
      .Default(true)
      .Color("BorderColor", &G::BorderColor, &G::SetBorderColor)
      .Default(0xB99D7F)
      .Enum("Look", &G::Look, &G::SetLook)
      .Default(glXP)
      .Enum("UIStyle", &G::UIStyle, &G::SetUIStyle)
      .Default(tsCustom)
      .Enum("FormatType", &G::FormatType, &G::SetFormatType)
      .Default(ftKWF)
      .Boolean("Flat", &G::Flat, &G::SetFlat)
      .Default(false)
      .Boolean("AutoSize", &G::AutoSize, &G::SetAutoSize)
      .Default(false)
      .Boolean("SizeWithForm", &G::SizeWithForm, &G::SetSizeWithForm)
      .Default(false)
      .Integer("MaxEditLength", &G::MaxEditLength, &G::SetMaxEditLength)
      .Default(0)
      .String("FloatFormat", &G::FloatFormat, &G::SetFloatFormat)
      .String("CheckTrue", &G::CheckTrue, &G::SetCheckTrue)
      .String("CheckFalse", &G::CheckFalse, &G::SetCheckFalse)
      .Boolean("ShowNullDates", &G::ShowNullDates, &G::SetShowNullDates)
      .Default(true)
      .Color("URLColor", &G::URLColor, &G::SetURLColor)
      .Default(0xFF0000)
      .Boolean("URLShow", &G::URLShow, &G::SetURLShow)
      .Default(false)
      .Boolean("URLUnderline", &G::URLUnderline, &G::SetURLUnderline)
      .Default(true)
      .Boolean("EnableHTML", &G::EnableHTML, &G::SetEnableHTML)
      .Default(true)
      .Boolean("IntegralHeight", &G::IntegralHeight, &G::SetIntegralHeight)
      .Default(false)
      .Object("FixedFont", &G::FixedFont, &G::SetFixedFont)
      .Object("ColumnHeaders", &G::ColumnHeaders, [](G& g, TStringList* v) { g.SetColumnHeaders(v); })
      .Object("RowHeaders", &G::RowHeaders, [](G& g, TStringList* v) { g.SetRowHeaders(v); })
      .Object("FloatingFooter", &G::FloatingFooter, [](G& g, TFloatingFooter* v) { g.FloatingFooter()->Assign(v); })
      .Object("PrintSettings", &G::PrintSettings, [](G& g, TPrintSettings* v) { g.PrintSettings()->Assign(v); })
      .Object("HTMLSettings", &G::HTMLSettings, [](G& g, THTMLSettings* v) { g.HTMLSettings()->Assign(v); })
      .Object("SortSettings", &G::SortSettings, &G::SetSortSettings)
      .Object("DragDropSettings", &G::DragDropSettings,
              [](G& g, TDragDropSettings* v) { g.DragDropSettings()->Assign(v); })
      .Object("DragScrollOptions", &G::DragScrollOptions, &G::SetDragScrollOptions)
      .Object("Grouping", &G::Grouping, [](G& g, TGrouping* v) { g.Grouping()->Assign(v); })
      .Object("FilterDropDown", &G::FilterDropDown, [](G& g, TFilterDropDown* v) { g.FilterDropDown()->Assign(v); })
      .Object("FilterEdit", &G::FilterEdit, &G::SetFilterEdit)
      .Object("Balloon", &G::Balloon, [](G& g, TBalloonSettings* v) { g.Balloon()->Assign(v); })
      .Object("ShowModified", &G::ShowModified, [](G& g, TShowModified* v) { g.ShowModified()->Assign(v); })
      .Object("HoverButtons", &G::HoverButtons, [](G& g, THoverButtons* v) { g.HoverButtons()->Assign(v); })
      .Object("FocusHelper", &G::FocusHelper, &G::SetFocusHelper)
      .Object("OfficeHint", &G::OfficeHint, &G::SetOfficeHint)
      .Event("OnGetDisplText", &G::OnGetDisplText)
      .Event("OnRowCountChange", &G::OnRowCountChange)
      .Event("OnGetCellColor", &G::OnGetCellColor)
      .Event("OnGetAlignment", &G::OnGetAlignment)
      .Event("OnCanEditCell", &G::OnCanEditCell)
      .Event("OnGetEditorType", &G::OnGetEditorType)
      .Event("OnGridHint", &G::OnGridHint)
      .Event("OnGetFloatFormat", &G::OnGetFloatFormat);
}
