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

#include "foundation/KitGraphics.h"
#include "foundation/KitGraphicsStyles.h"
#include "foundation/KitPersistence.h"
#include "foundation/KitTypes.h"
#include "foundation/KitUndo.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Controls.h"

class TCustomForm;

// The framework's notification of a change of the active visual style.
inline constexpr UINT CM_STYLECHANGED = CM_BASE + 87;

enum class TKitControlAlignment { caNone, caTop, caBottom, caLeft, caRight, caClient };

// The ten default colours of the library's check boxes, radio buttons,
// buttons and similar parts; the last control to run InitStyleColors sets
// them for all, here and in the facade's control-part colours.
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
  bool AdaptToStyle() const { return const_cast<TKitCustomControlBaseCommon*>(this)->GetAdaptToStyle(); }
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
  TKitGraphicsTextQuality FTextQuality = gtqAntiAliasing;

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


  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool AValue) { FDoubleBuffered = AValue; }

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
  bool FDoubleBuffered = true;

 protected:
  void WMGetDlgCode(TMessage& Message);
  void WMNCHitTest(TMessage& Message);
  void CMDesignHitTest(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMFocusChanged(TMessage& Message);
  void CMStyleChanged(TMessage& Message);
  void CMHintShow(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMPaint(TMessage& Message);

 private:
  void PaintTransparent(TMessage& Message);
};

using TKitCustomControlBeforeDrawEvent =
    std::function<void(TObject* Sender, TKitGraphics* AGraphics, TRectF ARect, bool& ADefaultDraw)>;
using TKitCustomControlAfterDrawEvent = std::function<void(TObject* Sender, TKitGraphics* AGraphics, TRectF ARect)>;
using TKitCustomControlCanSavePropertyEvent = std::function<void(
    TObject* Sender, TObject* AObject, const QString& APropertyName, TTypeKind APropertyType, bool& ACanSave)>;
using TKitCustomControlCanLoadPropertyEvent = std::function<void(
    TObject* Sender, TObject* AObject, const QString& APropertyName, TTypeKind APropertyType, bool& ACanLoad)>;

class TKitCustomControl : public TKitCustomControlBase, public IKitPersistence, public IKitGraphicsExport {
 public:
  TF_DECLARE_PUBLISHED(TKitCustomControl)
  // Create it with Create<T>(AOwner) (or CreateUnique<T>): InitializeControl
  // runs in AfterConstruction, where a descendant's override is reached.
  explicit TKitCustomControl(TComponent* AOwner);
  ~TKitCustomControl() override;
  // Runs InitializeControl once (outside a designer form).
  void AfterConstruction() override;

  // Fill and stroke of the background; changing them repaints (the fill
  // also sets Color).
  TKitGraphicsFill* Fill() const { return FFill.get(); }
  TKitGraphicsStroke* Stroke() const { return FStroke.get(); }
  void DisableBackground();
  void EnableBackground();
  void DisableFill();
  void EnableFill();
  void DisableStroke();
  void EnableStroke();
  // From another custom control: its fill and stroke. Anything else raises
  // the framework's assignment error.
  void Assign(TPersistent* Source) override;

  TKitGraphicsTextQuality TextQuality() const { return FTextQuality; }
  void SetTextQuality(TKitGraphicsTextQuality AValue);
  bool BufferedPainting() const { return FBufferedPainting; }
  void SetBufferedPainting(bool AValue) { FBufferedPainting = AValue; }
  bool NativeCanvas() const { return FNativeCanvas; }
  void SetNativeCanvas(bool AValue) { FNativeCanvas = AValue; }

  // The cached part pictures (rebuilt when missing; the button pictures at
  // every call). The control keeps them.
  virtual TPicture* GetCheckBoxBitmap(bool AChecked, bool AFocused, bool AEnabled);
  virtual TPicture* GetRadioButtonBitmap(bool AChecked, bool AFocused, bool AEnabled);
  virtual TPicture* GetButtonBitmap(float AWidth, float AHeight, bool ADown, bool AFocused, bool AEnabled);

  // IKitGraphicsExport: the content only, into AGraphics and ARect.
  void Export(TKitGraphics* AGraphics, const TRectF& ARect) override;

  // IKitPersistence
  void SaveSettingsToFile(const QString& AFileName, bool AAppearanceOnly = false) override;
  void LoadSettingsFromFile(const QString& AFileName) override;
  void SaveSettingsToStream(TStream* AStream, bool AAppearanceOnly = false) override;
  void LoadSettingsFromStream(TStream* AStream) override;
  bool CanSaveProperty(TObject* AObject, const QString& APropertyName, TTypeKind APropertyKind) override;
  bool CanLoadProperty(TObject* AObject, const QString& APropertyName, TTypeKind APropertyKind) override;
  virtual bool IsColorProperty(TObject* AObject, const QString& APropertyName, TTypeKind APropertyKind);

  // Made on first use.
  TKitUndoManager* UndoManager();

  TKitCustomControlBeforeDrawEvent OnBeforeDraw;
  TKitCustomControlAfterDrawEvent OnAfterDraw;
  TKitCustomControlCanSavePropertyEvent OnCanSaveProperty;
  TKitCustomControlCanLoadPropertyEvent OnCanLoadProperty;

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
  void CreateWnd() override;

  void Paint() override;
  virtual void PaintControl();
  virtual void BeforeDraw(TKitGraphics* AGraphics, const TRectF& ARect, bool& ADefaultDraw);
  virtual void AfterDraw(TKitGraphics* AGraphics, const TRectF& ARect);
  virtual void DrawBackground(TKitGraphics* AGraphics, const TRectF& ARect);
  virtual void Draw(TKitGraphics* AGraphics, const TRectF& ARect) {}
  virtual void DoCanSaveProperty(TObject* AObject, const QString& APropertyName, TTypeKind APropertyType,
                                 bool& ACanSave);
  virtual void DoCanLoadProperty(TObject* AObject, const QString& APropertyName, TTypeKind APropertyType,
                                 bool& ACanLoad);
  void ApplyStyle() override;
  void ResetToDefaultStyle() override;
  void FreeControlBitmaps() override;
  void UpdateDPIScale(int M, int D) override;
  virtual void BuildCheckBoxBitmaps();
  virtual void BuildRadioButtonBitmaps();
  virtual void BuildButtonBitmaps(float AWidth, float AHeight);

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
  void FillChanged();
  void StrokeChanged();
  // Renders one part picture: the theme's look when themes are active,
  // else the frame control's.
  std::unique_ptr<TKitBitmap> RenderPart(int AWidth, int AHeight, int APart, int AState, UINT AFrameFlags);

  std::unique_ptr<TKitBitmap> FCheckedChk, FUnCheckedChk, FCheckedFocusChk, FUnCheckedFocusChk, FCheckedDisabledChk,
      FUnCheckedDisabledChk;
  std::unique_ptr<TKitBitmap> FCheckedRd, FUnCheckedRd, FCheckedFocusRd, FUnCheckedFocusRd, FCheckedDisabledRd,
      FUnCheckedDisabledRd;
  std::unique_ptr<TKitBitmap> FDownBtn, FNormalBtn, FDownFocusBtn, FNormalFocusBtn, FNormalDisabledBtn;
  std::unique_ptr<TKitGraphicsFill> FFill;
  std::unique_ptr<TKitGraphicsStroke> FStroke;
  std::unique_ptr<TKitUndoManager> FUndoManager;
  bool FAlignWithMargins = false;
  TRect FMargins{3, 3, 3, 3};
  bool FConstructed = false;  // AfterConstruction ran
};
