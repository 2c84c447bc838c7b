// Colours, fonts, pens and brushes: conversions, DPI arithmetic, change
// notification, GDI handles and the published properties.

#include <gtest/gtest.h>

#include <functional>

#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Graphics.h"
#include "tests/support/TestSupport.h"

using testsupport::MessageOf;

TEST(Colors, SystemColoursResolveThroughTheCurrentResolver) {
  EXPECT_EQ(ColorToRGB(clRed), clRed);
  EXPECT_EQ(ColorToRGB(clNone), clNone);
  for (TColor c : {clBtnFace, clWindow, clWindowText, clHighlight, clHighlightText, clGrayText, clInfoBk})
    EXPECT_EQ(ColorToRGB(c), TColor(GetSysColor(c & 0xFF))) << c;

  int calls = 0;
  const TSystemColorResolver previous = SetSystemColorResolver([&](TColor c) {
    ++calls;
    return c == clBtnFace ? clFuchsia : TColor(GetSysColor(c & 0xFF));
  });
  EXPECT_EQ(ColorToRGB(clBtnFace), clFuchsia);
  EXPECT_EQ(ColorToRGB(clBlue), clBlue);  // plain colours never reach the resolver
  EXPECT_EQ(calls, 1);
  SetSystemColorResolver(previous);
  EXPECT_EQ(ColorToRGB(clBtnFace), TColor(GetSysColor(COLOR_BTNFACE)));
}

TEST(Colors, NamesAndNumbers) {
  struct Case {
    TColor color;
    const char* text;
  } cases[] = {
      {clRed, "clRed"},           {clBtnFace, "clBtnFace"},       {clNone, "clNone"},
      {clDefault, "clDefault"},   {cl3DDkShadow, "cl3DDkShadow"}, {clGray, "clGray"},
      {0x123456, "$00123456"},    {clWindowText, "clWindowText"}, {clMoneyGreen, "clMoneyGreen"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ColorToString(c.color), QString::fromLatin1(c.text));
    EXPECT_EQ(StringToColor(QString::fromLatin1(c.text)), c.color) << c.text;
  }
  EXPECT_EQ(StringToColor("CLRED"), clRed);
  EXPECT_EQ(StringToColor("$00FF0000"), clBlue);
  EXPECT_EQ(StringToColor("255"), clRed);
  TColor color = 0;
  EXPECT_FALSE(IdentToColor("clNoSuchColour", color));
  EXPECT_TRUE(IdentToColor("clhighlight", color));
  EXPECT_EQ(color, clHighlight);
  EXPECT_TRUE(MessageOf([] { StringToColor("reddish"); }).startsWith("EConvertError: "));

  QStringList names;
  GetColorValues([&](const QString& n) { names << n; });
  EXPECT_EQ(names.first(), "clBlack");
  EXPECT_TRUE(names.contains("clInfoBk"));
  for (const QString& n : names) EXPECT_TRUE(IdentToColor(n, color)) << n.toStdString();
}

TEST(Fonts, HeightAndSizeAt96And120PixelsPerInch) {
  struct Case {
    int ppi, size, height;
  } cases[] = {{96, 8, -11}, {96, 9, -12}, {96, 10, -13}, {96, 12, -16}, {96, 72, -96}, {120, 10, -17}, {144, 9, -18}};
  for (const Case& c : cases) {
    TFont f;
    f.SetPixelsPerInch(c.ppi);
    f.SetSize(c.size);
    EXPECT_EQ(f.Height(), c.height) << c.ppi << " " << c.size;
    EXPECT_EQ(f.Size(), c.size);
  }
  TFont f;
  EXPECT_EQ(f.Height(), -11);
  EXPECT_EQ(f.Size(), 8);
  f.SetHeight(16);  // a cell height reads as a negative size
  EXPECT_EQ(f.Size(), -12);
}

TEST(Fonts, EveryChangeNotifiesOnceAndSameValuesNotAtAll) {
  TFont f;
  int changes = 0;
  f.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &f);
    ++changes;
  };
  const std::vector<std::function<void()>> edits = {
      [&] { f.SetName("Arial"); },        [&] { f.SetHeight(-20); },
      [&] { f.SetSize(14); },             [&] { f.SetStyle({fsBold, fsItalic}); },
      [&] { f.SetColor(clRed); },         [&] { f.SetCharset(ANSI_CHARSET); },
      [&] { f.SetPitch(fpFixed); },       [&] { f.SetOrientation(900); },
      [&] { f.SetQuality(fqClearType); },
  };
  for (const auto& edit : edits) {
    changes = 0;
    edit();
    EXPECT_EQ(changes, 1);
    edit();  // the same value again
    EXPECT_EQ(changes, 1);
  }
  TFont other;
  changes = 0;
  f.Assign(&other);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(f.Name(), other.Name());
  EXPECT_EQ(f.Style(), TFontStyles());
  EXPECT_EQ(f.Color(), clWindowText);

  TFont scaled;
  scaled.SetPixelsPerInch(144);
  other.SetSize(10);
  scaled.Assign(&other);
  EXPECT_EQ(scaled.PixelsPerInch(), 144);
  EXPECT_EQ(scaled.Size(), 10);
  EXPECT_EQ(scaled.Height(), -20);
}

TEST(Fonts, HandleIsRebuiltAfterChangesThatItCarries) {
  TFont f;
  f.SetName("Tahoma");
  HFONT first = f.Handle();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(f.Handle(), first);
  f.SetColor(clBlue);  // not part of the GDI font
  EXPECT_EQ(f.Handle(), first);
  f.SetHeight(-24);
  HFONT second = f.Handle();
  EXPECT_NE(second, nullptr);
  LOGFONTW lf{};
  ASSERT_EQ(GetObjectW(second, sizeof(lf), &lf), int(sizeof(lf)));
  EXPECT_EQ(lf.lfHeight, -24);
  EXPECT_EQ(GetObjectType(first), 0u);  // the old font is gone

  f.SetStyle({fsBold, fsUnderline});
  f.SetOrientation(450);
  ASSERT_EQ(GetObjectW(f.Handle(), sizeof(lf), &lf), int(sizeof(lf)));
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_EQ(lf.lfItalic, 0);
  EXPECT_EQ(lf.lfEscapement, 450);
  EXPECT_EQ(QString::fromUtf16(lf.lfFaceName), "Tahoma");

  // Taking over a handle reads its attributes.
  HFONT adopted = CreateFontW(-30, 0, 0, 0, FW_NORMAL, 1, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"Courier New");
  TFont g;
  int changes = 0;
  g.OnChange = [&](TObject*) { ++changes; };
  g.SetHandle(adopted);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(g.Handle(), adopted);
  EXPECT_EQ(g.Height(), -30);
  EXPECT_EQ(g.Name(), "Courier New");
  EXPECT_EQ(g.Style(), TFontStyles({fsItalic}));
}

TEST(PensAndBrushes, NotificationsDefaultsAndHandles) {
  TPen pen;
  EXPECT_EQ(pen.Color(), clBlack);
  EXPECT_EQ(pen.Width(), 1);
  EXPECT_EQ(pen.Style(), psSolid);
  EXPECT_EQ(pen.Mode(), pmCopy);
  int changes = 0;
  pen.OnChange = [&](TObject*) { ++changes; };
  HPEN h = pen.Handle();
  pen.SetColor(clRed);
  pen.SetWidth(3);
  pen.SetWidth(-2);  // ignored
  pen.SetStyle(psDot);
  pen.SetMode(pmXor);
  pen.SetMode(pmXor);
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(pen.Width(), 3);
  EXPECT_NE(pen.Handle(), nullptr);
  EXPECT_EQ(GetObjectType(h), 0u);
  LOGPEN lp{};
  ASSERT_EQ(GetObjectW(pen.Handle(), sizeof(lp), &lp), int(sizeof(lp)));
  EXPECT_EQ(lp.lopnColor, COLORREF(clRed));
  EXPECT_EQ(lp.lopnWidth.x, 3);
  // As in GDI, wide pens draw solid; a one-pixel pen keeps its dots.
  EXPECT_EQ(lp.lopnStyle & PS_STYLE_MASK, PS_SOLID);
  pen.SetWidth(1);
  ASSERT_EQ(GetObjectW(pen.Handle(), sizeof(lp), &lp), int(sizeof(lp)));
  EXPECT_EQ(lp.lopnStyle & PS_STYLE_MASK, PS_DOT);

  struct ModeCase {
    TPenMode mode;
    int rop2;
  } modes[] = {{pmBlack, R2_BLACK}, {pmWhite, R2_WHITE}, {pmNop, R2_NOP},     {pmNot, R2_NOT},
               {pmCopy, R2_COPYPEN}, {pmXor, R2_XORPEN}, {pmNotXor, R2_NOTXORPEN}, {pmMask, R2_MASKPEN},
               {pmMerge, R2_MERGEPEN}, {pmMaskPenNot, R2_MASKPENNOT}, {pmNotMerge, R2_NOTMERGEPEN}};
  for (const ModeCase& m : modes) EXPECT_EQ(PenModeToRop2(m.mode), m.rop2) << m.mode;

  TBrush brush;
  EXPECT_EQ(brush.Color(), clWhite);
  changes = 0;
  brush.OnChange = [&](TObject*) { ++changes; };
  brush.SetStyle(bsClear);
  LOGBRUSH lb{};
  ASSERT_EQ(GetObjectW(brush.Handle(), sizeof(lb), &lb), int(sizeof(lb)));
  EXPECT_EQ(lb.lbStyle, BS_NULL);
  brush.SetColor(clWhite);  // a colour makes a clear brush solid, even the same colour
  EXPECT_EQ(brush.Style(), bsSolid);
  brush.SetStyle(bsDiagCross);
  ASSERT_EQ(GetObjectW(brush.Handle(), sizeof(lb), &lb), int(sizeof(lb)));
  EXPECT_EQ(lb.lbStyle, BS_HATCHED);
  EXPECT_EQ(lb.lbHatch, UINT_PTR(HS_DIAGCROSS));
  EXPECT_EQ(changes, 3);

  TBrush copy;
  copy.Assign(&brush);
  EXPECT_EQ(copy.Style(), bsDiagCross);
  EXPECT_TRUE(MessageOf([&] { copy.Assign(&pen); }).startsWith("EConvertError: Cannot assign a TPen to a TBrush"));
}

TEST(GraphicsObjects, PublishedPropertiesInOrderWithDefaults) {
  auto names = [](const TClassInfo* cls) {
    QStringList n;
    for (const TPropInfo* p : cls->PropList()) n << p->Name();
    return n.join(',');
  };
  EXPECT_EQ(names(ClassInfo<TFont>()), "Charset,Color,Height,Name,Orientation,Pitch,Size,Style,Quality");
  EXPECT_EQ(names(ClassInfo<TPen>()), "Color,Mode,Style,Width");
  EXPECT_EQ(names(ClassInfo<TBrush>()), "Color,Style");

  TFont f;
  SetPropValue(&f, "Style", "[fsBold,fsStrikeOut]");
  EXPECT_EQ(f.Style(), TFontStyles({fsBold, fsStrikeOut}));
  SetOrdProp(&f, "Size", 12);
  EXPECT_EQ(f.Height(), -16);
  EXPECT_FALSE(IsStoredProp(&f, "Size"));
  EXPECT_EQ(GetEnumProp(&f, "Pitch"), "fpDefault");
  EXPECT_EQ(GetPropInfo(&f, "Style")->TypeName(), "TFontStyles");

  TPen p;
  EXPECT_TRUE(IsDefaultPropValue(&p, GetPropInfo(&p, "Width")));
  SetEnumProp(&p, "Mode", "pmNotXor");
  EXPECT_EQ(p.Mode(), pmNotXor);
  EXPECT_FALSE(IsDefaultPropValue(&p, GetPropInfo(&p, "Mode")));
  TBrush b;
  SetOrdProp(&b, "Color", clYellow);
  EXPECT_EQ(b.Color(), clYellow);
  EXPECT_EQ(GetPropInfo(&b, "Color")->TypeName(), "TColor");
}
