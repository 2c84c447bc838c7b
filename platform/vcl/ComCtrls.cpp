// Page controls, tool bars, cool bars, status bars and progress bars.

#include "platform/vcl/ComCtrls.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/win32/Gdi.h"

namespace ComCtrlsConsts {
inline constexpr const char* SPropertyOutOfRange = "%s property out of range";
}  // namespace ComCtrlsConsts

namespace {

TColor StyleColor(TColor Color) { return StyleServices().GetSystemColor(Color); }

int StartRepaintOnStyleChange(TControl* Control) {
  return TStyleManager::AddStyleChangeListener([Control] { Control->Invalidate(); });
}

RECT ToRECT(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }

bool ValidImage(const TCustomImageList* Images, TImageIndex Index) {
  return Images && Index >= 0 && Index < Images->Count();
}

// Text measured with a control's canvas; the canvas lets go of a DC it made
// for the purpose (outside painting it would hold the window's buffer).
TSize MeasureText(TCanvas* Canvas, bool Painting, const QString& Text) {
  const TSize size = Canvas->TextExtent(Text.isEmpty() ? QStringLiteral("Ag") : Text);
  if (!Painting) static_cast<TControlCanvas*>(Canvas)->FreeHandle();
  return Text.isEmpty() ? TSize{0, size.cy} : size;
}

void DrawCaption(TCanvas* Canvas, TRect Rect, const QString& Text, TColor Color, TTextFormat Format) {
  if (Text.isEmpty() || Rect.Width() <= 0 || Rect.Height() <= 0) return;
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Font()->SetColor(Color);
  QString text = Text;
  Canvas->TextRect(Rect, text, Format + TTextFormat{tfSingleLine, tfVerticalCenter});
}

void Line(TCanvas* Canvas, TColor Color, int X1, int Y1, int X2, int Y2) {
  Canvas->Pen()->SetColor(Color);
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

void Fill(TCanvas* Canvas, const TRect& Rect, TColor Color) {
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Color);
  Canvas->FillRect(Rect);
}

}  // namespace

// ---------------------------------------------------------------------------
// TTabSheet

TF_PUBLISHED(TTabSheet, TComponent) {
  return PublishedWinControl<TTabSheet>()
      .String("Caption", &TTabSheet::Caption, &TTabSheet::SetCaption)
      .Integer("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex).TypeName("TImageIndex").Default(-1)
      .Object("PageControl", &TTabSheet::PageControl, &TTabSheet::SetPageControl).Stored(false)
      .Integer("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex).Stored(false)
      .Boolean("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(true)
      .Event("OnShow", &TTabSheet::OnShow)
      .Event("OnHide", &TTabSheet::OnHide);
}

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle.Include(csAcceptsControls);
  FVisible = false;
  FAlign = alClient;
}

TTabSheet::~TTabSheet() {
  Destroying();
  if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
  if (FPageControl == Value) return;
  SetParent(Value);
}

int TTabSheet::PageIndex() const { return FPageControl ? int(FPageControl->FPages.indexOf(const_cast<TTabSheet*>(this))) : -1; }

void TTabSheet::SetPageIndex(int Value) {
  if (FPageControl) FPageControl->MovePage(this, Value);
}

void TTabSheet::SetTabVisible(bool Value) {
  if (FTabVisible == Value) return;
  FTabVisible = Value;
  if (FPageControl) FPageControl->TabsChanged();
}

int TTabSheet::TabIndex() const {
  if (!FPageControl || !FTabVisible) return -1;
  return int(FPageControl->ShownPages().indexOf(const_cast<TTabSheet*>(this)));
}

void TTabSheet::SetImageIndex(TImageIndex Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  if (FPageControl) FPageControl->TabsChanged();
}

TF_MESSAGE_MAP(TTabSheet, TWinControl) {
  return {
      TF_MESSAGE(CM_TEXTCHANGED, CMTextChanged),
  };
}

void TTabSheet::CMTextChanged(TMessage& Message) {
  Inherited<TWinControl>(Message);
  if (FPageControl) FPageControl->TabsChanged();
}

// ---------------------------------------------------------------------------
// TPageControl

TF_PUBLISHED(TPageControl, TComponent) {
  return PublishedWinControl<TPageControl>()
      .Object("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage)
      .Object("Images", &TPageControl::Images, &TPageControl::SetImages)
      .Integer("TabHeight", &TPageControl::TabHeight, &TPageControl::SetTabHeight).Default(0)
      .Integer("TabWidth", &TPageControl::TabWidth, &TPageControl::SetTabWidth).Default(0)
      .Event("OnChange", &TPageControl::OnChange)
      .Event("OnChanging", &TPageControl::OnChanging);
}

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FWidth = 289;
  FHeight = 193;
  FTabStop = true;
  FStyleListener = StartRepaintOnStyleChange(this);
}

TPageControl::~TPageControl() {
  Destroying();
  TStyleManager::RemoveStyleChangeListener(FStyleListener);
  // The pages go with their parent; they need not find their page control.
  for (TTabSheet* page : FPages) page->FPageControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const {
  if (Index < 0 || Index >= FPages.size()) throw EListError(Format(RtlConsts::SListIndexError, {Index}));
  return FPages[Index];
}

void TPageControl::InsertPage(TTabSheet* Page) {
  if (FPages.contains(Page)) return;
  FPages.append(Page);
  Page->FPageControl = this;
  Page->SetVisible(false);
  // The first page of an empty page control is the one shown.
  if (!FActivePage) ChangeActivePage(Page);
  TabsChanged();
}

void TPageControl::RemovePage(TTabSheet* Page) {
  if (!FPages.contains(Page)) return;
  TTabSheet* next = nullptr;
  if (Page == FActivePage) {
    next = FindNextPage(Page, true, true);
    if (next == Page) next = nullptr;
  }
  FPages.removeOne(Page);
  Page->FPageControl = nullptr;
  if (Page == FActivePage) {
    FActivePage = nullptr;
    if (!ComponentState().Contains(csDestroying)) ChangeActivePage(next);
  }
  TabsChanged();
}

void TPageControl::MovePage(TTabSheet* Page, int Index) {
  const qsizetype from = FPages.indexOf(Page);
  if (from < 0) return;
  FPages.move(from, std::clamp<qsizetype>(Index, 0, FPages.size() - 1));
  TabsChanged();
}

QList<TTabSheet*> TPageControl::ShownPages() const {
  QList<TTabSheet*> list;
  for (TTabSheet* p : FPages)
    if (p->TabVisible()) list.append(p);
  return list;
}

int TPageControl::TabCount() const { return int(ShownPages().size()); }

void TPageControl::SetActivePage(TTabSheet* Value) {
  if (Value && Value->FPageControl != this) return;
  ChangeActivePage(Value);
}

int TPageControl::ActivePageIndex() const { return FActivePage ? int(FPages.indexOf(FActivePage)) : -1; }

void TPageControl::SetActivePageIndex(int Value) {
  SetActivePage(Value >= 0 && Value < FPages.size() ? FPages[Value] : nullptr);
}

int TPageControl::TabIndex() const { return FActivePage ? FActivePage->TabIndex() : -1; }

void TPageControl::SetTabIndex(int Value) {
  const QList<TTabSheet*> shown = ShownPages();
  if (Value >= 0 && Value < shown.size()) SetActivePage(shown[Value]);
}

void TPageControl::ChangeActivePage(TTabSheet* Page) {
  if (FActivePage == Page) return;
  TTabSheet* old = FActivePage;
  TCustomForm* form = GetParentForm(this);
  const bool focusInside = form && old && form->ActiveControl() && old->ContainsControl(form->ActiveControl()) &&
                           form->ActiveControl() != old;
  FActivePage = Page;
  if (Page) {
    Page->BringToFront();
    Page->SetVisible(true);
    if (Page->OnShow) Page->OnShow(Page);
  }
  if (old && old->FPageControl == this) {
    old->SetVisible(false);
    if (old->OnHide) old->OnHide(old);
  }
  // The focus leaves a page that goes away for the tabs.
  if (focusInside && CanFocus()) SetFocus();
  Realign();
  Invalidate();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const {
  const qsizetype n = FPages.size();
  if (n == 0) return nullptr;
  qsizetype start = FPages.indexOf(CurPage);
  if (start < 0) start = GoForward ? n - 1 : 0;
  qsizetype i = start;
  do {
    i = GoForward ? (i + 1) % n : (i + n - 1) % n;
    if (!CheckTabVisible || FPages[i]->TabVisible()) return FPages[i];
  } while (i != start);
  return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
  TTabSheet* page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
  if (page && page != FActivePage) UserSelect(page);
}

void TPageControl::UserSelect(TTabSheet* Page) {
  if (Page == FActivePage || !CanChange()) return;
  ChangeActivePage(Page);
  Change();
}

bool TPageControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TPageControl::Change() {
  if (OnChange) OnChange(this);
}

void TPageControl::SetTabHeight(int Value) {
  if (FTabHeight == Value) return;
  FTabHeight = std::max(Value, 0);
  TabsChanged();
}

void TPageControl::SetTabWidth(int Value) {
  if (FTabWidth == Value) return;
  FTabWidth = std::max(Value, 0);
  TabsChanged();
}

void TPageControl::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages) FImages->FreeNotification(this);
  TabsChanged();
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) {
    FImages = nullptr;
    if (!ComponentState().Contains(csDestroying)) TabsChanged();
  }
}

void TPageControl::TabsChanged() {
  if (ComponentState().Contains(csDestroying)) return;
  FHotTab = -1;
  Realign();
  Invalidate();
}

int TPageControl::StripHeight() const {
  if (FTabHeight > 0) return FTabHeight + 2;
  auto* self = const_cast<TPageControl*>(this);
  int h = MeasureText(self->Canvas(), PaintDC() != nullptr, QString()).cy + 8;
  if (FImages) h = std::max(h, FImages->Height() + 6);
  return h + 2;
}

QList<TRect> TPageControl::TabRects() const {
  QList<TRect> rects;
  auto* self = const_cast<TPageControl*>(this);
  const int height = StripHeight() - 2;
  int x = 2;
  for (TTabSheet* page : ShownPages()) {
    int w = FTabWidth;
    if (w <= 0) {
      w = MeasureText(self->Canvas(), PaintDC() != nullptr, StripHotkey(page->Caption())).cx + 12;
      if (ValidImage(FImages, page->ImageIndex())) w += FImages->Width() + 4;
    }
    rects.append(TRect(x, 2, x + w, 2 + height));
    x += w;
  }
  return rects;
}

TRect TPageControl::TabRect(int Index) const {
  const QList<TRect> rects = TabRects();
  return Index >= 0 && Index < rects.size() ? rects[Index] : TRect();
}

int TPageControl::IndexOfTabAt(int X, int Y) const {
  const QList<TRect> rects = TabRects();
  for (int i = 0; i < rects.size(); ++i)
    if (rects[i].Contains(TPoint(X, Y))) return i;
  return -1;
}

TRect TPageControl::DisplayRect() const {
  const int top = StripHeight();
  return TRect(3, top + 3, std::max(3, FWidth - 3), std::max(top + 3, FHeight - 3));
}

void TPageControl::AlignControls(TControl* AControl, TRect& Rect) {
  Rect = DisplayRect();
  TCustomControl::AlignControls(AControl, Rect);
}

TF_MESSAGE_MAP(TPageControl, TWinControl) {
  return {
      TF_MESSAGE(CM_CONTROLLISTCHANGE, CMControlListChange),
      TF_MESSAGE(WM_GETDLGCODE, WMGetDlgCode),
      TF_MESSAGE(CM_DIALOGKEY, CMDialogKey),
      TF_MESSAGE(CM_MOUSELEAVE, CMMouseLeave),
      TF_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged),
  };
}

void TPageControl::CMControlListChange(TMessage& Message) {
  auto* control = reinterpret_cast<TControl*>(Message.WParam);
  if (auto* page = dynamic_cast<TTabSheet*>(control)) {
    if (Message.LParam) InsertPage(page);
    else RemovePage(page);
  }
  Inherited<TCustomControl>(Message);
}

void TPageControl::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

void TPageControl::CMDialogKey(TMessage& Message) {
  TWinControl* focus = FindControl(GetFocus());
  if (Message.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 && focus && ContainsControl(focus)) {
    SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
    Message.Result = 1;
    return;
  }
  TCustomControl::CMDialogKey(Message);
}

void TPageControl::CMMouseLeave(TMessage& Message) {
  if (FHotTab != -1) {
    FHotTab = -1;
    Invalidate();
  }
  TCustomControl::CMMouseLeave(Message);
}

void TPageControl::CMEnabledChanged(TMessage& Message) {
  Invalidate();
  Inherited<TCustomControl>(Message);
}

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    const int tab = IndexOfTabAt(X, Y);
    if (tab >= 0) {
      if (CanFocus() && !Focused()) SetFocus();
      UserSelect(ShownPages()[tab]);
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TPageControl::MouseMove(TShiftState Shift, int X, int Y) {
  const int tab = IndexOfTabAt(X, Y);
  if (tab != FHotTab) {
    FHotTab = tab;
    Invalidate();
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TPageControl::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (!Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt)) {
    if (Key == VK_LEFT || Key == VK_UP) {
      SelectNextPage(false);
      Key = 0;
    } else if (Key == VK_RIGHT || Key == VK_DOWN) {
      SelectNextPage(true);
      Key = 0;
    }
  }
}

void TPageControl::Paint() {
  TCanvas* c = Canvas();
  TCustomStyleServices& style = StyleServices();
  Fill(c, ClientRect(), StyleColor(clBtnFace));
  const int strip = StripHeight();
  style.DrawElement(c->Handle(), style.GetElementDetails(ttPane), RECT{0, strip, FWidth, FHeight});
  const QList<TTabSheet*> shown = ShownPages();
  const QList<TRect> rects = TabRects();
  const int selected = TabIndex();
  auto drawTab = [&](int i) {
    const bool sel = i == selected;
    TThemedTab state = ttTabItemNormal;
    TStyleFont font = sfTabTextInactiveNormal;
    if (!Enabled()) {
      state = ttTabItemDisabled;
      font = sfTabTextInactiveDisabled;
    } else if (sel) {
      state = ttTabItemSelected;
      font = sfTabTextActiveNormal;
    } else if (i == FHotTab) {
      state = ttTabItemHot;
      font = sfTabTextInactiveHot;
    }
    TRect r = rects[i];
    if (sel) r = TRect(r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 1);
    style.DrawElement(c->Handle(), style.GetElementDetails(state), ToRECT(r));
    TRect content = r;
    content.Left += 6;
    if (ValidImage(FImages, shown[i]->ImageIndex())) {
      FImages->Draw(c, content.Left, r.Top + (r.Height() - FImages->Height()) / 2, shown[i]->ImageIndex(),
                    Enabled());
      content.Left += FImages->Width() + 4;
      DrawCaption(c, content, shown[i]->Caption(), style.GetStyleFontColor(font), TTextFormat{tfLeft});
    } else {
      content.Right -= 6;
      DrawCaption(c, content, shown[i]->Caption(), style.GetStyleFontColor(font), TTextFormat{tfCenter});
    }
  };
  for (int i = 0; i < rects.size(); ++i)
    if (i != selected) drawTab(i);
  if (selected >= 0 && selected < rects.size()) drawTab(selected);
}

// ---------------------------------------------------------------------------
// TToolButton

TF_PUBLISHED(TToolButton, TComponent) {
  return PublishedControl<TToolButton>()
      .Boolean("AllowAllUp", &TToolButton::AllowAllUp, &TToolButton::SetAllowAllUp).Default(false)
      .String("Caption", &TToolButton::Caption, &TToolButton::SetCaption)
      .Boolean("Down", &TToolButton::Down, &TToolButton::SetDown).Default(false)
      .Object("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu)
      .Boolean("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped).Default(false)
      .Integer("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).TypeName("TImageIndex").Default(-1)
      .Object("MenuItem", &TToolButton::MenuItem, &TToolButton::SetMenuItem)
      .Enum("Style", &TToolButton::Style, &TToolButton::SetStyle).Default(tbsButton)
      .Boolean("Wrap", &TToolButton::Wrap, &TToolButton::SetWrap).Default(false);
}

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  // A quick second click is another click.
  FControlStyle.Exclude(csDoubleClicks);
  FWidth = 23;
  FHeight = 22;
}

TToolButton::~TToolButton() { Destroying(); }

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(FParent); }

int TToolButton::Index() const {
  TToolBar* bar = ToolBar();
  return bar ? int(bar->FItems.indexOf(const_cast<TToolButton*>(this))) : -1;
}

void TToolButton::Changed(bool Relayout) {
  if (ComponentState().Contains(csDestroying)) return;
  if (TToolBar* bar = ToolBar(); bar && Relayout) bar->Changed();
  Invalidate();
}

void TToolButton::SetStyle(TToolButtonStyle Value) {
  if (FStyle == Value) return;
  const bool wasSeparator = IsSeparator();
  FStyle = Value;
  if (IsSeparator() && !wasSeparator) SetWidth(8);
  Changed(true);
}

QList<TToolButton*> TToolButton::Group() const {
  QList<TToolButton*> group;
  TToolBar* bar = ToolBar();
  auto inGroup = [](TControl* c) {
    auto* b = dynamic_cast<TToolButton*>(c);
    return b && b->FGrouped && b->FStyle == tbsCheck ? b : nullptr;
  };
  if (!bar || !inGroup(const_cast<TToolButton*>(this))) return {const_cast<TToolButton*>(this)};
  const qsizetype at = bar->FItems.indexOf(const_cast<TToolButton*>(this));
  qsizetype first = at;
  while (first > 0 && inGroup(bar->FItems[first - 1])) --first;
  for (qsizetype i = first; i < bar->FItems.size(); ++i) {
    TToolButton* b = inGroup(bar->FItems[i]);
    if (!b) break;
    group.append(b);
  }
  return group;
}

void TToolButton::SetDown(bool Value) {
  if (FDown == Value) return;
  FDown = Value;
  if (Value && FGrouped && FStyle == tbsCheck)
    for (TToolButton* other : Group())
      if (other != this && other->FDown) {
        other->FDown = false;
        other->Invalidate();
      }
  Invalidate();
}

void TToolButton::SetGrouped(bool Value) {
  if (FGrouped == Value) return;
  FGrouped = Value;
  if (FDown && FGrouped) {
    FDown = false;
    SetDown(true);
  }
}

void TToolButton::SetAllowAllUp(bool Value) {
  for (TToolButton* b : Group()) b->FAllowAllUp = Value;
  FAllowAllUp = Value;
}

void TToolButton::SetImageIndex(TImageIndex Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Changed(true);
}

void TToolButton::SetWrap(bool Value) {
  if (FWrap == Value) return;
  FWrap = Value;
  Changed(true);
}

void TToolButton::SetDropdownMenu(TPopupMenu* Value) {
  if (FDropdownMenu == Value) return;
  if (FDropdownMenu) FDropdownMenu->RemoveFreeNotification(this);
  FDropdownMenu = Value;
  if (FDropdownMenu) FDropdownMenu->FreeNotification(this);
}

void TToolButton::SetMenuItem(TMenuItem* Value) {
  if (FMenuItem == Value) return;
  if (FMenuItem) FMenuItem->RemoveFreeNotification(this);
  FMenuItem = Value;
  if (!FMenuItem) return;
  FMenuItem->FreeNotification(this);
  SetCaption(FMenuItem->Caption());
  SetHint(FMenuItem->Hint());
  SetImageIndex(FMenuItem->ImageIndex());
  SetDown(FMenuItem->Checked());
  SetEnabled(FMenuItem->Enabled());
  SetVisible(FMenuItem->Visible());
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FDropdownMenu) FDropdownMenu = nullptr;
  if (AComponent == FMenuItem) FMenuItem = nullptr;
}

void TToolButton::Click() {
  if (!OnClick && FMenuItem) {
    FMenuItem->Click();
    return;
  }
  TGraphicControl::Click();
}

TRect TToolButton::DropDownRect() const {
  if (FStyle != tbsDropDown) return TRect();
  return TRect(std::max(0, FWidth - 14), 0, FWidth, FHeight);
}

bool TToolButton::CheckMenuDropdown() {
  if (!FDropdownMenu) return false;
  const TPoint at = ClientToScreen(TPoint(0, FHeight));
  FDropdownMenu->SetPopupComponent(this);
  FDropdownMenu->Popup(at.X, at.Y);
  return true;
}

TF_MESSAGE_MAP(TToolButton, TGraphicControl) {
  return {
      TF_MESSAGE(WM_LBUTTONDOWN, WMLButtonDown),
      TF_MESSAGE(WM_LBUTTONDBLCLK, WMLButtonDblClk),
      TF_MESSAGE(WM_LBUTTONUP, WMLButtonUp),
      TF_MESSAGE(CM_MOUSEENTER, CMMouseEnter),
      TF_MESSAGE(CM_MOUSELEAVE, CMMouseLeave),
      TF_MESSAGE(CM_TEXTCHANGED, CMTextChanged),
      TF_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged),
  };
}

bool TToolButton::PressAt(TMessage& Message) {
  TWMMouse m(Message);
  if (IsSeparator()) return true;
  if (FStyle == tbsDropDown && DropDownRect().Contains(TPoint(m.XPos(), m.YPos()))) {
    // The arrow opens the menu at once; without one it clicks.
    FHot = false;
    Invalidate();
    if (!CheckMenuDropdown()) Click();
    return true;
  }
  FPressed = true;
  Invalidate();
  return false;
}

void TToolButton::WMLButtonDown(TMessage& Message) {
  if (!PressAt(Message)) TGraphicControl::WMLButtonDown(Message);
}

void TToolButton::WMLButtonDblClk(TMessage& Message) {
  if (!PressAt(Message)) TGraphicControl::WMLButtonDblClk(Message);
}

void TToolButton::WMLButtonUp(TMessage& Message) {
  TWMMouse m(Message);
  const TPoint p(m.XPos(), m.YPos());
  if (FPressed && ClientRect().Contains(p) && FStyle == tbsCheck) {
    bool allUp = FAllowAllUp;
    for (TToolButton* b : Group()) allUp = allUp || b->FAllowAllUp;
    if (!FDown) SetDown(true);
    else if (!FGrouped || allUp) SetDown(false);
  }
  FPressed = false;
  Invalidate();
  TGraphicControl::WMLButtonUp(Message);
}

void TToolButton::CMMouseEnter(TMessage& Message) {
  FHot = true;
  Invalidate();
  TGraphicControl::CMMouseEnter(Message);
}

void TToolButton::CMMouseLeave(TMessage& Message) {
  FHot = false;
  Invalidate();
  TGraphicControl::CMMouseLeave(Message);
}

void TToolButton::CMTextChanged(TMessage& Message) {
  Changed(true);
  Inherited<TGraphicControl>(Message);
}

void TToolButton::CMEnabledChanged(TMessage& Message) {
  Invalidate();
  Inherited<TGraphicControl>(Message);
}

void TToolButton::Paint() {
  TToolBar* bar = ToolBar();
  TCanvas* c = Canvas();
  TCustomStyleServices& style = StyleServices();
  const TRect all(0, 0, FWidth, FHeight);
  if (IsSeparator()) {
    if (FStyle == tbsDivider || (bar && bar->Flat())) {
      const int x = FWidth / 2 - 1;
      Line(c, StyleColor(clBtnShadow), x, 2, x, FHeight - 2);
      Line(c, StyleColor(clBtnHighlight), x + 1, 2, x + 1, FHeight - 2);
    }
    return;
  }
  const bool enabled = Enabled() && (!bar || bar->Enabled());
  const bool pressed = FPressed && MouseCapture();
  const bool flat = !bar || bar->Flat();
  TRect main = all;
  const TRect arrow = DropDownRect();
  if (FStyle == tbsDropDown) main.Right = arrow.Left;

  auto frame = [&](const TRect& r) {
    if (flat) {
      TThemedToolBar state = ttbButtonNormal;
      if (!enabled) state = ttbButtonDisabled;
      else if (FDown) state = FHot ? ttbButtonCheckedHot : ttbButtonChecked;
      else if (pressed) state = ttbButtonPressed;
      else if (FHot) state = ttbButtonHot;
      style.DrawElement(c->Handle(), style.GetElementDetails(state), ToRECT(r));
    } else {
      TThemedButton state = tbPushButtonNormal;
      if (!enabled) state = tbPushButtonDisabled;
      else if (FDown || pressed) state = tbPushButtonPressed;
      else if (FHot) state = tbPushButtonHot;
      style.DrawElement(c->Handle(), style.GetElementDetails(state), ToRECT(r));
    }
  };
  frame(main);
  if (FStyle == tbsDropDown) {
    frame(arrow);
    const int cx = arrow.Left + arrow.Width() / 2;
    const int cy = FHeight / 2;
    const TColor ink = style.GetStyleFontColor(enabled ? sfToolItemTextNormal : sfToolItemTextDisabled);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(ink);
    c->Pen()->SetColor(ink);
    c->Polygon({TPoint(cx - 3, cy - 1), TPoint(cx + 3, cy - 1), TPoint(cx, cy + 2)});
  }

  TCustomImageList* images = bar ? bar->Images() : nullptr;
  if (bar && !enabled && bar->DisabledImages()) images = bar->DisabledImages();
  else if (bar && FHot && enabled && bar->HotImages()) images = bar->HotImages();
  const bool hasImage = ValidImage(images, FImageIndex);
  const int imgW = hasImage ? images->Width() : 0;
  const int imgH = hasImage ? images->Height() : 0;
  const QString caption = bar && bar->ShowCaptions() ? Caption() : QString();
  TStyleFont font = sfToolItemTextNormal;
  if (!enabled) font = sfToolItemTextDisabled;
  else if (FDown) font = sfToolItemTextSelected;
  else if (FHot) font = sfToolItemTextHot;
  const TColor ink = style.GetStyleFontColor(font);
  const int shift = pressed || FDown ? 1 : 0;
  if (bar && bar->List()) {
    int x = main.Left + 4 + shift;
    if (hasImage) {
      images->Draw(c, x, (FHeight - imgH) / 2 + shift, FImageIndex, enabled);
      x += imgW + 4;
    }
    DrawCaption(c, TRect(x, main.Top + shift, main.Right - 2, main.Bottom + shift), caption, ink, TTextFormat{tfLeft});
  } else {
    const int textH = caption.isEmpty() ? 0 : c->TextHeight(caption);
    const int gap = hasImage && textH ? 2 : 0;
    const int top = (FHeight - (imgH + gap + textH)) / 2 + shift;
    if (hasImage) images->Draw(c, main.Left + (main.Width() - imgW) / 2 + shift, top, FImageIndex, enabled);
    DrawCaption(c, TRect(main.Left + 2 + shift, top + imgH + gap, main.Right - 2 + shift, top + imgH + gap + textH),
                caption, ink, TTextFormat{tfCenter});
  }
}

// ---------------------------------------------------------------------------
// TToolBar

TF_PUBLISHED(TToolBar, TComponent) {
  return PublishedWinControl<TToolBar>()
      .Boolean("AutoSize", &TToolBar::AutoSize, &TToolBar::SetAutoSize).Default(false)
      .Integer("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight).Default(22)
      .Integer("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth).Default(23)
      .Object("DisabledImages", &TToolBar::DisabledImages, &TToolBar::SetDisabledImages)
      .Boolean("Flat", &TToolBar::Flat, &TToolBar::SetFlat).Default(true)
      .Object("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages)
      .Object("Images", &TToolBar::Images, &TToolBar::SetImages)
      .Integer("Indent", &TToolBar::Indent, &TToolBar::SetIndent).Default(0)
      .Boolean("List", &TToolBar::List, &TToolBar::SetList).Default(false)
      .Boolean("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).Default(false)
      .Boolean("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable).Default(true);
}

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FWidth = 150;
  FHeight = 29;
  FAlign = alTop;
  FStyleListener = StartRepaintOnStyleChange(this);
}

TToolBar::~TToolBar() {
  Destroying();
  TStyleManager::RemoveStyleChangeListener(FStyleListener);
}

int TToolBar::ButtonCount() const {
  int n = 0;
  for (TControl* c : FItems)
    if (dynamic_cast<TToolButton*>(c)) ++n;
  return n;
}

TToolButton* TToolBar::Buttons(int Index) const {
  int n = 0;
  for (TControl* c : FItems)
    if (auto* b = dynamic_cast<TToolButton*>(c)) {
      if (n == Index) return b;
      ++n;
    }
  throw EListError(Format(RtlConsts::SListIndexError, {Index}));
}

void TToolBar::Changed() {
  if (ComponentState().Contains(csDestroying)) return;
  Realign();
  Invalidate();
}

void TToolBar::SetButtonWidth(int Value) {
  if (FButtonWidth == Value) return;
  FButtonWidth = std::max(Value, 0);
  Changed();
}

void TToolBar::SetButtonHeight(int Value) {
  if (FButtonHeight == Value) return;
  FButtonHeight = std::max(Value, 0);
  Changed();
}

namespace {
void SwapImageList(TComponent* Self, TCustomImageList*& Field, TCustomImageList* Value) {
  if (Field) Field->RemoveFreeNotification(Self);
  Field = Value;
  if (Field) Field->FreeNotification(Self);
}
}  // namespace

void TToolBar::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  SwapImageList(this, FImages, Value);
  Changed();
}

void TToolBar::SetDisabledImages(TCustomImageList* Value) {
  if (FDisabledImages == Value) return;
  SwapImageList(this, FDisabledImages, Value);
  Changed();
}

void TToolBar::SetHotImages(TCustomImageList* Value) {
  if (FHotImages == Value) return;
  SwapImageList(this, FHotImages, Value);
  Changed();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  bool changed = false;
  for (TCustomImageList** list : {&FImages, &FDisabledImages, &FHotImages})
    if (*list == AComponent) {
      *list = nullptr;
      changed = true;
    }
  if (changed) Changed();
}

void TToolBar::SetShowCaptions(bool Value) {
  if (FShowCaptions == Value) return;
  FShowCaptions = Value;
  Changed();
}

void TToolBar::SetList(bool Value) {
  if (FList == Value) return;
  FList = Value;
  Changed();
}

void TToolBar::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  Changed();
}

void TToolBar::SetWrapable(bool Value) {
  if (FWrapable == Value) return;
  FWrapable = Value;
  Changed();
}

void TToolBar::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  Changed();
}

void TToolBar::SetIndent(int Value) {
  if (FIndent == Value) return;
  FIndent = std::max(Value, 0);
  Changed();
}

TSize TToolBar::ButtonSizeOf(const TToolButton* Button) {
  const bool painting = PaintDC() != nullptr;
  const int imgW = FImages ? FImages->Width() : 0;
  const int imgH = FImages ? FImages->Height() : 0;
  int w = FButtonWidth;
  int h = FButtonHeight;
  const QString caption = FShowCaptions ? Button->Caption() : QString();
  if (!caption.isEmpty()) {
    const TSize text = MeasureText(Canvas(), painting, StripHotkey(caption));
    if (FList) {
      w = std::max(w, 4 + imgW + (imgW ? 4 : 0) + text.cx + 6);
      h = std::max(h, std::max(imgH, text.cy) + 6);
    } else {
      w = std::max(w, std::max(imgW, text.cx) + 8);
      h = std::max(h, imgH + (imgH ? 2 : 0) + text.cy + 8);
    }
  } else {
    if (FImages) w = std::max(w, imgW + 7);
    h = std::max(h, imgH + 6);
  }
  return TSize{w, h};
}

void TToolBar::AlignControls(TControl* AControl, TRect& Rect) {
  TCustomControl::AlignControls(AControl, Rect);
  if (FLayingOut) return;
  FLayingOut = true;
  struct TPlace {
    TControl* Control;
    TSize Size;
  };
  std::vector<TPlace> places;
  int buttonHeight = 0;
  int uniformWidth = 0;
  for (TControl* c : FItems) {
    if (!c->Visible() || c->Align() != alNone) continue;
    auto* b = dynamic_cast<TToolButton*>(c);
    TSize size{c->Width(), c->Height()};
    if (b && !b->IsSeparator()) {
      size = ButtonSizeOf(b);
      buttonHeight = std::max(buttonHeight, size.cy);
      if (!FList) uniformWidth = std::max(uniformWidth, size.cx);
    }
    places.push_back({c, size});
  }
  if (buttonHeight == 0) buttonHeight = FButtonHeight;
  const int left = Rect.Left + FIndent;
  int x = left;
  int y = Rect.Top;
  int rowHeight = 0;
  int rows = places.empty() ? 0 : 1;
  bool breakAfter = false;
  for (TPlace& p : places) {
    auto* b = dynamic_cast<TToolButton*>(p.Control);
    TSize size = p.Size;
    if (b) {
      if (!b->IsSeparator() && !FList) size.cx = uniformWidth;
      if (b->Style() == tbsDropDown) size.cx += 14;
      size.cy = buttonHeight;
    }
    if (x > left && (breakAfter || (FWrapable && x + size.cx > Rect.Right))) {
      y += rowHeight;
      x = left;
      rowHeight = 0;
      ++rows;
    }
    const int top = b ? y : y + std::max(0, (buttonHeight - size.cy) / 2);
    p.Control->SetBounds(x, top, size.cx, size.cy);
    x += size.cx;
    rowHeight = std::max(rowHeight, b ? size.cy : std::max(size.cy, buttonHeight));
    breakAfter = b && b->Wrap();
  }
  FRowCount = rows;
  if (FAutoSize && rows > 0) {
    const int needed = (y + rowHeight - Rect.Top) + (FHeight - Rect.Height());
    if (needed != FHeight) SetHeight(needed);
  }
  FLayingOut = false;
}

TF_MESSAGE_MAP(TToolBar, TWinControl) {
  return {
      TF_MESSAGE(CM_CONTROLLISTCHANGE, CMControlListChange),
  };
}

void TToolBar::CMControlListChange(TMessage& Message) {
  auto* control = reinterpret_cast<TControl*>(Message.WParam);
  if (Message.LParam) {
    if (!FItems.contains(control)) FItems.append(control);
  } else {
    FItems.removeOne(control);
  }
  Inherited<TCustomControl>(Message);
  Changed();
}

void TToolBar::Paint() {
  Fill(Canvas(), ClientRect(), StyleColor(clBtnFace));
}

// ---------------------------------------------------------------------------
// TCoolBand, TCoolBands and TCoolBar

TF_PUBLISHED(TCoolBand, TCollectionItem) {
  return TPublished<TCoolBand>()
      .Boolean("Break", &TCoolBand::Break, &TCoolBand::SetBreak).Default(true)
      .Integer("MinHeight", &TCoolBand::MinHeight, &TCoolBand::SetMinHeight).Default(25)
      .String("Text", &TCoolBand::Text, &TCoolBand::SetText)
      .Boolean("Visible", &TCoolBand::Visible, &TCoolBand::SetVisible).Default(true)
      .Integer("Width", &TCoolBand::Width, &TCoolBand::SetWidth).Default(0);
}

TCoolBand::TCoolBand(TCollection* Collection) : TCollectionItem(Collection) {}

TCoolBand::~TCoolBand() { Unhook(); }

void TCoolBand::Hook(TWinControl* Value) {
  Unhook();
  FControl = Value;
  if (!Value) return;
  FSavedProc = Value->WindowProc();
  Value->SetWindowProc([this, previous = FSavedProc](TMessage& Message) {
    previous(Message);
    if (Message.Msg != WM_SIZE) return;
    if (TCoolBar* bar = CoolBar(); bar && !bar->FLayingOut && !bar->ComponentState().Contains(csDestroying))
      bar->Realign();
  });
}

void TCoolBand::Unhook() {
  if (FControl) FControl->SetWindowProc(FSavedProc);
  FSavedProc = nullptr;
  FControl = nullptr;
}

TCoolBar* TCoolBand::CoolBar() const {
  auto* bands = dynamic_cast<TCoolBands*>(Collection());
  return bands ? bands->CoolBar() : nullptr;
}

void TCoolBand::SetControl(TWinControl* Value) {
  if (FControl == Value) return;
  TCoolBar* bar = CoolBar();
  if (Value && bar)
    if (TCoolBand* other = bar->Bands()->FindBand(Value)) other->Unhook();
  Hook(Value);
  if (Value) {
    // The band places the control.
    Value->SetAlign(alNone);
    if (bar) Value->SetParent(bar);
  }
  Changed(false);
}

void TCoolBand::SetText(const QString& Value) {
  if (FText == Value) return;
  FText = Value;
  Changed(false);
}

void TCoolBand::SetWidth(int Value) {
  if (FWidth == Value) return;
  FWidth = std::max(Value, 0);
  Changed(false);
}

void TCoolBand::SetMinHeight(int Value) {
  if (FMinHeight == Value) return;
  FMinHeight = std::max(Value, 0);
  Changed(false);
}

void TCoolBand::SetBreak(bool Value) {
  if (FBreak == Value) return;
  FBreak = Value;
  Changed(false);
}

void TCoolBand::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  if (FControl) FControl->SetVisible(Value);
  Changed(false);
}

QString TCoolBand::DisplayName() const {
  if (!FText.isEmpty()) return FText;
  if (FControl) return FControl->ClassName();
  return TCollectionItem::DisplayName();
}

TF_PUBLISHED(TCoolBands, TOwnedCollection) { return TPublished<TCoolBands>(); }

TCoolBands::TCoolBands(TCoolBar* ACoolBar)
    : TOwnedCollection(ACoolBar, CollectionItemClassOf<TCoolBand>()), FCoolBar(ACoolBar) {
  SetPropName(QStringLiteral("Bands"));
}

TCoolBand* TCoolBands::FindBand(const TControl* Control) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Control() == Control) return Items(i);
  return nullptr;
}

void TCoolBands::Update(TCollectionItem* Item) {
  if (FCoolBar->ComponentState().Contains(csDestroying)) return;
  FCoolBar->Realign();
  FCoolBar->Invalidate();
}

TF_PUBLISHED(TCoolBar, TComponent) {
  return PublishedWinControl<TCoolBar>()
      .Boolean("AutoSize", &TCoolBar::AutoSize, &TCoolBar::SetAutoSize).Default(false)
      .Object("Bands", &TCoolBar::Bands);
}

TCoolBar::TCoolBar(TComponent* AOwner)
    : TCustomControl(AOwner), FBands(std::make_unique<TCoolBands>(this)) {
  FWidth = 150;
  FHeight = 75;
  FAlign = alTop;
  FStyleListener = StartRepaintOnStyleChange(this);
}

TCoolBar::~TCoolBar() {
  Destroying();
  TStyleManager::RemoveStyleChangeListener(FStyleListener);
  // Bands let go of their controls, which go with the bar as its children.
  for (int i = 0; i < FBands->Count(); ++i) FBands->Items(i)->Unhook();
}

void TCoolBar::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  Realign();
}

TRect TCoolBar::BandRect(int Index) const {
  return Index >= 0 && Index < FBandRects.size() ? FBandRects[Index] : TRect();
}

namespace {
constexpr int kGripWidth = 10;
}

void TCoolBar::AlignControls(TControl* AControl, TRect& Rect) {
  TCustomControl::AlignControls(AControl, Rect);
  if (FLayingOut) return;
  FLayingOut = true;
  const bool painting = PaintDC() != nullptr;
  FBandRects = QList<TRect>(FBands->Count());
  struct TRow {
    QList<int> Bands;
    int Height = 0;
  };
  QList<TRow> rows;
  for (int i = 0; i < FBands->Count(); ++i) {
    TCoolBand* band = FBands->Items(i);
    if (!band->Visible()) continue;
    if (rows.isEmpty() || band->Break()) rows.append(TRow());
    rows.last().Bands.append(i);
    const int controlHeight = band->Control() ? band->Control()->Height() + 4 : 0;
    rows.last().Height = std::max({rows.last().Height, band->MinHeight(), controlHeight});
  }
  int y = Rect.Top + 2;
  for (const TRow& row : rows) {
    int x = Rect.Left + 2;
    for (qsizetype k = 0; k < row.Bands.size(); ++k) {
      TCoolBand* band = FBands->Items(row.Bands[k]);
      const int textWidth =
          band->Text().isEmpty() ? 0 : MeasureText(Canvas(), painting, StripHotkey(band->Text())).cx + 6;
      // The last band of a row takes the rest of it; others are as wide as
      // set, or as their controls.
      int width = band->Width();
      if (k == row.Bands.size() - 1) width = std::max(kGripWidth + textWidth + 4, Rect.Right - 2 - x);
      else if (width <= 0) width = kGripWidth + textWidth + (band->Control() ? band->Control()->Width() : 0) + 4;
      const TRect r(x, y, x + width, y + row.Height);
      FBandRects[row.Bands[k]] = r;
      if (TWinControl* control = band->Control()) {
        const int left = r.Left + kGripWidth + textWidth;
        const int h = std::min(control->Height(), row.Height);
        control->SetBounds(left, r.Top + (row.Height - h) / 2, std::max(0, r.Right - 4 - left), h);
      }
      x += width;
    }
    y += row.Height + 2;
  }
  if (FAutoSize && !rows.isEmpty()) {
    const int needed = (y - Rect.Top) + (FHeight - Rect.Height());
    if (needed != FHeight) SetHeight(needed);
  }
  FLayingOut = false;
}

TF_MESSAGE_MAP(TCoolBar, TWinControl) {
  return {
      TF_MESSAGE(CM_CONTROLLISTCHANGE, CMControlListChange),
  };
}

void TCoolBar::CMControlListChange(TMessage& Message) {
  if (Message.LParam == 0) {
    auto* control = reinterpret_cast<TControl*>(Message.WParam);
    if (TCoolBand* band = FBands->FindBand(control)) band->Unhook();
  }
  Inherited<TCustomControl>(Message);
}

void TCoolBar::Paint() {
  TCanvas* c = Canvas();
  Fill(c, ClientRect(), StyleColor(clBtnFace));
  const TColor shadow = StyleColor(clBtnShadow);
  const TColor light = StyleColor(clBtnHighlight);
  const TColor text = StyleServices().GetStyleFontColor(sfPanelTextNormal);
  for (int i = 0; i < FBands->Count() && i < FBandRects.size(); ++i) {
    const TRect r = FBandRects[i];
    if (r.Width() <= 0) continue;
    // Grip, then the band's text; an etched line under each row.
    for (int x : {r.Left + 3, r.Left + 6}) {
      Line(c, light, x, r.Top + 3, x, r.Bottom - 3);
      Line(c, shadow, x + 1, r.Top + 3, x + 1, r.Bottom - 3);
    }
    DrawCaption(c, TRect(r.Left + kGripWidth, r.Top, r.Right, r.Bottom), FBands->Items(i)->Text(), text,
                TTextFormat{tfLeft});
    Line(c, shadow, r.Left, r.Bottom, r.Right, r.Bottom);
    Line(c, light, r.Left, r.Bottom + 1, r.Right, r.Bottom + 1);
  }
}

// ---------------------------------------------------------------------------
// TStatusPanel, TStatusPanels and TStatusBar

TF_PUBLISHED(TStatusPanel, TCollectionItem) {
  return TPublished<TStatusPanel>()
      .Enum("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).Default(taLeftJustify)
      .Enum("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel).Default(pbLowered)
      .Enum("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle).Default(psText)
      .String("Text", &TStatusPanel::Text, &TStatusPanel::SetText)
      .Integer("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth).Default(50);
}

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

void TStatusPanel::SetText(const QString& Value) {
  if (FText == Value) return;
  FText = Value;
  Changed(false);
}

void TStatusPanel::SetWidth(int Value) {
  if (FWidth == Value) return;
  FWidth = std::max(Value, 0);
  Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
  if (FBevel == Value) return;
  FBevel = Value;
  Changed(false);
}

QString TStatusPanel::DisplayName() const { return FText.isEmpty() ? TCollectionItem::DisplayName() : FText; }

TF_PUBLISHED(TStatusPanels, TOwnedCollection) { return TPublished<TStatusPanels>(); }

TStatusPanels::TStatusPanels(TStatusBar* AStatusBar)
    : TOwnedCollection(AStatusBar, CollectionItemClassOf<TStatusPanel>()), FStatusBar(AStatusBar) {
  SetPropName(QStringLiteral("Panels"));
}

void TStatusPanels::Update(TCollectionItem* Item) {
  if (!FStatusBar->ComponentState().Contains(csDestroying)) FStatusBar->Invalidate();
}

TF_PUBLISHED(TStatusBar, TComponent) {
  return PublishedWinControl<TStatusBar>()
      .Object("Panels", &TStatusBar::Panels)
      .Boolean("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false)
      .String("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText)
      .Boolean("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(true)
      .Event("OnDrawPanel", &TStatusBar::OnDrawPanel);
}

TStatusBar::TStatusBar(TComponent* AOwner)
    : TCustomControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this)) {
  FControlStyle.Exclude(csAcceptsControls);
  FWidth = 200;
  FHeight = 19;
  FAlign = alBottom;
  FStyleListener = StartRepaintOnStyleChange(this);
}

TStatusBar::~TStatusBar() {
  Destroying();
  TStyleManager::RemoveStyleChangeListener(FStyleListener);
}

void TStatusBar::SetSimplePanel(bool Value) {
  if (FSimplePanel == Value) return;
  FSimplePanel = Value;
  Invalidate();
}

void TStatusBar::SetSimpleText(const QString& Value) {
  if (FSimpleText == Value) return;
  FSimpleText = Value;
  Invalidate();
}

void TStatusBar::SetSizeGrip(bool Value) {
  if (FSizeGrip == Value) return;
  FSizeGrip = Value;
  Invalidate();
}

TRect TStatusBar::PanelRect(int Index) const {
  const int count = FPanels->Count();
  if (Index < 0 || Index >= count) return TRect();
  int x = 0;
  for (int i = 0; i < Index; ++i) x += FPanels->Items(i)->Width();
  // Panels are two pixels apart; the last one reaches the end of the bar.
  const int right = Index == count - 1 ? FWidth : x + FPanels->Items(Index)->Width() - 2;
  return TRect(std::min(x, FWidth), 2, std::max(std::min(right, FWidth), std::min(x, FWidth)), FHeight);
}

void TStatusBar::DrawBevel(const TRect& Rect, TStatusPanelBevel Bevel) {
  if (Bevel == pbNone || Rect.Width() < 2 || Rect.Height() < 2) return;
  TCanvas* c = Canvas();
  const TColor shadow = StyleColor(clBtnShadow);
  const TColor light = StyleColor(clBtnHighlight);
  const TColor topLeft = Bevel == pbLowered ? shadow : light;
  const TColor bottomRight = Bevel == pbLowered ? light : shadow;
  Line(c, topLeft, Rect.Left, Rect.Bottom - 1, Rect.Left, Rect.Top);
  Line(c, topLeft, Rect.Left, Rect.Top, Rect.Right - 1, Rect.Top);
  Line(c, bottomRight, Rect.Right - 1, Rect.Top, Rect.Right - 1, Rect.Bottom - 1);
  Line(c, bottomRight, Rect.Right - 1, Rect.Bottom - 1, Rect.Left - 1, Rect.Bottom - 1);
}

void TStatusBar::DrawPanelText(const QString& Text, TRect Rect, TAlignment Alignment) {
  const TColor ink = StyleServices().GetStyleFontColor(Enabled() ? sfPanelTextNormal : sfPanelTextDisabled);
  TTextFormat format{tfLeft, tfNoPrefix, tfEndEllipsis};
  if (Alignment == taRightJustify) format = TTextFormat{tfRight, tfNoPrefix, tfEndEllipsis};
  else if (Alignment == taCenter) format = TTextFormat{tfCenter, tfNoPrefix, tfEndEllipsis};
  DrawCaption(Canvas(), Rect, Text, ink, format);
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect) {
  if (OnDrawPanel) OnDrawPanel(this, Panel, Rect);
}

void TStatusBar::Paint() {
  TCanvas* c = Canvas();
  Fill(c, ClientRect(), StyleColor(clBtnFace));
  const bool grip = FSizeGrip && FAlign == alBottom;
  const int gripWidth = grip ? 14 : 0;
  if (FSimplePanel) {
    DrawPanelText(FSimpleText, TRect(3, 2, FWidth - gripWidth - 3, FHeight), taLeftJustify);
  } else {
    for (int i = 0; i < FPanels->Count(); ++i) {
      TStatusPanel* panel = FPanels->Items(i);
      TRect r = PanelRect(i);
      if (i == FPanels->Count() - 1) r.Right = std::max(r.Left, r.Right - gripWidth);
      if (r.Width() <= 0) continue;
      DrawBevel(r, panel->Bevel());
      const TRect inner(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
      if (panel->Style() == psOwnerDraw) {
        // The handler gets the canvas as the bar would draw: face brush,
        // panel text colour.
        Fill(c, inner, StyleColor(clBtnFace));
        c->Font()->SetColor(StyleServices().GetStyleFontColor(sfPanelTextNormal));
        const int saved = SaveDC(c->Handle());
        IntersectClipRect(c->Handle(), inner.Left, inner.Top, inner.Right, inner.Bottom);
        DrawPanel(panel, inner);
        RestoreDC(c->Handle(), saved);
        c->Refresh();
      } else {
        DrawPanelText(panel->Text(), TRect(inner.Left + 2, inner.Top, inner.Right - 2, inner.Bottom),
                      panel->Alignment());
      }
    }
  }
  if (grip) {
    const TColor shadow = StyleColor(clBtnShadow);
    const TColor light = StyleColor(clBtnHighlight);
    for (int k = 0; k < 3; ++k) {
      const int d = 4 + 4 * k;
      Line(c, shadow, FWidth - d, FHeight - 1, FWidth - 1, FHeight - d);
      Line(c, light, FWidth - d + 1, FHeight - 1, FWidth - 1, FHeight - d + 1);
    }
  }
}

// ---------------------------------------------------------------------------
// TProgressBar

TF_PUBLISHED(TProgressBar, TComponent) {
  return PublishedWinControl<TProgressBar>()
      .Integer("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100)
      .Integer("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0)
      .Enum("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation).Default(pbHorizontal)
      .Integer("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0)
      .Boolean("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth).Default(false)
      .Enum("State", &TProgressBar::State, &TProgressBar::SetState).Default(pbsNormal)
      .Integer("Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10);
}

TProgressBar::TProgressBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle.Exclude(csAcceptsControls);
  FWidth = 150;
  FHeight = 17;
  FStyleListener = StartRepaintOnStyleChange(this);
}

TProgressBar::~TProgressBar() {
  Destroying();
  TStyleManager::RemoveStyleChangeListener(FStyleListener);
}

void TProgressBar::Changed() {
  if (!ComponentState().Contains(csDestroying)) Invalidate();
}

void TProgressBar::SetRange(int AMin, int AMax) {
  if (AMax < AMin) throw EInvalidOperation(Format(ComCtrlsConsts::SPropertyOutOfRange, {ClassName()}));
  FMin = AMin;
  FMax = AMax;
  FPosition = std::clamp(FPosition, FMin, FMax);
  Changed();
}

void TProgressBar::SetMin(int Value) { SetRange(Value, FMax); }

void TProgressBar::SetMax(int Value) { SetRange(FMin, Value); }

void TProgressBar::SetPosition(int Value) {
  Value = std::clamp(Value, FMin, FMax);
  if (FPosition == Value) return;
  FPosition = Value;
  Changed();
}

void TProgressBar::StepIt() {
  const int64_t range = int64_t(FMax) - FMin;
  int64_t next = int64_t(FPosition) + FStep;
  if (range > 0) {
    // Past an end the bar starts over from the other one.
    if (next > FMax) next = FMin + (next - FMax) % range;
    else if (next < FMin) next = FMax - (FMin - next) % range;
  } else {
    next = FMin;
  }
  FPosition = int(next);
  Changed();
}

void TProgressBar::StepBy(int Delta) { SetPosition(int(std::clamp<int64_t>(int64_t(FPosition) + Delta, FMin, FMax))); }

void TProgressBar::SetSmooth(bool Value) {
  if (FSmooth == Value) return;
  FSmooth = Value;
  Changed();
}

void TProgressBar::SetOrientation(TProgressBarOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  Changed();
}

void TProgressBar::SetState(TProgressBarState Value) {
  if (FState == Value) return;
  FState = Value;
  Changed();
}

TRect TProgressBar::FilledRect() const {
  const TRect inner(1, 1, std::max(1, FWidth - 1), std::max(1, FHeight - 1));
  const int64_t range = int64_t(FMax) - FMin;
  const double fraction = range > 0 ? double(FPosition - FMin) / double(range) : 0.0;
  if (FOrientation == pbHorizontal) {
    const int w = int(std::lround(inner.Width() * fraction));
    return TRect(inner.Left, inner.Top, inner.Left + w, inner.Bottom);
  }
  const int h = int(std::lround(inner.Height() * fraction));
  return TRect(inner.Left, inner.Bottom - h, inner.Right, inner.Bottom);
}

void TProgressBar::Paint() {
  TCanvas* c = Canvas();
  TCustomStyleServices& style = StyleServices();
  const bool horizontal = FOrientation == pbHorizontal;
  Fill(c, ClientRect(), StyleColor(clBtnFace));
  style.DrawElement(c->Handle(), style.GetElementDetails(horizontal ? tpBar : tpBarVert),
                    RECT{0, 0, FWidth, FHeight});
  const TRect filled = FilledRect();
  if (filled.Width() <= 0 || filled.Height() <= 0) return;
  auto chunk = [&](const TRect& r) {
    if (FState == pbsNormal) {
      style.DrawElement(c->Handle(), style.GetElementDetails(horizontal ? tpChunk : tpChunkVert), ToRECT(r));
      return;
    }
    Fill(c, r, FState == pbsError ? TColor(RGB(218, 38, 38)) : TColor(RGB(218, 203, 38)));
  };
  if (FSmooth) {
    chunk(filled);
    return;
  }
  // Blocks two thirds as long as the bar is thick, two pixels apart.
  const int thickness = horizontal ? filled.Height() : filled.Width();
  const int block = std::max(2, thickness * 2 / 3);
  if (horizontal) {
    for (int x = filled.Left; x < filled.Right; x += block + 2)
      chunk(TRect(x, filled.Top, std::min(x + block, filled.Right), filled.Bottom));
  } else {
    for (int y = filled.Bottom; y > filled.Top; y -= block + 2)
      chunk(TRect(filled.Left, std::max(y - block, filled.Top), filled.Right, y));
  }
}
