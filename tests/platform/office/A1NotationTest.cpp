// Column letters and A1 addresses: the bijective base-26 letters up to the
// last column of the format, and the parsing of absolute and relative
// addresses.

#include <gtest/gtest.h>

#include "platform/office/A1Notation.h"
#include "platform/office/ComObj.h"
#include "tests/support/TestSupport.h"

using namespace Excel;

TEST(A1Notation, ColumnLettersBothWays) {
  const struct {
    int Column;
    const char* Letters;
  } cases[] = {{1, "A"},     {2, "B"},     {26, "Z"},     {27, "AA"},    {28, "AB"},  {52, "AZ"},
               {53, "BA"},   {256, "IV"},  {676, "YZ"},   {702, "ZZ"},   {703, "AAA"}, {704, "AAB"},
               {728, "AAZ"}, {729, "ABA"}, {16383, "XFC"}, {16384, "XFD"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Column);
    EXPECT_EQ(ColumnLetters(c.Column), QString::fromLatin1(c.Letters));
    EXPECT_EQ(ColumnNumber(QString::fromLatin1(c.Letters)), c.Column);
    EXPECT_EQ(ColumnNumber(QString::fromLatin1(c.Letters).toLower()), c.Column);
  }
  // Every column maps to letters that map back to it, in increasing order.
  QString previous;
  for (int n = 1; n <= MaxColumns; ++n) {
    const QString letters = ColumnLetters(n);
    ASSERT_EQ(ColumnNumber(letters), n) << letters.toStdString();
    ASSERT_TRUE(previous.size() < letters.size() || (previous.size() == letters.size() && previous < letters));
    previous = letters;
  }
}

TEST(A1Notation, ColumnsOutsideTheSheetAreRefused) {
  for (int n : {0, -1, MaxColumns + 1, 1 << 30}) {
    SCOPED_TRACE(n);
    EXPECT_THROW(ColumnLetters(n), EOleException);
  }
  for (const char* letters : {"", "XFE", "ZZZ", "AAAA", "A1", "Ä", "$A"}) {
    SCOPED_TRACE(letters);
    EXPECT_EQ(ColumnNumber(QString::fromUtf8(letters)), 0);
  }
}

TEST(A1Notation, AddressesOfCellsAndRanges) {
  EXPECT_EQ(CellAddress(1, 1), "A1");
  EXPECT_EQ(CellAddress(57, 12, true), "$L$57");
  EXPECT_EQ(CellAddress(MaxRows, MaxColumns), "XFD1048576");
  EXPECT_EQ(RangeAddress({1, 1, 57, 12}), "A1:L57");
  EXPECT_EQ(RangeAddress({2, 2, 30, 6}, true), "$B$2:$F$30");
  EXPECT_EQ(RangeAddress({3, 3, 3, 3}, true), "$C$3");
  EXPECT_EQ(RangeAddress({1, 1, 50, 25}), "A1:Y50");
  EXPECT_THROW(CellAddress(MaxRows + 1, 1), EOleException);
  EXPECT_THROW(CellAddress(0, 1), EOleException);
  EXPECT_THROW(RangeAddress({1, 1, 1, MaxColumns + 1}), EOleException);
}

TEST(A1Notation, ParsingAddresses) {
  const struct {
    const char* Text;
    TCellRect Rect;
  } good[] = {
      {"$C$3:$E$10", {3, 3, 10, 5}},   // 3 columns by 8 rows
      {"C3:E10", {3, 3, 10, 5}},
      {"$B$2:$F$30", {2, 2, 30, 6}},
      {"A1:L57", {1, 1, 57, 12}},
      {"$C$3", {3, 3, 3, 3}},
      {"C3", {3, 3, 3, 3}},
      {"$C3", {3, 3, 3, 3}},
      {"C$3", {3, 3, 3, 3}},
      {"e10:c3", {3, 3, 10, 5}},        // corners in any order, letters in any case
      {"AA1:ZZ2", {1, 27, 2, 702}},
      {"AAA7", {7, 703, 7, 703}},
      {"A1:XFD1048576", {1, 1, MaxRows, MaxColumns}},
  };
  for (const auto& c : good) {
    SCOPED_TRACE(c.Text);
    TCellRect rect;
    ASSERT_TRUE(TryParseRange(QString::fromLatin1(c.Text), rect));
    EXPECT_EQ(rect, c.Rect);
  }
  for (const char* text : {"", ":", "A", "1", "A0", "A1:", ":B2", "A1:B", "XFE1", "A1048577", "A1:B2:C3",
                           "$$A1", "A$$1", "A 1", "A1 ", "-A1", "A-1", "1A", "A1.5"}) {
    SCOPED_TRACE(text);
    TCellRect rect;
    EXPECT_FALSE(TryParseRange(QString::fromLatin1(text), rect));
    EXPECT_THROW(ParseRange(QString::fromLatin1(text)), EOleException);
  }
}
