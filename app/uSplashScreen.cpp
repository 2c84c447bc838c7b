#include "app/uSplashScreen.h"

#include <QPainter>

#include "app/AppResources.h"
#include "platform/rtl/Streams.h"

TfrmSplashScreen* frmSplashScreen = nullptr;

namespace {
// The picture of a resource, a null image when it is missing or unreadable.
QImage ResourcePicture(const QString& Name) {
  try {
    TResourceStream stream(0, Name, QStringLiteral("RCDATA"));
    QByteArray bytes(int(stream.Size()), Qt::Uninitialized);
    stream.ReadBuffer(bytes.data(), bytes.size());
    return QImage::fromData(bytes);
  } catch (const Exception&) {
    return QImage();
  }
}
}  // namespace

// ---------------------------------------------------------------------------
// TSplashPicture

TSplashPicture::TSplashPicture(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 64, 64); }

void TSplashPicture::SetPicture(const QImage& Value) {
  FPicture = Value;
  Invalidate();
}

void TSplashPicture::Paint() {
  if (FPicture.isNull()) return;
  TBitmap bitmap;
  bitmap.AssignImage(FPicture);
  Canvas()->Draw(0, 0, &bitmap);
}

// ---------------------------------------------------------------------------
// TfrmSplashScreen

TfrmSplashScreen::TfrmSplashScreen(TComponent* AOwner) : TForm(AOwner) {
  InitAppResources();
  SetName(QStringLiteral("frmSplashScreen"));
  SetBorderStyle(bsNone);
  SetBorderWidth(3);
  SetFormStyle(fsStayOnTop);
  SetPosition(poDesktopCenter);
  SetClientWidth(394);
  SetClientHeight(169);
  SetCaption(QStringLiteral("TFN-SplashScreen"));
  OnClick = [this](TObject* Sender) { FormClick(Sender); };

  Image1 = new TSplashPicture(this);
  Image1->SetName(QStringLiteral("Image1"));
  Image1->SetBounds(15, 15, 64, 64);
  Image1->SetPicture(ResourcePicture(QStringLiteral("SPLASHPICTURE")));
  Image1->OnClick = OnClick;
  Image1->SetParent(this);

  lblTitle = new TLabel(this);
  lblTitle->SetName(QStringLiteral("lblTitle"));
  lblTitle->SetCaption(QStringLiteral("Tallowfinch [TFN]"));
  lblTitle->Font()->SetName(QStringLiteral("Tahoma"));
  lblTitle->Font()->SetHeight(-19);
  lblTitle->SetBounds(96, 24, 280, 24);
  lblTitle->OnClick = OnClick;
  lblTitle->SetParent(this);

  lblMessages = new TLabel(this);
  lblMessages->SetName(QStringLiteral("lblMessages"));
  lblMessages->SetAutoSize(false);
  lblMessages->SetWordWrap(true);
  lblMessages->SetCaption(QStringLiteral("Initializing..."));
  lblMessages->Font()->SetName(QStringLiteral("Tahoma"));
  lblMessages->Font()->SetHeight(-11);
  lblMessages->SetBounds(96, 64, 280, 90);
  lblMessages->OnClick = OnClick;
  lblMessages->SetParent(this);
}

TfrmSplashScreen::~TfrmSplashScreen() {
  if (frmSplashScreen == this) frmSplashScreen = nullptr;
}

void TfrmSplashScreen::FormClick(TObject*) { Hide(); }
