#include "app/ProgramStart.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include "app/AppResources.h"
#include "app/uPageAdvance.h"
#include "app/uSplashScreen.h"
#include "app/uTallowfinch2.h"
#include "browser/KitWebBrowser.Win.h"
#include "foundation/KitGDIPlusClasses.h"
#include "foundation/KitXPVS.h"
#include "gdiplus/KitGDIP.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"

namespace {

// The program's icon from its resources; a null icon when it is missing.
QIcon MainIcon() {
  try {
    TResourceStream stream(0, QStringLiteral("MAINICON"), QStringLiteral("RCDATA"));
    QByteArray bytes(int(stream.Size()), Qt::Uninitialized);
    stream.ReadBuffer(bytes.data(), bytes.size());
    return QIcon(QPixmap::fromImage(QImage::fromData(bytes)));
  } catch (const Exception&) {
    return QIcon();
  }
}

}  // namespace

void PrepareProgram(TProcessOptions Options) {
  Options.Engine = true;
  PrepareProcess(Options);
  KitWebBrowserWin::Startup();
}

void StartProgram() {
  // GDI+ through the shared start-up: the run-time binding, then the static
  // one.
  KitGDIPlusClasses::InitializeKitGDIPlusClasses();
  KitGDIP::Initialization();
  // The theme binders and the toolkit's settings (menu animation off for
  // this program while it runs).
  KitToolkit::Initialization();
  InitAppResources();
  QApplication::setWindowIcon(MainIcon());

  Application->Initialize();
  Application->SetTitle(QStringLiteral("Tallowfinch"));
  TStyleManager::TrySetStyle(QStringLiteral("Amethyst Kamri"));
  frmMyBrowser = Application->CreateForm<TfrmMyBrowser>();
  frmSplashScreen = Application->CreateForm<TfrmSplashScreen>();
  fSplashAdvance = Application->CreateForm<TfSplashAdvance>();
}

void FinishProgram() {
  KitToolkit::Finalization();
  KitGDIP::Finalization();
  KitGDIPlusClasses::FinalizeKitGDIPlusClasses();
}
