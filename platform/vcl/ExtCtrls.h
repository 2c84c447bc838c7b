#pragma once
// Further controls: panels with bevels, splitters that resize the control
// beside them, and edits with buttons inside (TTimer lives in
// ExtCtrlsBase.h and comes along).
//
// TPanel and TSplitter paint themselves with the active style's colours
// (under the system style the bevels are DrawEdge's) and repaint when the
// style changes.

#include <QPointer>
#include <functional>
#include <memory>

#include "platform/vcl/ExtCtrlsBase.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/StdCtrls.h"

class QAction;
class QRubberBand;

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
TF_ENUM_NAMES(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
TF_ENUM_NAMES(TResizeStyle, rsNone, rsLine, rsUpdate, rsPattern)

// A panel's border: bsNone or bsSingle of the form border styles.
using TBorderStyle = TFormBorderStyle;

using TCanResizeEvent = std::function<void(TObject* Sender, int& NewSize, bool& Accept)>;

// Paints Width rings of a 3-D frame inside Rect (top and left edges in Top,
// bottom and right edges in Bottom) and shrinks Rect by them.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor Top, TColor Bottom, int Width);

// ---------------------------------------------------------------------------
// TPanel: an outer bevel, a border of BorderWidth in Color, an inner bevel,
// then the face in Color (or, with ParentBackground, the parent's colour)
// with the caption. Aligned children stay inside the bevels and border.

class TCustomPanel : public TCustomControl {
 public:
  TF_DECLARE_MESSAGES(TCustomPanel)
  explicit TCustomPanel(TComponent* AOwner);
  ~TCustomPanel() override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int Value);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  // bsNone or bsSingle (a one-pixel frame in the window frame colour).
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentBackground() const { return FParentBackground; }
  void SetParentBackground(bool Value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);

  // The colour the face is painted in (style and ParentBackground applied).
  TColor FaceColor() const;
  // Pixels of bevels, border and frame on each side.
  int FrameWidth() const;

 protected:
  void Paint() override;
  void CMTextChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void AlignControls(TControl* AControl, TRect& Rect) override;

 private:
  void Changed();

  TAlignment FAlignment = taCenter;
  TBevelCut FBevelOuter = bvRaised;
  TBevelCut FBevelInner = bvNone;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
  TBorderStyle FBorderStyle = bsNone;
  TColor FColor = clBtnFace;
  bool FParentBackground = true;
  bool FShowCaption = true;
  std::unique_ptr<TStyleChangeLink> FStyleLink;
};

class TPanel : public TCustomPanel {
 public:
  TF_DECLARE_PUBLISHED(TPanel)
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// ---------------------------------------------------------------------------
// TSplitter: a bar aligned to a side of its parent; dragging it resizes the
// control it touches on that side. The size stays at MinSize or more, and
// leaves MinSize for the rest of the parent (the controls aligned on the
// other sides keep theirs); with AutoSnap a drag below MinSize collapses the
// control to 0. rsUpdate resizes while dragging; rsLine and rsPattern show a
// line and resize on release; rsNone resizes on release.

class TSplitter : public TGraphicControl {
 public:
  TF_DECLARE_PUBLISHED(TSplitter)
  explicit TSplitter(TComponent* AOwner);
  ~TSplitter() override;

  int MinSize() const { return FMinSize; }
  void SetMinSize(int Value) { FMinSize = std::max(Value, 1); }
  TResizeStyle ResizeStyle() const { return FResizeStyle; }
  void SetResizeStyle(TResizeStyle Value) { FResizeStyle = Value; }
  bool AutoSnap() const { return FAutoSnap; }
  void SetAutoSnap(bool Value) { FAutoSnap = Value; }
  bool Beveled() const { return FBeveled; }
  void SetBeveled(bool Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  // The control the splitter resizes now (nullptr when none touches it).
  TControl* ResizeControl() const;

  TNotifyEvent OnMoved;
  TCanResizeEvent OnCanResize;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  TCursor CursorAt(const TPoint& Point) const override;
  bool Horizontal() const { return FAlign == alLeft || FAlign == alRight; }

 private:
  int SizeOf(const TControl* Control) const;
  void ApplySize(int Size);
  void StopDrag();

  int FMinSize = 30;
  TResizeStyle FResizeStyle = rsPattern;
  bool FAutoSnap = true;
  bool FBeveled = false;
  TColor FColor = clBtnFace;
  bool FDragging = false;
  TControl* FControl = nullptr;  // being resized
  int FDownPos = 0;              // parent coordinate of the press
  int FStartSize = 0;
  int FNewSize = 0;
  int FMaxSize = 0;
  std::unique_ptr<QRubberBand> FLine;
  std::unique_ptr<TStyleChangeLink> FStyleLink;
};

// ---------------------------------------------------------------------------
// TButtonedEdit: an edit with an image button at each end.

class TButtonedEdit;

class TEditButton : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TEditButton)
  enum TButtonPosition { bpLeft, bpRight };
  TEditButton(TButtonedEdit* AEditControl, TButtonPosition APosition);

  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  int DisabledImageIndex() const { return FDisabledImageIndex; }
  void SetDisabledImageIndex(int Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  const QString& Hint() const { return FHint; }
  void SetHint(const QString& Value);
  TButtonPosition Position() const { return FPosition; }
  TPersistent* GetOwner() const override;

 private:
  void Changed();

  TButtonedEdit* FEditControl;
  TButtonPosition FPosition;
  int FImageIndex = -1;
  int FDisabledImageIndex = -1;
  bool FVisible = false;
  bool FEnabled = true;
  QString FHint;
};

class TButtonedEdit : public TEdit {
 public:
  TF_DECLARE_MESSAGES(TButtonedEdit)
  TF_DECLARE_PUBLISHED(TButtonedEdit)
  explicit TButtonedEdit(TComponent* AOwner);
  ~TButtonedEdit() override;

  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TEditButton* LeftButton() const { return FLeftButton.get(); }
  void SetLeftButton(TEditButton* Value);
  TEditButton* RightButton() const { return FRightButton.get(); }
  void SetRightButton(TEditButton* Value);
  // Where a button shows in the control (empty while hidden or without a
  // window).
  TRect ButtonRect(TEditButton::TButtonPosition Position) const;
  // Shows the buttons' images, visibility and state again.
  void UpdateButtons();

  TNotifyEvent OnLeftButtonClick;
  TNotifyEvent OnRightButtonClick;

 protected:
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  void DestroyWnd() override;
  void WMLButtonDown(TMessage& Message);
  void WMLButtonDblClk(TMessage& Message);
  void WMLButtonUp(TMessage& Message);
  void WMCreate(TMessage& Message);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ButtonClick(TEditButton::TButtonPosition Position);

 private:
  TEditButton* ButtonAt(const TPoint& Pos) const;

  TCustomImageList* FImages = nullptr;
  std::unique_ptr<TEditButton> FLeftButton;
  std::unique_ptr<TEditButton> FRightButton;
  QPointer<QAction> FLeftAction;
  QPointer<QAction> FRightAction;
  TEditButton* FPressed = nullptr;
};
