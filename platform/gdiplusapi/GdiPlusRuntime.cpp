#include "platform/gdiplusapi/GdiPlusRuntime.h"

#include <dlfcn.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string_view>
#include <unordered_map>

namespace {

// ---------------------------------------------------------------------------
// Library and the functions the runtime calls itself

template <class F>
F Real(const char* name) {
  void* library = GdiplusLibrary();
  return library ? reinterpret_cast<F>(dlsym(library, name)) : nullptr;
}

// ---------------------------------------------------------------------------
// Shared start-up

struct StartupState {
  std::mutex lock;
  std::set<ULONG_PTR> tokens;  // live tokens handed out
  ULONG_PTR nextToken = 1;
  bool libraryStarted = false;
  ULONG_PTR libraryToken = 0;
};

StartupState& Startup() {
  static StartupState* state = new StartupState;  // lives to the end of the process
  return *state;
}

void ShutdownLibraryAtExit() {
  StartupState& s = Startup();
  std::lock_guard guard(s.lock);
  if (!s.libraryStarted) return;
  if (auto shutdown = Real<PFN_GdiplusShutdown>("GdiplusShutdown")) shutdown(s.libraryToken);
  s.libraryStarted = false;
}

Status SharedStartup(ULONG_PTR* token, const GdiplusStartupInput* input,
                     GdiplusStartupOutput* output) {
  return GdiplusStartupShared(token, input, output);
}

void SharedShutdown(ULONG_PTR token) { GdiplusShutdownShared(token); }

// ---------------------------------------------------------------------------
// Text calls under the text lock

template <class Tag, class F>
struct TextLocked;
template <class Tag, class R, class... A>
struct TextLocked<Tag, R (*)(A...)> {
  static inline R (*real)(A...) = nullptr;
  static R Call(A... args) {
    std::lock_guard guard(GdiplusTextLock());
    return real(args...);
  }
};

template <class Tag, class F>
void* LockedProc(const char* name) {
  using Wrapper = TextLocked<Tag, F>;
  static const bool bound = (Wrapper::real = Real<F>(name), true);  // once, thread-safe
  (void)bound;
  return Wrapper::real ? reinterpret_cast<void*>(&Wrapper::Call) : nullptr;
}

// ---------------------------------------------------------------------------
// Functions libgdiplus does not export

Status RegionBoundsI(GpRegion* region, GpGraphics* graphics, GpRect* rect) {
  if (!rect) return InvalidParameter;
  auto bounds = Real<PFN_GdipGetRegionBounds>("GdipGetRegionBounds");
  if (!bounds) return NotImplemented;
  GpRectF r{};
  Status status = bounds(region, graphics, &r);
  if (status != Ok) return status;
  // The integer bounds cover the real ones.
  const double left = std::floor(r.X), top = std::floor(r.Y);
  const double right = std::ceil(double(r.X) + r.Width), bottom = std::ceil(double(r.Y) + r.Height);
  if (left < INT32_MIN || top < INT32_MIN || right - left > INT32_MAX || bottom - top > INT32_MAX)
    return ValueOverflow;
  *rect = GpRect{INT(left), INT(top), INT(right - left), INT(bottom - top)};
  return Ok;
}

Status PathIterIsValid(GpPathIterator* iterator, BOOL* valid) {
  if (!iterator || !valid) return InvalidParameter;
  auto count = Real<PFN_GdipPathIterGetCount>("GdipPathIterGetCount");
  if (!count) return NotImplemented;
  INT n = 0;
  *valid = count(iterator, &n) == Ok ? TRUE : FALSE;
  return Ok;
}

Status FontCollectionEnumerable(GpFontCollection* collection, GpGraphics*, INT* numFound) {
  auto count = Real<PFN_GdipGetFontCollectionFamilyCount>("GdipGetFontCollectionFamilyCount");
  if (!count) return NotImplemented;
  return count(collection, numFound);
}

Status FontCollectionEnumerate(GpFontCollection* collection, INT numSought,
                               GpFontFamily** families, INT* numFound, GpGraphics*) {
  auto list = Real<PFN_GdipGetFontCollectionFamilyList>("GdipGetFontCollectionFamilyList");
  if (!list) return NotImplemented;
  return list(collection, numSought, families, numFound);
}

}  // namespace

// A cached bitmap keeps its own copy of the bitmap and draws it unscaled.
struct GpCachedBitmap {
  GpImage* image = nullptr;
};

namespace {

Status CreateCachedBitmap(GpBitmap* bitmap, GpGraphics* graphics, GpCachedBitmap** cached) {
  if (!bitmap || !graphics || !cached) return InvalidParameter;
  auto clone = Real<PFN_GdipCloneImage>("GdipCloneImage");
  if (!clone) return NotImplemented;
  GpImage* copy = nullptr;
  Status status = clone(bitmap, &copy);
  if (status != Ok) return status;
  *cached = new GpCachedBitmap{copy};
  return Ok;
}

Status DeleteCachedBitmap(GpCachedBitmap* cached) {
  if (!cached) return InvalidParameter;
  std::unique_ptr<GpCachedBitmap> owned(cached);
  auto dispose = Real<PFN_GdipDisposeImage>("GdipDisposeImage");
  return dispose ? dispose(owned->image) : NotImplemented;
}

Status DrawCachedBitmap(GpGraphics* graphics, GpCachedBitmap* cached, INT x, INT y) {
  if (!graphics || !cached) return InvalidParameter;
  auto draw = Real<PFN_GdipDrawImageI>("GdipDrawImageI");
  return draw ? draw(graphics, cached->image, x, y) : NotImplemented;
}

// ---------------------------------------------------------------------------
// Lookup table

struct TextTag1;
struct TextTag2;
struct TextTag3;
struct TextTag4;
struct TextTag5;
struct TextTag6;
struct TextTag7;

using ProcFactory = void* (*)(const char*);

const std::unordered_map<std::string_view, ProcFactory>& Replacements() {
  static const std::unordered_map<std::string_view, ProcFactory> table = {
      {"GdiplusStartup", [](const char*) { return reinterpret_cast<void*>(&SharedStartup); }},
      {"GdiplusShutdown", [](const char*) { return reinterpret_cast<void*>(&SharedShutdown); }},
      {"GdipDrawString", &LockedProc<TextTag1, PFN_GdipDrawString>},
      {"GdipMeasureString", &LockedProc<TextTag2, PFN_GdipMeasureString>},
      {"GdipMeasureCharacterRanges", &LockedProc<TextTag3, PFN_GdipMeasureCharacterRanges>},
      {"GdipDrawDriverString", &LockedProc<TextTag4, PFN_GdipDrawDriverString>},
      {"GdipMeasureDriverString", &LockedProc<TextTag5, PFN_GdipMeasureDriverString>},
      {"GdipAddPathString", &LockedProc<TextTag6, PFN_GdipAddPathString>},
      {"GdipAddPathStringI", &LockedProc<TextTag7, PFN_GdipAddPathStringI>},
  };
  return table;
}

// Supplied by the runtime only where the library has no function of its own.
const std::unordered_map<std::string_view, void*>& Substitutes() {
  static const std::unordered_map<std::string_view, void*> table = {
      {"GdipGetRegionBoundsI", reinterpret_cast<void*>(&RegionBoundsI)},
      {"GdipPathIterIsValid", reinterpret_cast<void*>(&PathIterIsValid)},
      {"GdipFontCollectionEnumerable", reinterpret_cast<void*>(&FontCollectionEnumerable)},
      {"GdipFontCollectionEnumerate", reinterpret_cast<void*>(&FontCollectionEnumerate)},
      {"GdipCreateCachedBitmap", reinterpret_cast<void*>(&CreateCachedBitmap)},
      {"GdipDeleteCachedBitmap", reinterpret_cast<void*>(&DeleteCachedBitmap)},
      {"GdipDrawCachedBitmap", reinterpret_cast<void*>(&DrawCachedBitmap)},
  };
  return table;
}

const std::unordered_map<std::string_view, void*>& Stubs() {
  static const std::unordered_map<std::string_view, void*> table = {
#define GDIPLUS_STUB_ENTRY(Result, Name, Params) \
  {#Name, reinterpret_cast<void*>(&GdiplusStub<PFN_##Name>::Call)},
      GDIPLUS_FLAT_API(GDIPLUS_STUB_ENTRY)
#undef GDIPLUS_STUB_ENTRY
  };
  return table;
}

}  // namespace

void* GdiplusLibrary() {
  static void* library = dlopen(GdiplusLibraryFileName, RTLD_NOW | RTLD_LOCAL);
  return library;
}

bool GdiplusExports(const char* name) {
  void* library = GdiplusLibrary();
  return library && name && dlsym(library, name) != nullptr;
}

void* GdiplusProc(const char* name) {
  if (!name) return nullptr;
  const std::string_view key(name);
  auto stub = Stubs().find(key);
  if (stub == Stubs().end()) return nullptr;  // not a flat-API name
  if (auto r = Replacements().find(key); r != Replacements().end())
    if (void* proc = r->second(name)) return proc;
  if (void* library = GdiplusLibrary())
    if (void* proc = dlsym(library, name)) return proc;
  if (auto s = Substitutes().find(key); s != Substitutes().end()) return s->second;
  return stub->second;
}

Status GdiplusStartupShared(ULONG_PTR* token, const GdiplusStartupInput* input,
                            GdiplusStartupOutput* output) {
  if (!token || !input) return InvalidParameter;
  if (input->GdiplusVersion != 1) return UnsupportedGdiplusVersion;
  StartupState& s = Startup();
  std::lock_guard guard(s.lock);
  if (!s.libraryStarted) {
    auto startup = Real<PFN_GdiplusStartup>("GdiplusStartup");
    if (!startup) return NotImplemented;
    GdiplusStartupInput own{};  // no debug callback reaches the library
    Status status = startup(&s.libraryToken, &own, nullptr);
    if (status != Ok) return status;
    s.libraryStarted = true;
    std::atexit(&ShutdownLibraryAtExit);
  }
  if (output) *output = GdiplusStartupOutput{nullptr, nullptr};
  *token = s.nextToken++;
  s.tokens.insert(*token);
  return Ok;
}

void GdiplusShutdownShared(ULONG_PTR token) {
  StartupState& s = Startup();
  std::lock_guard guard(s.lock);
  s.tokens.erase(token);
}

int GdiplusStartupCount() {
  StartupState& s = Startup();
  std::lock_guard guard(s.lock);
  return int(s.tokens.size());
}

bool GdiplusLibraryStarted() {
  StartupState& s = Startup();
  std::lock_guard guard(s.lock);
  return s.libraryStarted;
}

std::recursive_mutex& GdiplusTextLock() {
  static std::recursive_mutex* lock = new std::recursive_mutex;  // usable during exit
  return *lock;
}
