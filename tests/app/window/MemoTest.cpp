// The results memo: the line count it shows, removing duplicates, emptying
// it, and the result file.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "tests/app/window/WindowSupport.h"

using namespace windowtest;

namespace {

const QString kInitialLine = QStringLiteral("Scraping results, one page at a time...");

void SetLines(TMemo* Memo, const QStringList& Lines) {
  Memo->Lines()->Clear();
  for (const QString& line : Lines) Memo->Lines()->Add(line);
}

QStringList LinesOf(TMemo* Memo) {
  QStringList out;
  for (int i = 0; i < Memo->Lines()->Count(); ++i) out << Memo->Lines()->Strings(i);
  return out;
}

TFileDialogResult Chosen(const QString& FileName) {
  TFileDialogResult r;
  r.Accepted = true;
  r.Files << FileName;
  return r;
}

}  // namespace

TEST(MainWindowMemo, ShowsItsLineCount) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  for (const QStringList& lines : {QStringList{"\"a\""}, QStringList{"1", "2", "3"}, QStringList{}}) {
    SetLines(w->mmResults, lines);
    const QString text = QString::number(lines.size()) + QStringLiteral(" Lines in Results");
    EXPECT_EQ(w->EdNumberofLeads->Text(), text);
    EXPECT_EQ(w->StatusBar1->Panels()->Items(2)->Text(), text);
  }
  // The hidden memo counts the results memo's lines too; the unbound handler
  // also names the count in the tab.
  SetLines(w->mmResults, {"x", "y"});
  w->EdNumberofLeads->SetText(QString());
  w->Memo1->Lines()->Add(QStringLiteral("more"));
  EXPECT_EQ(w->EdNumberofLeads->Text(), QStringLiteral("2 Lines in Results"));
  w->mmResultsChange(w->mmResults);
  EXPECT_EQ(w->tbResults->Caption(), QStringLiteral("[ 2 ]"));
}

TEST(MainWindowMemo, RemovesDuplicatesAndEmpties) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  const struct {
    QStringList Lines;
    QStringList Expected;
  } cases[] = {
      // Sorted without regard to case; of equal lines the first one stays.
      {{"b", "A", "a", "B", "c"}, {"A", "b", "c"}},
      {{"\"Zoé\",\"1\"", "\"zoé\",\"1\"", "\"Alain\",\"2\"", kInitialLine},
       {"\"Alain\",\"2\"", "\"Zoé\",\"1\"", kInitialLine}},
      {{"x", "x", "x"}, {"x"}},
      {{}, {}},
  };
  for (const auto& c : cases) {
    SetLines(w->mmResults, c.Lines);
    w->ToolButton6Click(w->ToolButton6);
    EXPECT_EQ(LinesOf(w->mmResults), c.Expected) << c.Lines.join('|').toStdString();
    EXPECT_EQ(w->tbResults->Caption(), QStringLiteral("Results (%1 lines)").arg(c.Expected.size()));
    EXPECT_EQ(w->EdNumberofLeads->Text(), QStringLiteral("%1 Lines in Results").arg(c.Expected.size()));
  }
  // The same from the "Data" menu.
  SetLines(w->mmResults, {"q", "Q"});
  w->Removeduplicates1->Click();
  EXPECT_EQ(LinesOf(w->mmResults), QStringList({"q"}));

  // "btnClear" and "Empty data grid".
  for (TComponent* clear : std::initializer_list<TComponent*>{w->ToolButton7, w->Emptydatagrid1}) {
    SetLines(w->mmResults, {"1", "2"});
    w->tbResults->SetCaption(QStringLiteral("CSV Results (text)"));
    if (auto* b = dynamic_cast<TControl*>(clear)) b->Click();
    else dynamic_cast<TMenuItem*>(clear)->Click();
    EXPECT_EQ(w->mmResults->Lines()->Count(), 0);
    EXPECT_EQ(w->tbResults->Caption(), QStringLiteral("Results (0 lines)"));
    EXPECT_EQ(w->EdNumberofLeads->Text(), QStringLiteral("0 Lines in Results"));
    EXPECT_EQ(w->StatusBar1->Panels()->Items(2)->Text(), QStringLiteral("0 Lines in Results"));
  }
}

TEST(MainWindowMemo, SavesTheResultFile) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  testsupport::TempDir dir;
  testsupport::FakeMessageDialogs dialogs;
  testsupport::FakeFileDialogs files;

  const struct {
    const char* What;
    QStringList Lines;
    QByteArray Bytes;
  } cases[] = {
      {"nothing captured", {kInitialLine}, "Scraping results, one page at a time...\r\n"},
      {"result lines", {"\"Boulangerie Dupré\",\"01 42 96 00 11\"", "\"A & B\",\"\""},
       "\"Boulangerie Dupr\xE9\",\"01 42 96 00 11\"\r\n\"A & B\",\"\"\r\n"},
      {"outside the code page", {"€ 5 – Łódź 漢"}, "\x80 5 \x96 ?\xF3\x64? ?\r\n"},
      {"empty lines kept", {"", "x", ""}, "\r\nx\r\n\r\n"},
      {"empty memo", {}, ""},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    SetLines(w->mmResults, c.Lines);
    const QString target = dir.File(QStringLiteral("out%1.csv").arg(++n));
    // An existing file is replaced.
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old content that is longer than the new one\r\n");
    old.close();
    files.Answers = {Chosen(target)};
    w->ToolButton2->Click();
    EXPECT_EQ(testsupport::ReadBytes(target), c.Bytes);
    EXPECT_TRUE(dialogs.Requests.isEmpty());
  }
  ASSERT_FALSE(files.Requests.isEmpty());
  const TFileDialogParams& asked = files.Requests.first();
  EXPECT_EQ(asked.Kind, fdkSave);
  EXPECT_EQ(asked.Title, QStringLiteral("Save data as..."));
  EXPECT_EQ(asked.FileName, QStringLiteral("tfn1.csv"));
  EXPECT_EQ(asked.DefaultExt, QStringLiteral("csv"));
  EXPECT_EQ(asked.Filters.size(), 2);

  // Cancel: nothing is written or said.
  SetLines(w->mmResults, {"kept"});
  files.Answers.clear();
  const int requests = int(files.Requests.size());
  w->ToolButton2->Click();
  EXPECT_EQ(files.Requests.size(), requests + 1);
  EXPECT_TRUE(dialogs.Requests.isEmpty());

  // A target that cannot be written: the message, and the memo as it was.
  ASSERT_TRUE(QDir().mkpath(dir.File(QStringLiteral("folder.csv"))));
  for (const QString& bad : {dir.File(QStringLiteral("folder.csv")), dir.File(QStringLiteral("no/such/folder/x.csv"))}) {
    dialogs.Requests.clear();
    files.Answers = {Chosen(bad)};
    w->ToolButton2->Click();
    ASSERT_EQ(dialogs.Requests.size(), 1) << bad.toStdString();
    EXPECT_EQ(dialogs.Requests[0].Text, QStringLiteral("Data cannot be saved!\rImpossible de sauvegarder..."));
    EXPECT_EQ(LinesOf(w->mmResults), QStringList({"kept"}));
  }
  EXPECT_FALSE(QFile::exists(dir.File(QStringLiteral("no"))));
}

// The results as the user reaches them: clicks, typing, the wheel and the
// scroll bar, delivered where the window system delivers them.
TEST(MainWindowMemo, TheResultsTakeClicksTheWheelAndTheScrollBarButNoTyping) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  // The whole window on the screen, as the user sees it (maximized on the
  // small offscreen screen, its results pane would lie off it).
  w->SetWindowState(wsNormal);
  w->SetBounds(0, 0, 1400, 820);
  ASSERT_TRUE(vcltest::ShowAndActivate(w));
  w->PageControl1->SetActivePage(w->tbResults);
  QStringList lines;
  for (int i = 0; i < 64; ++i) lines << QStringLiteral("\"Listing %1\",\"04 00 00 00 %2\"").arg(i).arg(i, 2, 10, QChar(u'0'));
  SetLines(w->mmResults, lines);
  vcltest::Pump();
  auto* edit = static_cast<QPlainTextEdit*>(w->mmResults->Widget());
  QScrollBar* bar = edit->verticalScrollBar();
  bar->setValue(0);
  ASSERT_GT(bar->maximum(), 0) << "the memo shows every line: nothing to scroll";

  vcltest::Click(w->mmResults, 40, 10);
  EXPECT_TRUE(w->mmResults->Focused());
  vcltest::Type(QStringLiteral("typed"));
  vcltest::Key(VK_RETURN);
  EXPECT_EQ(LinesOf(w->mmResults), lines);  // read-only

  vcltest::Wheel(w->mmResults, -2, 60, 60);
  EXPECT_EQ(bar->value(), 2 * QApplication::wheelScrollLines());
  const int before = bar->value();
  const QPoint down = bar->mapTo(edit, QPoint(bar->width() / 2, bar->height() - bar->width() / 2));
  vcltest::Click(w->mmResults, down.x(), down.y());
  EXPECT_EQ(bar->value(), before + 1);
  // Selecting all and copying goes through the keys as usual.
  vcltest::Key('A', TShiftState{ssCtrl});
  EXPECT_EQ(w->mmResults->SelLength(), w->mmResults->GetTextLen());
}
