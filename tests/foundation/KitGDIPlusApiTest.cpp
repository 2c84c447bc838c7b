// The run-time GDI+ binding: the table bound by name, load and unload, the
// shared start-up, the helpers and the path-data holder.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <set>
#include <string>

#include "foundation/KitGDIPlusApi.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Each test starts and ends with the library unloaded and the binding stopped.
class KitGDIPlusApi : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    ShutdownGdiPlus();
    UnloadGdiPlusLibrary();
    GdiPlusModuleIsLibrary = false;
    GdiPlusLibraryName = GdiplusLibraryFileName;
  }
  static int NullEntries() {
    int count = 0;
    for (int i = 0; i < GdiPlusEntryCount; ++i) count += *GdiPlusEntry(i).Address == nullptr;
    return count;
  }
};

TEST_F(KitGDIPlusApi, TableHoldsEveryFlatFunctionOnce) {
  EXPECT_EQ(GdiPlusEntryCount, 594);
  std::set<std::string> names;
  for (int i = 0; i < GdiPlusEntryCount; ++i) names.insert(GdiPlusEntry(i).Name);
  EXPECT_EQ(names.size(), 594u);
  for (const char* name : {"GdipAlloc", "GdiplusShutdown", "GdipIsOutlineVisiblePathPointI",
                           "GdipPathIterCopyData", "GdipGetRegionScansI", "GdipRotateLineTransform",
                           "GdipSetPenLineCap197819", "GdipSetPenDashCap197819",
                           "GdipGetPenDashCap197819", "GdipGetImageAttributesAdjustedPalette",
                           "GdipEndContainer", "GdipGetMetafileDownLevelRasterizationLimit",
                           "GdipPrivateAddMemoryFont", "GdipMeasureDriverString",
                           "GdipSetStringFormatMeasurableCharacterRanges", "GdipDrawCachedBitmap",
                           "GdipEmfToWmfBits"})
    EXPECT_TRUE(names.count(name)) << name;
  // Start-up notification hooks are not bound.
  EXPECT_FALSE(names.count("GdiplusNotificationHook"));
  EXPECT_THROW(GdiPlusEntry(-1), EListError);
  EXPECT_THROW(GdiPlusEntry(GdiPlusEntryCount), EListError);
}

TEST_F(KitGDIPlusApi, LoadBindsEveryEntryAndUnloadClearsThem) {
  EXPECT_EQ(GdiPlusLibraryHandle, nullptr);
  EXPECT_EQ(NullEntries(), GdiPlusEntryCount);

  LoadGdiPlusLibrary();
  ASSERT_NE(GdiPlusLibraryHandle, nullptr);
  EXPECT_EQ(NullEntries(), 0);
  int fromLibrary = 0;
  for (int i = 0; i < GdiPlusEntryCount; ++i) {
    const TGdiPlusEntry entry = GdiPlusEntry(i);
    EXPECT_EQ(*entry.Address, GdiplusProc(entry.Name)) << entry.Name;
    fromLibrary += *entry.Address == dlsym(GdiPlusLibraryHandle, entry.Name);
  }
  // All but the twelve names libgdiplus lacks, the start-up pair (shared
  // start-up), the seven text calls (under the text lock), the bitmap lock
  // pair, the two point transforms, graphics over device contexts with the
  // lent DC, the eight calls on GDI handles, fonts and warps, widening,
  // region data, containers with rectangles and the page scale, and the
  // generic families and formats with their deletions, icons and resources,
  // and the four image draws that mend Windows metafiles.
  EXPECT_EQ(fromLibrary, 594 - 12 - 2 - 7 - 2 - 2 - 3 - 2 - 8 - 3 - 3 - 7 - 3 - 4);
  EXPECT_EQ(reinterpret_cast<void*>(GdipSetPenLineCap197819),
            dlsym(GdiPlusLibraryHandle, "GdipSetPenLineCap197819"));

  UnloadGdiPlusLibrary();
  EXPECT_EQ(GdiPlusLibraryHandle, nullptr);
  EXPECT_EQ(NullEntries(), GdiPlusEntryCount);
  UnloadGdiPlusLibrary();  // never loaded: nothing changes
  EXPECT_EQ(GdiPlusLibraryHandle, nullptr);
}

TEST_F(KitGDIPlusApi, EntriesTheLibraryLacksAnswerNotImplemented) {
  LoadGdiPlusLibrary();
  BYTE data[4] = {};
  EXPECT_EQ(GdipComment(nullptr, 4, data), NotImplemented);
  IStream* stream = nullptr;
  EXPECT_EQ(GdipCreateStreamOnFile(u"picture.emf", 0, &stream), NotImplemented);
  EXPECT_EQ(GdipEmfToWmfBits(nullptr, sizeof data, data, 8, 0), 0u);
}

TEST_F(KitGDIPlusApi, WithoutTheLibraryEveryEntryIsAStub) {
  GdiPlusLibraryName = "libgdiplus-absent.so.0";
  LoadGdiPlusLibrary();
  EXPECT_EQ(GdiPlusLibraryHandle, nullptr);
  EXPECT_EQ(NullEntries(), 0);
  GpPath* path = nullptr;
  EXPECT_EQ(GdipCreatePath(FillModeAlternate, &path), NotImplemented);
  EXPECT_EQ(path, nullptr);
  EXPECT_EQ(GdipAlloc(16), nullptr);
  const int users = GdiplusStartupCount();
  StartupGdiPlus();  // nothing to start
  EXPECT_EQ(GdiPlusToken, 0u);
  EXPECT_EQ(GdiplusStartupCount(), users);
}

TEST_F(KitGDIPlusApi, StartupSharesTheProcessWideCount) {
  const int users = GdiplusStartupCount();
  StartupGdiPlus();  // not loaded: nothing happens
  EXPECT_EQ(GdiPlusToken, 0u);

  LoadGdiPlusLibrary();
  StartupGdiPlus();
  EXPECT_NE(GdiPlusToken, 0u);
  EXPECT_EQ(GdiPlusStartupInput.GdiplusVersion, 1u);
  EXPECT_EQ(GdiPlusStartupInput.DebugEventCallback, nullptr);
  EXPECT_EQ(GdiPlusStartupInput.SuppressBackgroundThread, FALSE);
  EXPECT_EQ(GdiPlusStartupInput.SuppressExternalCodecs, FALSE);
  EXPECT_EQ(GdiplusStartupCount(), users + 1);
  StartupGdiPlus();  // started once per binding
  EXPECT_EQ(GdiplusStartupCount(), users + 1);

  // The other binding starts on its own and outlives this one.
  GdiplusStartupInput input;
  ULONG_PTR other = 0;
  ASSERT_EQ(GdiplusStartupShared(&other, &input, nullptr), Ok);
  ShutdownGdiPlus();
  EXPECT_EQ(GdiPlusToken, 0u);
  EXPECT_EQ(GdiplusStartupCount(), users + 1);

  GpBitmap* bitmap = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromScan0(6, 6, 0, PixelFormat32bppARGB, nullptr, &bitmap), Ok);
  GpGraphics* graphics = nullptr;
  ASSERT_EQ(GdipGetImageGraphicsContext(bitmap, &graphics), Ok);
  GpSolidFill* brush = nullptr;
  ASSERT_EQ(GdipCreateSolidFill(MakeArgb(255, 0x12, 0x34, 0x56), &brush), Ok);
  EXPECT_EQ(GdipFillRectangle(graphics, brush, 1, 1, 2, 2), Ok);
  ARGB inside = 0, outside = 1;
  EXPECT_EQ(GdipBitmapGetPixel(bitmap, 2, 2, &inside), Ok);
  EXPECT_EQ(GdipBitmapGetPixel(bitmap, 3, 3, &outside), Ok);
  EXPECT_EQ(inside, 0xFF123456u);
  EXPECT_EQ(outside, 0u);
  GdipDeleteBrush(brush);
  GdipDeleteGraphics(graphics);
  GdipDisposeImage(bitmap);

  GdiplusShutdownShared(other);
  EXPECT_EQ(GdiplusStartupCount(), users);
}

TEST_F(KitGDIPlusApi, InsideASharedLibraryGdiPlusIsNeitherStartedNorStopped) {
  GdiPlusModuleIsLibrary = true;
  const int users = GdiplusStartupCount();
  LoadGdiPlusLibrary();
  EXPECT_NE(GdiPlusLibraryHandle, nullptr);
  StartupGdiPlus();
  EXPECT_EQ(GdiPlusToken, 0u);
  EXPECT_EQ(GdiplusStartupCount(), users);
  ShutdownGdiPlus();
  EXPECT_EQ(GdiplusStartupCount(), users);
  UnloadGdiPlusLibrary();
  EXPECT_EQ(NullEntries(), GdiPlusEntryCount);
}

TEST(KitGDIPlusHelpers, MakeArgbPacksAlphaRedGreenBlue) {
  struct Case {
    uint8_t a, r, g, b;
    ARGB expected;
  };
  const Case cases[] = {{255, 0x12, 0x34, 0x56, 0xFF123456u},
                        {0, 0, 0, 0, 0u},
                        {0x80, 0xFF, 0, 0x01, 0x80FF0001u},
                        {0, 0, 0, 0xFF, 0x000000FFu}};
  for (const Case& c : cases) EXPECT_EQ(MakeArgb(c.a, c.r, c.g, c.b), c.expected);
}

TEST(KitGDIPlusHelpers, MakeRectFAndMakePointF) {
  const TGPRectF r = MakeRectF(1, 2, 3, 4);
  EXPECT_EQ(r.X, 1.0f);
  EXPECT_EQ(r.Y, 2.0f);
  EXPECT_EQ(r.Width, 3.0f);
  EXPECT_EQ(r.Height, 4.0f);
  const TGPPointF p = MakePointF(-1.5f, 2.5f);
  EXPECT_EQ(p.X, -1.5f);
  EXPECT_EQ(p.Y, 2.5f);
}

TEST_F(KitGDIPlusApi, PathDataIsFilledInPlaceByTheLibrary) {
  {
    KitGDIPlusClasses::TPathData empty;  // never filled: nothing to free
    EXPECT_EQ(empty.Count, 0);
    EXPECT_EQ(empty.Points, nullptr);
    EXPECT_EQ(empty.Types, nullptr);
  }
  LoadGdiPlusLibrary();
  StartupGdiPlus();
  GpPath* path = nullptr;
  ASSERT_EQ(GdipCreatePath(FillModeAlternate, &path), Ok);
  ASSERT_EQ(GdipAddPathLine(path, 1, 2, 3, 4), Ok);
  INT count = 0;
  ASSERT_EQ(GdipGetPointCount(path, &count), Ok);
  ASSERT_EQ(count, 2);

  KitGDIPlusClasses::TPathData data;
  data.Count = count;
  data.Points = static_cast<PGPPointF>(std::malloc(sizeof(TGPPointF) * size_t(count)));
  data.Types = static_cast<BYTE*>(std::malloc(size_t(count)));
  ASSERT_EQ(GdipGetPathData(path, data.Data()), Ok);
  EXPECT_EQ(data.Count, 2);
  EXPECT_EQ(data.Points[0].X, 1.0f);
  EXPECT_EQ(data.Points[0].Y, 2.0f);
  EXPECT_EQ(data.Points[1].X, 3.0f);
  EXPECT_EQ(data.Points[1].Y, 4.0f);
  EXPECT_EQ(data.Types[0], 0);  // start of a figure
  EXPECT_EQ(data.Types[1], 1);  // line
  GdipDeletePath(path);
}

}  // namespace
