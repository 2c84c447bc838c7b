// The font path: a control's TFont reaches its Qt widget, and ParentFont
// hands a parent's font down the tree.

#include <QFontInfo>
#include <QLineEdit>

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/platform/vcl/StdCtrlsTestSupport.h"

namespace {

class FontPathTest : public StdFormTest {};

TEST_F(FontPathTest, TheFontReachesTheWidgetsOfQtBackedControlsAndTheirChildren) {
  auto* panel = Make<TPanel>(10, 10, 300, 200, QStringLiteral("panel"));
  auto* edit = new TEdit(Form.get());
  edit->SetParent(panel);
  edit->SetBounds(10, 10, 200, 24);
  auto* memo = new TMemo(Form.get());
  memo->SetParent(panel);
  memo->SetBounds(10, 40, 200, 80);
  vcltest::Pump();

  // The default font, before any change: Tahoma 8 points, 11 pixels.
  EXPECT_EQ(edit->Widget()->font().family(), QStringLiteral("Tahoma"));
  EXPECT_EQ(edit->Widget()->font().pixelSize(), 11);

  Form->Font()->SetName(QStringLiteral("Arial"));
  Form->Font()->SetHeight(-15);
  Form->Font()->SetStyle(TFontStyles{fsBold, fsItalic});
  for (TWinControl* c : std::initializer_list<TWinControl*>{Form.get(), panel, edit, memo}) {
    SCOPED_TRACE(c->ClassName().toStdString());
    const QFont f = c->Widget()->font();
    EXPECT_EQ(f.family(), QStringLiteral("Arial"));
    EXPECT_EQ(f.pixelSize(), 15);
    EXPECT_TRUE(f.bold());
    EXPECT_TRUE(f.italic());
    EXPECT_FALSE(f.underline());
    // Qt draws the face GDI text uses for it.
    EXPECT_EQ(QFontInfo(f).family(), QStringLiteral("Liberation Sans"));
  }
  EXPECT_EQ(panel->Font()->Name(), QStringLiteral("Arial"));
  EXPECT_EQ(memo->Font()->Height(), -15);

  // A positive height is the cell height: the character height is smaller.
  edit->Font()->SetHeight(20);
  EXPECT_GT(edit->Widget()->font().pixelSize(), 10);
  EXPECT_LT(edit->Widget()->font().pixelSize(), 20);
  EXPECT_EQ(memo->Widget()->font().pixelSize(), 15);
}

TEST_F(FontPathTest, AWindowCreatedLaterGetsTheFontItWasGiven) {
  auto* edit = new TEdit(Form.get());
  edit->Font()->SetName(QStringLiteral("Courier New"));
  edit->Font()->SetSize(12);  // at 96 pixels per inch: 16 pixels
  edit->Font()->SetStyle(TFontStyles{fsUnderline, fsStrikeOut});
  ASSERT_FALSE(edit->HandleAllocated());
  edit->SetParent(Form.get());
  const QFont f = edit->Widget()->font();
  EXPECT_EQ(f.family(), QStringLiteral("Courier New"));
  EXPECT_EQ(f.pixelSize(), 16);
  EXPECT_TRUE(f.underline());
  EXPECT_TRUE(f.strikeOut());
  EXPECT_FALSE(f.bold());
  EXPECT_EQ(QFontInfo(f).family(), QStringLiteral("Liberation Mono"));
}

TEST_F(FontPathTest, TheWidgetFontFollowsTheControlsResolution) {
  auto* edit = Make<TEdit>(10, 10, 100, 24);
  Form->Font()->SetHeight(-12);
  EXPECT_EQ(edit->Widget()->font().pixelSize(), 12);
  Form->ScaleForPPI(144);
  EXPECT_EQ(edit->Font()->Height(), -18);
  EXPECT_EQ(edit->Widget()->font().pixelSize(), 18);
  EXPECT_TRUE(edit->ParentFont());  // scaled as the parent's font, not its own
  Form->ScaleForPPI(96);
  EXPECT_EQ(edit->Widget()->font().pixelSize(), 12);
}

TEST_F(FontPathTest, ParentFontRules) {
  auto* panel = Make<TPanel>(0, 0, 300, 200, QStringLiteral("panel"));
  auto* label = new TLabel(Form.get());
  label->SetParent(panel);
  auto* own = new TEdit(Form.get());
  own->SetParent(panel);
  auto* inherit = new TEdit(Form.get());
  inherit->SetParent(panel);

  EXPECT_FALSE(Form->ParentFont());  // a form has its own font
  for (TControl* c : std::initializer_list<TControl*>{panel, label, own, inherit}) EXPECT_TRUE(c->ParentFont());

  // Setting Font clears ParentFont.
  own->Font()->SetColor(clRed);
  EXPECT_FALSE(own->ParentFont());

  // The parent's font goes to every child with ParentFont, down the tree.
  Form->Font()->SetName(QStringLiteral("Times New Roman"));
  Form->Font()->SetHeight(-17);
  for (TControl* c : std::initializer_list<TControl*>{panel, label, inherit}) {
    SCOPED_TRACE(c->ClassName().toStdString());
    EXPECT_TRUE(c->Font()->SameAs(*Form->Font()));
    EXPECT_TRUE(c->ParentFont());  // taking the parent's font keeps it
  }
  EXPECT_EQ(inherit->Widget()->font().family(), QStringLiteral("Times New Roman"));
  // A child with its own font keeps it.
  EXPECT_EQ(own->Font()->Name(), QStringLiteral("Tahoma"));
  EXPECT_EQ(own->Font()->Height(), -11);
  EXPECT_EQ(own->Font()->Color(), clRed);
  EXPECT_EQ(own->Widget()->font().family(), QStringLiteral("Tahoma"));

  // Turning ParentFont on again takes the parent's font at once.
  own->SetParentFont(true);
  EXPECT_TRUE(own->Font()->SameAs(*panel->Font()));
  EXPECT_EQ(own->Widget()->font().pixelSize(), 17);
  EXPECT_TRUE(own->ParentFont());

  // A control put on a parent takes its font; one with its own font keeps it.
  auto* late = new TLabel(Form.get());
  late->SetParent(Form.get());
  EXPECT_TRUE(late->Font()->SameAs(*Form->Font()));
  auto* styled = new TLabel(Form.get());
  styled->Font()->SetHeight(-30);
  styled->SetParent(Form.get());
  EXPECT_EQ(styled->Font()->Height(), -30);

  // CM_PARENTFONTCHANGED may carry the font to take.
  TFont given;
  given.SetName(QStringLiteral("Verdana"));
  late->Perform(CM_PARENTFONTCHANGED, 1, reinterpret_cast<LPARAM>(&given));
  EXPECT_EQ(late->Font()->Name(), QStringLiteral("Verdana"));
  EXPECT_TRUE(late->ParentFont());
}

TEST_F(FontPathTest, AFontMessageReachesAChildOnlyWhenItsFontChanges) {
  auto* edit = Make<TEdit>(0, 0, 100, 24);
  int changes = 0;
  edit->SetWindowProc([&, old = edit->WindowProc()](TMessage& m) {
    if (m.Msg == CM_FONTCHANGED) ++changes;
    old(m);
  });
  Form->Font()->SetColor(clBlue);
  EXPECT_EQ(changes, 1);
  Form->Font()->SetColor(clBlue);  // no change: no message
  EXPECT_EQ(changes, 1);
  edit->SetParentFont(false);
  edit->SetParentFont(true);  // already the parent's font
  EXPECT_EQ(changes, 1);
  edit->SetWindowProc(nullptr);
}

TEST(FontPublishing, ParentFontIsPublishedAndAnInheritedFontIsNotStored) {
  const TPropInfo* parentFont = TEdit::StaticClassInfo()->FindProp(QStringLiteral("ParentFont"));
  ASSERT_NE(parentFont, nullptr);
  ASSERT_TRUE(parentFont->HasDefault());
  EXPECT_EQ(parentFont->Default(), 1);

  TForm form(nullptr);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  EXPECT_FALSE(IsStoredProp(label, QStringLiteral("Font")));
  label->Font()->SetStyle(TFontStyles{fsBold});
  EXPECT_TRUE(IsStoredProp(label, QStringLiteral("Font")));
}

}  // namespace
