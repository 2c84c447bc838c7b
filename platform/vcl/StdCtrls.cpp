// The standard controls over Qt widgets.

#include "platform/vcl/StdCtrls.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyledItemDelegate>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QValidator>
#include <QWheelEvent>
#include <algorithm>
#include <limits>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Themes.h"
#include "platform/win32/Gdi.h"

namespace {

constexpr WORD LBN_SELCHANGE = 1;
constexpr WORD LBN_DBLCLK = 2;

constexpr const char* SScrollBarRange = "Scroll bar property out of range";

// Copies Text into a WM_GETTEXT buffer; answers the characters copied.
LRESULT CopyTextTo(const QString& Text, TMessage& Message) {
  auto* buffer = reinterpret_cast<WCHAR*>(Message.LParam);
  const qsizetype room = qsizetype(Message.WParam);
  if (!buffer || room <= 0) return 0;
  const qsizetype n = std::min(room - 1, Text.size());
  std::copy_n(reinterpret_cast<const WCHAR*>(Text.utf16()), n, buffer);
  buffer[n] = 0;
  return n;
}

QString TextOfSetText(const TMessage& Message) {
  return Message.LParam ? QString::fromUtf16(reinterpret_cast<const char16_t*>(Message.LParam)) : QString();
}

// Line breaks of any kind as Qt's paragraph breaks.
QString ToQtLines(QString S) {
  S.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  S.replace(u'\r', u'\n');
  return S;
}

Qt::Alignment QtAlignment(TAlignment Value) {
  switch (Value) {
    case taRightJustify: return Qt::AlignRight | Qt::AlignVCenter;
    case taCenter: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

// Limits and converts what the user types into a line edit. Text the
// program sets passes unchecked (Program is raised around it).
class TEditValidator : public QValidator {
 public:
  TEditValidator(QLineEdit* Edit, const int* MaxLength, const TEditCharCase* CharCase)
      : QValidator(Edit), FMaxLength(MaxLength), FCharCase(CharCase) {
    QObject::connect(Edit, &QLineEdit::textChanged, this, [this](const QString& Text) { FLength = Text.size(); });
  }
  State validate(QString& Input, int& Pos) const override {
    if (Program > 0) return Acceptable;
    if (*FCharCase == ecUpperCase) Input = Input.toUpper();
    else if (*FCharCase == ecLowerCase) Input = Input.toLower();
    Pos = std::min<int>(Pos, int(Input.size()));
    // Text beyond the limit may shrink but not grow.
    if (*FMaxLength > 0 && Input.size() > *FMaxLength && Input.size() > FLength) return Invalid;
    return Acceptable;
  }
  int Program = 0;

 private:
  const int* FMaxLength;
  const TEditCharCase* FCharCase;
  qsizetype FLength = 0;  // of the text before the edit being validated
};

// Runs a change of a line edit's text made by the program.
template <class F>
void ProgramEdit(QLineEdit* Edit, F&& Change) {
  auto* validator = const_cast<TEditValidator*>(dynamic_cast<const TEditValidator*>(Edit->validator()));
  if (validator) ++validator->Program;
  struct TDone {
    TEditValidator* V;
    ~TDone() {
      if (V) --V->Program;
    }
  } done{validator};
  Change();
}

// The application's style with another password character.
class TPasswordStyle : public QProxyStyle {
 public:
  TPasswordStyle(QChar Char, QObject* Parent)
      : QProxyStyle(QStyleFactory::create(QApplication::style()->name())), FChar(Char) {
    setParent(Parent);
  }
  int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                QStyleHintReturn* ReturnData) const override {
    if (Hint == SH_LineEdit_PasswordCharacter) return FChar.unicode();
    return QProxyStyle::styleHint(Hint, Option, Widget, ReturnData);
  }

 private:
  QChar FChar;
};

// A scroll area (memo, list box) handles the mouse in its viewport, a child
// widget of the control's window. The viewport's mouse and wheel input is
// turned into input of the window, so that it runs through the control's
// messages, and the control's default handling hands it back to the
// viewport. What the viewport leaves unused there ends with it: it goes no
// further up (it would come back to the window and round again), as a
// window procedure's default handling is the end of a message.
class TViewportRouter : public QObject {
 public:
  explicit TViewportRouter(QAbstractScrollArea* Area) : QObject(Area), FArea(Area), FViewport(Area->viewport()) {
    FViewport->installEventFilter(this);
    FViewport->setAttribute(Qt::WA_NoMousePropagation);
  }
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    switch (Event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::Wheel: break;
      default: return false;  // (also while the widgets are being destroyed)
    }
    if (FPassing || Watched != FViewport) return false;
    if (Event->type() == QEvent::Wheel) {
      auto* e = static_cast<QWheelEvent*>(Event);
      QWheelEvent routed(FViewport->mapTo(FArea, e->position()), e->globalPosition(), e->pixelDelta(),
                         e->angleDelta(), e->buttons(), e->modifiers(), e->phase(), e->inverted());
      QCoreApplication::sendEvent(FArea, &routed);
      return true;
    }
    auto* e = static_cast<QMouseEvent*>(Event);
    QMouseEvent routed(e->type(), FViewport->mapTo(FArea, e->position()), e->globalPosition(), e->button(),
                       e->buttons(), e->modifiers());
    QCoreApplication::sendEvent(FArea, &routed);
    return true;
  }
  // Delivers a mouse event of the window to the viewport.
  void Deliver(const QMouseEvent* Event, QEvent::Type Type) {
    if (FPassing) return;  // the viewport's own handling asked for more
    QWidget* viewport = FViewport;
    QMouseEvent e(Type, viewport->mapFrom(FArea, Event->position()), Event->globalPosition(), Event->button(),
                  Event->buttons(), Event->modifiers());
    Pass(&e);
  }
  // Turns the viewport by whole notches of the wheel at a screen point.
  void DeliverWheel(QPoint Screen, QPoint Angle) {
    if (FPassing) return;
    // Without modifiers: the framework's memo and list box scroll lines on
    // every turn (Qt would zoom with Ctrl, page with Shift).
    QWheelEvent e(FViewport->mapFromGlobal(QPointF(Screen)), QPointF(Screen), QPoint(), Angle, Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    Pass(&e);
  }

 private:
  void Pass(QEvent* Event) {
    QPointer<TViewportRouter> alive(this);
    FPassing = true;
    QCoreApplication::sendEvent(FViewport, Event);
    if (alive) FPassing = false;
  }

  QAbstractScrollArea* FArea;
  QWidget* FViewport;  // a child of FArea: goes with it
  bool FPassing = false;
};

// The default handling of a mouse or wheel message of a scroll area
// control: the focus on a press, then the origin event to the viewport; a
// wheel turns it by the message's notches. False for other messages.
bool MouseToViewport(TWinControl* Control, TMessage& Message) {
  const UINT msg = Message.Msg;
  if (msg < WM_MOUSEFIRST || msg > WM_MOUSELAST) return false;
  auto* area = qobject_cast<QAbstractScrollArea*>(Control->WidgetIfAllocated());
  TViewportRouter* router = nullptr;
  if (area)
    for (QObject* child : area->children())
      if ((router = dynamic_cast<TViewportRouter*>(child))) break;
  if (!router) return false;
  if (msg == WM_MOUSEWHEEL || msg == WM_MOUSEHWHEEL) {
    const int delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
    const QPoint screen(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    // WM_MOUSEHWHEEL counts to the right, Qt's angle to the left.
    router->DeliverWheel(screen, msg == WM_MOUSEWHEEL ? QPoint(0, delta) : QPoint(-delta, 0));
    return true;
  }
  const bool press = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK;
  if (press && (area->focusPolicy() & Qt::ClickFocus) && area->isEnabled() && !Control->Focused())
    ::SetFocus(Control->Handle());
  auto* origin = dynamic_cast<QMouseEvent*>(Message.Origin);
  if (!origin || !Control->WidgetIfAllocated()) return true;
  QPointer<TViewportRouter> alive(router);
  DeliverMouseOrigin(Message, origin, [&](QMouseEvent* e) {
    if (alive && Control->WidgetIfAllocated()) alive->Deliver(e, e->type());
  });
  return true;
}

}  // namespace

// A read-only memo keeps its caret keys, as the framework's does (Qt's
// read-only editor takes the mouse only): arrows, Page Down, Ctrl+Home move
// through the text and select with Shift.
void SetMemoReadOnly(QPlainTextEdit* Memo, bool Value) {
  Memo->setReadOnly(Value);
  if (Value) Memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

// ---------------------------------------------------------------------------
// Helpers

TStyleChangeLink::TStyleChangeLink(std::function<void()> Callback)
    : FId(TStyleManager::AddStyleChangeListener(std::move(Callback))) {}

TStyleChangeLink::~TStyleChangeLink() { TStyleManager::RemoveStyleChangeListener(FId); }

namespace {
// Repaints a window's widget when the style changes.
std::unique_ptr<TStyleChangeLink> RepaintOnStyleChange(TWinControl* Control) {
  return std::make_unique<TStyleChangeLink>([Control] {
    if (QWidget* w = Control->WidgetIfAllocated()) w->update();
  });
}
}  // namespace

// ---------------------------------------------------------------------------
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  FQtBacked = true;
  FTabStop = true;
  FWidth = 121;
  FHeight = 21;
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  FStyleLink = RepaintOnStyleChange(this);
}

TCustomEdit::~TCustomEdit() { DestroyHandle(); }

QLineEdit* TCustomEdit::LineEdit() const { return qobject_cast<QLineEdit*>(WidgetIfAllocated()); }

QWidget* TCustomEdit::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  auto* edit = new THostWidget<QLineEdit>(this, ParentWidget);
  // The limit is the validator's: the program's text is never cut.
  edit->setMaxLength(std::numeric_limits<int>::max());
  edit->setValidator(new TEditValidator(edit, &FMaxLength, &FCharCase));
  ProgramEdit(edit, [&] { edit->setText(ApplyCharCase(Params.Caption)); });
  edit->setModified(FModified);
  edit->setReadOnly(FReadOnly);
  edit->setAlignment(QtAlignment(FAlignment));
  edit->setPlaceholderText(FTextHint);
  QObject::connect(edit, &QLineEdit::textChanged, edit, [this] { SendParentCommand(EN_CHANGE); });
  return edit;
}

void TCustomEdit::ApplyEchoMode() {
  QLineEdit* edit = LineEdit();
  if (!edit) return;
  if (FPasswordChar.isNull()) {
    edit->setEchoMode(QLineEdit::Normal);
    edit->setStyle(QApplication::style());
    return;
  }
  edit->setStyle(new TPasswordStyle(FPasswordChar, edit));
  edit->setEchoMode(QLineEdit::Password);
}

void TCustomEdit::DestroyWnd() {
  if (QLineEdit* edit = LineEdit()) {
    FText = edit->text();
    FModified = edit->isModified();
  }
  TWinControl::DestroyWnd();
}

QString TCustomEdit::EditText() const {
  if (QLineEdit* edit = LineEdit()) return edit->text();
  return FText;
}

void TCustomEdit::SetEditText(const QString& Value) {
  if (QLineEdit* edit = LineEdit()) ProgramEdit(edit, [&] { edit->setText(Value); });
  else FText = Value;
  FModified = false;
}

QString TCustomEdit::ApplyCharCase(const QString& Value) const {
  switch (FCharCase) {
    case ecUpperCase: return Value.toUpper();
    case ecLowerCase: return Value.toLower();
    default: return Value;
  }
}

LRESULT TCustomEdit::DialogCode() const { return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL; }

TF_MESSAGE_MAP(TCustomEdit, TWinControl) {
  return {
      TF_MESSAGE(CN_COMMAND, CNCommand),
      TF_MESSAGE(WM_GETDLGCODE, WMGetDlgCode),
      TF_MESSAGE(WM_GETTEXTLENGTH, WMGetTextLength),
      TF_MESSAGE(WM_GETTEXT, WMGetText),
      TF_MESSAGE(WM_SETTEXT, WMSetText),
      TF_MESSAGE(CM_TEXTCHANGED, CMTextChanged),
      TF_MESSAGE(CM_ENTER, CMEnter),
      TF_MESSAGE(WM_CREATE, WMCreate),
  };
}

void TCustomEdit::CNCommand(TMessage& Message) {
  if (Message.WParamHi() == EN_CHANGE) Change();
}

void TCustomEdit::WMGetDlgCode(TMessage& Message) { Message.Result = DialogCode(); }

void TCustomEdit::WMGetTextLength(TMessage& Message) { Message.Result = EditText().size(); }

void TCustomEdit::WMGetText(TMessage& Message) { Message.Result = CopyTextTo(EditText(), Message); }

void TCustomEdit::WMSetText(TMessage& Message) {
  SetEditText(ApplyCharCase(TextOfSetText(Message)));
  Message.Result = 1;
}

void TCustomEdit::CMTextChanged(TMessage&) {
  // With a window the edit reported the change itself.
  if (!HandleAllocated()) Change();
}

void TCustomEdit::CMEnter(TMessage& Message) {
  if (FAutoSelect && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
  TWinControl::CMEnter(Message);
}

void TCustomEdit::WMCreate(TMessage& Message) {
  ApplyEchoMode();
  Inherited<TWinControl>(Message);
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::SetMaxLength(int Value) { FMaxLength = std::max(Value, 0); }

void TCustomEdit::SetReadOnly(bool Value) {
  FReadOnly = Value;
  if (auto* edit = LineEdit()) edit->setReadOnly(Value);
  else if (auto* memo = qobject_cast<QPlainTextEdit*>(WidgetIfAllocated())) SetMemoReadOnly(memo, Value);
}

void TCustomEdit::SetPasswordChar(QChar Value) {
  if (FPasswordChar == Value) return;
  FPasswordChar = Value;
  ApplyEchoMode();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  const QString text = EditText();
  const QString converted = ApplyCharCase(text);
  if (converted != text) SetText(converted);
}

void TCustomEdit::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  if (auto* edit = LineEdit()) edit->setAlignment(QtAlignment(Value));
}

void TCustomEdit::SetTextHint(const QString& Value) {
  FTextHint = Value;
  if (auto* edit = LineEdit()) edit->setPlaceholderText(Value);
  else if (auto* memo = qobject_cast<QPlainTextEdit*>(WidgetIfAllocated())) memo->setPlaceholderText(Value);
}

bool TCustomEdit::Modified() const {
  if (auto* edit = LineEdit()) return edit->isModified();
  return FModified;
}

void TCustomEdit::SetModified(bool Value) {
  FModified = Value;
  if (auto* edit = LineEdit()) edit->setModified(Value);
}

int TCustomEdit::SelStart() const {
  QLineEdit* edit = LineEdit();
  if (!edit) return 0;
  return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

void TCustomEdit::SetSelStart(int Value) {
  if (QLineEdit* edit = LineEdit()) edit->setCursorPosition(std::clamp<int>(Value, 0, int(edit->text().size())));
}

int TCustomEdit::SelLength() const {
  QLineEdit* edit = LineEdit();
  return edit ? int(edit->selectedText().size()) : 0;
}

void TCustomEdit::SetSelLength(int Value) {
  QLineEdit* edit = LineEdit();
  if (!edit) return;
  const int start = SelStart();
  const int end = std::clamp<int>(start + Value, 0, int(edit->text().size()));
  edit->setSelection(start, end - start);
}

QString TCustomEdit::SelText() const {
  QLineEdit* edit = LineEdit();
  return edit ? edit->selectedText() : QString();
}

void TCustomEdit::SetSelText(const QString& Value) {
  if (QLineEdit* edit = LineEdit()) ProgramEdit(edit, [&] { edit->insert(ApplyCharCase(Value)); });
}

void TCustomEdit::SelectAll() {
  if (QLineEdit* edit = LineEdit()) edit->selectAll();
}

void TCustomEdit::Clear() { SetText(QString()); }

void TCustomEdit::CopyToClipboard() {
  if (QLineEdit* edit = LineEdit()) edit->copy();
}

void TCustomEdit::CutToClipboard() {
  if (QLineEdit* edit = LineEdit()) edit->cut();
}

void TCustomEdit::PasteFromClipboard() {
  if (QLineEdit* edit = LineEdit()) edit->paste();
}

void TCustomEdit::Undo() {
  if (QLineEdit* edit = LineEdit()) edit->undo();
}

TF_PUBLISHED(TEdit, TComponent) {
  return PublishedWinControl<TEdit>()
      .String("Text", &TEdit::Text, &TEdit::SetText)
      .Integer("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength)
      .Default(0)
      .Boolean("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly)
      .Default(false)
      .Char("PasswordChar", &TEdit::PasswordChar, &TEdit::SetPasswordChar)
      .Default(0)
      .Enum("CharCase", &TEdit::CharCase, &TEdit::SetCharCase)
      .Default(ecNormal)
      .Enum("Alignment", &TEdit::Alignment, &TEdit::SetAlignment)
      .Default(taLeftJustify)
      .String("TextHint", &TEdit::TextHint, &TEdit::SetTextHint)
      .Boolean("AutoSelect", &TEdit::AutoSelect, &TEdit::SetAutoSelect)
      .Default(true)
      .Event("OnChange", &TEdit::OnChange);
}

// ---------------------------------------------------------------------------
// TMemoStrings

void TMemoStrings::CheckIndex(int Index, int Limit) const {
  if (Index < 0 || Index >= Limit) Error(RtlConsts::SListIndexError, Index);
}

int TMemoStrings::GetCount() const {
  QTextDocument* doc = FMemo->Document();
  int n = doc->blockCount();
  // A line break after the last line ends it: the empty block after it is
  // no line.
  if (n > 0 && doc->lastBlock().length() <= 1) --n;
  return n;
}

QString TMemoStrings::Get(int Index) const {
  CheckIndex(Index, GetCount());
  return FMemo->Document()->findBlockByNumber(Index).text();
}

namespace {
// Runs an edit of a memo's document with the document's own change signals
// held back (Qt may report one edit in several steps).
template <class F>
void HoldingChanges(int& Guard, F&& Edit) {
  ++Guard;
  struct TRelease {
    int& Guard;
    ~TRelease() { --Guard; }
  } release{Guard};
  Edit();
}
}  // namespace

void TMemoStrings::Insert(int Index, const QString& S) {
  const int count = GetCount();
  CheckIndex(Index, count + 1);
  QTextDocument* doc = FMemo->Document();
  const QString line = ToQtLines(S);
  QTextCursor cursor(doc);
  HoldingChanges(FMemo->FSettingText, [&] {
  if (Index < count) {
    cursor.setPosition(doc->findBlockByNumber(Index).position());
    cursor.insertText(line + u'\n');
  } else if (doc->blockCount() > count) {
    // The text ends with a line break: the new line goes after it.
    cursor.setPosition(doc->lastBlock().position());
    cursor.insertText(line + u'\n');
  } else {
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(u'\n' + line);
  }
  });
  FMemo->DocumentChanged();
}

int TMemoStrings::Add(const QString& S) {
  const int index = GetCount();
  Insert(index, S);
  return index;
}

void TMemoStrings::Delete(int Index) {
  CheckIndex(Index, GetCount());
  QTextDocument* doc = FMemo->Document();
  const QTextBlock block = doc->findBlockByNumber(Index);
  QTextCursor cursor(doc);
  if (block.next().isValid()) {
    cursor.setPosition(block.position());
    cursor.setPosition(block.next().position(), QTextCursor::KeepAnchor);
  } else {
    // The last line without a line break after it: the break before it goes.
    cursor.setPosition(Index > 0 ? block.position() - 1 : block.position());
    cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
  }
  HoldingChanges(FMemo->FSettingText, [&] { cursor.removeSelectedText(); });
  FMemo->DocumentChanged();
}

void TMemoStrings::Put(int Index, const QString& S) {
  CheckIndex(Index, GetCount());
  const QTextBlock block = FMemo->Document()->findBlockByNumber(Index);
  QTextCursor cursor(FMemo->Document());
  cursor.setPosition(block.position());
  cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
  HoldingChanges(FMemo->FSettingText, [&] { cursor.insertText(ToQtLines(S)); });
  FMemo->DocumentChanged();
}

void TMemoStrings::Clear() { FMemo->SetEditText(QString()); }

QString TMemoStrings::GetTextStr() const {
  QStringList lines = FMemo->Document()->toRawText().split(QChar::ParagraphSeparator);
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  if (lines.isEmpty()) return QString();
  QString text = lines.join(LineBreak());
  if (TrailingLineBreak()) text += LineBreak();
  return text;
}

void TMemoStrings::SetTextStr(const QString& Value) { FMemo->SetEditText(Value); }

void TMemoStrings::SetUpdateState(bool Updating) {
  if (Updating) FMemo->BeginLinesUpdate();
  else FMemo->EndLinesUpdate();
}

// ---------------------------------------------------------------------------
// TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner), FDocument(std::make_unique<QTextDocument>()), FLines(std::make_unique<TMemoStrings>(this)) {
  FWidth = 185;
  FHeight = 89;
  FControlStyle.Exclude(csFixedHeight);
  FDocument->setDocumentLayout(new QPlainTextDocumentLayout(FDocument.get()));
  FDocument->setUndoRedoEnabled(true);
  QObject::connect(FDocument.get(), &QTextDocument::contentsChanged, FDocument.get(), [this] { DocumentChanged(); });
}

TCustomMemo::~TCustomMemo() {
  // The widget shows the document: it goes first.
  DestroyHandle();
}

QPlainTextEdit* TCustomMemo::PlainEdit() const { return qobject_cast<QPlainTextEdit*>(WidgetIfAllocated()); }

void TCustomMemo::DefaultHandler(TMessage& Message) {
  if (!MouseToViewport(this, Message)) TCustomEdit::DefaultHandler(Message);
}

QWidget* TCustomMemo::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  auto* memo = new THostWidget<QPlainTextEdit>(this, ParentWidget);
  // Attaching the document sets its font and layout; that is no change of
  // the text.
  ++FSettingText;
  memo->setDocument(FDocument.get());
  --FSettingText;
  SetMemoReadOnly(memo, FReadOnly);
  memo->setTabChangesFocus(false);
  memo->setPlaceholderText(FTextHint);
  memo->setLineWrapMode(FWordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  QTextCursor cursor(FDocument.get());
  cursor.setPosition(std::clamp(FSelStart, 0, FDocument->characterCount() - 1));
  cursor.setPosition(std::clamp(FSelStart + FSelLength, 0, FDocument->characterCount() - 1), QTextCursor::KeepAnchor);
  memo->setTextCursor(cursor);
  new TViewportRouter(memo);
  return memo;
}

void TCustomMemo::DestroyWnd() {
  if (QPlainTextEdit* memo = PlainEdit()) {
    const QTextCursor c = memo->textCursor();
    FSelStart = c.selectionStart();
    FSelLength = c.selectionEnd() - c.selectionStart();
    FModified = FDocument->isModified();
    ++FSettingText;
    memo->setDocument(nullptr);  // the document stays with the memo
    --FSettingText;
  }
  TWinControl::DestroyWnd();
}

void TCustomMemo::ApplyScrollBars() {
  QPlainTextEdit* memo = PlainEdit();
  if (!memo) return;
  const bool h = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
  const bool v = FScrollBars == ssVertical || FScrollBars == ssBoth;
  memo->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  memo->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  FScrollBars = Value;
  ApplyScrollBars();
}

void TCustomMemo::SetWordWrap(bool Value) {
  FWordWrap = Value;
  if (QPlainTextEdit* memo = PlainEdit())
    memo->setLineWrapMode(Value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

QString TCustomMemo::EditText() const {
  QString text = FDocument->toRawText();
  text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
  return text;
}

void TCustomMemo::SetEditText(const QString& Value) {
  HoldingChanges(FSettingText, [&] { FDocument->setPlainText(ToQtLines(Value)); });
  FModified = false;
  DocumentChanged();
}

void TCustomMemo::DocumentChanged() {
  if (FSettingText > 0) return;  // the operation reports once when done
  if (FLinesUpdating > 0) {
    FChangedWhileUpdating = true;
    return;
  }
  if (HandleAllocated() && Parent()) SendParentCommand(EN_CHANGE);
  else Change();
}

void TCustomMemo::BeginLinesUpdate() {
  ++FLinesUpdating;
  FChangedWhileUpdating = false;
  if (QWidget* w = WidgetIfAllocated()) w->setUpdatesEnabled(false);
}

void TCustomMemo::EndLinesUpdate() {
  FLinesUpdating = 0;
  if (QWidget* w = WidgetIfAllocated()) w->setUpdatesEnabled(true);
  if (FChangedWhileUpdating) {
    FChangedWhileUpdating = false;
    DocumentChanged();
  }
}

LRESULT TCustomMemo::DialogCode() const {
  return TCustomEdit::DialogCode() | (FWantTabs ? DLGC_WANTTAB : 0);
}

TF_MESSAGE_MAP(TCustomMemo, TCustomEdit) {
  return {
      TF_MESSAGE(CM_TEXTCHANGED, CMTextChanged),
      TF_MESSAGE(CM_WANTSPECIALKEY, CMWantSpecialKey),
      TF_MESSAGE(CM_ENTER, CMEnter),
      TF_MESSAGE(WM_CREATE, WMCreate),
      TF_MESSAGE(WM_CHAR, WMChar),
  };
}

void TCustomMemo::CMTextChanged(TMessage&) {}  // the document reported the change

void TCustomMemo::CMWantSpecialKey(TMessage& Message) {
  if (Message.WParam == VK_RETURN && FWantReturns) {
    Message.Result = 1;
    return;
  }
  Inherited<TCustomEdit>(Message);
}

void TCustomMemo::CMEnter(TMessage& Message) {
  TWinControl::CMEnter(Message);  // a memo keeps its caret on entry
}

void TCustomMemo::WMCreate(TMessage& Message) {
  ApplyScrollBars();
  Inherited<TWinControl>(Message);  // the edit's echo mode does not apply
}

void TCustomMemo::WMChar(TMessage& Message) {
  // Enter (and Ctrl+Enter) start a new line as a plain Return (Qt would
  // make Shift+Return a line separator inside the paragraph); without
  // WantReturns a plain Enter types nothing, without WantTabs neither does
  // Tab.
  if (Message.WParam == 13 || Message.WParam == 10 || Message.WParam == 9) {
    if (DoKeyPress(Message)) return;
    const WPARAM ch = Message.WParam;
    if ((ch == 13 && !FWantReturns) || (ch == 9 && !FWantTabs)) return;
    if (FHost && (ch == 13 || ch == 10)) {
      QKeyEvent e(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
      FHost->BaseEvent(&e);
      return;
    }
    if (FHost && ch == 9) {
      QKeyEvent e(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
      FHost->BaseEvent(&e);
      return;
    }
    return;
  }
  if (FMaxLength > 0 && Message.WParam >= 32) {
    // MaxLength limits typing (line breaks count two, as Win32 counts
    // them); the program's text is never cut.
    if (DoKeyPress(Message)) return;
    if (GetTextLen() - SelLength() >= FMaxLength) return;
    DefaultHandler(Message);
    return;
  }
  TCustomEdit::WMChar(Message);
}

int TCustomMemo::GetTextLen() const {
  const int last = FDocument->characterCount() - 1;
  return last + std::max(FDocument->findBlock(last).blockNumber(), 0);
}

namespace {
// Win32 counts a line break as two characters (CR LF), Qt as one.
int ToWinPos(QTextDocument* Doc, int QtPos) {
  const QTextBlock block = Doc->findBlock(QtPos);
  return QtPos + std::max(block.blockNumber(), 0);
}

int ToQtPos(QTextDocument* Doc, int WinPos) {
  WinPos = std::max(WinPos, 0);
  int lo = 0, hi = Doc->blockCount() - 1;
  while (lo < hi) {  // the last block whose start (in Win32 terms) is <= WinPos
    const int mid = (lo + hi + 1) / 2;
    const QTextBlock b = Doc->findBlockByNumber(mid);
    if (b.position() + mid <= WinPos) lo = mid;
    else hi = mid - 1;
  }
  const QTextBlock b = Doc->findBlockByNumber(lo);
  const int offset = std::min(WinPos - (b.position() + lo), b.length() - 1);
  return b.position() + offset;
}
}  // namespace

int TCustomMemo::SelStart() const {
  if (QPlainTextEdit* memo = PlainEdit()) return ToWinPos(FDocument.get(), memo->textCursor().selectionStart());
  return ToWinPos(FDocument.get(), std::clamp(FSelStart, 0, FDocument->characterCount() - 1));
}

void TCustomMemo::SetSelStart(int Value) {
  const int pos = ToQtPos(FDocument.get(), Value);
  if (QPlainTextEdit* memo = PlainEdit()) {
    QTextCursor c = memo->textCursor();
    c.setPosition(pos);
    memo->setTextCursor(c);
  } else {
    FSelStart = pos;
    FSelLength = 0;
  }
}

int TCustomMemo::SelLength() const {
  int start = FSelStart, end = FSelStart + FSelLength;
  if (QPlainTextEdit* memo = PlainEdit()) {
    start = memo->textCursor().selectionStart();
    end = memo->textCursor().selectionEnd();
  }
  const int last = FDocument->characterCount() - 1;
  return ToWinPos(FDocument.get(), std::clamp(end, 0, last)) - ToWinPos(FDocument.get(), std::clamp(start, 0, last));
}

void TCustomMemo::SetSelLength(int Value) {
  const int startWin = SelStart();
  const int end = ToQtPos(FDocument.get(), startWin + std::max(Value, 0));
  const int start = ToQtPos(FDocument.get(), startWin);
  if (QPlainTextEdit* memo = PlainEdit()) {
    QTextCursor c = memo->textCursor();
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    memo->setTextCursor(c);
  } else {
    FSelStart = start;
    FSelLength = end - start;
  }
}

QString TCustomMemo::SelText() const {
  QTextCursor c(FDocument.get());
  if (QPlainTextEdit* memo = PlainEdit()) {
    c = memo->textCursor();
  } else {
    const int last = FDocument->characterCount() - 1;
    c.setPosition(std::clamp(FSelStart, 0, last));
    c.setPosition(std::clamp(FSelStart + FSelLength, 0, last), QTextCursor::KeepAnchor);
  }
  QString text = c.selectedText();
  text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
  return text;
}

void TCustomMemo::SetSelText(const QString& Value) {
  QTextCursor c(FDocument.get());
  if (QPlainTextEdit* memo = PlainEdit()) {
    c = memo->textCursor();
  } else {
    const int last = FDocument->characterCount() - 1;
    c.setPosition(std::clamp(FSelStart, 0, last));
    c.setPosition(std::clamp(FSelStart + FSelLength, 0, last), QTextCursor::KeepAnchor);
  }
  c.insertText(ToQtLines(Value));
  if (QPlainTextEdit* memo = PlainEdit()) {
    memo->setTextCursor(c);
  } else {
    FSelStart = c.position();
    FSelLength = 0;
  }
}

void TCustomMemo::SelectAll() {
  if (QPlainTextEdit* memo = PlainEdit()) {
    memo->selectAll();
  } else {
    FSelStart = 0;
    FSelLength = FDocument->characterCount() - 1;
  }
}

void TCustomMemo::CopyToClipboard() {
  if (QPlainTextEdit* memo = PlainEdit()) memo->copy();
}

void TCustomMemo::CutToClipboard() {
  if (QPlainTextEdit* memo = PlainEdit()) memo->cut();
}

void TCustomMemo::PasteFromClipboard() {
  if (QPlainTextEdit* memo = PlainEdit()) memo->paste();
}

void TCustomMemo::Undo() { FDocument->undo(); }

TPoint TCustomMemo::CaretPos() const {
  int pos = FSelStart + FSelLength;
  if (QPlainTextEdit* memo = PlainEdit()) pos = memo->textCursor().position();
  const QTextBlock b = FDocument->findBlock(std::clamp(pos, 0, FDocument->characterCount() - 1));
  return TPoint(pos - b.position(), b.blockNumber());
}

TF_PUBLISHED(TMemo, TComponent) {
  return PublishedWinControl<TMemo>()
      .Object("Lines", &TMemo::Lines, &TMemo::SetLines)
      .Integer("MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength)
      .Default(0)
      .Boolean("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly)
      .Default(false)
      .Enum("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars)
      .Default(ssNone)
      .Boolean("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap)
      .Default(true)
      .Boolean("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns)
      .Default(true)
      .Boolean("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs)
      .Default(false)
      .Enum("Alignment", &TMemo::Alignment, &TMemo::SetAlignment)
      .Default(taLeftJustify)
      .String("TextHint", &TMemo::TextHint, &TMemo::SetTextHint)
      .Event("OnChange", &TMemo::OnChange);
}

// ---------------------------------------------------------------------------
// TButtonControl

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
  FQtBacked = true;
  FTabStop = true;
  // Clicks come from the widget (BN_CLICKED), not from the mouse messages.
  FControlStyle = TControlStyle{csCaptureMouse, csSetCaption, csDoubleClicks};
  FStyleLink = RepaintOnStyleChange(this);
}

TButtonControl::~TButtonControl() { DestroyHandle(); }

QAbstractButton* TButtonControl::Button() const { return qobject_cast<QAbstractButton*>(WidgetIfAllocated()); }

void TButtonControl::ApplyCaption() {
  QAbstractButton* b = Button();
  if (!b) return;
  b->setText(FText);
  b->setShortcut(QKeySequence());
}

TF_MESSAGE_MAP(TButtonControl, TWinControl) {
  return {
      TF_MESSAGE(CN_COMMAND, CNCommand),
      TF_MESSAGE(CM_DIALOGCHAR, CMDialogChar),
      TF_MESSAGE(CM_TEXTCHANGED, CMTextChanged),
      TF_MESSAGE(WM_CREATE, WMCreate),
  };
}

void TButtonControl::CNCommand(TMessage& Message) {
  if (Message.WParamHi() == BN_CLICKED) ButtonClicked();
}

void TButtonControl::CMDialogChar(TMessage& Message) {
  if (IsAccel(Word(Message.WParam), FText) && CanFocus()) {
    AccelPressed();
    Message.Result = 1;
    return;
  }
  TWinControl::CMDialogChar(Message);
}

void TButtonControl::CMTextChanged(TMessage&) { ApplyCaption(); }

void TButtonControl::WMCreate(TMessage& Message) {
  ApplyCaption();
  Inherited<TWinControl>(Message);
}

// ---------------------------------------------------------------------------
// TButton

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  FWidth = 75;
  FHeight = 25;
}

QWidget* TButton::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  auto* b = new THostWidget<QPushButton>(this, ParentWidget);
  b->setAutoDefault(false);
  b->setDefault(FDefault);
  QObject::connect(b, &QAbstractButton::clicked, b, [this] { SendParentCommand(BN_CLICKED); });
  return b;
}

void TButton::SetDefault(bool Value) {
  FDefault = Value;
  if (auto* b = qobject_cast<QPushButton*>(WidgetIfAllocated())) b->setDefault(Value);
}

bool TButton::ActiveDefault() const {
  TCustomForm* form = GetParentForm(this);
  TWinControl* focused = form ? form->ActiveControl() : nullptr;
  if (dynamic_cast<TButton*>(focused)) return focused == this;
  return FDefault;
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TButtonControl::Click();
}

void TButton::AccelPressed() { Click(); }

TF_MESSAGE_MAP(TButton, TButtonControl) {
  return {
      TF_MESSAGE(CM_DIALOGKEY, CMDialogKey),
      TF_MESSAGE(WM_GETDLGCODE, WMGetDlgCode),
  };
}

void TButton::CMDialogKey(TMessage& Message) {
  const bool enter = Message.WParam == VK_RETURN && ActiveDefault();
  const bool escape = Message.WParam == VK_ESCAPE && FCancel;
  if ((enter || escape) && KeyDataToShiftState(LONG(Message.LParam)).Empty() && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  TButtonControl::CMDialogKey(Message);
}

void TButton::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_BUTTON | (ActiveDefault() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

TF_PUBLISHED(TButton, TComponent) {
  return PublishedWinControl<TButton>()
      .String("Caption", &TButton::Caption, &TButton::SetCaption)
      .Boolean("Default", &TButton::Default, &TButton::SetDefault)
      .Default(false)
      .Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel)
      .Default(false)
      .Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult)
      .Default(mrNone)
      .TypeName("TModalResult");
}

// ---------------------------------------------------------------------------
// TCheckBox

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  FWidth = 97;
  FHeight = 17;
}

QWidget* TCheckBox::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  auto* b = new THostWidget<QCheckBox>(this, ParentWidget);
  // The state set before the window existed.
  b->setTristate(FAllowGrayed || FState == cbGrayed);
  b->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
  QObject::connect(b, &QAbstractButton::clicked, b, [this] { SendParentCommand(BN_CLICKED); });
  return b;
}

void TCheckBox::ApplyState() {
  auto* b = qobject_cast<QCheckBox*>(WidgetIfAllocated());
  if (!b) return;
  const QSignalBlocker block(b);
  b->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
  // Qt shows the grayed state only in a tristate box; the user's clicks
  // follow AllowGrayed all the same (Toggle).
  b->setTristate(FAllowGrayed || FState == cbGrayed);
  b->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
}

void TCheckBox::SetState(TCheckBoxState Value) {
  if (FState == Value) {
    ApplyState();
    return;
  }
  FState = Value;
  ApplyState();
  Click();
}

void TCheckBox::SetAllowGrayed(bool Value) {
  FAllowGrayed = Value;
  ApplyState();
}

void TCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCheckBox::AccelPressed() {
  SetFocus();
  if (Focused()) Toggle();
}

// Qt changed its own box already; the state follows the framework's cycle.
void TCheckBox::ButtonClicked() { Toggle(); }

TF_PUBLISHED(TCheckBox, TComponent) {
  return PublishedWinControl<TCheckBox>()
      .String("Caption", &TCheckBox::Caption, &TCheckBox::SetCaption)
      .Boolean("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed)
      .Default(false)
      .Enum("State", &TCheckBox::State, &TCheckBox::SetState)
      .Default(cbUnchecked)
      .Boolean("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked)
      .Stored(false);
}

// ---------------------------------------------------------------------------
// TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  FWidth = 113;
  FHeight = 17;
}

QWidget* TRadioButton::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  auto* b = new THostWidget<QRadioButton>(this, ParentWidget);
  b->setAutoExclusive(false);  // the siblings are turned off here
  b->setChecked(FChecked);
  QObject::connect(b, &QAbstractButton::clicked, b, [this] { SendParentCommand(BN_CLICKED); });
  return b;
}

void TRadioButton::SetChecked(bool Value) {
  if (auto* b = qobject_cast<QRadioButton*>(WidgetIfAllocated())) {
    const QSignalBlocker block(b);
    b->setChecked(Value);
  }
  if (FChecked == Value) return;
  FChecked = Value;
  if (!Value) return;
  if (TWinControl* parent = Parent()) {
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
        other->SetChecked(false);
  }
  Click();
}

void TRadioButton::AccelPressed() {
  SetFocus();
  if (Focused()) SetChecked(true);
}

TF_PUBLISHED(TRadioButton, TComponent) {
  return PublishedWinControl<TRadioButton>()
      .String("Caption", &TRadioButton::Caption, &TRadioButton::SetCaption)
      .Boolean("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked)
      .Default(false);
}

// ---------------------------------------------------------------------------
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FWidth = 65;
  FHeight = 17;
  FControlStyle.Include(csReplicatable);
  FStyleLink = std::make_unique<TStyleChangeLink>([this] { Invalidate(); });
}

TCustomLabel::~TCustomLabel() {
  SetFocusControl(nullptr);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  AdjustBounds();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (FShowAccelChar == Value) return;
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl == Value) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  Invalidate();
}

namespace {
TTextFormat LabelFormat(TAlignment Alignment, bool WordWrap, bool ShowAccelChar) {
  TTextFormat f{tfExpandTabs};
  if (WordWrap) f.Include(tfWordBreak);
  if (!ShowAccelChar) f.Include(tfNoPrefix);
  if (Alignment == taCenter) f.Include(tfCenter);
  else if (Alignment == taRightJustify) f.Include(tfRight);
  return f;
}
}  // namespace

UINT TCustomLabel::DrawTextFlags() const { return TextFormatToFlags(LabelFormat(FAlignment, FWordWrap, FShowAccelChar)); }

TColor TCustomLabel::EffectiveFontColor() const {
  TCustomStyleServices& style = StyleServices();
  if (!Enabled()) return style.GetStyleFontColor(sfTextLabelDisabled);
  if (Font()->Color() == clWindowText) return style.GetStyleFontColor(sfTextLabelNormal);
  return style.GetSystemColor(Font()->Color());
}

TColor TCustomLabel::EffectiveColor() const {
  // A style other than the system's paints the label's ground in its own
  // window colour, as it gives the text its label colour: a colour meant for
  // the system's look would clash with it (a yellow ground under the light
  // text of a dark style). The Color property keeps its value.
  TCustomStyleServices& style = StyleServices();
  if (!style.IsSystemStyle()) return style.GetStyleColor(scWindow);
  return style.GetSystemColor(FColor);
}

void TCustomLabel::AdjustBounds() {
  if (!FAutoSize) return;
  auto* canvas = static_cast<TControlCanvas*>(Canvas());
  canvas->Font()->Assign(Font());
  QString text = Caption();
  // An empty caption, or one ending in a line break, still has a line's
  // height.
  if (text.isEmpty() || text.endsWith(u'\n')) text += u' ';
  TRect r(0, 0, FWordWrap ? Width() : 0, 0);
  TTextFormat f = LabelFormat(taLeftJustify, FWordWrap, FShowAccelChar);
  f.Include(tfCalcRect);
  canvas->TextRect(r, text, f);
  canvas->FreeHandle();
  SetBounds(Left(), Top(), FWordWrap ? Width() : r.Width(), r.Height());
}

void TCustomLabel::Paint() {
  TCanvas* c = Canvas();
  const TRect client = ClientRect();
  if (!FTransparent) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(EffectiveColor());
    c->FillRect(client);
  }
  c->Brush()->SetStyle(bsClear);
  c->Font()->Assign(Font());
  c->Font()->SetColor(EffectiveFontColor());
  QString text = Caption();
  if (text.isEmpty()) return;
  const TTextFormat f = LabelFormat(FAlignment, FWordWrap, FShowAccelChar);
  TRect r = client;
  if (FLayout != tlTop) {
    TRect calc = client;
    TTextFormat cf = f;
    cf.Include(tfCalcRect);
    QString measure = text;
    c->TextRect(calc, measure, cf);
    const int dy = client.Height() - calc.Height();
    r.Top += FLayout == tlCenter ? dy / 2 : dy;
  }
  c->TextRect(r, text, f);
}

TF_MESSAGE_MAP(TCustomLabel, TGraphicControl) {
  return {
      TF_MESSAGE(CM_TEXTCHANGED, CMTextChanged),
      TF_MESSAGE(CM_FONTCHANGED, CMFontChanged),
      TF_MESSAGE(CM_DIALOGCHAR, CMDialogChar),
  };
}

void TCustomLabel::CMTextChanged(TMessage&) {
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::CMFontChanged(TMessage&) {
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::CMDialogChar(TMessage& Message) {
  if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(Word(Message.WParam), Caption()) &&
      FFocusControl->CanFocus()) {
    FFocusControl->SetFocus();
    Message.Result = 1;
    return;
  }
  Inherited<TGraphicControl>(Message);
}

TF_PUBLISHED(TLabel, TComponent) {
  return PublishedControl<TLabel>()
      .String("Caption", &TLabel::Caption, &TLabel::SetCaption)
      .Enum("Alignment", &TLabel::Alignment, &TLabel::SetAlignment)
      .Default(taLeftJustify)
      .Enum("Layout", &TLabel::Layout, &TLabel::SetLayout)
      .Default(tlTop)
      .Boolean("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap)
      .Default(false)
      .Boolean("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize)
      .Default(true)
      .Boolean("Transparent", &TLabel::Transparent, &TLabel::SetTransparent)
      .Default(false)
      .Boolean("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar)
      .Default(true)
      .Object("Font", &TLabel::Font, &TLabel::SetFont)
      .Stored([](const TLabel& c) { return !c.ParentFont(); })
      .Color("Color", &TLabel::Color, &TLabel::SetColor)
      .Default(clBtnFace);
}

// ---------------------------------------------------------------------------
// Item model and item lists

namespace stdctrls_detail {

int TItemModel::rowCount(const QModelIndex& Parent) const { return Parent.isValid() ? 0 : int(FText.size()); }

QVariant TItemModel::data(const QModelIndex& Index, int Role) const {
  if (!Index.isValid() || Index.row() < 0 || Index.row() >= FText.size()) return QVariant();
  if (Role == Qt::DisplayRole || Role == Qt::EditRole) return FText[Index.row()];
  return QVariant();
}

void TItemModel::Insert(int Row, const QString& S, TObject* AObject) {
  beginInsertRows(QModelIndex(), Row, Row);
  FText.insert(Row, S);
  FObjects.insert(Row, AObject);
  endInsertRows();
}

void TItemModel::Remove(int Row) {
  beginRemoveRows(QModelIndex(), Row, Row);
  FText.removeAt(Row);
  FObjects.removeAt(Row);
  endRemoveRows();
}

void TItemModel::SetText(int Row, const QString& S) {
  FText[Row] = S;
  const QModelIndex i = index(Row);
  emit dataChanged(i, i);
}

void TItemModel::Move(int From, int To) {
  if (From == To) return;
  // Qt counts the destination before the move.
  beginMoveRows(QModelIndex(), From, From, QModelIndex(), To > From ? To + 1 : To);
  FText.move(From, To);
  FObjects.move(From, To);
  endMoveRows();
}

void TItemModel::Reset(const QStringList& Texts, const QList<TObject*>& Objects) {
  beginResetModel();
  FText = Texts;
  FObjects = Objects;
  endResetModel();
}

}  // namespace stdctrls_detail

namespace {
// Marks a change of items made by the program.
struct TProgrammatic {
  int& Count;
  explicit TProgrammatic(int& c) : Count(c) { ++Count; }
  ~TProgrammatic() { --Count; }
};
}  // namespace

void TListControlItems::CheckIndex(int Index, int Limit) const {
  if (Index < 0 || Index >= Limit) Error(RtlConsts::SListIndexError, Index);
}

int TListControlItems::GetCount() const { return FControl->Model()->Count(); }

QString TListControlItems::Get(int Index) const {
  CheckIndex(Index, GetCount());
  return FControl->Model()->Text(Index);
}

TObject* TListControlItems::GetObject(int Index) const {
  CheckIndex(Index, GetCount());
  return FControl->Model()->Object(Index);
}

int TListControlItems::SortedIndex(const QString& S) const {
  int lo = 0, hi = GetCount();
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (CompareStrings(FControl->Model()->Text(mid), S) <= 0) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

int TListControlItems::Add(const QString& S) { return AddObject(S, nullptr); }

int TListControlItems::AddObject(const QString& S, TObject* AObject) {
  const int index = FControl->Sorted() ? SortedIndex(S) : GetCount();
  InsertObject(index, S, AObject);
  return index;
}

void TListControlItems::Insert(int Index, const QString& S) { InsertObject(Index, S, nullptr); }

void TListControlItems::InsertObject(int Index, const QString& S, TObject* AObject) {
  CheckIndex(Index, GetCount() + 1);
  TProgrammatic p(FControl->FProgrammatic);
  FControl->Model()->Insert(Index, S, AObject);
  FControl->ItemInserted(Index);
}

void TListControlItems::Delete(int Index) {
  CheckIndex(Index, GetCount());
  TProgrammatic p(FControl->FProgrammatic);
  const int old = FControl->ItemIndex();
  FControl->Model()->Remove(Index);
  FControl->ItemDeleted(Index, old);
}

void TListControlItems::Clear() {
  TProgrammatic p(FControl->FProgrammatic);
  FControl->Model()->Clear();
  FControl->ItemsReset();
}

void TListControlItems::Put(int Index, const QString& S) {
  CheckIndex(Index, GetCount());
  if (FControl->Sorted()) {
    TObject* object = GetObject(Index);
    Delete(Index);
    AddObject(S, object);
    return;
  }
  TProgrammatic p(FControl->FProgrammatic);
  FControl->Model()->SetText(Index, S);
}

void TListControlItems::PutObject(int Index, TObject* AObject) {
  CheckIndex(Index, GetCount());
  FControl->Model()->SetObject(Index, AObject);
}

void TListControlItems::Exchange(int Index1, int Index2) {
  CheckIndex(Index1, GetCount());
  CheckIndex(Index2, GetCount());
  if (Index1 == Index2) return;
  const int lo = std::min(Index1, Index2), hi = std::max(Index1, Index2);
  TProgrammatic p(FControl->FProgrammatic);
  FControl->Model()->Move(hi, lo);
  FControl->Model()->Move(lo + 1, hi);
}

void TListControlItems::Move(int CurIndex, int NewIndex) {
  CheckIndex(CurIndex, GetCount());
  CheckIndex(NewIndex, GetCount());
  TProgrammatic p(FControl->FProgrammatic);
  FControl->Model()->Move(CurIndex, NewIndex);
}

void TListControlItems::Sort() {
  const int n = GetCount();
  QList<int> order(n);
  for (int i = 0; i < n; ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
    return CompareStrings(FControl->Model()->Text(a), FControl->Model()->Text(b)) < 0;
  });
  QStringList texts;
  QList<TObject*> objects;
  for (int i : order) {
    texts << FControl->Model()->Text(i);
    objects << FControl->Model()->Object(i);
  }
  TProgrammatic p(FControl->FProgrammatic);
  FControl->Model()->Reset(texts, objects);
  FControl->ItemsReset();
}

void TListControlItems::SetUpdateState(bool Updating) {
  if (QWidget* w = FControl->WidgetIfAllocated()) w->setUpdatesEnabled(!Updating);
}

// ---------------------------------------------------------------------------
// TCustomListControl

TCustomListControl::TCustomListControl(TComponent* AOwner)
    : TWinControl(AOwner),
      FModel(std::make_unique<stdctrls_detail::TItemModel>()),
      FItems(std::make_unique<TListControlItems>(this)) {
  FQtBacked = true;
  FTabStop = true;
  FControlStyle = TControlStyle{csCaptureMouse, csSetCaption, csDoubleClicks};
  FStyleLink = RepaintOnStyleChange(this);
}

TCustomListControl::~TCustomListControl() { DestroyHandle(); }

void TCustomListControl::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  if (Value) FItems->Sort();
}

// ---------------------------------------------------------------------------
// TComboBox

TComboBox::TComboBox(TComponent* AOwner) : TCustomListControl(AOwner) {
  FWidth = 145;
  FHeight = 21;
}

TComboBox::~TComboBox() { DestroyHandle(); }

QComboBox* TComboBox::Combo() const { return qobject_cast<QComboBox*>(WidgetIfAllocated()); }

QWidget* TComboBox::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  auto* combo = new THostWidget<QComboBox>(this, ParentWidget);
  TProgrammatic p(FProgrammatic);
  combo->setEditable(FStyle != csDropDownList);
  combo->setInsertPolicy(QComboBox::NoInsert);
  // A placeholder keeps Qt from selecting the first item of an empty list.
  combo->setPlaceholderText(QStringLiteral(" "));
  combo->setModel(FModel.get());
  combo->setMaxVisibleItems(std::max(FDropDownCount, 1));
  combo->setCurrentIndex(FItemIndex);
  if (combo->isEditable()) {
    combo->setEditText(FText);
    if (FMaxLength > 0) combo->lineEdit()->setMaxLength(FMaxLength);
    QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo, [this] { SendParentCommand(CBN_EDITCHANGE); });
  }
  QObject::connect(combo, &QComboBox::activated, combo, [this] {
    if (FProgrammatic == 0) SendParentCommand(CBN_SELCHANGE);
  });
  return combo;
}

void TComboBox::DestroyWnd() {
  if (QComboBox* combo = Combo()) {
    FItemIndex = combo->currentIndex();
    FText = combo->currentText();
  }
  TWinControl::DestroyWnd();
}

int TComboBox::ItemIndex() const {
  if (QComboBox* combo = Combo()) return combo->currentIndex();
  return FItemIndex;
}

void TComboBox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= FModel->Count()) Value = -1;
  TProgrammatic p(FProgrammatic);
  if (QComboBox* combo = Combo()) {
    combo->setCurrentIndex(Value);
    if (Value < 0 && combo->isEditable()) combo->setEditText(QString());
  } else {
    FItemIndex = Value;
    FText = Value >= 0 ? FModel->Text(Value) : QString();
  }
}

void TComboBox::ItemInserted(int Index) {
  if (!Combo() && FItemIndex >= Index) ++FItemIndex;
}

void TComboBox::ItemDeleted(int Index, int OldItemIndex) {
  if (QComboBox* combo = Combo()) {
    // Deleting the selected item leaves none selected (Qt would pick another).
    if (OldItemIndex == Index) {
      combo->setCurrentIndex(-1);
      if (combo->isEditable()) combo->setEditText(QString());
    }
    return;
  }
  if (FItemIndex == Index) FItemIndex = -1;
  else if (FItemIndex > Index) --FItemIndex;
}

void TComboBox::ItemsReset() {
  if (QComboBox* combo = Combo()) combo->setCurrentIndex(-1);
  else FItemIndex = -1;
}

void TComboBox::SetStyle(TComboBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  RecreateWnd();
}

void TComboBox::SetDropDownCount(int Value) {
  FDropDownCount = Value;
  if (QComboBox* combo = Combo()) combo->setMaxVisibleItems(std::max(Value, 1));
}

void TComboBox::SetMaxLength(int Value) {
  FMaxLength = std::max(Value, 0);
  if (QComboBox* combo = Combo(); combo && combo->lineEdit())
    combo->lineEdit()->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
}

bool TComboBox::DroppedDown() const {
  QComboBox* combo = Combo();
  return combo && combo->view() && combo->view()->isVisible();
}

void TComboBox::SetDroppedDown(bool Value) {
  QComboBox* combo = Combo();
  if (!combo) return;
  if (Value) combo->showPopup();
  else combo->hidePopup();
}

void TComboBox::SelectAll() {
  if (QComboBox* combo = Combo(); combo && combo->lineEdit()) combo->lineEdit()->selectAll();
}

void TComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TComboBox::Select() {
  if (OnSelect) OnSelect(this);
  else Change();
}

TF_MESSAGE_MAP(TComboBox, TWinControl) {
  return {
      TF_MESSAGE(CN_COMMAND, CNCommand),
      TF_MESSAGE(WM_GETDLGCODE, WMGetDlgCode),
      TF_MESSAGE(WM_GETTEXTLENGTH, WMGetText),
      TF_MESSAGE(WM_GETTEXT, WMGetText),
      TF_MESSAGE(WM_SETTEXT, WMSetText),
      TF_MESSAGE(CM_TEXTCHANGED, CMTextChanged),
  };
}

void TComboBox::CNCommand(TMessage& Message) {
  switch (Message.WParamHi()) {
    case CBN_SELCHANGE:
      Click();
      Select();
      break;
    case CBN_EDITCHANGE: Change(); break;
    default: break;
  }
}

void TComboBox::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (FStyle != csDropDownList ? DLGC_HASSETSEL : 0);
}

// WM_GETTEXT and WM_GETTEXTLENGTH.
void TComboBox::WMGetText(TMessage& Message) {
  QString text = FText;
  if (QComboBox* combo = Combo()) text = combo->currentText();
  else if (FStyle == csDropDownList) text = FItemIndex >= 0 ? FModel->Text(FItemIndex) : QString();
  Message.Result = Message.Msg == WM_GETTEXT ? CopyTextTo(text, Message) : text.size();
}

void TComboBox::WMSetText(TMessage& Message) {
  const QString text = TextOfSetText(Message);
  Message.Result = 1;
  if (FStyle == csDropDownList) {
    const int i = FItems->IndexOf(text);
    if (i >= 0) SetItemIndex(i);
    return;
  }
  TProgrammatic p(FProgrammatic);
  if (QComboBox* combo = Combo()) combo->setEditText(text);
  else FText = text;
}

void TComboBox::CMTextChanged(TMessage&) {}

TF_PUBLISHED(TComboBox, TComponent) {
  return PublishedWinControl<TComboBox>()
      .Enum("Style", &TComboBox::Style, &TComboBox::SetStyle)
      .Default(csDropDown)
      .Object("Items", &TComboBox::Items, &TComboBox::SetItems)
      .Integer("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex)
      .Default(-1)
      .String("Text", &TComboBox::Text, &TComboBox::SetText)
      .Boolean("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted)
      .Default(false)
      .Integer("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount)
      .Default(8)
      .Integer("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength)
      .Default(0)
      .Event("OnChange", &TComboBox::OnChange)
      .Event("OnSelect", &TComboBox::OnSelect);
}

// ---------------------------------------------------------------------------
// TListBox

namespace {
// Paints the items of an owner-drawn list box through OnDrawItem.
class TOwnerDrawDelegate : public QStyledItemDelegate {
 public:
  TOwnerDrawDelegate(TListBox* ListBox, QObject* Parent) : QStyledItemDelegate(Parent), FListBox(ListBox) {}
  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    if (Option.rect.isEmpty()) return;
    QImage image(Option.rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    TOwnerDrawState state;
    if (Option.state & QStyle::State_Selected) state.Include(odSelected);
    if (Option.state & QStyle::State_HasFocus) state.Include(odFocused);
    if (!(Option.state & QStyle::State_Enabled)) state.Include(odDisabled);
    FListBox->DrawItemImage(Index.row(), image, state);
    Painter->drawImage(Option.rect.topLeft(), image);
  }
  QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    return QSize(Option.rect.width(), FListBox->ItemHeight());
  }

 private:
  TListBox* FListBox;
};
}  // namespace

TListBox::TListBox(TComponent* AOwner)
    : TCustomListControl(AOwner),
      FSelection(std::make_unique<QItemSelectionModel>(FModel.get())),
      FCanvas(std::make_unique<TCanvas>()) {
  FWidth = 121;
  FHeight = 97;
}

TListBox::~TListBox() { DestroyHandle(); }

QListView* TListBox::View() const { return qobject_cast<QListView*>(WidgetIfAllocated()); }

QWidget* TListBox::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  auto* view = new THostWidget<QListView>(this, ParentWidget);
  view->setModel(FModel.get());
  view->setSelectionModel(FSelection.get());
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setUniformItemSizes(true);
  if (FStyle == lbOwnerDrawFixed) view->setItemDelegate(new TOwnerDrawDelegate(this, view));
  QObject::connect(FSelection.get(), &QItemSelectionModel::selectionChanged, view, [this] {
    if (FProgrammatic == 0) SendParentCommand(LBN_SELCHANGE);
  });
  QObject::connect(view, &QAbstractItemView::doubleClicked, view, [this] { SendParentCommand(LBN_DBLCLK); });
  new TViewportRouter(view);
  return view;
}

void TListBox::DestroyWnd() { TWinControl::DestroyWnd(); }

void TListBox::DefaultHandler(TMessage& Message) {
  if (!MouseToViewport(this, Message)) TCustomListControl::DefaultHandler(Message);
}

void TListBox::ApplySelectionMode() {
  if (QListView* view = View())
    view->setSelectionMode(FMultiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void TListBox::SetMultiSelect(bool Value) {
  if (FMultiSelect == Value) return;
  FMultiSelect = Value;
  if (!Value) {
    // One selection at most: the item with the focus, if it is selected.
    TProgrammatic p(FProgrammatic);
    const QModelIndex current = FSelection->currentIndex();
    const bool keep = current.isValid() && FSelection->isSelected(current);
    FSelection->clearSelection();
    if (keep) FSelection->select(current, QItemSelectionModel::Select);
  }
  ApplySelectionMode();
}

int TListBox::ItemIndex() const {
  if (FMultiSelect) {
    const QModelIndex current = FSelection->currentIndex();
    return current.isValid() ? current.row() : -1;
  }
  const QModelIndexList rows = FSelection->selectedIndexes();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void TListBox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= FModel->Count()) Value = -1;
  TProgrammatic p(FProgrammatic);
  const QModelIndex index = Value >= 0 ? FModel->index(Value) : QModelIndex();
  if (FMultiSelect) {
    FSelection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    return;
  }
  if (Value < 0) {
    FSelection->clearSelection();
    FSelection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  } else {
    FSelection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  }
  if (QListView* view = View(); view && index.isValid()) view->scrollTo(index);
}

bool TListBox::Selected(int Index) const {
  if (Index < 0 || Index >= FModel->Count()) throw EListError(Format(RtlConsts::SListIndexError, {Index}));
  return FSelection->isSelected(FModel->index(Index));
}

void TListBox::SetSelected(int Index, bool Value) {
  if (Index < 0 || Index >= FModel->Count()) throw EListError(Format(RtlConsts::SListIndexError, {Index}));
  TProgrammatic p(FProgrammatic);
  const QModelIndex index = FModel->index(Index);
  if (!FMultiSelect) {
    if (Value) FSelection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    else if (FSelection->isSelected(index)) FSelection->clearSelection();
    return;
  }
  FSelection->select(index, Value ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

int TListBox::SelCount() const { return FMultiSelect ? int(FSelection->selectedIndexes().size()) : -1; }

void TListBox::SelectAll() {
  if (!FMultiSelect || FModel->Count() == 0) return;
  TProgrammatic p(FProgrammatic);
  FSelection->select(QItemSelection(FModel->index(0), FModel->index(FModel->Count() - 1)),
                     QItemSelectionModel::Select);
}

void TListBox::ClearSelection() {
  TProgrammatic p(FProgrammatic);
  FSelection->clearSelection();
}

void TListBox::SetStyle(TListBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  RecreateWnd();
}

void TListBox::SetItemHeight(int Value) {
  if (Value <= 0 || FItemHeight == Value) return;
  FItemHeight = Value;
  if (QListView* view = View()) view->doItemsLayout();
}

int TListBox::TopIndex() const {
  QListView* view = View();
  if (!view) return 0;
  const QModelIndex i = view->indexAt(QPoint(1, 1));
  return i.isValid() ? i.row() : 0;
}

void TListBox::SetTopIndex(int Value) {
  QListView* view = View();
  if (view && Value >= 0 && Value < FModel->Count())
    view->scrollTo(FModel->index(Value), QAbstractItemView::PositionAtTop);
}

int TListBox::ItemAtPos(const TPoint& Pos, bool Existing) const {
  QListView* view = View();
  if (!view) return -1;
  const QPoint p = view->viewport()->mapFrom(view, QPoint(Pos.X, Pos.Y));
  const QModelIndex i = view->indexAt(p);
  if (i.isValid()) return i.row();
  return Existing ? -1 : FModel->Count();
}

TRect TListBox::ItemRect(int Index) const {
  QListView* view = View();
  if (!view || Index < 0 || Index >= FModel->Count()) return TRect();
  const QRect r = view->visualRect(FModel->index(Index));
  const QPoint tl = view->viewport()->mapTo(view, r.topLeft());
  return TRect(tl.x(), tl.y(), tl.x() + r.width(), tl.y() + r.height());
}

void TListBox::DrawItemImage(int Index, QImage& Image, TOwnerDrawState State) {
  if (Index < 0 || Index >= FModel->Count()) return;
  HDC dc = CreateImageDC(&Image, Screen->PixelsPerInch());
  FCanvas->SetHandle(dc);
  const bool selected = State.Contains(odSelected);
  FCanvas->Brush()->SetStyle(bsSolid);
  FCanvas->Brush()->SetColor(StyleServices().GetSystemColor(selected ? clHighlight : clWindow));
  FCanvas->Font()->SetColor(StyleServices().GetSystemColor(selected ? clHighlightText : clWindowText));
  const TRect rect(0, 0, Image.width(), Image.height());
  try {
    if (OnDrawItem) {
      OnDrawItem(this, Index, rect, State);
    } else {
      FCanvas->FillRect(rect);
      FCanvas->TextOut(rect.Left + 2, rect.Top, FModel->Text(Index));
    }
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    DeleteDC(dc);
    throw;
  }
  FCanvas->SetHandle(nullptr);
  DeleteDC(dc);
}

TF_MESSAGE_MAP(TListBox, TWinControl) {
  return {
      TF_MESSAGE(CN_COMMAND, CNCommand),
      TF_MESSAGE(WM_GETDLGCODE, WMGetDlgCode),
      TF_MESSAGE(WM_CREATE, WMCreate),
  };
}

void TListBox::CNCommand(TMessage& Message) {
  if (Message.WParamHi() == LBN_SELCHANGE) Click();
  else if (Message.WParamHi() == LBN_DBLCLK) DblClick();
}

void TListBox::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TListBox::WMCreate(TMessage& Message) {
  ApplySelectionMode();
  Inherited<TCustomListControl>(Message);
}

TF_PUBLISHED(TListBox, TComponent) {
  return PublishedWinControl<TListBox>()
      .Object("Items", &TListBox::Items, &TListBox::SetItems)
      .Boolean("MultiSelect", &TListBox::MultiSelect, &TListBox::SetMultiSelect)
      .Default(false)
      .Boolean("Sorted", &TListBox::Sorted, &TListBox::SetSorted)
      .Default(false)
      .Enum("Style", &TListBox::Style, &TListBox::SetStyle)
      .Default(lbStandard)
      .Integer("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight)
      .Default(16)
      .Integer("ItemIndex", &TListBox::ItemIndex, &TListBox::SetItemIndex)
      .Stored(false)
      .Event("OnDrawItem", &TListBox::OnDrawItem);
}

// ---------------------------------------------------------------------------
// TScrollBar

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
  FQtBacked = true;
  FTabStop = true;
  FWidth = 121;
  FHeight = 17;
  FControlStyle = TControlStyle{csCaptureMouse, csSetCaption, csDoubleClicks};
  FStyleLink = RepaintOnStyleChange(this);
}

TScrollBar::~TScrollBar() { DestroyHandle(); }

QScrollBar* TScrollBar::Bar() const { return qobject_cast<QScrollBar*>(WidgetIfAllocated()); }

int TScrollBar::MaxPosition() const { return FPageSize > 0 ? std::max(FMin, FMax - FPageSize + 1) : FMax; }

QWidget* TScrollBar::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  auto* bar = new THostWidget<QScrollBar>(this, FKind == sbHorizontal ? Qt::Horizontal : Qt::Vertical, ParentWidget);
  bar->setFocusPolicy(Qt::StrongFocus);
  QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [this](int action) {
    WORD code = SB_ENDSCROLL;
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
      case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
      case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
      case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
      case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
      case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
      case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
      default: return;
    }
    if (FParent && HandleAllocated())
      FParent->Perform(FKind == sbHorizontal ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(code, 0),
                       reinterpret_cast<LPARAM>(Handle()));
  });
  QObject::connect(bar, &QAbstractSlider::sliderReleased, bar, [this] {
    if (!FParent || !HandleAllocated()) return;
    const UINT msg = FKind == sbHorizontal ? WM_HSCROLL : WM_VSCROLL;
    FParent->Perform(msg, MAKEWPARAM(SB_THUMBPOSITION, 0), reinterpret_cast<LPARAM>(Handle()));
    if (HandleAllocated()) FParent->Perform(msg, MAKEWPARAM(SB_ENDSCROLL, 0), reinterpret_cast<LPARAM>(Handle()));
  });
  QObject::connect(bar, &QAbstractSlider::valueChanged, bar, [this](int value) {
    if (FApplying > 0 || value == FPosition) return;
    FPosition = value;
    Change();
  });
  return bar;
}

void TScrollBar::ApplyParams() {
  QScrollBar* bar = Bar();
  if (!bar) return;
  ++FApplying;
  bar->setRange(FMin, MaxPosition());
  bar->setSingleStep(FSmallChange);
  bar->setPageStep(FLargeChange);
  bar->setValue(FPosition);
  --FApplying;
}

void TScrollBar::SetKind(TScrollBarKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  SetBounds(FLeft, FTop, FHeight, FWidth);  // turned on its side, as the framework does
  RecreateWnd();
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
  if (AMax < AMin) throw EInvalidOperation(QString::fromLatin1(SScrollBarRange));
  if (FPageSize > AMax - AMin + 1) FPageSize = AMax - AMin + 1;
  FMin = AMin;
  FMax = AMax;
  const int position = std::clamp(APosition, FMin, MaxPosition());
  const bool changed = position != FPosition;
  FPosition = position;
  ApplyParams();
  if (changed) Change();
}

void TScrollBar::SetSmallChange(int Value) {
  FSmallChange = std::max(Value, 1);
  ApplyParams();
}

void TScrollBar::SetLargeChange(int Value) {
  FLargeChange = std::max(Value, 1);
  ApplyParams();
}

void TScrollBar::SetPageSize(int Value) {
  if (Value < 0 || Value > FMax - FMin + 1) throw EInvalidOperation(QString::fromLatin1(SScrollBarRange));
  FPageSize = Value;
  SetParams(FPosition, FMin, FMax);
}

void TScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) {
  if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

TF_MESSAGE_MAP(TScrollBar, TWinControl) {
  return {
      TF_MESSAGE(CN_HSCROLL, CNHScroll),
      TF_MESSAGE(CN_VSCROLL, CNVScroll),
      TF_MESSAGE(WM_GETDLGCODE, WMGetDlgCode),
      TF_MESSAGE(WM_KEYDOWN, WMKeyDown),
      TF_MESSAGE(WM_CREATE, WMCreate),
  };
}

void TScrollBar::CNHScroll(TMessage& Message) { DoScrollMessage(Message); }

void TScrollBar::CNVScroll(TMessage& Message) { DoScrollMessage(Message); }

void TScrollBar::DoScrollMessage(TMessage& Message) {
  QScrollBar* bar = Bar();
  const WORD code = Message.WParamLo();
  if (code > SB_ENDSCROLL) return;
  int pos = bar ? bar->sliderPosition() : FPosition;
  if (code == SB_ENDSCROLL || code == SB_THUMBPOSITION) pos = FPosition;
  const int before = pos;
  Scroll(TScrollCode(code), pos);
  pos = std::clamp(pos, FMin, MaxPosition());
  if (bar && pos != before) bar->setSliderPosition(pos);  // Qt then takes it as the value
  if (!bar && pos != FPosition) SetPosition(pos);
}

void TScrollBar::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

void TScrollBar::WMKeyDown(TMessage& Message) {
  // The keys of a scroll bar control (Qt's own mapping turns the horizontal
  // arrows round).
  if (DoKeyDown(Message)) return;
  QScrollBar* bar = Bar();
  QAbstractSlider::SliderAction action = QAbstractSlider::SliderNoAction;
  switch (Message.WParam) {
    case VK_LEFT: case VK_UP: action = QAbstractSlider::SliderSingleStepSub; break;
    case VK_RIGHT: case VK_DOWN: action = QAbstractSlider::SliderSingleStepAdd; break;
    case VK_PRIOR: action = QAbstractSlider::SliderPageStepSub; break;
    case VK_NEXT: action = QAbstractSlider::SliderPageStepAdd; break;
    case VK_HOME: action = QAbstractSlider::SliderToMinimum; break;
    case VK_END: action = QAbstractSlider::SliderToMaximum; break;
    default: break;
  }
  if (bar && action != QAbstractSlider::SliderNoAction) {
    bar->triggerAction(action);
    if (HandleAllocated() && FParent)
      FParent->Perform(FKind == sbHorizontal ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0),
                       reinterpret_cast<LPARAM>(Handle()));
    return;
  }
  DefaultHandler(Message);
}

void TScrollBar::WMCreate(TMessage& Message) {
  ApplyParams();
  Inherited<TWinControl>(Message);
}

TF_PUBLISHED(TScrollBar, TComponent) {
  return PublishedWinControl<TScrollBar>()
      .Enum("Kind", &TScrollBar::Kind, &TScrollBar::SetKind)
      .Default(sbHorizontal)
      .Integer("Min", &TScrollBar::Min, &TScrollBar::SetMin)
      .Default(0)
      .Integer("Max", &TScrollBar::Max, &TScrollBar::SetMax)
      .Default(100)
      .Integer("Position", &TScrollBar::Position, &TScrollBar::SetPosition)
      .Default(0)
      .Integer("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange)
      .Default(1)
      .Integer("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange)
      .Default(1)
      .Integer("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize)
      .Default(0)
      .Event("OnChange", &TScrollBar::OnChange)
      .Event("OnScroll", &TScrollBar::OnScroll);
}

// ---------------------------------------------------------------------------
// TGroupBox

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
  FQtBacked = true;
  FWidth = 185;
  FHeight = 105;
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FStyleLink = RepaintOnStyleChange(this);
}

TGroupBox::~TGroupBox() { DestroyHandle(); }

QWidget* TGroupBox::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  auto* box = new THostWidget<QGroupBox>(this, ParentWidget);
  box->setTitle(Params.Caption);
  box->setFocusPolicy(Qt::NoFocus);
  return box;
}

void TGroupBox::AlignControls(TControl* AControl, TRect& Rect) {
  const int caption = QFontMetrics(WidgetIfAllocated() ? WidgetIfAllocated()->font() : QApplication::font()).height();
  Rect.Left += 2;
  Rect.Right -= 2;
  Rect.Bottom -= 2;
  Rect.Top += caption + 2;
  TWinControl::AlignControls(AControl, Rect);
}

TF_MESSAGE_MAP(TGroupBox, TWinControl) {
  return {
      TF_MESSAGE(CM_TEXTCHANGED, CMTextChanged),
      TF_MESSAGE(CM_DIALOGCHAR, CMDialogChar),
  };
}

void TGroupBox::CMTextChanged(TMessage&) {
  if (auto* box = qobject_cast<QGroupBox*>(WidgetIfAllocated())) box->setTitle(FText);
}

void TGroupBox::CMDialogChar(TMessage& Message) {
  if (IsAccel(Word(Message.WParam), FText) && CanFocus()) {
    SelectNext(nullptr, true, true);
    Message.Result = 1;
    return;
  }
  TWinControl::CMDialogChar(Message);
}

TF_PUBLISHED(TGroupBox, TComponent) {
  return PublishedControl<TGroupBox>().String("Caption", &TGroupBox::Caption, &TGroupBox::SetCaption);
}
