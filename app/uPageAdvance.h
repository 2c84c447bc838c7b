#pragma once
// The page-progress window: a small dialog, always on top, centred on the
// main window, filled by a smooth progress bar (Advance) showing how far a
// capture run has come through the result pages as a percentage. The
// program creates it at start-up; a capture run shows it while it walks the
// pages and hides it at the end. Its click and close handlers do nothing.

#include "gdiplus/KitSmoothProgressBar.h"
#include "platform/vcl/Forms.h"

class TfSplashAdvance : public TForm {
 public:
  explicit TfSplashAdvance(TComponent* AOwner);
  ~TfSplashAdvance() override;

  TKitSmoothProgressBar* Advance;

  // Page Page of PageCount (0: the count is not known, the page so far is the
  // end of the bar); shows the window when hidden.
  void ShowPage(int Page, int PageCount);
  // Back to the start, hidden.
  void Reset();

  void FormClick(TObject* Sender) {}
  void FormClose(TObject* Sender, TCloseAction& Action) {}
};

// The page-progress window the program entry creates.
extern TfSplashAdvance* fSplashAdvance;
