// A new grid: the values its constructor fixes, the objects it owns (at run
// time and in a designer), the unit's start-up registrations, copying from
// another grid, the one-shot repaint swallow, the integral height, and a
// grid full of records and graphics destroyed without leaks.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "gdiplus/KitHintInfo.h"
#include "gdiplus/PictureContainer.h"
#include "grid/model/KitGrid.h"
#include "platform/win32/WinUser.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

struct TDefault {
  const char* Name;
  std::function<qint64(TKitStringGrid&)> Read;
  qint64 Expected;
};

TEST(GridConstruct, DefaultValues) {
  auto grid = NewGrid();
  const std::vector<TDefault> table = {
      {"RowCount", [](TKitStringGrid& g) { return g.RowCount(); }, 10},
      {"ColCount", [](TKitStringGrid& g) { return g.ColCount(); }, 5},
      {"FixedRows", [](TKitStringGrid& g) { return g.FixedRows(); }, 1},
      {"FixedCols", [](TKitStringGrid& g) { return g.FixedCols(); }, 1},
      {"DefaultColWidth", [](TKitStringGrid& g) { return g.DefaultColWidth(); }, 64},
      {"DefaultRowHeight", [](TKitStringGrid& g) { return g.DefaultRowHeight(); }, 22},
      {"FixedRowHeight", [](TKitStringGrid& g) { return g.FixedRowHeight(); }, 22},
      {"row 0 height", [](TKitStringGrid& g) { return g.RowHeights(0); }, 22},
      {"Width", [](TKitStringGrid& g) { return g.Width(); }, 400},
      {"Height", [](TKitStringGrid& g) { return g.Height(); }, 250},
      {"ZoomFactor", [](TKitStringGrid& g) { return g.ZoomFactor(); }, 0},
      {"MinRowHeight", [](TKitStringGrid& g) { return g.MinRowHeight(); }, 0},
      {"MaxColWidth", [](TKitStringGrid& g) { return g.MaxColWidth(); }, 0},
      {"Look", [](TKitStringGrid& g) { return g.Look(); }, glXP},
      {"UIStyle", [](TKitStringGrid& g) { return g.UIStyle(); }, tsCustom},
      {"BorderColor", [](TKitStringGrid& g) { return g.BorderColor(); }, 0xB99D7F},
      {"VDXGradientFrom", [](TKitStringGrid& g) { return g.VDXGradientFrom(); }, 0xFFFFFF},
      {"VDXGradientTo", [](TKitStringGrid& g) { return g.VDXGradientTo(); }, ColorToRGB(clBtnFace)},
      {"VDXGradientMirrorFrom", [](TKitStringGrid& g) { return g.VDXGradientMirrorFrom(); }, clNone},
      {"UseStyleServices", [](TKitStringGrid& g) { return g.UseStyleServices(); }, 1},
      {"PrevOfficeTheme", [](TKitStringGrid& g) { return g.PrevOfficeTheme(); }, otUnknown},
      {"SelectionColor", [](TKitStringGrid& g) { return g.SelectionColor(); }, 0xEACAB6},
      {"SelectionColorTo", [](TKitStringGrid& g) { return g.SelectionColorTo(); }, clNone},
      {"SelectionMirrorColor", [](TKitStringGrid& g) { return g.SelectionMirrorColor(); }, clNone},
      {"SelectionTextColor", [](TKitStringGrid& g) { return g.SelectionTextColor(); }, 0},
      {"SelectionRectangleColor", [](TKitStringGrid& g) { return g.SelectionRectangleColor(); }, 0},
      {"SelectionColorMixerFactor", [](TKitStringGrid& g) { return g.SelectionColorMixerFactor(); }, 50},
      {"ShowSelection", [](TKitStringGrid& g) { return g.ShowSelection(); }, 1},
      {"ShowFocusedSelectionColor", [](TKitStringGrid& g) { return g.ShowFocusedSelectionColor(); }, 1},
      {"UseSelectionTextColor", [](TKitStringGrid& g) { return g.UseSelectionTextColor(); }, 1},
      {"HideFocusRect", [](TKitStringGrid& g) { return g.HideFocusRect(); }, 0},
      {"HintColor", [](TKitStringGrid& g) { return g.HintColor(); }, clInfoBk},
      {"HighlightColor", [](TKitStringGrid& g) { return g.HighlightColor(); }, clHighlight},
      {"HighlightTextColor", [](TKitStringGrid& g) { return g.HighlightTextColor(); }, clHighlightText},
      {"HintShowLargeTextPos", [](TKitStringGrid& g) { return g.HintShowLargeTextPos(); }, hpCell},
      {"UseInternalHintClass", [](TKitStringGrid& g) { return g.UseInternalHintClass(); }, 1},
      {"HTMLKeepLineBreak", [](TKitStringGrid& g) { return g.HTMLKeepLineBreak(); }, 1},
      {"InvalidEntryIcon", [](TKitStringGrid& g) { return g.InvalidEntryIcon(); }, ieWarning},
      {"FixedFont height", [](TKitStringGrid& g) { return g.FixedFont()->Height(); }, -11},
      {"FixedFont bold", [](TKitStringGrid& g) { return g.FixedFont()->Style() == TFontStyles{fsBold}; }, 1},
      {"ActiveCellFont bold", [](TKitStringGrid& g) { return g.ActiveCellFont()->Style() == TFontStyles{fsBold}; }, 1},
      {"UseFixedFont", [](TKitStringGrid& g) { return g.UseFixedFont(); }, 1},
      {"UseDisabledFont", [](TKitStringGrid& g) { return g.UseDisabledFont(); }, 1},
      {"DisabledFontColor", [](TKitStringGrid& g) { return g.DisabledFontColor(); }, 0xC0C0C0},
      {"EnableHTML", [](TKitStringGrid& g) { return g.EnableHTML(); }, 1},
      {"URLColor", [](TKitStringGrid& g) { return g.URLColor(); }, 0xFF0000},
      {"URLUnderline", [](TKitStringGrid& g) { return g.URLUnderline(); }, 1},
      {"WordWrap", [](TKitStringGrid& g) { return g.WordWrap(); }, 1},
      {"VAlignment", [](TKitStringGrid& g) { return g.VAlignment(); }, vtaTop},
      {"DefaultAlignment", [](TKitStringGrid& g) { return g.DefaultAlignment(); }, taLeftJustify},
      {"DefaultEditor", [](TKitStringGrid& g) { return g.DefaultEditor(); }, edNormal},
      {"XYOffset.X", [](TKitStringGrid& g) { return g.XYOffset().X; }, 2},
      {"XYOffset.Y", [](TKitStringGrid& g) { return g.XYOffset().Y; }, 2},
      {"XYRTFOffset.X", [](TKitStringGrid& g) { return g.XYRTFOffset().X; }, 0},
      {"PasswordChar", [](TKitStringGrid& g) { return g.PasswordChar().unicode(); }, '*'},
      {"ActiveCellColor", [](TKitStringGrid& g) { return g.ActiveCellColor(); }, 0x808080},
      {"ActiveCellColorTo", [](TKitStringGrid& g) { return g.ActiveCellColorTo(); }, clNone},
      {"Delimiter", [](TKitStringGrid& g) { return g.Delimiter().unicode(); }, 0},
      {"JavaCSV", [](TKitStringGrid& g) { return g.JavaCSV(); }, 0},
      {"QuoteEmptyCells", [](TKitStringGrid& g) { return g.QuoteEmptyCells(); }, 1},
      {"QuoteQuoteCells", [](TKitStringGrid& g) { return g.QuoteQuoteCells(); }, 1},
      {"AlwaysQuotes", [](TKitStringGrid& g) { return g.AlwaysQuotes(); }, 0},
      {"CSVMultilineCellImport", [](TKitStringGrid& g) { return g.CSVMultilineCellImport(); }, 1},
      {"CSVTrimSpaces", [](TKitStringGrid& g) { return g.CSVTrimSpaces(); }, 1},
      {"ShowNullDates", [](TKitStringGrid& g) { return g.ShowNullDates(); }, 1},
      {"SaveFixedCells", [](TKitStringGrid& g) { return g.SaveFixedCells(); }, 1},
      {"SaveFixedRows", [](TKitStringGrid& g) { return g.SaveFixedRows(); }, 0},
      {"SaveHiddenCells", [](TKitStringGrid& g) { return g.SaveHiddenCells(); }, 0},
      {"SaveVirtCells", [](TKitStringGrid& g) { return g.SaveVirtCells(); }, 1},
      {"SaveMergedCells", [](TKitStringGrid& g) { return g.SaveMergedCells(); }, 1},
      {"SaveWithHTML", [](TKitStringGrid& g) { return g.SaveWithHTML(); }, 1},
      {"LoadFirstRow", [](TKitStringGrid& g) { return g.LoadFirstRow(); }, 1},
      {"ClearTextOnly", [](TKitStringGrid& g) { return g.ClearTextOnly(); }, 0},
      {"ExcelClipboardFormat", [](TKitStringGrid& g) { return g.ExcelClipboardFormat(); }, 0},
      {"PrintPageFrom", [](TKitStringGrid& g) { return g.PrintPageFrom(); }, 1},
      {"PrintPageTo", [](TKitStringGrid& g) { return g.PrintPageTo(); }, 1},
      {"PrintNrOfPages", [](TKitStringGrid& g) { return g.PrintNrOfPages(); }, 0},
      {"FilterNormalCellsOnly", [](TKitStringGrid& g) { return g.FilterNormalCellsOnly(); }, 1},
      {"AutoFilterUpdate", [](TKitStringGrid& g) { return g.AutoFilterUpdate(); }, 1},
      {"FilterDropDownColumns", [](TKitStringGrid& g) { return g.FilterDropDownColumns(); }, fdNormal},
      {"FilterDropDownMultiCol", [](TKitStringGrid& g) { return g.FilterDropDownMultiCol(); }, 1},
      {"FilterIncremental", [](TKitStringGrid& g) { return g.FilterIncremental(); }, 0},
      {"FilterLevel", [](TKitStringGrid& g) { return g.FilterLevel(); }, 0},
      {"FilterCol", [](TKitStringGrid& g) { return g.FilterCol(); }, -1},
      {"EnableWheel", [](TKitStringGrid& g) { return g.EnableWheel(); }, 1},
      {"IntelliZoom", [](TKitStringGrid& g) { return g.IntelliZoomEnabled(); }, 1},
      {"EnhRowColMove", [](TKitStringGrid& g) { return g.EnhRowColMove(); }, 1},
      {"ShowDesignHelper", [](TKitStringGrid& g) { return g.ShowDesignHelper(); }, 1},
      {"FitCellsInGrid", [](TKitStringGrid& g) { return g.FitCellsInGrid(); }, 1},
      {"SizeGrowOnly", [](TKitStringGrid& g) { return g.SizeGrowOnly(); }, 0},
      {"VirtualEdit", [](TKitStringGrid& g) { return g.VirtualEdit(); }, 0},
      {"GroupColumn", [](TKitStringGrid& g) { return g.GroupColumn(); }, -1},
      {"UpdateCount", [](TKitStringGrid& g) { return g.UpdateCount(); }, 0},
      {"NumCellControls", [](TKitStringGrid& g) { return g.NumCellControls(); }, 0},
      {"HoverFixedCells", [](TKitStringGrid& g) { return g.HoverFixedCells(); }, hfNone},
      {"HoverFixedCell.X", [](TKitStringGrid& g) { return g.HoverFixedCell().X; }, -1},
      {"ComboIndex", [](TKitStringGrid& g) { return g.ComboIndex(); }, -1},
      {"ScrollBars", [](TKitStringGrid& g) { return g.ScrollBars(); }, ssBoth},
      {"ScrollType", [](TKitStringGrid& g) { return g.ScrollType(); }, ssNormal},
      {"ScrollColor", [](TKitStringGrid& g) { return g.ScrollColor(); }, clNone},
      {"ScrollWidth", [](TKitStringGrid& g) { return g.ScrollWidth(); }, GetSystemMetrics(SM_CXVSCROLL)},
      {"DPIScale", [](TKitStringGrid& g) { return qint64(g.DPIScale() * 1000); }, 1000},
      {"GridLineWidth", [](TKitStringGrid& g) { return g.GridLineWidth(); }, 1},
      {"framework line width", [](TKitStringGrid& g) { return g.TCustomGrid::GridLineWidth(); }, 0},
      {"DefaultDrawing", [](TKitStringGrid& g) { return g.DefaultDrawing(); }, 0},
      {"framework default drawing", [](TKitStringGrid& g) { return g.TCustomGrid::DefaultDrawing(); }, 0},
      {"GridLineColor", [](TKitStringGrid& g) { return g.GridLineColor(); }, 0xC0C0C0},
      {"GridFixedLineColor", [](TKitStringGrid& g) { return g.GridFixedLineColor(); }, 0x808080},
      {"ActiveRowColor", [](TKitStringGrid& g) { return g.ActiveRowColor(); }, clInfoBk},
      {"HoverRowColorTo", [](TKitStringGrid& g) { return g.HoverRowColorTo(); }, clNone},
      {"accepts controls", [](TKitStringGrid& g) { return g.ControlStyle().Contains(csAcceptsControls); }, 1},
      {"hyperlink cursor", [](TKitStringGrid&) { return TKitGridUnit::HyperlinkCursor(); }, crHandPoint},
      {"FloatingFooter height", [](TKitStringGrid& g) { return g.FloatingFooter()->Height(); }, 22},
      {"visible column flags", [](TKitStringGrid& g) { return qint64(g.VisibleCol().size()); }, 5},
  };
  for (const TDefault& d : table) EXPECT_EQ(d.Read(*grid), d.Expected) << d.Name;

  const struct {
    const char* Name;
    QString Value;
    QString Expected;
  } texts[] = {
      {"FloatFormat", grid->FloatFormat(), u"%.2f"_qs},
      {"CheckTrue", grid->CheckTrue(), u"Y"_qs},
      {"CheckFalse", grid->CheckFalse(), u"N"_qs},
      {"XMLEncoding", grid->XMLEncoding(), u"ISO-8859-1"_qs},
      {"FilterDropDownClear", grid->FilterDropDownClear(), u"(All)"_qs},
      {"FixedFont name", grid->FixedFont()->Name(), u"MS Sans Serif"_qs},
      {"Version", grid->Version(), u"8.6.14.1"_qs},
      {"VersionString", grid->GetVersionString(), u"8.6.14.1 May, 2022"_qs},
  };
  for (const auto& t : texts) EXPECT_EQ(t.Value, t.Expected) << t.Name;
  EXPECT_EQ(grid->Encoding(), TEncoding::UTF8());
}

TEST(GridConstruct, OwnedObjectsExist) {
  auto grid = NewGrid();
  const std::vector<std::pair<const char*, const void*>> owned = {
      {"FooterPanel", grid->FooterPanel()},         {"SearchPanel", grid->SearchPanel()},
      {"AutoColor", grid->AutoColor()},             {"FocusHelper", grid->FocusHelper()},
      {"SearchFooter", grid->SearchFooter()},       {"FloatingFooter", grid->FloatingFooter()},
      {"PrintSettings", grid->PrintSettings()},     {"HTMLSettings", grid->HTMLSettings()},
      {"SortSettings", grid->SortSettings()},       {"DragDropSettings", grid->DragDropSettings()},
      {"DragScrollOptions", grid->DragScrollOptions()}, {"ControlLook", grid->ControlLook()},
      {"Navigation", grid->Navigation()},           {"ColumnSize", grid->ColumnSize()},
      {"CellNode", grid->CellNode()},               {"Bands", grid->Bands()},
      {"SizeWhileTyping", grid->SizeWhileTyping()}, {"MouseActions", grid->MouseActions()},
      {"Grouping", grid->Grouping()},               {"ColumnHeaders", grid->ColumnHeaders()},
      {"RowHeightCache", grid->RowHeightCache()},   {"ImageCache", grid->ImageCache()},
      {"OrigColSizes", grid->OrigColSizes()},       {"SuppressColSizes", grid->SuppressColSizes()},
      {"SuppressRowSizes", grid->SuppressRowSizes()}, {"FixedFont", grid->FixedFont()},
      {"ActiveCellFont", grid->ActiveCellFont()},   {"RowHeaders", grid->RowHeaders()},
      {"SortList", grid->SortList()},               {"LookupItems", grid->LookupItems()},
      {"RowSelectList", grid->RowSelectList()},     {"ColSelectList", grid->ColSelectList()},
      {"SortIndexes", grid->SortIndexes()},         {"SortedRowMap", grid->SortedRowMap()},
      {"UnSortedRowMap", grid->UnSortedRowMap()},   {"MergedColumns", grid->MergedColumns()},
      {"SelectedCells", grid->SelectedCells()},     {"SelectedRows", grid->SelectedRows()},
      {"ModifiedRows", grid->ModifiedRows()},       {"EnabledRows", grid->EnabledRows()},
      {"RowIndicator", grid->RowIndicator()},       {"BackGround", grid->BackGround()},
      {"ControlList", grid->ControlList()},         {"ProgressAppearance", grid->ProgressAppearance()},
      {"SyncGrid", grid->SyncGrid()},               {"HiddenRowStore", grid->HiddenRowStore()},
      {"Filter", grid->Filter()},                   {"Balloon", grid->Balloon()},
      {"ShowModified", grid->ShowModified()},       {"NotifierList", grid->NotifierList()},
      {"ColumnOrder", grid->ColumnOrder()},         {"RowCheckBoxGraphic", grid->RowCheckBoxGraphic()},
      {"OfficeHint", grid->OfficeHint()},           {"IgnoreColumns", grid->IgnoreColumns()},
      {"FilterDropDown", grid->FilterDropDown()},   {"DropList", grid->DropList()},
      {"DropCheckList", grid->DropCheckList()},     {"FilterList", grid->FilterList()},
      {"FilterEdit", grid->FilterEdit()},           {"FilterImageList", grid->FilterImageList()},
      {"HoverButtons", grid->HoverButtons()},
      // run time only
      {"FocusWindow", grid->FocusWindow()},         {"arrow up", grid->ArrowWindow(arrUp)},
      {"arrow down", grid->ArrowWindow(arrDown)},   {"arrow left", grid->ArrowWindow(arrLeft)},
      {"arrow right", grid->ArrowWindow(arrRight)}, {"CellScrollBar", grid->CellScrollBar()},
      {"PaintScrollBar", grid->PaintScrollBar()},   {"HoverButtonForm", grid->HoverButtonForm()},
  };
  for (const auto& [name, object] : owned) EXPECT_NE(object, nullptr) << name;

  EXPECT_EQ(grid->FilterImageList()->Count(), 9);
  EXPECT_FALSE(grid->DropList()->Visible());
  EXPECT_EQ(grid->DropList()->Width(), 0);
  EXPECT_EQ(grid->DropList()->Parent(), grid.get());
  EXPECT_TRUE(grid->FilterList()->Sorted());
  EXPECT_EQ(grid->FooterPanel()->Align(), alBottom);
  EXPECT_EQ(grid->FooterPanel()->Height(), 0);
  EXPECT_EQ(grid->SearchPanel()->Height(), 0);
  EXPECT_EQ(grid->HoverButtonForm()->Width(), 200);
  EXPECT_EQ(grid->HoverButtonForm()->Height(), 22);
  EXPECT_EQ(grid->ArrowWindow(arrLeft)->Dir(), arrLeft);
  EXPECT_FALSE(grid->ArrowWindow(arrUp)->Visible());
  EXPECT_EQ(grid->FilterEdit()->TypeNames()->Count(), 9);
}

TEST(GridConstruct, DesignTimeGridHasNoRunTimeObjects) {
  TComponent form(nullptr);
  form.SetDesigning(true);
  auto* grid = Create<TKitStringGrid>(&form);  // owned by the form
  EXPECT_TRUE(grid->IsDesignTime());
  EXPECT_EQ(grid->FocusWindow(), nullptr);
  for (TArrowDirection d : {arrUp, arrDown, arrLeft, arrRight}) EXPECT_EQ(grid->ArrowWindow(d), nullptr);
  EXPECT_EQ(grid->CellScrollBar(), nullptr);
  EXPECT_EQ(grid->PaintScrollBar(), nullptr);
  EXPECT_EQ(grid->HoverButtonForm(), nullptr);
  EXPECT_EQ(grid->FilterDropDown()->TextChecked(), u"Checked"_qs);
  EXPECT_EQ(grid->FilterDropDown()->TextUnChecked(), u"Unchecked"_qs);
  EXPECT_NE(grid->FooterPanel(), nullptr);
}

TEST(GridConstruct, UnitStartUpRegistersItsNames) {
  auto grid = NewGrid();
  EXPECT_TRUE(TKitGridUnit::Started());
  EXPECT_NE(TKitGridUnit::ClipboardFormat(), 0);
  QSet<Word> ids;
  for (const char* name :
       {"GridEditDone", "GridEditShow", "GridEditInvalid", "GridEditProp", "DTPShiftFocus", "FilterEditUpdate"}) {
    const Word id = TKitGridUnit::MessageId(QString::fromLatin1(name));
    EXPECT_NE(id, 0) << name;
    ids.insert(id);
  }
  EXPECT_EQ(ids.size(), 6) << "each message has its own id";
  EXPECT_TRUE(TKitGridUnit::RegisteredClassNames().contains(u"TKitStringGrid"_qs));
  EXPECT_NE(FindClass(u"TKitStringGrid"_qs), nullptr);
}

TEST(GridConstruct, AssignFromAnotherClassChangesNothing) {
  auto grid = NewGrid();
  grid->SetCells(1, 1, u"kept"_qs);
  TStringList other;
  grid->Assign(&other);
  EXPECT_EQ(grid->Cells(1, 1), u"kept"_qs);
  EXPECT_EQ(grid->RowCount(), 10);
}

TEST(GridConstruct, AssignCopiesDimensionsThenCells) {
  auto source = NewGrid();
  source->SetColCount(7);
  source->SetRowCount(20);
  source->SetCells(6, 19, u"last"_qs);
  source->SetColors(2, 3, clRed);
  source->MergeCells(1, 5, 2, 2);
  source->SetSelectionColor(0x112233);
  source->PrintSettings()->SetJobName(u"job"_qs);
  auto grid = NewGrid();
  grid->Assign(source.get());
  EXPECT_EQ(grid->ColCount(), 7);
  EXPECT_EQ(grid->RowCount(), 20);
  EXPECT_EQ(grid->Cells(6, 19), u"last"_qs) << "cells are copied after the dimensions";
  EXPECT_EQ(grid->Colors(2, 3), clRed);
  EXPECT_EQ(grid->BaseCell(2, 6), TPoint(1, 5));
  EXPECT_EQ(grid->SelectionColor(), 0x112233);
  EXPECT_EQ(grid->PrintSettings()->JobName(), u"job"_qs);
  // The copy owns its own records.
  source.reset();
  EXPECT_EQ(grid->Colors(2, 3), clRed);
}

TEST(GridConstruct, IntegralHeightRoundsToWholeRows) {
  auto grid = NewGrid();
  grid->SetBorderStyle(bsSingle);
  grid->SetColCount(3);  // every column fits: no horizontal bar
  grid->SetIntegralHeight(true);
  grid->SetBounds(0, 0, 400, 250);
  EXPECT_EQ(grid->Height(), 246);
  grid->SetIntegralHeight(false);
  grid->SetBounds(0, 0, 400, 250);
  EXPECT_EQ(grid->Height(), 250);
}

TEST(GridConstruct, GridFullOfRecordsAndGraphicsIsFreed) {
  // The leak check of this binary fails the run if anything stays.
  auto grid = NewGrid();
  grid->SetRowCount(40);
  grid->SetColCount(10);
  for (int r = 0; r < 40; ++r)
    for (int c = 0; c < 10; ++c) {
      grid->SetCells(c, r, QStringLiteral("%1/%2").arg(c).arg(r));
      if ((c + r) % 3 == 0) grid->SetColors(c, r, clYellow);
      if ((c + r) % 5 == 0) grid->CreateCellGraphic(c, r)->SetCellComment(u"c"_qs);
      if ((c + r) % 7 == 0) grid->CreateCellGraphic(c, r)->SetMultiImage(c, r, 0, haLeft, vaTop, nullptr);
    }
  grid->MergeCells(2, 2, 3, 3);
  grid->Balloon()->SetEnable(true);
  grid->Filter()->Add(1, u"a*"_qs, foAND);
  grid->HoverButtons()->Buttons()->Add()->SetCaption(u"b"_qs);
  grid->ColumnHeaders()->Add(u"h"_qs);
  grid.reset();
  SUCCEED();
}

}  // namespace

namespace {

TEST(GridConstruct, StreamedGridLoadsItsStoredValues) {
  auto source = NewGrid();
  source->SetFixedRowHeight(21);  // the stored default: not written
  source->SetRowCount(15);
  source->SetSelectionColor(0x102030);
  source->PrintSettings()->SetJobName(u"report"_qs);
  source->SetOptions(source->Options() + TGridOptions{goAlwaysShowEditor});
  TMemoryStream stream;
  stream.WriteComponent(source.get());
  stream.SetPosition(0);
  auto loaded = NewGrid();
  stream.ReadComponent(loaded.get());
  EXPECT_EQ(loaded->FixedRowHeight(), 22) << "a stored 21 is not written and loads as a new grid's 22";
  EXPECT_EQ(loaded->RowCount(), 15);
  EXPECT_EQ(loaded->SelectionColor(), 0x102030);
  EXPECT_EQ(loaded->PrintSettings()->JobName(), u"report"_qs);
  EXPECT_TRUE(loaded->IsLoadedFlag());
  EXPECT_EQ(loaded->FixedRowsMin(), loaded->FixedRows()) << "Loaded takes the wanted fixed rows";
  EXPECT_EQ(loaded->MinColWidth(), 10);
  EXPECT_TRUE(loaded->Navigation()->AlwaysEdit()) << "the option becomes the navigation setting";
  EXPECT_FALSE(loaded->Options().Contains(goAlwaysShowEditor));
}

}  // namespace

namespace {

// A descendant supplying its own footer panel: reached because the panel is
// made after construction.
class TMyFooterPanel : public TFooterPanel {
 public:
  using TFooterPanel::TFooterPanel;
};

class TMyGrid : public TKitStringGrid {
 public:
  using TKitStringGrid::TKitStringGrid;
  TFooterPanel* CreateFooterPanel() override { return new TMyFooterPanel(this); }  // owned by the grid
};

TEST(GridConstruct, DescendantsSupplyTheirFooterPanel) {
  auto grid = CreateUnique<TMyGrid>(nullptr);
  EXPECT_NE(dynamic_cast<TMyFooterPanel*>(grid->FooterPanel()), nullptr);
  grid->AfterConstruction();  // a second call changes nothing
  EXPECT_EQ(grid->ComponentCount(), CreateUnique<TMyGrid>(nullptr)->ComponentCount());
}

TEST(GridConstruct, CreatedByClassNameIsComplete) {
  TComponent owner(nullptr);
  const TClassInfo* info = FindClass(u"TKitStringGrid"_qs);
  ASSERT_NE(info, nullptr);
  auto* grid = dynamic_cast<TKitStringGrid*>(info->CreateOwned(&owner));
  ASSERT_NE(grid, nullptr);
  EXPECT_NE(grid->FooterPanel(), nullptr);
  EXPECT_EQ(grid->DefaultRowHeight(), 22);
}

}  // namespace
