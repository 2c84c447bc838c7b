// Typed cell access under the "." (en-US) and "," (fr-FR) format settings,
// with the grid's exact error messages; dates and times; headers; block
// appearance; highlighting and marking.

#include <gtest/gtest.h>

#include <cmath>

#include "grid/model/KitGrid.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

// Puts a format-settings record in force for a test and restores the
// pinned one afterwards.
class TSettingsScope {
 public:
  explicit TSettingsScope(const TFormatSettings& Settings) : FSaved(FormatSettings) { FormatSettings = Settings; }
  ~TSettingsScope() { FormatSettings = FSaved; }

 private:
  TFormatSettings FSaved;
};

struct TIntCase {
  const char* Text;
  int Expected;  // used when Error is empty
  const char* Error;
};

void RunInts(const TFormatSettings& Settings, const std::vector<TIntCase>& Cases) {
  TSettingsScope scope(Settings);
  auto grid = NewGrid();
  for (const TIntCase& c : Cases) {
    grid->SetCells(1, 1, QString::fromUtf8(c.Text));
    if (c.Error[0] == 0) {
      int value = 0;
      EXPECT_EQ(testsupport::MessageOf([&] { value = grid->Ints(1, 1); }), u"no exception"_qs) << c.Text;
      EXPECT_EQ(value, c.Expected) << c.Text;
    } else {
      EXPECT_EQ(testsupport::MessageOf([&] { (void)grid->Ints(1, 1); }), QString::fromUtf8(c.Error)) << c.Text;
    }
  }
}

const char* kNoInt = "EKitGridError: Cell does not contain integer value";
const char* kNoFloat = "EKitGridError: Cell does not contain a float value";

TEST(GridTyped, IntsInADotLocale) {
  RunInts(TFormatSettings::Create(u"en-US"_qs), {
                                                     {"", 0, ""},
                                                     {"   ", 0, ""},
                                                     {"-", 0, ""},
                                                     {"<b>-</b>", 0, ""},
                                                     {"42", 42, ""},
                                                     {" -17 ", -17, ""},
                                                     {"12.7", 13, ""},
                                                     {"12.5", 12, ""},
                                                     {"13.5", 14, ""},
                                                     {"1,234", 1234, ""},
                                                     {"<i>8</i>", 8, ""},
                                                     {"abc", 0, kNoInt},
                                                     {"12,5x", 0, kNoInt},
                                                     {"99999999999", 0, kNoInt},
                                                 });
}

TEST(GridTyped, IntsInACommaLocale) {
  RunInts(testsupport::FrenchSettings(), {
                                             {"12,7", 13, ""},
                                             {"12,5", 12, ""},
                                             {"-3,5", -4, ""},
                                             {"7", 7, ""},
                                             {"abc", 0, kNoInt},
                                         });
}

TEST(GridTyped, FloatsWrittenInTheLocaleReadBack) {
  for (const TFormatSettings& settings : {TFormatSettings::Create(u"en-US"_qs), testsupport::FrenchSettings()}) {
    TSettingsScope scope(settings);
    auto grid = NewGrid();
    grid->SetFloats(1, 1, 1.5);
    const QString expected = QStringLiteral("1") + settings.DecimalSeparator + QStringLiteral("50");
    EXPECT_EQ(grid->Cells(1, 1), expected);
    EXPECT_DOUBLE_EQ(grid->Floats(1, 1), 1.5);
    EXPECT_EQ(grid->Ints(1, 1), 2) << "a float written in the locale reads as an integer";
    grid->SetInts(2, 2, -12);
    EXPECT_EQ(grid->Ints(2, 2), -12);
    EXPECT_DOUBLE_EQ(grid->Floats(2, 2), -12.0);
  }
}

TEST(GridTyped, FloatsOfFormattedNumbers) {
  TSettingsScope scope(TFormatSettings::Create(u"en-US"_qs));
  auto grid = NewGrid();
  const struct {
    const char* Text;
    double Expected;
    const char* Error;
  } cases[] = {
      {"1,234.50", 1234.5, ""}, {"$ 12.25", 12.25, ""}, {"(3.5)", -3.5, ""}, {"", 0, ""},
      {"-", 0, ""},             {"<b>2.5</b>", 2.5, ""}, {"1.2.3", 0, kNoFloat},
      {"1e", 0, kNoFloat},      {"abc", 0, ""},  // no number in it: read as 0
  };
  for (const auto& c : cases) {
    grid->SetCells(1, 1, QString::fromUtf8(c.Text));
    if (c.Error[0] == 0) EXPECT_DOUBLE_EQ(grid->Floats(1, 1), c.Expected) << c.Text;
    else EXPECT_EQ(testsupport::MessageOf([&] { (void)grid->Floats(1, 1); }), QString::fromUtf8(c.Error)) << c.Text;
  }
  grid->SetCells(1, 1, u"1.2.3"_qs);
  EXPECT_EQ(testsupport::MessageOf([&] { (void)grid->AllFloats(1, 1); }), QString::fromUtf8(kNoFloat));
  EXPECT_EQ(testsupport::MessageOf([&] { (void)grid->AllInts(1, 1); }), QString::fromUtf8(kNoInt));
}

TEST(GridTyped, DatesAndTimes) {
  for (const TFormatSettings& settings : {TFormatSettings::Create(u"en-US"_qs), testsupport::FrenchSettings()}) {
    TSettingsScope scope(settings);
    auto grid = NewGrid();
    const TDateTime day = EncodeDate(2024, 3, 9);
    grid->SetDates(1, 1, day);
    EXPECT_EQ(grid->Cells(1, 1), DateToStr(day));
    EXPECT_DOUBLE_EQ(grid->Dates(1, 1), day);
    const TDateTime time = EncodeTime(13, 45, 30, 0);
    grid->SetTimes(1, 2, time);
    EXPECT_NEAR(grid->Times(1, 2), time, 1e-6);
    grid->SetShowNullDates(false);
    grid->SetDates(1, 3, 0);
    EXPECT_EQ(grid->Cells(1, 3), QString());
    grid->SetDates(1, 3, std::nan(""));
    EXPECT_EQ(grid->Cells(1, 3), QString());
    grid->SetShowNullDates(true);
    grid->SetDates(1, 3, 0);
    EXPECT_EQ(grid->Cells(1, 3), DateToStr(0));
    grid->SetCells(1, 4, u"not a date"_qs);
    EXPECT_TRUE(testsupport::MessageOf([&] { (void)grid->Dates(1, 4); }).startsWith(u"EConvertError"_qs));
  }
}

TEST(GridTyped, PrintColumnsOutsideTheGrid) {
  auto grid = NewGrid();
  EXPECT_EQ(testsupport::MessageOf([&] { (void)grid->PrintColWidth(-1); }),
            u"EKitGridError: Columns is not in valid range"_qs);
  EXPECT_EQ(testsupport::MessageOf([&] { (void)grid->PrintColOffset(5); }),
            u"EKitGridError: Columns is not in valid range"_qs);
  EXPECT_EQ(grid->PrintColWidth(4), 0);
}

TEST(GridTyped, HighlightIsNotNested) {
  auto grid = NewGrid();
  grid->SetCells(1, 1, u"Tom & Tim & Tom"_qs);
  grid->HilightInCell(false, 1, 1, u"Tom"_qs);
  const QString once = grid->Cells(1, 1);
  grid->HilightInCell(false, 1, 1, u"Tom"_qs);
  EXPECT_EQ(grid->Cells(1, 1), once);
  EXPECT_EQ(once.count(u"<HI>"_qs), 2);
  grid->UnHilightInCell(1, 1);
  EXPECT_EQ(grid->Cells(1, 1), u"Tom & Tim & Tom"_qs);
}

TEST(GridTyped, HighlightCaseRule) {
  auto grid = NewGrid();
  const QString s = u"Word and word"_qs;
  EXPECT_EQ(grid->HilightText(false, s, u"WORD"_qs).count(u"<HI>"_qs), 2);
  EXPECT_EQ(grid->HilightText(true, s, u"WORD"_qs).count(u"<HI>"_qs), 0);
  EXPECT_EQ(grid->UnHilightText(grid->HilightText(false, s, u"word"_qs)), s);
  EXPECT_EQ(grid->MarkText(false, s, u"and"_qs).count(u"<E>"_qs), 1);
}

TEST(GridTyped, MarkInGridSkipsFixedCellsUnlessAsked) {
  auto grid = NewGrid();
  grid->SetCells(0, 0, u"err"_qs);
  grid->SetCells(2, 3, u"err"_qs);
  grid->MarkInGrid(false, false, u"err"_qs);
  EXPECT_EQ(grid->Cells(0, 0), u"err"_qs);
  EXPECT_TRUE(grid->Cells(2, 3).contains(u"<E>"_qs));
  grid->UnMarkInGrid(false);
  EXPECT_EQ(grid->Cells(2, 3), u"err"_qs);
  grid->MarkInGrid(true, false, u"err"_qs);
  EXPECT_TRUE(grid->Cells(0, 0).contains(u"<E>"_qs));
}

TEST(GridTyped, HeadersAndBlocks) {
  auto grid = NewGrid();
  TStringList headers;
  headers.Add(u"Name"_qs);
  headers.Add(u"Line\\nbreak"_qs);
  grid->SetColumnHeaders(&headers);
  EXPECT_EQ(grid->Cells(0, 0), u"Name"_qs);
  EXPECT_EQ(grid->Cells(1, 0), u"Line\rbreak"_qs) << "the escaped line break is a line break";
  grid->ColumnHeaders()->Add(u"Third"_qs);  // a change shows at once
  EXPECT_EQ(grid->Cells(2, 0), u"Third"_qs);

  const TGridRect block = MakeGridRect(1, 1, 2, 3);
  grid->SetFontStyle(block, fsItalic, true);
  EXPECT_TRUE(grid->IsFontStyle(block, fsItalic));
  grid->SetFontStyle(MakeGridRect(2, 2, 2, 2), fsItalic, false);
  EXPECT_FALSE(grid->IsFontStyle(block, fsItalic));
  grid->SetAlignment(block, taRightJustify);
  EXPECT_TRUE(grid->IsAlignment(block, taRightJustify));
  EXPECT_TRUE(grid->IsAlignment(MakeGridRect(3, 1, 2, 1), taCenter)) << "an empty block";
  grid->SetCellColor(block, clAqua);
  EXPECT_EQ(grid->Colors(2, 3), clAqua);
}

TEST(GridTyped, FillsAndSwaps) {
  auto grid = NewGrid();
  grid->LinearFill(false);
  EXPECT_EQ(grid->Cells(3, 4), u"3:4"_qs);
  EXPECT_EQ(grid->Cells(0, 4), QString());
  grid->FormatFill(true, u"%d-%d"_qs);
  EXPECT_EQ(grid->Cells(0, 4), u"0-4"_qs);
  grid->SetColors(1, 1, clRed);
  grid->SwapCells(TGridCoord{1, 1}, TGridCoord{2, 2});
  EXPECT_EQ(grid->Cells(1, 1), u"2-2"_qs);
  EXPECT_EQ(grid->Colors(2, 2), clRed);
  EXPECT_FALSE(grid->HasCellProperties(1, 1));
  EXPECT_TRUE(testsupport::MessageOf([&] { grid->SwapCells(TGridCoord{1, 1}, TGridCoord{-1, 2}); })
                  .startsWith(u"EStringListError"_qs));
  EXPECT_EQ(grid->Colors(2, 2), clRed) << "a bad swap changes nothing";
}

}  // namespace
