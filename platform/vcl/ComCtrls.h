#pragma once
// Common controls: page controls with tab sheets, tool bars with tool
// buttons, cool bars, status bars and progress bars.
//
// They paint themselves with the active style (StyleServices: its elements
// for tabs, tool buttons and progress bars, its colours for faces and text)
// and repaint when the style changes. Pop-up menus of drop-down tool buttons
// go through the pop-up service (Menus.h).

#include <QList>
#include <QString>
#include <functional>
#include <memory>

#include "platform/rtl/Collections.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"

class TPageControl;
class TToolBar;
class TCoolBar;
class TStatusBar;

// ---------------------------------------------------------------------------
// TTabSheet and TPageControl

// One page of a page control. A new sheet fills the page control's display
// area (alClient) and is shown only while it is the active page.
class TTabSheet : public TWinControl {
 public:
  TF_DECLARE_MESSAGES(TTabSheet)
  TF_DECLARE_PUBLISHED(TTabSheet)
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;

  // Setting it makes the sheet a page (and child) of that page control.
  TPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* Value);
  // Position among the pages; setting it moves the page (clamped).
  int PageIndex() const;
  void SetPageIndex(int Value);
  // A hidden tab is not shown but the page stays (ActivePage may still name
  // it, with no tab selected).
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value);
  // Position among the shown tabs, -1 when its tab is hidden.
  int TabIndex() const;
  TImageIndex ImageIndex() const { return FImageIndex; }
  void SetImageIndex(TImageIndex Value);

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

 protected:
  void CMTextChanged(TMessage& Message);

 private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
  TImageIndex FImageIndex = -1;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TPageControl : public TCustomControl {
 public:
  TF_DECLARE_MESSAGES(TPageControl)
  TF_DECLARE_PUBLISHED(TPageControl)
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;

  int PageCount() const { return int(FPages.size()); }
  // Raises EListError for an index out of range.
  TTabSheet* Pages(int Index) const;
  // The page shown; setting it runs no events (OnChanging and OnChange are
  // for the user's changes). A sheet of another page control is ignored.
  TTabSheet* ActivePage() const { return FActivePage; }
  void SetActivePage(TTabSheet* Value);
  // -1 for none; an index out of range shows no page.
  int ActivePageIndex() const;
  void SetActivePageIndex(int Value);
  // The selected tab among the shown tabs (-1: none, or the active page's
  // tab is hidden); setting it selects that tab's page.
  int TabIndex() const;
  void SetTabIndex(int Value);
  int TabCount() const;
  // The page after (or before) CurPage, wrapping around; with
  // CheckTabVisible only pages with shown tabs count.
  TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
  // Moves to the next page as the user does (Ctrl+Tab): OnChanging may veto,
  // OnChange follows.
  void SelectNextPage(bool GoForward, bool CheckTabVisible = true);
  // The shown tab at a client point, -1 when none.
  int IndexOfTabAt(int X, int Y) const;
  // The rectangle of a shown tab (client coordinates); empty out of range.
  TRect TabRect(int Index) const;
  // Where the pages go.
  TRect DisplayRect() const;
  // Fixed tab size; 0 sizes tabs to their captions.
  int TabHeight() const { return FTabHeight; }
  void SetTabHeight(int Value);
  int TabWidth() const { return FTabWidth; }
  void SetTabWidth(int Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;

 protected:
  void CMControlListChange(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void CMDialogKey(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void Paint() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual bool CanChange();
  virtual void Change();

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void MovePage(TTabSheet* Page, int Index);
  void ChangeActivePage(TTabSheet* Page);
  // A user's change to another page: OnChanging, the change, OnChange.
  void UserSelect(TTabSheet* Page);
  QList<TTabSheet*> ShownPages() const;
  QList<TRect> TabRects() const;
  void TabsChanged();
  int StripHeight() const;

  QList<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
  int FHotTab = -1;
  int FTabHeight = 0;
  int FTabWidth = 0;
  TCustomImageList* FImages = nullptr;
  int FStyleListener = 0;
};

// ---------------------------------------------------------------------------
// TToolButton and TToolBar

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider, tbsTextButton };
TF_ENUM_NAMES(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider, tbsTextButton)

// A button of a tool bar. The tool bar places and sizes its buttons; a
// separator or divider keeps its own width (8 unless set).
class TToolButton : public TGraphicControl {
 public:
  TF_DECLARE_MESSAGES(TToolButton)
  TF_DECLARE_PUBLISHED(TToolButton)
  explicit TToolButton(TComponent* AOwner);
  ~TToolButton() override;

  TToolBar* ToolBar() const;
  // Position in the tool bar's order, -1 outside a tool bar.
  int Index() const;
  TToolButtonStyle Style() const { return FStyle; }
  void SetStyle(TToolButtonStyle Value);
  // Pressed look; a check button toggles it when clicked. Putting a grouped
  // check button down releases the others of its group (the neighbouring
  // grouped check buttons).
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  bool Grouped() const { return FGrouped; }
  void SetGrouped(bool Value);
  // Clicking the down button of a group releases it (set for the group).
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  TImageIndex ImageIndex() const { return FImageIndex; }
  void SetImageIndex(TImageIndex Value);
  // The menu a drop-down button's arrow opens.
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* Value);
  // A bound menu item gives the button its caption, hint, image, enabled and
  // visible states; clicking the button clicks the item.
  TMenuItem* MenuItem() const { return FMenuItem; }
  void SetMenuItem(TMenuItem* Value);
  // The next button starts a new row.
  bool Wrap() const { return FWrap; }
  void SetWrap(bool Value);
  bool IsSeparator() const { return FStyle == tbsSeparator || FStyle == tbsDivider; }

  // OnClick (or the bound item's click when OnClick is unassigned).
  void Click() override;
  // Opens the drop-down menu below the button, as its arrow does; false
  // without one.
  bool CheckMenuDropdown();
  // The arrow part of a drop-down button (empty for other styles).
  TRect DropDownRect() const;

 protected:
  void WMLButtonDown(TMessage& Message);
  void WMLButtonDblClk(TMessage& Message);
  void WMLButtonUp(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  // A press on the button: true when it was taken here (a separator, the
  // drop-down arrow), false when the ordinary press follows.
  bool PressAt(TMessage& Message);
  void Paint() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TToolBar;
  // The neighbouring grouped check buttons, this one included.
  QList<TToolButton*> Group() const;
  void Changed(bool Relayout);

  TToolButtonStyle FStyle = tbsButton;
  bool FDown = false;
  bool FGrouped = false;
  bool FAllowAllUp = false;
  bool FWrap = false;
  bool FHot = false;
  bool FPressed = false;  // left button held on the main part
  TImageIndex FImageIndex = -1;
  TPopupMenu* FDropdownMenu = nullptr;
  TMenuItem* FMenuItem = nullptr;
};

// A row (or rows, when Wrapable) of tool buttons and other controls, in the
// order they were put on the bar. Buttons are ButtonWidth x ButtonHeight at
// least; with ShowCaptions they grow to show image and caption, the caption
// below the image, or beside it with List. Controls with an Align take their
// side first.
class TToolBar : public TCustomControl {
 public:
  TF_DECLARE_MESSAGES(TToolBar)
  TF_DECLARE_PUBLISHED(TToolBar)
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;

  int ButtonCount() const;
  // Raises EListError for an index out of range.
  TToolButton* Buttons(int Index) const;
  // Every control on the bar in bar order (buttons and others).
  int ItemCount() const { return int(FItems.size()); }
  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int Value);
  int ButtonHeight() const { return FButtonHeight; }
  void SetButtonHeight(int Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* Value);
  TCustomImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TCustomImageList* Value);
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool Value);
  // Captions beside the images instead of below them.
  bool List() const { return FList; }
  void SetList(bool Value);
  // Buttons show a frame only under the mouse or pressed.
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  bool Wrapable() const { return FWrapable; }
  void SetWrapable(bool Value);
  // The bar's height follows its rows.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  int Indent() const { return FIndent; }
  void SetIndent(int Value);
  int RowCount() const { return FRowCount; }

 protected:
  void CMControlListChange(TMessage& Message);
  void Paint() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TToolButton;
  // The size a button takes on this bar.
  TSize ButtonSizeOf(const TToolButton* Button);
  void Changed();

  QList<TControl*> FItems;
  int FButtonWidth = 23;
  int FButtonHeight = 22;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FDisabledImages = nullptr;
  TCustomImageList* FHotImages = nullptr;
  bool FShowCaptions = false;
  bool FList = false;
  bool FFlat = true;
  bool FWrapable = true;
  bool FAutoSize = false;
  int FIndent = 0;
  int FRowCount = 0;
  bool FLayingOut = false;
  int FStyleListener = 0;
};

// ---------------------------------------------------------------------------
// TCoolBar

// One band of a cool bar: a control with an optional text before it.
class TCoolBand : public TCollectionItem {
 public:
  TF_DECLARE_PUBLISHED(TCoolBand)
  explicit TCoolBand(TCollection* Collection);
  ~TCoolBand() override;

  TWinControl* Control() const { return FControl; }
  // Puts the control on the cool bar (its parent).
  void SetControl(TWinControl* Value);
  const QString& Text() const { return FText; }
  void SetText(const QString& Value);
  // Width of the band (0: what the control needs); the last band of a row
  // takes the rest of it.
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  int MinHeight() const { return FMinHeight; }
  void SetMinHeight(int Value);
  // The band starts a new row.
  bool Break() const { return FBreak; }
  void SetBreak(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  QString DisplayName() const override;

  TCoolBar* CoolBar() const;

 private:
  friend class TCoolBar;
  // The band follows its control's size through the control's window
  // procedure.
  void Hook(TWinControl* Value);
  void Unhook();

  TWinControl* FControl = nullptr;
  TWndMethod FSavedProc;
  QString FText;
  int FWidth = 0;
  int FMinHeight = 25;
  bool FBreak = true;
  bool FVisible = true;
};

class TCoolBands : public TOwnedCollection {
 public:
  TF_DECLARE_PUBLISHED(TCoolBands)
  explicit TCoolBands(TCoolBar* ACoolBar);
  TCoolBand* Add() { return static_cast<TCoolBand*>(TCollection::Add()); }
  TCoolBand* Items(int Index) const { return static_cast<TCoolBand*>(TCollection::Items(Index)); }
  TCoolBar* CoolBar() const { return FCoolBar; }
  // The band holding Control, nullptr when none does.
  TCoolBand* FindBand(const TControl* Control) const;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TCoolBar* FCoolBar;
};

// Bands in rows: each band shows a grip, its text and its control; a band
// with Break starts a row. With AutoSize the height follows the rows.
class TCoolBar : public TCustomControl {
 public:
  TF_DECLARE_MESSAGES(TCoolBar)
  TF_DECLARE_PUBLISHED(TCoolBar)
  explicit TCoolBar(TComponent* AOwner);
  ~TCoolBar() override;

  TCoolBands* Bands() const { return FBands.get(); }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  // The rectangle of a band (client coordinates), empty when hidden.
  TRect BandRect(int Index) const;

 protected:
  void CMControlListChange(TMessage& Message);
  void Paint() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;

 private:
  friend class TCoolBands;
  friend class TCoolBand;
  std::unique_ptr<TCoolBands> FBands;
  QList<TRect> FBandRects;
  bool FAutoSize = false;
  bool FLayingOut = false;
  int FStyleListener = 0;
};

// ---------------------------------------------------------------------------
// TStatusBar

enum TStatusPanelStyle { psText, psOwnerDraw };
TF_ENUM_NAMES(TStatusPanelStyle, psText, psOwnerDraw)
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
TF_ENUM_NAMES(TStatusPanelBevel, pbNone, pbLowered, pbRaised)

class TStatusPanel : public TCollectionItem {
 public:
  TF_DECLARE_PUBLISHED(TStatusPanel)
  explicit TStatusPanel(TCollection* Collection);

  const QString& Text() const { return FText; }
  void SetText(const QString& Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TStatusPanelStyle Style() const { return FStyle; }
  void SetStyle(TStatusPanelStyle Value);
  TStatusPanelBevel Bevel() const { return FBevel; }
  void SetBevel(TStatusPanelBevel Value);
  QString DisplayName() const override;

 private:
  QString FText;
  int FWidth = 50;
  TAlignment FAlignment = taLeftJustify;
  TStatusPanelStyle FStyle = psText;
  TStatusPanelBevel FBevel = pbLowered;
};

class TStatusPanels : public TOwnedCollection {
 public:
  TF_DECLARE_PUBLISHED(TStatusPanels)
  explicit TStatusPanels(TStatusBar* AStatusBar);
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TStatusBar* FStatusBar;
};

using TDrawPanelEvent = std::function<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

// A bar at the bottom (alBottom) showing panels left to right, each Width
// pixels wide; the last panel reaches the right end. SimplePanel shows
// SimpleText across the bar instead.
class TStatusBar : public TCustomControl {
 public:
  TF_DECLARE_PUBLISHED(TStatusBar)
  explicit TStatusBar(TComponent* AOwner);
  ~TStatusBar() override;

  TStatusPanels* Panels() const { return FPanels.get(); }
  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool Value);
  const QString& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const QString& Value);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool Value);
  // The rectangle of panel Index (client coordinates); empty out of range.
  TRect PanelRect(int Index) const;

  // Owner-drawn panels are drawn here, on Canvas, while the bar paints.
  TDrawPanelEvent OnDrawPanel;

 protected:
  void Paint() override;
  virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);

 private:
  friend class TStatusPanels;
  void DrawBevel(const TRect& Rect, TStatusPanelBevel Bevel);
  void DrawPanelText(const QString& Text, TRect Rect, TAlignment Alignment);

  std::unique_ptr<TStatusPanels> FPanels;
  bool FSimplePanel = false;
  QString FSimpleText;
  bool FSizeGrip = true;
  int FStyleListener = 0;
};

// ---------------------------------------------------------------------------
// TProgressBar

enum TProgressBarOrientation { pbHorizontal, pbVertical };
TF_ENUM_NAMES(TProgressBarOrientation, pbHorizontal, pbVertical)
enum TProgressBarState { pbsNormal, pbsError, pbsPaused };
TF_ENUM_NAMES(TProgressBarState, pbsNormal, pbsError, pbsPaused)

// Position runs from Min to Max and is kept inside them. StepIt moves by
// Step and starts again from Min once it passes Max (and from Max once a
// negative step passes Min); StepBy moves by a delta and stops at the ends.
class TProgressBar : public TCustomControl {
 public:
  TF_DECLARE_PUBLISHED(TProgressBar)
  explicit TProgressBar(TComponent* AOwner);
  ~TProgressBar() override;

  int Min() const { return FMin; }
  void SetMin(int Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  // Sets both ends; Max below Min is taken as Min.
  void SetRange(int AMin, int AMax);
  int Position() const { return FPosition; }
  void SetPosition(int Value);
  int Step() const { return FStep; }
  void SetStep(int Value) { FStep = Value; }
  void StepIt();
  void StepBy(int Delta);
  // One continuous bar instead of blocks.
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool Value);
  TProgressBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TProgressBarOrientation Value);
  // Normal, error (red) or paused (yellow) colours.
  TProgressBarState State() const { return FState; }
  void SetState(TProgressBarState Value);
  // The filled part of the bar (client coordinates).
  TRect FilledRect() const;

 protected:
  void Paint() override;

 private:
  void Changed();

  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
  int FStep = 10;
  bool FSmooth = false;
  TProgressBarOrientation FOrientation = pbHorizontal;
  TProgressBarState FState = pbsNormal;
  int FStyleListener = 0;
};
