// Image lists: adding with masks, mask colours and icons, drawing enabled
// and disabled, index checks and notifications.

#include <gtest/gtest.h>

#include "platform/vcl/ImgList.h"
#include "tests/platform/vcl/VclTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace vcltest;
using testsupport::MessageOf;

namespace {
// Three 4 x 4 images side by side: red, green and blue, each with a white
// centre of 2 x 2 pixels.
std::unique_ptr<TBitmap> Strip() {
  auto b = FilledBitmap(12, 4, clRed);
  b->Canvas()->Brush()->SetColor(clLime);
  b->Canvas()->FillRect(Rect(4, 0, 8, 4));
  b->Canvas()->Brush()->SetColor(clBlue);
  b->Canvas()->FillRect(Rect(8, 0, 12, 4));
  b->Canvas()->Brush()->SetColor(clWhite);
  for (int i = 0; i < 3; ++i) b->Canvas()->FillRect(Rect(4 * i + 1, 1, 4 * i + 3, 3));
  return b;
}

QImage DrawIndex(TCustomImageList& list, int index, bool enabled = true, TColor background = clYellow) {
  auto target = FilledBitmap(list.Width(), list.Height(), background);
  list.Draw(target->Canvas(), 0, 0, index, enabled);
  return target->ToImage();
}
}  // namespace

TEST(ImageList, AddSplitsTheBitmapAndRespectsTheMask) {
  TImageList list(nullptr, 4, 4);
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  auto strip = Strip();
  // The mask: white (transparent) in the centres.
  auto mask = FilledBitmap(12, 4, clBlack);
  mask->Canvas()->Brush()->SetColor(clWhite);
  for (int i = 0; i < 3; ++i) mask->Canvas()->FillRect(Rect(4 * i + 1, 1, 4 * i + 3, 3));
  EXPECT_EQ(list.Add(strip.get(), mask.get()), 0);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(changes, 1);
  const TColor colours[] = {clRed, clLime, clBlue};
  for (int i = 0; i < 3; ++i) {
    const QImage img = DrawIndex(list, i);
    EXPECT_EQ(Px(img, 0, 0), colours[i]) << i;
    EXPECT_EQ(Px(img, 1, 1), clYellow) << i;  // masked: the destination stays
    EXPECT_EQ(Count(img, clYellow), 4);
  }
  // Without a mask everything is drawn.
  EXPECT_EQ(list.Add(strip.get(), nullptr), 3);
  EXPECT_EQ(Px(DrawIndex(list, 3), 1, 1), clWhite);
  // Masks switched off: masked pixels show their colour.
  list.SetMasked(false);
  EXPECT_EQ(Px(DrawIndex(list, 0), 1, 1), clWhite);
  list.SetMasked(true);

  auto narrow = FilledBitmap(3, 4, clRed);
  EXPECT_EQ(list.Add(narrow.get(), nullptr), -1);
  EXPECT_EQ(list.Add(nullptr, nullptr), -1);
  EXPECT_EQ(list.Count(), 6);
}

TEST(ImageList, MaskColoursIconsAndGreyedImages) {
  TImageList list(nullptr, 4, 4);
  auto strip = Strip();
  EXPECT_EQ(list.AddMasked(strip.get(), clWhite), 0);
  EXPECT_EQ(list.Count(), 3);
  QImage img = DrawIndex(list, 1);
  EXPECT_EQ(Px(img, 2, 2), clYellow);
  EXPECT_EQ(Px(img, 0, 3), clLime);
  // clDefault: the bottom-left pixel is the mask colour.
  auto corner = FilledBitmap(4, 4, clNavy);
  corner->Canvas()->SetPixels(0, 0, clRed);
  EXPECT_EQ(list.AddMasked(corner.get(), clDefault), 3);
  img = DrawIndex(list, 3);
  EXPECT_EQ(Count(img, clYellow), 15);
  EXPECT_EQ(Px(img, 0, 0), clRed);

  // Disabled: light grey of the same shape.
  const QImage enabled = DrawIndex(list, 0, true);
  const QImage disabled = DrawIndex(list, 0, false);
  EXPECT_NE(enabled, disabled);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const QRgb p = disabled.pixel(x, y);
      if (Px(enabled, x, y) == clYellow) {
        EXPECT_EQ(Px(disabled, x, y), clYellow);
      } else {
        EXPECT_EQ(qRed(p), qGreen(p));
        EXPECT_EQ(qGreen(p), qBlue(p));
        EXPECT_GE(qRed(p), 128);
      }
    }

  QImage icon(8, 8, QImage::Format_ARGB32);
  icon.fill(qRgb(0, 0, 255));
  icon.setPixel(0, 0, 0);
  TIcon ico;
  auto s = StreamOf(MakeIco({icon}));
  ico.SetSize(8, 8);
  ico.LoadFromStream(s.get());
  EXPECT_EQ(list.AddIcon(&ico), 4);
  img = DrawIndex(list, 4);
  EXPECT_EQ(Px(img, 3, 3), clBlue);  // scaled to the list's size
  TIcon none;
  EXPECT_EQ(list.AddIcon(&none), -1);

  TBitmap copy;
  EXPECT_TRUE(list.GetBitmap(1, &copy));
  EXPECT_EQ(copy.Width(), 4);
  EXPECT_EQ(Px(copy.ToImage(), 0, 0), clLime);
  EXPECT_FALSE(list.GetBitmap(99, &copy));
}

TEST(ImageList, IndexesSizesAndStyles) {
  TImageList list(nullptr);
  EXPECT_EQ(list.Width(), 16);
  EXPECT_EQ(list.Height(), 16);
  list.SetSize(4, 4);
  auto strip = Strip();
  list.Add(strip.get(), nullptr);
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  for (int bad : {-1, 3, 10}) {
    EXPECT_EQ(MessageOf([&] { list.Delete(bad); }), "EInvalidOperation: Invalid ImageList Index") << bad;
    EXPECT_EQ(MessageOf([&] { list.Replace(bad, strip.get(), nullptr); }), "EInvalidOperation: Invalid ImageList Index");
  }
  EXPECT_EQ(MessageOf([&] { list.Insert(4, strip.get(), nullptr); }), "EInvalidOperation: Invalid ImageList Index");
  EXPECT_EQ(changes, 0);
  // Drawing out of range does nothing.
  EXPECT_EQ(Count(DrawIndex(list, 7), clYellow), 16);

  list.Move(0, 2);
  EXPECT_EQ(Px(DrawIndex(list, 2), 0, 0), clRed);
  EXPECT_EQ(Px(DrawIndex(list, 0), 0, 0), clLime);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(Px(DrawIndex(list, 0), 0, 0), clBlue);
  list.Insert(0, strip.get(), nullptr);  // the first image of the strip
  EXPECT_EQ(Px(DrawIndex(list, 0), 0, 0), clRed);
  auto blue = FilledBitmap(4, 4, clBlue);
  list.ReplaceMasked(0, blue.get(), clNone);
  EXPECT_EQ(Px(DrawIndex(list, 0), 2, 2), clBlue);
  EXPECT_EQ(changes, 4);

  // Selected and focused images blend the highlight.
  list.SetBlendColor(clWhite);
  auto target = FilledBitmap(4, 4, clYellow);
  list.Draw(target->Canvas(), 0, 0, 0, dsSelected, itImage);
  const QRgb selected = target->ToImage().pixel(0, 0);
  EXPECT_GT(qRed(selected), 100);
  EXPECT_EQ(qBlue(selected), 255);
  // The mask image: black where the image shows.
  list.Draw(target->Canvas(), 0, 0, 0, dsNormal, itMask);
  EXPECT_EQ(Px(target->ToImage(), 2, 2), clBlack);
  // A background colour under the images.
  auto corner = FilledBitmap(4, 4, clNavy);
  corner->Canvas()->SetPixels(1, 1, clRed);
  list.AddMasked(corner.get(), clNavy);
  list.SetBkColor(clAqua);
  EXPECT_EQ(Px(DrawIndex(list, list.Count() - 1), 0, 0), clAqua);

  changes = 0;
  list.SetSize(8, 8);  // a new size empties the list
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(changes, 1);
  list.SetSize(8, 8);
  list.Clear();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(MessageOf([&] { list.SetSize(70000, 8); }), "EInvalidOperation: Invalid image size");

  TComponent owner(nullptr);
  auto* owned = new TImageList(&owner);
  EXPECT_EQ(owner.ComponentCount(), 1);
  owned->Assign(&list);
  EXPECT_EQ(owned->Width(), 8);
  EXPECT_EQ(owned->BkColor(), clAqua);
  EXPECT_EQ(GetPropValue(owned, "Masked").toBool(), true);
  EXPECT_EQ(ClassInfo<TImageList>()->PropCount(), ClassInfo<TComponent>()->PropCount() + 8);
}
