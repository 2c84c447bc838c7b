// The SVG document: view rectangles, the element walk, class rules,
// references between elements, loading and saving, and the safety of the
// XML parse (no external entity or DTD, bounded expansion, huge sizes).
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>

#include "foundation/KitGraphicsSVGEngine.h"
#include "platform/rtl/Streams.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/TestSupport.h"

namespace {

std::unique_ptr<TKitGraphicsSVGImport> Load(const QString& text) {
  auto doc = std::make_unique<TKitGraphicsSVGImport>();
  doc->LoadFromText(text);
  return doc;
}

TKitGraphicsSVGElement* Child(const TKitGraphicsSVGElementList& list, int index) {
  return index < int(list.size()) ? list[size_t(index)].get() : nullptr;
}

void ExpectRect(const TRectF& r, float l, float t, float rr, float b, const QString& what) {
  EXPECT_NEAR(r.Left, l, 1e-3) << what.toStdString();
  EXPECT_NEAR(r.Top, t, 1e-3) << what.toStdString();
  EXPECT_NEAR(r.Right, rr, 1e-3) << what.toStdString();
  EXPECT_NEAR(r.Bottom, b, 1e-3) << what.toStdString();
}

}  // namespace

TEST(KitSVGDocument, ViewRectangles) {
  const struct {
    const char* Root;
    const char* Body;
    float L, T, R, B;
  } cases[] = {
      {R"(viewBox="0 0 24 24")", "<rect width='2' height='2'/>", 0, 0, 24, 24},
      {R"(viewBox="10 20 30 40")", "<rect width='2' height='2'/>", 10, 20, 40, 60},
      {R"(viewBox="  0   0 16 16 ")", "<rect width='2' height='2'/>", 0, 0, 16, 16},
      // Commas separate the numbers as blanks do.
      {R"(viewBox="0,0,24,24" width="100" height="100")", "<rect x='1' y='2' width='3' height='4'/>", 0, 0, 24, 24},
      {R"(viewBox="0, 0,10 , 20")", "<rect x='1' y='2' width='3' height='4'/>", 0, 0, 10, 20},
      {R"(viewBox="0 0 24")", "<rect x='1' y='2' width='3' height='4'/>", 1, 2, 4, 6},
      {R"(width="100" height="50")", "<rect width='2' height='2'/>", 0, 0, 100, 50},
      // CSS units: 96 pixels to the inch.
      {R"(width="16px" height="12pt")", "<rect width='2' height='2'/>", 0, 0, 16, 16},
      {R"(width="1in" height="2.54cm")", "<rect width='2' height='2'/>", 0, 0, 96, 96},
      {R"(width="100")", "<circle cx='10' cy='10' r='5'/><line x1='1' y1='2' x2='3' y2='30'/>", 1, 2, 15, 32},
      {"", "<g transform='translate(10,0)'><rect width='2' height='2'/></g>", 10, 0, 12, 2},
      // A path's own transform counts once.
      {"", "<path transform='translate(5,5)' d='M0 0 L10 10'/>", 5, 5, 15, 15},
      {"", "<polygon points='0,0 4,0 4,8'/>", 0, 0, 4, 8},
      {"", "", 0, 0, 0, 0},
      {"", "<defs><rect width='50' height='50'/></defs>", 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const QString text = QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' %1>%2</svg>")
                             .arg(QString::fromUtf8(c.Root), QString::fromUtf8(c.Body));
    auto doc = Load(text);
    ExpectRect(doc->ViewRect(), c.L, c.T, c.R, c.B, text);
  }
}

TEST(KitSVGDocument, ElementWalk) {
  auto doc = Load(QStringLiteral(
      "<svg xmlns='http://www.w3.org/2000/svg' xmlns:svg='http://www.w3.org/2000/svg' viewBox='0 0 10 10'>"
      "<!-- a comment --><title>t</title>"
      "<g id='g1' fill='red'><rect x='1' y='2' width='3' height='4' rx='0.5'/><RECT width='9' height='9'/>"
      "<svg:rect width='1' height='1'/></g>"
      "<circle cx='5' cy='6' r='2'/><ellipse cx='1' cy='2' rx='3' ry='4'/>"
      "<line x1='1' y1='2' x2='3' y2='4'/>"
      "<switch><rect width='1' height='1'/></switch><use href='#g1'/>"
      "<text x='1' y='9' font-size='12pt' font-family='Arial'>Hello</text>"
      "<text x='1' y='9'><tspan x='2' y='8'>A</tspan> B </text>"
      "<polyline points='0,0 1,1'/><path d=''/>"
      "</svg>"));
  const auto& list = doc->ElementList();
  ASSERT_EQ(list.size(), 8u);
  TKitGraphicsSVGElement* g = Child(list, 0);
  EXPECT_EQ(g->Type(), etContainer);
  ASSERT_TRUE(g->HasElements());
  ASSERT_EQ(g->Elements().size(), 1u) << "capitals and prefixed names are unknown";
  TKitGraphicsSVGElement* rect = Child(g->Elements(), 0);
  EXPECT_EQ(rect->Type(), etRect);
  EXPECT_EQ(rect->Parent(), g);
  EXPECT_FLOAT_EQ(rect->X(), 1);
  EXPECT_FLOAT_EQ(rect->Height(), 4);
  EXPECT_FLOAT_EQ(rect->Rx(), 0.5f);
  EXPECT_TRUE(MatrixIsEmpty(rect->Matrix()));
  EXPECT_EQ(rect->FillColorValue(), TKitGraphicsSVGElement::DefaultValue()) << "inherited, not copied";
  TKitGraphicsSVGElement* circle = Child(list, 1);
  EXPECT_EQ(circle->Type(), etCircle);
  EXPECT_FLOAT_EQ(circle->Rx(), 2);
  EXPECT_FLOAT_EQ(circle->Ry(), 2);
  EXPECT_FLOAT_EQ(circle->Y(), 6);
  TKitGraphicsSVGElement* line = Child(list, 3);
  EXPECT_EQ(line->Type(), etLine);
  EXPECT_FLOAT_EQ(line->Width(), 3) << "x2";
  EXPECT_FLOAT_EQ(line->Height(), 4) << "y2";
  TKitGraphicsSVGElement* text = Child(list, 4);
  EXPECT_EQ(text->Type(), etText);
  EXPECT_EQ(text->Text(), QStringLiteral("Hello"));
  EXPECT_FLOAT_EQ(text->FontSize(), 16) << "12pt";
  TKitGraphicsSVGElement* mixed = Child(list, 5);
  ASSERT_TRUE(mixed->HasElements());
  ASSERT_EQ(mixed->Elements().size(), 2u);
  TKitGraphicsSVGElement* span = Child(mixed->Elements(), 0);
  EXPECT_EQ(span->Type(), etTextSpan);
  ASSERT_TRUE(span->HasElements());
  EXPECT_EQ(Child(span->Elements(), 0)->Text(), QStringLiteral("A"));
  EXPECT_EQ(Child(mixed->Elements(), 1)->Type(), etTextSpanChild);
  EXPECT_EQ(Child(list, 6)->Type(), etPolyline);
  EXPECT_TRUE(Child(list, 6)->HasActivePath());
  EXPECT_FALSE(Child(list, 7)->HasActivePath()) << "empty path data";
}

TEST(KitSVGDocument, TheStyleAttributeWinsOverPresentationAttributes) {
  // As CSS gives it: the style attribute wins wherever it is written.
  const char* cases[] = {"<rect fill='red' style='fill:blue' width='1' height='1'/>",
                         "<rect fill='red' style='stroke:none;fill:blue' width='1' height='1'/>",
                         "<rect style='fill:blue' fill='red' width='1' height='1'/>",
                         "<rect style='stroke:none; fill:blue' fill='red' width='1' height='1'/>"};
  for (const char* c : cases) {
    auto doc = Load(QStringLiteral("<svg>%1</svg>").arg(QLatin1String(c)));
    EXPECT_EQ(Child(doc->ElementList(), 0)->FillColor(), 0xFF0000) << c;
  }
  // Later presentation attributes still overwrite earlier declarations of
  // other attributes' values.
  auto second = Load(QStringLiteral("<svg><rect fill='blue' fill-opacity='0.5' width='1' height='1'/></svg>"));
  EXPECT_EQ(Child(second->ElementList(), 0)->FillColor(), 0xFF0000);
  EXPECT_FLOAT_EQ(Child(second->ElementList(), 0)->FillOpacity(), 0.5f);
  auto entity = Load(QStringLiteral("<svg><rect fill='&#x23;00ff00' width='1' height='1'/></svg>"));
  EXPECT_EQ(Child(entity->ElementList(), 0)->FillColor(), 0x00FF00);
}

TEST(KitSVGDocument, ClassRulesAndReferences) {
  auto doc = Load(QStringLiteral(
      "<svg viewBox='0 0 10 10'>"
      "<style>.warn { fill: #ff0000 } .ok{fill:#00ff00;stroke:blue} #id { fill: black }</style>"
      "<defs>"
      "<linearGradient id='base'><stop offset='0' stop-color='#000'/><stop offset='100%' stop-color='#fff'/>"
      "</linearGradient>"
      "<linearGradient id='g' xlink:href='#base' x1='0' y1='0' x2='10' y2='0' "
      "xmlns:xlink='http://www.w3.org/1999/xlink'/>"
      "<clipPath id='clip'><rect width='1' height='1'/><circle r='4' class='ok'/></clipPath>"
      "</defs>"
      "<style>.clipped { clip-path: url(#clip) }</style>"
      "<rect class='warn' width='1' height='1'/>"
      "<rect class='ok' width='1' height='1'/>"
      "<rect fill='url(#g)' width='1' height='1'/>"
      "<rect clip-path='url(#clip)' width='1' height='1'/>"
      "<rect class='clipped' width='1' height='1'/>"
      "<rect class='nosuch' width='1' height='1'/>"
      "</svg>"));
  // Three class rules (the id selector is not read), two gradients and the
  // clip path in defs.
  int rules = 0;
  for (const auto& d : doc->DefsList())
    if (d->Type() == etStyle) ++rules;
  EXPECT_EQ(rules, 3);
  const auto& list = doc->ElementList();
  ASSERT_EQ(list.size(), 6u);
  ASSERT_NE(Child(list, 0)->ClassRef(), nullptr);
  EXPECT_EQ(Child(list, 0)->ClassRef()->FillColor(), 0x0000FF);
  ASSERT_NE(Child(list, 1)->ClassRef(), nullptr);
  EXPECT_EQ(Child(list, 1)->ClassRef()->StrokeColor(), 0xFF0000);
  // url(#g) reaches the gradient in defs; its href names the base gradient.
  TKitGraphicsSVGElement* gradient = Child(list, 2)->PatternRef();
  ASSERT_NE(gradient, nullptr);
  EXPECT_EQ(gradient->ID(), QStringLiteral("g"));
  ASSERT_NE(gradient->HRefRef(), nullptr);
  EXPECT_EQ(gradient->HRefRef()->ID(), QStringLiteral("base"));
  // A clip path named directly is recorded but not resolved.
  EXPECT_EQ(Child(list, 3)->ClipPathRefID(), QStringLiteral("clip"));
  EXPECT_EQ(Child(list, 3)->ClipPathRef(), nullptr);
  // Through a class rule it is: the clip path's last child.
  TKitGraphicsSVGElement* clip = Child(list, 4)->ClipPathRef();
  ASSERT_NE(clip, nullptr);
  EXPECT_EQ(clip->Type(), etCircle);
  EXPECT_EQ(Child(list, 5)->ClassRef(), nullptr);
  EXPECT_EQ(doc->ElementPatternList().size(), 2u);
  EXPECT_EQ(doc->ElementClipPathList().size(), 1u);
  // Stops carry their offsets and colours.
  TKitGraphicsSVGElement* base = gradient->HRefRef();
  ASSERT_TRUE(base->HasElements());
  EXPECT_FLOAT_EQ(Child(base->Elements(), 1)->Offset(), 1);
  EXPECT_EQ(Child(base->Elements(), 1)->StopColor(), 0xFFFFFF);
}

TEST(KitSVGDocument, PatternsAndPaintThroughClassRules) {
  auto doc = Load(QStringLiteral(
      "<svg viewBox='0 0 10 10'>"
      "<defs><linearGradient id='lg'><stop offset='0' stop-color='blue'/></linearGradient>"
      "<g id='box'><rect class='inner' width='1' height='1'/></g></defs>"
      "<style>.inner { fill: #00ff00 }</style>"
      "<style>.shade { fill: url(#lg) } .boxed { fill: url(#box) }</style>"
      "<pattern id='dots' width='2' height='2'><circle cx='1' cy='1' r='1'/></pattern>"
      "<g><rect fill=\"url('#dots')\" width='1' height='1'/></g>"
      "<radialGradient id='rg' cx='20'><stop offset='0' stop-color='red'/></radialGradient>"
      "<rect fill='url(#rg)' stroke='url(#dots)' width='1' height='1'/>"
      "<rect class='shade' width='1' height='1'/>"
      "<rect class='boxed' width='1' height='1'/>"
      "<rect fill='url(#nosuch)' width='1' height='1'/>"
      "</svg>"));
  const auto& list = doc->ElementList();
  // A pattern drawn as a top-level element is still a paint server.
  ASSERT_EQ(list.size(), 7u);
  EXPECT_EQ(Child(list, 0)->Type(), etPattern);
  // url('#id') with quotes, inside a group.
  TKitGraphicsSVGElement* quoted = Child(Child(list, 1)->Elements(), 0);
  ASSERT_NE(quoted->PatternRef(), nullptr);
  EXPECT_EQ(quoted->PatternRef()->ID(), QStringLiteral("dots"));
  // Fill and stroke keep a reference each.
  ASSERT_NE(Child(list, 3)->PatternRef(), nullptr);
  EXPECT_EQ(Child(list, 3)->PatternRef()->ID(), QStringLiteral("rg"));
  ASSERT_NE(Child(list, 3)->StrokePatternRef(), nullptr);
  EXPECT_EQ(Child(list, 3)->StrokePatternRef()->ID(), QStringLiteral("dots"));
  EXPECT_EQ(Child(list, 2)->Type(), etRadialGradient);
  EXPECT_TRUE(Child(list, 2)->HasCX());
  EXPECT_FALSE(Child(list, 2)->HasCY());
  EXPECT_FLOAT_EQ(Child(list, 2)->CX(), 20);
  // A class rule whose fill names a gradient gives the gradient; one that
  // names another element with children takes its last child's rule (as
  // resolved so far: the rules are resolved in document order).
  ASSERT_NE(Child(list, 4)->PatternRef(), nullptr);
  EXPECT_EQ(Child(list, 4)->PatternRef()->ID(), QStringLiteral("lg"));
  ASSERT_NE(Child(list, 5)->ClassRef(), nullptr);
  EXPECT_EQ(Child(list, 5)->ClassRef()->FillColor(), 0x00FF00);
  EXPECT_EQ(Child(list, 5)->PatternRef(), nullptr);
  // A reference to nothing stays unresolved: the colour rules paint.
  EXPECT_EQ(Child(list, 6)->URLRefID(), QStringLiteral("nosuch"));
  EXPECT_EQ(Child(list, 6)->PatternRef(), nullptr);
  EXPECT_EQ(doc->ElementPatternList().size(), 3u);
}

TEST(KitSVGDocument, LoadingSavingAndFailures) {
  TKitGraphicsSVGImport doc;
  EXPECT_THROW(doc.LoadFromText(QStringLiteral("<svg><rect></svg>")), EDOMParseError);
  EXPECT_FALSE(doc.HasElements());
  EXPECT_THROW(doc.LoadFromText(QString()), EDOMParseError);
  // Another root loads as empty.
  doc.LoadFromText(QStringLiteral("<html><rect width='1' height='1'/></html>"));
  EXPECT_FALSE(doc.HasElements());
  // Path data ending inside a command draws the path up to that command;
  // the rest of the document loads.
  doc.LoadFromText(QStringLiteral("<svg><rect width='1' height='1'/><path d='M0 0 L5 5 L5'/></svg>"));
  ASSERT_EQ(doc.ElementCount(), 2);
  ASSERT_TRUE(doc.ElementList()[1]->HasActivePath());
  EXPECT_EQ(doc.ElementList()[1]->ActivePath()->Count(), 2);

  // Stream load reads UTF-8 from the start; saving writes the document.
  const QByteArray bytes = "<?xml version='1.0' encoding='ISO-8859-1'?><svg viewBox='0 0 8 8'>"
                           "<text>\xC3\xA9t\xC3\xA9</text><rect width='2' height='2'/></svg>";
  TMemoryStream in;
  in.WriteBuffer(bytes.constData(), bytes.size());
  doc.LoadFromStream(&in);
  ASSERT_EQ(doc.ElementCount(), 2);
  EXPECT_EQ(Child(doc.ElementList(), 0)->Text(), QStringLiteral(u"été")) << "declared encoding ignored";
  TMemoryStream out;
  doc.SaveToStream(&out);
  TKitGraphicsSVGImport again;
  out.SetPosition(0);
  again.LoadFromStream(&out);
  EXPECT_EQ(again.ElementCount(), 2);
  ExpectRect(again.ViewRect(), 0, 0, 8, 8, QStringLiteral("after a round trip"));

  testsupport::TempDir dir;
  doc.SaveToFile(dir.File(QStringLiteral("a.svg")));
  TKitGraphicsSVGImport fromFile;
  fromFile.LoadFromFile(dir.File(QStringLiteral("a.svg")));
  EXPECT_EQ(fromFile.ElementCount(), 2);
  EXPECT_THROW(fromFile.LoadFromFile(dir.File(QStringLiteral("missing.svg"))), EFOpenError);
}

TEST(KitSVGDocument, ImagesFromDataAndFiles) {
  // A 1 x 1 PNG.
  const char* png =
      "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwAFBQIAX8jx0gAAAABJRU5ErkJggg==";
  testsupport::TempDir dir;
  QFile file(dir.File(QStringLiteral("p.png")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray::fromBase64(png));
  file.close();
  auto doc = Load(QStringLiteral("<svg xmlns:xlink='http://www.w3.org/1999/xlink'>"
                                 "<image x='1' y='1' width='4' height='4' xlink:href='data:image/png;base64,%1'/>"
                                 "<image width='4' height='4' xlink:href='%2'/>"
                                 "<image width='4' height='4' xlink:href='/dev/zero'/>"
                                 "<image width='4' height='4' xlink:href='http://127.0.0.1:1/x.png'/>"
                                 "<image width='4' height='4' xlink:href='data:image/png;base64,AAAA'/>"
                                 "</svg>")
                      .arg(QLatin1String(png), dir.File(QStringLiteral("p.png"))));
  ASSERT_EQ(doc->ElementCount(), 5);
  EXPECT_TRUE(Child(doc->ElementList(), 0)->HasBitmap());
  EXPECT_TRUE(Child(doc->ElementList(), 1)->HasBitmap());
  EXPECT_FALSE(Child(doc->ElementList(), 2)->HasBitmap()) << "devices are not read";
  EXPECT_FALSE(Child(doc->ElementList(), 3)->HasBitmap()) << "no URLs";
  EXPECT_FALSE(Child(doc->ElementList(), 4)->HasBitmap()) << "broken picture data";
  ExpectRect(doc->ViewRect(), 0, 0, 5, 5, QStringLiteral("images widen the view"));

  // A document that names itself as its image stops nesting.
  const QString self = dir.File(QStringLiteral("self.svg"));
  QFile selfFile(self);
  ASSERT_TRUE(selfFile.open(QIODevice::WriteOnly));
  selfFile.write(QStringLiteral("<svg><image width='4' height='4' href='%1'/></svg>").arg(self).toUtf8());
  selfFile.close();
  TKitGraphicsSVGImport nested;
  EXPECT_NO_THROW(nested.LoadFromFile(self));
  EXPECT_EQ(nested.ElementCount(), 1);
}

TEST(KitSVGSafety, NoExternalEntityOrDtdIsLoaded) {
  testsupport::TempDir dir;
  const QString secret = dir.File(QStringLiteral("secret.txt"));
  QFile s(secret);
  ASSERT_TRUE(s.open(QIODevice::WriteOnly));
  s.write("TOPSECRET");
  s.close();
  const QString dtd = dir.File(QStringLiteral("ext.dtd"));
  QFile d(dtd);
  ASSERT_TRUE(d.open(QIODevice::WriteOnly));
  d.write("<!ENTITY leak 'TOPSECRET'><!ATTLIST rect fill CDATA #FIXED 'red'>");
  d.close();
  testsupport::LoopbackHttpServer server;
  server.AddPage("/x.dtd", "<!ENTITY net 'FROMNET'>");
  server.AddPage("/e.txt", "FROMNET");

  const QString documents[] = {
      // External general entity from a file.
      QStringLiteral("<!DOCTYPE svg [<!ENTITY x SYSTEM 'file://%1'>]><svg><text>&x;</text>"
                     "<rect width='1' height='1'/></svg>")
          .arg(secret),
      // External DTD from a file, declaring an entity and a fixed attribute.
      QStringLiteral("<!DOCTYPE svg SYSTEM 'file://%1'><svg><text>a&leak;</text><rect width='1' height='1'/></svg>")
          .arg(dtd),
      // Parameter entity pulling a DTD.
      QStringLiteral("<!DOCTYPE svg [<!ENTITY % p SYSTEM 'file://%1'> %p;]><svg><text>&leak;</text></svg>").arg(dtd),
      // Over the network.
      QStringLiteral("<!DOCTYPE svg SYSTEM '%1'><svg><text>a&net;</text></svg>").arg(server.Url(QStringLiteral("/x.dtd"))),
      QStringLiteral("<!DOCTYPE svg [<!ENTITY y SYSTEM '%1'>]><svg><text>&y;</text></svg>")
          .arg(server.Url(QStringLiteral("/e.txt"))),
  };
  for (const QString& text : documents) {
    TKitGraphicsSVGImport doc;
    try {
      doc.LoadFromText(text);
    } catch (const EDOMParseError&) {
      // Refusing the document is as good as not loading what it names.
    }
    TMemoryStream out;
    doc.SaveToStream(&out);
    const QByteArray saved(static_cast<const char*>(out.Memory()), int(out.Size()));
    EXPECT_FALSE(saved.contains("TOPSECRET")) << text.toStdString();
    EXPECT_FALSE(saved.contains("FROMNET")) << text.toStdString();
    for (const auto& e : doc.ElementList()) {
      EXPECT_FALSE(e->Text().contains(QStringLiteral("TOPSECRET"))) << text.toStdString();
      EXPECT_NE(e->FillColor(), 0x0000FF) << "the DTD's fixed attribute was applied";
    }
  }
  EXPECT_EQ(server.Requests().size(), 0u) << "nothing is fetched over the network";
}

TEST(KitSVGSafety, EntityExpansionStaysBounded) {
  QString laughs = QStringLiteral("<!DOCTYPE svg [<!ENTITY l0 'lollollollollollollollollollol'>");
  for (int i = 1; i <= 10; ++i)
    laughs += QStringLiteral("<!ENTITY l%1 '&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;'>").arg(i).arg(i - 1);
  laughs += QStringLiteral("]><svg><text>&l10;</text><rect fill='&l10;' width='1' height='1'/></svg>");
  QElapsedTimer timer;
  timer.start();
  TKitGraphicsSVGImport doc;
  try {
    doc.LoadFromText(laughs);
    for (const auto& e : doc.ElementList()) {
      EXPECT_LT(e->Text().size(), 10'000'000);
      EXPECT_LT(e->FillColorValue().size(), 10'000'000);
    }
  } catch (const EDOMParseError& e) {
    EXPECT_FALSE(e.Message().isEmpty());
  }
  EXPECT_LT(timer.elapsed(), 5000);
}

TEST(KitSVGSafety, HugeViewBoxesGiveAnEmptyBitmap) {
  const char* cases[] = {"0 0 1e30 1e30", "0 0 100000 100000", "0 0 30000 30000", "0 0 1e37 1", "0 0 -5 5",
                         "0 0 0 0"};
  for (const char* box : cases) {
    auto doc = Load(QStringLiteral("<svg viewBox='%1'><rect width='1' height='1'/></svg>").arg(QLatin1String(box)));
    std::unique_ptr<TKitBitmap> bitmap = doc->GenerateBitmap(-1, -1);
    ASSERT_NE(bitmap, nullptr) << box;
    EXPECT_EQ(bitmap->Graphic(), nullptr) << box;
  }
  auto doc = Load(QStringLiteral("<svg viewBox='0 0 4 4'><rect width='1' height='1'/></svg>"));
  EXPECT_EQ(doc->GenerateBitmap(1e9f, 1e9f)->Graphic(), nullptr);
  EXPECT_EQ(doc->GenerateBitmap(std::numeric_limits<float>::infinity(), 4)->Graphic(), nullptr);
  EXPECT_EQ(doc->GenerateBitmap(std::nanf(""), 4)->Width(), 4) << "NaN is not above -1: the view size";
}

TEST(KitSVGSafety, NonFiniteAndHugeNumbersDrawOrFailCleanly) {
  const char* bodies[] = {
      "<path d='M 1e38 1e38 L -1e38 -1e38 L 1e38 -1e38 z'/>",
      "<path d='M 0 0 A 1e38 1e-38 1e38 1 1 1e37 1e37'/>",
      "<rect width='1e38' height='1e38' rx='1e38' transform='scale(1e38)'/>",
      "<circle r='1e999' cx='nan'/>",
      "<path transform='matrix(1e38 0 0 1e38 1e38 1e38)' d='M0 0 C 1e38 0 0 1e38 1 1'/>",
      "<g transform='rotate(1e38) skewX(90) scale(0)'><rect width='4' height='4'/></g>",
      "<polygon points='1e38,1e38 -1e38,0 0,1e38 inf,nan'/>",
  };
  for (const char* body : bodies) {
    auto doc = Load(QStringLiteral("<svg viewBox='0 0 16 16'>%1</svg>").arg(QLatin1String(body)));
    std::unique_ptr<TKitBitmap> bitmap;
    EXPECT_NO_THROW(bitmap = doc->GenerateBitmap(16, 16)) << body;
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 16) << body;
    TBitmap target(16, 16);
    EXPECT_NO_THROW(doc->Draw(target.Canvas(), TRectF(0, 0, 16, 16), true)) << body;
  }
}

// A document naming itself through a hundred image elements: every nested
// document would load a hundred more (10^8 loads four levels down). The
// pictures one load reads, nested documents included, are bounded.
TEST(KitSVGSafety, ImagesNamingTheirOwnDocumentAreBounded) {
  testsupport::TempDir dir;
  const QString file = dir.File(QStringLiteral("self.svg"));
  for (const bool relative : {false, true}) {
    QString images;
    for (int i = 0; i < 100; ++i)
      images += QStringLiteral("<image x='%1' y='0' width='1' height='1' href='%2'/>")
                    .arg(i % 10)
                    .arg(relative ? QStringLiteral("self.svg") : file);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 10 10'>"
                           "<rect width='10' height='10' fill='red'/>%1</svg>")
                .arg(images)
                .toUtf8());
    f.close();
    TKitGraphicsSVGImport doc;
    doc.LoadFromFile(file);
    ASSERT_EQ(doc.ElementCount(), 101);
    int loaded = 0;
    for (const auto& e : doc.ElementList()) loaded += e->HasBitmap();
    // The first image loads its document (which spends the budget further
    // down); the budget is shared, so later ones stay empty.
    EXPECT_GE(loaded, 1) << (relative ? "a name relative to the document's folder" : "an absolute name");
    EXPECT_LE(loaded, TKitGraphicsSVGImport::MaxImageLoads);
    EXPECT_LT(loaded, 100);
    // Drawing it reads nothing more.
    std::unique_ptr<TKitBitmap> bitmap = doc.GenerateBitmap(20, 20);
    ASSERT_NE(bitmap, nullptr);
  }
}

// An image's relative name is found next to the document, whatever the
// process's current folder.
TEST(KitSVGDocument, ImageNamesAreRelativeToTheDocument) {
  testsupport::TempDir dir;
  QImage png(4, 4, QImage::Format_RGB32);
  png.fill(Qt::red);
  ASSERT_TRUE(png.save(dir.File(QStringLiteral("dot.png")), "PNG"));
  const QString file = dir.File(QStringLiteral("doc.svg"));
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(
      "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 8 8'><image width='8' height='8' href='dot.png'/>"
      "<image width='8' height='8' href='no-such.png'/></svg>");
  f.close();
  ASSERT_NE(QDir::currentPath(), dir.Path());
  TKitGraphicsSVGImport doc;
  doc.LoadFromFile(file);
  ASSERT_EQ(doc.ElementCount(), 2);
  EXPECT_TRUE(doc.ElementList()[0]->HasBitmap());
  EXPECT_FALSE(doc.ElementList()[1]->HasBitmap());
  // Text has no folder: a relative name is not looked up there.
  TKitGraphicsSVGImport text;
  text.LoadFromText(QStringLiteral("<svg viewBox='0 0 8 8'><image width='8' height='8' href='dot.png'/></svg>"));
  EXPECT_FALSE(text.ElementList()[0]->HasBitmap());
}
