// Menu items, main and pop-up menus, shortcuts and hotkeys.

#include "platform/vcl/Menus.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <algorithm>
#include <vector>

#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/win32/WinUser.h"


namespace {

// > 0 while the default pop-up service runs its QMenu: the item chosen is
// clicked by TPopupMenu::Popup, not by the action's signal.
int PopupTracking = 0;
// > 0 while an item is clicked from a Qt menu signal: Qt objects of items
// deleted meanwhile go once the signal is over.
int MenuDispatch = 0;

void Dispose(QObject* Object) {
  if (!Object) return;
  if (MenuDispatch > 0) Object->deleteLater();
  else delete Object;
}

template <class T>
void Dispose(std::unique_ptr<T>& Object) {
  Dispose(static_cast<QObject*>(Object.release()));
}

// Command ids in use (WM_COMMAND ids of items are 16 bits; 0 is none).
QList<Word>& CommandPool() {
  static QList<Word> pool;
  return pool;
}
Word NextCommand = 0;

Word AllocateCommand() {
  QList<Word>& pool = CommandPool();
  if (pool.size() >= 0xFFFF) return 0;
  do {
    ++NextCommand;
  } while (NextCommand == 0 || pool.contains(NextCommand));
  pool.append(NextCommand);
  return NextCommand;
}

void ReleaseCommand(Word Id) { CommandPool().removeOne(Id); }

struct TKeyName {
  Word Key;
  const char* Name;
};

const TKeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},      {VK_TAB, "Tab"},         {VK_RETURN, "Enter"},     {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"},    {VK_PRIOR, "PgUp"},      {VK_NEXT, "PgDn"},        {VK_END, "End"},
    {VK_HOME, "Home"},      {VK_LEFT, "Left"},       {VK_UP, "Up"},            {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},      {VK_INSERT, "Ins"},      {VK_DELETE, "Del"},       {VK_MULTIPLY, "Num *"},
    {VK_ADD, "Num +"},      {VK_SUBTRACT, "Num -"},  {VK_DECIMAL, "Num Del"},  {VK_DIVIDE, "Num /"},
    {VK_OEM_1, ";"},        {VK_OEM_PLUS, "="},      {VK_OEM_COMMA, ","},      {VK_OEM_MINUS, "-"},
    {VK_OEM_PERIOD, "."},   {VK_OEM_2, "/"},         {VK_OEM_3, "`"},          {VK_OEM_4, "["},
    {VK_OEM_5, "\\"},       {VK_OEM_6, "]"},         {VK_OEM_7, "'"},
};

QString KeyName(Word Key) {
  if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) return QString(QChar(char16_t(Key)));
  if (Key >= VK_F1 && Key <= VK_F24) return QStringLiteral("F%1").arg(Key - VK_F1 + 1);
  if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9) return QStringLiteral("Num %1").arg(Key - VK_NUMPAD0);
  for (const TKeyName& k : kKeyNames)
    if (k.Key == Key) return QString::fromLatin1(k.Name);
  return QString();
}

// Takes a modifier name off the front of Text (any case).
bool TakePrefix(QString& Text, const QString& Prefix) {
  if (!Text.startsWith(Prefix, Qt::CaseInsensitive) || Text.size() == Prefix.size()) return false;
  Text.remove(0, Prefix.size());
  return true;
}

TMenuItem* FindByAction(TMenuItem* Root, const QAction* Action) {
  if (Root->QtAction() == Action) return Root;
  for (int i = 0; i < Root->Count(); ++i)
    if (TMenuItem* found = FindByAction(Root->Items(i), Action)) return found;
  return nullptr;
}

TMenuItem* FindIn(TMenuItem* Root, int Value, TFindItemKind Kind) {
  for (int i = 0; i < Root->Count(); ++i) {
    TMenuItem* item = Root->Items(i);
    if (Kind == fkCommand && item->Command() == Value) return item;
    if (Kind == fkShortCut && item->ShortCut() != scNone && item->ShortCut() == Value) return item;
    if (TMenuItem* found = FindIn(item, Value, Kind)) return found;
  }
  return nullptr;
}

// The default service: a modal QMenu at the point.
class TQtPopupMenuService : public TPopupMenuService {
 public:
  TMenuItem* TrackPopupMenu(TPopupMenu* Menu, int X, int Y) override {
    QMenu* menu = Menu->QtMenu();
    if (!menu || menu->actions().isEmpty()) return nullptr;
    ++PopupTracking;
    QPointer<QMenu> guard(menu);
    QAction* chosen = nullptr;
    try {
      chosen = menu->exec(QPoint(X, Y));
    } catch (...) {
      --PopupTracking;
      throw;
    }
    --PopupTracking;
    if (!guard || !chosen) return nullptr;
    return FindByAction(Menu->Items(), chosen);
  }
};

TPopupMenuService* InstalledPopupService = nullptr;

}  // namespace

// ---------------------------------------------------------------------------
// Shortcuts and hotkeys

TShortCut ShortCut(Word Key, TShiftState Shift) {
  if (Key & 0xFF00) return scNone;
  TShortCut s = Key;
  if (Shift.Contains(ssShift)) s |= scShift;
  if (Shift.Contains(ssCtrl)) s |= scCtrl;
  if (Shift.Contains(ssAlt)) s |= scAlt;
  return s;
}

void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift) {
  Key = ShortCut & 0xFF;
  Shift = TShiftState();
  if (ShortCut & scShift) Shift.Include(ssShift);
  if (ShortCut & scCtrl) Shift.Include(ssCtrl);
  if (ShortCut & scAlt) Shift.Include(ssAlt);
}

QString ShortCutToText(TShortCut ShortCut) {
  const QString name = KeyName(ShortCut & 0xFF);
  if (name.isEmpty()) return QString();
  QString text;
  if (ShortCut & scShift) text += QLatin1String("Shift+");
  if (ShortCut & scCtrl) text += QLatin1String("Ctrl+");
  if (ShortCut & scAlt) text += QLatin1String("Alt+");
  return text + name;
}

TShortCut TextToShortCut(const QString& Text) {
  QString rest = Text;
  TShortCut shift = 0;
  for (;;) {
    if (TakePrefix(rest, QStringLiteral("Shift+"))) shift |= scShift;
    else if (TakePrefix(rest, QStringLiteral("Ctrl+"))) shift |= scCtrl;
    else if (TakePrefix(rest, QStringLiteral("Alt+"))) shift |= scAlt;
    else break;
  }
  if (rest.isEmpty()) return scNone;
  for (Word key = 0x08; key <= 0xFF; ++key) {
    const QString name = KeyName(key);
    if (!name.isEmpty() && name.compare(rest, Qt::CaseInsensitive) == 0) return TShortCut(key | shift);
  }
  return scNone;
}

TShortCut ShortCutFromMessage(TMessage& Message) {
  TWMKey k(Message);
  TShortCut s = k.CharCode() & 0xFF;
  if (GetKeyState(VK_SHIFT) < 0) s |= scShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= scCtrl;
  if (k.KeyData() & KF_ALTDOWN_BIT) s |= scAlt;
  return s;
}

QString StripHotkey(const QString& Text) {
  QString out;
  out.reserve(Text.size());
  for (qsizetype i = 0; i < Text.size(); ++i) {
    if (Text[i] == u'&') {
      if (i + 1 < Text.size() && Text[i + 1] == u'&') {
        out += u'&';
        ++i;
      }
      continue;
    }
    out += Text[i];
  }
  return out;
}

QString GetHotkey(const QString& Text) {
  for (qsizetype i = 0; i + 1 < Text.size(); ++i) {
    if (Text[i] != u'&') continue;
    if (Text[i + 1] == u'&') {
      ++i;
      continue;
    }
    return QString(Text[i + 1]);
  }
  return QString();
}

bool IsAccel(Word VK, const QString& Str) {
  const QString hotkey = GetHotkey(Str);
  return !hotkey.isEmpty() && hotkey.compare(QString(QChar(char16_t(VK))), Qt::CaseInsensitive) == 0;
}

// ---------------------------------------------------------------------------
// TMenuItem

TF_PUBLISHED(TMenuItem, TComponent) {
  return TPublished<TMenuItem>()
      .Boolean("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck).Default(false)
      .String("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
      .Boolean("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false)
      .Boolean("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(false)
      .Boolean("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true)
      .Integer("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).TypeName("Byte").Default(0)
      .String("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
      .Integer("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).TypeName("TImageIndex").Default(-1)
      .Boolean("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false)
      .Integer("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).TypeName("TShortCut").Default(0)
      .Boolean("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true)
      .Event("OnClick", &TMenuItem::OnClick);
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(AllocateCommand()) {
  FAction = std::make_unique<QAction>();
  QAction* action = FAction.get();
  QObject::connect(action, &QAction::triggered, action, [this] { ActionTriggered(); });
  QObject::connect(action, &QAction::hovered, action, [this] {
    const QString hint = FHint;
    CallGuarded([hint] { Application->SetHint(hint); });
  });
  UpdateAction();
}

TMenuItem::~TMenuItem() {
  Destroying();
  FAlive.reset();
  if (FParent) FParent->TakeOut(this);
  while (!FItems.isEmpty()) {
    TMenuItem* child = FItems.takeLast();
    child->FParent = nullptr;
    delete child;
  }
  if (FAction) FAction->setMenu(static_cast<QMenu*>(nullptr));
  Dispose(FSubMenu);
  Dispose(FRadioGroup);
  Dispose(FAction);
  ReleaseCommand(FCommand);
}

void TMenuItem::SetCaption(const QString& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  UpdateAction();
}

void TMenuItem::SetHint(const QString& Value) {
  FHint = Value;
  UpdateAction();
}

void TMenuItem::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  if (Value && FRadioItem) TurnSiblingsOff();
  UpdateAction();
}

void TMenuItem::SetRadioItem(bool Value) {
  if (FRadioItem == Value) return;
  FRadioItem = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  UpdateAction();
}

void TMenuItem::SetGroupIndex(Byte Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
}

void TMenuItem::TurnSiblingsOff() {
  if (!FParent) return;
  for (TMenuItem* sibling : FParent->FItems) {
    if (sibling == this || !sibling->FRadioItem || sibling->FGroupIndex != FGroupIndex || !sibling->FChecked)
      continue;
    sibling->FChecked = false;
    sibling->UpdateAction();
  }
}

void TMenuItem::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  UpdateAction();
}

void TMenuItem::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  UpdateAction();
}

void TMenuItem::SetDefault(bool Value) {
  if (FDefault == Value) return;
  FDefault = Value;
  if (Value && FParent)
    for (TMenuItem* sibling : FParent->FItems)
      if (sibling != this && sibling->FDefault) {
        sibling->FDefault = false;
        sibling->UpdateAction();
      }
  UpdateAction();
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (FShortCut == Value) return;
  FShortCut = Value;
  UpdateAction();
}

void TMenuItem::SetImageIndex(TImageIndex Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  UpdateAction();
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (FAutoCheck) SetChecked(!FChecked);
  if (OnClick) OnClick(this);
}

// --- sub-items

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= FItems.size()) throw EListError(Format(RtlConsts::SListIndexError, {Index}));
  return FItems[Index];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Add(std::initializer_list<TMenuItem*> AItems) {
  for (TMenuItem* item : AItems) Add(item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  bool cycle = false;
  for (const TMenuItem* p = this; p; p = p->FParent) cycle = cycle || p == Item;
  if (Item->FParent || Item->FMenu || cycle) throw EMenuError(QString::fromLatin1(MenusConsts::SMenuReinserted));
  if (Index < 0 || Index > FItems.size()) throw EMenuError(QString::fromLatin1(MenusConsts::SMenuIndexError));
  InsertItem(Index, Item);
}

void TMenuItem::InsertItem(int Index, TMenuItem* Item) {
  FItems.insert(Index, Item);
  Item->FParent = this;
  UpdateSubMenu();
  RebuildContainers();
  // The new item's text and icon depend on where it is now.
  Item->UpdateTree();
  if (Item->FChecked && Item->FRadioItem) Item->TurnSiblingsOff();
}

void TMenuItem::Delete(int Index) {
  if (Index < 0 || Index >= FItems.size()) throw EMenuError(QString::fromLatin1(MenusConsts::SMenuIndexError));
  TakeOut(FItems[Index]);
}

void TMenuItem::Remove(TMenuItem* Item) {
  const int i = IndexOf(Item);
  if (i < 0) throw EMenuError(QString::fromLatin1(MenusConsts::SMenuNotFound));
  Delete(i);
}

void TMenuItem::TakeOut(TMenuItem* Item) {
  if (!FItems.removeOne(Item)) return;
  Item->FParent = nullptr;
  if (ComponentState().Contains(csDestroying)) return;
  for (QWidget* c : Containers()) c->removeAction(Item->QtAction());
  UpdateSubMenu();
  if (!Item->ComponentState().Contains(csDestroying)) Item->UpdateTree();
}

void TMenuItem::Clear() {
  while (!FItems.isEmpty()) delete FItems.last();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const { return int(FItems.indexOf(const_cast<TMenuItem*>(Item))); }

TMenuItem* TMenuItem::Find(const QString& ACaption) const {
  const QString wanted = StripHotkey(ACaption);
  for (TMenuItem* item : FItems)
    if (StripHotkey(item->FCaption).compare(wanted, Qt::CaseInsensitive) == 0) return item;
  return nullptr;
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value) {
  if (!FParent) return;
  TMenuItem* parent = FParent;
  const int to = std::clamp(Value, 0, parent->Count() - 1);
  if (to == MenuIndex()) return;
  parent->FItems.removeOne(this);
  parent->FItems.insert(to, this);
  parent->RebuildContainers();
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->FParent) root = root->FParent;
  return root->FMenu;
}

// --- the Qt side

QList<QWidget*> TMenuItem::Containers() const {
  if (FMenu) return FMenu->RootContainers();
  if (FSubMenu) return {FSubMenu.get()};
  return {};
}

void TMenuItem::UpdateSubMenu() {
  if (FMenu) return;  // a root's entries live in its menu's widgets
  if (!FItems.isEmpty() && !FSubMenu) {
    FSubMenu = std::make_unique<QMenu>();
    QMenu* menu = FSubMenu.get();
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this] { SubMenuShowing(); });
    FAction->setMenu(menu);
  } else if (FItems.isEmpty() && FSubMenu && FOpening == 0) {
    FAction->setMenu(static_cast<QMenu*>(nullptr));
    Dispose(FSubMenu);
  }
}

void TMenuItem::RebuildContainers() {
  if (ComponentState().Contains(csDestroying)) return;
  for (QWidget* c : Containers()) {
    for (QAction* a : c->actions()) c->removeAction(a);
    for (TMenuItem* item : FItems) c->addAction(item->QtAction());
    if (auto* menu = qobject_cast<QMenu*>(c)) {
      QAction* def = nullptr;
      for (TMenuItem* item : FItems)
        if (item->FDefault) def = item->QtAction();
      menu->setDefaultAction(def);
    }
  }
}

void TMenuItem::UpdateTree() {
  UpdateAction();
  for (TMenuItem* item : FItems) item->UpdateTree();
}

void TMenuItem::UpdateAction() {
  QAction* a = FAction.get();
  if (!a) return;
  TMenu* menu = GetParentMenu();
  // Entries of a menu bar show no shortcut text.
  const bool onBar = FParent && FParent->FMenu && FParent->FMenu->IsMenuBar();
  // A line is drawn as a line only: its "-" caption is no text on it.
  const bool line = IsLine();
  a->setSeparator(line);
  QString text = line ? QString() : FCaption;
  if (FShortCut != scNone && !onBar && !line) {
    const QString keys = ShortCutToText(FShortCut);
    if (!keys.isEmpty()) text += u'\t' + keys;
  }
  a->setText(text);
  // Only a checked item is checkable: an unchecked one shows no box, as on
  // the framework's menus. A checked radio item sits in an exclusive group of
  // its own, which draws the dot; the exclusion among siblings is ours.
  a->setCheckable(FChecked);
  a->setChecked(FChecked);
  if (FRadioItem && !FRadioGroup) {
    FRadioGroup = std::make_unique<QActionGroup>(nullptr);
    FRadioGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    FRadioGroup->addAction(a);
  } else if (!FRadioItem && FRadioGroup) {
    FRadioGroup->removeAction(a);
    Dispose(FRadioGroup);
  }
  a->setEnabled(FEnabled);
  a->setVisible(FVisible);
  a->setStatusTip(FHint);
  QFont font = a->font();
  if (font.bold() != FDefault) {
    font.setBold(FDefault);
    a->setFont(font);
  }
  TCustomImageList* images = menu ? menu->Images() : nullptr;
  QIcon icon;
  if (images && FImageIndex >= 0 && FImageIndex < images->Count())
    icon = QIcon(QPixmap::fromImage(images->GetImage(FImageIndex)));
  a->setIcon(icon);
  if (FParent && !FParent->FMenu && FParent->FSubMenu) {
    QMenu* parentMenu = FParent->FSubMenu.get();
    if (FDefault) parentMenu->setDefaultAction(a);
    else if (parentMenu->defaultAction() == a) parentMenu->setDefaultAction(nullptr);
  } else if (FParent && FParent->FMenu) {
    for (QWidget* c : FParent->Containers())
      if (auto* m = qobject_cast<QMenu*>(c)) {
        if (FDefault) m->setDefaultAction(a);
        else if (m->defaultAction() == a) m->setDefaultAction(nullptr);
      }
  }
}

void TMenuItem::ActionTriggered() {
  std::weak_ptr<char> alive = FAlive;
  if (PopupTracking == 0) {
    ++MenuDispatch;
    CallGuarded([this] { Click(); });
    --MenuDispatch;
  }
  // Qt toggled the check mark; the item's own state decides.
  if (!alive.expired() && FAction) {
    FAction->setCheckable(FChecked);
    FAction->setChecked(FChecked);
  }
}

void TMenuItem::SubMenuShowing() {
  // The click may make the sub-items anew (Clear, then Add, as a menu
  // listing what is there now does): the menu being opened stays this
  // item's menu meanwhile, as the framework's menu handle does, and shows
  // the new items. It goes only if no item is left.
  std::weak_ptr<char> alive = FAlive;
  ++FOpening;
  ++MenuDispatch;
  CallGuarded([this] { Click(); });
  --MenuDispatch;
  if (alive.expired()) return;
  --FOpening;
  UpdateSubMenu();
}

// ---------------------------------------------------------------------------
// TMenu

TF_PUBLISHED(TMenu, TComponent) {
  return TPublished<TMenu>().Object("Images", &TMenu::Images, &TMenu::SetImages);
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
  FItems->FMenu = this;
}

TMenu::~TMenu() {
  Destroying();
  // The root goes while the menu's widgets are still known.
  FItems.reset();
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages) FImages->FreeNotification(this);
  FItems->UpdateTree();
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) {
    FImages = nullptr;
    if (!ComponentState().Contains(csDestroying)) FItems->UpdateTree();
  }
}

TMenuItem* TMenu::FindItem(int Value, TFindItemKind Kind) const {
  if (Kind == fkHandle) return nullptr;
  return FindIn(FItems.get(), Value, Kind);
}

bool TMenu::IsShortCut(TMessage& Message) {
  const TShortCut shortCut = ShortCutFromMessage(Message);
  TMenuItem* item = FindItem(shortCut, fkShortCut);
  if (!item || !item->Enabled()) return false;
  item->Click();
  return true;
}

// ---------------------------------------------------------------------------
// TMainMenu

TF_PUBLISHED(TMainMenu, TMenu) { return TPublished<TMainMenu>(); }

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TMainMenu::~TMainMenu() {
  Destroying();
  // Forms showing the menu let go of it (free notification) after this.
}

QMenuBar* TMainMenu::CreateMenuBar(QWidget* Parent) {
  auto* bar = new QMenuBar(Parent);
  bar->setNativeMenuBar(false);
  FMenuBars.append(bar);
  for (int i = 0; i < Items()->Count(); ++i) bar->addAction(Items()->Items(i)->QtAction());
  return bar;
}

QMenuBar* TMainMenu::MenuBar() const {
  for (qsizetype i = FMenuBars.size() - 1; i >= 0; --i)
    if (FMenuBars[i]) return FMenuBars[i].data();
  return nullptr;
}

QList<QWidget*> TMainMenu::RootContainers() const {
  QList<QWidget*> list;
  for (const QPointer<QMenuBar>& bar : FMenuBars)
    if (bar) list.append(bar.data());
  return list;
}

// ---------------------------------------------------------------------------
// TPopupMenu

TF_PUBLISHED(TPopupMenu, TMenu) {
  return TPublished<TPopupMenu>()
      .Enum("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft)
      .Boolean("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true)
      .Event("OnPopup", &TPopupMenu::OnPopup);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() {
  Destroying();
  Dispose(FMenu);
}

QMenu* TPopupMenu::QtMenu() {
  if (!FMenu) {
    FMenu = std::make_unique<QMenu>();
    Items()->RebuildContainers();
  }
  return FMenu.get();
}

QList<QWidget*> TPopupMenu::RootContainers() const {
  if (FMenu) return {FMenu.get()};
  return {};
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (FPopupComponent == Value) return;
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = Value;
  if (FPopupComponent) FPopupComponent->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

void TPopupMenu::Popup(int X, int Y) {
  FPopupPoint = TPoint(X, Y);
  DoPopup(this);
  std::weak_ptr<char> alive = Items()->FAlive;
  TMenuItem* chosen = PopupMenuService().TrackPopupMenu(this, X, Y);
  if (alive.expired() || !chosen) return;
  chosen->Click();
}

// ---------------------------------------------------------------------------
// The pop-up service

TPopupMenuService* SetPopupMenuService(TPopupMenuService* Service) {
  TPopupMenuService* previous = InstalledPopupService;
  InstalledPopupService = Service;
  return previous;
}

TPopupMenuService& PopupMenuService() {
  static TQtPopupMenuService defaultService;
  return InstalledPopupService ? *InstalledPopupService : defaultService;
}
