// Tallowfinch against a loopback imitation of the directory (its result
// pages in the directory's present layout), so anyone can try a capture
// without the internet.
//
// With a display: the program opens on the imitation's first result page;
// press "Capture". Without one: a whole capture runs offscreen, the result
// file and a picture of the main window are saved into the output folder
// (first argument, default "tallowfinch-demo") and their paths printed.
//
// For the desktop tests, which drive the demo with real X input: with
// TALLOWFINCH_DEMO_STATE naming a file, the demo keeps there (JSON, updated
// on change) what its windows show and where, in screen coordinates.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextStream>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>

#include "app/ProgramStart.h"
#include "app/SiteHosts.h"
#include "app/uSuperWB.h"
#include "app/uSplashScreen.h"
#include "app/uTallowfinch2.h"
#include "grid/model/KitGrid.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Themes.h"
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

QJsonArray Rect(const QWidget* Widget, const QRect& Local) {
  const QPoint p = Widget->mapToGlobal(Local.topLeft());
  return QJsonArray{p.x(), p.y(), Local.width(), Local.height()};
}

QString ColorName(const QColor& Color) { return Color.name(QColor::HexRgb); }

// The state report for the desktop tests (see the top of the file).
class TStateReport : public QObject {
 public:
  explicit TStateReport(QString FileName) : FFileName(std::move(FileName)) {
    FTimer.setInterval(100);
    QObject::connect(&FTimer, &QTimer::timeout, this, [this] { Write(); });
    FTimer.start();
  }

 private:
  void Write() {
    const QByteArray json = QJsonDocument(State()).toJson(QJsonDocument::Indented);
    if (json == FLast) return;
    QSaveFile file(FFileName);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(json);
    if (file.commit()) FLast = json;
  }

  static QJsonObject State() {
    QJsonObject state;
    state["style"] = TStyleManager::ActiveStyle().Name();
    QWidget* active = QApplication::activeWindow();
    state["activeWindow"] = active ? active->windowTitle() : QString();
    QWidget* modal = QApplication::activeModalWidget();
    state["modal"] = modal ? modal->windowTitle() : QString();
    TfrmMyBrowser* form = frmMyBrowser;
    QWidget* frame = form ? form->WindowFrame() : nullptr;
    if (!frame) return state;
    state["title"] = frame->windowTitle();
    state["window"] = Rect(frame, frame->rect());

    QJsonObject controls;
    for (int i = 0; i < form->ComponentCount(); ++i) {
      auto* c = dynamic_cast<TControl*>(form->Components(i));
      if (!c || c->Name().isEmpty() || !c->Showing()) continue;
      QJsonObject entry;
      if (auto* w = dynamic_cast<TWinControl*>(c)) {
        if (!w->WidgetIfAllocated()) continue;
        entry["rect"] = Rect(w->Widget(), w->Widget()->rect());
      } else if (c->Parent() && c->Parent()->WidgetIfAllocated()) {
        const TPoint p = c->ClientToParent(TPoint(0, 0));
        entry["rect"] = Rect(c->Parent()->Widget(), QRect(p.X, p.Y, c->Width(), c->Height()));
      } else {
        continue;
      }
      entry["caption"] = c->Caption();
      entry["enabled"] = c->Enabled();
      controls[c->Name()] = entry;
    }
    state["controls"] = controls;

    if (auto* memo = qobject_cast<QPlainTextEdit*>(form->mmResults->WidgetIfAllocated())) {
      QScrollBar* bar = memo->verticalScrollBar();
      QJsonObject results;
      results["lines"] = form->mmResults->Lines()->Count();
      results["topLine"] = bar->value();
      results["maxTopLine"] = bar->maximum();
      results["vbar"] = Rect(bar, bar->rect());
      results["viewport"] = Rect(memo->viewport(), memo->viewport()->rect());
      results["focused"] = form->mmResults->Focused();
      results["selected"] = form->mmResults->SelLength();
      results["text"] = ColorName(memo->palette().color(QPalette::Active, QPalette::Text));
      results["disabledText"] = ColorName(memo->palette().color(QPalette::Disabled, QPalette::Text));
      results["base"] = ColorName(memo->palette().color(memo->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                                        QPalette::Base));
      // What the active style gives text and its ground.
      const QPalette style = TStyleManager::ActiveStyle().Palette();
      results["styleText"] = ColorName(style.color(QPalette::Active, QPalette::Text));
      results["styleBase"] = ColorName(style.color(QPalette::Active, QPalette::Base));
      state["results"] = results;
    }

    // The results pane's tabs and, when shown, the grid of the "MS Excel
    // View" tab: its size, position and the cells of its first visible rows.
    if (QWidget* pages = form->PageControl1->WidgetIfAllocated()) {
      QJsonArray tabs;
      for (int i = 0; i < form->PageControl1->PageCount(); ++i) {
        TTabSheet* sheet = form->PageControl1->Pages(i);
        if (sheet->TabIndex() < 0) continue;
        const TRect r = form->PageControl1->TabRect(sheet->TabIndex());
        QJsonObject tab;
        tab["text"] = sheet->Caption();
        tab["rect"] = Rect(pages, QRect(r.Left, r.Top, r.Width(), r.Height()));
        tabs.append(tab);
      }
      state["tabs"] = tabs;
      state["activePage"] = form->PageControl1->ActivePage() ? form->PageControl1->ActivePage()->Name() : QString();
    }
    TKitStringGrid* grid = form->sgExcel;
    if (QWidget* view = grid->WidgetIfAllocated(); view && grid->Showing()) {
      QJsonObject g;
      g["rect"] = Rect(view, view->rect());
      g["rows"] = grid->RowCount();
      g["cols"] = grid->ColCount();
      g["row"] = grid->Row();
      g["col"] = grid->Col();
      g["topRow"] = grid->TopRow();
      g["focused"] = grid->Focused();
      QJsonArray cells;
      for (int r = grid->TopRow(); r < std::min(grid->RowCount(), grid->TopRow() + 5); ++r) {
        for (int c = 0; c < std::min(grid->ColCount(), 3); ++c) {
          const TRect cr = grid->CellRect(c, r);
          QJsonObject cell;
          cell["c"] = c;
          cell["r"] = r;
          cell["text"] = grid->Cells(c, r);
          cell["rect"] = Rect(view, QRect(cr.Left, cr.Top, cr.Width(), cr.Height()));
          cells.append(cell);
        }
      }
      g["cells"] = cells;
      state["grid"] = g;
    }
    if (StatusWindow && StatusWindow->Visible())
      state["statusWindow"] = StatusWindow->lblMessages->Caption();

    auto items = [](QWidget* Container, auto Geometry) {
      QJsonArray list;
      for (QAction* a : Container->actions()) {
        if (!a->isVisible()) continue;
        QJsonObject item;
        item["text"] = a->isSeparator() ? QStringLiteral("-") : a->text().remove(u'&').section(u'\t', 0, 0);
        item["textShown"] = a->text();
        item["separator"] = a->isSeparator();
        item["checked"] = a->isChecked();
        item["rect"] = Rect(Container, Geometry(a));
        list.append(item);
      }
      return list;
    };
    if (QMenuBar* bar = form->MenuBar())
      state["menuBar"] = items(bar, [bar](QAction* a) { return bar->actionGeometry(a); });
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      QJsonObject open;
      open["rect"] = Rect(menu, menu->rect());
      open["items"] = items(menu, [menu](QAction* a) { return menu->actionGeometry(a); });
      state["menu"] = open;
    }
    return state;
  }

  QString FFileName;
  QTimer FTimer;
  QByteArray FLast;
};

}  // namespace

int main(int argc, char** argv) {
  const bool display = HasDisplay();
  const QString outputFolder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("tallowfinch-demo");

  tools::DirectoryServerOptions options;
  options.Layout = tools::DirectoryLayout::Present;
  options.PageCount = 3;
  options.Lifetime = std::chrono::hours(12);
  tools::DirectoryServer server(options);
  // The directory and the maker's site both live on the loopback server.
  const QString root = server.Url(QString());
  SetDirectoryRoot(root);
  SetDirectoryStaticHost(QStringLiteral("127.0.0.1:%1").arg(server.Port()));
  SetMakerRoot(root);
  const QString firstPage = server.ResultsUrl(QStringLiteral("restaurant"), QStringLiteral("lyon"), 1);

  // Without a display: the offscreen platform and an engine without a GPU.
  TProcessOptions process;
  process.Offscreen = !display;
  process.EngineHeadless = !display;
  PrepareProgram(process);
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

  std::unique_ptr<TStateReport> report;
  if (qEnvironmentVariableIsSet("TALLOWFINCH_DEMO_STATE"))
    report = std::make_unique<TStateReport>(qEnvironmentVariable("TALLOWFINCH_DEMO_STATE"));
  Out() << "The directory imitation answers at " << root << Qt::endl
        << "Tallowfinch opens on its first result page: press \"Capture\"." << Qt::endl;
  frmMyBrowser->edURL->SetText(firstPage);
  if (frmMyBrowser->webbrowser1) frmMyBrowser->webbrowser1->SetURL(firstPage);
  Application->Run();
  FinishProgram();
  return 0;
}
