#pragma once
// Small windows and objects the grid owns besides its cells: the arrow
// windows that mark where a dragged column or row lands, the window of the
// focus glow, the focus-glow switch, the list of controls placed in cells and
// the picture a cell shows from a file.

#include <QImage>
#include <QString>
#include <array>
#include <memory>

#include "platform/rtl/Lists.h"
#include "platform/rtl/Persistent.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Graphics.h"

#include "grid/model/KitGridTypes.h"

// A pop-up window shaped as an arrow (a 7-point polygon), filled lime.
class TArrowWindow : public TPanel {
 public:
  explicit TArrowWindow(TComponent* AOwner);
  // Stores the direction, makes AOwner (a windowed control) its parent and
  // hides the window.
  void Init(TWinControl* AOwner, TArrowDirection Direction);

  TArrowDirection Dir() const { return FDir; }
  // The polygon of the direction, in client coordinates.
  static std::array<TPoint, 7> ArrowPoints(TArrowDirection Direction);
  // The window size that holds that polygon: (0, 0, width, height).
  static TRect ArrowBounds(TArrowDirection Direction);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;

 private:
  TArrowDirection FDir = arrUp;
};

// The pop-up window that carries the glow around the focused cell; the
// grid's paint cycle shapes and fills it.
class TGridFocusWindow : public TCustomControl {
 public:
  explicit TGridFocusWindow(TComponent* AOwner);
  TColor Color() const { return FColor; }
  // The glow it shows (premultiplied 32-bit pixels) and the opacity of the
  // whole window, as a layered window shows them; the window takes the
  // picture's size.
  void SetGlow(const QImage& Glow, Byte Opacity);
  const QImage& Glow() const { return FGlow; }
  Byte Opacity() const { return FOpacity; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

 private:
  TColor FColor = clRed;
  QImage FGlow;
  Byte FOpacity = 255;
};

// The focus-glow switch of the grid.
class TFocusHelper : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TFocusHelper)
  explicit TFocusHelper(TPersistent* AOwner = nullptr) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }

 private:
  TPersistent* FOwner;
  bool FEnabled = false;
};

// One control placed in a cell (not owned).
class TControlItem : public TObject {
 public:
  TControlItem(int AX, int AY, TControl* AControl) : X(AX), Y(AY), Control(AControl) {}
  int X;
  int Y;
  TControl* Control;
};

// The controls placed in cells, by column and real row. Owns its items.
class TKitControlList : public TList {
 public:
  TKitControlList() = default;
  ~TKitControlList() override;

  void AddControl(int X, int Y, TControl* AObject);
  // Index of the first item of the cell, -1 when none.
  int ControlIndex(int X, int Y) const;
  // Frees and removes item Index (list-index error when out of range).
  void RemoveControl(int Index);
  void ClearControls();
  // True when some item's control is a windowed control with that handle.
  bool HasHandle(HWND Handle) const;
  // Item Index (list-index error when out of range).
  TControlItem* Control(int Index) const { return static_cast<TControlItem*>(Items(Index)); }
};

// A picture shown from a file: only the name and the size of the picture
// last loaded are kept; the file is read when the picture is drawn.
class TFilePicture : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TFilePicture)
  TFilePicture() = default;

  // From another file picture: name and size. Anything else raises the
  // framework's assign error.
  void Assign(TPersistent* Source) override;

  const QString& Filename() const { return FFilename; }
  // Stores the name; when the file exists it is loaded once to learn its
  // size (a file that does not load leaves the size 0 x 0).
  void SetFilename(const QString& Value);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

  // Loads the file and stretches it into Rect; nothing when the name is
  // empty or the file is missing; a load or draw failure draws nothing.
  void DrawPicture(TCanvas* Canvas, const TRect& Rect);

 private:
  QString FFilename;
  int FWidth = 0;
  int FHeight = 0;
};
