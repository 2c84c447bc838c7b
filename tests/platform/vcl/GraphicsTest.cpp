#include <gtest/gtest.h>

#include "platform/rtl/Classes.h"
#include "platform/vcl/Graphics.h"
#include "tests/support/TestSupport.h"

TEST(FontTest, SizeAndHeightFollowPixelsPerInch) {
  struct Case {
    int ppi;
    int size;
    int height;
  };
  const Case cases[] = {{96, 8, -11}, {96, 10, -13}, {96, 12, -16}, {120, 8, -13}, {144, 8, -16}, {144, 9, -18}};
  for (const Case& c : cases) {
    TFont font;
    font.SetPixelsPerInch(c.ppi);
    font.SetSize(c.size);
    EXPECT_EQ(font.Height(), c.height) << c.ppi << " dpi, " << c.size << " pt";
    EXPECT_EQ(font.Size(), c.size) << c.ppi << " dpi, " << c.size << " pt";
  }
  TFont font;
  font.SetPixelsPerInch(0);
  EXPECT_EQ(font.PixelsPerInch(), 96) << "a resolution of 0 is ignored";
}

TEST(FontTest, EveryChangeSignalsOnce) {
  TFont font;
  int count = 0;
  font.OnChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &font);
    ++count;
  };
  struct Step {
    const char* what;
    std::function<void()> apply;
    int expected;
  };
  const Step steps[] = {
      {"name", [&] { font.SetName(QStringLiteral("Arial")); }, 1},
      {"same name", [&] { font.SetName(QStringLiteral("Arial")); }, 0},
      {"empty name is refused", [&] { font.SetName(QString()); }, 0},
      {"size", [&] { font.SetSize(14); }, 1},
      {"same size", [&] { font.SetSize(14); }, 0},
      {"style", [&] { font.SetStyle({fsBold, fsItalic}); }, 1},
      {"colour", [&] { font.SetColor(clRed); }, 1},
      {"same colour", [&] { font.SetColor(clRed); }, 0},
      {"pitch, charset, orientation, quality", [&] {
         font.SetPitch(fpFixed);
         font.SetCharset(ANSI_CHARSET);
         font.SetOrientation(900);
         font.SetQuality(fqClearType);
       }, 4},
  };
  for (const Step& s : steps) {
    count = 0;
    s.apply();
    EXPECT_EQ(count, s.expected) << s.what;
  }
  EXPECT_EQ(font.Name(), QStringLiteral("Arial"));
}

TEST(FontTest, AssignCopiesAndKeepsItsOwnResolution) {
  TFont source;
  source.SetName(QStringLiteral("Courier New"));
  source.SetSize(12);
  source.SetStyle({fsUnderline});
  source.SetColor(clBlue);
  TFont target;
  target.SetPixelsPerInch(144);
  int count = 0;
  target.OnChange = [&](TObject*) { ++count; };
  target.Assign(&source);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(target.Name(), QStringLiteral("Courier New"));
  EXPECT_EQ(target.Size(), 12);
  EXPECT_EQ(target.Height(), -24);
  EXPECT_EQ(target.Style(), TFontStyles({fsUnderline}));
  EXPECT_EQ(target.Color(), clBlue);
  EXPECT_EQ(target.PixelsPerInch(), 144);
  TStringList notAFont;
  EXPECT_THROW(target.Assign(&notAFont), EConvertError);
}

TEST(FontTest, PublishesItsPropertiesForStreaming) {
  QStringList names;
  for (const TPropInfo* p : GetPropList(ClassInfo<TFont>())) names << p->Name();
  EXPECT_EQ(names, (QStringList{"Charset", "Color", "Height", "Name", "Orientation", "Pitch", "Size", "Style",
                                "Quality"}));
  TFont font;
  EXPECT_FALSE(IsStoredProp(&font, "Size"));
  EXPECT_TRUE(IsDefaultPropValue(&font, GetPropInfo(&font, "Style")));
  EXPECT_FALSE(IsDefaultPropValue(&font, GetPropInfo(&font, "Height")));
}
