#pragma once
// The status window: a small borderless window, always on top, centred on
// the desktop, with the program's picture, its title and one line of status
// text (lblMessages). The capture run shows it while a page loads; a click
// on it hides it.

#include <QImage>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

// A windowless control showing one picture at its natural size.
class TSplashPicture : public TGraphicControl {
 public:
  explicit TSplashPicture(TComponent* AOwner);
  const QImage& Picture() const { return FPicture; }
  void SetPicture(const QImage& Value);

 protected:
  void Paint() override;

 private:
  QImage FPicture;
};

class TfrmSplashScreen : public TForm {
 public:
  explicit TfrmSplashScreen(TComponent* AOwner);
  ~TfrmSplashScreen() override;

  TSplashPicture* Image1;
  TLabel* lblTitle;
  TLabel* lblMessages;

  void FormClick(TObject* Sender);
};

// The status window the program entry creates (never shown).
extern TfrmSplashScreen* frmSplashScreen;
