#pragma once
// The GDI+ flat API as one list: every function with its documented
// signature, grouped as the documentation groups them. Expand the list with
// a macro X(Result, Name, (Parameters)) to declare pointer types, tables or
// lookups from it; nothing here is linked against the library.

#include "platform/gdiplusapi/GdiPlusTypes.h"

#define GDIPLUS_FLAT_MEMORY(X)                                                                  \
  X(void*, GdipAlloc, (size_t))                                                                 \
  X(void, GdipFree, (void*))                                                                    \
  X(Status, GdiplusStartup, (ULONG_PTR*, const GdiplusStartupInput*, GdiplusStartupOutput*))     \
  X(void, GdiplusShutdown, (ULONG_PTR))

#define GDIPLUS_FLAT_PATHS(X)                                                                   \
  X(Status, GdipCreatePath, (FillMode, GpPath**))                                               \
  X(Status, GdipCreatePath2, (const GpPointF*, const BYTE*, INT, FillMode, GpPath**))           \
  X(Status, GdipCreatePath2I, (const GpPoint*, const BYTE*, INT, FillMode, GpPath**))           \
  X(Status, GdipClonePath, (GpPath*, GpPath**))                                                 \
  X(Status, GdipDeletePath, (GpPath*))                                                          \
  X(Status, GdipResetPath, (GpPath*))                                                           \
  X(Status, GdipGetPointCount, (GpPath*, INT*))                                                 \
  X(Status, GdipGetPathTypes, (GpPath*, BYTE*, INT))                                            \
  X(Status, GdipGetPathPoints, (GpPath*, GpPointF*, INT))                                       \
  X(Status, GdipGetPathPointsI, (GpPath*, GpPoint*, INT))                                       \
  X(Status, GdipGetPathFillMode, (GpPath*, FillMode*))                                          \
  X(Status, GdipSetPathFillMode, (GpPath*, FillMode))                                           \
  X(Status, GdipGetPathData, (GpPath*, GpPathData*))                                            \
  X(Status, GdipStartPathFigure, (GpPath*))                                                     \
  X(Status, GdipClosePathFigure, (GpPath*))                                                     \
  X(Status, GdipClosePathFigures, (GpPath*))                                                    \
  X(Status, GdipSetPathMarker, (GpPath*))                                                       \
  X(Status, GdipClearPathMarkers, (GpPath*))                                                    \
  X(Status, GdipReversePath, (GpPath*))                                                         \
  X(Status, GdipGetPathLastPoint, (GpPath*, GpPointF*))                                         \
  X(Status, GdipAddPathLine, (GpPath*, REAL, REAL, REAL, REAL))                                 \
  X(Status, GdipAddPathLine2, (GpPath*, const GpPointF*, INT))                                  \
  X(Status, GdipAddPathArc, (GpPath*, REAL, REAL, REAL, REAL, REAL, REAL))                      \
  X(Status, GdipAddPathBezier, (GpPath*, REAL, REAL, REAL, REAL, REAL, REAL, REAL, REAL))       \
  X(Status, GdipAddPathBeziers, (GpPath*, const GpPointF*, INT))                                \
  X(Status, GdipAddPathCurve, (GpPath*, const GpPointF*, INT))                                  \
  X(Status, GdipAddPathCurve2, (GpPath*, const GpPointF*, INT, REAL))                           \
  X(Status, GdipAddPathCurve3, (GpPath*, const GpPointF*, INT, INT, INT, REAL))                 \
  X(Status, GdipAddPathClosedCurve, (GpPath*, const GpPointF*, INT))                            \
  X(Status, GdipAddPathClosedCurve2, (GpPath*, const GpPointF*, INT, REAL))                     \
  X(Status, GdipAddPathRectangle, (GpPath*, REAL, REAL, REAL, REAL))                            \
  X(Status, GdipAddPathRectangles, (GpPath*, const GpRectF*, INT))                              \
  X(Status, GdipAddPathEllipse, (GpPath*, REAL, REAL, REAL, REAL))                              \
  X(Status, GdipAddPathPie, (GpPath*, REAL, REAL, REAL, REAL, REAL, REAL))                      \
  X(Status, GdipAddPathPolygon, (GpPath*, const GpPointF*, INT))                                \
  X(Status, GdipAddPathPath, (GpPath*, const GpPath*, BOOL))                                    \
  X(Status, GdipAddPathString, (GpPath*, const WCHAR*, INT, const GpFontFamily*, INT, REAL,     \
                                const GpRectF*, const GpStringFormat*))                         \
  X(Status, GdipAddPathStringI, (GpPath*, const WCHAR*, INT, const GpFontFamily*, INT, REAL,    \
                                 const GpRect*, const GpStringFormat*))                         \
  X(Status, GdipAddPathLineI, (GpPath*, INT, INT, INT, INT))                                    \
  X(Status, GdipAddPathLine2I, (GpPath*, const GpPoint*, INT))                                  \
  X(Status, GdipAddPathArcI, (GpPath*, INT, INT, INT, INT, REAL, REAL))                         \
  X(Status, GdipAddPathBezierI, (GpPath*, INT, INT, INT, INT, INT, INT, INT, INT))              \
  X(Status, GdipAddPathBeziersI, (GpPath*, const GpPoint*, INT))                                \
  X(Status, GdipAddPathCurveI, (GpPath*, const GpPoint*, INT))                                  \
  X(Status, GdipAddPathCurve2I, (GpPath*, const GpPoint*, INT, REAL))                           \
  X(Status, GdipAddPathCurve3I, (GpPath*, const GpPoint*, INT, INT, INT, REAL))                 \
  X(Status, GdipAddPathClosedCurveI, (GpPath*, const GpPoint*, INT))                            \
  X(Status, GdipAddPathClosedCurve2I, (GpPath*, const GpPoint*, INT, REAL))                     \
  X(Status, GdipAddPathRectangleI, (GpPath*, INT, INT, INT, INT))                               \
  X(Status, GdipAddPathRectanglesI, (GpPath*, const GpRect*, INT))                              \
  X(Status, GdipAddPathEllipseI, (GpPath*, INT, INT, INT, INT))                                 \
  X(Status, GdipAddPathPieI, (GpPath*, INT, INT, INT, INT, REAL, REAL))                         \
  X(Status, GdipAddPathPolygonI, (GpPath*, const GpPoint*, INT))                                \
  X(Status, GdipFlattenPath, (GpPath*, GpMatrix*, REAL))                                        \
  X(Status, GdipWindingModeOutline, (GpPath*, GpMatrix*, REAL))                                 \
  X(Status, GdipWidenPath, (GpPath*, GpPen*, GpMatrix*, REAL))                                  \
  X(Status, GdipWarpPath, (GpPath*, GpMatrix*, const GpPointF*, INT, REAL, REAL, REAL, REAL,    \
                           WarpMode, REAL))                                                     \
  X(Status, GdipTransformPath, (GpPath*, GpMatrix*))                                            \
  X(Status, GdipGetPathWorldBounds, (GpPath*, GpRectF*, const GpMatrix*, const GpPen*))         \
  X(Status, GdipGetPathWorldBoundsI, (GpPath*, GpRect*, const GpMatrix*, const GpPen*))         \
  X(Status, GdipIsVisiblePathPoint, (GpPath*, REAL, REAL, GpGraphics*, BOOL*))                  \
  X(Status, GdipIsVisiblePathPointI, (GpPath*, INT, INT, GpGraphics*, BOOL*))                   \
  X(Status, GdipIsOutlineVisiblePathPoint, (GpPath*, REAL, REAL, GpPen*, GpGraphics*, BOOL*))   \
  X(Status, GdipIsOutlineVisiblePathPointI, (GpPath*, INT, INT, GpPen*, GpGraphics*, BOOL*))

#define GDIPLUS_FLAT_PATH_ITERATORS(X)                                                          \
  X(Status, GdipCreatePathIter, (GpPathIterator**, GpPath*))                                    \
  X(Status, GdipDeletePathIter, (GpPathIterator*))                                              \
  X(Status, GdipPathIterNextSubpath, (GpPathIterator*, INT*, INT*, INT*, BOOL*))                \
  X(Status, GdipPathIterNextSubpathPath, (GpPathIterator*, INT*, GpPath*, BOOL*))               \
  X(Status, GdipPathIterNextPathType, (GpPathIterator*, INT*, BYTE*, INT*, INT*))               \
  X(Status, GdipPathIterNextMarker, (GpPathIterator*, INT*, INT*, INT*))                        \
  X(Status, GdipPathIterNextMarkerPath, (GpPathIterator*, INT*, GpPath*))                       \
  X(Status, GdipPathIterGetCount, (GpPathIterator*, INT*))                                      \
  X(Status, GdipPathIterGetSubpathCount, (GpPathIterator*, INT*))                               \
  X(Status, GdipPathIterIsValid, (GpPathIterator*, BOOL*))                                      \
  X(Status, GdipPathIterHasCurve, (GpPathIterator*, BOOL*))                                     \
  X(Status, GdipPathIterRewind, (GpPathIterator*))                                              \
  X(Status, GdipPathIterEnumerate, (GpPathIterator*, INT*, GpPointF*, BYTE*, INT))              \
  X(Status, GdipPathIterCopyData, (GpPathIterator*, INT*, GpPointF*, BYTE*, INT, INT))

#define GDIPLUS_FLAT_MATRICES(X)                                                                \
  X(Status, GdipCreateMatrix, (GpMatrix**))                                                     \
  X(Status, GdipCreateMatrix2, (REAL, REAL, REAL, REAL, REAL, REAL, GpMatrix**))                \
  X(Status, GdipCreateMatrix3, (const GpRectF*, const GpPointF*, GpMatrix**))                   \
  X(Status, GdipCreateMatrix3I, (const GpRect*, const GpPoint*, GpMatrix**))                    \
  X(Status, GdipCloneMatrix, (GpMatrix*, GpMatrix**))                                           \
  X(Status, GdipDeleteMatrix, (GpMatrix*))                                                      \
  X(Status, GdipSetMatrixElements, (GpMatrix*, REAL, REAL, REAL, REAL, REAL, REAL))             \
  X(Status, GdipMultiplyMatrix, (GpMatrix*, GpMatrix*, MatrixOrder))                            \
  X(Status, GdipTranslateMatrix, (GpMatrix*, REAL, REAL, MatrixOrder))                          \
  X(Status, GdipScaleMatrix, (GpMatrix*, REAL, REAL, MatrixOrder))                              \
  X(Status, GdipRotateMatrix, (GpMatrix*, REAL, MatrixOrder))                                   \
  X(Status, GdipShearMatrix, (GpMatrix*, REAL, REAL, MatrixOrder))                              \
  X(Status, GdipInvertMatrix, (GpMatrix*))                                                      \
  X(Status, GdipTransformMatrixPoints, (GpMatrix*, GpPointF*, INT))                             \
  X(Status, GdipTransformMatrixPointsI, (GpMatrix*, GpPoint*, INT))                             \
  X(Status, GdipVectorTransformMatrixPoints, (GpMatrix*, GpPointF*, INT))                       \
  X(Status, GdipVectorTransformMatrixPointsI, (GpMatrix*, GpPoint*, INT))                       \
  X(Status, GdipGetMatrixElements, (const GpMatrix*, REAL*))                                    \
  X(Status, GdipIsMatrixInvertible, (const GpMatrix*, BOOL*))                                   \
  X(Status, GdipIsMatrixIdentity, (const GpMatrix*, BOOL*))                                     \
  X(Status, GdipIsMatrixEqual, (const GpMatrix*, const GpMatrix*, BOOL*))

#define GDIPLUS_FLAT_REGIONS(X)                                                                 \
  X(Status, GdipCreateRegion, (GpRegion**))                                                     \
  X(Status, GdipCreateRegionRect, (const GpRectF*, GpRegion**))                                 \
  X(Status, GdipCreateRegionRectI, (const GpRect*, GpRegion**))                                 \
  X(Status, GdipCreateRegionPath, (GpPath*, GpRegion**))                                        \
  X(Status, GdipCreateRegionRgnData, (const BYTE*, INT, GpRegion**))                            \
  X(Status, GdipCreateRegionHrgn, (HRGN, GpRegion**))                                           \
  X(Status, GdipCloneRegion, (GpRegion*, GpRegion**))                                           \
  X(Status, GdipDeleteRegion, (GpRegion*))                                                      \
  X(Status, GdipSetInfinite, (GpRegion*))                                                       \
  X(Status, GdipSetEmpty, (GpRegion*))                                                          \
  X(Status, GdipCombineRegionRect, (GpRegion*, const GpRectF*, CombineMode))                    \
  X(Status, GdipCombineRegionRectI, (GpRegion*, const GpRect*, CombineMode))                    \
  X(Status, GdipCombineRegionPath, (GpRegion*, GpPath*, CombineMode))                           \
  X(Status, GdipCombineRegionRegion, (GpRegion*, GpRegion*, CombineMode))                       \
  X(Status, GdipTranslateRegion, (GpRegion*, REAL, REAL))                                       \
  X(Status, GdipTranslateRegionI, (GpRegion*, INT, INT))                                        \
  X(Status, GdipTransformRegion, (GpRegion*, GpMatrix*))                                        \
  X(Status, GdipGetRegionBounds, (GpRegion*, GpGraphics*, GpRectF*))                            \
  X(Status, GdipGetRegionBoundsI, (GpRegion*, GpGraphics*, GpRect*))                            \
  X(Status, GdipGetRegionHRgn, (GpRegion*, GpGraphics*, HRGN*))                                 \
  X(Status, GdipIsEmptyRegion, (GpRegion*, GpGraphics*, BOOL*))                                 \
  X(Status, GdipIsInfiniteRegion, (GpRegion*, GpGraphics*, BOOL*))                              \
  X(Status, GdipIsEqualRegion, (GpRegion*, GpRegion*, GpGraphics*, BOOL*))                      \
  X(Status, GdipGetRegionDataSize, (GpRegion*, UINT*))                                          \
  X(Status, GdipGetRegionData, (GpRegion*, BYTE*, UINT, UINT*))                                 \
  X(Status, GdipIsVisibleRegionPoint, (GpRegion*, REAL, REAL, GpGraphics*, BOOL*))              \
  X(Status, GdipIsVisibleRegionPointI, (GpRegion*, INT, INT, GpGraphics*, BOOL*))               \
  X(Status, GdipIsVisibleRegionRect, (GpRegion*, REAL, REAL, REAL, REAL, GpGraphics*, BOOL*))   \
  X(Status, GdipIsVisibleRegionRectI, (GpRegion*, INT, INT, INT, INT, GpGraphics*, BOOL*))      \
  X(Status, GdipGetRegionScansCount, (GpRegion*, UINT*, GpMatrix*))                             \
  X(Status, GdipGetRegionScans, (GpRegion*, GpRectF*, INT*, GpMatrix*))                         \
  X(Status, GdipGetRegionScansI, (GpRegion*, GpRect*, INT*, GpMatrix*))

#define GDIPLUS_FLAT_BRUSHES(X)                                                                 \
  X(Status, GdipCloneBrush, (GpBrush*, GpBrush**))                                              \
  X(Status, GdipDeleteBrush, (GpBrush*))                                                        \
  X(Status, GdipGetBrushType, (GpBrush*, BrushType*))                                           \
  X(Status, GdipCreateHatchBrush, (HatchStyle, ARGB, ARGB, GpHatch**))                          \
  X(Status, GdipGetHatchStyle, (GpHatch*, HatchStyle*))                                         \
  X(Status, GdipGetHatchForegroundColor, (GpHatch*, ARGB*))                                     \
  X(Status, GdipGetHatchBackgroundColor, (GpHatch*, ARGB*))                                     \
  X(Status, GdipCreateTexture, (GpImage*, WrapMode, GpTexture**))                               \
  X(Status, GdipCreateTexture2, (GpImage*, WrapMode, REAL, REAL, REAL, REAL, GpTexture**))      \
  X(Status, GdipCreateTextureIA, (GpImage*, const GpImageAttributes*, REAL, REAL, REAL, REAL,   \
                                  GpTexture**))                                                 \
  X(Status, GdipCreateTexture2I, (GpImage*, WrapMode, INT, INT, INT, INT, GpTexture**))         \
  X(Status, GdipCreateTextureIAI, (GpImage*, const GpImageAttributes*, INT, INT, INT, INT,      \
                                   GpTexture**))                                                \
  X(Status, GdipGetTextureTransform, (GpTexture*, GpMatrix*))                                   \
  X(Status, GdipSetTextureTransform, (GpTexture*, const GpMatrix*))                             \
  X(Status, GdipResetTextureTransform, (GpTexture*))                                            \
  X(Status, GdipMultiplyTextureTransform, (GpTexture*, const GpMatrix*, MatrixOrder))           \
  X(Status, GdipTranslateTextureTransform, (GpTexture*, REAL, REAL, MatrixOrder))               \
  X(Status, GdipScaleTextureTransform, (GpTexture*, REAL, REAL, MatrixOrder))                   \
  X(Status, GdipRotateTextureTransform, (GpTexture*, REAL, MatrixOrder))                        \
  X(Status, GdipSetTextureWrapMode, (GpTexture*, WrapMode))                                     \
  X(Status, GdipGetTextureWrapMode, (GpTexture*, WrapMode*))                                    \
  X(Status, GdipGetTextureImage, (GpTexture*, GpImage**))                                       \
  X(Status, GdipCreateSolidFill, (ARGB, GpSolidFill**))                                         \
  X(Status, GdipSetSolidFillColor, (GpSolidFill*, ARGB))                                        \
  X(Status, GdipGetSolidFillColor, (GpSolidFill*, ARGB*))

#define GDIPLUS_FLAT_LINE_GRADIENTS(X)                                                          \
  X(Status, GdipCreateLineBrush, (const GpPointF*, const GpPointF*, ARGB, ARGB, WrapMode,       \
                                  GpLineGradient**))                                            \
  X(Status, GdipCreateLineBrushI, (const GpPoint*, const GpPoint*, ARGB, ARGB, WrapMode,        \
                                   GpLineGradient**))                                           \
  X(Status, GdipCreateLineBrushFromRect, (const GpRectF*, ARGB, ARGB, LinearGradientMode,       \
                                          WrapMode, GpLineGradient**))                          \
  X(Status, GdipCreateLineBrushFromRectI, (const GpRect*, ARGB, ARGB, LinearGradientMode,       \
                                           WrapMode, GpLineGradient**))                         \
  X(Status, GdipCreateLineBrushFromRectWithAngle, (const GpRectF*, ARGB, ARGB, REAL, BOOL,      \
                                                   WrapMode, GpLineGradient**))                 \
  X(Status, GdipCreateLineBrushFromRectWithAngleI, (const GpRect*, ARGB, ARGB, REAL, BOOL,      \
                                                    WrapMode, GpLineGradient**))                \
  X(Status, GdipSetLineColors, (GpLineGradient*, ARGB, ARGB))                                   \
  X(Status, GdipGetLineColors, (GpLineGradient*, ARGB*))                                        \
  X(Status, GdipGetLineRect, (GpLineGradient*, GpRectF*))                                       \
  X(Status, GdipGetLineRectI, (GpLineGradient*, GpRect*))                                       \
  X(Status, GdipSetLineGammaCorrection, (GpLineGradient*, BOOL))                                \
  X(Status, GdipGetLineGammaCorrection, (GpLineGradient*, BOOL*))                               \
  X(Status, GdipGetLineBlendCount, (GpLineGradient*, INT*))                                     \
  X(Status, GdipGetLineBlend, (GpLineGradient*, REAL*, REAL*, INT))                             \
  X(Status, GdipSetLineBlend, (GpLineGradient*, const REAL*, const REAL*, INT))                 \
  X(Status, GdipGetLinePresetBlendCount, (GpLineGradient*, INT*))                               \
  X(Status, GdipGetLinePresetBlend, (GpLineGradient*, ARGB*, REAL*, INT))                       \
  X(Status, GdipSetLinePresetBlend, (GpLineGradient*, const ARGB*, const REAL*, INT))           \
  X(Status, GdipSetLineSigmaBlend, (GpLineGradient*, REAL, REAL))                               \
  X(Status, GdipSetLineLinearBlend, (GpLineGradient*, REAL, REAL))                              \
  X(Status, GdipSetLineWrapMode, (GpLineGradient*, WrapMode))                                   \
  X(Status, GdipGetLineWrapMode, (GpLineGradient*, WrapMode*))                                  \
  X(Status, GdipGetLineTransform, (GpLineGradient*, GpMatrix*))                                 \
  X(Status, GdipSetLineTransform, (GpLineGradient*, const GpMatrix*))                           \
  X(Status, GdipResetLineTransform, (GpLineGradient*))                                          \
  X(Status, GdipMultiplyLineTransform, (GpLineGradient*, const GpMatrix*, MatrixOrder))         \
  X(Status, GdipTranslateLineTransform, (GpLineGradient*, REAL, REAL, MatrixOrder))             \
  X(Status, GdipScaleLineTransform, (GpLineGradient*, REAL, REAL, MatrixOrder))                 \
  X(Status, GdipRotateLineTransform, (GpLineGradient*, REAL, MatrixOrder))

#define GDIPLUS_FLAT_PATH_GRADIENTS(X)                                                          \
  X(Status, GdipCreatePathGradient, (const GpPointF*, INT, WrapMode, GpPathGradient**))         \
  X(Status, GdipCreatePathGradientI, (const GpPoint*, INT, WrapMode, GpPathGradient**))         \
  X(Status, GdipCreatePathGradientFromPath, (const GpPath*, GpPathGradient**))                  \
  X(Status, GdipGetPathGradientCenterColor, (GpPathGradient*, ARGB*))                           \
  X(Status, GdipSetPathGradientCenterColor, (GpPathGradient*, ARGB))                            \
  X(Status, GdipGetPathGradientSurroundColorsWithCount, (GpPathGradient*, ARGB*, INT*))         \
  X(Status, GdipSetPathGradientSurroundColorsWithCount, (GpPathGradient*, const ARGB*, INT*))   \
  X(Status, GdipGetPathGradientPath, (GpPathGradient*, GpPath*))                                \
  X(Status, GdipSetPathGradientPath, (GpPathGradient*, const GpPath*))                          \
  X(Status, GdipGetPathGradientCenterPoint, (GpPathGradient*, GpPointF*))                       \
  X(Status, GdipGetPathGradientCenterPointI, (GpPathGradient*, GpPoint*))                       \
  X(Status, GdipSetPathGradientCenterPoint, (GpPathGradient*, const GpPointF*))                 \
  X(Status, GdipSetPathGradientCenterPointI, (GpPathGradient*, const GpPoint*))                 \
  X(Status, GdipGetPathGradientRect, (GpPathGradient*, GpRectF*))                               \
  X(Status, GdipGetPathGradientRectI, (GpPathGradient*, GpRect*))                               \
  X(Status, GdipGetPathGradientPointCount, (GpPathGradient*, INT*))                             \
  X(Status, GdipGetPathGradientSurroundColorCount, (GpPathGradient*, INT*))                     \
  X(Status, GdipSetPathGradientGammaCorrection, (GpPathGradient*, BOOL))                        \
  X(Status, GdipGetPathGradientGammaCorrection, (GpPathGradient*, BOOL*))                       \
  X(Status, GdipGetPathGradientBlendCount, (GpPathGradient*, INT*))                             \
  X(Status, GdipGetPathGradientBlend, (GpPathGradient*, REAL*, REAL*, INT))                     \
  X(Status, GdipSetPathGradientBlend, (GpPathGradient*, const REAL*, const REAL*, INT))         \
  X(Status, GdipGetPathGradientPresetBlendCount, (GpPathGradient*, INT*))                       \
  X(Status, GdipGetPathGradientPresetBlend, (GpPathGradient*, ARGB*, REAL*, INT))               \
  X(Status, GdipSetPathGradientPresetBlend, (GpPathGradient*, const ARGB*, const REAL*, INT))   \
  X(Status, GdipSetPathGradientSigmaBlend, (GpPathGradient*, REAL, REAL))                       \
  X(Status, GdipSetPathGradientLinearBlend, (GpPathGradient*, REAL, REAL))                      \
  X(Status, GdipGetPathGradientWrapMode, (GpPathGradient*, WrapMode*))                          \
  X(Status, GdipSetPathGradientWrapMode, (GpPathGradient*, WrapMode))                           \
  X(Status, GdipGetPathGradientTransform, (GpPathGradient*, GpMatrix*))                         \
  X(Status, GdipSetPathGradientTransform, (GpPathGradient*, GpMatrix*))                         \
  X(Status, GdipResetPathGradientTransform, (GpPathGradient*))                                  \
  X(Status, GdipMultiplyPathGradientTransform, (GpPathGradient*, const GpMatrix*, MatrixOrder)) \
  X(Status, GdipTranslatePathGradientTransform, (GpPathGradient*, REAL, REAL, MatrixOrder))     \
  X(Status, GdipScalePathGradientTransform, (GpPathGradient*, REAL, REAL, MatrixOrder))         \
  X(Status, GdipRotatePathGradientTransform, (GpPathGradient*, REAL, MatrixOrder))              \
  X(Status, GdipGetPathGradientFocusScales, (GpPathGradient*, REAL*, REAL*))                    \
  X(Status, GdipSetPathGradientFocusScales, (GpPathGradient*, REAL, REAL))

#define GDIPLUS_FLAT_PENS(X)                                                                    \
  X(Status, GdipCreatePen1, (ARGB, REAL, Unit, GpPen**))                                        \
  X(Status, GdipCreatePen2, (GpBrush*, REAL, Unit, GpPen**))                                    \
  X(Status, GdipClonePen, (GpPen*, GpPen**))                                                    \
  X(Status, GdipDeletePen, (GpPen*))                                                            \
  X(Status, GdipSetPenWidth, (GpPen*, REAL))                                                    \
  X(Status, GdipGetPenWidth, (GpPen*, REAL*))                                                   \
  X(Status, GdipSetPenUnit, (GpPen*, Unit))                                                     \
  X(Status, GdipGetPenUnit, (GpPen*, Unit*))                                                    \
  X(Status, GdipSetPenLineCap197819, (GpPen*, GpLineCap, GpLineCap, GpDashCap))                 \
  X(Status, GdipSetPenStartCap, (GpPen*, GpLineCap))                                            \
  X(Status, GdipSetPenEndCap, (GpPen*, GpLineCap))                                              \
  X(Status, GdipSetPenDashCap197819, (GpPen*, GpDashCap))                                       \
  X(Status, GdipGetPenStartCap, (GpPen*, GpLineCap*))                                           \
  X(Status, GdipGetPenEndCap, (GpPen*, GpLineCap*))                                             \
  X(Status, GdipGetPenDashCap197819, (GpPen*, GpDashCap*))                                      \
  X(Status, GdipSetPenLineJoin, (GpPen*, LineJoin))                                             \
  X(Status, GdipGetPenLineJoin, (GpPen*, LineJoin*))                                            \
  X(Status, GdipSetPenCustomStartCap, (GpPen*, GpCustomLineCap*))                               \
  X(Status, GdipGetPenCustomStartCap, (GpPen*, GpCustomLineCap**))                              \
  X(Status, GdipSetPenCustomEndCap, (GpPen*, GpCustomLineCap*))                                 \
  X(Status, GdipGetPenCustomEndCap, (GpPen*, GpCustomLineCap**))                                \
  X(Status, GdipSetPenMiterLimit, (GpPen*, REAL))                                               \
  X(Status, GdipGetPenMiterLimit, (GpPen*, REAL*))                                              \
  X(Status, GdipSetPenMode, (GpPen*, PenAlignment))                                             \
  X(Status, GdipGetPenMode, (GpPen*, PenAlignment*))                                            \
  X(Status, GdipSetPenTransform, (GpPen*, GpMatrix*))                                           \
  X(Status, GdipGetPenTransform, (GpPen*, GpMatrix*))                                           \
  X(Status, GdipResetPenTransform, (GpPen*))                                                    \
  X(Status, GdipMultiplyPenTransform, (GpPen*, const GpMatrix*, MatrixOrder))                   \
  X(Status, GdipTranslatePenTransform, (GpPen*, REAL, REAL, MatrixOrder))                       \
  X(Status, GdipScalePenTransform, (GpPen*, REAL, REAL, MatrixOrder))                           \
  X(Status, GdipRotatePenTransform, (GpPen*, REAL, MatrixOrder))                                \
  X(Status, GdipSetPenColor, (GpPen*, ARGB))                                                    \
  X(Status, GdipGetPenColor, (GpPen*, ARGB*))                                                   \
  X(Status, GdipSetPenBrushFill, (GpPen*, GpBrush*))                                            \
  X(Status, GdipGetPenBrushFill, (GpPen*, GpBrush**))                                           \
  X(Status, GdipGetPenFillType, (GpPen*, GpPenType*))                                           \
  X(Status, GdipGetPenDashStyle, (GpPen*, DashStyle*))                                          \
  X(Status, GdipSetPenDashStyle, (GpPen*, DashStyle))                                           \
  X(Status, GdipGetPenDashOffset, (GpPen*, REAL*))                                              \
  X(Status, GdipSetPenDashOffset, (GpPen*, REAL))                                               \
  X(Status, GdipGetPenDashCount, (GpPen*, INT*))                                                \
  X(Status, GdipSetPenDashArray, (GpPen*, const REAL*, INT))                                    \
  X(Status, GdipGetPenDashArray, (GpPen*, REAL*, INT))                                          \
  X(Status, GdipGetPenCompoundCount, (GpPen*, INT*))                                            \
  X(Status, GdipSetPenCompoundArray, (GpPen*, const REAL*, INT))                                \
  X(Status, GdipGetPenCompoundArray, (GpPen*, REAL*, INT))

#define GDIPLUS_FLAT_CAPS(X)                                                                    \
  X(Status, GdipCreateCustomLineCap, (GpPath*, GpPath*, GpLineCap, REAL, GpCustomLineCap**))    \
  X(Status, GdipDeleteCustomLineCap, (GpCustomLineCap*))                                        \
  X(Status, GdipCloneCustomLineCap, (GpCustomLineCap*, GpCustomLineCap**))                      \
  X(Status, GdipGetCustomLineCapType, (GpCustomLineCap*, GpCustomLineCapType*))                 \
  X(Status, GdipSetCustomLineCapStrokeCaps, (GpCustomLineCap*, GpLineCap, GpLineCap))           \
  X(Status, GdipGetCustomLineCapStrokeCaps, (GpCustomLineCap*, GpLineCap*, GpLineCap*))         \
  X(Status, GdipSetCustomLineCapStrokeJoin, (GpCustomLineCap*, LineJoin))                       \
  X(Status, GdipGetCustomLineCapStrokeJoin, (GpCustomLineCap*, LineJoin*))                      \
  X(Status, GdipSetCustomLineCapBaseCap, (GpCustomLineCap*, GpLineCap))                         \
  X(Status, GdipGetCustomLineCapBaseCap, (GpCustomLineCap*, GpLineCap*))                        \
  X(Status, GdipSetCustomLineCapBaseInset, (GpCustomLineCap*, REAL))                            \
  X(Status, GdipGetCustomLineCapBaseInset, (GpCustomLineCap*, REAL*))                           \
  X(Status, GdipSetCustomLineCapWidthScale, (GpCustomLineCap*, REAL))                           \
  X(Status, GdipGetCustomLineCapWidthScale, (GpCustomLineCap*, REAL*))                          \
  X(Status, GdipCreateAdjustableArrowCap, (REAL, REAL, BOOL, GpAdjustableArrowCap**))           \
  X(Status, GdipSetAdjustableArrowCapHeight, (GpAdjustableArrowCap*, REAL))                     \
  X(Status, GdipGetAdjustableArrowCapHeight, (GpAdjustableArrowCap*, REAL*))                    \
  X(Status, GdipSetAdjustableArrowCapWidth, (GpAdjustableArrowCap*, REAL))                      \
  X(Status, GdipGetAdjustableArrowCapWidth, (GpAdjustableArrowCap*, REAL*))                     \
  X(Status, GdipSetAdjustableArrowCapMiddleInset, (GpAdjustableArrowCap*, REAL))                \
  X(Status, GdipGetAdjustableArrowCapMiddleInset, (GpAdjustableArrowCap*, REAL*))               \
  X(Status, GdipSetAdjustableArrowCapFillState, (GpAdjustableArrowCap*, BOOL))                  \
  X(Status, GdipGetAdjustableArrowCapFillState, (GpAdjustableArrowCap*, BOOL*))

#define GDIPLUS_FLAT_IMAGES(X)                                                                  \
  X(Status, GdipLoadImageFromStream, (IStream*, GpImage**))                                     \
  X(Status, GdipLoadImageFromFile, (const WCHAR*, GpImage**))                                   \
  X(Status, GdipLoadImageFromStreamICM, (IStream*, GpImage**))                                  \
  X(Status, GdipLoadImageFromFileICM, (const WCHAR*, GpImage**))                                \
  X(Status, GdipCloneImage, (GpImage*, GpImage**))                                              \
  X(Status, GdipDisposeImage, (GpImage*))                                                       \
  X(Status, GdipSaveImageToFile, (GpImage*, const WCHAR*, const CLSID*,                         \
                                  const EncoderParameters*))                                    \
  X(Status, GdipSaveImageToStream, (GpImage*, IStream*, const CLSID*, const EncoderParameters*)) \
  X(Status, GdipSaveAdd, (GpImage*, const EncoderParameters*))                                  \
  X(Status, GdipSaveAddImage, (GpImage*, GpImage*, const EncoderParameters*))                   \
  X(Status, GdipGetImageGraphicsContext, (GpImage*, GpGraphics**))                              \
  X(Status, GdipGetImageBounds, (GpImage*, GpRectF*, Unit*))                                    \
  X(Status, GdipGetImageDimension, (GpImage*, REAL*, REAL*))                                    \
  X(Status, GdipGetImageType, (GpImage*, ImageType*))                                           \
  X(Status, GdipGetImageWidth, (GpImage*, UINT*))                                               \
  X(Status, GdipGetImageHeight, (GpImage*, UINT*))                                              \
  X(Status, GdipGetImageHorizontalResolution, (GpImage*, REAL*))                                \
  X(Status, GdipGetImageVerticalResolution, (GpImage*, REAL*))                                  \
  X(Status, GdipGetImageFlags, (GpImage*, UINT*))                                               \
  X(Status, GdipGetImageRawFormat, (GpImage*, GUID*))                                           \
  X(Status, GdipGetImagePixelFormat, (GpImage*, PixelFormat*))                                  \
  X(Status, GdipGetImageThumbnail, (GpImage*, UINT, UINT, GpImage**, GetThumbnailImageAbort,    \
                                    void*))                                                     \
  X(Status, GdipGetEncoderParameterListSize, (GpImage*, const CLSID*, UINT*))                   \
  X(Status, GdipGetEncoderParameterList, (GpImage*, const CLSID*, UINT, EncoderParameters*))    \
  X(Status, GdipImageGetFrameDimensionsCount, (GpImage*, UINT*))                                \
  X(Status, GdipImageGetFrameDimensionsList, (GpImage*, GUID*, UINT))                           \
  X(Status, GdipImageGetFrameCount, (GpImage*, const GUID*, UINT*))                             \
  X(Status, GdipImageSelectActiveFrame, (GpImage*, const GUID*, UINT))                          \
  X(Status, GdipImageRotateFlip, (GpImage*, RotateFlipType))                                    \
  X(Status, GdipGetImagePalette, (GpImage*, ColorPalette*, INT))                                \
  X(Status, GdipSetImagePalette, (GpImage*, const ColorPalette*))                               \
  X(Status, GdipGetImagePaletteSize, (GpImage*, INT*))                                          \
  X(Status, GdipGetPropertyCount, (GpImage*, UINT*))                                            \
  X(Status, GdipGetPropertyIdList, (GpImage*, UINT, PROPID*))                                   \
  X(Status, GdipGetPropertyItemSize, (GpImage*, PROPID, UINT*))                                 \
  X(Status, GdipGetPropertyItem, (GpImage*, PROPID, UINT, PropertyItem*))                       \
  X(Status, GdipGetPropertySize, (GpImage*, UINT*, UINT*))                                      \
  X(Status, GdipGetAllPropertyItems, (GpImage*, UINT, UINT, PropertyItem*))                     \
  X(Status, GdipRemovePropertyItem, (GpImage*, PROPID))                                         \
  X(Status, GdipSetPropertyItem, (GpImage*, const PropertyItem*))                               \
  X(Status, GdipImageForceValidation, (GpImage*))

#define GDIPLUS_FLAT_BITMAPS(X)                                                                 \
  X(Status, GdipCreateBitmapFromStream, (IStream*, GpBitmap**))                                 \
  X(Status, GdipCreateBitmapFromFile, (const WCHAR*, GpBitmap**))                               \
  X(Status, GdipCreateBitmapFromStreamICM, (IStream*, GpBitmap**))                              \
  X(Status, GdipCreateBitmapFromFileICM, (const WCHAR*, GpBitmap**))                            \
  X(Status, GdipCreateBitmapFromScan0, (INT, INT, INT, PixelFormat, BYTE*, GpBitmap**))         \
  X(Status, GdipCreateBitmapFromGraphics, (INT, INT, GpGraphics*, GpBitmap**))                  \
  X(Status, GdipCreateBitmapFromGdiDib, (const BITMAPINFO*, void*, GpBitmap**))                 \
  X(Status, GdipCreateBitmapFromHBITMAP, (HBITMAP, HPALETTE, GpBitmap**))                       \
  X(Status, GdipCreateHBITMAPFromBitmap, (GpBitmap*, HBITMAP*, ARGB))                           \
  X(Status, GdipCreateBitmapFromHICON, (HICON, GpBitmap**))                                     \
  X(Status, GdipCreateHICONFromBitmap, (GpBitmap*, HICON*))                                     \
  X(Status, GdipCreateBitmapFromResource, (HINSTANCE, const WCHAR*, GpBitmap**))                \
  X(Status, GdipCloneBitmapArea, (REAL, REAL, REAL, REAL, PixelFormat, GpBitmap*, GpBitmap**))  \
  X(Status, GdipCloneBitmapAreaI, (INT, INT, INT, INT, PixelFormat, GpBitmap*, GpBitmap**))     \
  X(Status, GdipBitmapLockBits, (GpBitmap*, const GpRect*, UINT, PixelFormat, BitmapData*))     \
  X(Status, GdipBitmapUnlockBits, (GpBitmap*, BitmapData*))                                     \
  X(Status, GdipBitmapGetPixel, (GpBitmap*, INT, INT, ARGB*))                                   \
  X(Status, GdipBitmapSetPixel, (GpBitmap*, INT, INT, ARGB))                                    \
  X(Status, GdipBitmapSetResolution, (GpBitmap*, REAL, REAL))

#define GDIPLUS_FLAT_IMAGE_ATTRIBUTES(X)                                                        \
  X(Status, GdipCreateImageAttributes, (GpImageAttributes**))                                   \
  X(Status, GdipCloneImageAttributes, (const GpImageAttributes*, GpImageAttributes**))          \
  X(Status, GdipDisposeImageAttributes, (GpImageAttributes*))                                   \
  X(Status, GdipSetImageAttributesToIdentity, (GpImageAttributes*, ColorAdjustType))            \
  X(Status, GdipResetImageAttributes, (GpImageAttributes*, ColorAdjustType))                    \
  X(Status, GdipSetImageAttributesColorMatrix, (GpImageAttributes*, ColorAdjustType, BOOL,      \
                                                const ColorMatrix*, const ColorMatrix*,         \
                                                ColorMatrixFlags))                              \
  X(Status, GdipSetImageAttributesThreshold, (GpImageAttributes*, ColorAdjustType, BOOL, REAL)) \
  X(Status, GdipSetImageAttributesGamma, (GpImageAttributes*, ColorAdjustType, BOOL, REAL))     \
  X(Status, GdipSetImageAttributesNoOp, (GpImageAttributes*, ColorAdjustType, BOOL))            \
  X(Status, GdipSetImageAttributesColorKeys, (GpImageAttributes*, ColorAdjustType, BOOL, ARGB,  \
                                              ARGB))                                            \
  X(Status, GdipSetImageAttributesOutputChannel, (GpImageAttributes*, ColorAdjustType, BOOL,    \
                                                  ColorChannelFlags))                           \
  X(Status, GdipSetImageAttributesOutputChannelColorProfile, (GpImageAttributes*,               \
                                                              ColorAdjustType, BOOL,            \
                                                              const WCHAR*))                    \
  X(Status, GdipSetImageAttributesRemapTable, (GpImageAttributes*, ColorAdjustType, BOOL, UINT, \
                                               const ColorMap*))                                \
  X(Status, GdipSetImageAttributesWrapMode, (GpImageAttributes*, WrapMode, ARGB, BOOL))         \
  X(Status, GdipSetImageAttributesICMMode, (GpImageAttributes*, BOOL))                          \
  X(Status, GdipGetImageAttributesAdjustedPalette, (GpImageAttributes*, ColorPalette*,          \
                                                    ColorAdjustType))

#define GDIPLUS_FLAT_GRAPHICS(X)                                                                \
  X(Status, GdipFlush, (GpGraphics*, FlushIntention))                                           \
  X(Status, GdipCreateFromHDC, (HDC, GpGraphics**))                                             \
  X(Status, GdipCreateFromHDC2, (HDC, HANDLE, GpGraphics**))                                    \
  X(Status, GdipCreateFromHWND, (HWND, GpGraphics**))                                           \
  X(Status, GdipCreateFromHWNDICM, (HWND, GpGraphics**))                                        \
  X(Status, GdipDeleteGraphics, (GpGraphics*))                                                  \
  X(Status, GdipGetDC, (GpGraphics*, HDC*))                                                     \
  X(Status, GdipReleaseDC, (GpGraphics*, HDC))                                                  \
  X(Status, GdipSetCompositingMode, (GpGraphics*, CompositingMode))                             \
  X(Status, GdipGetCompositingMode, (GpGraphics*, CompositingMode*))                            \
  X(Status, GdipSetRenderingOrigin, (GpGraphics*, INT, INT))                                    \
  X(Status, GdipGetRenderingOrigin, (GpGraphics*, INT*, INT*))                                  \
  X(Status, GdipSetCompositingQuality, (GpGraphics*, INT))                                      \
  X(Status, GdipGetCompositingQuality, (GpGraphics*, INT*))                                     \
  X(Status, GdipSetSmoothingMode, (GpGraphics*, INT))                                           \
  X(Status, GdipGetSmoothingMode, (GpGraphics*, INT*))                                          \
  X(Status, GdipSetPixelOffsetMode, (GpGraphics*, INT))                                         \
  X(Status, GdipGetPixelOffsetMode, (GpGraphics*, INT*))                                        \
  X(Status, GdipSetTextRenderingHint, (GpGraphics*, TextRenderingHint))                         \
  X(Status, GdipGetTextRenderingHint, (GpGraphics*, TextRenderingHint*))                        \
  X(Status, GdipSetTextContrast, (GpGraphics*, UINT))                                           \
  X(Status, GdipGetTextContrast, (GpGraphics*, UINT*))                                          \
  X(Status, GdipSetInterpolationMode, (GpGraphics*, INT))                                       \
  X(Status, GdipGetInterpolationMode, (GpGraphics*, INT*))                                      \
  X(Status, GdipSetWorldTransform, (GpGraphics*, GpMatrix*))                                    \
  X(Status, GdipResetWorldTransform, (GpGraphics*))                                             \
  X(Status, GdipMultiplyWorldTransform, (GpGraphics*, const GpMatrix*, MatrixOrder))            \
  X(Status, GdipTranslateWorldTransform, (GpGraphics*, REAL, REAL, MatrixOrder))                \
  X(Status, GdipScaleWorldTransform, (GpGraphics*, REAL, REAL, MatrixOrder))                    \
  X(Status, GdipRotateWorldTransform, (GpGraphics*, REAL, MatrixOrder))                         \
  X(Status, GdipGetWorldTransform, (GpGraphics*, GpMatrix*))                                    \
  X(Status, GdipResetPageTransform, (GpGraphics*))                                              \
  X(Status, GdipGetPageUnit, (GpGraphics*, Unit*))                                              \
  X(Status, GdipGetPageScale, (GpGraphics*, REAL*))                                             \
  X(Status, GdipSetPageUnit, (GpGraphics*, Unit))                                               \
  X(Status, GdipSetPageScale, (GpGraphics*, REAL))                                              \
  X(Status, GdipGetDpiX, (GpGraphics*, REAL*))                                                  \
  X(Status, GdipGetDpiY, (GpGraphics*, REAL*))                                                  \
  X(Status, GdipTransformPoints, (GpGraphics*, CoordinateSpace, CoordinateSpace, GpPointF*,     \
                                  INT))                                                         \
  X(Status, GdipTransformPointsI, (GpGraphics*, CoordinateSpace, CoordinateSpace, GpPoint*,     \
                                   INT))                                                        \
  X(Status, GdipGetNearestColor, (GpGraphics*, ARGB*))                                          \
  X(HPALETTE, GdipCreateHalftonePalette, ())                                                    \
  X(Status, GdipDrawLine, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL))                        \
  X(Status, GdipDrawLineI, (GpGraphics*, GpPen*, INT, INT, INT, INT))                           \
  X(Status, GdipDrawLines, (GpGraphics*, GpPen*, const GpPointF*, INT))                         \
  X(Status, GdipDrawLinesI, (GpGraphics*, GpPen*, const GpPoint*, INT))                         \
  X(Status, GdipDrawArc, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL, REAL, REAL))             \
  X(Status, GdipDrawArcI, (GpGraphics*, GpPen*, INT, INT, INT, INT, REAL, REAL))                \
  X(Status, GdipDrawBezier, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL, REAL, REAL, REAL,     \
                             REAL))                                                             \
  X(Status, GdipDrawBezierI, (GpGraphics*, GpPen*, INT, INT, INT, INT, INT, INT, INT, INT))     \
  X(Status, GdipDrawBeziers, (GpGraphics*, GpPen*, const GpPointF*, INT))                       \
  X(Status, GdipDrawBeziersI, (GpGraphics*, GpPen*, const GpPoint*, INT))                       \
  X(Status, GdipDrawRectangle, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL))                   \
  X(Status, GdipDrawRectangleI, (GpGraphics*, GpPen*, INT, INT, INT, INT))                      \
  X(Status, GdipDrawRectangles, (GpGraphics*, GpPen*, const GpRectF*, INT))                     \
  X(Status, GdipDrawRectanglesI, (GpGraphics*, GpPen*, const GpRect*, INT))                     \
  X(Status, GdipDrawEllipse, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL))                     \
  X(Status, GdipDrawEllipseI, (GpGraphics*, GpPen*, INT, INT, INT, INT))                        \
  X(Status, GdipDrawPie, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL, REAL, REAL))             \
  X(Status, GdipDrawPieI, (GpGraphics*, GpPen*, INT, INT, INT, INT, REAL, REAL))                \
  X(Status, GdipDrawPolygon, (GpGraphics*, GpPen*, const GpPointF*, INT))                       \
  X(Status, GdipDrawPolygonI, (GpGraphics*, GpPen*, const GpPoint*, INT))                       \
  X(Status, GdipDrawPath, (GpGraphics*, GpPen*, GpPath*))                                       \
  X(Status, GdipDrawCurve, (GpGraphics*, GpPen*, const GpPointF*, INT))                         \
  X(Status, GdipDrawCurveI, (GpGraphics*, GpPen*, const GpPoint*, INT))                         \
  X(Status, GdipDrawCurve2, (GpGraphics*, GpPen*, const GpPointF*, INT, REAL))                  \
  X(Status, GdipDrawCurve2I, (GpGraphics*, GpPen*, const GpPoint*, INT, REAL))                  \
  X(Status, GdipDrawCurve3, (GpGraphics*, GpPen*, const GpPointF*, INT, INT, INT, REAL))        \
  X(Status, GdipDrawCurve3I, (GpGraphics*, GpPen*, const GpPoint*, INT, INT, INT, REAL))        \
  X(Status, GdipDrawClosedCurve, (GpGraphics*, GpPen*, const GpPointF*, INT))                   \
  X(Status, GdipDrawClosedCurveI, (GpGraphics*, GpPen*, const GpPoint*, INT))                   \
  X(Status, GdipDrawClosedCurve2, (GpGraphics*, GpPen*, const GpPointF*, INT, REAL))            \
  X(Status, GdipDrawClosedCurve2I, (GpGraphics*, GpPen*, const GpPoint*, INT, REAL))            \
  X(Status, GdipGraphicsClear, (GpGraphics*, ARGB))                                             \
  X(Status, GdipFillRectangle, (GpGraphics*, GpBrush*, REAL, REAL, REAL, REAL))                 \
  X(Status, GdipFillRectangleI, (GpGraphics*, GpBrush*, INT, INT, INT, INT))                    \
  X(Status, GdipFillRectangles, (GpGraphics*, GpBrush*, const GpRectF*, INT))                   \
  X(Status, GdipFillRectanglesI, (GpGraphics*, GpBrush*, const GpRect*, INT))                   \
  X(Status, GdipFillPolygon, (GpGraphics*, GpBrush*, const GpPointF*, INT, FillMode))           \
  X(Status, GdipFillPolygonI, (GpGraphics*, GpBrush*, const GpPoint*, INT, FillMode))           \
  X(Status, GdipFillPolygon2, (GpGraphics*, GpBrush*, const GpPointF*, INT))                    \
  X(Status, GdipFillPolygon2I, (GpGraphics*, GpBrush*, const GpPoint*, INT))                    \
  X(Status, GdipFillEllipse, (GpGraphics*, GpBrush*, REAL, REAL, REAL, REAL))                   \
  X(Status, GdipFillEllipseI, (GpGraphics*, GpBrush*, INT, INT, INT, INT))                      \
  X(Status, GdipFillPie, (GpGraphics*, GpBrush*, REAL, REAL, REAL, REAL, REAL, REAL))           \
  X(Status, GdipFillPieI, (GpGraphics*, GpBrush*, INT, INT, INT, INT, REAL, REAL))              \
  X(Status, GdipFillPath, (GpGraphics*, GpBrush*, GpPath*))                                     \
  X(Status, GdipFillClosedCurve, (GpGraphics*, GpBrush*, const GpPointF*, INT))                 \
  X(Status, GdipFillClosedCurveI, (GpGraphics*, GpBrush*, const GpPoint*, INT))                 \
  X(Status, GdipFillClosedCurve2, (GpGraphics*, GpBrush*, const GpPointF*, INT, REAL,           \
                                   FillMode))                                                   \
  X(Status, GdipFillClosedCurve2I, (GpGraphics*, GpBrush*, const GpPoint*, INT, REAL,           \
                                    FillMode))                                                  \
  X(Status, GdipFillRegion, (GpGraphics*, GpBrush*, GpRegion*))                                 \
  X(Status, GdipDrawImage, (GpGraphics*, GpImage*, REAL, REAL))                                 \
  X(Status, GdipDrawImageI, (GpGraphics*, GpImage*, INT, INT))                                  \
  X(Status, GdipDrawImageRect, (GpGraphics*, GpImage*, REAL, REAL, REAL, REAL))                 \
  X(Status, GdipDrawImageRectI, (GpGraphics*, GpImage*, INT, INT, INT, INT))                    \
  X(Status, GdipDrawImagePoints, (GpGraphics*, GpImage*, const GpPointF*, INT))                 \
  X(Status, GdipDrawImagePointsI, (GpGraphics*, GpImage*, const GpPoint*, INT))                 \
  X(Status, GdipDrawImagePointRect, (GpGraphics*, GpImage*, REAL, REAL, REAL, REAL, REAL, REAL, \
                                     Unit))                                                     \
  X(Status, GdipDrawImagePointRectI, (GpGraphics*, GpImage*, INT, INT, INT, INT, INT, INT,      \
                                      Unit))                                                    \
  X(Status, GdipDrawImageRectRect, (GpGraphics*, GpImage*, REAL, REAL, REAL, REAL, REAL, REAL,  \
                                    REAL, REAL, Unit, const GpImageAttributes*, DrawImageAbort, \
                                    void*))                                                     \
  X(Status, GdipDrawImageRectRectI, (GpGraphics*, GpImage*, INT, INT, INT, INT, INT, INT, INT,  \
                                     INT, Unit, const GpImageAttributes*, DrawImageAbort,       \
                                     void*))                                                    \
  X(Status, GdipDrawImagePointsRect, (GpGraphics*, GpImage*, const GpPointF*, INT, REAL, REAL,  \
                                      REAL, REAL, Unit, const GpImageAttributes*,               \
                                      DrawImageAbort, void*))                                   \
  X(Status, GdipDrawImagePointsRectI, (GpGraphics*, GpImage*, const GpPoint*, INT, INT, INT,    \
                                       INT, INT, Unit, const GpImageAttributes*,                \
                                       DrawImageAbort, void*))                                  \
  X(Status, GdipSetClipGraphics, (GpGraphics*, GpGraphics*, CombineMode))                       \
  X(Status, GdipSetClipRect, (GpGraphics*, REAL, REAL, REAL, REAL, CombineMode))                \
  X(Status, GdipSetClipRectI, (GpGraphics*, INT, INT, INT, INT, CombineMode))                   \
  X(Status, GdipSetClipPath, (GpGraphics*, GpPath*, CombineMode))                               \
  X(Status, GdipSetClipRegion, (GpGraphics*, GpRegion*, CombineMode))                           \
  X(Status, GdipSetClipHrgn, (GpGraphics*, HRGN, CombineMode))                                  \
  X(Status, GdipResetClip, (GpGraphics*))                                                       \
  X(Status, GdipTranslateClip, (GpGraphics*, REAL, REAL))                                       \
  X(Status, GdipTranslateClipI, (GpGraphics*, INT, INT))                                        \
  X(Status, GdipGetClip, (GpGraphics*, GpRegion*))                                              \
  X(Status, GdipGetClipBounds, (GpGraphics*, GpRectF*))                                         \
  X(Status, GdipGetClipBoundsI, (GpGraphics*, GpRect*))                                         \
  X(Status, GdipIsClipEmpty, (GpGraphics*, BOOL*))                                              \
  X(Status, GdipGetVisibleClipBounds, (GpGraphics*, GpRectF*))                                  \
  X(Status, GdipGetVisibleClipBoundsI, (GpGraphics*, GpRect*))                                  \
  X(Status, GdipIsVisibleClipEmpty, (GpGraphics*, BOOL*))                                       \
  X(Status, GdipIsVisiblePoint, (GpGraphics*, REAL, REAL, BOOL*))                               \
  X(Status, GdipIsVisiblePointI, (GpGraphics*, INT, INT, BOOL*))                                \
  X(Status, GdipIsVisibleRect, (GpGraphics*, REAL, REAL, REAL, REAL, BOOL*))                    \
  X(Status, GdipIsVisibleRectI, (GpGraphics*, INT, INT, INT, INT, BOOL*))                       \
  X(Status, GdipSaveGraphics, (GpGraphics*, GraphicsState*))                                    \
  X(Status, GdipRestoreGraphics, (GpGraphics*, GraphicsState))                                  \
  X(Status, GdipBeginContainer, (GpGraphics*, const GpRectF*, const GpRectF*, Unit,             \
                                 GraphicsContainer*))                                           \
  X(Status, GdipBeginContainerI, (GpGraphics*, const GpRect*, const GpRect*, Unit,              \
                                  GraphicsContainer*))                                          \
  X(Status, GdipBeginContainer2, (GpGraphics*, GraphicsContainer*))                             \
  X(Status, GdipEndContainer, (GpGraphics*, GraphicsContainer))

#define GDIPLUS_FLAT_METAFILES(X)                                                               \
  X(Status, GdipGetMetafileHeaderFromWmf, (HMETAFILE, const WmfPlaceableFileHeader*,            \
                                           MetafileHeader*))                                    \
  X(Status, GdipGetMetafileHeaderFromEmf, (HENHMETAFILE, MetafileHeader*))                      \
  X(Status, GdipGetMetafileHeaderFromFile, (const WCHAR*, MetafileHeader*))                     \
  X(Status, GdipGetMetafileHeaderFromStream, (IStream*, MetafileHeader*))                       \
  X(Status, GdipGetMetafileHeaderFromMetafile, (GpMetafile*, MetafileHeader*))                  \
  X(Status, GdipGetHemfFromMetafile, (GpMetafile*, HENHMETAFILE*))                              \
  X(Status, GdipCreateStreamOnFile, (const WCHAR*, UINT, IStream**))                            \
  X(Status, GdipCreateMetafileFromWmf, (HMETAFILE, BOOL, const WmfPlaceableFileHeader*,         \
                                        GpMetafile**))                                          \
  X(Status, GdipCreateMetafileFromEmf, (HENHMETAFILE, BOOL, GpMetafile**))                      \
  X(Status, GdipCreateMetafileFromFile, (const WCHAR*, GpMetafile**))                           \
  X(Status, GdipCreateMetafileFromWmfFile, (const WCHAR*, const WmfPlaceableFileHeader*,        \
                                            GpMetafile**))                                      \
  X(Status, GdipCreateMetafileFromStream, (IStream*, GpMetafile**))                             \
  X(Status, GdipRecordMetafile, (HDC, GpEmfType, const GpRectF*, GpMetafileFrameUnit,           \
                                 const WCHAR*, GpMetafile**))                                   \
  X(Status, GdipRecordMetafileI, (HDC, GpEmfType, const GpRect*, GpMetafileFrameUnit,           \
                                  const WCHAR*, GpMetafile**))                                  \
  X(Status, GdipRecordMetafileFileName, (const WCHAR*, HDC, GpEmfType, const GpRectF*,          \
                                         GpMetafileFrameUnit, const WCHAR*, GpMetafile**))      \
  X(Status, GdipRecordMetafileFileNameI, (const WCHAR*, HDC, GpEmfType, const GpRect*,          \
                                          GpMetafileFrameUnit, const WCHAR*, GpMetafile**))     \
  X(Status, GdipRecordMetafileStream, (IStream*, HDC, GpEmfType, const GpRectF*,                \
                                       GpMetafileFrameUnit, const WCHAR*, GpMetafile**))        \
  X(Status, GdipRecordMetafileStreamI, (IStream*, HDC, GpEmfType, const GpRect*,                \
                                        GpMetafileFrameUnit, const WCHAR*, GpMetafile**))       \
  X(Status, GdipSetMetafileDownLevelRasterizationLimit, (GpMetafile*, UINT))                    \
  X(Status, GdipGetMetafileDownLevelRasterizationLimit, (const GpMetafile*, UINT*))             \
  X(Status, GdipGetImageDecodersSize, (UINT*, UINT*))                                           \
  X(Status, GdipGetImageDecoders, (UINT, UINT, ImageCodecInfo*))                                \
  X(Status, GdipGetImageEncodersSize, (UINT*, UINT*))                                           \
  X(Status, GdipGetImageEncoders, (UINT, UINT, ImageCodecInfo*))                                \
  X(Status, GdipComment, (GpGraphics*, UINT, const BYTE*))

#define GDIPLUS_FLAT_FONTS(X)                                                                   \
  X(Status, GdipCreateFontFamilyFromName, (const WCHAR*, GpFontCollection*, GpFontFamily**))    \
  X(Status, GdipDeleteFontFamily, (GpFontFamily*))                                              \
  X(Status, GdipCloneFontFamily, (GpFontFamily*, GpFontFamily**))                               \
  X(Status, GdipGetGenericFontFamilySansSerif, (GpFontFamily**))                                \
  X(Status, GdipGetGenericFontFamilySerif, (GpFontFamily**))                                    \
  X(Status, GdipGetGenericFontFamilyMonospace, (GpFontFamily**))                                \
  X(Status, GdipGetFamilyName, (const GpFontFamily*, WCHAR*, LANGID))                           \
  X(Status, GdipIsStyleAvailable, (const GpFontFamily*, INT, BOOL*))                            \
  X(Status, GdipFontCollectionEnumerable, (GpFontCollection*, GpGraphics*, INT*))               \
  X(Status, GdipFontCollectionEnumerate, (GpFontCollection*, INT, GpFontFamily**, INT*,         \
                                          GpGraphics*))                                         \
  X(Status, GdipGetEmHeight, (const GpFontFamily*, INT, UINT16*))                               \
  X(Status, GdipGetCellAscent, (const GpFontFamily*, INT, UINT16*))                             \
  X(Status, GdipGetCellDescent, (const GpFontFamily*, INT, UINT16*))                            \
  X(Status, GdipGetLineSpacing, (const GpFontFamily*, INT, UINT16*))                            \
  X(Status, GdipCreateFontFromDC, (HDC, GpFont**))                                              \
  X(Status, GdipCreateFontFromLogfontA, (HDC, const LOGFONTA*, GpFont**))                       \
  X(Status, GdipCreateFontFromLogfontW, (HDC, const LOGFONTW*, GpFont**))                       \
  X(Status, GdipCreateFont, (const GpFontFamily*, REAL, INT, INT, GpFont**))                    \
  X(Status, GdipCloneFont, (GpFont*, GpFont**))                                                 \
  X(Status, GdipDeleteFont, (GpFont*))                                                          \
  X(Status, GdipGetFamily, (GpFont*, GpFontFamily**))                                           \
  X(Status, GdipGetFontStyle, (GpFont*, INT*))                                                  \
  X(Status, GdipGetFontSize, (GpFont*, REAL*))                                                  \
  X(Status, GdipGetFontUnit, (GpFont*, Unit*))                                                  \
  X(Status, GdipGetFontHeight, (const GpFont*, const GpGraphics*, REAL*))                       \
  X(Status, GdipGetFontHeightGivenDPI, (const GpFont*, REAL, REAL*))                            \
  X(Status, GdipGetLogFontA, (GpFont*, GpGraphics*, LOGFONTA*))                                 \
  X(Status, GdipGetLogFontW, (GpFont*, GpGraphics*, LOGFONTW*))                                 \
  X(Status, GdipNewInstalledFontCollection, (GpFontCollection**))                               \
  X(Status, GdipNewPrivateFontCollection, (GpFontCollection**))                                 \
  X(Status, GdipDeletePrivateFontCollection, (GpFontCollection**))                              \
  X(Status, GdipGetFontCollectionFamilyCount, (GpFontCollection*, INT*))                        \
  X(Status, GdipGetFontCollectionFamilyList, (GpFontCollection*, INT, GpFontFamily**, INT*))    \
  X(Status, GdipPrivateAddFontFile, (GpFontCollection*, const WCHAR*))                          \
  X(Status, GdipPrivateAddMemoryFont, (GpFontCollection*, const void*, INT))

#define GDIPLUS_FLAT_TEXT(X)                                                                    \
  X(Status, GdipDrawString, (GpGraphics*, const WCHAR*, INT, const GpFont*, const GpRectF*,     \
                             const GpStringFormat*, const GpBrush*))                            \
  X(Status, GdipMeasureString, (GpGraphics*, const WCHAR*, INT, const GpFont*, const GpRectF*,  \
                                const GpStringFormat*, GpRectF*, INT*, INT*))                   \
  X(Status, GdipMeasureCharacterRanges, (GpGraphics*, const WCHAR*, INT, const GpFont*,         \
                                         const GpRectF*, const GpStringFormat*, INT,            \
                                         GpRegion**))                                           \
  X(Status, GdipDrawDriverString, (GpGraphics*, const UINT16*, INT, const GpFont*,              \
                                   const GpBrush*, const GpPointF*, INT, const GpMatrix*))      \
  X(Status, GdipMeasureDriverString, (GpGraphics*, const UINT16*, INT, const GpFont*,           \
                                      const GpPointF*, INT, const GpMatrix*, GpRectF*))

#define GDIPLUS_FLAT_STRING_FORMATS(X)                                                          \
  X(Status, GdipCreateStringFormat, (INT, LANGID, GpStringFormat**))                            \
  X(Status, GdipStringFormatGetGenericDefault, (GpStringFormat**))                              \
  X(Status, GdipStringFormatGetGenericTypographic, (GpStringFormat**))                          \
  X(Status, GdipDeleteStringFormat, (GpStringFormat*))                                          \
  X(Status, GdipCloneStringFormat, (const GpStringFormat*, GpStringFormat**))                   \
  X(Status, GdipSetStringFormatFlags, (GpStringFormat*, INT))                                   \
  X(Status, GdipGetStringFormatFlags, (const GpStringFormat*, INT*))                            \
  X(Status, GdipSetStringFormatAlign, (GpStringFormat*, StringAlignment))                       \
  X(Status, GdipGetStringFormatAlign, (const GpStringFormat*, StringAlignment*))                \
  X(Status, GdipSetStringFormatLineAlign, (GpStringFormat*, StringAlignment))                   \
  X(Status, GdipGetStringFormatLineAlign, (const GpStringFormat*, StringAlignment*))            \
  X(Status, GdipSetStringFormatTrimming, (GpStringFormat*, StringTrimming))                     \
  X(Status, GdipGetStringFormatTrimming, (const GpStringFormat*, StringTrimming*))              \
  X(Status, GdipSetStringFormatHotkeyPrefix, (GpStringFormat*, INT))                            \
  X(Status, GdipGetStringFormatHotkeyPrefix, (const GpStringFormat*, INT*))                     \
  X(Status, GdipSetStringFormatTabStops, (GpStringFormat*, REAL, INT, const REAL*))             \
  X(Status, GdipGetStringFormatTabStops, (const GpStringFormat*, INT, REAL*, REAL*))            \
  X(Status, GdipGetStringFormatTabStopCount, (const GpStringFormat*, INT*))                     \
  X(Status, GdipSetStringFormatDigitSubstitution, (GpStringFormat*, LANGID,                     \
                                                   StringDigitSubstitute))                      \
  X(Status, GdipGetStringFormatDigitSubstitution, (const GpStringFormat*, LANGID*,              \
                                                   StringDigitSubstitute*))                     \
  X(Status, GdipGetStringFormatMeasurableCharacterRangeCount, (const GpStringFormat*, INT*))    \
  X(Status, GdipSetStringFormatMeasurableCharacterRanges, (GpStringFormat*, INT,                \
                                                           const CharacterRange*))              \
  X(Status, GdipCreateCachedBitmap, (GpBitmap*, GpGraphics*, GpCachedBitmap**))                 \
  X(Status, GdipDeleteCachedBitmap, (GpCachedBitmap*))                                          \
  X(Status, GdipDrawCachedBitmap, (GpGraphics*, GpCachedBitmap*, INT, INT))                     \
  X(UINT, GdipEmfToWmfBits, (HENHMETAFILE, UINT, BYTE*, INT, INT))

// The whole flat API.
#define GDIPLUS_FLAT_API(X)        \
  GDIPLUS_FLAT_MEMORY(X)           \
  GDIPLUS_FLAT_PATHS(X)            \
  GDIPLUS_FLAT_PATH_ITERATORS(X)   \
  GDIPLUS_FLAT_MATRICES(X)         \
  GDIPLUS_FLAT_REGIONS(X)          \
  GDIPLUS_FLAT_BRUSHES(X)          \
  GDIPLUS_FLAT_LINE_GRADIENTS(X)   \
  GDIPLUS_FLAT_PATH_GRADIENTS(X)   \
  GDIPLUS_FLAT_PENS(X)             \
  GDIPLUS_FLAT_CAPS(X)             \
  GDIPLUS_FLAT_IMAGES(X)           \
  GDIPLUS_FLAT_BITMAPS(X)          \
  GDIPLUS_FLAT_IMAGE_ATTRIBUTES(X) \
  GDIPLUS_FLAT_GRAPHICS(X)         \
  GDIPLUS_FLAT_METAFILES(X)        \
  GDIPLUS_FLAT_FONTS(X)            \
  GDIPLUS_FLAT_TEXT(X)             \
  GDIPLUS_FLAT_STRING_FORMATS(X)

// Pointer types: PFN_GdipCreatePath and so on.
#define GDIPLUS_DECLARE_PFN(Result, Name, Params) using PFN_##Name = Result(*) Params;
GDIPLUS_FLAT_API(GDIPLUS_DECLARE_PFN)
#undef GDIPLUS_DECLARE_PFN

// Number of functions in the list.
#define GDIPLUS_COUNT_ONE(Result, Name, Params) +1
inline constexpr int GdiplusFlatFunctionCount = 0 GDIPLUS_FLAT_API(GDIPLUS_COUNT_ONE);
#undef GDIPLUS_COUNT_ONE
