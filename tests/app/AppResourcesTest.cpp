#include <gtest/gtest.h>

#include <QImage>
#include <QRegularExpression>
#include <map>
#include <vector>

#include "app/AppResources.h"
#include "platform/rtl/Encoding.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/PngImage.h"
#include "tests/engine/EngineSupport.h"
#include "tests/support/TestSupport.h"

namespace {

QByteArray ResourceBytes(const QString& name) {
  InitAppResources();
  TResourceStream stream(0, name);
  QByteArray bytes(int(stream.Size()), '\0');
  EXPECT_EQ(stream.Read(bytes.data(), bytes.size()), bytes.size());
  return bytes;
}

QString StartPage() { return TEncoding::ANSI()->GetString(ResourceBytes(QStringLiteral("HomePage"))); }

// The inner HTML of the element <div id="id" ...> (no nested div) and its
// opening tag.
struct Block {
  QString Tag;
  QString Inner;
};

Block DivById(const QString& page, const QString& id) {
  const QRegularExpression re(QStringLiteral("(<div id=\"%1\"[^>]*>)(.*?)</div>").arg(id),
                              QRegularExpression::DotMatchesEverythingOption);
  const QRegularExpressionMatch m = re.match(page);
  return m.hasMatch() ? Block{m.captured(1), m.captured(2)} : Block{};
}

QStringList Captures(const QString& text, const QString& pattern) {
  QStringList found;
  QRegularExpressionMatchIterator it =
      QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption).globalMatch(text);
  while (it.hasNext()) found << it.next().captured(1);
  return found;
}

const std::vector<std::pair<QString, QString>> kLanguages = {
    {QStringLiteral("Deutsch"), QStringLiteral("ger")},   {QStringLiteral("English"), QStringLiteral("eng")},
    {QStringLiteral("Español"), QStringLiteral("esp")},   {QStringLiteral("Français"), QStringLiteral("fra")},
    {QStringLiteral("Italiano"), QStringLiteral("ita")},
};

}  // namespace

TEST(AppResources, InitialisingTwiceIsHarmless) {
  InitAppResources();
  InitAppResources();
  EXPECT_FALSE(ResourceBytes(QStringLiteral("HOMEPAGE")).isEmpty());
}

TEST(StartPageTemplate, IsWindows1252WithCrLfAndNoByteOrderMark) {
  const QByteArray bytes = ResourceBytes(QStringLiteral("HOMEPAGE"));
  ASSERT_GT(bytes.size(), 1000);
  TEncoding* found = nullptr;
  EXPECT_EQ(TEncoding::GetBufferEncoding(bytes, found), 0);
  EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
  EXPECT_TRUE(bytes.endsWith("\r\n"));
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "lone LF at byte " << i;
    }
    if (bytes[i] == '\r') {
      ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "lone CR at byte " << i;
    }
  }

  // Letters outside ASCII are single Windows-1252 bytes, including ones that
  // Latin-1 would not give (’ is 0x92, – is 0x96).
  const QString text = TEncoding::ANSI()->GetString(bytes);
  for (const char* word : {"Español", "Français", "öffnen", "página", "données", "è terminata",
                           "l’acquisizione", "page after page –"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(word))) << word;
  EXPECT_FALSE(text.contains(QChar(0xFFFD)));
  EXPECT_FALSE(text.contains(QStringLiteral("Ã")));  // UTF-8 read as Windows-1252
}

TEST(StartPageTemplate, DocumentTitleScriptAndStyle) {
  const QString page = StartPage();
  EXPECT_TRUE(page.startsWith(
      QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" \"http://www.w3.org/TR/html4/strict.dtd\">\r\n")));
  EXPECT_EQ(Captures(page, QStringLiteral("<title>(.*?)</title>")), QStringList{QStringLiteral("TFN Start Page")});
  EXPECT_TRUE(page.contains(QStringLiteral("function ShowLanguage(lang)")));
  EXPECT_TRUE(page.contains(QStringLiteral("main.innerHTML = block.innerHTML;")));
  EXPECT_EQ(Captures(page, QStringLiteral("<h1>(.*?)</h1>")), QStringList{QStringLiteral("Tallowfinch $ver$")});
  EXPECT_EQ(Captures(page, QStringLiteral("<address>(.*?)</address>")),
            QStringList{QStringLiteral("Version: $versionyp$.")});
  const QString style = Captures(page, QStringLiteral("<style type=\"text/css\">(.*?)</style>")).value(0);
  for (const char* rule : {"margin-left: 13em;", "serif;", "font-size: 75%;", "color: #404040;",
                           "background-color: #FFFF33;", "position: absolute;"})
    EXPECT_TRUE(style.contains(QLatin1String(rule))) << rule;
  const QStringList navigation =
      Captures(Captures(page, QStringLiteral("<ul class=\"navbar\">(.*?)</ul>")).value(0),
               QStringLiteral("<a href=\"([^\"]*)\""));
  EXPECT_TRUE(navigation.contains(QStringLiteral("http://www.tallowfinch.example/")));
  EXPECT_TRUE(navigation.contains(QStringLiteral("http://www.tallowfinch.example/contact.php")));
  EXPECT_TRUE(navigation.contains(QStringLiteral("http://www.tallowfinch.example/download.php")));
}

TEST(StartPageTemplate, PlaceholdersOccurAsOftenAsTheProgramReplacesThem) {
  const QString page = StartPage();
  const std::vector<std::pair<QString, int>> placeholders = {
      {QStringLiteral("$yp$"), 6}, {QStringLiteral("$versionyp$"), 1},
      {QStringLiteral("$webyp$"), 6}, {QStringLiteral("$ver$"), 1}};
  QString filled = page;
  for (const auto& [placeholder, count] : placeholders) {
    EXPECT_EQ(page.count(placeholder), count) << placeholder.toStdString();
    filled.replace(placeholder, QStringLiteral("#"));
  }
  // Replaced in the program's order, nothing of a placeholder is left over.
  EXPECT_EQ(filled.count(u'$'), 0);
}

TEST(StartPageTemplate, LanguageButtonsAndBlocks) {
  const QString page = StartPage();
  QStringList buttons;
  QRegularExpressionMatchIterator it =
      QRegularExpression(QStringLiteral("<button type=\"button\" onclick=\"ShowLanguage\\('(\\w+)'\\)\">([^<]*)</button>"))
          .globalMatch(page);
  while (it.hasNext()) {
    const QRegularExpressionMatch m = it.next();
    buttons << m.captured(2) + u'=' + m.captured(1);
  }
  QStringList expected;
  for (const auto& [caption, id] : kLanguages) expected << caption + u'=' + id;
  EXPECT_EQ(buttons, expected);

  const QString english = DivById(page, QStringLiteral("MainText")).Inner;
  EXPECT_FALSE(DivById(page, QStringLiteral("MainText")).Tag.contains(QStringLiteral("display")));
  EXPECT_TRUE(DivById(page, QStringLiteral("Languages")).Tag.contains(QStringLiteral("style=\"display: none\"")));
  for (const auto& [caption, id] : kLanguages) {
    SCOPED_TRACE(id.toStdString());
    const Block block = DivById(page, id);
    ASSERT_FALSE(block.Inner.isEmpty());
    EXPECT_TRUE(block.Tag.contains(QStringLiteral("style=\"display: none\"")));
    const QStringList steps = Captures(block.Inner, QStringLiteral("<li>(.*?)</li>"));
    ASSERT_EQ(steps.size(), 3);
    EXPECT_EQ(block.Inner.count(QStringLiteral("<ol>")), 1);
    EXPECT_TRUE(steps[0].startsWith(QStringLiteral("<a href=\"$webyp$\">")));
    EXPECT_TRUE(Captures(steps[0], QStringLiteral("<a [^>]*>(.*?)</a>")).value(0).contains(QStringLiteral("$yp$")));
    EXPECT_TRUE(steps[1].contains(QStringLiteral("<b>CAPTURE</b>")));
    EXPECT_TRUE(steps[2].contains(QStringLiteral("<b>SAVE</b>")));
    const QString afterList = block.Inner.mid(block.Inner.indexOf(QStringLiteral("</ol>")));
    EXPECT_TRUE(afterList.contains(QStringLiteral("<a href=\"http://www.tallowfinch.example/help/csv.html\">")));
  }
  // The instructions shown at first are the English block.
  EXPECT_EQ(english, DivById(page, QStringLiteral("eng")).Inner);
}

// The page as the browser shows it: each language button puts its block's
// instructions in place of the English ones.
TEST(StartPageTemplate, LanguageButtonsWorkInTheBrowser) {
  enginetest::Engine* engine = enginetest::Shared();
  ASSERT_TRUE(engine);
  TKitWebBrowser* browser = engine->Browser();
  QString page = StartPage();
  page.replace(QStringLiteral("$yp$"), QStringLiteral("pages jaunes (FR)"));
  page.replace(QStringLiteral("$versionyp$"), QStringLiteral("FR-PJ"));
  page.replace(QStringLiteral("$webyp$"), QStringLiteral("http://127.0.0.1:9/annuaire/chercherlespros?quoiqui=hotel"));
  page.replace(QStringLiteral("$ver$"), QStringLiteral("v. test"));
  ASSERT_TRUE(enginetest::NavigateAndWait(browser, QString(), page).Success);

  const auto run = [&](const QString& script) { return browser->ExecuteJavaScriptSync(script); };
  EXPECT_EQ(run(QStringLiteral("document.title")), QStringLiteral("\"TFN Start Page\""));
  EXPECT_EQ(run(QStringLiteral("getComputedStyle(document.body).backgroundColor")),
            QStringLiteral("\"rgb(255, 255, 51)\""));
  EXPECT_EQ(run(QStringLiteral("document.getElementById('ger').offsetParent === null && "
                               "document.getElementById('MainText').offsetParent !== null")),
            QStringLiteral("true"));
  for (int i = 0; i < int(kLanguages.size()); ++i) {
    const auto& [caption, id] = kLanguages[size_t(i)];
    SCOPED_TRACE(id.toStdString());
    EXPECT_EQ(run(QStringLiteral("(function () {"
                                 "  var button = document.getElementsByTagName('button')[%1];"
                                 "  button.click();"
                                 "  return button.textContent;"
                                 "})()").arg(i)),
              u'"' + caption + u'"');
    EXPECT_EQ(run(QStringLiteral("(function () {"
                                 "  var block = document.getElementById('%1');"
                                 "  var main = document.getElementById('MainText');"
                                 "  return [main.innerHTML === block.innerHTML, block.style.display,"
                                 "          main.getElementsByTagName('li').length,"
                                 "          main.getElementsByTagName('a')[0].textContent.indexOf('pages jaunes (FR)') >= 0];"
                                 "})()").arg(id)),
              QStringLiteral("[true,\"block\",3,true]"));
  }
  // The last language chosen stays; the blocks themselves stay out of sight.
  EXPECT_EQ(run(QStringLiteral("document.getElementById('MainText').innerText.indexOf('Aprire pages jaunes (FR)') >= 0 && "
                               "document.getElementById('ita').offsetParent === null")),
            QStringLiteral("true"));
}

// ---------------------------------------------------------------------------
// Pictures.

TEST(AppPictures, AreTransparentPngsOfTheirSizeAndAllDifferent) {
  std::vector<std::pair<QString, int>> pictures;
  for (int i = 0; i <= 13; ++i) pictures.emplace_back(QStringLiteral("NAVICON%1").arg(i), 24);
  for (const int i : {2, 4, 8, 9, 10}) pictures.emplace_back(QStringLiteral("RESULTICON%1").arg(i), 24);
  pictures.emplace_back(QStringLiteral("SPLASHPICTURE"), 64);
  pictures.emplace_back(QStringLiteral("MAINICON"), 48);

  std::map<QString, QImage> images;
  for (const auto& [name, size] : pictures) {
    SCOPED_TRACE(name.toStdString());
    InitAppResources();
    TResourceStream stream(0, name);
    ASSERT_TRUE(TPngImage::CanLoadFromStream(&stream));
    TPngImage png;
    png.LoadFromStream(&stream);
    EXPECT_EQ(png.Width(), size);
    EXPECT_EQ(png.Height(), size);
    EXPECT_TRUE(png.Transparent());
    const QImage image = png.ToImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(size, size));
    for (const QPoint corner : {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1)})
      EXPECT_EQ(qAlpha(image.pixel(corner)), 0) << corner.x() << "," << corner.y();
    int opaque = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) opaque += qAlpha(image.pixel(x, y)) == 255;
    // Solid content over at least a tenth of the square (the thinnest
    // picture, the refresh arrow, covers about an eighth).
    EXPECT_GT(opaque, size * size / 10);
    for (const auto& [other, seen] : images) EXPECT_NE(image, seen) << "same as " << other.toStdString();
    images.emplace(name, image);
  }
}
