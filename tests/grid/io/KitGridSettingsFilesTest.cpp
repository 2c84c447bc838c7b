// Settings files of the grid: the visual properties round trip (ending with
// a custom look) and malformed files changing nothing; the print settings
// INI with its defaults, Y/N values, style bits and out-of-range ordinals;
// scale changes keeping sizes proportional.

#include <gtest/gtest.h>

#include <QFile>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridSettingGroups.h"
#include "platform/rtl/IniFiles.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

TEST(GridVisualProps, RoundTripEndsWithACustomLook) {
  testsupport::TempDir dir;
  const QString file = dir.File("look.txt");
  auto g = NewGrid();
  g->SetLook(glOffice2007);
  g->SetSelectionColor(0x123456);
  g->SetSelectionTextColor(clNone);
  g->SetURLColor(clRed);
  g->SetURLShow(false);
  g->SetHintColor(0x00C0FFEE & 0xFFFFFF);
  g->Font()->SetName("Liberation Serif");
  g->Font()->SetSize(13);
  g->Font()->SetStyle(TFontStyles{fsBold, fsStrikeOut});
  g->Font()->SetColor(clNavy);
  g->FixedFont()->SetSize(7);
  g->SaveVisualProps(file);
  const QString text = QString::fromLatin1(testsupport::ReadBytes(file));
  EXPECT_TRUE(text.startsWith("Color=")) << text.toStdString();
  EXPECT_TRUE(text.contains("\r\nSelectionColor=$00123456\r\n") || text.contains("\r\nSelectionColor=1193046\r\n"))
      << text.toStdString();
  EXPECT_TRUE(text.contains("\r\nSelectionTextColor=\r\n"));
  EXPECT_TRUE(text.contains("\r\nURLColor=clRed\r\n"));
  EXPECT_TRUE(text.contains("\r\nURLShow=false\r\n"));
  EXPECT_TRUE(text.contains("\r\nFont.Style=fsBold,fsStrikeOut\r\n"));
  EXPECT_TRUE(text.contains("\r\nFont.Name=Liberation Serif\r\n"));
  EXPECT_TRUE(text.contains("\r\nLook=glOffice2007\r\n"));

  auto h = NewGrid();
  h->LoadVisualProps(file);
  EXPECT_EQ(h->SelectionColor(), 0x123456);  // set again after the look
  EXPECT_EQ(h->SelectionTextColor(), clNone);
  EXPECT_EQ(h->URLColor(), clRed);
  EXPECT_FALSE(h->URLShow());
  EXPECT_EQ(h->Font()->Name(), "Liberation Serif");
  EXPECT_EQ(h->Font()->Size(), 13);
  EXPECT_EQ(h->Font()->Style(), (TFontStyles{fsBold, fsStrikeOut}));
  EXPECT_EQ(h->Font()->Color(), clNavy);
  EXPECT_EQ(h->FixedFont()->Size(), 7);
  EXPECT_EQ(h->Look(), glCustom);
  // Saved again, only the look differs.
  const QString again = dir.File("again.txt");
  h->SaveVisualProps(again);
  EXPECT_EQ(QString::fromLatin1(testsupport::ReadBytes(again)).replace("Look=\r\n", "Look=glOffice2007\r\n"), text);
}

TEST(GridVisualProps, MalformedFilesChangeNothing) {
  testsupport::TempDir dir;
  auto g = NewGrid();
  g->SetURLColor(clRed);
  const QString good = dir.File("good.txt");
  g->SaveVisualProps(good);
  const QString goodText = QString::fromLatin1(testsupport::ReadBytes(good));
  struct Case {
    const char* Name;
    QString Text;
  } cases[] = {
      {"bad integer", QString(goodText).replace("Font.Size=", "Font.Size=big")},
      {"missing integer", QString(goodText).replace("ControlLook.CheckSize=", "ControlLook.Check=")},
      {"bad colour", QString(goodText).replace("URLColor=clRed", "URLColor=clPuce")},
  };
  auto h = NewGrid();
  h->SetURLColor(clGreen);
  const QString before = [&] {
    const QString f = dir.File("before.txt");
    h->SaveVisualProps(f);
    return QString::fromLatin1(testsupport::ReadBytes(f));
  }();
  for (const Case& c : cases) {
    const QString f = dir.File("bad.txt");
    testsupport::WriteBytes(f, c.Text.toLatin1());
    EXPECT_NE(testsupport::ErrorOf<EConvertError>([&] { h->LoadVisualProps(f); }), "<no EConvertError>") << c.Name;
    const QString now = dir.File("now.txt");
    h->SaveVisualProps(now);
    EXPECT_EQ(QString::fromLatin1(testsupport::ReadBytes(now)), before) << c.Name;
  }
  EXPECT_EQ(testsupport::RaisedMessage([&] { h->LoadVisualProps(dir.File("none.txt")); }),
            "Cannot open file " + dir.File("none.txt"));
  EXPECT_TRUE(testsupport::RaisedMessage([&] { h->SaveVisualProps(dir.File("no/such/dir/x.txt")); })
                  .startsWith("Cannot Create "));
  // Unknown enumeration names leave the property alone; keys in any case.
  const QString f = dir.File("enum.txt");
  testsupport::WriteBytes(f, QString(goodText).replace("URLColor=clRed", "urlcolor=clBlue\r\nURLColor=clRed")
                                 .replace("Look=", "Look=glNoSuch")
                                 .toLatin1());
  h->LoadVisualProps(f);
  EXPECT_EQ(h->URLColor(), clBlue);
}

TEST(GridPrintSettingsFile, DefaultsRoundTripAndBadValues) {
  testsupport::TempDir dir;
  const QString ini = dir.File("print.ini");
  auto g = NewGrid();
  TPrintSettings* ps = g->PrintSettings();
  // A file without the section: the defaults.
  testsupport::WriteBytes(ini, "[Other]\nColumnSpacing=5\n");
  ps->SetCentered(false);
  ps->Font()->SetStyle(TFontStyles{fsItalic});
  g->LoadPrintSettings(ini, "Print");
  EXPECT_EQ(ps->ColumnSpacing(), 20);
  EXPECT_EQ(ps->RowSpacing(), 20);
  EXPECT_EQ(ps->TitleSpacing(), 20);
  EXPECT_EQ(ps->HeaderSize(), 100);
  EXPECT_EQ(ps->FooterSize(), 100);
  EXPECT_EQ(ps->LeftSize(), 100);
  EXPECT_EQ(ps->RightSize(), 100);
  EXPECT_TRUE(ps->Centered());
  for (TFont* f : {ps->Font(), ps->FixedFont(), ps->HeaderFont(), ps->FooterFont()}) {
    EXPECT_EQ(f->Name(), "Arial");
    EXPECT_EQ(f->Size(), 10);
  }
  EXPECT_TRUE(ps->Font()->Style().Contains(fsItalic));  // style bits only add

  ps->SetColumnSpacing(7);
  ps->SetRepeatFixedRows(true);
  ps->SetBorders(TPrintBorders::pbAround);
  ps->SetTitle(TPrintPosition(3));
  ps->SetOrientation(poLandscape);
  ps->SetFitToPage(fpShrink);
  ps->HeaderFont()->SetStyle(TFontStyles{fsBold, fsUnderline});
  ps->TitleLines()->SetText("line one\nline two");
  ps->SetPagePrefix("Page:");
  g->SavePrintSettings(ini, "Print");
  const QByteArray bytes = testsupport::ReadBytes(ini);
  EXPECT_TRUE(bytes.contains("[Other]"));
  EXPECT_TRUE(bytes.contains("RepeatFixedRows=Y"));
  EXPECT_TRUE(bytes.contains("Centered=Y"));
  EXPECT_TRUE(bytes.contains("HeaderFontStyle=5"));
  EXPECT_TRUE(bytes.contains("TitleLines=line one\\nline two")) << bytes.toStdString();
  EXPECT_LT(bytes.indexOf("ColumnSpacing="), bytes.indexOf("PrintGraphics="));

  auto h = NewGrid();
  h->LoadPrintSettings(ini, "Print");
  TPrintSettings* q = h->PrintSettings();
  EXPECT_EQ(q->ColumnSpacing(), 7);
  EXPECT_TRUE(q->RepeatFixedRows());
  EXPECT_EQ(q->Borders(), TPrintBorders::pbAround);
  EXPECT_EQ(int(q->Title()), 3);
  EXPECT_EQ(q->Orientation(), poLandscape);
  EXPECT_EQ(q->FitToPage(), fpShrink);
  EXPECT_EQ(q->HeaderFont()->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(q->TitleLines()->Count(), 2);
  EXPECT_EQ(q->TitleLines()->Strings(1), "line two");
  EXPECT_EQ(q->PagePrefix(), "Page:");

  // Ordinals out of range and numbers that are not: the setting stays.
  TMemIniFile edit(ini);
  edit.WriteString("Print", "Borders", "9");
  edit.WriteString("Print", "FitToPage", "-1");
  edit.WriteString("Print", "Title", "x");
  edit.UpdateFile();
  h->LoadPrintSettings(ini, "Print");
  EXPECT_EQ(q->Borders(), TPrintBorders::pbAround);
  EXPECT_EQ(q->FitToPage(), fpShrink);
  EXPECT_EQ(int(q->Title()), 0);  // not a number: the default 0
}

TEST(GridScale, ChangeScaleKeepsSizesProportional) {
  auto g = NewGrid();
  g->SetColCount(3);
  g->SetRowCount(3);
  g->SetDefaultRowHeight(20);  // sets every row's height: first
  g->SetColWidths(1, 101);
  g->SetRowHeights(2, 31);
  g->SetMinRowHeight(10);
  g->SetMaxRowHeight(0);
  float seen = -1;
  g->OnChangeScale = [&](TObject*, float s) { seen = s; };
  struct Access : TKitStringGrid {
    using TKitStringGrid::ChangeScale;
  };
  static_cast<Access*>(g.get())->ChangeScale(3, 2, false);
  EXPECT_EQ(g->ColWidths(1), 152);  // 151.5 to the nearest
  EXPECT_EQ(g->RowHeights(2), 47);  // 46.5
  EXPECT_EQ(g->DefaultRowHeight(), 30);
  EXPECT_EQ(g->MinRowHeight(), 15);
  EXPECT_GT(seen, 0.0f);
  const int w = g->ColWidths(1);
  static_cast<Access*>(g.get())->ChangeScale(1, 1, false);
  EXPECT_EQ(g->ColWidths(1), w);
}

}  // namespace
