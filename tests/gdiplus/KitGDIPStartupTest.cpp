// GDI+ start-up of the static binding next to the run-time binding: the
// shared count, every order of start and shutdown, and the notification
// hook of old systems.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "foundation/KitGDIPlusApi.h"
#include "gdiplus/KitGDIP.h"

namespace {

// Draws with the static binding; true when a pixel arrived.
bool StaticDraws() {
  KitGDIP::TGPBitmap bitmap(4, 4, PixelFormat32bppPARGB);
  KitGDIP::TGPGraphics g(&bitmap);
  KitGDIP::TGPSolidBrush brush(0xFF00FF00);
  if (g.FillRectangle(&brush, KitGDIP::TGPRectF{0, 0, 4, 4}) != Ok) return false;
  g.Flush();
  ARGB c = 0;
  bitmap.GetPixel(2, 2, c);
  return c == 0xFF00FF00;
}

// Draws with the run-time binding's entry table; true when a pixel arrived.
bool DynamicDraws() {
  if (GdiPlusLibraryHandle == nullptr) return false;
  GpBitmap* bitmap = nullptr;
  if (::GdipCreateBitmapFromScan0(4, 4, 0, PixelFormat32bppPARGB, nullptr, &bitmap) != Ok) return false;
  GpGraphics* g = nullptr;
  ::GdipGetImageGraphicsContext(bitmap, &g);
  GpSolidFill* brush = nullptr;
  ::GdipCreateSolidFill(0xFFFF0000, &brush);
  ::GdipFillRectangleI(g, brush, 0, 0, 4, 4);
  ::GdipDeleteBrush(brush);
  ::GdipDeleteGraphics(g);
  ARGB c = 0;
  ::GdipBitmapGetPixel(bitmap, 1, 1, &c);
  ::GdipDisposeImage(bitmap);
  return c == 0xFFFF0000;
}

struct TBinding {
  const char* Name;
  void (*Start)();
  void (*Stop)();
  bool (*Draws)();
};

void StartStatic() { KitGDIP::Initialization(); }
void StopStatic() { KitGDIP::Finalization(); }
void StartDynamic() {
  LoadGdiPlusLibrary();
  StartupGdiPlus();
}
void StopDynamic() {
  ShutdownGdiPlus();
  UnloadGdiPlusLibrary();
}

TEST(KitGDIPStartup, EitherBindingKeepsWorkingWhateverOrderTheyStartAndStopIn) {
  const TBinding bindings[2] = {{"static", StartStatic, StopStatic, StaticDraws},
                                {"run-time", StartDynamic, StopDynamic, DynamicDraws}};
  StopStatic();  // the unit started itself before the test
  const int baseline = GdiplusStartupCount();
  for (int firstStart = 0; firstStart < 2; ++firstStart)
    for (int firstStop = 0; firstStop < 2; ++firstStop) {
      SCOPED_TRACE(std::string("start ") + bindings[firstStart].Name + " first, stop " + bindings[firstStop].Name +
                   " first");
      const TBinding& a = bindings[firstStart];
      const TBinding& b = bindings[1 - firstStart];
      a.Start();
      EXPECT_TRUE(a.Draws());
      b.Start();
      EXPECT_EQ(GdiplusStartupCount(), baseline + 2);
      EXPECT_TRUE(a.Draws());
      EXPECT_TRUE(b.Draws());
      const TBinding& stoppedFirst = bindings[firstStop];
      const TBinding& remaining = bindings[1 - firstStop];
      stoppedFirst.Stop();
      EXPECT_EQ(GdiplusStartupCount(), baseline + 1);
      EXPECT_TRUE(remaining.Draws()) << remaining.Name << " after " << stoppedFirst.Name << " stopped";
      remaining.Stop();
      EXPECT_EQ(GdiplusStartupCount(), baseline);
      // No shutdown of the library while the program (and Qt) runs.
      EXPECT_TRUE(GdiplusLibraryStarted());
    }
  // A wrapper made while this binding is stopped still works: the library
  // stays up and the wrapper starts GDI+ once more if it were down.
  EXPECT_TRUE(StaticDraws());
  StartStatic();
  EXPECT_TRUE(KitGDIP::Initialized());
  EXPECT_NE(KitGDIP::gdiplusToken, 0u);
}

// A stand-in start-up handing out a notification hook, for old systems.
std::vector<std::string> calls;
ULONG_PTR unhookTokenSeen = 0, shutdownTokenSeen = 0;
Status FakeHook(ULONG_PTR* token) {
  calls.push_back("hook");
  *token = 77;
  return Ok;
}
void FakeUnhook(ULONG_PTR token) {
  calls.push_back("unhook");
  unhookTokenSeen = token;
}

TEST(KitGDIPStartup, TheNotificationHookIsUsedOnlyOnSystemsBeforeVersionSix) {
  KitGDIP::Finalization();
  const auto savedVersion = KitGDIP::OSMajorVersion;
  const auto savedStartup = KitGDIP::StartupFunction;
  const auto savedShutdown = KitGDIP::ShutdownFunction;
  KitGDIP::StartupFunction = [](ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output) {
    calls.push_back("startup");
    EXPECT_EQ(input->GdiplusVersion, 1u);
    EXPECT_EQ(input->DebugEventCallback, nullptr);
    EXPECT_TRUE(input->SuppressBackgroundThread);
    EXPECT_FALSE(input->SuppressExternalCodecs);
    EXPECT_EQ(output->NotificationHook, nullptr) << "cleared before the call";
    output->NotificationHook = reinterpret_cast<void*>(&FakeHook);
    output->NotificationUnhook = reinterpret_cast<void*>(&FakeUnhook);
    *token = 42;
    return Ok;
  };
  KitGDIP::ShutdownFunction = [](ULONG_PTR token) {
    calls.push_back("shutdown");
    shutdownTokenSeen = token;
  };
  for (int version : {5, 10}) {
    SCOPED_TRACE(version);
    calls.clear();
    KitGDIP::OSMajorVersion = [version] { return version; };
    EXPECT_EQ(KitGDIP::IsVistaOrLater(), version >= 6);
    KitGDIP::Initialization();
    KitGDIP::Finalization();
    if (version == 5) {
      EXPECT_EQ(calls, (std::vector<std::string>{"startup", "hook", "unhook", "shutdown"}));
      EXPECT_EQ(unhookTokenSeen, 77u) << "the hook token goes to the unhook";
    } else {
      EXPECT_EQ(calls, (std::vector<std::string>{"startup", "shutdown"}));
    }
    EXPECT_EQ(shutdownTokenSeen, 42u) << "the start-up token goes to the shutdown";
  }
  // Inside a loaded library the finalisation gives nothing back.
  calls.clear();
  KitGDIP::ModuleIsLibrary = true;
  KitGDIP::Initialization();
  KitGDIP::Finalization();
  KitGDIP::ModuleIsLibrary = false;
  EXPECT_EQ(calls, (std::vector<std::string>{"startup"}));
  KitGDIP::OSMajorVersion = savedVersion;
  KitGDIP::StartupFunction = savedStartup;
  KitGDIP::ShutdownFunction = savedShutdown;
  KitGDIP::Initialization();
  EXPECT_TRUE(KitGDIP::Initialized());
}

}  // namespace
