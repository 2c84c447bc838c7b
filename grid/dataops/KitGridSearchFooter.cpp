// The search footer: the settings applied to the search panel, and the
// grid's handlers behind the panel's events. Finding and narrowing down
// belong to the grid's search; the panel's find next and find previous wait
// for it.

#include <cmath>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridSearchControls.h"
#include "platform/vcl/StdCtrls.h"

namespace {

int TextWidthIn(TFont* Font, const QString& Text) {
  TBitmap measure(1, 1);
  measure.Canvas()->Font()->Assign(Font);
  return measure.Canvas()->TextWidth(Text);
}

}  // namespace

void TKitStringGrid::UpdateSearchFooter() {
  if (FSearchPanel == nullptr || FSearchFooter == nullptr || ComponentState().Contains(csLoading)) return;
  // Showing the panel creates its window, which lays it out and applies the
  // settings again: one pass at a time.
  if (FUpdatingSearchFooter) return;
  FUpdatingSearchFooter = true;
  struct TDone {
    bool& Flag;
    ~TDone() { Flag = false; }
  } done{FUpdatingSearchFooter};

  TSearchFooter* settings = FSearchFooter.get();
  TSearchPanel* panel = FSearchPanel;
  // 1.
  const bool wasShown = panel->Visible();
  panel->SetVisible(settings->Visible());
  if (!panel->HandleAllocated()) return;
  // 2. Highlighted matches go with the panel, or stay always.
  if ((panel->HighLightDown() && wasShown && !settings->Visible()) || settings->AlwaysHighLight()) Invalidate();

  // 3. Colours, captions, edit colours, hints, font.
  const double s = GetDPIScale();
  auto scaled = [s](int v) { return int(std::lround(v * s)); };
  TRetEdit* edit = panel->Edit();
  TKitGridButton* forward = panel->ForwardButton();
  TKitGridButton* backward = panel->BackwardButton();
  TKitGridButton* exit = panel->ExitButton();
  TKitGridButton* hilite = panel->HiliteButton();
  TKitCheckBox* box = panel->MatchCaseBox();
  TLabel* result = panel->ResultLabel();
  panel->SetColor(settings->Color());
  panel->SetColorTo(settings->ColorTo());
  forward->SetCaption(settings->FindNextCaption());
  backward->SetCaption(settings->FindPrevCaption());
  hilite->SetCaption(settings->HighLightCaption());
  box->SetCaption(settings->MatchCaseCaption());
  edit->SetColors(settings->SearchColor(), settings->SearchTextColor());
  const std::pair<TKitGridButton*, QString> hints[] = {{forward, settings->HintFindNext()},
                                                       {backward, settings->HintFindPrev()},
                                                       {exit, settings->HintClose()},
                                                       {hilite, settings->HintHighlight()}};
  for (const auto& [b, hint] : hints) {
    b->SetHint(hint);
    b->SetShowHint(!hint.isEmpty());
  }
  panel->Font()->Assign(settings->Font());
  panel->Font()->SetHeight(int(std::lround(settings->Font()->Height() * s)));

  // 4. The buttons' look follows the grid's control look: flat, styled as
  // the platform's buttons (not flat), or classic; adapting to the theme
  // makes them flat.
  const TControlLook::TControlStyle style = FControlLook->ControlStyle();
  for (TKitGridButton* b : {forward, backward, hilite}) {
    if (settings->AutoThemeAdapt()) {
      b->SetAutoThemeAdapt(true);
      b->SetFlat(true);
    } else if (style == TControlLook::csClassic) {
      b->SetAutoXPStyle(false);
      b->SetFlat(false);
    } else if (style == TControlLook::csWinXP || style == TControlLook::csTheme) {
      b->SetAutoXPStyle(true);
      b->SetFlat(false);
    } else {
      b->SetAutoXPStyle(false);
      b->SetFlat(true);
    }
  }

  // 5. Which controls show: finding needs the search type.
  const bool searching = settings->SearchType() == stSearch;
  hilite->SetVisible(settings->ShowHighLight() && searching);
  exit->SetVisible(settings->ShowClose());
  box->SetVisible(settings->ShowMatchCase());
  box->SetTransparent(true);
  backward->SetVisible(settings->ShowFindPrev() && searching);
  forward->SetVisible(settings->ShowFindNext() && searching);

  // 6. The shown controls flow from the find-next button's place.
  int x = forward->Left();
  for (TKitGridButton* b : {forward, backward, hilite}) {
    if (!b->Visible()) continue;
    b->SetLeft(x);
    x += b->Width() + 8;
  }
  if (box->Visible()) {
    box->SetWidth(TextWidthIn(box->Font(), box->Caption()) + scaled(20));
    box->SetLeft(x);
    x += box->Width() + scaled(10);
  }
  result->SetLeft(x);
  result->SetVisible(settings->ShowResults());

  // 7. Heights.
  for (TKitGridButton* b : {forward, backward, hilite}) b->SetHeight(b->Visible() ? edit->Height() + 2 : 0);
  box->SetHeight(box->Visible() ? scaled(18) : 0);

  // 8. The panel's height and place.
  if (settings->Visible()) {
    panel->SetHeight(GetSearchPanelHeight());
    UpdateSearchPanel();
  } else {
    panel->SetHeight(0);
  }
}

void TKitStringGrid::SearchEditChange(TObject*) {
  const QString text = FSearchPanel->EditText();
  bool defaultSearch = true;
  if (OnSearchEditChange) OnSearchEditChange(this, text, defaultSearch);
  // An emptied box shows in its normal colours again.
  if (text.isEmpty()) FSearchPanel->Edit()->SetColors(FSearchFooter->SearchColor(), FSearchFooter->SearchTextColor());
  // The highlighted matches follow the text.
  if (FSearchPanel->HighLightDown() || FSearchFooter->AlwaysHighLight()) Invalidate();
}

void TKitStringGrid::SearchPanelCloseClick(TObject*) {
  if (OnSearchFooterClose) OnSearchFooterClose(this);
  FSearchFooter->SetVisible(false);
}

void TKitStringGrid::SearchPanelHighlightClick(TObject*) { Invalidate(); }

void TKitStringGrid::SearchPanelMatchCaseClick(TObject* Sender) {
  if (FSearchPanel->HighLightDown()) SearchEditChange(Sender);
}
