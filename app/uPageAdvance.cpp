#include "app/uPageAdvance.h"

TfSplashAdvance* fSplashAdvance = nullptr;

TfSplashAdvance::TfSplashAdvance(TComponent* AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("fSplashAdvance"));
  SetBorderStyle(bsDialog);
  SetFormStyle(fsStayOnTop);
  SetPosition(poMainFormCenter);
  SetCaption(QStringLiteral("Pagina attuale"));
  SetClientWidth(320);
  SetClientHeight(34);
  OnClick = [this](TObject* Sender) { FormClick(Sender); };
  OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };

  Advance = Create<TKitSmoothProgressBar>(this);
  Advance->SetName(QStringLiteral("Advance"));
  Advance->SetDirection(pbdHorizontal);
  Advance->SetAlign(alClient);
  Advance->Appearance()->SetTransparent(true);
  Advance->Appearance()->SetValueVisible(true);
  Advance->Appearance()->SetValueType(vtPercentage);
  Advance->Appearance()->SetValueFormat(QStringLiteral("%.0f%%"));
  Advance->SetUIStyle(tsWindows10);
  Advance->SetParent(this);
}

TfSplashAdvance::~TfSplashAdvance() {
  if (fSplashAdvance == this) fSplashAdvance = nullptr;
}

void TfSplashAdvance::ShowPage(int Page, int PageCount) {
  if (!Visible()) Show();
  const int count = PageCount > 0 ? std::max(PageCount, Page) : std::max(Page, 1);
  if (Advance->Maximum() != count) Advance->SetMaximum(count);
  Advance->SetPosition(Page);
}

void TfSplashAdvance::Reset() {
  Hide();
  const bool animated = Advance->ProgressAnimation();
  Advance->SetProgressAnimation(false);
  Advance->SetMaximum(100);
  Advance->SetPosition(0);
  Advance->SetProgressAnimation(animated);
}
