#pragma once
// The common base of the library's custom-painted controls, in three levels
// over the framework's TCustomControl:
//
// TKitCustomControlBaseCommon  style adaptation, product information, DPI
//                              scale factors, float coordinate conversion and
//                              the empty mouse and keyboard hooks;
// TKitCustomControlBase        routing of the framework's input messages into
//                              those hooks, hit testing, hints, transparent
//                              painting, the update-counting hooks;
// TKitCustomControl            the user data slots, the state queries, the
//                              alignment mapping and the hooks its
//                              descendants fill in (content rectangle, resize,
//                              export and draw steps).

#include <QPointF>
#include <QString>
#include <QUuid>
#include <functional>

#include "foundation/KitTypes.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Controls.h"

class TCustomForm;

// The framework's notification of a change of the active visual style.
inline constexpr UINT CM_STYLECHANGED = CM_BASE + 87;

// A component that can follow the active visual style.
class IKitAdaptToStyleEx {
 public:
  static constexpr QUuid IID{0x3EFF288D, 0x3927, 0x4E86, 0x8E, 0x9D, 0xEF, 0x68, 0x4B, 0x50, 0x1C, 0x9E};
  virtual ~IKitAdaptToStyleEx() = default;
  virtual bool GetAdaptToStyle() = 0;
  virtual void SetAdaptToStyle(bool AValue) = 0;
};

enum class TKitControlAlignment { caNone, caTop, caBottom, caLeft, caRight, caClient };

// The ten default colours of the library's check boxes, radio buttons,
// buttons and similar parts; the last control to run InitStyleColors sets
// them for all.
struct TKitDefaultGraphicColors {
  TColor BackgroundFill = 0xFFFFFF;
  TColor BackgroundStroke = 0xC0C0C0;
  TColor DefaultButtonFill = 0xE1E1E1;
  TColor LineFill = 0xA9A9A9;
  TColor TextColor = 0;
  TColor Selection = 0;
  TColor SelectionFill = 0xFBF1E5;
  TColor SelectionLine = 0xB17F3C;
  TColor Grey = 0xA9A9A9;
  TColor LightGrey = 0xD3D3D3;
  bool operator==(const TKitDefaultGraphicColors&) const = default;
};
TKitDefaultGraphicColors& KitDefaultGraphicColors();

// The colours the active visual style gives the library's parts; each answers
// false (AColor unchanged) while the plain "Windows" style is active.
struct TKitControlStyleColors {
  static bool GetStyleBackgroundFillColor(TColor& AColor);
  static bool GetStyleBackgroundFillColorTo(TColor& AColor);
  static bool GetStyleBackgroundStrokeColor(TColor& AColor);
  static bool GetStyleDefaultButtonFillColor(TColor& AColor);
  static bool GetStyleLineFillColor(TColor& AColor);
  static bool GetStyleSelectionFillColor(TColor& AColor);
  static bool GetStyleTextFontColor(TColor& AColor);
};

// ---------------------------------------------------------------------------

class TKitCustomControlBaseCommon : public TCustomControl, public IKitProductInfo, public IKitAdaptToStyleEx {
 public:
  explicit TKitCustomControlBaseCommon(TComponent* AOwner);
  ~TKitCustomControlBaseCommon() override;

  // IKitProductInfo
  QString GetVersion() override { return QString(); }
  QString GetDocURL() override;
  QString GetTipsURL() override;
  // IKitAdaptToStyleEx
  bool GetAdaptToStyle() override { return FAdaptToStyle; }
  void SetAdaptToStyle(bool AValue) override;
  bool AdaptToStyle() { return GetAdaptToStyle(); }
  bool AdaptedToStyle() const { return FAdaptedToStyle; }

  // Value × the factor; the integer forms use the factor rounded to
  // hundredths and round halves away from zero.
  int ScaleResourceValue(int Value) const;
  double ScaleResourceValue(double Value) const;
  int ScalePaintValue(int Value) const;
  double ScalePaintValue(double Value) const;
  Single ResourceScaleFactor() const { return FResourceScaleFactor; }
  Single PaintScaleFactor() const { return FPaintScaleFactor; }
  // Sets both factors from the monitor's DPI, then runs UpdateDPIScale.
  void UpdateScaleFactors(int M, int D);

  bool AllowFocus() const { return FAllowFocus; }
  void SetAllowFocus(bool AValue) { FAllowFocus = AValue; }
  bool ShowAcceleratorChar() const { return FShowAcceleratorChar; }
  void SetShowAcceleratorChar(bool AValue);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool AValue);
  bool CanFocus() const override;

  virtual bool HandleDesignHitTest(const TPoint& APoint) { return false; }
  virtual TPointF GetMousePosition();
  virtual TPointF ConvertScreenToClient(const TPointF& APoint);
  virtual TPointF ConvertClientToScreen(const TPointF& APoint);
  virtual int SpareHookA() { return 0; }
  virtual void CancelHint();
  // Starts a drag at once (no threshold).
  virtual void StartDrag();

  // Library-internal notifications fired after the matching hook.
  TNotifyEvent FOnInternalDblClick;
  TNotifyEvent FOnInternalMouseDown;
  TNotifyEvent FOnInternalMouseMove;
  TNotifyEvent FOnInternalMouseUp;

 protected:
  virtual void UpdateDPIScale(int M, int D) {}
  virtual void FreeControlBitmaps() {}
  virtual void InitStyleColors();
  virtual void ApplyStyle() {}
  virtual void ResetToDefaultStyle() {}
  // InitStyleColors, FreeControlBitmaps, then apply or reset the style colours.
  void UpdateControlStyle();

  virtual void HandleMouseLeave() {}
  virtual void HandleMouseEnter() {}
  virtual void HandleMouseDown(TMouseButton Button, TShiftState Shift, Single X, Single Y) {}
  virtual void HandleMouseMove(TShiftState Shift, Single X, Single Y) {}
  virtual void HandleDblClick(Single X, Single Y) {}
  virtual void HandleMouseUp(TMouseButton Button, TShiftState Shift, Single X, Single Y) {}
  virtual void HandleKeyPress(QChar& Key) {}
  virtual void HandleKeyDown(Word& Key, TShiftState Shift) {}
  virtual void HandleKeyDownFirst(Word& Key, TShiftState Shift) {}
  virtual void HandleKeyUp(Word& Key, TShiftState Shift) {}
  virtual void HandleMouseWheel(TShiftState Shift, int WheelDelta, bool& Handled) {}
  virtual void HandleDragOver(TObject* Source, const TPointF& Point, bool& Accept) {}
  virtual void HandleDragDrop(TObject* Source, const TPointF& Point) {}

  Single FResourceScaleFactor = 1.0f;
  Single FPaintScaleFactor = 1.0f;
  int FDesigntimeFormPixelsPerInch = 96;
  bool FAllowFocus = true;
  bool FAllowGetChildren = false;
  bool FAdaptToStyle = false;
  bool FAdaptedToStyle = false;
  bool FTransparent = false;
  bool FBufferedPainting = false;
  bool FNativeCanvas = false;
  bool FAntiAliasing = true;
  bool FOptimizedHTMLDrawing = true;
  bool FShowAcceleratorChar = true;

 private:
  int FStyleListener = 0;
};

class TKitCustomControlBase : public TKitCustomControlBaseCommon {
 public:
  TF_DECLARE_MESSAGES(TKitCustomControlBase)
  explicit TKitCustomControlBase(TComponent* AOwner);

  bool Stored() const { return FStored; }
  void SetStored(bool AValue) { FStored = AValue; }
  bool HitTest() const { return FHitTest; }
  void SetHitTest(bool AValue);
  TRectF LocalRect() { return GetLocalRect(); }

  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}


  // Drag and drop over the control (the framework's drag machinery calls
  // them; they run the hooks).
  void DragOver(TObject* Source, int X, int Y, bool& Accept);
  void DragDrop(TObject* Source, int X, int Y);

 protected:
  virtual TRectF GetLocalRect();
  virtual QString GetHintString() { return QString(); }
  virtual bool HasHint() { return false; }

  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(QChar& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  // After the framework's scaling, both scale factors follow the monitor
  // (UpdateScaleFactors).
  void ChangeScale(int M, int D, bool isDpiChange) override;

  bool FStored = true;
  bool FHitTest = true;

 protected:
  void WMGetDlgCode(TMessage& Message);
  void WMNCHitTest(TMessage& Message);
  void CMDesignHitTest(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMFocusChanged(TMessage& Message);
  void CMStyleChanged(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMPaint(TMessage& Message);

 private:
  void PaintTransparent(TMessage& Message);
};

class TKitCustomControl : public TKitCustomControlBase {
 public:
  // Create it with Create<T>(AOwner) (or CreateUnique<T>): InitializeControl
  // runs in AfterConstruction, where a descendant's override is reached.
  explicit TKitCustomControl(TComponent* AOwner);
  ~TKitCustomControl() override;
  // Runs InitializeControl once (outside a designer form).
  void AfterConstruction() override;

  // The framework's colour of the control (white at creation).
  TColor Color() const { return FColor; }
  void SetColor(TColor AValue);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool AValue) { FParentColor = AValue; }

  bool BlockInvalidate() const { return FBlockInvalidate; }
  void SetBlockInvalidate(bool AValue) { FBlockInvalidate = AValue; }
  TKitControlAlignment ControlAlignment() const;
  void SetControlAlignment(TKitControlAlignment AValue);

  // Margins as floats when align-with-margins is on; otherwise the variables
  // stay as they are.
  void GetControlMargins(Single& ALeft, Single& ATop, Single& ARight, Single& ABottom) const;
  void SetControlMargins(Single ALeft, Single ATop, Single ARight, Single ABottom);
  bool AlignWithMargins() const { return FAlignWithMargins; }
  TRect Margins() const { return FMargins; }

  virtual TPointF LocalToScreen(const TPointF& APoint) { return ConvertClientToScreen(APoint); }
  virtual TPointF ScreenToLocal(const TPointF& APoint) { return ConvertScreenToClient(APoint); }
  virtual TRectF GetContentRect() { return GetDrawRect(); }
  virtual TRectF GetDrawRect();
  virtual bool IsExporting() { return FExporting; }

  bool IsDesignTime() const;
  bool IsLoading() const;
  bool IsReading() const;
  bool IsDesigning() const;
  bool IsDesignerForm() const;
  bool IsDestroying() const;

  void* DataPointer() const { return FDataPointer; }
  void SetDataPointer(void* AValue) { FDataPointer = AValue; }
  bool DataBoolean() const { return FDataBoolean; }
  void SetDataBoolean(bool AValue) { FDataBoolean = AValue; }
  const QString& DataString() const { return FDataString; }
  void SetDataString(const QString& AValue) { FDataString = AValue; }
  TObject* DataObject() const { return FDataObject; }
  void SetDataObject(TObject* AValue) { FDataObject = AValue; }
  NativeInt DataInteger() const { return FDataInteger; }
  void SetDataInteger(NativeInt AValue) { FDataInteger = AValue; }

  virtual void CaptureMouse();
  virtual void ReleaseMouse();

 protected:
  TRectF GetLocalRect() override;
  virtual TColor GetStyleBackgroundEndColor();
  // The descendant's set-up, run by AfterConstruction after the most
  // derived constructor.
  virtual void InitializeControl() {}
  virtual void BeforeExport() {}
  virtual void AfterExport() {}
  virtual void UpdateControlAfterResize() {}
  void Resize() override;

  bool FBlockInvalidate = false;
  bool FAppearancePersisting = false;
  bool FExporting = false;
  TRectF FExportRect;
  TColor FColor = 0xFFFFFF;
  bool FParentColor = false;
  void* FDataPointer = nullptr;
  bool FDataBoolean = false;
  QString FDataString;
  TObject* FDataObject = nullptr;
  NativeInt FDataInteger = 0;

 private:
  bool FAlignWithMargins = false;
  TRect FMargins{3, 3, 3, 3};
  bool FConstructed = false;  // AfterConstruction ran
};
