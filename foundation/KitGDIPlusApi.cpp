#include "foundation/KitGDIPlusApi.h"

#include <dlfcn.h>

#include <cstddef>
#include <cstdlib>
#include <iterator>
#include <string_view>

#include <QString>

#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"

static_assert(offsetof(KitGDIPlusClasses::TPathData, Count) == offsetof(GpPathData, Count));
static_assert(offsetof(KitGDIPlusClasses::TPathData, Points) == offsetof(GpPathData, Points));
static_assert(offsetof(KitGDIPlusClasses::TPathData, Types) == offsetof(GpPathData, Types));

TGPPointF MakePointF(float X, float Y) { return TGPPointF{X, Y}; }

TGPRectF MakeRectF(float x, float y, float width, float height) {
  return TGPRectF{x, y, width, height};
}

ARGB MakeArgb(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
  return (ARGB(a) << 24) | (ARGB(r) << 16) | (ARGB(g) << 8) | ARGB(b);
}

#define KIT_GDIPLUS_DEFINE_ENTRY(Result, Name, Params) PFN_##Name Name = nullptr;
GDIPLUS_FLAT_API(KIT_GDIPLUS_DEFINE_ENTRY)
#undef KIT_GDIPLUS_DEFINE_ENTRY

void* GdiPlusLibraryHandle = nullptr;
ULONG_PTR GdiPlusToken = 0;
GdiplusStartupInput GdiPlusStartupInput;
bool GdiPlusModuleIsLibrary = false;
const char* GdiPlusLibraryName = GdiplusLibraryFileName;

namespace {

struct EntryInfo {
  const char* name;
  void** address;
  void* stub;
};

const EntryInfo kEntries[] = {
#define KIT_GDIPLUS_ENTRY_INFO(Result, Name, Params)     \
  {#Name, reinterpret_cast<void**>(&Name),                \
   reinterpret_cast<void*>(&GdiplusStub<PFN_##Name>::Call)},
    GDIPLUS_FLAT_API(KIT_GDIPLUS_ENTRY_INFO)
#undef KIT_GDIPLUS_ENTRY_INFO
};
static_assert(std::size(kEntries) == size_t(GdiPlusEntryCount));

}  // namespace

TGdiPlusEntry GdiPlusEntry(int index) {
  if (index < 0 || index >= GdiPlusEntryCount)
    throw EListError(QString::fromLatin1(RtlConsts::SListIndexError)
                         .replace(QLatin1StringView("%d"), QString::number(index)));
  return TGdiPlusEntry{kEntries[index].name, kEntries[index].address};
}

void LoadGdiPlusLibrary() {
  if (GdiPlusLibraryHandle) return;
  GdiPlusLibraryHandle = dlopen(GdiPlusLibraryName, RTLD_NOW | RTLD_LOCAL);
  // The runtime answers for the library the process shares; a library of
  // another name (or none) leaves only the stubs.
  const bool shared = GdiPlusLibraryHandle && GdiplusLibrary() &&
                      std::string_view(GdiPlusLibraryName) == GdiplusLibraryFileName;
  for (const EntryInfo& entry : kEntries) {
    void* proc = shared ? GdiplusProc(entry.name) : nullptr;
    if (!proc && GdiPlusLibraryHandle && !shared) proc = dlsym(GdiPlusLibraryHandle, entry.name);
    *entry.address = proc ? proc : entry.stub;
  }
}

void UnloadGdiPlusLibrary() {
  if (!GdiPlusLibraryHandle) return;
  dlclose(GdiPlusLibraryHandle);
  GdiPlusLibraryHandle = nullptr;
  for (const EntryInfo& entry : kEntries) *entry.address = nullptr;
}

void StartupGdiPlus() {
  if (GdiPlusModuleIsLibrary || !GdiPlusLibraryHandle || GdiPlusToken != 0) return;
  GdiPlusStartupInput = GdiplusStartupInput{};
  ULONG_PTR token = 0;
  if (GdiplusStartup(&token, &GdiPlusStartupInput, nullptr) == Ok) GdiPlusToken = token;
}

void ShutdownGdiPlus() {
  if (GdiPlusModuleIsLibrary || !GdiPlusLibraryHandle || GdiPlusToken == 0) return;
  GdiplusShutdown(GdiPlusToken);
  GdiPlusToken = 0;
}

KitGDIPlusClasses::TPathData::~TPathData() {
  std::free(Points);
  std::free(Types);
}
