// The framework grid's in-place editor: TInplaceEdit and the grid's side of
// the protocol (show, hide, load, store).

#include <QLineEdit>
#include <algorithm>

#include "platform/vcl/Grids.h"
#include "platform/win32/Shell.h"

// ---------------------------------------------------------------------------
// TInplaceEdit

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
  FVisible = false;
  FTabStop = false;
  FAutoSelect = false;
}

TInplaceEdit::~TInplaceEdit() {
  if (FGrid && FGrid->FInplaceEdit == this) FGrid->FInplaceEdit = nullptr;
}

QWidget* TInplaceEdit::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  QWidget* w = TCustomEdit::CreateWidget(Params, ParentWidget);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setFrame(false);
  return w;
}

void TInplaceEdit::UpdateContents() {
  if (!FGrid) return;
  FLoading = true;
  struct TDone {
    bool& Flag;
    ~TDone() { Flag = false; }
  } done{FLoading};
  const int col = FGrid->RawCol();
  const int row = FGrid->RawRow();
  SetText(QString());
  FEditMask = FGrid->GetEditMask(col, row);
  const QString text = FGrid->GetEditText(col, row);
  SetText(text);
  FOriginalText = text;
  const int limit = FGrid->GetEditLimit();
  SetMaxLength(std::max(limit, 0));
  SetReadOnly(limit < 0);
}

void TInplaceEdit::Move(const TRect& Loc) {
  HandleNeeded();
  SetBounds(Loc.Left, Loc.Top, Loc.Width(), Loc.Height());
  BringToFront();
  Show();
  if (FGrid && FGrid->HandleAllocated() && FGrid->Focused() && CanFocus()) SetFocus();
}

void TInplaceEdit::UpdateLoc(const TRect& Loc) {
  if (Loc.IsEmpty()) {
    // The cell scrolled out of view: the editor goes with it.
    Hide();
    return;
  }
  if (!Visible()) return;
  SetBounds(Loc.Left, Loc.Top, Loc.Width(), Loc.Height());
}

void TInplaceEdit::Hide() {
  if (!Visible()) return;
  const bool hadFocus = HandleAllocated() && Focused();
  SetVisible(false);
  if (hadFocus && FGrid && FGrid->CanFocus()) FGrid->SetFocus();
}

bool TInplaceEdit::PosEqual(const TRect& Rect) const { return BoundsRect() == Rect; }

void TInplaceEdit::Deselect() {
  const int length = int(Text().size());
  SetSelStart(length);
  SetSelLength(0);
}

void TInplaceEdit::SendToParent(Word& Key, TShiftState Shift) {
  if (FGrid) FGrid->KeyDown(Key, Shift);
  Key = 0;
}

void TInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (!FGrid) {
    TCustomEdit::KeyDown(Key, Shift);
    return;
  }
  const bool forwardMovement = FGrid->Options().Contains(goAlwaysShowEditor);
  const int length = int(Text().size());
  const bool leftSide = SelStart() == 0 && (SelLength() == 0 || SelLength() == length);
  const bool rightSide = (SelStart() == length && SelLength() == 0) || (SelStart() == 0 && SelLength() == length);
  switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
      SendToParent(Key, Shift);
      return;
    case VK_ESCAPE: {
      // Back to the text the editor opened with, and closed.
      TCustomGrid* grid = FGrid;
      SetText(FOriginalText);
      Key = 0;
      grid->HideEditor();
      return;
    }
    case VK_LEFT:
    case VK_HOME:
      if (forwardMovement && leftSide) {
        SendToParent(Key, Shift);
        return;
      }
      break;
    case VK_RIGHT:
    case VK_END:
      if (forwardMovement && rightSide) {
        SendToParent(Key, Shift);
        return;
      }
      break;
    case VK_TAB:
      if (!Shift.Contains(ssAlt)) {
        SendToParent(Key, Shift);
        return;
      }
      break;
    case VK_DELETE:
      if (Shift.Contains(ssCtrl)) {
        SendToParent(Key, Shift);
        return;
      }
      if (!FGrid->CanEditModify()) Key = 0;
      break;
    default: break;
  }
  if (Key == 0) return;
  // The grid's own key event sees the editor's keys too.
  if (FGrid->OnKeyDown) FGrid->OnKeyDown(FGrid, Key, Shift);
  if (Key != 0) TCustomEdit::KeyDown(Key, Shift);
}

void TInplaceEdit::KeyPress(QChar& Key) {
  if (!FGrid) {
    TCustomEdit::KeyPress(Key);
    return;
  }
  TCustomGrid* grid = FGrid;
  grid->KeyPress(Key);
  const char16_t k = Key.unicode();
  if (k >= 32 && !grid->CanEditAcceptKey(Key)) {
    Key = QChar();
    MessageBeep(0);
    return;
  }
  switch (k) {
    case 9:
    case 27:
      Key = QChar();
      break;
    case 13:
      // Enter again selects all or nothing.
      if (SelStart() == 0 && SelLength() == int(Text().size()))
        Deselect();
      else
        SelectAll();
      Key = QChar();
      break;
    default:
      if ((k == 8 || k == 22 || k == 24 || k >= 32) && !grid->CanEditModify()) Key = QChar();
      break;
  }
  if (!Key.isNull()) TCustomEdit::KeyPress(Key);
}

void TInplaceEdit::Change() {
  TCustomEdit::Change();
  if (!FLoading && FGrid) FGrid->UpdateText();
}

TF_MESSAGE_MAP(TInplaceEdit, TCustomEdit) {
  return {
      TF_MESSAGE(WM_GETDLGCODE, WMGetDlgCode),
  };
}

void TInplaceEdit::WMGetDlgCode(TMessage& Message) {
  TCustomEdit::WMGetDlgCode(Message);
  if (FGrid && FGrid->Options().Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
}

// ---------------------------------------------------------------------------
// The grid's side

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

bool TCustomGrid::CanEditShow() {
  return FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) && FEditorMode &&
         !ComponentState().Contains(csDesigning) && HandleAllocated() &&
         (FOptions.Contains(goAlwaysShowEditor) || IsActiveControl());
}

bool TCustomGrid::CanEditModify() { return FCanEditModify; }

bool TCustomGrid::CanEditAcceptKey(QChar Key) { return true; }

QString TCustomGrid::GetEditText(int ACol, int ARow) { return QString(); }

void TCustomGrid::SetEditText(int ACol, int ARow, const QString& Value) {}

QString TCustomGrid::GetEditMask(int ACol, int ARow) { return QString(); }

int TCustomGrid::GetEditLimit() { return 0; }

void TCustomGrid::SetEditorMode(bool Value) {
  if (!Value) {
    HideEditor();
    return;
  }
  ShowEditor();
  if (FInplaceEdit && FInplaceEdit->Visible()) FInplaceEdit->Deselect();
}

void TCustomGrid::ShowEditor() {
  FEditorMode = true;
  UpdateEdit();
}

void TCustomGrid::HideEditor() {
  FEditorMode = false;
  HideEdit();
}

void TCustomGrid::ShowEditorChar(QChar Ch) {
  ShowEditor();
  if (FInplaceEdit && FInplaceEdit->Visible() && FInplaceEdit->HandleAllocated())
    PostMessage(FInplaceEdit->Handle(), WM_CHAR, WPARAM(Ch.unicode()), 0);
}

void TCustomGrid::InvalidateEditor() {
  FInplaceCol = -1;
  FInplaceRow = -1;
  UpdateEdit();
}

void TCustomGrid::UpdateEdit() {
  if (!CanEditShow()) return;
  auto load = [this] {
    FInplaceCol = RawCol();
    FInplaceRow = RawRow();
    FInplaceEdit->UpdateContents();
    FCanEditModify = GetEditLimit() >= 0;
    FInplaceEdit->SelectAll();
  };
  if (!FInplaceEdit) {
    FInplaceEdit = CreateEditor();
    if (!FInplaceEdit) return;
    FInplaceEdit->SetGrid(this);
    FInplaceEdit->SetFont(Font());
    FInplaceEdit->SetParent(this);
    load();
  } else if (RawCol() != FInplaceCol || RawRow() != FInplaceRow) {
    HideEdit();
    load();
  }
  if (!CanEditShow()) return;
  const TRect r = RawCellRect(RawCol(), RawRow());
  if (r.IsEmpty()) {
    FInplaceEdit->Hide();
    return;
  }
  FInplaceEdit->Move(r);
}

void TCustomGrid::HideEdit() {
  if (!FInplaceEdit) return;
  struct TDone {
    TCustomGrid* Grid;
    ~TDone() {
      Grid->FInplaceCol = -1;
      Grid->FInplaceRow = -1;
      if (Grid->FInplaceEdit) Grid->FInplaceEdit->Hide();
    }
  } done{this};
  UpdateText();
}

void TCustomGrid::UpdateText() {
  if (FInplaceEdit && FInplaceCol != -1 && FInplaceRow != -1)
    SetEditText(FInplaceCol, FInplaceRow, FInplaceEdit->Text());
}
