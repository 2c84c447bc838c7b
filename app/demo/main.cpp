// Tallowfinch against a loopback imitation of the directory, so anyone can
// try a capture without the internet.
//
// With a display: the program opens on the imitation's first result page;
// press "Capture". Without one: a whole capture runs offscreen, the result
// file and a picture of the main window are saved into the output folder
// (first argument, default "tallowfinch-demo") and their paths printed.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>

#include "app/ProgramStart.h"
#include "app/SiteHosts.h"
#include "app/uSuperWB.h"
#include "app/uTallowfinch2.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "tools/DirectoryServer.h"

namespace {

QTextStream& Out() {
  static QTextStream out(stdout);
  return out;
}

bool HasDisplay() {
  if (qgetenv("QT_QPA_PLATFORM") == "offscreen") return false;
  return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// Message boxes of the offscreen run: printed, and answered Yes (to empty the
// start text before the capture) or OK.
class PrintedMessages : public TMessageDialogService {
 public:
  TModalResult ShowMessageDialog(const TMessageDialogRequest& Request) override {
    QString text = Request.Text;
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Out() << "[message] " << text << Qt::endl;
    for (TModalResult answer : {mrYes, mrOk})
      if (Request.Buttons.contains(answer)) return answer;
    return Request.Buttons.isEmpty() ? mrOk : Request.Buttons.first();
  }
  bool InputQuery(const QString&, const QString&, QString&) override { return false; }
};

// The save dialog of the offscreen run: always the given file.
class FixedSaveFile : public TFileDialogService {
 public:
  explicit FixedSaveFile(QString FileName) : FFileName(std::move(FileName)) {}
  TFileDialogResult Execute(const TFileDialogParams&) override {
    TFileDialogResult result;
    result.Accepted = true;
    result.Files = {FFileName};
    return result;
  }

 private:
  QString FFileName;
};

// Pumps events until Done answers true or the time is up.
bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!Done()) {
    if (timer.elapsed() > TimeoutMs) return false;
    PumpMessagesFor(20);
  }
  return true;
}

bool PageShown(TSuperBrowser* Browser, const QString& Url) {
  return Browser->URL() == Url &&
         Browser->ExecuteJavaScriptSync(QStringLiteral("document.readyState")) == QStringLiteral("\"complete\"");
}

int RunOffscreen(const QString& FirstPage, const QString& OutputFolder) {
  TfrmMyBrowser* window = frmMyBrowser;
  TSuperBrowser* browser = window->webbrowser1;
  if (!browser) {
    Out() << "The browser could not be started." << Qt::endl;
    return 1;
  }
  QDir().mkpath(OutputFolder);
  const QString resultFile = QDir(OutputFolder).absoluteFilePath(QStringLiteral("results.csv"));
  const QString picture = QDir(OutputFolder).absoluteFilePath(QStringLiteral("main-window.png"));

  window->SetWindowState(wsNormal);
  window->SetBounds(0, 0, 1400, 860);
  window->Show();
  window->edURL->SetText(FirstPage);
  browser->SetURL(FirstPage);
  if (!PumpUntil([&] { return PageShown(browser, FirstPage); }, 60000)) {
    Out() << "The first result page did not load: " << FirstPage << Qt::endl;
    return 1;
  }

  PrintedMessages messages;
  FixedSaveFile saveFile(resultFile);
  TMessageDialogService* previousMessages = SetMessageDialogService(&messages);
  TFileDialogService* previousFiles = SetFileDialogService(&saveFile);
  Out() << "Capturing from " << FirstPage << " ..." << Qt::endl;
  PageDelay = 0;
  window->btnCapture->Click();
  window->ToolButton2->Click();
  PumpMessagesFor(300);
  const bool grabbed = window->WindowFrame()->grab().toImage().save(picture, "PNG");
  SetFileDialogService(previousFiles);
  SetMessageDialogService(previousMessages);

  const int lines = window->mmResults->Lines()->Count();
  Out() << lines << " result lines." << Qt::endl;
  if (QFileInfo::exists(resultFile)) Out() << "Result file: " << resultFile << Qt::endl;
  if (grabbed) Out() << "Main window: " << picture << Qt::endl;
  return lines > 0 && QFileInfo::exists(resultFile) && grabbed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const bool display = HasDisplay();
  if (!display) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS")) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
  }
  const QString outputFolder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("tallowfinch-demo");

  tools::DirectoryServerOptions options;
  options.PageCount = 3;
  options.Lifetime = std::chrono::hours(12);
  tools::DirectoryServer server(options);
  // The directory and the maker's site both live on the loopback server.
  const QString root = server.Url(QString());
  SetDirectoryRoot(root);
  SetDirectoryStaticHost(QStringLiteral("127.0.0.1:%1").arg(server.Port()));
  SetMakerRoot(root);
  const QString firstPage = server.ResultsUrl(QStringLiteral("restaurant"), QStringLiteral("lyon"), 1);

  PrepareProgram();
  QApplication app(argc, argv);
  StartProgram();
  if (!display) {
    const int status = RunOffscreen(firstPage, outputFolder);
    // Closing the main window ends the loop, which releases the windows while
    // the application still exists.
    QTimer::singleShot(0, [] { frmMyBrowser->Close(); });
    Application->Run();
    FinishProgram();
    return status;
  }

  Out() << "The directory imitation answers at " << root << Qt::endl
        << "Tallowfinch opens on its first result page: press \"Capture\"." << Qt::endl;
  frmMyBrowser->edURL->SetText(firstPage);
  if (frmMyBrowser->webbrowser1) frmMyBrowser->webbrowser1->SetURL(firstPage);
  Application->Run();
  FinishProgram();
  return 0;
}
