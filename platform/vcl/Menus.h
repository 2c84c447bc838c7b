#pragma once
// Menus: menu items, the main menu a form shows as its menu bar, pop-up
// menus, shortcuts and hotkeys.
//
// Every TMenuItem has a QAction that shows it: the caption with its "&"
// hotkey (a caption of "-" is a separator line), the shortcut text, a check
// mark (a radio dot for radio items), the icon from the menu's image list,
// the enabled and visible states and the bold default item. An item with
// sub-items also has the QMenu listing them. Adding, inserting, deleting and
// changing items at run time shows in the Qt menus at once.
//
// Shortcuts are the framework's, not Qt's: before a control sees a key, it
// offers the key to the pop-up menus of itself and its parents and then to
// its form (TCustomForm::IsShortCut), whose main menu clicks the item with
// that shortcut. So a menu shortcut works wherever the focus is in the form.
//
// Pop-up menus show through a replaceable service (TPopupMenuService). The
// default service runs a modal QMenu; tests install one that picks an item
// and so never enter a modal loop. A right click on a control whose
// PopupMenu has AutoPopup shows it (WM_CONTEXTMENU).

#include <QList>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "platform/rtl/Classes.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Controls.h"
#include "platform/win32/Messages.h"

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QWidget;
class TCustomImageList;
class TMenu;
class TPopupMenu;

TF_DECLARE_EXCEPTION(EMenuError, Exception)

namespace MenusConsts {
inline constexpr const char* SMenuIndexError = "Menu index out of range";
inline constexpr const char* SMenuReinserted = "Menu inserted twice";
inline constexpr const char* SMenuNotFound = "Sub-menu is not in menu";
}  // namespace MenusConsts

// Index into an image list; -1 for none.
using TImageIndex = int;

// ---------------------------------------------------------------------------
// Shortcuts and hotkeys

// A key with its modifiers: the virtual key in the low byte, scShift,
// scCtrl and scAlt above it; scNone for none.
using TShortCut = Word;
inline constexpr TShortCut scNone = 0;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

// The key with ssShift, ssCtrl and ssAlt of Shift (other items are left out).
TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+S", "Shift+Ctrl+F5", "Alt+BkSp", "Del": the modifiers in the order
// Shift, Ctrl, Alt, then the key's name; "" for a key without a name.
QString ShortCutToText(TShortCut ShortCut);
// The reverse, without regard to case and with the modifiers in any order;
// scNone for text that names no key.
TShortCut TextToShortCut(const QString& Text);
// The shortcut of a key message (CharCode with the Shift and Ctrl key state
// and the Alt bit of the key data).
TShortCut ShortCutFromMessage(TMessage& Message);

// The caption without its hotkey mark: single "&" go, "&&" becomes "&".
QString StripHotkey(const QString& Text);
// The hotkey character (the one after a single "&"), "" when there is none.
QString GetHotkey(const QString& Text);
// True when the character VK is the hotkey of Str (without regard to case).
bool IsAccel(Word VK, const QString& Str);

// ---------------------------------------------------------------------------
// TMenuItem

class TMenuItem : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TMenuItem)
  explicit TMenuItem(TComponent* AOwner);
  // Deletes the sub-items (whoever owns them) and leaves the parent item.
  ~TMenuItem() override;

  const QString& Caption() const { return FCaption; }
  void SetCaption(const QString& Value);
  // The caption is "-".
  bool IsLine() const { return FCaption == QLatin1String("-"); }
  const QString& Hint() const { return FHint; }
  void SetHint(const QString& Value);
  // Checking a radio item unchecks the radio items of the same GroupIndex
  // under the same parent.
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  Byte GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Byte Value);
  // Click toggles Checked before OnClick.
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // Shown in bold; a pop-up's default item is what a double click means.
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  TImageIndex ImageIndex() const { return FImageIndex; }
  void SetImageIndex(TImageIndex Value);
  // A number unique among live items (the WM_COMMAND id of the item).
  Word Command() const { return FCommand; }

  // OnClick when enabled (AutoCheck toggles Checked first). Opening an
  // item's sub-menu clicks the item too, so its OnClick can fill it.
  virtual void Click();
  TNotifyEvent OnClick;

  // --- sub-items
  int Count() const { return int(FItems.size()); }
  // Raises EListError for an index out of range.
  TMenuItem* Items(int Index) const;
  // Raises EMenuError "Menu inserted twice" for an item that already has a
  // parent (or is this item or one of its parents).
  void Add(TMenuItem* Item);
  void Add(std::initializer_list<TMenuItem*> AItems);
  // Index 0..Count; EMenuError "Menu index out of range" otherwise.
  void Insert(int Index, TMenuItem* Item);
  // Takes the sub-item out without deleting it (its owner still owns it;
  // an item without an owner is then the caller's).
  void Delete(int Index);
  // The same by item; EMenuError "Sub-menu is not in menu" for another item.
  void Remove(TMenuItem* Item);
  // Deletes every sub-item.
  void Clear();
  int IndexOf(const TMenuItem* Item) const;
  // The sub-item whose caption matches, hotkeys and case aside.
  TMenuItem* Find(const QString& ACaption) const;
  TMenuItem* Parent() const { return FParent; }
  // Position under the parent (-1 without one); setting it moves the item.
  int MenuIndex() const;
  void SetMenuIndex(int Value);
  // The menu whose tree holds the item, nullptr when none.
  TMenu* GetParentMenu() const;

  // The layer's bridge: the action showing the item, and the Qt menu of the
  // sub-items (nullptr while there are none).
  QAction* QtAction() const { return FAction.get(); }
  QMenu* QtMenu() const { return FSubMenu.get(); }

 private:
  friend class TMenu;
  friend class TMainMenu;
  friend class TPopupMenu;
  void InsertItem(int Index, TMenuItem* Item);
  void TakeOut(TMenuItem* Item);
  void TurnSiblingsOff();
  // The widgets listing the sub-items: the sub-menu, or the menu bars or
  // pop-up menu of the menu whose root this item is.
  QList<QWidget*> Containers() const;
  void RebuildContainers();
  void UpdateAction();
  void UpdateTree();
  void ActionTriggered();
  void SubMenuShowing();
  void UpdateSubMenu();

  QString FCaption;
  QString FHint;
  bool FChecked = false;
  bool FRadioItem = false;
  Byte FGroupIndex = 0;
  bool FAutoCheck = false;
  bool FVisible = true;
  bool FEnabled = true;
  bool FDefault = false;
  TShortCut FShortCut = scNone;
  TImageIndex FImageIndex = -1;
  Word FCommand = 0;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on a menu's root item
  QList<TMenuItem*> FItems;
  std::unique_ptr<QAction> FAction;
  std::unique_ptr<QMenu> FSubMenu;
  std::unique_ptr<QActionGroup> FRadioGroup;  // gives a checked radio item its dot
  std::shared_ptr<char> FAlive = std::make_shared<char>();
  int FOpening = 0;  // > 0 while the click of the sub-menu about to open runs
};

// ---------------------------------------------------------------------------
// TMenu, TMainMenu, TPopupMenu

enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

class TMenu : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TMenu)
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  // The root item; the menu's entries are its sub-items.
  TMenuItem* Items() const { return FItems.get(); }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  // The item with that command id or shortcut (depth first), nullptr when
  // none; fkHandle finds nothing (items have no handles here).
  TMenuItem* FindItem(int Value, TFindItemKind Kind) const;
  // Clicks the enabled item whose shortcut the key message makes (hidden
  // items included, as the framework does); true when it did.
  virtual bool IsShortCut(TMessage& Message);

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The widgets listing the root's items.
  virtual QList<QWidget*> RootContainers() const = 0;
  // The root item's entries are listed in a menu bar (no shortcut text).
  virtual bool IsMenuBar() const { return false; }

 private:
  friend class TMenuItem;
  std::unique_ptr<TMenuItem> FItems;
  TCustomImageList* FImages = nullptr;
};

// A form's menu bar (TCustomForm::SetMenu). The form's window shows the bar
// above its client area; the form's size stays that of the client area.
class TMainMenu : public TMenu {
 public:
  TF_DECLARE_PUBLISHED(TMainMenu)
  explicit TMainMenu(TComponent* AOwner);
  ~TMainMenu() override;

  // Makes a menu bar showing the items, owned by Parent (forms call it).
  QMenuBar* CreateMenuBar(QWidget* Parent);
  // The menu bar last made, nullptr when it is gone.
  QMenuBar* MenuBar() const;

 protected:
  QList<QWidget*> RootContainers() const override;
  bool IsMenuBar() const override { return true; }

 private:
  QList<QPointer<QMenuBar>> FMenuBars;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
 public:
  TF_DECLARE_PUBLISHED(TPopupMenu)
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // Shows the menu at the screen point: OnPopup, then the pop-up service;
  // the item chosen is clicked. Returns once the menu is closed.
  virtual void Popup(int X, int Y);
  // Shown on a right click of a control that has this menu.
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  // The control (or other component) the menu was last shown for.
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);
  // Where the menu was last shown (screen coordinates).
  TPoint PopupPoint() const { return FPopupPoint; }

  // The Qt menu listing the items (made on first use).
  QMenu* QtMenu();

  TNotifyEvent OnPopup;

 protected:
  virtual void DoPopup(TObject* Sender);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  QList<QWidget*> RootContainers() const override;

 private:
  bool FAutoPopup = true;
  TPopupAlignment FAlignment = paLeft;
  TComponent* FPopupComponent = nullptr;
  TPoint FPopupPoint;
  std::unique_ptr<QMenu> FMenu;
};

// ---------------------------------------------------------------------------
// The pop-up service

class TPopupMenuService {
 public:
  virtual ~TPopupMenuService() = default;
  // Shows Menu's items at the screen point and answers the item the user
  // chose (an item of any depth), nullptr when the menu was dismissed. The
  // caller clicks the item.
  virtual TMenuItem* TrackPopupMenu(TPopupMenu* Menu, int X, int Y) = 0;
};

// Installs the service every pop-up menu goes through and answers the one
// installed before (nullptr for the default). nullptr puts the default back.
// The service is not owned.
TPopupMenuService* SetPopupMenuService(TPopupMenuService* Service);
TPopupMenuService& PopupMenuService();

TF_ENUM_NAMES(TPopupAlignment, paLeft, paRight, paCenter)
