#pragma once
// The standard controls: edits, memos, buttons, check and radio buttons,
// labels, combo boxes, list boxes, scroll bars and group boxes.
//
// The windowed ones are Qt-backed: Qt does the editing, clicking and
// painting, and tells the control about changes the way a Win32 control
// tells its parent (WM_COMMAND with EN_CHANGE, BN_CLICKED, CBN_SELCHANGE...,
// WM_HSCROLL/WM_VSCROLL), which the parent reflects back as CN_COMMAND and
// CN_HSCROLL/CN_VSCROLL; the control runs its events from there. Keys come
// through the message path (OnKeyDown, OnKeyPress, OnKeyUp, dialog keys,
// accelerators) before Qt sees them.
//
// Text, items and settings live in the control while it has no window and
// are handed to the widget when the window is made; a memo's document and a
// list's items live outside the widget altogether, so they survive
// RecreateWnd and work before the control has a parent.
//
// Styles: Qt-backed controls take the active style's palette (set on the
// application by TStyleManager::SetStyle) and repaint when the style
// changes; TLabel paints itself with the style's colours.

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/UITypes.h"

class QLineEdit;
class QPlainTextEdit;
class QTextDocument;
class QComboBox;
class QListView;
class QItemSelectionModel;
class QScrollBar;
class QAbstractButton;

// ---------------------------------------------------------------------------
// Published names of the control base's enumerations.

TF_ENUM_NAMES(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
TF_ENUM_NAMES(TAnchorKind, akLeft, akTop, akRight, akBottom)

// The properties every published control shares (position, size, alignment,
// visibility, hints), for the head of a control's table:
//     TF_PUBLISHED(TEdit, TComponent) { return PublishedControl<TEdit>().Integer(...)... }
template <class T>
TPublished<T> PublishedControl() {
  return TPublished<T>()
      .Integer("Left", &T::Left, &T::SetLeft)
      .Integer("Top", &T::Top, &T::SetTop)
      .Integer("Width", &T::Width, &T::SetWidth)
      .Integer("Height", &T::Height, &T::SetHeight)
      .Enum("Align", &T::Align, &T::SetAlign)
      .Default(alNone)
      .Set("Anchors", &T::Anchors, &T::SetAnchors)
      .Default(TAnchors{akLeft, akTop}.Bits())
      .Boolean("Enabled", &T::Enabled, &T::SetEnabled)
      .Default(true)
      .Boolean("Visible", &T::Visible, &T::SetVisible)
      .Default(true)
      .String("Hint", &T::Hint, &T::SetHint)
      .Boolean("ShowHint", &T::ShowHint, &T::SetShowHint)
      .Default(false)
      .Integer("Cursor", &T::Cursor, &T::SetCursor)
      .Default(crDefault)
      .Boolean("ParentFont", &T::ParentFont, &T::SetParentFont)
      .Default(true)
      .Event("OnClick", &T::OnClick)
      .Event("OnDblClick", &T::OnDblClick)
      .Event("OnMouseDown", &T::OnMouseDown)
      .Event("OnMouseMove", &T::OnMouseMove)
      .Event("OnMouseUp", &T::OnMouseUp);
}

// As PublishedControl, plus what windowed controls add (tab order, focus and
// key events).
template <class T>
TPublished<T> PublishedWinControl() {
  return PublishedControl<T>()
      .Integer("TabOrder", &T::TabOrder, &T::SetTabOrder)
      .Stored(false)
      .Boolean("TabStop", &T::TabStop, &T::SetTabStop)
      .Event("OnEnter", &T::OnEnter)
      .Event("OnExit", &T::OnExit)
      .Event("OnKeyDown", &T::OnKeyDown)
      .Event("OnKeyPress", &T::OnKeyPress)
      .Event("OnKeyUp", &T::OnKeyUp);
}

// ---------------------------------------------------------------------------
// Shared enumerations

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
TF_ENUM_NAMES(TAlignment, taLeftJustify, taRightJustify, taCenter)

enum TTextLayout { tlTop, tlCenter, tlBottom };
TF_ENUM_NAMES(TTextLayout, tlTop, tlCenter, tlBottom)

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
TF_ENUM_NAMES(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
TF_ENUM_NAMES(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
TF_ENUM_NAMES(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };
TF_ENUM_NAMES(TComboBoxStyle, csDropDown, csSimple, csDropDownList)

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed };
TF_ENUM_NAMES(TListBoxStyle, lbStandard, lbOwnerDrawFixed)

enum TScrollBarKind { sbHorizontal, sbVertical };
TF_ENUM_NAMES(TScrollBarKind, sbHorizontal, sbVertical)

enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
TF_ENUM_NAMES(TScrollCode, scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom,
              scEndScroll)

enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault };
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;

// Accelerators ("&" in captions): IsAccel and StripHotkey come with the
// menus (Menus.h).

// Repaints through Callback while the control lives, each time the active
// style changes.
class TStyleChangeLink {
 public:
  explicit TStyleChangeLink(std::function<void()> Callback);
  ~TStyleChangeLink();
  TStyleChangeLink(const TStyleChangeLink&) = delete;
  TStyleChangeLink& operator=(const TStyleChangeLink&) = delete;

 private:
  int FId = 0;
};

// ---------------------------------------------------------------------------
// TCustomEdit / TEdit: a single-line edit over QLineEdit.
//
// OnChange runs after every change of the text, typed or set by the program
// (one call per change). MaxLength limits what the user types or pastes (0:
// no limit); text set by the program is never cut. CharCase converts typed
// and set text alike.

class TCustomEdit : public TWinControl {
 public:
  TF_DECLARE_MESSAGES(TCustomEdit)
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // #0: the text shows; any other character stands for each character.
  QChar PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(QChar Value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  const QString& TextHint() const { return FTextHint; }
  void SetTextHint(const QString& Value);
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  // The user changed the text since the program last set it.
  bool Modified() const;
  void SetModified(bool Value);

  // Selection in characters (0 and 0 while the control has no window).
  virtual int SelStart() const;
  virtual void SetSelStart(int Value);
  virtual int SelLength() const;
  virtual void SetSelLength(int Value);
  virtual QString SelText() const;
  // Replaces the selection (inserts at the caret when there is none).
  virtual void SetSelText(const QString& Value);
  virtual void SelectAll();
  void Clear();
  void ClearSelection() { SetSelText(QString()); }
  virtual void CopyToClipboard();
  virtual void CutToClipboard();
  virtual void PasteFromClipboard();
  virtual void Undo();

  TNotifyEvent OnChange;

 protected:
  // Runs OnChange.
  virtual void Change();
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  void DestroyWnd() override;
  void CNCommand(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMGetTextLength(TMessage& Message);
  void WMGetText(TMessage& Message);
  void WMSetText(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void CMEnter(TMessage& Message);
  void WMCreate(TMessage& Message);
  // The text as the widget holds it, and setting it without further checks.
  virtual QString EditText() const;
  virtual void SetEditText(const QString& Value);
  virtual LRESULT DialogCode() const;
  QLineEdit* LineEdit() const;
  QString ApplyCharCase(const QString& Value) const;
  void ApplyEchoMode();

  int FMaxLength = 0;
  bool FReadOnly = false;
  QChar FPasswordChar;
  TEditCharCase FCharCase = ecNormal;
  TAlignment FAlignment = taLeftJustify;
  QString FTextHint;
  bool FAutoSelect = true;
  bool FModified = false;

 private:
  std::unique_ptr<TStyleChangeLink> FStyleLink;
};

class TEdit : public TCustomEdit {
 public:
  TF_DECLARE_PUBLISHED(TEdit)
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// ---------------------------------------------------------------------------
// TCustomMemo / TMemo: a multi-line edit over QPlainTextEdit.
//
// Lines is a TStrings over the memo's document: its operations edit the
// text directly. A line is a paragraph; a line break after the last line
// ends that line rather than starting an empty one, so "a\r\nb\r\n" is two
// lines. Between Lines->BeginUpdate and the outermost EndUpdate painting is
// held back and OnChange runs once at the end (when anything changed).

class TCustomMemo;

class TMemoStrings : public TStrings {
 public:
  explicit TMemoStrings(TCustomMemo* AMemo) : FMemo(AMemo) {}
  void Insert(int Index, const QString& S) override;
  void Delete(int Index) override;
  void Clear() override;
  int Add(const QString& S) override;

 protected:
  QString Get(int Index) const override;
  int GetCount() const override;
  void Put(int Index, const QString& S) override;
  QString GetTextStr() const override;
  void SetTextStr(const QString& Value) override;
  void SetUpdateState(bool Updating) override;

 private:
  void CheckIndex(int Index, int Limit) const;
  TCustomMemo* FMemo;
};

class TCustomMemo : public TCustomEdit {
 public:
  TF_DECLARE_MESSAGES(TCustomMemo)
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  TStrings* Lines() const { return FLines.get(); }
  void SetLines(TStrings* Value) { FLines->Assign(Value); }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  // The caret's line and column (0-based).
  TPoint CaretPos() const;
  // Characters of Text (a line break counts two).
  int GetTextLen() const;

  int SelStart() const override;
  void SetSelStart(int Value) override;
  int SelLength() const override;
  void SetSelLength(int Value) override;
  QString SelText() const override;
  void SetSelText(const QString& Value) override;
  void SelectAll() override;
  void CopyToClipboard() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void Undo() override;

  // The document the widget shows (the layer's own bridge).
  QTextDocument* Document() const { return FDocument.get(); }

 protected:
  friend class TMemoStrings;
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  void DestroyWnd() override;
  void CMTextChanged(TMessage& Message);
  void CMWantSpecialKey(TMessage& Message);
  void CMEnter(TMessage& Message);
  void WMCreate(TMessage& Message);
  void WMChar(TMessage& Message);
  QString EditText() const override;
  void SetEditText(const QString& Value) override;
  LRESULT DialogCode() const override;
  QPlainTextEdit* PlainEdit() const;
  // Mouse input goes to the editor's viewport.
  void DefaultHandler(TMessage& Message) override;
  void ApplyScrollBars();
  void DocumentChanged();
  void BeginLinesUpdate();
  void EndLinesUpdate();

  std::unique_ptr<QTextDocument> FDocument;
  std::unique_ptr<TMemoStrings> FLines;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
  bool FWantReturns = true;
  bool FWantTabs = false;
  int FLinesUpdating = 0;
  bool FChangedWhileUpdating = false;
  int FSettingText = 0;
  int FSelStart = 0;  // caret without a window
  int FSelLength = 0;
};

class TMemo : public TCustomMemo {
 public:
  TF_DECLARE_PUBLISHED(TMemo)
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// ---------------------------------------------------------------------------
// Buttons

// The base of push, check and radio buttons over a QAbstractButton: the
// caption shows its "&" accelerator underlined, and the accelerator is
// answered through CM_DIALOGCHAR (Alt+key, or the key alone while the focus
// is on a control that takes no characters).
class TButtonControl : public TWinControl {
 public:
  TF_DECLARE_MESSAGES(TButtonControl)
  explicit TButtonControl(TComponent* AOwner);
  ~TButtonControl() override;

 protected:
  void CNCommand(TMessage& Message);
  void CMDialogChar(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void WMCreate(TMessage& Message);
  QAbstractButton* Button() const;
  // Hands the caption to the widget (Qt's own mnemonic shortcut stays off:
  // accelerators go through the message path).
  void ApplyCaption();
  // The accelerator was pressed.
  virtual void AccelPressed() = 0;
  // The widget reported a click (BN_CLICKED).
  virtual void ButtonClicked() = 0;

 private:
  std::unique_ptr<TStyleChangeLink> FStyleLink;
};

class TButton : public TButtonControl {
 public:
  TF_DECLARE_MESSAGES(TButton)
  TF_DECLARE_PUBLISHED(TButton)
  explicit TButton(TComponent* AOwner);

  // Enter clicks the default button unless the focus is on another button.
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  // Escape clicks the cancel button.
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  // Given to the parent form's ModalResult by Click.
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }

  // Sets the form's ModalResult, then runs OnClick.
  void Click() override;

 protected:
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  void CMDialogKey(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void AccelPressed() override;
  void ButtonClicked() override { Click(); }
  // True when Enter clicks this button now.
  bool ActiveDefault() const;

 private:
  bool FDefault = false;
  bool FCancel = false;
  TModalResult FModalResult = mrNone;
};

// A check box; every change of State, by the user or the program, runs
// OnClick once. The user's clicks cycle unchecked, grayed (AllowGrayed
// only), checked.
class TCheckBox : public TButtonControl {
 public:
  TF_DECLARE_PUBLISHED(TCheckBox)
  explicit TCheckBox(TComponent* AOwner);

  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState Value);
  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value);
  // The next state of a click.
  void Toggle();

 protected:
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  void AccelPressed() override;
  void ButtonClicked() override;
  void ApplyState();

 private:
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
};

// A radio button; checking one unchecks the radio buttons beside it (same
// parent). OnClick runs when it becomes checked.
class TRadioButton : public TButtonControl {
 public:
  TF_DECLARE_PUBLISHED(TRadioButton)
  explicit TRadioButton(TComponent* AOwner);

  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);

 protected:
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  void AccelPressed() override;
  void ButtonClicked() override { SetChecked(true); }

 private:
  bool FChecked = false;
};

// ---------------------------------------------------------------------------
// TLabel: a windowless control painting its Caption with DrawText.
//
// The default font colour (clWindowText) and the default background
// (clBtnFace) stand for the active style's label text and window colours.
// AutoSize fits the control to the text (keeping the width when WordWrap is
// on). With ShowAccelChar the "&" marks an accelerator: it is underlined, and
// pressing it focuses FocusControl.

class TCustomLabel : public TGraphicControl {
 public:
  TF_DECLARE_MESSAGES(TCustomLabel)
  explicit TCustomLabel(TComponent* AOwner);
  ~TCustomLabel() override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);

  // The DrawText flags the caption is drawn with.
  UINT DrawTextFlags() const;
  // Fits the size to the caption now (when AutoSize is on).
  void AdjustBounds();

 protected:
  void Paint() override;
  void CMTextChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMDialogChar(TMessage& Message);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  TColor EffectiveFontColor() const;
  TColor EffectiveColor() const;

 private:
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FAutoSize = true;
  bool FTransparent = false;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
  TColor FColor = clBtnFace;
  std::unique_ptr<TStyleChangeLink> FStyleLink;
};

class TLabel : public TCustomLabel {
 public:
  TF_DECLARE_PUBLISHED(TLabel)
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---------------------------------------------------------------------------
// Item lists of combo and list boxes

namespace stdctrls_detail {
// The items of a combo or list box as a Qt list model: text and object per
// row. Shared by the control's Items and its widget.
class TItemModel : public QAbstractListModel {
 public:
  int rowCount(const QModelIndex& Parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& Index, int Role) const override;

  int Count() const { return int(FText.size()); }
  const QString& Text(int Row) const { return FText[Row]; }
  TObject* Object(int Row) const { return FObjects[Row]; }
  void Insert(int Row, const QString& S, TObject* AObject);
  void Remove(int Row);
  void SetText(int Row, const QString& S);
  void SetObject(int Row, TObject* AObject) { FObjects[Row] = AObject; }
  void Move(int From, int To);
  void Reset(const QStringList& Texts, const QList<TObject*>& Objects);
  void Clear() { Reset({}, {}); }

 private:
  QStringList FText;
  QList<TObject*> FObjects;
};
}  // namespace stdctrls_detail

// The Items of a combo or list box: a TStrings over the control's item model.
// In a sorted control Add and AddObject put the string in its place.
class TCustomListControl;

class TListControlItems : public TStrings {
 public:
  explicit TListControlItems(TCustomListControl* AControl) : FControl(AControl) {}
  int Add(const QString& S) override;
  int AddObject(const QString& S, TObject* AObject) override;
  void Insert(int Index, const QString& S) override;
  void InsertObject(int Index, const QString& S, TObject* AObject) override;
  void Delete(int Index) override;
  void Clear() override;
  void Exchange(int Index1, int Index2) override;
  void Move(int CurIndex, int NewIndex) override;
  // The sorted position for S.
  int SortedIndex(const QString& S) const;
  // Puts the items in order (Sorted switched on).
  void Sort();

 protected:
  QString Get(int Index) const override;
  int GetCount() const override;
  TObject* GetObject(int Index) const override;
  void Put(int Index, const QString& S) override;
  void PutObject(int Index, TObject* AObject) override;
  void SetUpdateState(bool Updating) override;

 private:
  void CheckIndex(int Index, int Limit) const;
  TCustomListControl* FControl;
};

// The common part of combo and list boxes: the items, Sorted and ItemIndex.
class TCustomListControl : public TWinControl {
 public:
  explicit TCustomListControl(TComponent* AOwner);
  ~TCustomListControl() override;

  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  // -1: none. Setting an index outside the items selects none.
  virtual int ItemIndex() const = 0;
  virtual void SetItemIndex(int Value) = 0;
  void Clear() { FItems->Clear(); }

 protected:
  friend class TListControlItems;
  stdctrls_detail::TItemModel* Model() const { return FModel.get(); }
  // After an item was inserted or deleted at Index (selection bookkeeping
  // while there is no window), and after the items were replaced.
  virtual void ItemInserted(int Index) {}
  virtual void ItemDeleted(int Index, int OldItemIndex) {}
  virtual void ItemsReset() {}

  std::unique_ptr<stdctrls_detail::TItemModel> FModel;
  std::unique_ptr<TListControlItems> FItems;
  bool FSorted = false;
  // > 0 while the program changes items or selection: the widget's signals
  // then are no user actions.
  int FProgrammatic = 0;

 private:
  std::unique_ptr<TStyleChangeLink> FStyleLink;
};

// ---------------------------------------------------------------------------
// TComboBox over QComboBox. csDropDown (and csSimple) edit the text,
// csDropDownList only picks items. When the user edits the text OnChange
// runs; when the user picks an item OnClick runs, then OnSelect, or OnChange
// when OnSelect is not assigned. Setting ItemIndex or Text from the program
// runs none of them.

class TComboBox : public TCustomListControl {
 public:
  TF_DECLARE_MESSAGES(TComboBox)
  TF_DECLARE_PUBLISHED(TComboBox)
  explicit TComboBox(TComponent* AOwner);
  ~TComboBox() override;

  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value);
  int ItemIndex() const override;
  void SetItemIndex(int Value) override;
  bool DroppedDown() const;
  void SetDroppedDown(bool Value);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  void SelectAll();

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;

 protected:
  virtual void Change();
  virtual void Select();
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  void DestroyWnd() override;
  void CNCommand(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMGetText(TMessage& Message);
  void WMSetText(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  QComboBox* Combo() const;
  void ItemInserted(int Index) override;
  void ItemDeleted(int Index, int OldItemIndex) override;
  void ItemsReset() override;

 private:
  TComboBoxStyle FStyle = csDropDown;
  int FDropDownCount = 8;
  int FItemIndex = -1;  // without a window
  int FMaxLength = 0;
};

// ---------------------------------------------------------------------------
// TListBox over QListView. OnClick runs when the user changes the selection.

class TListBox : public TCustomListControl {
 public:
  TF_DECLARE_MESSAGES(TListBox)
  TF_DECLARE_PUBLISHED(TListBox)
  explicit TListBox(TComponent* AOwner);
  ~TListBox() override;

  // Single selection: the selected item. MultiSelect: the item with the
  // focus rectangle.
  int ItemIndex() const override;
  void SetItemIndex(int Value) override;
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  // Raises EListError for an index outside the items.
  bool Selected(int Index) const;
  void SetSelected(int Index, bool Value);
  int SelCount() const;
  void SelectAll();
  void ClearSelection();
  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value);
  int TopIndex() const;
  void SetTopIndex(int Value);
  // The item at Pos (client coordinates), -1 when none.
  int ItemAtPos(const TPoint& Pos, bool Existing = true) const;
  TRect ItemRect(int Index) const;
  // Owner drawing paints on this canvas in OnDrawItem.
  TCanvas* Canvas() const { return FCanvas.get(); }

  TDrawItemEvent OnDrawItem;

  // Paints item Index into Image (owner drawing; the layer's own bridge).
  void DrawItemImage(int Index, QImage& Image, TOwnerDrawState State);

 protected:
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  void CNCommand(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMCreate(TMessage& Message);
  void DestroyWnd() override;
  QListView* View() const;
  // Mouse input goes to the view's viewport.
  void DefaultHandler(TMessage& Message) override;
  void ApplySelectionMode();

 private:
  std::unique_ptr<QItemSelectionModel> FSelection;
  std::unique_ptr<TCanvas> FCanvas;
  bool FMultiSelect = false;
  TListBoxStyle FStyle = lbStandard;
  int FItemHeight = 16;
};

// ---------------------------------------------------------------------------
// TScrollBar over QScrollBar. Position stays within Min and Max - PageSize + 1
// (Max when PageSize is 0). OnScroll runs for the user's scrolling (the
// handler may change ScrollPos); OnChange after every change of Position.

class TScrollBar : public TWinControl {
 public:
  TF_DECLARE_MESSAGES(TScrollBar)
  TF_DECLARE_PUBLISHED(TScrollBar)
  explicit TScrollBar(TComponent* AOwner);
  ~TScrollBar() override;

  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind Value);
  int Min() const { return FMin; }
  void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
  int Max() const { return FMax; }
  void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
  int Position() const { return FPosition; }
  void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
  // Raises EInvalidOperation when AMax is below AMin.
  void SetParams(int APosition, int AMin, int AMax);
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int Value);
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int Value);
  // Raises EInvalidOperation when larger than the range.
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value);

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

 protected:
  virtual void Change();
  virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  void CNHScroll(TMessage& Message);
  void CNVScroll(TMessage& Message);
  // CN_HSCROLL and CN_VSCROLL: OnScroll may change the position.
  void DoScrollMessage(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMKeyDown(TMessage& Message);
  void WMCreate(TMessage& Message);
  QScrollBar* Bar() const;
  void ApplyParams();
  int MaxPosition() const;

 private:
  TScrollBarKind FKind = sbHorizontal;
  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
  int FSmallChange = 1;
  int FLargeChange = 1;
  int FPageSize = 0;
  int FApplying = 0;
  std::unique_ptr<TStyleChangeLink> FStyleLink;
};

// ---------------------------------------------------------------------------
// TGroupBox: a frame with a caption around other controls (over QGroupBox).

class TGroupBox : public TWinControl {
 public:
  TF_DECLARE_MESSAGES(TGroupBox)
  TF_DECLARE_PUBLISHED(TGroupBox)
  explicit TGroupBox(TComponent* AOwner);
  ~TGroupBox() override;

 protected:
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  void CMTextChanged(TMessage& Message);
  void CMDialogChar(TMessage& Message);
  // Aligned children stay inside the frame, below the caption.
  void AlignControls(TControl* AControl, TRect& Rect) override;

 private:
  std::unique_ptr<TStyleChangeLink> FStyleLink;
};
