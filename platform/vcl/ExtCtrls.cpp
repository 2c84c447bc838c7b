// Panels, splitters and buttoned edits.

#include "platform/vcl/ExtCtrls.h"

#include <QAction>
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>
#include <QRubberBand>
#include <QToolButton>
#include <algorithm>

#include "platform/vcl/Themes.h"
#include "platform/win32/Gdi.h"

TF_ENUM_NAMES(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor Top, TColor Bottom, int Width) {
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetStyle(psSolid);
  for (int i = 0; i < Width && Rect.Width() > 0 && Rect.Height() > 0; ++i) {
    const int l = Rect.Left, t = Rect.Top, r = Rect.Right - 1, b = Rect.Bottom - 1;
    Canvas->Pen()->SetColor(Top);
    Canvas->MoveTo(l, b);
    Canvas->LineTo(l, t);
    Canvas->LineTo(r, t);
    Canvas->Pen()->SetColor(Bottom);
    Canvas->LineTo(r, b);
    Canvas->LineTo(l - 1, b);
    Rect = TRect(Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1);
  }
}

namespace {

// Width rings of a raised or lowered bevel: DrawEdge under the system style,
// the style's highlight and shadow colours under any other.
void DrawBevel(TCanvas* Canvas, TRect& Rect, bool Raised, int Width) {
  TCustomStyleServices& style = StyleServices();
  if (style.IsSystemStyle()) {
    HDC dc = Canvas->Handle();
    for (int i = 0; i < Width && Rect.Width() > 0 && Rect.Height() > 0; ++i) {
      RECT r{Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
      DrawEdge(dc, &r, Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
      Rect = TRect(r.left, r.top, r.right, r.bottom);
    }
    return;
  }
  const TColor light = style.GetSystemColor(clBtnHighlight);
  const TColor dark = style.GetSystemColor(clBtnShadow);
  Frame3D(Canvas, Rect, Raised ? light : dark, Raised ? dark : light, Width);
}

}  // namespace

// ---------------------------------------------------------------------------
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FWidth = 185;
  FHeight = 41;
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                csDoubleClicks, csReplicatable, csParentBackground};
  FStyleLink = std::make_unique<TStyleChangeLink>([this] { Invalidate(); });
}

TCustomPanel::~TCustomPanel() = default;

void TCustomPanel::Changed() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
  FBevelOuter = Value;
  Changed();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
  FBevelInner = Value;
  Changed();
}

void TCustomPanel::SetBevelWidth(int Value) {
  FBevelWidth = std::max(Value, 1);
  Changed();
}

void TCustomPanel::SetBorderWidth(int Value) {
  FBorderWidth = std::max(Value, 0);
  Changed();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  FBorderStyle = Value == bsSingle ? bsSingle : bsNone;
  Changed();
}

void TCustomPanel::SetColor(TColor Value) {
  FColor = Value;
  Invalidate();
}

void TCustomPanel::SetParentBackground(bool Value) {
  FParentBackground = Value;
  Invalidate();
}

void TCustomPanel::SetShowCaption(bool Value) {
  FShowCaption = Value;
  Invalidate();
}

TColor TCustomPanel::FaceColor() const {
  if (FParentBackground) {
    if (auto* parent = dynamic_cast<const TCustomPanel*>(Parent())) return parent->FaceColor();
    return StyleServices().GetSystemColor(clBtnFace);
  }
  return StyleServices().GetSystemColor(FColor);
}

int TCustomPanel::FrameWidth() const {
  int w = FBorderWidth + (FBorderStyle == bsSingle ? 1 : 0);
  if (FBevelOuter != bvNone) w += FBevelWidth;
  if (FBevelInner != bvNone) w += FBevelWidth;
  return w;
}

void TCustomPanel::AlignControls(TControl* AControl, TRect& Rect) {
  const int w = FrameWidth();
  Rect = TRect(Rect.Left + w, Rect.Top + w, std::max(Rect.Left + w, Rect.Right - w),
               std::max(Rect.Top + w, Rect.Bottom - w));
  TCustomControl::AlignControls(AControl, Rect);
}

void TCustomPanel::Paint() {
  TCanvas* c = Canvas();
  TCustomStyleServices& style = StyleServices();
  const TColor face = FaceColor();
  TRect r = ClientRect();
  if (FBorderStyle == bsSingle) Frame3D(c, r, style.GetSystemColor(clWindowFrame), style.GetSystemColor(clWindowFrame), 1);
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    if (cut == bvSpace) Frame3D(c, r, face, face, FBevelWidth);
    else DrawBevel(c, r, cut == bvRaised, FBevelWidth);
  };
  bevel(FBevelOuter);
  Frame3D(c, r, face, face, FBorderWidth);
  bevel(FBevelInner);
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(face);
  c->FillRect(r);
  const QString caption = Caption();
  if (!FShowCaption || caption.isEmpty()) return;
  c->Brush()->SetStyle(bsClear);
  c->Font()->Assign(Font());
  TColor text = Font()->Color() == clWindowText ? style.GetStyleFontColor(Enabled() ? sfPanelTextNormal : sfPanelTextDisabled)
                                               : style.GetSystemColor(Font()->Color());
  if (!Enabled() && Font()->Color() != clWindowText) text = style.GetSystemColor(clGrayText);
  c->Font()->SetColor(text);
  TTextFormat f{tfSingleLine, tfVerticalCenter, tfExpandTabs};
  if (FAlignment == taCenter) f.Include(tfCenter);
  else if (FAlignment == taRightJustify) f.Include(tfRight);
  QString s = caption;
  c->TextRect(r, s, f);
}

TF_MESSAGE_MAP(TCustomPanel, TWinControl) {
  return {
      TF_MESSAGE(CM_TEXTCHANGED, CMTextChanged),
      TF_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged),
      TF_MESSAGE(CM_FONTCHANGED, CMFontChanged),
  };
}

void TCustomPanel::CMTextChanged(TMessage& Message) {
  Invalidate();
  Inherited<TCustomControl>(Message);
}

void TCustomPanel::CMEnabledChanged(TMessage& Message) {
  Invalidate();
  Inherited<TCustomControl>(Message);
}

void TCustomPanel::CMFontChanged(TMessage& Message) {
  Invalidate();
  Inherited<TCustomControl>(Message);
}

TF_PUBLISHED(TPanel, TComponent) {
  return PublishedControl<TPanel>()
      .String("Caption", &TPanel::Caption, &TPanel::SetCaption)
      .Enum("Alignment", &TPanel::Alignment, &TPanel::SetAlignment)
      .Default(taCenter)
      .Enum("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter)
      .Default(bvRaised)
      .Enum("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner)
      .Default(bvNone)
      .Integer("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth)
      .Default(1)
      .Integer("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth)
      .Default(0)
      .Enum("BorderStyle", &TPanel::BorderStyle, &TPanel::SetBorderStyle)
      .Default(bsNone)
      .TypeName("TBorderStyle")
      .Color("Color", &TPanel::Color, &TPanel::SetColor)
      .Default(clBtnFace)
      .Boolean("ParentBackground", &TPanel::ParentBackground, &TPanel::SetParentBackground)
      .Default(true)
      .Boolean("ShowCaption", &TPanel::ShowCaption, &TPanel::SetShowCaption)
      .Default(true)
      .Object("Font", &TPanel::Font, &TPanel::SetFont)
      .Stored([](const TPanel& c) { return !c.ParentFont(); });
}

// ---------------------------------------------------------------------------
// TSplitter

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  FAlign = alLeft;
  FWidth = 3;
  FHeight = 100;
  FControlStyle = TControlStyle{csCaptureMouse, csSetCaption, csDoubleClicks};
  FStyleLink = std::make_unique<TStyleChangeLink>([this] { Invalidate(); });
}

TSplitter::~TSplitter() = default;

void TSplitter::SetBeveled(bool Value) {
  FBeveled = Value;
  Invalidate();
}

void TSplitter::SetColor(TColor Value) {
  FColor = Value;
  Invalidate();
}

TCursor TSplitter::CursorAt(const TPoint& Point) const {
  if (FCursor != crDefault) return FCursor;
  return Horizontal() ? crHSplit : crVSplit;
}

int TSplitter::SizeOf(const TControl* Control) const { return Horizontal() ? Control->Width() : Control->Height(); }

TControl* TSplitter::ResizeControl() const {
  TWinControl* parent = Parent();
  if (!parent) return nullptr;
  TControl* found = nullptr;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == this || !c->Visible() || c->Align() == alNone || c->Align() == alClient) continue;
    bool touches = false;
    switch (FAlign) {
      case alLeft: touches = c->Left() + c->Width() == FLeft; break;
      case alRight: touches = c->Left() == FLeft + FWidth; break;
      case alTop: touches = c->Top() + c->Height() == FTop; break;
      case alBottom: touches = c->Top() == FTop + FHeight; break;
      default: break;
    }
    if (!touches) continue;
    if (c->Align() == FAlign) return c;
    if (!found) found = c;
  }
  return found;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || FAlign == alNone || FAlign == alClient) return;
  FControl = ResizeControl();
  if (!FControl) return;
  FDragging = true;
  FDownPos = Horizontal() ? X + FLeft : Y + FTop;
  FStartSize = SizeOf(FControl);
  FNewSize = FStartSize;
  // Room: the parent's client size less MinSize for the rest and less what
  // the other controls on the sides take.
  TWinControl* parent = Parent();
  FMaxSize = (Horizontal() ? parent->ClientWidth() : parent->ClientHeight()) - FMinSize;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == FControl || !c->Visible()) continue;
    const bool side = Horizontal() ? (c->Align() == alLeft || c->Align() == alRight)
                                   : (c->Align() == alTop || c->Align() == alBottom);
    if (side) FMaxSize -= SizeOf(c);
  }
  if ((FResizeStyle == rsLine || FResizeStyle == rsPattern) && parent->WidgetIfAllocated()) {
    FLine = std::make_unique<QRubberBand>(QRubberBand::Line, parent->WidgetIfAllocated());
    FLine->setGeometry(FLeft, FTop, FWidth, FHeight);
    FLine->show();
  }
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging || !FControl) return;
  const int pos = Horizontal() ? X + FLeft : Y + FTop;
  const int delta = pos - FDownPos;
  int size = (FAlign == alLeft || FAlign == alTop) ? FStartSize + delta : FStartSize - delta;
  if (size > FMaxSize) size = FMaxSize;
  if (size < FMinSize) size = FAutoSnap ? 0 : FMinSize;
  size = std::max(size, 0);
  bool accept = true;
  if (OnCanResize) OnCanResize(this, size, accept);
  if (!accept || size == FNewSize) return;
  FNewSize = size;
  if (FResizeStyle == rsUpdate) {
    ApplySize(size);
    return;
  }
  if (FLine) {
    // Where the splitter will be once the control has the new size.
    const int shift = (FAlign == alLeft || FAlign == alTop) ? size - FStartSize : FStartSize - size;
    if (Horizontal()) FLine->setGeometry(FLeft + shift, FTop, FWidth, FHeight);
    else FLine->setGeometry(FLeft, FTop + shift, FWidth, FHeight);
  }
}

void TSplitter::ApplySize(int Size) {
  if (!FControl) return;
  if (Horizontal()) {
    if (FAlign == alRight) FControl->SetBounds(FControl->Left() + FControl->Width() - Size, FControl->Top(), Size, FControl->Height());
    else FControl->SetWidth(Size);
  } else {
    if (FAlign == alBottom) FControl->SetBounds(FControl->Left(), FControl->Top() + FControl->Height() - Size, FControl->Width(), Size);
    else FControl->SetHeight(Size);
  }
}

void TSplitter::StopDrag() {
  FDragging = false;
  FControl = nullptr;
  FLine.reset();
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging) return;
  const bool moved = FNewSize != FStartSize;
  if (FResizeStyle != rsUpdate && moved) ApplySize(FNewSize);
  StopDrag();
  if (moved && OnMoved) OnMoved(this);
}

void TSplitter::Paint() {
  TCanvas* c = Canvas();
  TCustomStyleServices& style = StyleServices();
  const TColor face = FColor == clBtnFace && !style.IsSystemStyle() ? style.GetStyleColor(scSplitter)
                                                                    : style.GetSystemColor(FColor);
  TRect r = ClientRect();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(face);
  c->FillRect(r);
  if (FBeveled) DrawBevel(c, r, true, 1);
}

TF_PUBLISHED(TSplitter, TComponent) {
  return PublishedControl<TSplitter>()
      .Integer("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize)
      .Default(30)
      .Enum("ResizeStyle", &TSplitter::ResizeStyle, &TSplitter::SetResizeStyle)
      .Default(rsPattern)
      .Boolean("AutoSnap", &TSplitter::AutoSnap, &TSplitter::SetAutoSnap)
      .Default(true)
      .Boolean("Beveled", &TSplitter::Beveled, &TSplitter::SetBeveled)
      .Default(false)
      .Color("Color", &TSplitter::Color, &TSplitter::SetColor)
      .Default(clBtnFace)
      .Event("OnMoved", &TSplitter::OnMoved)
      .Event("OnCanResize", &TSplitter::OnCanResize);
}

// ---------------------------------------------------------------------------
// TEditButton

TEditButton::TEditButton(TButtonedEdit* AEditControl, TButtonPosition APosition)
    : FEditControl(AEditControl), FPosition(APosition) {}

TPersistent* TEditButton::GetOwner() const { return FEditControl; }

void TEditButton::Changed() {
  if (FEditControl) FEditControl->UpdateButtons();
}

void TEditButton::SetImageIndex(int Value) {
  FImageIndex = Value;
  Changed();
}

void TEditButton::SetDisabledImageIndex(int Value) {
  FDisabledImageIndex = Value;
  Changed();
}

void TEditButton::SetVisible(bool Value) {
  FVisible = Value;
  Changed();
}

void TEditButton::SetEnabled(bool Value) {
  FEnabled = Value;
  Changed();
}

void TEditButton::SetHint(const QString& Value) {
  FHint = Value;
  Changed();
}

TF_PUBLISHED(TEditButton, TPersistent) {
  return TPublished<TEditButton>()
      .Integer("ImageIndex", &TEditButton::ImageIndex, &TEditButton::SetImageIndex)
      .Default(-1)
      .TypeName("TImageIndex")
      .Integer("DisabledImageIndex", &TEditButton::DisabledImageIndex, &TEditButton::SetDisabledImageIndex)
      .Default(-1)
      .TypeName("TImageIndex")
      .Boolean("Visible", &TEditButton::Visible, &TEditButton::SetVisible)
      .Default(false)
      .Boolean("Enabled", &TEditButton::Enabled, &TEditButton::SetEnabled)
      .Default(true)
      .String("Hint", &TEditButton::Hint, &TEditButton::SetHint);
}

// ---------------------------------------------------------------------------
// TButtonedEdit

TButtonedEdit::TButtonedEdit(TComponent* AOwner)
    : TEdit(AOwner),
      FLeftButton(std::make_unique<TEditButton>(this, TEditButton::bpLeft)),
      FRightButton(std::make_unique<TEditButton>(this, TEditButton::bpRight)) {}

TButtonedEdit::~TButtonedEdit() {
  DestroyHandle();
  SetImages(nullptr);
}

void TButtonedEdit::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  UpdateButtons();
}

void TButtonedEdit::SetLeftButton(TEditButton* Value) {
  if (!Value) return;
  FLeftButton->SetImageIndex(Value->ImageIndex());
  FLeftButton->SetDisabledImageIndex(Value->DisabledImageIndex());
  FLeftButton->SetVisible(Value->Visible());
  FLeftButton->SetEnabled(Value->Enabled());
  FLeftButton->SetHint(Value->Hint());
}

void TButtonedEdit::SetRightButton(TEditButton* Value) {
  if (!Value) return;
  FRightButton->SetImageIndex(Value->ImageIndex());
  FRightButton->SetDisabledImageIndex(Value->DisabledImageIndex());
  FRightButton->SetVisible(Value->Visible());
  FRightButton->SetEnabled(Value->Enabled());
  FRightButton->SetHint(Value->Hint());
}

void TButtonedEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) {
    FImages = nullptr;
    UpdateButtons();
  }
}

QWidget* TButtonedEdit::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  auto* edit = static_cast<QLineEdit*>(TEdit::CreateWidget(Params, ParentWidget));
  FLeftAction = edit->addAction(QIcon(), QLineEdit::LeadingPosition);
  FRightAction = edit->addAction(QIcon(), QLineEdit::TrailingPosition);
  // The buttons' clicks reach the edit's window like every other click and
  // are told apart there.
  for (QAction* action : {FLeftAction.data(), FRightAction.data()})
    for (QObject* o : action->associatedObjects())
      if (auto* button = qobject_cast<QToolButton*>(o)) button->setAttribute(Qt::WA_TransparentForMouseEvents);
  return edit;
}

void TButtonedEdit::DestroyWnd() {
  FPressed = nullptr;
  TEdit::DestroyWnd();
}

void TButtonedEdit::UpdateButtons() {
  auto apply = [this](QAction* action, TEditButton* button) {
    if (!action) return;
    QIcon icon;
    if (FImages) {
      const QImage image = FImages->GetImage(button->ImageIndex());
      if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image), QIcon::Normal);
      const QImage disabled = FImages->GetImage(button->DisabledImageIndex());
      if (!disabled.isNull()) icon.addPixmap(QPixmap::fromImage(disabled), QIcon::Disabled);
    }
    action->setIcon(icon);
    action->setVisible(button->Visible());
    action->setEnabled(button->Enabled());
    action->setToolTip(button->Hint());
  };
  apply(FLeftAction.data(), FLeftButton.get());
  apply(FRightAction.data(), FRightButton.get());
}

TRect TButtonedEdit::ButtonRect(TEditButton::TButtonPosition Position) const {
  QAction* action = Position == TEditButton::bpLeft ? FLeftAction.data() : FRightAction.data();
  if (!action || !action->isVisible()) return TRect();
  for (QObject* o : action->associatedObjects()) {
    auto* button = qobject_cast<QToolButton*>(o);
    if (!button || !button->isVisible()) continue;
    const QRect g = button->geometry();
    return TRect(g.left(), g.top(), g.left() + g.width(), g.top() + g.height());
  }
  return TRect();
}

TEditButton* TButtonedEdit::ButtonAt(const TPoint& Pos) const {
  for (TEditButton* b : {FLeftButton.get(), FRightButton.get()}) {
    if (!b->Visible() || !b->Enabled()) continue;
    const TRect r = ButtonRect(b->Position());
    if (r.Width() > 0 && r.Contains(Pos)) return b;
  }
  return nullptr;
}

void TButtonedEdit::ButtonClick(TEditButton::TButtonPosition Position) {
  if (Position == TEditButton::bpLeft) {
    if (OnLeftButtonClick) OnLeftButtonClick(this);
  } else if (OnRightButtonClick) {
    OnRightButtonClick(this);
  }
}

TF_MESSAGE_MAP(TButtonedEdit, TCustomEdit) {
  return {
      TF_MESSAGE(WM_LBUTTONDOWN, WMLButtonDown),
      TF_MESSAGE(WM_LBUTTONDBLCLK, WMLButtonDblClk),
      TF_MESSAGE(WM_LBUTTONUP, WMLButtonUp),
      TF_MESSAGE(WM_CREATE, WMCreate),
  };
}

void TButtonedEdit::WMLButtonDown(TMessage& Message) {
  TWMMouse m(Message);
  if (TEditButton* b = ButtonAt(TPoint(m.XPos(), m.YPos()))) {
    FPressed = b;  // the button's press: the edit's text stays as it is
    return;
  }
  TEdit::WMLButtonDown(Message);
}

void TButtonedEdit::WMLButtonDblClk(TMessage& Message) {
  TWMMouse m(Message);
  if (TEditButton* b = ButtonAt(TPoint(m.XPos(), m.YPos()))) {
    FPressed = b;
    return;
  }
  TEdit::WMLButtonDblClk(Message);
}

void TButtonedEdit::WMLButtonUp(TMessage& Message) {
  if (TEditButton* pressed = FPressed) {
    FPressed = nullptr;
    TWMMouse m(Message);
    if (ButtonAt(TPoint(m.XPos(), m.YPos())) == pressed) ButtonClick(pressed->Position());
    return;
  }
  TEdit::WMLButtonUp(Message);
}

void TButtonedEdit::WMCreate(TMessage& Message) {
  TEdit::WMCreate(Message);
  UpdateButtons();
}

TF_PUBLISHED(TButtonedEdit, TEdit) {
  return TPublished<TButtonedEdit>()
      .Object("Images", &TButtonedEdit::Images, &TButtonedEdit::SetImages)
      .Object("LeftButton", &TButtonedEdit::LeftButton, &TButtonedEdit::SetLeftButton)
      .Object("RightButton", &TButtonedEdit::RightButton, &TButtonedEdit::SetRightButton)
      .Event("OnLeftButtonClick", &TButtonedEdit::OnLeftButtonClick)
      .Event("OnRightButtonClick", &TButtonedEdit::OnRightButtonClick);
}
