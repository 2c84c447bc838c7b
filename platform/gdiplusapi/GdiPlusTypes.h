#pragma once
// Types of the GDI+ flat API as libgdiplus implements it: opaque object
// handles, the value records, the enumerations and the status codes.
// Written from the public documentation of the GDI+ flat API; the values
// and record layouts are the documented ones. Every enumeration travels to
// the library as a 32-bit integer.

#include <cstddef>
#include <cstdint>

#include "platform/rtl/TypInfo.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/WinTypes.h"

// Opaque native objects of the library.
struct GpGraphics;
struct GpPath;
struct GpPathIterator;
struct GpMatrix;
struct GpRegion;
struct GpBrush;
struct GpPen;
struct GpCustomLineCap;
struct GpImage;
struct GpImageAttributes;
struct GpFontFamily;
struct GpFont;
struct GpFontCollection;
struct GpStringFormat;
// The typed brush, cap, image and metafile handles are the base handles, as in
// the library (a solid fill is passed wherever a brush is expected).
using GpSolidFill = GpBrush;
using GpHatch = GpBrush;
using GpTexture = GpBrush;
using GpLineGradient = GpBrush;
using GpPathGradient = GpBrush;
using GpAdjustableArrowCap = GpCustomLineCap;
using GpBitmap = GpImage;
using GpMetafile = GpImage;
// Cached bitmaps are not part of libgdiplus; the runtime provides them.
struct GpCachedBitmap;

// Handles the flat API passes through unchanged.
struct HICON__;
using HICON = HICON__*;
struct HMETAFILE__;
using HMETAFILE = HMETAFILE__*;
struct HENHMETAFILE__;
using HENHMETAFILE = HENHMETAFILE__*;
struct IStream;
struct LOGFONTA;
using LANGID = WORD;
using PROPID = ULONG;
using ULONG_PTR = uintptr_t;
using UINT16 = uint16_t;
using REAL = float;
using ARGB = uint32_t;
using GraphicsState = UINT;
using GraphicsContainer = UINT;
using PixelFormat = INT;

struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
using CLSID = GUID;

enum Status : int32_t {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  ObjectBusy = 4,
  InsufficientBuffer = 5,
  NotImplemented = 6,
  Win32Error = 7,
  WrongState = 8,
  Aborted = 9,
  FileNotFound = 10,
  ValueOverflow = 11,
  AccessDenied = 12,
  UnknownImageFormat = 13,
  FontFamilyNotFound = 14,
  FontStyleNotFound = 15,
  NotTrueTypeFont = 16,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
  PropertyNotFound = 19,
  PropertyNotSupported = 20
};
using GpStatus = Status;

enum FillMode : int32_t { FillModeAlternate, FillModeWinding };
enum CompositingMode : int32_t { CompositingModeSourceOver, CompositingModeSourceCopy };
enum Unit : int32_t {
  UnitWorld,
  UnitDisplay,
  UnitPixel,
  UnitPoint,
  UnitInch,
  UnitDocument,
  UnitMillimeter
};
enum CoordinateSpace : int32_t { CoordinateSpaceWorld, CoordinateSpacePage, CoordinateSpaceDevice };
enum WrapMode : int32_t { WrapModeTile, WrapModeTileFlipX, WrapModeTileFlipY, WrapModeTileFlipXY, WrapModeClamp };
enum HatchStyle : int32_t {
  HatchStyleHorizontal, HatchStyleVertical, HatchStyleForwardDiagonal, HatchStyleBackwardDiagonal,
  HatchStyleCross, HatchStyleDiagonalCross, HatchStyle05Percent, HatchStyle10Percent,
  HatchStyle20Percent, HatchStyle25Percent, HatchStyle30Percent, HatchStyle40Percent,
  HatchStyle50Percent, HatchStyle60Percent, HatchStyle70Percent, HatchStyle75Percent,
  HatchStyle80Percent, HatchStyle90Percent, HatchStyleLightDownwardDiagonal,
  HatchStyleLightUpwardDiagonal, HatchStyleDarkDownwardDiagonal, HatchStyleDarkUpwardDiagonal,
  HatchStyleWideDownwardDiagonal, HatchStyleWideUpwardDiagonal, HatchStyleLightVertical,
  HatchStyleLightHorizontal, HatchStyleNarrowVertical, HatchStyleNarrowHorizontal,
  HatchStyleDarkVertical, HatchStyleDarkHorizontal, HatchStyleDashedDownwardDiagonal,
  HatchStyleDashedUpwardDiagonal, HatchStyleDashedHorizontal, HatchStyleDashedVertical,
  HatchStyleSmallConfetti, HatchStyleLargeConfetti, HatchStyleZigZag, HatchStyleWave,
  HatchStyleDiagonalBrick, HatchStyleHorizontalBrick, HatchStyleWeave, HatchStylePlaid,
  HatchStyleDivot, HatchStyleDottedGrid, HatchStyleDottedDiamond, HatchStyleShingle,
  HatchStyleTrellis, HatchStyleSphere, HatchStyleSmallGrid, HatchStyleSmallCheckerBoard,
  HatchStyleLargeCheckerBoard, HatchStyleOutlinedDiamond, HatchStyleSolidDiamond,
  HatchStyleTotal,
  HatchStyleLargeGrid = HatchStyleCross,
  HatchStyleMin = HatchStyleHorizontal,
  HatchStyleMax = HatchStyleTotal - 1
};
// Value names of the hatch styles, for published properties of this type.
TF_ENUM_NAMES(HatchStyle, HatchStyleHorizontal, HatchStyleVertical, HatchStyleForwardDiagonal,
              HatchStyleBackwardDiagonal, HatchStyleCross, HatchStyleDiagonalCross, HatchStyle05Percent,
              HatchStyle10Percent, HatchStyle20Percent, HatchStyle25Percent, HatchStyle30Percent,
              HatchStyle40Percent, HatchStyle50Percent, HatchStyle60Percent, HatchStyle70Percent,
              HatchStyle75Percent, HatchStyle80Percent, HatchStyle90Percent,
              HatchStyleLightDownwardDiagonal, HatchStyleLightUpwardDiagonal,
              HatchStyleDarkDownwardDiagonal, HatchStyleDarkUpwardDiagonal,
              HatchStyleWideDownwardDiagonal, HatchStyleWideUpwardDiagonal, HatchStyleLightVertical,
              HatchStyleLightHorizontal, HatchStyleNarrowVertical, HatchStyleNarrowHorizontal,
              HatchStyleDarkVertical, HatchStyleDarkHorizontal, HatchStyleDashedDownwardDiagonal,
              HatchStyleDashedUpwardDiagonal, HatchStyleDashedHorizontal, HatchStyleDashedVertical,
              HatchStyleSmallConfetti, HatchStyleLargeConfetti, HatchStyleZigZag, HatchStyleWave,
              HatchStyleDiagonalBrick, HatchStyleHorizontalBrick, HatchStyleWeave, HatchStylePlaid,
              HatchStyleDivot, HatchStyleDottedGrid, HatchStyleDottedDiamond, HatchStyleShingle,
              HatchStyleTrellis, HatchStyleSphere, HatchStyleSmallGrid, HatchStyleSmallCheckerBoard,
              HatchStyleLargeCheckerBoard, HatchStyleOutlinedDiamond, HatchStyleSolidDiamond)
enum DashStyle : int32_t {
  DashStyleSolid, DashStyleDash, DashStyleDot, DashStyleDashDot, DashStyleDashDotDot, DashStyleCustom
};
enum LineJoin : int32_t { LineJoinMiter, LineJoinBevel, LineJoinRound, LineJoinMiterClipped };
enum WarpMode : int32_t { WarpModePerspective, WarpModeBilinear };
enum LinearGradientMode : int32_t {
  LinearGradientModeHorizontal, LinearGradientModeVertical, LinearGradientModeForwardDiagonal,
  LinearGradientModeBackwardDiagonal
};
enum CombineMode : int32_t {
  CombineModeReplace, CombineModeIntersect, CombineModeUnion, CombineModeXor, CombineModeExclude,
  CombineModeComplement
};
enum ImageType : int32_t { ImageTypeUnknown, ImageTypeBitmap, ImageTypeMetafile };
enum PenAlignment : int32_t { PenAlignmentCenter, PenAlignmentInset };
enum BrushType : int32_t {
  BrushTypeSolidColor, BrushTypeHatchFill, BrushTypeTextureFill, BrushTypePathGradient,
  BrushTypeLinearGradient
};
enum MatrixOrder : int32_t { MatrixOrderPrepend, MatrixOrderAppend };
enum TextRenderingHint : int32_t {
  TextRenderingHintSystemDefault, TextRenderingHintSingleBitPerPixelGridFit,
  TextRenderingHintSingleBitPerPixel, TextRenderingHintAntiAliasGridFit,
  TextRenderingHintAntiAlias, TextRenderingHintClearTypeGridFit
};
enum StringTrimming : int32_t {
  StringTrimmingNone, StringTrimmingCharacter, StringTrimmingWord, StringTrimmingEllipsisCharacter,
  StringTrimmingEllipsisWord, StringTrimmingEllipsisPath
};
enum StringDigitSubstitute : int32_t {
  StringDigitSubstituteUser, StringDigitSubstituteNone, StringDigitSubstituteNational,
  StringDigitSubstituteTraditional
};
enum HotkeyPrefix : int32_t { HotkeyPrefixNone, HotkeyPrefixShow, HotkeyPrefixHide };
enum StringAlignment : int32_t { StringAlignmentNear, StringAlignmentCenter, StringAlignmentFar };
enum FlushIntention : int32_t { FlushIntentionFlush, FlushIntentionSync };
enum ColorChannelFlags : int32_t {
  ColorChannelFlagsC, ColorChannelFlagsM, ColorChannelFlagsY, ColorChannelFlagsK,
  ColorChannelFlagsLast
};
enum RotateFlipType : int32_t {
  RotateNoneFlipNone = 0, Rotate90FlipNone = 1, Rotate180FlipNone = 2, Rotate270FlipNone = 3,
  RotateNoneFlipX = 4, Rotate90FlipX = 5, Rotate180FlipX = 6, Rotate270FlipX = 7,
  RotateNoneFlipY = Rotate180FlipX, Rotate90FlipY = Rotate270FlipX,
  Rotate180FlipY = RotateNoneFlipX, Rotate270FlipY = Rotate90FlipX,
  RotateNoneFlipXY = Rotate180FlipNone, Rotate90FlipXY = Rotate270FlipNone,
  Rotate180FlipXY = RotateNoneFlipNone, Rotate270FlipXY = Rotate90FlipNone
};
enum ColorMatrixFlags : int32_t {
  ColorMatrixFlagsDefault, ColorMatrixFlagsSkipGrays, ColorMatrixFlagsAltGray
};
enum ColorAdjustType : int32_t {
  ColorAdjustTypeDefault, ColorAdjustTypeBitmap, ColorAdjustTypeBrush, ColorAdjustTypePen,
  ColorAdjustTypeText, ColorAdjustTypeCount, ColorAdjustTypeAny
};

// Plain integers with the documented values: line and dash caps, pen and
// cap types, font styles, string-format flags, quality modes, metafile kinds.
using GpLineCap = INT;
using GpDashCap = INT;
using GpPenType = INT;
using GpCustomLineCapType = INT;
using GpEmfType = INT;
using GpMetafileFrameUnit = INT;

// Pixel formats used by the layer.
inline constexpr PixelFormat PixelFormat24bppRGB = 0x00021808;
inline constexpr PixelFormat PixelFormat32bppRGB = 0x00022009;
inline constexpr PixelFormat PixelFormat32bppARGB = 0x0026200A;
inline constexpr PixelFormat PixelFormat32bppPARGB = 0x000E200B;

// Value records.
struct GpPointF {
  REAL X;
  REAL Y;
};
struct GpPoint {
  INT X;
  INT Y;
};
struct GpSizeF {
  REAL Width;
  REAL Height;
};
struct GpRectF {
  REAL X;
  REAL Y;
  REAL Width;
  REAL Height;
};
struct GpRect {
  INT X;
  INT Y;
  INT Width;
  INT Height;
};
struct CharacterRange {
  INT First;
  INT Length;
};
struct ColorMap {
  ARGB oldColor;
  ARGB newColor;
};
struct ColorMatrix {
  REAL m[5][5];
};
struct ColorPalette {
  UINT Flags;
  UINT Count;
  ARGB Entries[1];  // Count entries follow
};
struct BitmapData {
  UINT Width;
  UINT Height;
  INT Stride;
  INT PixelFormat;  // a PixelFormat value
  void* Scan0;
  UINT_PTR Reserved;
};
struct EncoderParameter {
  GUID Guid;
  ULONG NumberOfValues;
  ULONG Type;
  void* Value;
};
struct EncoderParameters {
  UINT Count;
  EncoderParameter Parameter[1];  // Count parameters follow
};
struct PropertyItem {
  PROPID id;
  ULONG length;
  WORD type;
  void* value;
};
// The path-data record GdipGetPathData fills: the caller sets Count and
// provides both arrays of Count elements.
struct GpPathData {
  INT Count;
  GpPointF* Points;
  BYTE* Types;
};
// Records that only metafile and codec calls use; passed through untouched.
struct MetafileHeader;
struct WmfPlaceableFileHeader;
struct ImageCodecInfo;

// Callback of the image drawing and thumbnail calls: answers TRUE to abort.
using ImageAbort = BOOL (*)(void* callbackData);
using DrawImageAbort = ImageAbort;
using GetThumbnailImageAbort = ImageAbort;
using DebugEventProc = void (*)(INT level, char* message);

struct GdiplusStartupInput {
  uint32_t GdiplusVersion = 1;
  DebugEventProc DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};
struct GdiplusStartupOutput {
  void* NotificationHook;
  void* NotificationUnhook;
};
