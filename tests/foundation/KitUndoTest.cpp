// TKitUndoManager: snapshot cycles over a stand-in for the persistence
// routines that save an object as JSON and load it back.

#include <gtest/gtest.h>

#include "foundation/KitJSONReader.h"
#include "foundation/KitJSONWriter.h"
#include "foundation/KitUndo.h"
#include "tests/support/TestSupport.h"

namespace {

class TNote : public TObject {
 public:
  QString Text;
  int Size = 0;
};

// Saves a TNote as {"Text":...,"Size":...} and loads it back, counting the
// calls; SaveFails makes the next save raise.
struct NoteStateIO {
  int Saves = 0;
  int Loads = 0;
  bool SaveFails = false;

  TKitUndoStateIO Routines() {
    return {[this](TObject* object, TStream* stream) {
              ++Saves;
              if (SaveFails) throw EWriteError(u"disk full"_qs);
              auto* note = dynamic_cast<TNote*>(object);
              TKitJSONWriter writer(stream);
              writer.WriteBeginObject().WriteName(u"Text"_qs).WriteString(note->Text);
              writer.WriteName(u"Size"_qs).WriteInteger(note->Size).WriteEndObject();
            },
            [this](TObject* object, TStream* stream) {
              ++Loads;
              auto* note = dynamic_cast<TNote*>(object);
              TKitJSONReader reader(stream);
              reader.ReadBeginObject();
              reader.ReadName();
              note->Text = reader.ReadString();
              reader.ReadName();
              note->Size = reader.ReadInteger();
              reader.ReadEndObject();
            }};
  }
};

class UndoTest : public ::testing::Test {
 protected:
  void SetUp() override { SetKitUndoStateIO(IO.Routines()); }
  void TearDown() override { SetKitUndoStateIO({}); }

  void Change(const QString& text, int size, const QString& action) {
    Note.Text = text;
    Note.Size = size;
    Undo.PushState(action);
  }

  NoteStateIO IO;
  TNote Note;
  TKitUndoManager Undo{&Note};
};

}  // namespace

TEST_F(UndoTest, NewManager) {
  EXPECT_FALSE(Undo.CanUndo());
  EXPECT_FALSE(Undo.CanRedo());
  EXPECT_EQ(Undo.NextUndoAction(), QString());
  EXPECT_EQ(Undo.NextRedoAction(), QString());
  EXPECT_EQ(Undo.MaxStackCount(), 20);
  EXPECT_EQ(Undo.Current(), -1);
  Undo.Undo();
  Undo.Redo();
  EXPECT_EQ(IO.Loads, 0);
}

TEST_F(UndoTest, UndoRedoCycle) {
  Note.Text = u"start"_qs;
  Undo.ClearUndoStack();
  EXPECT_EQ(Undo.Count(), 1);
  EXPECT_FALSE(Undo.CanUndo());
  Undo.Undo();  // at index 0: nothing happens
  EXPECT_EQ(IO.Loads, 0);

  Change(u"caf\u00E9 \"A\""_qs, 1, u"A"_qs);
  Change(u"B"_qs, 2, u"B"_qs);
  EXPECT_TRUE(Undo.CanUndo());
  EXPECT_FALSE(Undo.CanRedo());
  EXPECT_EQ(Undo.NextUndoAction(), u"B"_qs);

  Undo.Undo();
  EXPECT_EQ(Note.Text, u"caf\u00E9 \"A\""_qs);
  EXPECT_EQ(Note.Size, 1);
  EXPECT_EQ(Undo.NextUndoAction(), u"A"_qs);
  EXPECT_EQ(Undo.NextRedoAction(), u"B"_qs);
  EXPECT_TRUE(Undo.CanRedo());

  Undo.Undo();
  EXPECT_EQ(Note.Text, u"start"_qs);
  EXPECT_FALSE(Undo.CanUndo());

  Undo.Redo();
  Undo.Redo();
  EXPECT_EQ(Note.Text, u"B"_qs);
  EXPECT_EQ(Note.Size, 2);
  EXPECT_FALSE(Undo.CanRedo());
  const int loads = IO.Loads;
  Undo.Redo();  // nothing to redo
  EXPECT_EQ(IO.Loads, loads);
}

TEST_F(UndoTest, PushAfterUndoDropsTheRedoBranch) {
  Undo.ClearUndoStack();
  Change(u"A"_qs, 1, u"A"_qs);
  Change(u"B"_qs, 2, u"B"_qs);
  Undo.Undo();
  Change(u"C"_qs, 3, u"C"_qs);
  EXPECT_EQ(Undo.Count(), 3);
  EXPECT_FALSE(Undo.CanRedo());
  EXPECT_EQ(Undo.NextRedoAction(), QString());
  EXPECT_EQ(Undo.GetStackItem(2)->ActionName(), u"C"_qs);
  Undo.Undo();
  EXPECT_EQ(Note.Text, u"A"_qs);
  Undo.Redo();
  EXPECT_EQ(Note.Text, u"C"_qs);
}

TEST_F(UndoTest, StackIsBounded) {
  Undo.ClearUndoStack();
  for (int i = 1; i <= 19; ++i) Change(QString::number(i), i, QString::number(i));
  EXPECT_EQ(Undo.Count(), 20);
  EXPECT_EQ(Undo.GetStackItem(0)->ActionName(), QString());
  Change(u"20"_qs, 20, u"20"_qs);  // the 21st snapshot
  EXPECT_EQ(Undo.Count(), 20);
  EXPECT_EQ(Undo.Current(), 19);
  EXPECT_EQ(Undo.GetStackItem(0)->ActionName(), u"1"_qs);
  while (Undo.CanUndo()) Undo.Undo();
  EXPECT_EQ(Note.Text, u"1"_qs);

  Undo.SetMaxStackCount(3);
  Undo.ClearUndoStack();
  Change(u"x"_qs, 1, u"x"_qs);
  Change(u"y"_qs, 2, u"y"_qs);
  Change(u"z"_qs, 3, u"z"_qs);
  EXPECT_EQ(Undo.Count(), 3);
  EXPECT_EQ(Undo.GetStackItem(0)->ActionName(), u"x"_qs);
}

TEST_F(UndoTest, StackItems) {
  Undo.ClearUndoStack();
  Change(u"A"_qs, 1, u"A"_qs);
  EXPECT_EQ(Undo.GetStackItem(-1), nullptr);
  EXPECT_EQ(Undo.GetStackItem(2), nullptr);
  TKitUndoStackItem* item = Undo.GetStackItem(1);
  ASSERT_NE(item, nullptr);
  EXPECT_GT(item->State()->Size(), 0);
  EXPECT_EQ(item->Obj(), nullptr);
}

TEST_F(UndoTest, FailuresLeaveTheStackAlone) {
  Undo.ClearUndoStack();
  Change(u"A"_qs, 1, u"A"_qs);
  IO.SaveFails = true;
  EXPECT_THROW(Undo.PushState(u"B"_qs), EWriteError);
  EXPECT_EQ(Undo.Count(), 2);
  EXPECT_EQ(Undo.NextUndoAction(), u"A"_qs);

  SetKitUndoStateIO({});
  try {
    Undo.PushState(u"C"_qs);
    ADD_FAILURE() << "no error without state routines";
  } catch (const EKitUndoError& e) {
    EXPECT_EQ(e.Message(), u"No routines to save and load the state are installed"_qs);
  }
  EXPECT_EQ(Undo.Count(), 2);
}
