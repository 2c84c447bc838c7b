// The settings objects the grid owns: their defaults, the subsets their
// Assign copies, the notifications their setters send, and their published
// tables; the small auxiliary objects; hint information.

#include <gtest/gtest.h>

#include "gdiplus/KitHintInfo.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridSettingGroups.h"
#include "grid/model/KitObjAux.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

TEST(GridSettingGroups, PrintSettings) {
  TPrintSettings a;
  EXPECT_EQ(a.DateFormat(), u"dd/mm/yyyy"_qs);
  EXPECT_EQ(a.PageNumSep(), u"/"_qs);
  EXPECT_EQ(a.Borders(), TPrintBorders::pbSingle);
  EXPECT_EQ(a.FitToPage(), fpNever);
  EXPECT_EQ(a.Orientation(), poPortrait);
  EXPECT_TRUE(a.Centered());
  EXPECT_TRUE(a.UseDisplayFont());
  EXPECT_TRUE(a.PrintComments());
  EXPECT_TRUE(a.ScaleHeader());
  EXPECT_EQ(a.Time(), TPrintPosition::ppNone);

  a.SetJobName(u"job"_qs);
  a.SetPrintComments(false);
  a.SetFixedCellsAlways(true);
  a.SetScaleFooter(false);
  a.Font()->SetName(u"Liberation Serif"_qs);
  a.TitleLines()->Add(u"<b>Title</b>"_qs);
  TPrintSettings b;
  b.Assign(&a);
  EXPECT_EQ(b.JobName(), u"job"_qs);
  EXPECT_FALSE(b.PrintComments());
  EXPECT_FALSE(b.FixedCellsAlways()) << "not copied";
  EXPECT_TRUE(b.ScaleFooter()) << "not copied";
  EXPECT_EQ(b.Font()->Name(), u"Liberation Serif"_qs);
  a.Font()->SetName(u"Other"_qs);
  EXPECT_EQ(b.Font()->Name(), u"Liberation Serif"_qs) << "fonts are copied by value";
  EXPECT_EQ(b.TitleLines()->Count(), 1);

  TStringList other;
  EXPECT_EQ(testsupport::MessageOf([&] { b.Assign(&other); }), u"EInvalidCast: Invalid class typecast"_qs);
  EXPECT_EQ(ClassInfo<TPrintSettings>()->Props(0)->Name(), u"FooterSize"_qs);
  EXPECT_NE(ClassInfo<TPrintSettings>()->FindProp(u"UseDefaultOrientation"_qs), nullptr);
  EXPECT_EQ(ClassInfo<TPrintSettings>()->FindProp(u"FixedCellsAlways"_qs), nullptr) << "public, not published";
}

TEST(GridSettingGroups, HTMLSettings) {
  THTMLSettings a;
  EXPECT_EQ(a.BorderSize(), 1);
  EXPECT_EQ(a.Width(), 100);
  EXPECT_EQ(a.ImageFolder(), u"images"_qs);
  EXPECT_EQ(a.ImageBaseName(), u"img"_qs);
  EXPECT_TRUE(a.ExportImages());
  EXPECT_TRUE(a.SaveColor());
  a.SetExportImages(false);
  a.SetSummary(u"s"_qs);
  a.ColWidths()->Add(30);
  THTMLSettings b;
  b.Assign(&a);
  EXPECT_TRUE(b.ExportImages()) << "not copied";
  EXPECT_EQ(b.Summary(), u"s"_qs);
  EXPECT_EQ(b.ColWidths()->Count(), 0) << "not copied";
}

TEST(GridSettingGroups, SortSettings) {
  auto grid = NewGrid();
  TSortSettings* s = grid->SortSettings();
  EXPECT_EQ(s->Column(), -1);
  EXPECT_EQ(s->IndexColor(), 0xFFFF);
  EXPECT_TRUE(s->AutoFormat());
  EXPECT_TRUE(s->Full());
  EXPECT_TRUE(s->SortOnVirtualCells());
  EXPECT_TRUE(s->AutoSortForGrouping());
  EXPECT_EQ(s->HeaderColor(), clNone);
  EXPECT_EQ(testsupport::MessageOf([&] { s->SetRow(2); }),
            u"Exception: Sort row should be smaller than number of fixed rows"_qs);
  EXPECT_EQ(s->Row(), 0);
  s->SetIgnoreCase(true);
  s->SetSortOnVirtualCells(false);
  s->SetColumn(3);
  s->SetDirection(sdDescending);
  s->ToggleDirection();
  EXPECT_EQ(s->Direction(), sdAscending);
  auto other = NewGrid();
  other->SortSettings()->Assign(s);
  EXPECT_EQ(other->SortSettings()->Column(), 3);
  EXPECT_FALSE(other->SortSettings()->IgnoreCase()) << "not copied";
  EXPECT_TRUE(other->SortSettings()->SortOnVirtualCells()) << "not copied";
}

TEST(GridSettingGroups, FilterConditionsByType) {
  auto grid = NewGrid();
  const struct {
    TFilterType Type;
    const char* Value;
    const char* Condition;
  } cases[] = {
      {ftStartsWith, "ab", "ab*"},      {ftEndsWith, "ab", "*ab"},       {ftContains, "ab", "*ab*"},
      {ftNotContains, "ab", "!*ab*"},   {ftEqual, "a b", "\"a b\""},     {ftNotEqual, "ab", "!ab"},
      {ftLargerThan, "5", ">5"},        {ftSmallerThan, "5", "<5"},      {ftClear, "x", "keep"},
      {ftNone, "x", "keep"},
  };
  for (const auto& c : cases) {
    TFilterData* item = grid->Filter()->Add();
    item->SetCondition(u"keep"_qs);
    item->SetFilterType(c.Type);
    item->BuildCondition(QString::fromUtf8(c.Value));
    EXPECT_EQ(item->Condition(), QString::fromUtf8(c.Condition)) << int(c.Type);
  }
  EXPECT_EQ(grid->Filter()->Items(0)->Operation(), foNONE);
  EXPECT_EQ(grid->Filter()->Items(1)->Operation(), foAND);
}

TEST(GridSettingGroups, FilterCollection) {
  auto grid = NewGrid();
  TFilter* f = grid->Filter();
  EXPECT_EQ(f->HasFilterType(2), ftContains);
  TFilterData* made = f->GetColFilter(2);
  EXPECT_EQ(made->Column(), 2);
  EXPECT_EQ(f->Count(), 1);
  EXPECT_EQ(f->GetColFilter(2), made);
  f->Add(3, u"x*"_qs, foOR);
  EXPECT_TRUE(f->HasFilter(3));
  EXPECT_TRUE(f->HasOtherFilter(3));
  f->RemoveColumnFilter(2);
  EXPECT_FALSE(f->HasFilter(2));
  EXPECT_FALSE(f->HasOtherFilter(3));
  TFilterData copy(nullptr);
  f->Items(0)->SetMethod(fmLiteral);
  copy.Assign(f->Items(0));
  EXPECT_EQ(copy.Condition(), u"x*"_qs);
  EXPECT_EQ(copy.Method(), fmExpression) << "Method is not copied";
}

TEST(GridSettingGroups, FilterDropDownAndEdit) {
  auto grid = NewGrid();
  TFilterDropDown* d = grid->FilterDropDown();
  EXPECT_EQ(d->Height(), 150);
  EXPECT_EQ(d->Width(), 150);
  EXPECT_EQ(d->Color(), clWindow);
  EXPECT_TRUE(d->IgnoreHTML());
  EXPECT_TRUE(d->Sorted());
  int changes = 0;
  TFilterDropDown other;
  other.OnChange = [&](TObject*) { ++changes; };
  TBitmap glyph(4, 4);
  other.SetGlyph(&glyph);
  other.SetGlyphActive(&glyph);
  EXPECT_EQ(changes, 2);
  other.SetAutoSize(true);
  other.SetSorted(false);
  other.SetHeight(90);
  d->Assign(&other);
  EXPECT_EQ(d->Height(), 90);
  EXPECT_FALSE(d->AutoSize()) << "not copied";
  EXPECT_TRUE(d->Sorted()) << "not copied";
  EXPECT_EQ(d->Glyph()->Width(), 4);

  TFilterEdit* e = grid->FilterEdit();
  EXPECT_EQ(e->TypeNames()->CommaText(),
            u"\"Starts with\",\"Ends with\",Contains,\"Not contains\",Equal,\"Not equal\",\"Larger than\","
            "\"Smaller than\",Clear"_qs);
  EXPECT_EQ(e->Color(), 0xFFFFFF);
  EXPECT_TRUE(e->CaseSensitive());
  EXPECT_EQ(e->Columns(), fdNormal);
}

TEST(GridSettingGroups, GroupingAssignSubset) {
  TGrouping a;
  EXPECT_EQ(a.HeaderLineColor(), 0xFF0000);
  EXPECT_EQ(a.SummaryLineWidth(), 2);
  a.SetSummary(true);
  a.SetHeaderLineColor(clRed);
  a.SetSummaryLineWidth(5);
  a.SetMergeHeader(true);
  a.SetGroupCountFormat(u"(%d)"_qs);
  TGrouping b;
  b.Assign(&a);
  EXPECT_FALSE(b.Summary());
  EXPECT_EQ(b.HeaderLineColor(), 0xFF0000);
  EXPECT_EQ(b.SummaryLineWidth(), 2);
  EXPECT_TRUE(b.MergeHeader());
  EXPECT_EQ(b.GroupCountFormat(), u"(%d)"_qs);
}

TEST(GridSettingGroups, DragDropModifiedAndScrolling) {
  auto grid = NewGrid();
  TDragDropSettings* d = grid->DragDropSettings();
  EXPECT_TRUE(d->ShowCells());
  EXPECT_TRUE(d->OleAcceptFiles());
  EXPECT_FALSE(d->OleDropTarget());
  d->SetOleColumnPicker(true);
  d->SetOleInsertRows(true);
  auto other = NewGrid();
  other->DragDropSettings()->Assign(d);
  EXPECT_TRUE(other->DragDropSettings()->OleColumnPicker());
  EXPECT_TRUE(other->DragDropSettings()->OleInsertRows());
  d->SetOleDropTarget(true);
  d->SetOleDropTarget(false);
  EXPECT_FALSE(d->Registered());

  int changes = 0;
  TShowModified m;
  EXPECT_EQ(m.Color(), 0x00FFFF);
  m.OnChange = [&](TObject*) { ++changes; };
  m.SetColor(0x00FFFF);
  m.SetColor(0x00FFFF);
  EXPECT_EQ(changes, 2) << "fired also when unchanged";

  TDragScrollOptions s;
  EXPECT_EQ(s.Delays()->InitialDelay(), 1000);
  EXPECT_EQ(s.Delays()->RepeatDelay(), 250);
  EXPECT_EQ(s.Margins()->LeftMargin(), 50);
  s.SetActive(true);
  s.Margins()->SetTopMargin(7);
  TDragScrollOptions t;
  t.Assign(&s);
  EXPECT_TRUE(t.Active());
  EXPECT_EQ(t.Margins()->TopMargin(), 7);
}

TEST(GridSettingGroups, BalloonEnableNotifiesOnChange) {
  TBalloonSettings b;
  EXPECT_EQ(b.InitialDelay(), -1);
  EXPECT_EQ(b.BackgroundColor(), clNone);
  EXPECT_TRUE(b.ShowCell());
  int changes = 0;
  b.OnEnableChange = [&](TObject*) { ++changes; };
  b.SetEnable(true);
  b.SetEnable(true);
  EXPECT_EQ(changes, 1);
  TBalloonSettings c;
  c.SetTransparency(55);
  c.SetEnable(false);
  b.Assign(&c);
  EXPECT_EQ(changes, 1) << "Assign never notifies";
  EXPECT_FALSE(b.Enable());
  EXPECT_EQ(b.Transparency(), 0) << "not copied";
}

TEST(GridSettingGroups, HoverButtonItemsKeepTheirImageIndex) {
  THoverButtons a(nullptr);
  EXPECT_TRUE(a.MoveActiveRow());
  EXPECT_EQ(a.Position(), hbLeftFromColumnLeft);
  THoverButtonsCollectionItem* item = a.Buttons()->Add();
  EXPECT_EQ(item->ImageIndex(), -1);
  EXPECT_TRUE(item->Enabled());
  a.Buttons()->Updated = false;
  item->SetCaption(u"Go"_qs);
  item->SetImageIndex(4);
  EXPECT_TRUE(a.Buttons()->Updated);
  THoverButtonsCollectionItem* other = a.Buttons()->Add();
  other->SetImageIndex(9);
  other->Assign(item);
  EXPECT_EQ(other->Caption(), u"Go"_qs);
  EXPECT_EQ(other->ImageIndex(), 9);
  THoverButtons b(nullptr);
  b.Assign(&a);
  EXPECT_EQ(b.Buttons()->Count(), 2);
}

TEST(GridSettingGroups, AuxiliaryObjects) {
  TKitControlList list;
  EXPECT_EQ(list.ControlIndex(1, 1), -1);
  list.ClearControls();
  TEdit edit(nullptr);
  list.AddControl(2, 3, &edit);
  EXPECT_EQ(list.ControlIndex(2, 3), 0);
  EXPECT_EQ(list.Control(0)->Control, &edit);
  EXPECT_EQ(testsupport::MessageOf([&] { (void)list.Control(5); }), u"EListError: List index out of bounds (5)"_qs);
  EXPECT_EQ(testsupport::MessageOf([&] { list.RemoveControl(-1); }), u"EListError: List index out of bounds (-1)"_qs);
  list.RemoveControl(0);
  EXPECT_EQ(list.Count(), 0);

  TFocusHelper a, b;
  a.SetEnabled(true);
  b.Assign(&a);
  EXPECT_TRUE(b.Enabled());

  TFilePicture picture;
  picture.SetFilename(u"/nonexistent/picture.png"_qs);
  EXPECT_EQ(picture.Width(), 0);
  TStringList notAPicture;
  EXPECT_TRUE(testsupport::MessageOf([&] { picture.Assign(&notAPicture); }).startsWith(u"EConvertError"_qs));

  const auto up = TArrowWindow::ArrowPoints(arrUp);
  EXPECT_EQ(up[0], TPoint(5, 0));
  EXPECT_EQ(TArrowWindow::ArrowPoints(arrRight)[3], TPoint(8, 7));
}

TEST(GridSettingGroups, HintInformation) {
  TKitHintInfo hint;
  EXPECT_TRUE(hint.IsEmpty());
  hint.SetWideTitle(u"wide"_qs);
  EXPECT_TRUE(hint.IsEmpty());
  TStringList notAHint;
  hint.Assign(&notAHint);  // ignored, no error
  hint.SetTitle(u"Title"_qs);
  hint.Notes()->Add(u"line"_qs);
  TKitHintInfo copy;
  copy.Assign(&hint);
  hint.Notes()->Add(u"later"_qs);
  EXPECT_EQ(copy.Notes()->Count(), 1);
  EXPECT_EQ(copy.WideTitle(), u"wide"_qs);
  EXPECT_FALSE(copy.IsEmpty());
}

}  // namespace
