// Standard controls: edits, memos, buttons, check and radio buttons, labels,
// combo and list boxes, scroll bars, through the window harness.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <functional>

#include "platform/rtl/TypInfo.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/platform/vcl/StdCtrlsTestSupport.h"
#include "tests/platform/vcl/VclTestSupport.h"

using namespace vcltest;

namespace {

// --- TEdit ----------------------------------------------------------------------

class EditTest : public StdFormTest {
 protected:
  void SetUp() override {
    StdFormTest::SetUp();
    Edit = Make<TEdit>(10, 10, 150, 24, "edit");
    Edit->OnChange = [this](TObject*) { Changes << Edit->Text(); };
    Edit->SetFocus();
    Pump();
  }
  TEdit* Edit = nullptr;
  QStringList Changes;
};

TEST_F(EditTest, TypedTextReachesTextAndOnChangeInOrder) {
  ASSERT_TRUE(Edit->Focused());
  Type(QStringLiteral("abc"));
  EXPECT_EQ(Edit->Text(), "abc");
  EXPECT_EQ(Changes, (QStringList{"a", "ab", "abc"}));
  Key(VK_BACK);
  EXPECT_EQ(Changes.last(), "ab");
  EXPECT_TRUE(Edit->Modified());
}

TEST_F(EditTest, ProgrammaticChangesRunOnChangeOnce) {
  Edit->SetText("hello");
  EXPECT_EQ(Changes, QStringList{"hello"});
  Edit->SetText("hello");  // no change, no event
  Edit->Clear();
  EXPECT_EQ(Changes, (QStringList{"hello", ""}));
  EXPECT_FALSE(Edit->Modified());

  // Without a window the text is kept and OnChange still runs.
  TEdit loose(nullptr);
  int changes = 0;
  loose.OnChange = [&](TObject*) { ++changes; };
  loose.SetText("x");
  EXPECT_EQ(loose.Text(), "x");
  EXPECT_EQ(changes, 1);
}

TEST_F(EditTest, KeyEventsComeThroughTheMessagePath) {
  QStringList events;
  Edit->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { events << QStringLiteral("down %1").arg(Key); };
  Edit->OnKeyPress = [&](TObject*, QChar& Key) {
    events << QStringLiteral("press %1").arg(Key);
    if (Key == u'x') Key = QChar();  // dropped
  };
  Edit->OnKeyUp = [&](TObject*, Word& Key, TShiftState) { events << QStringLiteral("up %1").arg(Key); };
  Type(QStringLiteral("ax"));
  EXPECT_EQ(events, (QStringList{"down 65", "press a", "up 65", "down 88", "press x", "up 88"}));
  EXPECT_EQ(Edit->Text(), "a");
}

TEST_F(EditTest, EnterAndExitFollowTheFocus) {
  auto* other = Make<TEdit>(10, 50, 150, 24, "other");
  QStringList events;
  Edit->OnExit = [&](TObject*) { events << "edit exit"; };
  other->OnEnter = [&](TObject*) { events << "other enter"; };
  Key(VK_TAB);
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(events, (QStringList{"edit exit", "other enter"}));
}

TEST_F(EditTest, MaxLengthLimitsTypingOnly) {
  Edit->SetMaxLength(3);
  Type(QStringLiteral("abcd"));
  EXPECT_EQ(Edit->Text(), "abc");
  Edit->SetText("abcdef");  // the program's text is never cut
  EXPECT_EQ(Edit->Text(), "abcdef");
  Key(VK_END);
  Key(VK_BACK);  // shrinking an over-long text is fine
  EXPECT_EQ(Edit->Text(), "abcde");
  Type(QStringLiteral("z"));
  EXPECT_EQ(Edit->Text(), "abcde");
}

TEST_F(EditTest, ReadOnlyRejectsTyping) {
  Edit->SetText("keep");
  Edit->SetReadOnly(true);
  Changes.clear();
  Type(QStringLiteral("xy"));
  Key(VK_BACK);
  EXPECT_EQ(Edit->Text(), "keep");
  EXPECT_TRUE(Changes.isEmpty());
}

TEST_F(EditTest, CharCaseConvertsTypedAndSetText) {
  Edit->SetCharCase(ecUpperCase);
  Type(QStringLiteral("ab"));
  EXPECT_EQ(Edit->Text(), "AB");
  Edit->SetText("mixed Case");
  EXPECT_EQ(Edit->Text(), "MIXED CASE");
  Edit->SetCharCase(ecLowerCase);
  EXPECT_EQ(Edit->Text(), "mixed case");
}

TEST_F(EditTest, SelectionReadsAndReplaces) {
  Edit->SetText("hello world");
  Edit->SetSelStart(6);
  Edit->SetSelLength(5);
  EXPECT_EQ(Edit->SelStart(), 6);
  EXPECT_EQ(Edit->SelLength(), 5);
  EXPECT_EQ(Edit->SelText(), "world");
  Edit->SetSelText("there");
  EXPECT_EQ(Edit->Text(), "hello there");
  Edit->SelectAll();
  EXPECT_EQ(Edit->SelLength(), 11);
  Edit->SetSelLength(100);  // clamped to the text
  EXPECT_EQ(Edit->SelLength(), 11);
}

TEST_F(EditTest, PasswordAlignmentAndHintReachTheWidget) {
  auto* line = qobject_cast<QLineEdit*>(Edit->Widget());
  ASSERT_NE(line, nullptr);
  Edit->SetText("abc");
  Edit->SetPasswordChar(u'*');
  EXPECT_EQ(line->displayText(), "***");
  EXPECT_EQ(Edit->Text(), "abc");
  Edit->SetPasswordChar(QChar());
  EXPECT_EQ(line->displayText(), "abc");
  Edit->SetAlignment(taRightJustify);
  EXPECT_TRUE(line->alignment() & Qt::AlignRight);
  Edit->SetTextHint("search");
  EXPECT_EQ(line->placeholderText(), "search");
}

TEST_F(EditTest, TextAndSettingsSurviveRecreatingTheWindow) {
  Edit->SetText("stay");
  Edit->SetMaxLength(5);
  Edit->SetReadOnly(true);
  Edit->RecreateWnd();
  EXPECT_EQ(Edit->Text(), "stay");
  auto* line = qobject_cast<QLineEdit*>(Edit->Widget());
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(line->isReadOnly());
  EXPECT_EQ(Changes, QStringList{"stay"});  // recreating is no change
}

// --- TMemo ----------------------------------------------------------------------

class MemoTest : public StdFormTest {
 protected:
  void SetUp() override {
    StdFormTest::SetUp();
    Memo = Make<TMemo>(10, 10, 200, 120, "memo");
    Memo->OnChange = [this](TObject*) { ++Changes; };
    Pump();
  }
  TMemo* Memo = nullptr;
  int Changes = 0;
};

TEST_F(MemoTest, LinesOperationsEditTheText) {
  struct TCase {
    const char* Name;
    std::function<void(TStrings*)> Op;
    QString Text;
    int Count;
  };
  const std::vector<TCase> cases = {
      {"add", [](TStrings* l) { l->Add("a"); l->Add("b"); }, "a\r\nb\r\n", 2},
      {"insert first", [](TStrings* l) { l->SetText("a\r\nb"); l->Insert(0, "z"); }, "z\r\na\r\nb", 3},
      {"insert middle", [](TStrings* l) { l->SetText("a\r\nb\r\n"); l->Insert(1, "m"); }, "a\r\nm\r\nb\r\n", 3},
      {"add after unterminated", [](TStrings* l) { l->SetText("a\r\nb"); l->Add("c"); }, "a\r\nb\r\nc", 3},
      {"delete middle", [](TStrings* l) { l->SetText("a\r\nb\r\nc\r\n"); l->Delete(1); }, "a\r\nc\r\n", 2},
      {"delete last unterminated", [](TStrings* l) { l->SetText("a\r\nb"); l->Delete(1); }, "a", 1},
      {"delete only", [](TStrings* l) { l->SetText("a"); l->Delete(0); }, "", 0},
      {"put", [](TStrings* l) { l->SetText("a\r\nb\r\n"); l->SetStrings(1, "x"); }, "a\r\nx\r\n", 2},
      {"clear", [](TStrings* l) { l->SetText("a\r\nb"); l->Clear(); }, "", 0},
      {"add with breaks", [](TStrings* l) { l->Add("a\r\nb"); }, "a\r\nb\r\n", 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Memo->Clear();
    c.Op(Memo->Lines());
    EXPECT_EQ(Memo->Text(), c.Text);
    EXPECT_EQ(Memo->Lines()->Count(), c.Count);
  }
  Memo->Lines()->SetText("one\r\ntwo\r\n");
  EXPECT_EQ(Memo->Lines()->Strings(1), "two");
  EXPECT_EQ(Memo->Lines()->Text(), "one\r\ntwo\r\n");
  EXPECT_THROW(Memo->Lines()->Strings(2), EStringListError);
  EXPECT_THROW(Memo->Lines()->Delete(-1), EStringListError);
  EXPECT_THROW(Memo->Lines()->Insert(3, "x"), EStringListError);
}

TEST_F(MemoTest, EveryOperationIsOneChangeAndUpdateBracketsMakeOne) {
  Memo->Lines()->Add("a");
  Memo->Lines()->SetText("x\r\ny");
  Memo->Lines()->Delete(0);
  Memo->SetText("t");
  EXPECT_EQ(Changes, 4);

  Changes = 0;
  QWidget* w = Memo->Widget();
  Memo->Lines()->BeginUpdate();
  Memo->Lines()->BeginUpdate();
  for (int i = 0; i < 5; ++i) Memo->Lines()->Add(QString::number(i));
  EXPECT_FALSE(w->updatesEnabled());  // painting held back
  Memo->Lines()->EndUpdate();
  EXPECT_EQ(Changes, 0);
  Memo->Lines()->EndUpdate();
  EXPECT_EQ(Changes, 1);
  EXPECT_TRUE(w->updatesEnabled());
  EXPECT_EQ(Memo->Lines()->Count(), 6);

  Memo->Lines()->BeginUpdate();  // nothing changed: no event
  Memo->Lines()->EndUpdate();
  EXPECT_EQ(Changes, 1);
}

TEST_F(MemoTest, TypingMakesLinesAndReadOnlyRejectsIt) {
  Memo->SetFocus();
  Pump();
  Type(QStringLiteral("ab\rcd"));
  EXPECT_EQ(Memo->Lines()->Count(), 2);
  EXPECT_EQ(Memo->Lines()->Strings(0), "ab");
  EXPECT_EQ(Memo->Lines()->Strings(1), "cd");
  EXPECT_EQ(Changes, 5);
  // Shift+Enter starts a line too (no line separator inside a line).
  Key(VK_RETURN, TShiftState{ssShift});
  Type(QStringLiteral("e"));
  EXPECT_EQ(Memo->Lines()->Count(), 3);

  Memo->SetMaxLength(Memo->GetTextLen() + 1);  // "ab\r\ncd\r\ne" and one more
  Type(QStringLiteral("fg"));
  EXPECT_EQ(Memo->Lines()->Strings(2), "ef");

  Memo->SetReadOnly(true);
  Changes = 0;
  Type(QStringLiteral("zz\r"));
  EXPECT_EQ(Memo->Lines()->Count(), 3);
  EXPECT_EQ(Changes, 0);
}

TEST_F(MemoTest, WithoutWantReturnsEnterGoesToTheDefaultButton) {
  auto* ok = Make<TButton>(250, 10, 75, 25, "ok");
  ok->SetDefault(true);
  int clicks = 0;
  ok->OnClick = [&](TObject*) { ++clicks; };
  Memo->SetFocus();
  Pump();
  Type(QStringLiteral("a\r"));
  EXPECT_EQ(clicks, 0);  // a memo takes Enter by default
  EXPECT_EQ(Memo->Lines()->Count(), 1);
  EXPECT_TRUE(Memo->Text().endsWith("\r\n"));
  Memo->SetWantReturns(false);
  Type(QStringLiteral("\r"));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Memo->Text(), "a\r\n");
}

TEST_F(MemoTest, WordWrapBreaksLongLines) {
  const QString longLine = QString("word ").repeated(40);
  Memo->Lines()->Add(longLine);
  Pump();
  auto lineCount = [&] {
    QPlainTextEdit* edit = qobject_cast<QPlainTextEdit*>(Memo->Widget());
    edit->document()->documentLayout()->documentSize();  // lay out
    return edit->document()->firstBlock().layout()->lineCount();
  };
  EXPECT_GT(lineCount(), 1);
  Memo->SetWordWrap(false);
  Pump();
  EXPECT_EQ(lineCount(), 1);
  EXPECT_EQ(Memo->Lines()->Count(), 1);
}

TEST_F(MemoTest, SelectionCountsLineBreaksAsTwoCharacters) {
  Memo->SetText("ab\r\ncd");
  Memo->SetSelStart(4);
  Memo->SetSelLength(2);
  EXPECT_EQ(Memo->SelText(), "cd");
  EXPECT_EQ(Memo->SelStart(), 4);
  Memo->SetSelStart(1);
  Memo->SetSelLength(4);
  EXPECT_EQ(Memo->SelText(), "b\r\nc");
  EXPECT_EQ(Memo->SelLength(), 4);
  Memo->SetSelText("X");
  EXPECT_EQ(Memo->Text(), "aXd");
}

TEST_F(MemoTest, LinesWorkBeforeTheMemoHasAWindow) {
  TMemo loose(nullptr);
  int changes = 0;
  loose.OnChange = [&](TObject*) { ++changes; };
  loose.Lines()->Add("first");
  loose.Lines()->Add("second");
  EXPECT_EQ(changes, 2);
  loose.SetBounds(10, 140, 200, 80);
  loose.SetParent(Form.get());
  Pump();
  EXPECT_EQ(qobject_cast<QPlainTextEdit*>(loose.Widget())->toPlainText(), "first\nsecond\n");
  EXPECT_EQ(changes, 2);  // showing the text is no change
  loose.RecreateWnd();
  EXPECT_EQ(loose.Lines()->Count(), 2);
  loose.SetParent(nullptr);
}

TEST_F(MemoTest, TenThousandLinesAppendOneByOne) {
  for (int i = 0; i < 10000; ++i) Memo->Lines()->Add(QStringLiteral("line %1").arg(i));
  EXPECT_EQ(Changes, 10000);
  ASSERT_EQ(Memo->Lines()->Count(), 10000);
  EXPECT_EQ(Memo->Lines()->Strings(0), "line 0");
  EXPECT_EQ(Memo->Lines()->Strings(9999), "line 9999");
  EXPECT_EQ(Memo->Lines()->IndexOf("line 5000"), 5000);
  EXPECT_TRUE(Memo->Text().endsWith("line 9999\r\n"));
}

// Input where a real click or wheel turn lands: the memo's viewport (a child
// of its window) and its scroll bars. The memo holds more lines than it shows.
class MemoInputTest : public MemoTest {
 protected:
  void SetUp() override {
    MemoTest::SetUp();
    Memo->SetScrollBars(ssBoth);
    Memo->SetWordWrap(false);
    for (int i = 0; i < 60; ++i) Memo->Lines()->Add(QStringLiteral("line %1").arg(i));
    Memo->SetSelStart(0);
    auto record = [this](const char* What) {
      return [this, What](TObject*, TMouseButton Button, TShiftState, int X, int Y) {
        Events << QStringLiteral("%1 %2 %3,%4").arg(What).arg(int(Button)).arg(X).arg(Y);
      };
    };
    Memo->OnMouseDown = record("down");
    Memo->OnMouseUp = record("up");
    Memo->OnClick = [this](TObject*) { Events << QStringLiteral("click"); };
    Memo->OnMouseWheel = [this](TObject*, TShiftState, int Delta, TPoint, bool& Handled) {
      Events << QStringLiteral("wheel %1").arg(Delta);
      Handled = KeepWheel;
    };
    Form->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int X, int Y) {
      Events << QStringLiteral("form down %1,%2").arg(X).arg(Y);
    };
    Pump();
  }
  QPlainTextEdit* Edit() const { return static_cast<QPlainTextEdit*>(Memo->Widget()); }
  QScrollBar* VBar() const { return Edit()->verticalScrollBar(); }
  // The centre of the vertical scroll bar's down arrow, in the memo's
  // coordinates.
  QPoint DownArrow() const {
    QStyleOptionSlider option;
    option.initFrom(VBar());
    option.orientation = Qt::Vertical;
    option.minimum = VBar()->minimum();
    option.maximum = VBar()->maximum();
    option.sliderPosition = VBar()->sliderPosition();
    option.sliderValue = VBar()->value();
    option.singleStep = VBar()->singleStep();
    option.pageStep = VBar()->pageStep();
    const QRect arrow = VBar()->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine, VBar());
    return VBar()->mapTo(Edit(), arrow.center());
  }
  QStringList Events;
  bool KeepWheel = false;
};

// A read-only memo shows its text as any memo does; a disabled one in the
// style's disabled colour.
TEST_F(MemoInputTest, ReadOnlyTextHasTheNormalColourAndDisabledTextTheDisabledOne) {
  Memo->SetReadOnly(true);
  // Text without antialiasing: its pixels are the text colour itself, never
  // a blend that could match the other colour.
  Memo->Font()->SetQuality(fqNonAntialiased);
  for (const char* style : {"Windows", "Luna", "Cyan Night"}) {
    SCOPED_TRACE(style);
    TStyleManager::SetStyle(QString::fromLatin1(style));
    const TColor normal = StyleServices().GetSystemColor(clWindowText);
    const TColor disabled = StyleServices().GetStyleFontColor(sfEditBoxTextDisabled);
    ASSERT_NE(normal, disabled);
    Memo->SetEnabled(true);
    Pump();
    QImage shown = GrabIn(Memo, style);
    EXPECT_GT(Count(shown, normal), 20);
    EXPECT_EQ(Count(shown, disabled), 0);
    Memo->SetEnabled(false);
    Pump();
    shown = GrabIn(Memo, style);
    EXPECT_EQ(Count(shown, normal), 0);
    EXPECT_GT(Count(shown, disabled), 20);
  }
}

TEST_F(MemoInputTest, ClicksInTheTextRunTheMouseEventsOnceAndPlaceTheCaret) {
  for (bool readOnly : {false, true}) {
    SCOPED_TRACE(readOnly ? "read-only" : "editable");
    Memo->SetReadOnly(readOnly);
    Events.clear();
    Memo->SetSelStart(0);
    TManualClock clock;
    Click(Memo, 40, 8);
    EXPECT_EQ(Events, (QStringList{"down 0 40,8", "click", "up 0 40,8"}));
    EXPECT_TRUE(Memo->Focused());
    EXPECT_GT(Memo->SelStart(), 0);  // inside "line 0"
    EXPECT_LE(Memo->SelStart(), 6);
    // A button the text does not use ends there too.
    clock.Advance(2000);
    Events.clear();
    Click(Memo, 40, 8, mbMiddle);
    EXPECT_EQ(Events, (QStringList{"down 2 40,8", "up 2 40,8"}));
    // The right button opens the editor's own menu (Qt opens it on the
    // press, so the release is the menu's).
    clock.Advance(2000);
    Events.clear();
    Click(Memo, 40, 8, mbRight);
    EXPECT_EQ(Events, (QStringList{"down 1 40,8"}));
    EXPECT_NE(OpenMenu(), nullptr);
    Key(VK_ESCAPE);
    EXPECT_EQ(OpenMenu(), nullptr);
    clock.Advance(2000);
  }
}

TEST_F(MemoInputTest, TheCaretKeysMoveThroughAReadOnlyMemo) {
  Memo->SetReadOnly(true);
  Memo->SetFocus();
  Pump();
  Key(VK_NEXT);
  EXPECT_GT(VBar()->value(), 0);
  EXPECT_GT(Memo->SelStart(), 0);
  Key(VK_END, TShiftState{ssCtrl, ssShift});
  EXPECT_GE(VBar()->value(), VBar()->maximum() - 1);  // the end is in view
  EXPECT_GT(Memo->SelLength(), 0);
  Key(VK_HOME, TShiftState{ssCtrl});
  EXPECT_EQ(VBar()->value(), 0);
  EXPECT_EQ(Memo->SelStart(), 0);
  Type(QStringLiteral("x\r"));
  EXPECT_EQ(Memo->Lines()->Count(), 60);
  EXPECT_EQ(Memo->Lines()->Strings(0), "line 0");
  // Writable again, it takes typing.
  Memo->SetReadOnly(false);
  Type(QStringLiteral("x"));
  EXPECT_EQ(Memo->Lines()->Strings(0), "xline 0");
}

TEST_F(MemoInputTest, TheWheelScrollsAfterTheMouseWheelEvent) {
  ASSERT_EQ(VBar()->value(), 0);
  Wheel(Memo, -1, 40, 40);
  EXPECT_EQ(Events, (QStringList{"wheel -120"}));
  EXPECT_EQ(VBar()->value(), QApplication::wheelScrollLines());
  Wheel(Memo, 1, 40, 40);
  EXPECT_EQ(VBar()->value(), 0);
  // An OnMouseWheel that handles the turn keeps the text where it is.
  KeepWheel = true;
  Wheel(Memo, -2, 40, 40);
  EXPECT_EQ(VBar()->value(), 0);
  EXPECT_EQ(Events.last(), "wheel -240");
}

TEST_F(MemoInputTest, TheScrollBarArrowScrollsOneLine) {
  const QPoint arrow = DownArrow();
  Click(Memo, arrow.x(), arrow.y());
  EXPECT_EQ(VBar()->value(), 1);
  EXPECT_TRUE(Events.isEmpty());  // the scroll bar is no part of the text
}

TEST_F(MemoInputTest, ADisabledMemoTakesNoInputAndItsParentGetsTheClicks) {
  Memo->SetReadOnly(true);
  Memo->SetEnabled(false);
  Pump();
  TManualClock clock;
  Click(Memo, 40, 30);
  clock.Advance(2000);
  Click(Memo, 40, 30, mbRight);
  clock.Advance(2000);
  const QPoint arrow = DownArrow();
  Click(Memo, arrow.x(), arrow.y());
  Wheel(Memo, -1, 40, 30);
  EXPECT_EQ(VBar()->value(), 0);
  EXPECT_FALSE(Memo->Focused());
  // As in Win32, the window under a disabled one gets its mouse input.
  EXPECT_EQ(Events, (QStringList{"form down 50,40", "form down 50,40",
                                 QStringLiteral("form down %1,%2").arg(10 + arrow.x()).arg(10 + arrow.y())}));
}

// --- TButton --------------------------------------------------------------------

class ButtonTest : public StdFormTest {
 protected:
  void Record(TButton* Button) {
    Button->OnClick = [this, Button](TObject*) { Clicks << Button->Name(); };
  }
  QStringList Clicks;
};

TEST_F(ButtonTest, AcceleratorClicksWithAlt) {
  auto* edit = Make<TEdit>(10, 10, 100, 24, "edit");
  auto* save = Make<TButton>(10, 50, 75, 25, "save");
  save->SetCaption("&Save");
  Record(save);
  edit->SetFocus();
  Pump();
  Key('S', TShiftState{ssAlt});
  EXPECT_EQ(Clicks, QStringList{"save"});
  EXPECT_EQ(edit->Text(), "");  // the accelerator types nothing
  Type(QStringLiteral("s"));    // a plain key goes to the edit
  EXPECT_EQ(Clicks, QStringList{"save"});
  EXPECT_EQ(edit->Text(), "s");
  save->SetEnabled(false);  // a disabled button ignores it
  Key('S', TShiftState{ssAlt});
  EXPECT_EQ(Clicks, QStringList{"save"});
}

TEST_F(ButtonTest, MouseAndSpaceClickOnce) {
  auto* b = Make<TButton>(10, 10, 75, 25, "b");
  Record(b);
  Click(b, 10, 10);
  EXPECT_EQ(Clicks, QStringList{"b"});
  EXPECT_TRUE(b->Focused());
  Key(VK_SPACE);
  EXPECT_EQ(Clicks, (QStringList{"b", "b"}));
  b->Click();
  EXPECT_EQ(Clicks.size(), 3);
}

TEST_F(ButtonTest, DefaultAndCancelAnswerEnterAndEscape) {
  auto* edit = Make<TEdit>(10, 10, 100, 24, "edit");
  auto* ok = Make<TButton>(10, 50, 75, 25, "ok");
  auto* cancel = Make<TButton>(100, 50, 75, 25, "cancel");
  auto* other = Make<TButton>(190, 50, 75, 25, "other");
  ok->SetDefault(true);
  cancel->SetCancel(true);
  for (TButton* b : {ok, cancel, other}) Record(b);
  edit->SetFocus();
  Pump();
  Key(VK_RETURN);
  Key(VK_ESCAPE);
  EXPECT_EQ(Clicks, (QStringList{"ok", "cancel"}));
  // With the focus on another button Enter clicks that one.
  other->SetFocus();
  Pump();
  Key(VK_RETURN);
  EXPECT_EQ(Clicks.last(), "other");
  // Shift+Enter is no dialog key.
  edit->SetFocus();
  Pump();
  Clicks.clear();
  Key(VK_RETURN, TShiftState{ssShift});
  EXPECT_TRUE(Clicks.isEmpty());
}

TEST_F(ButtonTest, ModalResultClosesAModalForm) {
  TForm dialog(nullptr);
  dialog.SetBounds(50, 50, 200, 100);
  auto* ok = new TButton(&dialog);
  ok->SetBounds(10, 10, 75, 25);
  ok->SetParent(&dialog);
  ok->SetModalResult(mrOk);
  int clicks = 0;
  ok->OnClick = [&](TObject*) { ++clicks; };
  // A stuck dialog fails the test instead of hanging it.
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&] { dialog.SetModalResult(mrAbort); });
  guard.start(5000);
  // A test before may have ended the application's loop; a modal form of a
  // terminated application closes at once. Run without a main form only
  // clears that.
  if (Application->Terminated() && !Application->MainForm()) Application->Run();
  ASSERT_FALSE(Application->Terminated());
  QTimer::singleShot(0, dialog.Widget(), [&] { Click(ok, 5, 5); });
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(dialog.Visible());

  // Escape on a cancel button answers mrCancel the same way.
  auto* cancel = new TButton(&dialog);
  cancel->SetBounds(100, 10, 75, 25);
  cancel->SetParent(&dialog);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  guard.start(5000);
  QTimer::singleShot(0, dialog.Widget(), [&] {
    // Straight to the dialog's button: the offscreen platform does not make
    // the modal window active while the test's form is.
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QKeyEvent e(type, Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
      QApplication::sendEvent(ok->Widget(), &e);
    }
  });
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

// --- TCheckBox and TRadioButton ---------------------------------------------------

TEST_F(StdFormTest, CheckBoxStatesAndClicks) {
  auto* box = Make<TCheckBox>(10, 10, 120, 20, "box");
  QList<TCheckBoxState> seen;
  box->OnClick = [&](TObject*) { seen << box->State(); };
  auto* q = qobject_cast<QCheckBox*>(box->Widget());
  ASSERT_NE(q, nullptr);

  box->SetChecked(true);
  box->SetChecked(true);  // no change, no click
  EXPECT_EQ(q->checkState(), Qt::Checked);
  box->SetState(cbGrayed);
  EXPECT_EQ(q->checkState(), Qt::PartiallyChecked);
  EXPECT_FALSE(box->Checked());
  // A click on a grayed box checks it, the next one clears it.
  Click(box, 5, 8);
  Click(box, 5, 8);
  EXPECT_EQ(seen, (QList<TCheckBoxState>{cbChecked, cbGrayed, cbChecked, cbUnchecked}));
  EXPECT_EQ(q->checkState(), Qt::Unchecked);

  // With AllowGrayed the clicks cycle through grayed.
  seen.clear();
  box->SetAllowGrayed(true);
  for (int i = 0; i < 3; ++i) Click(box, 5, 8);
  EXPECT_EQ(seen, (QList<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
  // Space toggles the focused box.
  Key(VK_SPACE);
  EXPECT_EQ(box->State(), cbGrayed);
}

TEST_F(StdFormTest, CheckBoxStateSetBeforeItsWindowShows) {
  for (TCheckBoxState state : {cbChecked, cbGrayed}) {
    auto* box = new TCheckBox(Form.get());
    box->SetState(state);
    box->SetParent(Form.get());
    auto* q = qobject_cast<QCheckBox*>(box->Widget());
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->checkState(), state == cbChecked ? Qt::Checked : Qt::PartiallyChecked);
  }
}

TEST_F(StdFormTest, CheckBoxAcceleratorToggles) {
  auto* box = Make<TCheckBox>(10, 10, 120, 20, "box");
  box->SetCaption("&Bold");
  Key('B', TShiftState{ssAlt});
  EXPECT_TRUE(box->Checked());
  EXPECT_TRUE(box->Focused());
}

TEST_F(StdFormTest, RadioButtonsTurnTheirSiblingsOff) {
  auto* a = Make<TRadioButton>(10, 10, 100, 20, "a");
  auto* b = Make<TRadioButton>(10, 40, 100, 20, "b");
  auto* c = Make<TRadioButton>(10, 70, 100, 20, "c");
  QStringList clicks;
  for (TRadioButton* r : {a, b, c}) r->OnClick = [&clicks, r](TObject*) { clicks << r->Name(); };
  a->SetChecked(true);
  Click(b, 5, 8);
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
  Click(b, 5, 8);  // clicking the checked one keeps it checked
  EXPECT_TRUE(b->Checked());
  c->SetChecked(true);
  EXPECT_FALSE(b->Checked());
  EXPECT_EQ(clicks, (QStringList{"a", "b", "c"}));
  EXPECT_TRUE(qobject_cast<QAbstractButton*>(c->Widget())->isChecked());
  EXPECT_FALSE(qobject_cast<QAbstractButton*>(b->Widget())->isChecked());
}

// --- TLabel ---------------------------------------------------------------------

class LabelTest : public StdFormTest {
 protected:
  TLabel* MakeLabel(const QString& Caption, int Width = 200, int Height = 40) {
    auto* l = Make<TLabel>(20, 20, Width, Height);
    l->SetAutoSize(false);
    l->SetCaption(Caption);
    l->SetBounds(20, 20, Width, Height);
    Pump();
    return l;
  }
  // The text's bounding box inside the label.
  static QRect InkOf(TLabel* Label) {
    Label->Repaint();
    Pump();
    const QImage image = Grab(Label);
    return Ink(image, StyleServices().GetSystemColor(clBtnFace));
  }
};

TEST_F(LabelTest, AlignmentAndLayoutPlaceTheText) {
  TLabel* l = MakeLabel("Hi");
  struct TCase {
    TAlignment Alignment;
    TTextLayout Layout;
    int ExpectX;  // -1 left edge, 0 centre, 1 right edge
    int ExpectY;
  };
  for (const TCase& c : {TCase{taLeftJustify, tlTop, -1, -1}, TCase{taCenter, tlCenter, 0, 0},
                         TCase{taRightJustify, tlBottom, 1, 1}}) {
    SCOPED_TRACE(int(c.Alignment));
    l->SetAlignment(c.Alignment);
    l->SetLayout(c.Layout);
    const QRect ink = InkOf(l);
    ASSERT_FALSE(ink.isEmpty());
    // Where the ink sits: left/top edge, centre, right/bottom edge.
    const int x = ink.left() <= 2 ? -1 : ink.right() >= 196 ? 1 : std::abs(ink.center().x() - 100) <= 3 ? 0 : 9;
    const int y = ink.top() <= 5 ? -1 : ink.bottom() >= 35 ? 1 : std::abs(ink.center().y() - 20) <= 3 ? 0 : 9;
    EXPECT_EQ(x, c.ExpectX);
    EXPECT_EQ(y, c.ExpectY);
  }
}

TEST_F(LabelTest, AccelCharIsUnderlinedOrShownAsIs) {
  TLabel* accel = MakeLabel("&Name");
  const QRect withAccel = InkOf(accel);
  accel->SetCaption("Name");
  const QRect plain = InkOf(accel);
  // The underline of N reaches below the letters.
  EXPECT_GT(withAccel.bottom(), plain.bottom());
  EXPECT_NEAR(withAccel.left(), plain.left(), 1);
  accel->SetCaption("&Name");
  accel->SetShowAccelChar(false);
  const QRect shown = InkOf(accel);
  EXPECT_GT(shown.width(), plain.width());  // the "&" is drawn
  EXPECT_TRUE(accel->DrawTextFlags() & DT_NOPREFIX);
}

TEST_F(LabelTest, AccelFocusesTheFocusControl) {
  auto* edit = Make<TEdit>(20, 80, 100, 24, "edit");
  auto* other = Make<TEdit>(20, 120, 100, 24, "other");
  TLabel* l = MakeLabel("&Name");
  l->SetFocusControl(edit);
  other->SetFocus();
  Pump();
  Key('N', TShiftState{ssAlt});
  EXPECT_TRUE(edit->Focused());
  delete edit;  // the label lets go of it
  EXPECT_EQ(l->FocusControl(), nullptr);
  Key('N', TShiftState{ssAlt});
}

TEST_F(LabelTest, AutoSizeFollowsTheCaption) {
  auto* l = Make<TLabel>(20, 20, 10, 10);
  l->SetCaption("Short");
  const int shortWidth = l->Width();
  l->SetCaption("A much longer caption");
  EXPECT_GT(l->Width(), shortWidth);
  EXPECT_GT(l->Height(), 5);
  const int oneLine = l->Height();
  l->SetCaption("two\nlines");
  EXPECT_GT(l->Height(), oneLine);
}

TEST_F(LabelTest, TransparentLeavesTheBackground) {
  TLabel* l = MakeLabel("X");
  l->SetColor(clRed);
  EXPECT_EQ(Px(Grab(l), 190, 35), clRed);
  l->SetTransparent(true);
  l->Repaint();
  Pump();
  EXPECT_NE(Px(Grab(l), 190, 35), clRed);
}

TEST_F(LabelTest, AStyleOtherThanTheSystemsPaintsTheLabelInItsColours) {
  TLabel* l = MakeLabel("Pages Jaunes");
  l->SetColor(clYellow);
  auto background = [&] {
    l->Repaint();
    Pump();
    return Px(Grab(l), 190, 35);
  };
  EXPECT_EQ(background(), clYellow);
  for (const char* style : {"Luna", "Cyan Night"}) {
    SCOPED_TRACE(style);
    TStyleManager::SetStyle(QString::fromLatin1(style));
    EXPECT_EQ(background(), StyleServices().GetStyleColor(scWindow));
    EXPECT_EQ(l->Color(), clYellow);  // the property keeps its value
  }
  TStyleManager::SetStyle("Windows");
  EXPECT_EQ(background(), clYellow);
}

// --- TComboBox ------------------------------------------------------------------

class ComboTest : public StdFormTest {
 protected:
  void SetUp() override {
    StdFormTest::SetUp();
    Combo = Make<TComboBox>(10, 10, 150, 24, "combo");
    Combo->OnChange = [this](TObject*) { Events << "change " + Combo->Text(); };
    Combo->OnClick = [this](TObject*) { Events << QStringLiteral("click %1").arg(Combo->ItemIndex()); };
  }
  TComboBox* Combo = nullptr;
  QStringList Events;
};

TEST_F(ComboTest, ItemsIndexAndTextWithoutEvents) {
  Combo->SetStyle(csDropDownList);
  Combo->Items()->Add("beta");
  Combo->Items()->Add("alpha");
  EXPECT_EQ(Combo->ItemIndex(), -1);  // adding items selects none
  Combo->SetSorted(true);
  Combo->Items()->Add("gamma");
  Combo->Items()->Add("Delta");
  EXPECT_EQ(Combo->Items()->CommaText(), "alpha,beta,Delta,gamma");
  Combo->SetItemIndex(1);
  EXPECT_EQ(Combo->Text(), "beta");
  Combo->SetText("gamma");
  EXPECT_EQ(Combo->ItemIndex(), 3);
  Combo->SetText("missing");  // a list only shows its items
  EXPECT_EQ(Combo->ItemIndex(), 3);
  Combo->SetItemIndex(17);  // outside: none
  EXPECT_EQ(Combo->ItemIndex(), -1);
  EXPECT_TRUE(Events.isEmpty());
  EXPECT_THROW(Combo->Items()->Strings(4), EStringListError);
  EXPECT_EQ(qobject_cast<QComboBox*>(Combo->Widget())->count(), 4);
}

TEST_F(ComboTest, DeletingItemsKeepsTheSelectionRight) {
  Combo->Items()->SetCommaText("a,b,c,d");
  Combo->SetItemIndex(2);
  Combo->Items()->Delete(0);
  EXPECT_EQ(Combo->ItemIndex(), 1);
  EXPECT_EQ(Combo->Text(), "c");
  Combo->Items()->Delete(1);  // the selected one
  EXPECT_EQ(Combo->ItemIndex(), -1);
  Combo->Items()->Clear();
  EXPECT_EQ(Combo->ItemIndex(), -1);
}

TEST_F(ComboTest, UserSelectionRunsClickAndSelectOrChange) {
  Combo->SetStyle(csDropDownList);
  Combo->Items()->SetCommaText("a,b,c");
  Combo->SetItemIndex(0);
  Combo->SetFocus();
  Pump();
  Key(VK_DOWN);
  EXPECT_EQ(Combo->ItemIndex(), 1);
  EXPECT_EQ(Events, (QStringList{"click 1", "change b"}));
  Events.clear();
  Combo->OnSelect = [this](TObject*) { Events << "select " + Combo->Text(); };
  Key(VK_DOWN);
  EXPECT_EQ(Events, (QStringList{"click 2", "select c"}));
}

TEST_F(ComboTest, TypingInADropDownRunsOnChange) {
  Combo->Items()->SetCommaText("apple,banana");
  Combo->SetFocus();
  Pump();
  Type(QStringLiteral("xy"));
  EXPECT_EQ(Combo->Text(), "xy");
  EXPECT_EQ(Events, (QStringList{"change x", "change xy"}));
}

TEST_F(ComboTest, SettingsMadeBeforeTheWindowAreShown) {
  TComboBox loose(nullptr);
  loose.SetStyle(csDropDownList);
  loose.Items()->SetCommaText("x,y,z");
  loose.SetItemIndex(2);
  loose.Items()->Insert(0, "w");
  EXPECT_EQ(loose.ItemIndex(), 3);
  EXPECT_EQ(loose.Text(), "z");
  loose.SetDropDownCount(3);
  loose.SetParent(Form.get());
  auto* q = qobject_cast<QComboBox*>(loose.Widget());
  EXPECT_EQ(q->currentIndex(), 3);
  EXPECT_EQ(q->maxVisibleItems(), 3);
  loose.SetStyle(csDropDown);  // a new window keeps items and selection
  EXPECT_EQ(loose.ItemIndex(), 3);
  loose.SetParent(nullptr);
}

// --- TListBox -------------------------------------------------------------------

class ListTest : public StdFormTest {
 protected:
  void SetUp() override {
    StdFormTest::SetUp();
    List = Make<TListBox>(10, 10, 150, 150, "list");
    List->Items()->SetCommaText("one,two,three,four");
    List->OnClick = [this](TObject*) { Clicks << List->ItemIndex(); };
    Pump();
  }
  TListBox* List = nullptr;
  QList<int> Clicks;
};

TEST_F(ListTest, SelectionFromTheProgram) {
  EXPECT_EQ(List->ItemIndex(), -1);
  List->SetItemIndex(2);
  EXPECT_EQ(List->ItemIndex(), 2);
  EXPECT_TRUE(List->Selected(2));
  EXPECT_FALSE(List->Selected(1));
  List->SetSelected(1, true);  // single selection moves
  EXPECT_EQ(List->ItemIndex(), 1);
  EXPECT_EQ(List->SelCount(), -1);
  List->SetItemIndex(-1);
  EXPECT_EQ(List->ItemIndex(), -1);
  EXPECT_THROW(List->Selected(4), EListError);
  EXPECT_THROW(List->SetSelected(-1, true), EListError);
  EXPECT_TRUE(Clicks.isEmpty());
  List->Items()->Delete(0);
  EXPECT_EQ(List->Items()->Count(), 3);
}

TEST_F(ListTest, MultiSelect) {
  List->SetMultiSelect(true);
  List->SetSelected(0, true);
  List->SetSelected(3, true);
  EXPECT_EQ(List->SelCount(), 2);
  List->SelectAll();
  EXPECT_EQ(List->SelCount(), 4);
  List->SetSelected(1, false);
  EXPECT_EQ(List->SelCount(), 3);
  List->SetItemIndex(2);
  EXPECT_EQ(List->ItemIndex(), 2);
  List->SetMultiSelect(false);
  EXPECT_EQ(List->ItemIndex(), 2);
  EXPECT_FALSE(List->Selected(0));
}

TEST_F(ListTest, UserSelectionRunsOnClick) {
  const TRect r = List->ItemRect(1);
  ASSERT_GT(r.Height(), 0);
  Click(List, r.Left + 5, r.Top + r.Height() / 2);
  EXPECT_EQ(List->ItemIndex(), 1);
  EXPECT_EQ(List->ItemAtPos(TPoint(r.Left + 5, r.Top + 1)), 1);
  Key(VK_DOWN);
  EXPECT_EQ(Clicks, (QList<int>{1, 2}));
}

TEST_F(ListTest, SortedAndOwnerDrawn) {
  List->SetSorted(true);
  EXPECT_EQ(List->Items()->CommaText(), "four,one,three,two");
  EXPECT_EQ(List->Items()->Add("five"), 0);
  QList<int> drawn;
  List->SetStyle(lbOwnerDrawFixed);
  List->SetItemHeight(20);
  List->OnDrawItem = [&](TWinControl*, int Index, TRect Rect, TOwnerDrawState) {
    drawn << Index;
    List->Canvas()->Brush()->SetColor(clRed);
    List->Canvas()->FillRect(Rect);
  };
  List->Repaint();
  Pump();
  const QImage image = Grab(List);
  EXPECT_TRUE(drawn.contains(0));
  const TRect r = List->ItemRect(0);
  EXPECT_EQ(r.Height(), 20);
  EXPECT_EQ(Px(image, r.Left + 10, r.Top + 10), clRed);
}

// --- TScrollBar -----------------------------------------------------------------

TEST_F(StdFormTest, ScrollBarClampsAndReportsChanges) {
  auto* bar = Make<TScrollBar>(10, 10, 200, 17, "bar");
  int changes = 0;
  bar->OnChange = [&](TObject*) { ++changes; };
  bar->SetPageSize(10);
  struct TCase {
    int Set;
    int Expect;
  };
  for (const TCase& c : {TCase{50, 50}, TCase{200, 91}, TCase{91, 91}, TCase{-5, 0}}) {
    bar->SetPosition(c.Set);
    EXPECT_EQ(bar->Position(), c.Expect);
  }
  EXPECT_EQ(changes, 3);  // 91 again is no change
  bar->SetParams(30, 20, 40);
  EXPECT_EQ(bar->Position(), 30);
  EXPECT_EQ(bar->Min(), 20);
  EXPECT_THROW(bar->SetParams(0, 10, 5), EInvalidOperation);
  EXPECT_THROW(bar->SetPageSize(50), EInvalidOperation);
  EXPECT_EQ(qobject_cast<QAbstractSlider*>(bar->Widget())->maximum(), 31);
}

TEST_F(StdFormTest, ScrollBarUserScrollingRunsOnScrollThenOnChange) {
  auto* bar = Make<TScrollBar>(10, 10, 200, 17, "bar");
  bar->SetSmallChange(5);
  bar->SetLargeChange(20);
  QStringList events;
  bar->OnScroll = [&](TObject*, TScrollCode Code, int& Pos) {
    events << QStringLiteral("scroll %1 %2").arg(int(Code)).arg(Pos);
    if (Code == scPageDown) Pos = 77;  // the handler may move it elsewhere
  };
  bar->OnChange = [&](TObject*) { events << QStringLiteral("change %1").arg(bar->Position()); };
  bar->SetFocus();
  Pump();
  Key(VK_RIGHT);
  EXPECT_EQ(bar->Position(), 5);
  Key(VK_NEXT);
  EXPECT_EQ(bar->Position(), 77);
  EXPECT_EQ(events, (QStringList{"scroll 1 5", "change 5", "scroll 8 5", "scroll 3 25", "change 77", "scroll 8 77"}));
  Key(VK_HOME);
  EXPECT_EQ(bar->Position(), 0);
}

// --- styles and published tables -------------------------------------------------

TEST_F(StdFormTest, EveryControlFollowsTheStyle) {
  struct TCase {
    const char* Name;
    std::function<TControl*()> Make;
  };
  const std::vector<TCase> cases = {
      {"edit", [&] { auto* c = Make<TEdit>(10, 10, 120, 24); c->SetText("text"); return c; }},
      {"memo", [&] { auto* c = Make<TMemo>(10, 10, 120, 60); c->Lines()->Add("line"); return c; }},
      {"button", [&] { auto* c = Make<TButton>(10, 10, 75, 25); c->SetCaption("&Go"); return c; }},
      {"check", [&] { auto* c = Make<TCheckBox>(10, 10, 100, 20); c->SetCaption("Box"); return c; }},
      {"radio", [&] { auto* c = Make<TRadioButton>(10, 10, 100, 20); c->SetCaption("Dot"); return c; }},
      {"label", [&] { auto* c = Make<TLabel>(10, 10, 100, 20); c->SetCaption("Label"); return c; }},
      {"combo", [&] { auto* c = Make<TComboBox>(10, 10, 120, 24); c->SetText("combo"); return c; }},
      {"list", [&] { auto* c = Make<TListBox>(10, 10, 120, 60); c->Items()->Add("item"); return c; }},
      {"scroll", [&] { return Make<TScrollBar>(10, 10, 120, 17); }},
      {"group", [&] { auto* c = Make<TGroupBox>(10, 10, 120, 60); c->SetCaption("Group"); return c; }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TControl* control = c.Make();
    Pump();
    const QImage windows = GrabIn(control, "Windows");
    const QImage amethyst = GrabIn(control, "Amethyst Kamri");
    const QImage again = GrabIn(control, "Windows");
    ASSERT_FALSE(windows.isNull());
    EXPECT_NE(windows, amethyst);
    EXPECT_EQ(windows, again);
    delete control;
  }
}

TEST(StdCtrlsPublished, TablesNameTheDesignerProperties) {
  struct TCase {
    const TClassInfo* Class;
    QStringList Props;
  };
  const std::vector<TCase> cases = {
      {ClassInfo<TEdit>(), {"Text", "MaxLength", "ReadOnly", "PasswordChar", "CharCase", "OnChange", "TabOrder", "Left"}},
      {ClassInfo<TMemo>(), {"Lines", "ScrollBars", "WordWrap", "WantReturns", "WantTabs"}},
      {ClassInfo<TButton>(), {"Caption", "Default", "Cancel", "ModalResult", "OnClick"}},
      {ClassInfo<TCheckBox>(), {"State", "AllowGrayed", "Checked"}},
      {ClassInfo<TLabel>(), {"Caption", "Alignment", "Layout", "WordWrap", "AutoSize", "Transparent", "Font"}},
      {ClassInfo<TComboBox>(), {"Items", "ItemIndex", "Style", "Sorted", "DropDownCount", "OnSelect"}},
      {ClassInfo<TListBox>(), {"Items", "MultiSelect", "Style", "OnDrawItem"}},
      {ClassInfo<TScrollBar>(), {"Kind", "Min", "Max", "Position", "PageSize", "OnScroll"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Class->ClassName().toStdString());
    for (const QString& p : c.Props) EXPECT_NE(c.Class->FindProp(p), nullptr) << p.toStdString();
  }
  // Values go through the table.
  TEdit edit(nullptr);
  SetStrProp(&edit, "Text", "via table");
  SetEnumProp(&edit, "CharCase", "ecUpperCase");
  EXPECT_EQ(edit.Text(), "VIA TABLE");
  EXPECT_EQ(GetOrdProp(&edit, "MaxLength"), 0);
  TComboBox combo(nullptr);
  combo.Items()->SetCommaText("a,b");
  SetOrdProp(&combo, "ItemIndex", 1);
  EXPECT_EQ(combo.Text(), "b");
  ASSERT_NE(GetClass("TButton"), nullptr);
  std::unique_ptr<TObject> made = GetClass("TButton")->Create();
  EXPECT_NE(dynamic_cast<TButton*>(made.get()), nullptr);
}

}  // namespace
