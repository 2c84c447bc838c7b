// Message dialogs, Win32 message boxes, input queries and the file dialogs,
// answered through fake services; one message box and one file dialog
// answered for real on the offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "platform/vcl/Dialogs.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::FakeFileDialogs;
using testsupport::FakeMessageDialogs;
using testsupport::TempDir;
using Results = QList<TModalResult>;

// Runs Action on the first top-level widget of type W once it is shown,
// polling the event loop of the modal dialog; fails after two seconds.
template <class W>
void WhenShown(std::function<void(W*)> Action) {
  auto* timer = new QTimer;
  auto deadline = std::make_shared<int>(200);
  QObject::connect(timer, &QTimer::timeout, [timer, deadline, Action] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<W*>(widget); found && found->isVisible()) {
        timer->stop();
        timer->deleteLater();
        Action(found);
        return;
      }
    }
    if (--*deadline == 0) {
      ADD_FAILURE() << "no dialog was shown";
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start(10);
}

// ---------------------------------------------------------------------------
// MessageDlg

TEST(MessageDlgTest, ShowsTheFrameworkCaptionsButtonsAndDefaults) {
  const QString appTitle = QGuiApplication::applicationDisplayName();
  const struct {
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    QString caption;
    Results shown;
    TModalResult defaultResult;
    TModalResult cancelResult;
  } cases[] = {
      {mtWarning, mbYesNo, "Warning", {mrYes, mrNo}, mrYes, mrNo},
      {mtError, {mbOK}, "Error", {mrOk}, mrOk, mrOk},
      {mtInformation, mbOKCancel, "Information", {mrOk, mrCancel}, mrOk, mrCancel},
      {mtConfirmation, mbYesNoCancel, "Confirm", {mrYes, mrNo, mrCancel}, mrYes, mrCancel},
      {mtConfirmation, mbAbortRetryIgnore, "Confirm", {mrAbort, mrRetry, mrIgnore}, mrRetry, mrNone},
      {mtWarning, mbYesAllNoAllCancel, "Warning",
       {mrYes, mrNo, mrCancel, mrNoToAll, mrYesToAll}, mrYes, mrCancel},
      // Shown in the order of the button type, whatever the set says.
      {mtCustom, {mbClose, mbHelp, mbYesToAll, mbAll}, appTitle,
       {mrAll, mrYesToAll, mrHelp, mrClose}, mrAll, mrNone},
      {mtInformation, mbAbortIgnore, "Information", {mrAbort, mrIgnore}, mrAbort, mrNone},
      // A box always has a button that closes it.
      {mtError, {}, "Error", {mrOk}, mrOk, mrOk},
      {mtError, {mbHelp}, "Error", {mrOk, mrHelp}, mrOk, mrOk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption.toStdString() + " " + std::to_string(c.buttons.Bits()));
    FakeMessageDialogs fake;
    MessageDlg("Question?", c.type, c.buttons, 17);
    ASSERT_EQ(fake.Requests.size(), 1);
    const TMessageDialogRequest& r = fake.Requests.first();
    EXPECT_EQ(r.Text, "Question?");
    EXPECT_EQ(r.Caption, c.caption);
    EXPECT_EQ(r.DlgType, c.type);
    EXPECT_EQ(r.Buttons, c.shown);
    EXPECT_EQ(r.DefaultResult, c.defaultResult);
    EXPECT_EQ(r.CancelResult, c.cancelResult);
    EXPECT_EQ(r.HelpCtx, 17);
  }
}

TEST(MessageDlgTest, AnswersWhatTheUserChose) {
  FakeMessageDialogs fake;
  fake.Answers = {mrNo, mrCancel, mrYesToAll};
  EXPECT_EQ(MessageDlg("Save changes?", mtConfirmation, mbYesNoCancel, 0), mrNo);
  EXPECT_EQ(MessageDlg("Save changes?", mtConfirmation, mbYesNoCancel, 0), mrCancel);
  EXPECT_EQ(MessageDlg("Replace?", mtConfirmation, mbYesAllNoAllCancel, 0), mrYesToAll);
  // Enter on the default button once the answers run out.
  EXPECT_EQ(MessageDlg("Retry?", mtError, mbAbortRetryIgnore, 0), mrRetry);
  EXPECT_EQ(fake.Requests.size(), 4);
}

TEST(MessageDlgTest, TakesTheDefaultButtonGivenWhenItIsOneOfTheButtons) {
  FakeMessageDialogs fake;
  MessageDlg("Delete?", mtWarning, mbYesNoCancel, 0, mbNo);
  MessageDlg("Delete?", mtWarning, mbYesNo, 0, mbOK);
  ASSERT_EQ(fake.Requests.size(), 2);
  EXPECT_EQ(fake.Requests[0].DefaultResult, mrNo);
  EXPECT_EQ(fake.Requests[1].DefaultResult, mrYes);
}

TEST(MessageDlgTest, ShowMessageIsAnOkBoxWithTheApplicationTitle) {
  FakeMessageDialogs fake;
  ShowMessage("Done.");
  ASSERT_EQ(fake.Requests.size(), 1);
  const TMessageDialogRequest& r = fake.Requests.first();
  EXPECT_EQ(r.Text, "Done.");
  EXPECT_EQ(r.Caption, QGuiApplication::applicationDisplayName());
  EXPECT_EQ(r.DlgType, mtCustom);
  EXPECT_EQ(r.Buttons, Results{mrOk});
}

TEST(MessageDlgTest, ButtonCaptionsAndResults) {
  const struct {
    TMsgDlgBtn button;
    TModalResult result;
    QString caption;
  } cases[] = {
      {mbYes, mrYes, "&Yes"},          {mbNo, mrNo, "&No"},
      {mbOK, mrOk, "OK"},              {mbCancel, mrCancel, "Cancel"},
      {mbAbort, mrAbort, "&Abort"},    {mbRetry, mrRetry, "&Retry"},
      {mbIgnore, mrIgnore, "&Ignore"}, {mbAll, mrAll, "&All"},
      {mbNoToAll, mrNoToAll, "N&o to All"}, {mbYesToAll, mrYesToAll, "Yes to &All"},
      {mbHelp, mrHelp, "&Help"},       {mbClose, mrClose, "&Close"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MsgDlgButtonResult(c.button), c.result);
    EXPECT_EQ(MsgDlgButtonCaption(c.result), c.caption);
  }
  EXPECT_EQ(MsgDlgButtonCaption(mrNone), "");
}

// The real QMessageBox: the box is found on screen, Help and Escape leave it
// open (it has no cancel button), and its default button answers.
TEST(MessageDlgTest, TheQtMessageBoxShowsTheRequestAndAnswersItsDefaultButton) {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  QString defaultButton;
  bool openAfterHelp = false, openAfterEscape = false;

  WhenShown<QMessageBox>([&](QMessageBox* box) {
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    for (QAbstractButton* button : box->buttons()) buttons.append(button->text());
    defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
    for (QAbstractButton* button : box->buttons())
      if (button->text() == "&Help") button->click();
    QCoreApplication::processEvents();
    openAfterHelp = box->isVisible();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box, &escape);
    QCoreApplication::processEvents();
    openAfterEscape = box->isVisible();
    box->defaultButton()->click();
  });
  const TModalResult result = MessageDlg("Could not read the file.", mtError,
                                         {mbAbort, mbRetry, mbIgnore, mbHelp}, 0);

  EXPECT_EQ(result, mrRetry);
  EXPECT_EQ(title, "Error");
  EXPECT_EQ(text, "Could not read the file.");
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(buttons, (QStringList{"&Abort", "&Retry", "&Ignore", "&Help"}));
  EXPECT_EQ(defaultButton, "&Retry");
  EXPECT_TRUE(openAfterHelp);
  EXPECT_TRUE(openAfterEscape);
}

// ---------------------------------------------------------------------------
// MessageBox

TEST(MessageBoxTest, TranslatesTheFlags) {
  const struct {
    UINT flags;
    Results buttons;
    TModalResult defaultResult;
    TModalResult cancelResult;
    TMsgDlgType type;
  } cases[] = {
      {MB_OK, {mrOk}, mrOk, mrOk, mtCustom},
      {MB_OKCANCEL | MB_ICONINFORMATION, {mrOk, mrCancel}, mrOk, mrCancel, mtInformation},
      {MB_ABORTRETRYIGNORE | MB_ICONERROR | MB_DEFBUTTON2, {mrAbort, mrRetry, mrIgnore}, mrRetry,
       mrNone, mtError},
      {MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3, {mrYes, mrNo, mrCancel}, mrCancel, mrCancel,
       mtConfirmation},
      {MB_YESNO | MB_ICONWARNING, {mrYes, mrNo}, mrYes, mrNone, mtWarning},
      {MB_YESNO | MB_DEFBUTTON3, {mrYes, mrNo}, mrYes, mrNone, mtCustom},
      {MB_RETRYCANCEL | MB_ICONSTOP, {mrRetry, mrCancel}, mrRetry, mrCancel, mtError},
      {MB_CANCELTRYCONTINUE | MB_DEFBUTTON2, {mrCancel, mrTryAgain, mrContinue}, mrTryAgain,
       mrCancel, mtCustom},
      {MB_YESNOCANCEL | MB_HELP | MB_DEFBUTTON4, {mrYes, mrNo, mrCancel, mrHelp}, mrHelp, mrCancel,
       mtCustom},
      {MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST | MB_SETFOREGROUND | MB_TASKMODAL, {mrOk}, mrOk, mrOk,
       mtWarning},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flags);
    FakeMessageDialogs fake;
    fake.Answers = {c.buttons.last()};
    EXPECT_EQ(MessageBox(nullptr, "Text", "Caption", c.flags), c.buttons.last());
    ASSERT_EQ(fake.Requests.size(), 1);
    const TMessageDialogRequest& r = fake.Requests.first();
    EXPECT_EQ(r.Text, "Text");
    EXPECT_EQ(r.Caption, "Caption");
    EXPECT_EQ(r.Buttons, c.buttons);
    EXPECT_EQ(r.DefaultResult, c.defaultResult);
    EXPECT_EQ(r.CancelResult, c.cancelResult);
    EXPECT_EQ(r.DlgType, c.type);
  }
}

TEST(MessageBoxTest, AnswersTheWin32IdsAndRefusesUnknownTypes) {
  static_assert(IDOK == mrOk && IDCANCEL == mrCancel && IDABORT == mrAbort && IDRETRY == mrRetry &&
                IDIGNORE == mrIgnore && IDYES == mrYes && IDNO == mrNo && IDCLOSE == mrClose &&
                IDHELP == mrHelp && IDTRYAGAIN == mrTryAgain && IDCONTINUE == mrContinue);
  FakeMessageDialogs fake;
  fake.Answers = {mrNo};
  EXPECT_EQ(MessageBox(nullptr, "Quit?", QString(), MB_YESNO), IDNO);
  ASSERT_EQ(fake.Requests.size(), 1);
  EXPECT_EQ(fake.Requests.first().Caption, "Error");  // a null caption
  EXPECT_EQ(MessageBox(nullptr, "Quit?", "", MB_OK), IDOK);
  EXPECT_EQ(fake.Requests.last().Caption, "");

  SetLastError(0);
  EXPECT_EQ(MessageBox(nullptr, "Quit?", "Caption", 7), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_MSGBOX_STYLE);
  EXPECT_EQ(fake.Requests.size(), 2);
}

// ---------------------------------------------------------------------------
// InputQuery and InputBox

TEST(InputQueryTest, TakesTheEnteredTextOnlyWhenConfirmed) {
  FakeMessageDialogs fake;
  fake.InputAnswers = {QString("Lyon"), std::nullopt, QString("Nantes"), std::nullopt};

  QString city = "Paris";
  EXPECT_TRUE(InputQuery("Search", "City:", city));
  EXPECT_EQ(city, "Lyon");
  EXPECT_FALSE(InputQuery("Search", "City:", city));
  EXPECT_EQ(city, "Lyon");
  EXPECT_EQ(InputBox("Search", "City:", "Paris"), "Nantes");
  EXPECT_EQ(InputBox("Search", "City:", "Paris"), "Paris");

  ASSERT_EQ(fake.InputRequests.size(), 4);
  EXPECT_EQ(fake.InputRequests[0].Caption, "Search");
  EXPECT_EQ(fake.InputRequests[0].Prompt, "City:");
  EXPECT_EQ(fake.InputRequests[0].Value, "Paris");
  EXPECT_EQ(fake.InputRequests[1].Value, "Lyon");
}

// ---------------------------------------------------------------------------
// File dialogs

TEST(DialogFilterTest, ParsesFilterPairs) {
  using F = TFileDialogFilter;
  const struct {
    QString filter;
    QList<F> parsed;
  } cases[] = {
      {"Text|*.txt|All|*.*", {F{"Text", {"*.txt"}}, F{"All", {"*.*"}}}},
      {"Images (*.png;*.jpg)|*.png; *.jpg ;;*.gif", {F{"Images (*.png;*.jpg)", {"*.png", "*.jpg", "*.gif"}}}},
      {"CSV|*.csv|Dangling", {F{"CSV", {"*.csv"}}}},
      {"Empty||CSV|*.csv", {F{"CSV", {"*.csv"}}}},
      {"|*.x", {F{"", {"*.x"}}}},
      {"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.filter.toStdString());
    EXPECT_EQ(ParseDialogFilter(c.filter), c.parsed);
  }
}

TEST(DialogFilterTest, MakesQtNameFilters) {
  const struct {
    QString filter;
    QStringList nameFilters;
  } cases[] = {
      {"Text|*.txt|All|*.*", {"Text (*.txt)", "All (*)"}},
      {"Text files (*.txt)|*.txt", {"Text files (*.txt)"}},
      {"Images (*.png;*.jpg)|*.png;*.jpg", {"Images (*.png *.jpg)"}},
      {"Old documents (1990)|*.doc", {"Old documents (1990) (*.doc)"}},
      {"|*.x;*.y", {"*.x *.y"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.filter.toStdString());
    EXPECT_EQ(FileDialogNameFilters(ParseDialogFilter(c.filter)), c.nameFilters);
  }
}

class FileDialogTest : public ::testing::Test {
 protected:
  FakeFileDialogs fake;
  TempDir dir;
};

TEST_F(FileDialogTest, HandsTheSettingsToTheService) {
  TSaveDialog save(nullptr);
  save.SetFilter("CSV files|*.csv|Excel workbook|*.xlsx|All|*.*");
  save.SetFilterIndex(2);
  save.SetInitialDir(dir.Path());
  save.SetFileName("leads");
  save.SetDefaultExt(".csv");
  save.SetOptions(save.Options() + TOpenOptions{ofOverwritePrompt});
  EXPECT_FALSE(save.Execute());

  TOpenDialog open(nullptr);
  open.SetTitle("Import leads");
  open.SetFilter("Text|*.txt");
  open.SetFilterIndex(5);
  EXPECT_FALSE(open.Execute());
  open.SetFilter("");
  open.SetFilterIndex(0);
  EXPECT_FALSE(open.Execute());

  ASSERT_EQ(fake.Requests.size(), 3);
  const TFileDialogParams& s = fake.Requests[0];
  EXPECT_EQ(s.Kind, fdkSave);
  EXPECT_EQ(s.Title, "Save As");
  EXPECT_EQ(s.Filters.size(), 3);
  EXPECT_EQ(s.FilterIndex, 2);
  EXPECT_EQ(s.InitialDir, dir.Path());
  EXPECT_EQ(s.FileName, "leads");
  EXPECT_EQ(s.DefaultExt, "csv");
  EXPECT_EQ(s.Options, (TOpenOptions{ofHideReadOnly, ofEnableSizing, ofOverwritePrompt}));

  const TFileDialogParams& o = fake.Requests[1];
  EXPECT_EQ(o.Kind, fdkOpen);
  EXPECT_EQ(o.Title, "Import leads");
  EXPECT_EQ(o.FilterIndex, 1);  // 5 is beyond the one filter
  EXPECT_EQ(fake.Requests[2].Title, "Import leads");
  EXPECT_EQ(fake.Requests[2].FilterIndex, 1);
  EXPECT_TRUE(fake.Requests[2].Filters.isEmpty());

  TOpenDialog untitled(nullptr);
  untitled.Execute();
  EXPECT_EQ(fake.Requests.last().Title, "Open");
}

TEST_F(FileDialogTest, AddsTheDefaultExtensionToANameWithoutOne) {
  const QString existing = dir.File("Makefile");
  {
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  const struct {
    bool save;
    QString defaultExt;
    QString chosen;
    QString fileName;
    bool extensionDifferent;
  } cases[] = {
      {true, "csv", "/data/leads", "/data/leads.csv", false},
      {true, "csv", "/data/leads.CSV", "/data/leads.CSV", false},
      {true, "csv", "/data/leads.txt", "/data/leads.txt", true},
      {true, "gz", "/data/archive.tar", "/data/archive.tar", true},
      {true, "csv", "/data/v1.2/leads", "/data/v1.2/leads.csv", false},
      {true, "", "/data/leads", "/data/leads", false},
      {false, "txt", "/data/missing", "/data/missing.txt", false},
      {false, "txt", existing, existing, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chosen.toStdString());
    std::unique_ptr<TOpenDialog> dialog =
        c.save ? std::make_unique<TSaveDialog>(nullptr) : std::make_unique<TOpenDialog>(nullptr);
    dialog->SetDefaultExt(c.defaultExt);
    fake.Answers = {TFileDialogResult{true, {c.chosen}, 0}};
    ASSERT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->FileName(), c.fileName);
    EXPECT_EQ(dialog->Files()->Text(), c.fileName + "\r\n");
    EXPECT_EQ(dialog->Options().Contains(ofExtensionDifferent), c.extensionDifferent);
  }
}

TEST_F(FileDialogTest, KeepsSeveralNamesOnlyWithMultiSelect) {
  TOpenDialog dialog(nullptr);
  dialog.SetDefaultExt("txt");
  const TFileDialogResult answer{true, {"/data/a", "/data/b.csv", "/data/c"}, 0};

  fake.Answers = {answer};
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.Files()->Count(), 1);
  EXPECT_EQ(dialog.FileName(), "/data/a.txt");

  dialog.SetOptions(dialog.Options() + TOpenOptions{ofAllowMultiSelect});
  fake.Answers = {answer};
  ASSERT_TRUE(dialog.Execute());
  ASSERT_EQ(dialog.Files()->Count(), 3);
  EXPECT_EQ(dialog.Files()->Strings(0), "/data/a.txt");
  EXPECT_EQ(dialog.Files()->Strings(1), "/data/b.csv");
  EXPECT_EQ(dialog.Files()->Strings(2), "/data/c.txt");
  EXPECT_EQ(dialog.FileName(), "/data/a.txt");
}

TEST_F(FileDialogTest, KeepsTheFilterInUseAndChangesNothingOnCancel) {
  TOpenDialog dialog(nullptr);
  dialog.SetFilter("Text|*.txt|CSV|*.csv");
  dialog.SetFileName("/data/old.txt");

  fake.Answers = {TFileDialogResult{true, {"/data/new.csv"}, 2},
                  TFileDialogResult{true, {"/data/other.csv"}, 7},
                  TFileDialogResult{false, {"/data/ignored.txt"}, 1},
                  TFileDialogResult{true, {}, 1}};
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FilterIndex(), 2);
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FilterIndex(), 2);  // 7 is no filter
  EXPECT_EQ(dialog.FileName(), "/data/other.csv");

  for (int i = 0; i < 2; ++i) {
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "/data/other.csv");
    EXPECT_EQ(dialog.FilterIndex(), 2);
    EXPECT_EQ(dialog.Files()->Count(), 1);
  }
}

TEST_F(FileDialogTest, DialogsArePublishedWithTheirDefaults) {
  const TClassInfo* info = GetClass("TSaveDialog");
  ASSERT_NE(info, nullptr);
  TComponent owner(nullptr);
  auto* dialog = dynamic_cast<TSaveDialog*>(info->CreateOwned(&owner));
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->Owner(), &owner);
  EXPECT_EQ(GetOrdProp(dialog, "FilterIndex"), 1);
  SetStrProp(dialog, "Filter", "CSV|*.csv");
  SetSetProp(dialog, "Options", "[ofOverwritePrompt,ofFileMustExist]");
  EXPECT_EQ(dialog->Filter(), "CSV|*.csv");
  EXPECT_EQ(dialog->Options(), (TOpenOptions{ofOverwritePrompt, ofFileMustExist}));
}

// The real QFileDialog in save mode: filters, title, folder and the default
// suffix reach it, and the name typed comes back with the extension.
TEST(FileDialogQtTest, TheQtDialogAnswersTheTypedName) {
  TempDir dir;
  QString title, selectedFilter, directory;
  QStringList nameFilters;
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    title = dialog->windowTitle();
    nameFilters = dialog->nameFilters();
    selectedFilter = dialog->selectedNameFilter();
    directory = dialog->directory().absolutePath();
    dialog->selectFile("leads");
    QMetaObject::invokeMethod(dialog, "accept");
  });

  TSaveDialog save(nullptr);
  save.SetFilter("Text|*.txt|CSV files (*.csv)|*.csv|All|*.*");
  save.SetFilterIndex(2);
  save.SetInitialDir(dir.Path());
  save.SetDefaultExt("csv");
  ASSERT_TRUE(save.Execute());

  EXPECT_EQ(title, "Save As");
  EXPECT_EQ(nameFilters, (QStringList{"Text (*.txt)", "CSV files (*.csv)", "All (*)"}));
  EXPECT_EQ(selectedFilter, "CSV files (*.csv)");
  EXPECT_EQ(directory, QDir(dir.Path()).absolutePath());
  EXPECT_EQ(save.FileName(), QDir(dir.Path()).absoluteFilePath("leads.csv"));
  EXPECT_EQ(save.FilterIndex(), 2);
}

}  // namespace
