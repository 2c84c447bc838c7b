// The gradient fill: the rectangle left after the shadow, the parts of the
// body, rounding, pictures, glow and focus by pixel probes, and the INI,
// stream, clipboard and hex forms.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <memory>

#include "gdiplus/GDIPFill.h"
#include "platform/rtl/IniFiles.h"
#include "platform/win32/Clipboard.h"
#include "tests/gdiplus/GdipFixtures.h"
#include "tests/support/TestSupport.h"

using namespace KitGDIP;
using namespace gdipfixtures;

namespace {

bool SameRect(const TGPRectF& a, const TGPRectF& b) {
  return a.X == b.X && a.Y == b.Y && a.Width == b.Width && a.Height == b.Height;
}

TEST(GDIPFill, NewFillsHaveTheDocumentedValues) {
  TGDIPFill fill;
  EXPECT_EQ(fill.Color(), TColor(0xC0C0C0));
  EXPECT_EQ(fill.ColorTo(), TColor(0x808080));
  EXPECT_EQ(fill.ColorMirror(), clNone);
  EXPECT_EQ(fill.GradientType(), gtVertical);
  EXPECT_EQ(fill.GradientMirrorType(), gtSolid);
  EXPECT_EQ(fill.BorderColor(), clNone);
  EXPECT_EQ(fill.BorderWidth(), 1);
  EXPECT_EQ(fill.RoundingType(), rtBoth);
  EXPECT_EQ(fill.ShadowColor(), TColor(0x808080));
  EXPECT_EQ(fill.PictureWidth(), 50);
  EXPECT_EQ(fill.BackGroundPictureMode(), pmOutsideFill);
  EXPECT_EQ(fill.GlowGradientColor(), TColor(0xFFFFFF));
  EXPECT_TRUE(fill.Picture()->Empty());
}

TEST(GDIPFill, ChangesAreSignalledUnlessAnUpdateIsOpen) {
  TGDIPFill fill;
  int changes = 0;
  fill.OnChange = [&](TObject*) { ++changes; };
  fill.SetColor(clRed);
  fill.SetColor(clRed);
  EXPECT_EQ(changes, 1) << "an equal value changes nothing";
  fill.BeginUpdate();
  fill.SetRounding(4);
  fill.SetGlow(gmRadial);
  fill.EndUpdate();
  EXPECT_EQ(changes, 1) << "EndUpdate fires nothing";
  TBytesStream png(Png(Quadrants(4, 4)));
  fill.Picture()->LoadFromStream(&png);
  EXPECT_EQ(changes, 2) << "a change inside a picture";
  TGDIPFill other;
  other.SetAngle(33);
  other.SetFocus(true);
  fill.Assign(&other);
  EXPECT_EQ(fill.Angle(), 33);
  EXPECT_EQ(fill.Color(), TColor(0xC0C0C0));
  EXPECT_TRUE(fill.Picture()->Empty());
  EXPECT_FALSE(fill.Focus()) << "Focus is not copied";
  EXPECT_EQ(changes, 3);
}

TEST(GDIPFill, TheShadowTakesItsShareOfTheRectangle) {
  const TGPRectF r{10, 10, 60, 30};
  const struct {
    TShadowType Type;
    TGPRectF Left;
  } cases[] = {{stSurround, {14, 14, 52, 22}}, {stRightBottom, {10, 10, 56, 26}}, {stBottom, {10, 10, 60, 26}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.Type));
    TPargbSurface s(80, 50);
    TGDIPFill fill;
    fill.SetShadowOffset(4);
    fill.SetShadowType(c.Type);
    fill.SetShadowColor(clBlack);
    const TGPRectF left = fill.Fill(&s.graphics, r);
    EXPECT_TRUE(SameRect(left, c.Left)) << left.X << "," << left.Y << " " << left.Width << "x" << left.Height;
  }
  TPargbSurface s(80, 50);
  TGDIPFill none;
  none.SetShadowOffset(4);
  none.SetShadowColor(clNone);
  EXPECT_TRUE(SameRect(none.Fill(&s.graphics, r), r)) << "no shadow without a colour";
}

TEST(GDIPFill, AOneHighRectangleIsALine) {
  TPargbSurface s(40, 10);
  TGDIPFill fill;
  fill.SetBorderColor(clRed);
  fill.SetBorderWidth(1);
  fill.Fill(&s.graphics, TGPRectF{5, 5, 30, 1});
  const QImage image = s.Image();
  int inked = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 40; ++x)
      if (ColorAt(image, x, y).alpha() > 0) {
        ++inked;
        EXPECT_GT(ColorAt(image, x, y).red(), ColorAt(image, x, y).blue()) << "only the red line";
      }
  EXPECT_GT(inked, 20);
  EXPECT_LT(inked, 90);
}

TEST(GDIPFill, MirrorColoursSplitTheBodyIntoTwoOverlappingParts) {
  TPargbSurface single(40, 40);
  TGDIPFill plain;
  plain.SetColor(clRed);
  plain.SetColorTo(clRed);
  plain.SetGradientMirrorType(gtSolid);  // no mirror colour: one part
  plain.Fill(&single.graphics, TGPRectF{0, 0, 40, 40});
  EXPECT_EQ(single.At(20, 35), QColor(255, 0, 0));

  TPargbSurface split(40, 40);
  TGDIPFill mirrored;
  mirrored.SetColor(clRed);
  mirrored.SetColorTo(clRed);
  mirrored.SetGradientType(gtSolid);
  mirrored.SetColorMirror(clBlue);
  mirrored.SetColorMirrorTo(clBlue);
  mirrored.Fill(&split.graphics, TGPRectF{0, 0, 40, 40});
  // Top part 0..21, bottom part 19..40: the bottom part wins the overlap.
  EXPECT_EQ(split.At(20, 17), QColor(255, 0, 0));
  EXPECT_EQ(split.At(20, 19), QColor(0, 0, 255));
  EXPECT_EQ(split.At(20, 35), QColor(0, 0, 255));
  split.Image().save(PictureFolder() + "/fill-mirror.png");
}

TEST(GDIPFill, MissingColoursDropOrFlattenTheBody) {
  TPargbSurface none(20, 20);
  TGDIPFill noBody;
  noBody.SetColor(clNone);
  noBody.Fill(&none.graphics, TGPRectF{0, 0, 20, 20});
  EXPECT_EQ(none.At(10, 10).alpha(), 0);
  TPargbSurface solid(20, 20);
  TGDIPFill flat;
  flat.SetColor(clGreen);
  flat.SetColorTo(clNone);
  flat.Fill(&solid.graphics, TGPRectF{0, 0, 20, 20});
  EXPECT_EQ(solid.At(10, 1), solid.At(10, 18)) << "solid, not a gradient";
  EXPECT_EQ(solid.At(10, 10), QColor(0, 128, 0));
}

TEST(GDIPFill, RoundingZeroKeepsSquareCornersAndRoundingCutsThem) {
  for (int rounding : {0, 10}) {
    SCOPED_TRACE(rounding);
    TPargbSurface s(40, 40);
    TGDIPFill fill;
    fill.SetGradientType(gtSolid);
    fill.SetColor(clBlue);
    fill.SetRounding(rounding);
    fill.SetRoundingType(rtBoth);
    fill.Fill(&s.graphics, TGPRectF{0, 0, 40, 40});
    EXPECT_EQ(s.At(0, 0).alpha(), rounding == 0 ? 255 : 0);
    EXPECT_EQ(s.At(39, 39).alpha(), rounding == 0 ? 255 : 0);
    EXPECT_EQ(s.At(20, 20), QColor(0, 0, 255));
    if (rounding == 0) {
      // No anti-aliasing: every pixel is fully covered or not at all.
      for (int x = 0; x < 40; ++x) EXPECT_EQ(s.At(x, 0).alpha(), 255);
    }
  }
  // Only the top corners.
  TPargbSurface top(40, 40);
  TGDIPFill fill;
  fill.SetGradientType(gtSolid);
  fill.SetRounding(10);
  fill.SetRoundingType(rtTop);
  fill.Fill(&top.graphics, TGPRectF{0, 0, 40, 40});
  EXPECT_EQ(top.At(0, 0).alpha(), 0);
  EXPECT_EQ(top.At(0, 39).alpha(), 255);
}

TEST(GDIPFill, BackgroundPicturesNeedATextureBody) {
  QImage green(4, 4, QImage::Format_ARGB32);
  green.fill(QColor(0, 255, 0));
  for (TKitGradientType kind : {gtSolid, gtTexture}) {
    SCOPED_TRACE(int(kind));
    TPargbSurface s(40, 40);
    TGDIPFill fill;
    fill.SetGradientType(kind);
    fill.SetColor(clRed);
    fill.SetColorTo(clRed);
    TBytesStream bytes(Png(green));
    fill.BackGroundPicture()->LoadFromStream(&bytes);
    fill.SetBackGroundPicturePosition(ppCenterCenter);
    fill.Fill(&s.graphics, TGPRectF{0, 0, 40, 40});
    EXPECT_EQ(s.At(20, 20), kind == gtTexture ? QColor(0, 255, 0) : QColor(255, 0, 0));
    EXPECT_NE(s.At(2, 2), QColor(0, 255, 0)) << "only the picture's own size";
  }
  // Tiled: the body itself is a texture of the picture.
  TPargbSurface tiled(40, 40);
  TGDIPFill fill;
  fill.SetGradientType(gtTexture);
  TBytesStream bytes(Png(Quadrants(4, 4)));
  fill.BackGroundPicture()->LoadFromStream(&bytes);
  fill.SetBackGroundPicturePosition(ppTiled);
  fill.Fill(&tiled.graphics, TGPRectF{0, 0, 40, 40});
  tiled.Image().save(PictureFolder() + "/fill-tiled.png");
  EXPECT_EQ(tiled.At(1, 1), QColor(255, 0, 0));
  EXPECT_EQ(tiled.At(37, 37), QColor(255, 0, 0));
  EXPECT_EQ(tiled.At(38, 38), QColor(255, 255, 255));
}

TEST(GDIPFill, PicturesArePlacedByPositionAndAspect) {
  double w = 0, h = 0;
  FitAspectSize(100, 50, 20, 20, pmStretch, w, h);
  EXPECT_EQ(w, 50);
  EXPECT_EQ(h, 50);
  FitAspectSize(100, 50, 20, 20, pmNormal, w, h);
  EXPECT_EQ(w, 20) << "a smaller picture keeps its size";
  FitAspectSize(50, 100, 40, 20, pmStretch, w, h);
  EXPECT_EQ(w, 50);
  EXPECT_EQ(h, 25);
  FitAspectSize(0, 100, 40, 20, pmStretch, w, h);
  EXPECT_EQ(w, 0);

  QImage blue(10, 10, QImage::Format_ARGB32);
  blue.fill(QColor(0, 0, 255));
  const struct {
    TFillPicturePosition Position;
    int X, Y;  // a point of the picture
  } cases[] = {{ppTopLeft, 12, 12},      {ppTopRight, 75, 12},     {ppBottomLeft, 12, 45},
               {ppBottomRight, 75, 45},  {ppCenterCenter, 45, 30}, {ppTopCenter, 45, 12},
               {ppCenterLeft, 12, 30}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.Position));
    TPargbSurface s(100, 60);
    TGDIPFill fill;
    fill.SetColor(clNone);
    TBytesStream bytes(Png(blue));
    fill.Picture()->LoadFromStream(&bytes);
    fill.SetPicturePosition(c.Position);
    fill.SetPictureLeft(2);
    fill.SetPictureTop(2);
    fill.Fill(&s.graphics, TGPRectF{10, 10, 70, 40});
    EXPECT_EQ(s.At(c.X, c.Y), QColor(0, 0, 255));
    EXPECT_EQ(s.At(50, 2).alpha(), 0);
  }
  // Stretched with the aspect kept: 40 high, centred.
  TPargbSurface s(100, 60);
  TGDIPFill fill;
  fill.SetColor(clNone);
  TBytesStream bytes(Png(blue));
  fill.Picture()->LoadFromStream(&bytes);
  fill.SetPicturePosition(ppStretched);
  fill.SetPictureAspectRatio(true);
  fill.Fill(&s.graphics, TGPRectF{10, 10, 70, 40});
  EXPECT_EQ(s.At(45, 30), QColor(0, 0, 255));
  EXPECT_EQ(s.At(15, 30).alpha(), 0) << "not stretched to the full width";
  // Custom: at its own place and size.
  TPargbSurface custom(100, 60);
  fill.SetPicturePosition(ppCustom);
  fill.SetPictureSize(psCustom);
  fill.SetPictureWidth(5);
  fill.SetPictureHeight(5);
  fill.SetPictureLeft(80);
  fill.SetPictureTop(50);
  fill.Fill(&custom.graphics, TGPRectF{10, 10, 70, 40});
  EXPECT_EQ(custom.At(82, 52), QColor(0, 0, 255));
  EXPECT_EQ(custom.At(78, 52).alpha(), 0);
}

TEST(GDIPFill, GlowAndFocusPaintInsideTheRectangle) {
  TPargbSurface s(80, 40);
  TGDIPFill fill;
  fill.SetGradientType(gtSolid);
  fill.SetColor(clBlack);
  fill.SetGlow(gmGradient);
  fill.SetGlowGradientColor(clWhite);
  fill.Fill(&s.graphics, TGPRectF{0, 0, 80, 40});
  EXPECT_GT(s.At(40, 2).red(), 60) << "the bright top band";
  EXPECT_LT(s.At(40, 20).red(), 20) << "the middle stays dark";
  EXPECT_GT(s.At(40, 37).red(), 60) << "the bottom band";

  TPargbSurface f(40, 40);
  TGDIPFill focus;
  focus.SetColor(clNone);
  focus.SetBorderWidth(5);
  focus.SetRounding(2);  // the focus radius would be -3: held to 0
  focus.SetFocus(true);
  focus.SetFocusColor(clRed);
  focus.Fill(&f.graphics, TGPRectF{0, 0, 40, 40});
  EXPECT_TRUE(SameRect(focus.FocusRect(), TGPRectF{5, 5, 30, 30}));
  int red = 0;
  for (int x = 5; x < 35; ++x)
    if (f.At(x, 5).red() > 128) ++red;
  EXPECT_GT(red, 8);
  EXPECT_LT(red, 25) << "dotted";
}

// Every kind of body with a shadow, a glow, rounded corners and a border,
// painted for a look.
TEST(GDIPFill, EveryKindPaintsWithShadowGlowAndRoundedCorners) {
  const TKitGradientType kinds[] = {gtSolid,  gtRadial, gtVertical, gtHorizontal, gtForwardDiagonal,
                                    gtBackwardDiagonal, gtAngle, gtHatch, gtPath, gtTexture};
  TPargbSurface sheet(10 * 70, 3 * 50);
  sheet.graphics.Clear(0xFFFFFFFF);
  int column = 0;
  for (TKitGradientType kind : kinds) {
    for (int row = 0; row < 3; ++row) {
      SCOPED_TRACE(int(kind) * 10 + row);
      TGDIPFill fill;
      fill.SetGradientType(kind);
      fill.SetColor(TColor(0x0060FF));
      fill.SetColorTo(TColor(0xFF8000));
      fill.SetHatchStyle(HatchStyleDiagonalCross);
      fill.SetAngle(30);
      fill.SetRounding(8);
      fill.SetBorderColor(clBlack);
      fill.SetShadowOffset(4);
      fill.SetShadowColor(TColor(0x404040));
      fill.SetShadowType(TShadowType(row));
      if (row == 2) {
        fill.SetColorMirror(TColor(0x004080));
        fill.SetColorMirrorTo(TColor(0x00C0FF));
        fill.SetGradientMirrorType(kind == gtRadial ? gtRadial : gtVertical);
      }
      fill.SetGlow(row == 1 ? gmRadialGradient : gmGradient);
      TBytesStream bytes(Png(Quadrants(6, 6)));
      fill.BackGroundPicture()->LoadFromStream(&bytes);
      fill.SetBackGroundPicturePosition(ppTiled);
      const TGPRectF cell{REAL(column * 70 + 5), REAL(row * 50 + 5), 60, 40};
      const TGPRectF body = fill.Fill(&sheet.graphics, cell);
      const QImage image = sheet.Image();
      int painted = 0;
      for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
          if (ColorAt(image, int(body.X + body.Width / 2) + dx, int(body.Y + body.Height / 2) + dy) !=
              QColor(255, 255, 255))
            ++painted;
      if (kind != gtPath) {
        EXPECT_GT(painted, 10) << "a body is painted";
      }
      EXPECT_EQ(ColorAt(image, int(cell.X) + 1, int(cell.Y) + 1).alpha(), 255);
    }
    ++column;
  }
  sheet.Image().save(PictureFolder() + "/fill-kinds.png");
}

bool SameFill(TGDIPFill& a, TGDIPFill& b) {
  TMemoryStream sa, sb;
  SaveFillToStream(&sa, &a);
  SaveFillToStream(&sb, &b);
  return sa.Size() == sb.Size() && std::memcmp(sa.Memory(), sb.Memory(), size_t(sa.Size())) == 0;
}

void Customise(TGDIPFill& fill) {
  fill.SetColor(TColor(0x123456));
  fill.SetColorTo(clNone);
  fill.SetColorMirror(clRed);
  fill.SetGradientType(gtHatch);
  fill.SetGradientMirrorType(gtAngle);
  fill.SetHatchStyle(HatchStyleWeave);
  fill.SetPictureSize(psCustom);
  fill.SetPictureWidth(17);
  fill.SetOpacityTo(99);
  fill.SetBorderColor(clSystemColor | COLOR_BTNFACE);
  fill.SetRounding(6);
  fill.SetRoundingType(rtLeft);
  fill.SetShadowOffset(3);
  fill.SetAngle(-45);
  fill.SetGlow(gmRadial);
  TBytesStream a(Png(Quadrants(6, 4)));
  fill.Picture()->LoadFromStream(&a);
  TBytesStream b(Gif(TGifOptions{}));
  fill.BackGroundPicture()->LoadFromStream(&b);
}

QImage Painted(TGDIPFill& fill) {
  TPargbSurface s(60, 40);
  fill.Fill(&s.graphics, TGPRectF{2, 2, 56, 36});
  return s.Image();
}

TEST(GDIPFillForms, TheStreamFormRoundTrips) {
  TGDIPFill fill;
  Customise(fill);
  TMemoryStream stream;
  SaveFillToStream(&stream, &fill);
  stream.SetPosition(0);
  TGDIPFill back;
  LoadFillFromStream(&stream, &back);
  EXPECT_TRUE(SameFill(fill, back));
  EXPECT_EQ(back.PictureWidth(), 17);
  EXPECT_EQ(back.Picture()->Datastream().Bytes(), fill.Picture()->Datastream().Bytes());
  EXPECT_EQ(Painted(back), Painted(fill));
  EXPECT_NE(testsupport::MessageOf([&] { SaveFillToStream(&stream, nullptr); }), QStringLiteral("no exception"));
}

TEST(GDIPFillForms, TheIniSectionRoundTripsAndKeepsPictureSizeApart) {
  testsupport::TempDir dir;
  const QString file = dir.File(QStringLiteral("fill.ini"));
  TGDIPFill fill;
  Customise(fill);
  fill.SaveToFile(file, QStringLiteral("Fill"));
  TMemIniFile ini(file);
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Fill"), QStringLiteral("PictureSize"), -1), int(psCustom));
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Fill"), QStringLiteral("PictureDataSize"), -1),
            ini.ReadString(QStringLiteral("Fill"), QStringLiteral("Picture"), QString()).size());
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Fill"), QStringLiteral("BorderColor"), 0),
            int(clSystemColor | COLOR_BTNFACE)) << "a signed decimal";
  QStringList keys;
  ini.ReadSection(QStringLiteral("Fill"), keys);
  EXPECT_EQ(keys.first(), QStringLiteral("Color"));
  EXPECT_EQ(keys.indexOf(QStringLiteral("GlowRadialColor")), 32);
  TGDIPFill back;
  back.LoadFromFile(file, QStringLiteral("Fill"));
  EXPECT_EQ(back.PictureSize(), psCustom);
  EXPECT_EQ(back.Picture()->Datastream().Bytes(), fill.Picture()->Datastream().Bytes());
  EXPECT_EQ(back.BackGroundPicture()->Datastream().Bytes(), fill.BackGroundPicture()->Datastream().Bytes());
  EXPECT_EQ(back.Angle(), -45);
  EXPECT_EQ(back.ShadowOffset(), 3);
  EXPECT_EQ(Painted(back), Painted(fill));

  // A section of the old layout: "PictureSize" ends up holding the text's
  // length.
  TMemIniFile old(dir.File(QStringLiteral("old.ini")));
  const QString hex = ini.ReadString(QStringLiteral("Fill"), QStringLiteral("Picture"), QString());
  old.WriteString(QStringLiteral("Fill"), QStringLiteral("Picture"), hex);
  old.WriteInteger(QStringLiteral("Fill"), QStringLiteral("PictureSize"), int(hex.size()));
  TGDIPFill fromOld;
  fromOld.LoadFromFile(&old, QStringLiteral("Fill"));
  EXPECT_EQ(fromOld.PictureSize(), psOriginal) << "the length is not taken for the size mode";
  EXPECT_EQ(fromOld.Picture()->Datastream().Bytes(), fill.Picture()->Datastream().Bytes());

  // A stored length beyond the text reads the text as it is; a shorter one
  // takes only that much.
  TMemIniFile lengths(dir.File(QStringLiteral("lengths.ini")));
  lengths.WriteString(QStringLiteral("Fill"), QStringLiteral("Picture"), hex);
  lengths.WriteInteger(QStringLiteral("Fill"), QStringLiteral("PictureDataSize"), 999999);
  TGDIPFill overlong;
  overlong.LoadFromFile(&lengths, QStringLiteral("Fill"));
  EXPECT_EQ(overlong.Picture()->Datastream().Bytes(), fill.Picture()->Datastream().Bytes());
  lengths.WriteInteger(QStringLiteral("Fill"), QStringLiteral("PictureDataSize"), 16);
  TGDIPFill shorter;
  shorter.LoadFromFile(&lengths, QStringLiteral("Fill"));
  EXPECT_EQ(shorter.Picture()->Datastream().Size(), 8) << "the first 16 characters";
}

TEST(GDIPFillForms, TheClipboardCarriesAFill) {
  TGDIPFill fill;
  Customise(fill);
  fill.SaveToClipBoard();
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(mime, nullptr);
  EXPECT_EQ(ClipboardFormatMimeType(CF_GDIPFILL).left(26), QStringLiteral("application/x-tallowfinch-"));
  EXPECT_TRUE(mime->hasFormat(ClipboardFormatMimeType(CF_GDIPFILL)));
  TGDIPFill pasted;
  pasted.LoadFromClipBoard();
  EXPECT_TRUE(SameFill(fill, pasted));
  EXPECT_EQ(Painted(pasted), Painted(fill)) << "paints the same as the fill it was copied from";
  QGuiApplication::clipboard()->clear();
  TGDIPFill untouched;
  untouched.LoadFromClipBoard();
  EXPECT_EQ(untouched.Color(), TColor(0xC0C0C0));
}

TEST(GDIPFillForms, HexText) {
  EXPECT_EQ(HexPairToByte(QStringLiteral("a0")), 160);
  EXPECT_EQ(HexPairToByte(QStringLiteral("FF")), 255);
  EXPECT_EQ(testsupport::MessageOf([] { HexPairToByte(QStringLiteral("G1")); }),
            QStringLiteral("EConvertError: No Hex-Number"));
  TBytesStream two(QByteArray("\x00\xAB", 2));
  EXPECT_EQ(StreamToHex(&two), QStringLiteral("00AB"));
  TMemoryStream s;
  HexToStream(QStringLiteral("0aFf1"), &s);
  EXPECT_EQ(s.Size(), 2) << "an odd last character is ignored";
  EXPECT_EQ(static_cast<const uchar*>(s.Memory())[1], 0xFF);
  TMemoryStream partial;
  EXPECT_EQ(testsupport::MessageOf([&] { HexToStream(QStringLiteral("0102zz03"), &partial); }),
            QStringLiteral("EConvertError: No Hex-Number"));
  EXPECT_EQ(partial.Size(), 2) << "the bytes converted so far stay";
}

TEST(GDIPFillForms, RoundRectPathsRoundTheCornersTheyName) {
  const struct {
    TFillRoundingType Type;
    bool TopLeft, TopRight, BottomRight, BottomLeft;
  } cases[] = {{rtNone, false, false, false, false}, {rtTop, true, true, false, false},
               {rtBottom, false, false, true, true}, {rtBoth, true, true, true, true},
               {rtLeft, true, false, false, true},   {rtRight, false, true, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.Type));
    std::unique_ptr<TGPGraphicsPath> path(CreateRoundRectPath(TGPRectF{0, 0, 40, 40}, 10, c.Type));
    TPargbSurface s(40, 40);
    TGPSolidBrush brush(0xFF000000);
    s.graphics.FillPath(&brush, path.get());
    EXPECT_EQ(s.At(0, 0).alpha() == 0, c.TopLeft);
    EXPECT_EQ(s.At(39, 0).alpha() == 0, c.TopRight);
    EXPECT_EQ(s.At(39, 39).alpha() == 0, c.BottomRight);
    EXPECT_EQ(s.At(0, 39).alpha() == 0, c.BottomLeft);
  }
  // A radius beyond half the rectangle is held to it: a circle, not a knot.
  std::unique_ptr<TGPGraphicsPath> big(CreateRoundRectPath(TGPRectF{0, 0, 20, 20}, 500, rtBoth));
  TGPRectF bounds{};
  big->GetBounds(bounds);
  EXPECT_NEAR(bounds.Width, 20, 0.5);
  EXPECT_NEAR(bounds.Height, 20, 0.5);
}

}  // namespace
