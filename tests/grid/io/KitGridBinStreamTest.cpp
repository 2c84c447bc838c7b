// The binary grid stream: golden bytes of a plain cell, round trips of
// texts, properties, merged cells and graphics, a rectangle loaded at a
// point, numbers between locales, comments, font sizes between resolutions,
// and damaged streams that must load or fail cleanly.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <random>

#include "grid/io/KitGridIOSupport.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitObjAux.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Graphics.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

QByteArray Bytes(TMemoryStream& ms) {
  return QByteArray(static_cast<const char*>(ms.Memory()), static_cast<qsizetype>(ms.Size()));
}

// The component-stream pieces the records are made of.
QByteArray Short(const QByteArray& s) { return char(s.size()) + s; }
QByteArray Int(qint64 v) {
  QByteArray b;
  auto le = [&b](qint64 x, int n) {
    for (int i = 0; i < n; ++i) b.append(char((x >> (8 * i)) & 0xFF));
  };
  if (v >= -128 && v <= 127) b.append(char(2)), le(v, 1);
  else if (v >= -32768 && v <= 32767) b.append(char(3)), le(v, 2);
  else b.append(char(4)), le(v, 4);
  return b;
}
QByteArray Str(const QByteArray& s) { return char(6) + Short(s); }
const char kTrue = 9, kFalse = 8;
QByteArray Record(const QByteArray& Class, const QByteArray& Props) {
  return QByteArray("TPF0") + Short(Class) + Short("") + Props + QByteArray(2, '\0');
}

TEST(BinStream, GoldenBytesOfOnePlainCell) {
  auto grid = NewGrid();
  grid->SetColCount(1);
  grid->SetRowCount(1);
  grid->SetFixedCols(0);
  grid->SetFixedRows(0);
  grid->SetColWidths(0, 64);
  grid->SetRowHeights(0, 22);
  grid->SetCells(0, 0, "Hi");
  TMemoryStream ms;
  grid->SaveToBinStream(&ms);
  const QByteArray expected =
      Record("TGridPropIO", Short("ColCount") + Int(1) + Short("RowCount") + Int(1) + Short("ColWidths") + Str("64") +
                                Short("RowHeights") + Str("22") + Short("FullGrid") + kTrue + Short("ID") +
                                Int(kitgridio::GridStreamID(*grid))) +
      Record("TGridCellIO",
             Short("Col") + Int(0) + Short("Row") + Int(0) + Short("Cell") + Str("Hi") + Short("HasProp") + kFalse);
  EXPECT_EQ(Bytes(ms).toHex(' '), expected.toHex(' '));
}

TEST(BinStream, GoldenBytesOfACellWithProperties) {
  auto grid = NewGrid();
  grid->SetColCount(1);
  grid->SetRowCount(1);
  grid->SetFixedCols(0);
  grid->SetFixedRows(0);
  grid->SetColors(0, 0, clRed);
  TMemoryStream ms;
  grid->SaveToBinStream(&ms);
  const QByteArray all = Bytes(ms);
  const QByteArray props =
      Record("TGridCellPropIO",
             Short("CellProperties.IsBaseCell") + kTrue + Short("CellProperties.CellSpanX") + Int(-1) +
                 Short("CellProperties.CellSpanY") + Int(-1) + Short("CellProperties.Alignment") + char(7) +
                 Short("taLeftJustify") + Short("CellProperties.BorderColor") + char(7) + Short("clBlack") +
                 Short("CellProperties.BorderWidth") + Int(0) + Short("CellProperties.BrushColor") + char(7) +
                 Short("clRed") + Short("CellProperties.BrushColorTo") + char(7) + Short("clNone") +
                 Short("CellProperties.BrushStyle") + char(7) + Short("bsSolid") + Short("CellProperties.FontColor") +
                 char(7) + Short("clWindowText") + Short("CellProperties.FontName") + Str("Tahoma") +
                 Short("CellProperties.FontSize") + Int(8) +
                 Short("CellProperties.FontStyle") + char(11) + Short("") + Short("CellProperties.Editor") + char(7) +
                 Short("edNormal") + Short("CellProperties.GradientDirection") + char(7) + Short("GradientVertical") +
                 Short("CellProperties.ReadOnly") + kFalse + Short("CellProperties.VAlignment") + char(7) +
                 Short("vtaTop") + Short("CellProperties.WordWrap") + kTrue + Short("CellProperties.NodeLevel") +
                 Int(0) + Short("HasGraphic") + kFalse);
  ASSERT_TRUE(all.endsWith(props)) << all.right(props.size()).toHex(' ').toStdString();
  EXPECT_TRUE(all.contains(Short("HasProp") + kTrue));
}

// A grid with a bit of everything.
std::unique_ptr<TKitStringGrid> RichGrid() {
  auto g = NewGrid();
  g->SetColCount(5);
  g->SetRowCount(4);
  g->SetColWidths(2, 91);
  g->SetRowHeights(3, 33);
  g->SetCells(1, 1, "plain");
  g->SetCells(2, 1, "line1\r\nline2");
  g->SetCells(3, 1, QString::fromUtf8("€uro \"q\" ,;\t"));
  g->SetCells(4, 3, "");
  g->SetColors(1, 1, clYellow);
  g->SetColorsTo(1, 1, clBlue);
  g->SetFontColors(2, 1, 0x00123456);
  g->SetFontNames(2, 1, "Liberation Serif");
  g->SetFontStyles(2, 1, TFontStyles{fsBold, fsItalic});
  g->SetAlignments(3, 1, taCenter);
  g->SetReadOnly(3, 1, true);
  g->MergeCells(1, 2, 2, 2);
  g->SetCells(1, 2, "merged");
  g->CreateCellGraphic(4, 1)->SetCheckBox(true, false, false, haLeft, vaTop);
  g->CreateCellGraphic(4, 2)->SetCheckBox(cbGrayed, false, haCenter, vaCenter);
  return g;
}

TEST(BinStream, FullGridRoundTripRestoresEverything) {
  auto src = RichGrid();
  src->SetMultilinecells(true);
  QTemporaryDir dir;
  src->SaveToBinFile(dir.filePath("g.bin"));
  auto dst = NewGrid();
  dst->SetCells(0, 0, "old");
  dst->LoadFromBinFile(dir.filePath("g.bin"));

  EXPECT_EQ(dst->ColCount(), 5);
  EXPECT_EQ(dst->RowCount(), 4);
  EXPECT_EQ(dst->ColWidths(2), 91);
  EXPECT_EQ(dst->RowHeights(3), 33);
  EXPECT_EQ(dst->Cells(0, 0), "");
  for (int c = 0; c < 5; ++c)
    for (int r = 0; r < 4; ++r) EXPECT_EQ(dst->Cells(c, r), src->Cells(c, r)) << c << "," << r;
  EXPECT_EQ(dst->Colors(1, 1), clYellow);
  EXPECT_EQ(dst->ColorsTo(1, 1), clBlue);
  EXPECT_EQ(dst->FontColors(2, 1), 0x00123456);
  EXPECT_EQ(dst->FontNames(2, 1), "Liberation Serif");
  EXPECT_EQ(dst->FontStyles(2, 1), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(dst->Alignments(3, 1), taCenter);
  EXPECT_TRUE(dst->ReadOnly(3, 1));
  EXPECT_EQ(dst->BaseCell(2, 3), TPoint(1, 2));
  EXPECT_EQ(gridtest::MergeFault(*dst), QString());
  ASSERT_NE(dst->CellGraphics(4, 1), nullptr);
  EXPECT_EQ(dst->CellGraphics(4, 1)->CellType(), ctCheckBox);
  EXPECT_TRUE(dst->CellGraphics(4, 1)->CellBoolean());
  EXPECT_EQ(dst->CellGraphics(4, 2)->CellCheckBoxState(), cbGrayed);
}

TEST(BinStream, RectangleLoadsAtAPointWithoutClearing) {
  auto src = NewGrid();
  src->SetColCount(6);
  src->SetRowCount(8);
  src->SetCells(3, 5, "a");
  src->SetCells(4, 5, "b");
  src->SetCells(3, 6, "c");
  src->SetCells(4, 6, "d");
  TMemoryStream ms;
  std::vector<int> notes;
  src->SaveRectToBinStream(TRect(3, 5, 4, 6), &ms, false);
  ms.SetPosition(0);
  auto dst = NewGrid();
  dst->SetRowCount(15);
  dst->SetCells(2, 2, "keep");
  dst->LoadAtPointFromBinStream(TPoint(0, 10), &ms);
  EXPECT_EQ(dst->Cells(0, 10), "a");
  EXPECT_EQ(dst->Cells(1, 10), "b");
  EXPECT_EQ(dst->Cells(0, 11), "c");
  EXPECT_EQ(dst->Cells(1, 11), "d");
  EXPECT_EQ(dst->Cells(2, 2), "keep");
  EXPECT_EQ(dst->RowCount(), 15);

  // Near the edge: the cells that would fall outside are dropped.
  ms.SetPosition(0);
  dst->LoadAtPointFromBinStream(TPoint(dst->ColCount() - 1, 14), &ms);
  EXPECT_EQ(dst->Cells(dst->ColCount() - 1, 14), "a");
  EXPECT_EQ(dst->RowCount(), 15);
}

class RecordingGrid : public TKitStringGrid {
 public:
  using TKitStringGrid::TKitStringGrid;
  void ExportNotification(TGridExportState AState, int ARow) override { Log << QStringLiteral("%1:%2").arg(int(AState)).arg(ARow); }
  QStringList Log;
};

TEST(BinStream, OneRowRectangleCallsNoExportNotifications) {
  auto g = CreateUnique<RecordingGrid>(nullptr);
  TMemoryStream ms;
  g->SaveRectToBinStream(TRect(1, 1, 3, 1), &ms, false);
  EXPECT_TRUE(g->Log.isEmpty());
  g->SaveRectToBinStream(TRect(1, 1, 3, 2), &ms, false);
  EXPECT_EQ(g->Log, QStringList({"0:1", "5:1", "5:2", "2:-1"}));
}

TEST(BinStream, NumbersTravelInDotNotation) {
  const TFormatSettings saved = FormatSettings;
  FormatSettings = testsupport::GermanSettings();
  auto src = NewGrid();
  src->SetCells(1, 1, "1.234,50");
  TMemoryStream ms;
  src->SaveToBinStream(&ms);
  EXPECT_TRUE(Bytes(ms).contains("1234.50"));
  ms.SetPosition(0);
  auto de = NewGrid();
  de->LoadFromBinStream(&ms);
  EXPECT_EQ(de->Cells(1, 1), "1234,50");
  FormatSettings = saved;
  ms.SetPosition(0);
  auto en = NewGrid();
  en->LoadFromBinStream(&ms);
  EXPECT_EQ(en->Cells(1, 1), "1234.50");
}

TEST(BinStream, CommentsTravelAsCommentRecords) {
  auto src = NewGrid();
  TCellGraphic* only = src->CreateCellGraphic(1, 1);
  only->SetCellType(ctNone);
  only->SetCellComment("note");
  only->SetCommentColor(clLime);
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetSize(4, 4);
  TCellGraphic* withBmp = src->CreateCellGraphic(2, 1);
  withBmp->SetBitmap(bmp.get(), false, haLeft, vaTop);  // the caller's bitmap
  withBmp->SetCellComment("pic note");
  withBmp->SetCommentColor(clRed);
  src->SetCells(3, 1, "after");
  src->SetColors(3, 1, clAqua);

  TMemoryStream ms;
  src->SaveToBinStream(&ms);
  ms.SetPosition(0);
  auto dst = NewGrid();
  dst->LoadFromBinStream(&ms);
  for (int c : {1, 2}) {
    TCellGraphic* g = dst->CellGraphics(c, 1);
    ASSERT_NE(g, nullptr) << c;
    EXPECT_EQ(g->CellType(), ctNone) << c;
    EXPECT_EQ(g->CellText(), "") << c;
    EXPECT_EQ(g->CellBitmap(), nullptr) << c;
  }
  EXPECT_EQ(dst->CellGraphics(1, 1)->CellComment(), "note");
  EXPECT_EQ(dst->CellGraphics(1, 1)->CommentColor(), clLime);
  EXPECT_EQ(dst->CellGraphics(2, 1)->CellComment(), "pic note");
  EXPECT_EQ(dst->CellGraphics(2, 1)->CommentColor(), clRed);
  EXPECT_EQ(dst->Cells(3, 1), "after");
  EXPECT_EQ(dst->Colors(3, 1), clAqua);
}

TEST(BinStream, PicturesAndListsGetObjectsOfTheirOwn) {
  auto src = NewGrid();
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetSize(3, 2);
  bmp->Canvas()->SetPixels(1, 1, clRed);
  src->CreateCellGraphic(1, 1)->SetBitmap(bmp.get(), true, haRight, vaBottom);
  auto radio = std::make_unique<TStringList>();
  radio->Add("one");
  radio->Add("two, three");
  TCellGraphic* rg = src->CreateCellGraphic(2, 1);
  rg->SetCellType(ctRadio);
  rg->SetCellBitmap(radio.get());
  rg->SetCellIndex(1);
  src->CreateCellGraphic(3, 1)->SetMultiImage(3, 1, 0, haLeft, vaTop, nullptr);
  src->CellImages(3, 1)->Add(4);
  src->CellImages(3, 1)->Add(7);
  auto fp = std::make_unique<TFilePicture>();
  fp->SetFilename("/nonexistent/pic.png");
  src->CreateCellGraphic(4, 1)->SetFilePicture(fp.get(), false, Stretch, 2, haLeft, vaTop);

  TMemoryStream ms;
  src->SaveToBinStream(&ms);
  ms.SetPosition(0);
  auto dst = NewGrid();
  dst->LoadFromBinStream(&ms);

  TCellGraphic* b = dst->CellGraphics(1, 1);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->CellType(), ctBitmap);
  auto* got = dynamic_cast<TBitmap*>(b->CellBitmap());
  ASSERT_NE(got, nullptr);
  EXPECT_NE(got, bmp.get());
  EXPECT_EQ(got->Width(), 3);
  EXPECT_EQ(got->Height(), 2);
  EXPECT_EQ(got->Canvas()->Pixels(1, 1) & 0xFFFFFF, clRed);
  EXPECT_TRUE(b->CellTransparent());
  EXPECT_EQ(b->CellHAlign(), haRight);

  auto* sl = dynamic_cast<TStrings*>(dst->CellGraphics(2, 1)->CellBitmap());
  ASSERT_NE(sl, nullptr);
  EXPECT_EQ(sl->Count(), 2);
  EXPECT_EQ(sl->Strings(1), "two, three");
  EXPECT_EQ(dst->CellGraphics(2, 1)->CellIndex(), 1);
  ASSERT_NE(dst->CellImages(3, 1), nullptr);
  EXPECT_EQ(dst->CellImages(3, 1)->StrValue(), "4,7");
  auto* gotFp = dynamic_cast<TFilePicture*>(dst->CellGraphics(4, 1)->CellBitmap());
  ASSERT_NE(gotFp, nullptr);
  EXPECT_EQ(gotFp->Filename(), "/nonexistent/pic.png");
  EXPECT_EQ(dst->CellGraphics(4, 1)->CellAngle(), Stretch);
}

TEST(BinStream, FontSizeTravelsInPoints) {
  struct Case {
    int Height, WriteDpi, Points, ReadDpi, Back;
  } cases[] = {
      {-16, 96, 12, 96, -16},
      {-16, 96, 12, 120, -20},
      {0, 96, 0, 120, 0},
      {-20, 120, 12, 96, -16},
  };
  for (const Case& k : cases) {
    auto src = NewGrid();
    src->CellProperties(1, 1)->SetFontSize(k.Height);
    kitgridio::SetBinStreamPixelsPerInch(k.WriteDpi);
    TMemoryStream ms;
    src->SaveToBinStream(&ms);
    EXPECT_TRUE(Bytes(ms).contains(Short("CellProperties.FontSize") + Int(k.Points))) << k.Height;
    kitgridio::SetBinStreamPixelsPerInch(k.ReadDpi);
    ms.SetPosition(0);
    auto dst = NewGrid();
    dst->LoadFromBinStream(&ms);
    EXPECT_EQ(dst->CellProperties(1, 1)->FontSize(), k.Back) << k.Height << " at " << k.ReadDpi;
  }
  kitgridio::SetBinStreamPixelsPerInch(0);
}

TEST(BinStream, StreamEmbeddedInALargerStream) {
  auto src = RichGrid();
  TMemoryStream ms;
  ms.WriteBuffer("HEAD", 4);
  src->SaveToBinStream(&ms);
  const Int64 end = ms.Position();
  ms.SetPosition(4);
  auto dst = NewGrid();
  dst->LoadFromBinStream(&ms);
  EXPECT_EQ(ms.Position(), end);
  EXPECT_EQ(dst->Cells(1, 1), "plain");
}

TEST(BinStream, DamagedStreamsLoadOrFailCleanly) {
  auto src = RichGrid();
  TMemoryStream ms;
  src->SaveRectToBinStream(TRect(1, 1, 4, 3), &ms, false);
  const QByteArray good = Bytes(ms);

  auto check = [](const QByteArray& data, const char* what, int i) {
    auto dst = NewGrid();
    dst->SetColCount(8);
    dst->SetRowCount(12);
    dst->SetCells(7, 11, "sentinel");
    dst->SetCells(0, 0, "origin");
    TBytesStream bs(data);
    try {
      dst->LoadAtPointFromBinStream(TPoint(2, 3), &bs);
    } catch (const Exception&) {
    }
    // Only the declared 4 x 3 rectangle at (2, 3) may change.
    EXPECT_EQ(dst->Cells(7, 11), "sentinel") << what << " " << i;
    EXPECT_EQ(dst->Cells(0, 0), "origin") << what << " " << i;
    EXPECT_EQ(dst->ColCount(), 8) << what << " " << i;
    EXPECT_EQ(dst->RowCount(), 12) << what << " " << i;
  };
  for (int n = 0; n < good.size(); n += 7) check(good.left(n), "truncated", n);

  std::mt19937 rng(12345);
  for (int i = 0; i < 1000; ++i) {
    QByteArray bad = good;
    const int flips = 1 + int(rng() % 6);
    for (int f = 0; f < flips; ++f) {
      const int at = int(rng() % bad.size());
      switch (rng() % 3) {
        case 0: bad[at] = char(rng()); break;
        case 1: bad.remove(at, 1 + int(rng() % 8)); break;
        default: bad.insert(at, char(rng())); break;
      }
    }
    check(bad, "damaged", i);
  }

  // Named faults give the stream-read errors.
  auto dst = NewGrid();
  TBytesStream wrongSig(QByteArray("TPF1") + good.mid(4));
  EXPECT_EQ(testsupport::RaisedMessage([&] { dst->LoadFromBinStream(&wrongSig); }), "Invalid stream format");
  QByteArray unknown = good;
  unknown.replace(Short("HasProp"), Short("HasPrap"));
  TBytesStream unk(unknown);
  EXPECT_EQ(testsupport::RaisedMessage([&] { dst->LoadFromBinStream(&unk); }), "Property HasPrap does not exist");
  TBytesStream cut(good.left(good.size() - 3));
  EXPECT_EQ(testsupport::RaisedMessage([&] { dst->LoadFromBinStream(&cut); }), "Stream read error");
}

}  // namespace
