// Undo and redo of cell texts against a grid stand-in that keeps cells and
// check boxes and logs what the component asks of it: levels, sequences,
// MaxLevel, the events' parameters, the check-box path both ways, and a
// history that forgets undone changes once something new is recorded.

#include <gtest/gtest.h>

#include <QMap>
#include <QPair>
#include <QStringList>
#include <memory>

#include "grid/model/KitGridUndo.h"
#include "tests/support/TestSupport.h"

namespace {

const QString kCheckTrue = u"Y"_qs;
const QString kCheckFalse = u"N"_qs;

// Cells by (col, row); check boxes in the cells listed in Boxes. Display
// columns are the real ones plus 10, so the mapping shows in the log.
class TGridStandIn : public TComponent, public IKitGridUndoTarget {
 public:
  explicit TGridStandIn(TComponent* AOwner) : TComponent(AOwner) {}

  TComponent* UndoGridComponent() override { return this; }
  QString UndoGetCell(int ACol, int ARow) override { return Cells.value({ACol, ARow}); }
  void UndoSetCell(int ACol, int ARow, const QString& Value) override {
    Log << QStringLiteral("set %1,%2=%3").arg(ACol).arg(ARow).arg(Value);
    Cells[{ACol, ARow}] = Value;
  }
  bool UndoHasCellCheckBox(int ACol, int ARow) override { return Boxes.contains({ACol, ARow}); }
  // As the grid does: the state opposite to the text given.
  void UndoSetCheckBoxText(int ACol, int ARow, const QString& Value) override {
    Log << QStringLiteral("box %1,%2=%3").arg(ACol).arg(ARow).arg(Value);
    Boxes[{ACol, ARow}] = Value != kCheckTrue;
  }
  int UndoDisplColIndex(int ACol) override { return ACol + 10; }
  void UndoSetCurrentCell(int ACol, int ARow) override {
    CurrentCol = ACol;
    CurrentRow = ARow;
  }
  int UndoCurrentCol() override { return CurrentCol; }
  void UndoRepaintCell(int ACol, int ARow) override {
    Log << QStringLiteral("repaint %1,%2").arg(ACol).arg(ARow);
  }
  void UndoInvalidate() override { Log << u"invalidate"_qs; }

  // A user edit: the text changes and the change is recorded.
  void Edit(TKitGridUndoRedo& undo, int ACol, int ARow, const QString& Value) {
    undo.RegisterChange(ACol, ARow, Cells.value({ACol, ARow}), Value);
    Cells[{ACol, ARow}] = Value;
  }
  // A check-box toggle records the check text of the new state as the old
  // value and the other text as the new one.
  void Toggle(TKitGridUndoRedo& undo, int ACol, int ARow) {
    const bool state = !Boxes.value({ACol, ARow});
    Boxes[{ACol, ARow}] = state;
    undo.RegisterChange(ACol, ARow, state ? kCheckTrue : kCheckFalse, state ? kCheckFalse : kCheckTrue);
  }

  QMap<QPair<int, int>, QString> Cells;
  QMap<QPair<int, int>, bool> Boxes;
  int CurrentCol = -1;
  int CurrentRow = -1;
  QStringList Log;
};

class UndoTest : public ::testing::Test {
 protected:
  UndoTest() : Owner(nullptr), Grid(new TGridStandIn(&Owner)), Undo(new TKitGridUndoRedo(&Owner)) {
    Undo->SetGrid(Grid);
  }
  QString Cell(int ACol, int ARow) const { return Grid->Cells.value({ACol, ARow}); }
  bool Box() const { return Grid->Boxes.value({1, 2}); }

  TComponent Owner;
  TGridStandIn* Grid;
  TKitGridUndoRedo* Undo;
};

}  // namespace

TEST_F(UndoTest, UndoAndRedoSingleChanges) {
  Grid->Edit(*Undo, 1, 1, u"a"_qs);
  Grid->Edit(*Undo, 2, 3, u"b"_qs);
  EXPECT_EQ(Undo->Level(), 2);
  EXPECT_FALSE(Undo->CanRedo());

  Undo->Undo();
  EXPECT_EQ(Cell(2, 3), QString());
  EXPECT_TRUE(Undo->CanUndo());
  EXPECT_TRUE(Undo->CanRedo());
  // The cell was made current through its display column and repainted in
  // the current column.
  EXPECT_EQ(Grid->CurrentCol, 12);
  EXPECT_EQ(Grid->CurrentRow, 3);
  EXPECT_EQ(Grid->Log, (QStringList{u"set 2,3="_qs, u"repaint 12,3"_qs}));

  Grid->Log.clear();
  Undo->Redo();
  EXPECT_EQ(Cell(2, 3), u"b"_qs);
  EXPECT_EQ(Grid->Log, (QStringList{u"set 2,3=b"_qs, u"repaint 12,3"_qs}));
  EXPECT_EQ(Undo->Level(), 2);

  Undo->Undo();
  Undo->Undo();
  EXPECT_EQ(Cell(1, 1), QString());
  EXPECT_FALSE(Undo->CanUndo());
  Grid->Log.clear();
  Undo->Undo();  // nothing left
  EXPECT_TRUE(Grid->Log.isEmpty());
  EXPECT_EQ(Undo->Level(), 0);
  Undo->Redo();
  Undo->Redo();
  EXPECT_EQ(Cell(1, 1), u"a"_qs);
  EXPECT_EQ(Cell(2, 3), u"b"_qs);
  Grid->Log.clear();
  Undo->Redo();  // nothing left
  EXPECT_TRUE(Grid->Log.isEmpty());
}

TEST_F(UndoTest, ANewChangeDropsTheUndoneOnes) {
  Grid->Edit(*Undo, 1, 1, u"first"_qs);
  Grid->Edit(*Undo, 1, 1, u"abandoned"_qs);
  Undo->Undo();
  EXPECT_EQ(Cell(1, 1), u"first"_qs);
  Grid->Edit(*Undo, 1, 1, u"second"_qs);

  EXPECT_FALSE(Undo->CanRedo());
  EXPECT_EQ(Undo->Items()->Count(), 2);
  EXPECT_EQ(Undo->Level(), 2);
  Undo->Undo();
  EXPECT_EQ(Cell(1, 1), u"first"_qs);
  Undo->Undo();
  EXPECT_EQ(Cell(1, 1), QString());
  // Redoing walks the new history; the abandoned text never comes back.
  Undo->Redo();
  Undo->Redo();
  EXPECT_EQ(Cell(1, 1), u"second"_qs);
  EXPECT_FALSE(Undo->CanRedo());

  // The same for a sequence marker recorded after an undo.
  Undo->Undo();
  Undo->StartSequence();
  EXPECT_EQ(Undo->Items()->Count(), 2);
  EXPECT_FALSE(Undo->CanRedo());
}

TEST_F(UndoTest, MaxLevelKeepsTheNewestEntries) {
  Undo->SetMaxLevel(2);
  Grid->Edit(*Undo, 0, 0, u"a"_qs);
  Grid->Edit(*Undo, 0, 1, u"b"_qs);
  Grid->Edit(*Undo, 0, 2, u"c"_qs);
  EXPECT_EQ(Undo->Items()->Count(), 2);
  EXPECT_EQ(Undo->Level(), 2);
  EXPECT_EQ(Undo->Items()->Items(0)->Row(), 1);
  Undo->Undo();
  Undo->Undo();
  Undo->Undo();  // the first change is forgotten
  EXPECT_EQ(Cell(0, 0), u"a"_qs);
  EXPECT_EQ(Cell(0, 1), QString());
  EXPECT_EQ(Cell(0, 2), QString());

  // A limit lowered later holds at the next change.
  Undo->Reset();
  Undo->SetMaxLevel(0);
  for (int i = 0; i < 5; ++i) Grid->Edit(*Undo, 1, i, u"x"_qs);
  Undo->SetMaxLevel(3);
  Grid->Edit(*Undo, 1, 5, u"x"_qs);
  EXPECT_EQ(Undo->Items()->Count(), 3);
  EXPECT_EQ(Undo->Level(), 3);
}

TEST_F(UndoTest, SequencesAreOneStep) {
  Grid->Edit(*Undo, 5, 5, u"before"_qs);
  Undo->StartSequence();
  Grid->Edit(*Undo, 0, 0, u"p"_qs);
  Grid->Edit(*Undo, 1, 0, u"q"_qs);
  Grid->Edit(*Undo, 0, 1, u"r"_qs);
  Undo->StopSequence();
  EXPECT_EQ(Undo->Level(), 6);

  QStringList events;
  Undo->OnUndo = [&](TObject* Sender, TComponent* AGrid, int Col, int Row, const QString& OrigValue,
                     const QString& NewValue) {
    EXPECT_EQ(Sender, Undo);
    EXPECT_EQ(AGrid, Grid);
    events << QStringLiteral("undo %1,%2 %3->%4").arg(Col).arg(Row).arg(OrigValue, NewValue);
  };
  Undo->OnRedo = [&](TObject*, TComponent*, int Col, int Row, const QString& OrigValue, const QString& NewValue) {
    events << QStringLiteral("redo %1,%2 %3->%4").arg(Col).arg(Row).arg(OrigValue, NewValue);
  };
  Grid->Log.clear();
  Undo->Undo();
  EXPECT_EQ(Undo->Level(), 1);
  EXPECT_EQ(events, (QStringList{u"undo 0,1 r->"_qs, u"undo 1,0 q->"_qs, u"undo 0,0 p->"_qs}));
  EXPECT_EQ(Grid->Log.last(), u"invalidate"_qs);
  EXPECT_EQ(Cell(5, 5), u"before"_qs);
  EXPECT_EQ(Grid->CurrentCol, 10);  // the last cell restored, by display column
  EXPECT_EQ(Grid->CurrentRow, 0);

  events.clear();
  Undo->Redo();
  EXPECT_EQ(Undo->Level(), 6);  // just after the stop marker
  EXPECT_EQ(events, (QStringList{u"redo 0,0 ->p"_qs, u"redo 1,0 ->q"_qs, u"redo 0,1 ->r"_qs}));
  EXPECT_EQ(Cell(1, 0), u"q"_qs);

  // A sequence left open is redone up to its end.
  Undo->Reset();
  Undo->StartSequence();
  Grid->Edit(*Undo, 3, 3, u"s"_qs);
  Grid->Edit(*Undo, 4, 4, u"t"_qs);
  Undo->Undo();
  Undo->Undo();
  Undo->Undo();  // the start marker alone: stepped over
  EXPECT_EQ(Undo->Level(), 0);
  EXPECT_EQ(Cell(4, 4), QString());
  Undo->Redo();
  EXPECT_EQ(Cell(3, 3), u"s"_qs);
  EXPECT_EQ(Cell(4, 4), u"t"_qs);
  EXPECT_EQ(Undo->Level(), 3);
}

TEST_F(UndoTest, SequenceWhoseStartWasTrimmed) {
  Undo->SetMaxLevel(2);
  Undo->StartSequence();
  Grid->Edit(*Undo, 0, 0, u"a"_qs);
  Grid->Edit(*Undo, 0, 1, u"b"_qs);  // drops the start marker
  Undo->StopSequence();
  EXPECT_EQ(Undo->Items()->Count(), 3);
  Undo->Undo();  // walks down to level 0 and stops there
  EXPECT_EQ(Undo->Level(), 0);
  EXPECT_EQ(Cell(0, 0), QString());
  EXPECT_EQ(Cell(0, 1), QString());
  // Redo goes change by change; the orphan stop marker is only stepped over.
  Undo->Redo();
  Undo->Redo();
  Grid->Log.clear();
  Undo->Redo();
  EXPECT_EQ(Undo->Level(), 3);
  EXPECT_TRUE(Grid->Log.isEmpty());
  EXPECT_EQ(Cell(0, 1), u"b"_qs);
}

TEST_F(UndoTest, EventsSeeTheCurrentAndTheRestoredText) {
  Grid->Edit(*Undo, 2, 2, u"old"_qs);
  Grid->Edit(*Undo, 2, 2, u"new"_qs);
  QString shown, restored;
  Undo->OnUndo = [&](TObject*, TComponent*, int, int, const QString& OrigValue, const QString& NewValue) {
    shown = OrigValue;
    restored = NewValue;
  };
  Undo->Undo();
  EXPECT_EQ(shown, u"new"_qs);
  EXPECT_EQ(restored, u"old"_qs);
}

TEST_F(UndoTest, CheckBoxesGoThroughTheirStateBothWays) {
  Grid->Boxes[qMakePair(1, 2)] = false;
  Grid->Toggle(*Undo, 1, 2);
  EXPECT_TRUE(Box());

  Undo->Undo();
  EXPECT_FALSE(Box());
  Undo->Redo();
  EXPECT_TRUE(Box());
  EXPECT_FALSE(Grid->Cells.contains(qMakePair(1, 2)));  // the text was never written

  Grid->Toggle(*Undo, 1, 2);
  EXPECT_FALSE(Box());
  Undo->Undo();
  EXPECT_TRUE(Box());
  Undo->Redo();
  EXPECT_FALSE(Box());
}

// Inside a sequence, texts are written back as texts, while entries
// recorded as check-box toggles go through the box both ways.
TEST_F(UndoTest, CheckBoxEntriesOfASequenceGoThroughTheBox) {
  Grid->Boxes[qMakePair(1, 2)] = false;
  Grid->Boxes[qMakePair(1, 3)] = true;
  Grid->Boxes[qMakePair(1, 4)] = false;  // a box whose cell text is written as text
  Undo->StartSequence();
  Grid->Boxes[qMakePair(1, 2)] = true;
  Undo->RegisterCheckBoxChange(1, 2, kCheckTrue, kCheckFalse);
  Grid->Boxes[qMakePair(1, 3)] = false;
  Undo->RegisterCheckBoxChange(1, 3, kCheckFalse, kCheckTrue);
  Grid->Edit(*Undo, 1, 4, u"pasted"_qs);
  Undo->StopSequence();
  EXPECT_TRUE(Undo->Items()->Items(1)->CheckBox());
  EXPECT_FALSE(Undo->Items()->Items(3)->CheckBox());

  Grid->Log.clear();
  Undo->Undo();
  EXPECT_EQ(Grid->Log, (QStringList{u"set 1,4="_qs, u"box 1,3=N"_qs, u"box 1,2=Y"_qs, u"invalidate"_qs}));
  EXPECT_FALSE(Grid->Boxes.value({1, 2}));
  EXPECT_TRUE(Grid->Boxes.value({1, 3}));
  Grid->Log.clear();
  Undo->Redo();
  EXPECT_EQ(Grid->Log, (QStringList{u"box 1,2=N"_qs, u"box 1,3=Y"_qs, u"set 1,4=pasted"_qs, u"invalidate"_qs}));
  EXPECT_TRUE(Grid->Boxes.value({1, 2}));
  EXPECT_FALSE(Grid->Boxes.value({1, 3}));
}

TEST_F(UndoTest, RemovingTheGridStopsUndo) {
  Grid->Edit(*Undo, 0, 0, u"a"_qs);
  delete Grid;
  EXPECT_EQ(Undo->Grid(), nullptr);
  Undo->Undo();  // nothing happens
  EXPECT_EQ(Undo->Level(), 1);

  // A grid owned elsewhere is noticed as well.
  auto other = std::make_unique<TGridStandIn>(nullptr);
  Undo->SetGrid(other.get());
  other.reset();
  EXPECT_EQ(Undo->Grid(), nullptr);
  Undo->Redo();
}
