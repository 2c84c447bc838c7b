// The mini-HTML core: cell texts, hints and labels in the library's markup
// come from settings, imported files and pages. The text is laid out by
// both engines' dialects on a surface with fixed glyph advances (measured,
// drawn, hit-tested), and run through the text routines (plain text, tag
// removal, escaping, search marks, form-control values) and the tag,
// attribute, colour and picture-reference readers.
//
// Input: layout settings and two short texts (a search text and a control
// ID), then the markup.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "foundation/KitMiniHTML.h"
#include "foundation/KitMiniHTMLLayout.h"
#include "foundation/KitMiniHTMLText.h"
#include "fuzz/support/FuzzSupport.h"

namespace {

// Fixed advances: 7 units a character, 8 in bold; a line is the font size
// plus 4. Drawing calls are counted.
class TFixedSurface : public TMiniHtmlSurface {
 public:
  int Calls = 0;
  int TextWidth(const QString& AText, const TMiniHtmlFont& AFont) override {
    return int(AText.size()) * (AFont.Bold ? 8 : 7);
  }
  int TextHeight(const TMiniHtmlFont& AFont) override { return AFont.Size + 4; }
  void DrawRun(const TMiniHtmlRun&) override { ++Calls; }
  void DrawBullet(int, int, const QString&, const QString&, TColor, const TMiniHtmlFont&) override { ++Calls; }
  void DrawHorzLine(int, int, int, TColor) override { ++Calls; }
  void FillBand(const QRect&, TColor) override { ++Calls; }
  void DrawPicture(const TMiniHtmlPictureRef&, const QRect&) override { ++Calls; }
  void DrawBackgroundPicture(const TMiniHtmlPictureRef&, const QRect&, bool) override { ++Calls; }
  void DrawFocusRect(const QRect&) override { ++Calls; }
  void DrawControl(const TMiniHtmlControl&, const TMiniHtmlControlPlace&) override { ++Calls; }
};

QString Short(FuzzedDataProvider& in) { return QString::fromStdString(in.ConsumeRandomLengthString(24)); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzedDataProvider in(Data, Size);
  TMiniHtmlLayoutParams params;
  params.Engine = in.ConsumeBool() ? mheFacade : mheCanvas;
  params.WordWrap = in.ConsumeBool();
  params.Rect = QRect(in.ConsumeIntegralInRange(-20, 20), in.ConsumeIntegralInRange(-20, 20),
                      in.ConsumeIntegralInRange(0, 400), in.ConsumeIntegralInRange(0, 300));
  params.Font.Size = in.ConsumeIntegralInRange(1, 72);
  params.Pointer = QPoint(in.ConsumeIntegralInRange(-10, 410), in.ConsumeIntegralInRange(-10, 310));
  params.HoverLink = in.ConsumeIntegralInRange(-1, 8);
  params.FocusLink = in.ConsumeIntegralInRange(-1, 8);
  params.Selected = in.ConsumeBool();
  params.BlinkOff = in.ConsumeBool();
  params.ScaleFactor = in.ConsumeIntegralInRange(1, 40) / 10.0;
  params.PrintFactor = in.ConsumeIntegralInRange(0, 40) / 10.0;
  params.ImageCount = in.ConsumeIntegralInRange(0, 4);
  params.ImageSize = QSize(16, 16);
  const int pictureScale = in.ConsumeIntegralInRange(0, 3);
  params.PictureSize = [pictureScale](const TMiniHtmlPictureRef& ARef) {
    // Sizes from nothing to very large, by the reference's name.
    const int n = int(ARef.Name.size());
    switch (pictureScale) {
      case 0: return QSize();
      case 1: return QSize(n, 2 * n);
      case 2: return QSize(1000 * n, 7);
      default: return QSize(1 << 20, 1 << 20);
    }
  };
  const QString search = Short(in);
  const QString id = Short(in);
  const std::string rest = in.ConsumeRemainingBytesAsString();
  const QString text = fuzz::AnyText(reinterpret_cast<const uint8_t*>(rest.data()), rest.size());

  {
    TFixedSurface surface;
    TMiniHtmlLayoutParams measure = params;
    measure.MeasureOnly = true;
    const TMiniHtmlLayoutResult m = LayoutMiniHtml(text, measure, surface);
    fuzz::Check(m.Width >= 0 && m.Height >= 0, "a measured size is negative");
    fuzz::Check(surface.Calls == 0, "measuring drew");
    LayoutMiniHtml(text, params, surface);
    TMiniHtmlLayoutParams hit = params;
    hit.HitTestOnly = true;
    hit.HitControlID = id;
    LayoutMiniHtml(text, hit, surface);
  }

  MiniHtmlToText(text);
  RemoveHtmlTags(text);
  UnescapeHtmlText(text, params.WordWrap);
  EscapeHtmlText(text, params.Selected);
  SpacesToNbsp(text);
  HasHtmlControl(text);
  const QString marked = MarkTextInHtml(text, search, QStringLiteral("hi"),
                                        params.BlinkOff ? TMarkTextOptions{mtoCaseSensitive} : TMarkTextOptions{});
  UnmarkTextInHtml(marked, QStringLiteral("hi"));
  NextHtmlControlID(text, id);
  ClearHtmlRadioControls(text);
  QString value;
  GetHtmlControlValue(text, id, value);
  GetHtmlControlProp(text, id);
  GetHtmlControlMaxLen(text, id);
  QString edited = text;
  SetHtmlControlValue(edited, id, search);

  // The tag and value readers over every position of a short text.
  if (text.size() < 512) {
    for (qsizetype i = 0; i < text.size(); ++i) {
      if (text[i] != u'<') continue;
      const QStringView rest = QStringView(text).mid(i);
      ParseMiniHtmlTag(rest, params.Engine);
      const qsizetype close = text.indexOf(u'>', i);
      const QString tag = text.mid(i, close < 0 ? -1 : close - i + 1);
      ParseMiniHtmlControl(tag);
      MiniHtmlFontTagSize(tag, params.Font.Size);
      bool found = false;
      const QString color = MiniHtmlAttribute(tag, 5, QStringLiteral("COLOR"), true, &found);
      MiniHtmlColor(color, params.Engine);
      ParseMiniHtmlPictureRef(MiniHtmlAttribute(tag, 3, QStringLiteral("SRC"), false), params.Engine);
    }
    MiniHtmlLeadingNumber(text);
    MiniHtmlDecodeRun(text, true);
    MiniHtmlDecodeRun(text, false);
    TColor named = 0;
    MiniHtmlColorByName(text, named);
  }
  return 0;
}
