#pragma once
// Run-time binding of GDI+: one table of function pointers, one per flat
// function, filled by name when the library is loaded; start-up and shutdown
// of GDI+ through the process-wide shared start-up; the value records,
// enumerations and small helpers the wrapper classes and their users share.
//
// Every entry is a variable any code may call. While the library is loaded,
// an entry the library lacks is bound to the runtime's substitute or to a
// stub that answers NotImplemented, so no loaded entry is ever null. Before
// loading and after unloading every entry is null.

#include <cstdint>

#include "platform/gdiplusapi/GdiPlusRuntime.h"

// ---------------------------------------------------------------------------
// Records and helpers

using TGPPointF = GpPointF;
using TGPPoint = GpPoint;
using TGPSizeF = GpSizeF;
using TGPRectF = GpRectF;
using TGPRect = GpRect;
using PGPPointF = TGPPointF*;
using PGPPoint = TGPPoint*;
using PGPRectF = TGPRectF*;
using PGPRect = TGPRect*;
using PARGB = ARGB*;
using PGPColor = ARGB*;
using TCharacterRange = CharacterRange;
using Unit_ = Unit;

TGPPointF MakePointF(float X, float Y);
TGPRectF MakeRectF(float x, float y, float width, float height);
ARGB MakeArgb(uint8_t a, uint8_t r, uint8_t g, uint8_t b);

// ---------------------------------------------------------------------------
// Entry-point table

#define KIT_GDIPLUS_DECLARE_ENTRY(Result, Name, Params) extern PFN_##Name Name;
GDIPLUS_FLAT_API(KIT_GDIPLUS_DECLARE_ENTRY)
#undef KIT_GDIPLUS_DECLARE_ENTRY

// Number of entries in the table.
inline constexpr int GdiPlusEntryCount = GdiplusFlatFunctionCount;

// One entry of the table, for walking it.
struct TGdiPlusEntry {
  const char* Name;
  void** Address;  // the entry variable (holds the function or null)
};
// Entry i (0 <= i < GdiPlusEntryCount); raises EListError out of range.
TGdiPlusEntry GdiPlusEntry(int index);

// ---------------------------------------------------------------------------
// Library and start-up state

// The module handle of the library; null while it is not loaded.
extern void* GdiPlusLibraryHandle;
// The token the shared start-up handed to this binding; 0 while not started.
extern ULONG_PTR GdiPlusToken;
// The start-up input record: version 1, no debug callback, background thread
// and external codecs not suppressed.
extern GdiplusStartupInput GdiPlusStartupInput;
// True when this code runs inside a shared library rather than the program;
// GDI+ is then neither started nor stopped here. False in the program.
extern bool GdiPlusModuleIsLibrary;
// File name the library is loaded by; tests point it elsewhere.
extern const char* GdiPlusLibraryName;

// Loads the library and fills the table. Does nothing when already loaded.
// When the library cannot be loaded the handle stays null and every entry is
// bound to its NotImplemented stub.
void LoadGdiPlusLibrary();
// Releases the library and sets the handle and every entry to null. Does
// nothing when the library was never loaded.
void UnloadGdiPlusLibrary();
// Starts GDI+ for this binding through the shared start-up (not in a shared
// library, and only while the library is loaded). A failure is not kept:
// later calls report their own statuses.
void StartupGdiPlus();
// Releases this binding's start-up (same conditions) and clears the token.
void ShutdownGdiPlus();

// ---------------------------------------------------------------------------
// Base of the wrapper classes, and the path-data holder
//
// The classes of this binding live in namespace KitGDIPlusClasses (with the
// wrapper classes of KitGDIPlusClasses.h); the link-time binding declares
// classes of the same names in its own namespace, so the two sets never mix.
// The table, the records, the enumerations and the helpers above are shared.

namespace KitGDIPlusClasses {

// Root of every GDI+ wrapper class. No fields; wrapper objects are ordinary
// heap objects.
class TGdiplusBase {
 public:
  TGdiplusBase() = default;
  TGdiplusBase(const TGdiplusBase&) = delete;
  TGdiplusBase& operator=(const TGdiplusBase&) = delete;
  virtual ~TGdiplusBase() = default;
};

// The path data GdipGetPathData fills: Count, then the two arrays, laid out
// as the library's path-data record so its address can be passed directly.
// Points and Types are allocated with std::malloc by whoever fills them and
// freed here.
class TPathData {
 public:
  int32_t Count = 0;
  PGPPointF Points = nullptr;
  BYTE* Types = nullptr;

  TPathData() = default;
  TPathData(const TPathData&) = delete;
  TPathData& operator=(const TPathData&) = delete;
  ~TPathData();

  // Entries both arrays were allocated with by TGPGraphicsPath::GetPathData;
  // 0 for arrays of unknown size. Keeps a Count set by a caller from letting
  // the library write past the arrays.
  int32_t Allocated = 0;

  GpPathData* Data() { return reinterpret_cast<GpPathData*>(&Count); }
};

}  // namespace KitGDIPlusClasses
