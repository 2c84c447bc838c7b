// The track bar: keys, the thumb dragged, the channel clicked (with its
// repeat on the manual clock), the scroll messages the parent gets, OnChange
// once per change, limits, ticks and geometry.

#include "platform/vcl/ComCtrlsTrackBar.h"

#include "platform/vcl/Themes.h"
#include "tests/platform/vcl/StdCtrlsTestSupport.h"
#include "tests/platform/vcl/VclTestSupport.h"

using namespace vcltest;

namespace {

class TrackBarTest : public StdFormTest {
 protected:
  void SetUp() override {
    StdFormTest::SetUp();
    Bar = Create<TTrackBar>(Form.get());
    Bar->SetName(QStringLiteral("bar"));
    Bar->SetBounds(20, 20, 200, 45);
    Bar->SetParent(Form.get());
    Bar->OnChange = [this](TObject*) { Changes << Bar->Position(); };
    Log.Attach(Form.get(), QStringLiteral("form"));
    Pump();
  }
  // The scroll codes (and positions for thumb codes) the form got, as
  // "code" or "code:pos".
  QStringList Scrolls() {
    QStringList out;
    for (const TLoggedMessage& m : Log.Entries()) {
      if (m.Msg != WM_HSCROLL && m.Msg != WM_VSCROLL) continue;
      const WORD code = LOWORD(DWORD(m.WParam));
      QString s = QString::number(code);
      if (code == TB_THUMBTRACK || code == TB_THUMBPOSITION)
        s += u':' + QString::number(SHORT(HIWORD(DWORD(m.WParam))));
      out << s;
    }
    return out;
  }
  void Reset() {
    Log.Clear();
    Changes.clear();
  }

  TTrackBar* Bar = nullptr;
  TMessageLog Log;
  QList<int> Changes;
};

QString S(WORD Code) { return QString::number(Code); }
QString S(WORD Code, int Pos) { return QString::number(Code) + u':' + QString::number(Pos); }

TEST_F(TrackBarTest, KeysMoveByLinesPagesAndToTheEnds) {
  Bar->SetFocus();
  Pump();
  struct TCase {
    WORD Key;
    int Start;
    int Position;
    WORD Code;
  };
  const TCase cases[] = {
      {VK_RIGHT, 5, 6, TB_LINEDOWN}, {VK_DOWN, 5, 6, TB_LINEDOWN}, {VK_LEFT, 5, 4, TB_LINEUP},
      {VK_UP, 5, 4, TB_LINEUP},      {VK_NEXT, 5, 7, TB_PAGEDOWN}, {VK_PRIOR, 5, 3, TB_PAGEUP},
      {VK_HOME, 5, 0, TB_TOP},       {VK_END, 5, 10, TB_BOTTOM},   {VK_RIGHT, 10, 10, TB_LINEDOWN},
      {VK_PRIOR, 1, 0, TB_PAGEUP},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(QStringLiteral("key %1 from %2").arg(c.Key).arg(c.Start).toStdString());
    Bar->SetPosition(c.Start);
    Reset();
    Key(c.Key);
    EXPECT_EQ(Bar->Position(), c.Position);
    // The move, then the end of it with the key's release.
    EXPECT_EQ(Scrolls(), (QStringList{S(c.Code), S(TB_ENDTRACK)}));
    EXPECT_EQ(Changes, c.Position == c.Start ? QList<int>{} : QList<int>{c.Position});
  }
}

TEST_F(TrackBarTest, DraggingTheThumbTracksThenSetsThePosition) {
  const TRect thumb = Bar->ThumbRect();
  const int y = thumb.CenterPoint().Y;
  Reset();
  MouseDown(Bar, thumb.CenterPoint().X, y);
  MouseMove(Bar, Bar->PositionToPixel(3), y);
  MouseMove(Bar, Bar->PositionToPixel(3) + 1, y);  // still 3: no message
  MouseMove(Bar, Bar->PositionToPixel(8), y);
  MouseMove(Bar, 500, y);  // beyond the end: Max
  MouseUp(Bar, 500, y);
  EXPECT_EQ(Bar->Position(), 10);
  EXPECT_EQ(Scrolls(), (QStringList{S(TB_THUMBTRACK, 3), S(TB_THUMBTRACK, 8), S(TB_THUMBTRACK, 10),
                                    S(TB_THUMBPOSITION, 10), S(TB_ENDTRACK)}));
  EXPECT_EQ(Changes, (QList<int>{3, 8, 10}));
  EXPECT_TRUE(Bar->Focused());
}

TEST_F(TrackBarTest, HoldingTheMouseOnTheChannelPagesTowardIt) {
  TManualClock clock;
  const int y = Bar->ThumbRect().CenterPoint().Y;
  Reset();
  MouseDown(Bar, Bar->PositionToPixel(9), y);
  struct TStep {
    uint64_t Ms;
    int Position;
  };
  const TStep steps[] = {{0, 2}, {399, 2}, {1, 4}, {100, 6}, {100, 8}, {100, 9}, {300, 9}};
  for (const TStep& s : steps) {
    clock.Advance(s.Ms);
    EXPECT_EQ(Bar->Position(), s.Position) << "after " << s.Ms << " ms more";
  }
  MouseUp(Bar, Bar->PositionToPixel(9), y);
  EXPECT_EQ(Scrolls(), (QStringList{S(TB_PAGEDOWN), S(TB_PAGEDOWN), S(TB_PAGEDOWN), S(TB_PAGEDOWN), S(TB_PAGEDOWN),
                                    S(TB_ENDTRACK)}));
  EXPECT_EQ(Changes, (QList<int>{2, 4, 6, 8, 9}));
}

TEST_F(TrackBarTest, TheProgramsChangesRunOnChangeOncePerChange) {
  Reset();
  Bar->SetPosition(4);
  Bar->SetPosition(4);
  Bar->SetPosition(40);  // clamped to Max
  Bar->SetMax(6);        // pulls the position in
  Bar->SetMin(8);        // above Max: refused
  Bar->SetMax(-1);       // below Min: refused
  EXPECT_EQ(Changes, (QList<int>{4, 10, 6}));
  EXPECT_EQ(Bar->Min(), 0);
  EXPECT_EQ(Bar->Max(), 6);
  EXPECT_TRUE(Scrolls().isEmpty()) << "the program's changes are not the user's moves";
  // While the bar is read from a stream the range comes in any order.
  Bar->SetComponentStateFlag(csLoading, true);
  Bar->SetMax(-5);
  Bar->SetMin(-10);
  Bar->SetPosition(-7);
  Bar->Loaded();
  EXPECT_EQ(Bar->Min(), -10);
  EXPECT_EQ(Bar->Max(), -5);
  EXPECT_EQ(Bar->Position(), -7);
}

TEST_F(TrackBarTest, StepsOfZeroMoveNothing) {
  Bar->SetPosition(5);
  Bar->SetPageSize(0);
  Bar->SetLineSize(0);
  Bar->SetFocus();
  Pump();
  Reset();
  for (WORD key : {VK_NEXT, VK_PRIOR, VK_LEFT, VK_RIGHT}) Key(key);
  EXPECT_EQ(Bar->Position(), 5);
  EXPECT_TRUE(Changes.isEmpty());
  // A click on the channel does not hang and moves nothing either.
  TManualClock clock;
  MouseDown(Bar, Bar->PositionToPixel(9), Bar->ThumbRect().CenterPoint().Y);
  clock.Advance(1000);
  MouseUp(Bar, Bar->PositionToPixel(9), Bar->ThumbRect().CenterPoint().Y);
  EXPECT_EQ(Bar->Position(), 5);
}

TEST_F(TrackBarTest, TicksStandAtTheFrequencyAndTheEnds) {
  struct TCase {
    TTickStyle Style;
    int Frequency;
    QList<int> Ticks;
  };
  const TCase cases[] = {
      {tsAuto, 1, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {tsAuto, 3, {0, 3, 6, 9, 10}},
      {tsAuto, 0, {0, 10}},
      {tsAuto, -2, {0, 10}},
      {tsNone, 1, {}},
      {tsManual, 1, {0, 4, 7, 10}},
  };
  Bar->SetTick(7);
  Bar->SetTick(4);
  Bar->SetTick(40);  // outside: ignored
  for (const TCase& c : cases) {
    SCOPED_TRACE(QStringLiteral("style %1 frequency %2").arg(int(c.Style)).arg(c.Frequency).toStdString());
    Bar->SetTickStyle(c.Style);
    Bar->SetFrequency(c.Frequency);
    EXPECT_EQ(Bar->TickPositions(), c.Ticks);
    EXPECT_EQ(Bar->Perform(TBM_GETNUMTICS, 0, 0), c.Ticks.size());
  }
  // Drawn below the thumb: a dark pixel in each tick's column.
  Bar->SetTickStyle(tsAuto);
  Bar->SetFrequency(5);
  Bar->SetPosition(2);
  Pump();
  const QImage shown = Grab(Bar);
  const int below = Bar->ThumbRect().Bottom + 3;
  for (int v : {0, 5, 10}) {
    SCOPED_TRACE(v);
    EXPECT_LT(probe::Luminance(shown.pixel(Bar->PositionToPixel(v), below)), 80);
    EXPECT_GT(probe::Luminance(shown.pixel(Bar->PositionToPixel(v) + 3, below)), 150);
  }
}

TEST_F(TrackBarTest, TheThumbRunsBetweenTheMarginsInBothOrientations) {
  struct TCase {
    TTrackBarOrientation Orientation;
    int Position;
    TRect Thumb;
  };
  // 200 x 45: thumb 11 along, 20 across, its centre from 8 + 5 to 200 - 8 - 5 - 1.
  const TCase cases[] = {
      {trHorizontal, 0, TRect(8, 8, 19, 28)},   {trHorizontal, 10, TRect(181, 8, 192, 28)},
      {trHorizontal, 5, TRect(95, 8, 106, 28)}, {trVertical, 0, TRect(8, 8, 28, 19)},
      {trVertical, 10, TRect(8, 181, 28, 192)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(QStringLiteral("%1 at %2")
                     .arg(c.Orientation == trHorizontal ? "horizontal" : "vertical")
                     .arg(c.Position)
                     .toStdString());
    Bar->SetOrientation(c.Orientation);
    Bar->SetPosition(c.Position);
    EXPECT_EQ(Bar->ThumbRect(), c.Thumb);
    RECT r{};
    Bar->Perform(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(TRect(r.left, r.top, r.right, r.bottom), c.Thumb);
  }
  // A vertical bar notifies with WM_VSCROLL.
  Bar->SetFocus();
  Pump();
  Reset();
  Key(VK_UP);
  int vertical = 0;
  for (const TLoggedMessage& m : Log.Entries()) vertical += m.Msg == WM_VSCROLL ? 1 : 0;
  EXPECT_EQ(vertical, 2);
}

}  // namespace
