// The check list box: the user's toggles (the check area, Space) with
// OnClickCheck, grayed states, disabled items, states that belong to their
// items through every list operation (also as a model test over many random
// operations), and the check box drawn in each item.

#include "platform/vcl/CheckLst.h"

#include <random>

#include "platform/rtl/StringList.h"
#include "tests/platform/vcl/PictureFiles.h"
#include "tests/platform/vcl/StdCtrlsTestSupport.h"
#include "tests/platform/vcl/VclTestSupport.h"

using namespace vcltest;

namespace {

class CheckListTest : public StdFormTest {
 protected:
  void SetUp() override {
    StdFormTest::SetUp();
    List = Create<TCheckListBox>(Form.get());
    List->SetName(QStringLiteral("checks"));
    List->SetBounds(10, 10, 160, 150);
    List->SetParent(Form.get());
    List->Items()->SetCommaText(QStringLiteral("one,two,three,four"));
    List->OnClickCheck = [this](TObject*) { Events << QStringLiteral("check %1").arg(List->ItemIndex()); };
    List->OnClick = [this](TObject*) { Events << QStringLiteral("click %1").arg(List->ItemIndex()); };
    Pump();
  }
  TPoint InCheck(int Index) const { return List->CheckRect(Index).CenterPoint(); }
  TPoint InText(int Index) const {
    const TRect r = List->ItemRect(Index);
    return TPoint(r.Left + List->CheckWidth() + 20, r.Top + r.Height() / 2);
  }
  TCheckListBox* List = nullptr;
  QStringList Events;
  bool Keep = false;
};

TEST_F(CheckListTest, APressOnTheCheckAreaTogglesAndSelects) {
  ASSERT_FALSE(List->CheckRect(1).IsEmpty());
  ASSERT_GT(List->CheckWidth(), 10);
  Click(List, InCheck(1).X, InCheck(1).Y);
  EXPECT_TRUE(List->Checked(1));
  EXPECT_EQ(Events, (QStringList{"click 1", "check 1"}));
  // On the text: selected, not toggled.
  Events.clear();
  Click(List, InText(2).X, InText(2).Y);
  EXPECT_FALSE(List->Checked(2));
  EXPECT_EQ(Events, (QStringList{"click 2"}));
  // The right button toggles nothing.
  Click(List, InCheck(3).X, InCheck(3).Y, mbRight);
  EXPECT_FALSE(List->Checked(3));
}

TEST_F(CheckListTest, TogglesCycleThroughGrayedOnlyWithAllowGrayed) {
  struct TCase {
    bool AllowGrayed;
    TCheckBoxState From;
    TCheckBoxState To;
  };
  const TCase cases[] = {
      {false, cbUnchecked, cbChecked}, {false, cbChecked, cbUnchecked}, {false, cbGrayed, cbChecked},
      {true, cbUnchecked, cbGrayed},   {true, cbGrayed, cbChecked},     {true, cbChecked, cbUnchecked},
  };
  List->SetItemIndex(0);
  List->SetFocus();
  Pump();
  for (const TCase& c : cases) {
    SCOPED_TRACE(QStringLiteral("AllowGrayed %1, from %2").arg(c.AllowGrayed).arg(int(c.From)).toStdString());
    List->SetAllowGrayed(c.AllowGrayed);
    List->SetState(0, c.From);
    Events.clear();
    Key(VK_SPACE);
    EXPECT_EQ(List->State(0), c.To);
    EXPECT_EQ(Events, QStringList{"check 0"});
  }
}

TEST_F(CheckListTest, SpaceReachesOnKeyPressFirstAndDisabledItemsStayAsTheyAre) {
  List->SetItemIndex(1);
  List->SetFocus();
  Pump();
  QStringList pressed;
  List->OnKeyPress = [&](TObject*, QChar& Key) {
    pressed << QString(Key);
    if (Keep) Key = QChar(0);
  };
  Key(VK_SPACE);
  EXPECT_EQ(pressed, QStringList{" "});
  EXPECT_TRUE(List->Checked(1));
  Keep = true;
  Key(VK_SPACE);
  EXPECT_TRUE(List->Checked(1)) << "the handler kept the item";
  Keep = false;

  List->SetItemEnabled(1, false);
  Events.clear();
  Key(VK_SPACE);
  Click(List, InCheck(1).X, InCheck(1).Y);
  EXPECT_TRUE(List->Checked(1));
  EXPECT_FALSE(Events.contains(QStringLiteral("check 1")));
  // The program still sets it; no OnClickCheck for that.
  List->SetChecked(1, false);
  List->CheckAll(cbGrayed, false, false);
  EXPECT_EQ(List->State(0), cbUnchecked);
  EXPECT_FALSE(List->Checked(1));
  List->CheckAll(cbChecked);
  EXPECT_TRUE(List->Checked(1));
  EXPECT_FALSE(Events.contains(QStringLiteral("check 1")));
  EXPECT_THROW(List->State(4), EListError);
  EXPECT_THROW(List->SetChecked(-1, true), EListError);
}

// Many random list operations: each item keeps its state, checked against
// a plain list of (text, state).
TEST_F(CheckListTest, StatesStayWithTheirItemsOverManyOperations) {
  struct TItem {
    QString Text;
    TCheckBoxState State;
  };
  QList<TItem> model;
  for (int i = 0; i < List->Items()->Count(); ++i) model << TItem{List->Items()->Strings(i), cbUnchecked};
  std::mt19937 random(532);
  int serial = 0;
  for (int step = 0; step < 600; ++step) {
    const int n = int(model.size());
    const int what = int(random() % 9);
    SCOPED_TRACE(QStringLiteral("step %1, operation %2").arg(step).arg(what).toStdString());
    switch (what) {
      case 0: {
        const QString text = QStringLiteral("item%1").arg(random() % 50);
        List->Items()->Add(text);
        model << TItem{text, cbUnchecked};
        ++serial;
        break;
      }
      case 1: {
        const int at = int(random() % (n + 1));
        const QString text = QStringLiteral("new%1").arg(serial++);
        List->Items()->Insert(at, text);
        model.insert(at, TItem{text, cbUnchecked});
        break;
      }
      case 2:
        if (n > 0) {
          const int at = int(random() % n);
          List->Items()->Delete(at);
          model.removeAt(at);
        }
        break;
      case 3:
        if (n > 1) {
          const int a = int(random() % n), b = int(random() % n);
          List->Items()->Move(a, b);
          model.move(a, b);
        }
        break;
      case 4:
        if (n > 1) {
          const int a = int(random() % n), b = int(random() % n);
          List->Items()->Exchange(a, b);
          model.swapItemsAt(a, b);
        }
        break;
      case 5:
      case 6:
        if (n > 0) {
          const int at = int(random() % n);
          const TCheckBoxState s = TCheckBoxState(random() % 3);
          List->SetState(at, s);
          model[at].State = s;
        }
        break;
      case 7:
        if (random() % 4 == 0) {
          List->Items()->Clear();
          model.clear();
        }
        break;
      case 8: {
        List->SetSorted(true);
        List->SetSorted(false);
        // A stable sort by text: equal texts keep their order, as the list's.
        std::stable_sort(model.begin(), model.end(),
                         [](const TItem& A, const TItem& B) { return AnsiCompareText(A.Text, B.Text) < 0; });
        break;
      }
    }
    ASSERT_EQ(List->Items()->Count(), model.size());
    for (int i = 0; i < model.size(); ++i) {
      ASSERT_EQ(List->Items()->Strings(i), model[i].Text) << "item " << i;
      ASSERT_EQ(List->State(i), model[i].State) << "item " << i;
    }
  }
}

TEST_F(CheckListTest, EachItemShowsItsCheckBox) {
  List->SetChecked(0, true);
  List->SetState(2, cbGrayed);
  Pump();
  const QImage shown = Grab(List);
  KeepPicture(shown, QStringLiteral("checklist"));
  auto box = [&](int Index) {
    const TRect r = List->CheckRect(Index);
    return shown.copy(QRect(r.Left, r.Top, r.Width(), r.Height()));
  };
  // Unchecked items look alike; checked and grayed differ from them and
  // from each other.
  EXPECT_EQ(box(1), box(3));
  EXPECT_NE(box(0), box(1));
  EXPECT_NE(box(2), box(1));
  EXPECT_NE(box(0), box(2));
  // The check box is drawn inside the check area: its frame stands out
  // from the list's white.
  const TRect r = List->CheckRect(1);
  EXPECT_GT(probe::Count(
                shown, [](QRgb p) { return probe::Luminance(p) < 230; }, QRect(r.Left, r.Top, r.Width(), r.Height())),
            6);
}

}  // namespace
