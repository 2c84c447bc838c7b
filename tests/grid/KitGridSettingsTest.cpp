// The grid's settings objects: their defaults (the values the tables of the
// settings name, read through the reflection table), which setters notify
// and when, what Assign copies and skips (it never notifies and ignores
// other classes), and what the objects ask of the grid that owns them.

#include <gtest/gtest.h>

#include <QMap>
#include <QStringList>
#include <functional>
#include <memory>
#include <set>

#include "grid/model/KitGridLook.h"
#include "grid/model/KitGridNode.h"
#include "grid/model/KitGridSettings.h"
#include "grid/model/KitPopupAppearance.h"
#include "tests/support/TestSupport.h"

namespace {

// A grid stand-in that records what the settings ask of it.
class TOwnerStandIn : public TComponent, public IKitGridSettingsOwner {
 public:
  TOwnerStandIn() : TComponent(nullptr) {}
  TComponent* SettingsComponent() override { return this; }
  void SettingsRepaint() override { ++Repaints; }
  void SetVDXGradientColor(const QString& PropertyName, TColor Value) override { Gradients[PropertyName] = Value; }
  int SettingsNodeCount() override { return NodeCount; }
  bool SettingsHasParent() override { return HasParent; }
  void SettingsStretchColumn(int ACol, int NewWidth) override {
    Stretches << QStringLiteral("%1,%2").arg(ACol).arg(NewWidth);
  }

  int Repaints = 0;
  QMap<QString, TColor> Gradients;
  int NodeCount = 0;
  bool HasParent = false;
  QStringList Stretches;
};

bool IsOrdinal(const TPropInfo* prop) {
  return prop->Kind() == tkInteger || prop->Kind() == tkEnumeration || prop->Kind() == tkSet ||
         prop->Kind() == tkInt64;
}

// Every published ordinal property of the object reads its table default,
// and the defaults are those listed in Expected; every property not listed
// defaults to 0 (False, the first value of its enumeration).
void CheckDefaults(const TObject* object, const TClassInfo* info, const QMap<QString, Int64>& expected) {
  QStringList seen;
  for (const TPropInfo* prop : info->PropList()) {
    if (!IsOrdinal(prop)) continue;
    seen << prop->Name();
    const Int64 value = prop->GetOrd(object);
    EXPECT_EQ(value, expected.value(prop->Name(), 0)) << info->ClassName().toStdString() << "." << prop->Name().toStdString();
    if (prop->HasDefault())
      EXPECT_EQ(value, prop->Default()) << "stream default of " << prop->Name().toStdString();
  }
  for (const QString& name : expected.keys())
    EXPECT_TRUE(seen.contains(name)) << "no published ordinal " << name.toStdString();
}

// Another value of the property's type.
Int64 OtherValue(const TPropInfo* prop, Int64 value) {
  if (prop->Kind() == tkEnumeration) {
    const Int64 count = prop->PropType()->MaxValue() + 1;
    return (value + 1) % count;
  }
  return value + 7;
}

// Sets every published ordinal and string property of Source to another
// value, assigns Source to Dest, and answers the properties Dest did not
// take over (they kept the value of a fresh object).
template <class T>
std::set<QString> NotCopied(T& source, T& dest, const T& fresh) {
  const TClassInfo* info = T::StaticClassInfo();
  for (const TPropInfo* prop : info->PropList()) {
    if (!prop->HasSetter()) continue;
    if (IsOrdinal(prop)) prop->SetOrd(&source, OtherValue(prop, prop->GetOrd(&source)));
    else if (prop->Kind() == tkUString) prop->SetStr(&source, prop->GetStr(&source) + u"changed"_qs);
  }
  dest.Assign(&source);
  std::set<QString> kept;
  for (const TPropInfo* prop : info->PropList()) {
    if (IsOrdinal(prop)) {
      const Int64 value = prop->GetOrd(&dest);
      if (value != prop->GetOrd(&source)) {
        EXPECT_EQ(value, prop->GetOrd(&fresh)) << prop->Name().toStdString();
        kept.insert(prop->Name());
      }
    } else if (prop->Kind() == tkUString) {
      if (prop->GetStr(&dest) != prop->GetStr(&source)) kept.insert(prop->Name());
    }
  }
  return kept;
}

}  // namespace

// ---------------------------------------------------------------------------
// Defaults

TEST(KitGridSettingsTest, Defaults) {
  TComponent owner(nullptr);
  TSearchFooter footer(&owner, false);
  CheckDefaults(&footer, TSearchFooter::StaticClassInfo(),
                {{u"AutoSearch"_qs, 1}, {u"Color"_qs, 0xFFFFFF}, {u"ColorTo"_qs, clBtnFace},
                 {u"IgnoreHTML"_qs, 1}, {u"SearchColumn"_qs, -1}, {u"SearchColor"_qs, clWindow},
                 {u"SearchTextColor"_qs, clWindowText}, {u"SearchErrorColor"_qs, 0x0000FF},
                 {u"SearchErrorTextColor"_qs, 0xFFFFFF}, {u"ShowClose"_qs, 1}, {u"ShowFindNext"_qs, 1},
                 {u"ShowFindPrev"_qs, 1}, {u"ShowHighLight"_qs, 1}, {u"ShowMatchCase"_qs, 1}});
  EXPECT_EQ(footer.ResultFormat(), u"(%d of %d)"_qs);
  EXPECT_EQ(footer.FindNextCaption(), QString());
  EXPECT_FALSE(footer.AutoThemeAdapt());

  TNavigation navigation;
  CheckDefaults(&navigation, TNavigation::StaticClassInfo(),
                {{u"AdvanceOnEnterLoop"_qs, 1}, {u"AdvanceAutoEdit"_qs, 1}, {u"AdvanceSkipReadOnlyCells"_qs, 1},
                 {u"AutoComboSelect"_qs, 1}, {u"AllowCtrlEnter"_qs, 1}, {u"AllowClipboardRowGrow"_qs, 1},
                 {u"AllowClipboardColGrow"_qs, 1}, {u"EditSelectAll"_qs, 1}, {u"ComboGetUpDown"_qs, 1},
                 {u"CursorWalkAlwaysEdit"_qs, 1}, {u"LeftRightRowSelect"_qs, 1},
                 {u"CopyHTMLTagsToClipboard"_qs, 1}, {u"SkipFixedCells"_qs, 1}, {u"SkipDisabledRows"_qs, 1}});
  EXPECT_EQ(TNavigation::StaticClassInfo()->PropCount(), 50);

  TMouseActions mouse(&owner);
  CheckDefaults(&mouse, TMouseActions::StaticClassInfo(),
                {{u"AllSelectAllFixedColumns"_qs, 1}, {u"AutoSizeColOnDblClick"_qs, 1}, {u"PreciseNodeClick"_qs, 1}});
  EXPECT_EQ(mouse.FixedComboValues()->Count(), 0);

  TSyncGrid sync(&owner);
  CheckDefaults(&sync, TSyncGrid::StaticClassInfo(), {});
  EXPECT_EQ(sync.Grid(), nullptr);

  TBands bands;
  CheckDefaults(&bands, TBands::StaticClassInfo(),
                {{u"PrimaryColor"_qs, clInfoBk}, {u"PrimaryLength"_qs, 1}, {u"SecondaryColor"_qs, clWindow},
                 {u"SecondaryLength"_qs, 1}});
  EXPECT_EQ(bands.TotalLength(), 2);

  TOwnerStandIn grid;
  TControlLook look(&grid);
  CheckDefaults(&look, TControlLook::StaticClassInfo(),
                {{u"CommentColor"_qs, 0x0000FF}, {u"FixedGradientFrom"_qs, clNone}, {u"FixedGradientTo"_qs, clNone},
                 {u"FixedGradientMirrorFrom"_qs, clNone}, {u"FixedGradientMirrorTo"_qs, clNone},
                 {u"FixedGradientHoverFrom"_qs, 0xFFFFFF}, {u"FixedGradientHoverTo"_qs, 0x808080},
                 {u"FixedGradientHoverMirrorFrom"_qs, clNone}, {u"FixedGradientHoverMirrorTo"_qs, clNone},
                 {u"FixedGradientHoverBorder"_qs, 0xC0C0C0}, {u"FixedGradientDownFrom"_qs, 0xC0C0C0},
                 {u"FixedGradientDownTo"_qs, 0x808080}, {u"FixedGradientDownMirrorFrom"_qs, clNone},
                 {u"FixedGradientDownMirrorTo"_qs, clNone}, {u"FixedGradientDownBorder"_qs, 0x808080},
                 {u"CheckSize"_qs, 15}, {u"RadioSize"_qs, 10}, {u"ControlStyle"_qs, TControlLook::csTheme},
                 {u"DropDownButtonWidth"_qs, 16}, {u"DropDownCount"_qs, 8}, {u"ProgressBorderColor"_qs, 0x808080},
                 {u"ProgressMarginX"_qs, 2}, {u"ProgressMarginY"_qs, 2}});
  EXPECT_TRUE(look.CheckedGlyph()->Empty());
  // The look's creation reset the grid's six mirror colours, and only those.
  EXPECT_EQ(grid.Gradients.size(), 6);
  EXPECT_EQ(grid.Gradients.value(u"VDXGradientHoverMirrorTo"_qs), clNone);

  TGridProgressAppearance progress;
  CheckDefaults(&progress, TGridProgressAppearance::StaticClassInfo(),
                {{u"CompleteColor"_qs, 0x0000FF}, {u"CompleteFontColor"_qs, 0xFF0000}, {u"UnCompleteColor"_qs, clNone},
                 {u"UnCompleteFontColor"_qs, clWindowText}, {u"Level0Color"_qs, 0x00FF00},
                 {u"Level0ColorTo"_qs, 0xE1FFE1}, {u"Level1Color"_qs, 0x00FFFF}, {u"Level1ColorTo"_qs, 0xCAFFFF},
                 {u"Level2Color"_qs, 0x53A9FF}, {u"Level2ColorTo"_qs, 0xA8D3FF}, {u"Level3Color"_qs, 0x0000FF},
                 {u"Level3ColorTo"_qs, 0xCACAFF}, {u"Level1Perc"_qs, 70}, {u"Level2Perc"_qs, 90},
                 {u"ShowPercentage"_qs, 1}, {u"CompletionSmooth"_qs, 1}, {u"ShowGradient"_qs, 1}, {u"Steps"_qs, 11}});
  EXPECT_EQ(progress.Style(), psXP);

  TBackGround background(&grid);
  CheckDefaults(&background, TBackGround::StaticClassInfo(), {{u"Color"_qs, clWindow}, {u"ColorTo"_qs, clBtnFace}});

  TAutoColor autoColor;
  CheckDefaults(autoColor.NegativeNumber(), TColorSetting::StaticClassInfo(),
                {{u"TextColor"_qs, clNone}, {u"BkgColor"_qs, clNone}});
  EXPECT_FALSE(autoColor.IsActive());

  TCellNode node(&grid);
  CheckDefaults(&node, TCellNode::StaticClassInfo(),
                {{u"Color"_qs, 0xC0C0C0}, {u"NodeType"_qs, cnXP}, {u"NodeIndent"_qs, 12}, {u"ShowTree"_qs, 1},
                 {u"ShowTreeFull"_qs, 1}, {u"TreeColor"_qs, 0x808080}});

  TSizeWhileTyping typing;
  CheckDefaults(&typing, TSizeWhileTyping::StaticClassInfo(), {});

  TColumnSize columns(&grid);
  CheckDefaults(&columns, TColumnSize::StaticClassInfo(), {{u"StretchColumn"_qs, -1}});

  THeaderAppearance header(&grid);
  CheckDefaults(&header, THeaderAppearance::StaticClassInfo(),
                {{u"Color"_qs, 0xC0C0C0}, {u"ColorTo"_qs, 0xFFFFFF}, {u"GradientDirection"_qs, gdVertical},
                 {u"Visible"_qs, 1}, {u"Height"_qs, 22}, {u"BorderWidth"_qs, 1}, {u"ImageIndex"_qs, -1},
                 {u"ButtonAlignment"_qs, baRight}});
  EXPECT_EQ(header.Font()->Name(), u"MS Sans Serif"_qs);
  EXPECT_EQ(header.Font()->Height(), -11);
  TFooterAppearance footerBar(&grid);
  EXPECT_TRUE(footerBar.SizeGrip());
  EXPECT_EQ(footerBar.Font()->Name(), TFont().Name());
  EXPECT_EQ(footerBar.Font()->Height(), -11);
}

TEST(KitGridSettingsTest, SearchFooterCaptionsAtDesignTime) {
  TComponent owner(nullptr);
  TSearchFooter designed(&owner, true);
  EXPECT_EQ(designed.FindNextCaption(), u"Find &next"_qs);
  EXPECT_EQ(designed.FindPrevCaption(), u"Find &previous"_qs);
  EXPECT_EQ(designed.MatchCaseCaption(), u"Match case"_qs);
  EXPECT_EQ(designed.HighLightCaption(), u"Highlight"_qs);
  EXPECT_EQ(designed.HintClose(), u"Close"_qs);
  EXPECT_EQ(designed.HintFindNext(), u"Find next occurrence"_qs);
  EXPECT_EQ(designed.HintFindPrev(), u"Find previous occurrence"_qs);
  EXPECT_EQ(designed.HintHighlight(), u"Highlight occurrences"_qs);
  EXPECT_EQ(designed.GetOwner(), &owner);
}

// ---------------------------------------------------------------------------
// Notifications

TEST(KitGridSettingsTest, SearchFooterNotifications) {
  TComponent owner(nullptr);
  TSearchFooter footer(&owner, false);
  int changes = 0;
  footer.OnChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &footer);
    ++changes;
  };
  TFont otherFont;
  otherFont.SetName(u"DejaVu Serif"_qs);
  const struct {
    const char* Name;
    std::function<void()> Set;
    int Changes;
  } cases[] = {
      {"ShowFindNext to its value", [&] { footer.SetShowFindNext(true); }, 0},
      {"ShowFindNext changed", [&] { footer.SetShowFindNext(false); }, 1},
      {"ShowClose to its value", [&] { footer.SetShowClose(true); }, 1},
      {"Color to its value", [&] { footer.SetColor(clWhite); }, 1},
      {"SearchColor to its value", [&] { footer.SetSearchColor(clWindow); }, 0},
      {"SearchColor changed", [&] { footer.SetSearchColor(clRed); }, 1},
      {"SearchType to its value", [&] { footer.SetSearchType(stSearch); }, 0},
      {"Visible changed", [&] { footer.SetVisible(true); }, 1},
      {"a caption", [&] { footer.SetHintClose(u"x"_qs); }, 1},
      {"a stored-only value", [&] { footer.SetSearchErrorColor(clBlue); }, 0},
      {"AlwaysHighLight", [&] { footer.SetAlwaysHighLight(true); }, 0},
      {"the font copied", [&] { footer.SetFont(&otherFont); }, 1},
      {"a change inside the font", [&] { footer.Font()->SetSize(14); }, 1},
      {"AutoThemeAdapt", [&] { footer.SetAutoThemeAdapt(false); }, 1},
  };
  for (const auto& c : cases) {
    changes = 0;
    c.Set();
    EXPECT_EQ(changes, c.Changes) << c.Name;
  }
  EXPECT_EQ(footer.Font()->Name(), u"DejaVu Serif"_qs);

  footer.SetLastSearch(u"abc"_qs);
  changes = 0;
  footer.SetAutoSearch(true);  // empties the last search, no notice
  EXPECT_EQ(footer.LastSearch(), QString());
  EXPECT_EQ(changes, 0);
}

TEST(KitGridSettingsTest, BandsNotifyOnlyWhileActive) {
  TBands bands;
  int changes = 0;
  bands.OnChange = [&](TObject*) { ++changes; };
  bands.SetPrimaryColor(clRed);
  EXPECT_EQ(bands.PrimaryColor(), clRed);
  EXPECT_EQ(changes, 0);
  bands.SetPrimaryLength(3);
  EXPECT_EQ(bands.TotalLength(), 4);
  EXPECT_EQ(changes, 0);
  bands.SetActive(true);
  bands.SetActive(true);
  EXPECT_EQ(changes, 1);
  bands.SetSecondaryColor(clBlue);
  bands.SetSecondaryColor(clBlue);
  bands.SetSecondaryLength(2);
  EXPECT_EQ(bands.TotalLength(), 5);
  EXPECT_EQ(changes, 3);
  bands.SetPrint(true);  // stored only
  EXPECT_EQ(changes, 3);
}

TEST(KitGridSettingsTest, NavigationAdvanceRules) {
  TNavigation navigation;
  int changes = 0;
  navigation.OnChange = [&](TObject*) { ++changes; };
  navigation.SetAdvanceDirection(adLeftRight);
  navigation.SetAdvanceInsert(false);
  EXPECT_EQ(changes, 0);
  navigation.SetAdvanceDirection(adTopBottom);
  navigation.SetAdvanceInsert(true);
  EXPECT_EQ(changes, 2);

  navigation.SetAdvanceAuto(true);
  EXPECT_TRUE(navigation.AdvanceOnEnter());
  navigation.SetAdvanceAuto(false);
  EXPECT_TRUE(navigation.AdvanceOnEnter());
  navigation.SetAutoGotoWhenSorted(true);
  EXPECT_EQ(changes, 2);
}

TEST(KitGridSettingsTest, MouseActionRules) {
  TComponent owner(nullptr);
  TMouseActions mouse(&owner);
  int changes = 0, invalidates = 0, disables = 0;
  bool designing = false;
  mouse.OnChange = [&](TObject*) { ++changes; };
  mouse.OnInvalidate = [&](TObject*) { ++invalidates; };
  mouse.OnDisableEdit = [&](TObject*) { ++disables; };

  mouse.SetHotmailRowSelect(true);
  EXPECT_TRUE(mouse.DisjunctRowSelect());
  EXPECT_TRUE(mouse.CheckAllCheck());
  mouse.SetHotmailRowSelect(false);
  EXPECT_EQ(invalidates, 2);

  mouse.SetEditOnDblClickOnly(false);
  mouse.SetEditOnDblClickOnly(true);
  EXPECT_EQ(disables, 1);

  mouse.SetWheelAction(waMoveSelection);
  mouse.SetWheelAction(waScroll);
  EXPECT_EQ(changes, 1);

  // At run time the three disjunct selections are independent (also when
  // nobody answers whether the owner is designed)...
  mouse.SetDisjunctColSelect(true);
  EXPECT_TRUE(mouse.DisjunctRowSelect());
  EXPECT_TRUE(mouse.DisjunctColSelect());
  // ...in a designed owner one excludes the others.
  mouse.OnIsDesigning = [&](TObject*, bool& IsDesigning) { IsDesigning = designing; };
  mouse.SetDisjunctCellSelect(true);
  EXPECT_TRUE(mouse.DisjunctRowSelect());
  designing = true;
  mouse.SetDisjunctColSelect(true);
  EXPECT_FALSE(mouse.DisjunctRowSelect());
  EXPECT_FALSE(mouse.DisjunctCellSelect());
  EXPECT_TRUE(mouse.DisjunctColSelect());
  mouse.SetDisjunctRowSelect(false);  // switching off touches nothing else
  EXPECT_TRUE(mouse.DisjunctColSelect());

  mouse.SetDisjunctRowSelectDirect(true);
  EXPECT_TRUE(mouse.DisjunctRowSelect());
  EXPECT_TRUE(mouse.DisjunctColSelect());

  TStringList values;
  values.Add(u"a"_qs);
  values.Add(u"b"_qs);
  mouse.SetFixedComboValues(&values);
  values.Clear();
  EXPECT_EQ(mouse.FixedComboValues()->Count(), 2);
}

TEST(KitGridSettingsTest, SyncGridRefusesItsOwner) {
  TComponent owner(nullptr);
  TComponent other(nullptr);
  TSyncGrid sync(&owner);
  sync.SetGrid(&other);
  sync.SetGrid(&owner);
  EXPECT_EQ(sync.Grid(), &other);
  sync.SetGrid(nullptr);
  EXPECT_EQ(sync.Grid(), nullptr);

  // Assign goes through the setter: a source synchronised with this
  // object's owner leaves Grid as it was.
  TSyncGrid source(&other);
  source.SetGrid(&owner);
  source.SetMoveRow(true);
  sync.SetGrid(&other);
  sync.Assign(&source);
  EXPECT_EQ(sync.Grid(), &other);
  EXPECT_TRUE(sync.MoveRow());
}

TEST(KitGridSettingsTest, ControlLookRepaintsAndGradients) {
  TOwnerStandIn grid;
  TControlLook look(&grid);
  grid.Gradients.clear();

  look.SetCheckSize(18);
  EXPECT_EQ(look.CheckSize(), 18);
  look.SetControlStyle(TControlLook::csVDX);
  EXPECT_EQ(look.CheckSize(), 16);
  EXPECT_EQ(look.GetCheckSize(), 16);
  look.SetControlStyle(TControlLook::csFlat);
  EXPECT_EQ(look.CheckSize(), 18);

  const struct {
    const char* Name;
    std::function<void()> Set;
    int Repaints;
  } repaints[] = {
      {"Color to its value", [&] { look.SetColor(look.Color()); }, 1},
      {"FlatButton", [&] { look.SetFlatButton(false); }, 1},
      {"ControlStyle to its value", [&] { look.SetControlStyle(TControlLook::csFlat); }, 0},
      {"DropDownButtonWidth to its value", [&] { look.SetDropDownButtonWidth(16); }, 0},
      {"RadioRange changed", [&] { look.SetRadioRange(true); }, 1},
      {"ProgressHeight -1", [&] { look.SetProgressHeight(-1); }, 0},
      {"ProgressHeight 4", [&] { look.SetProgressHeight(4); }, 1},
      {"a glyph", [&] { TBitmap glyph(4, 4); look.SetCheckedGlyph(&glyph); }, 1},
      {"a plain value", [&] { look.SetDropDownCount(12); }, 0},
      {"a gradient", [&] { look.SetFixedGradientFrom(clRed); }, 0},
  };
  for (const auto& c : repaints) {
    grid.Repaints = 0;
    c.Set();
    EXPECT_EQ(grid.Repaints, c.Repaints) << c.Name;
  }
  EXPECT_EQ(look.ProgressHeight(), 4);
  EXPECT_EQ(look.CheckedGlyph()->Width(), 4);

  // clNone reaches the grid only for the mirror colours.
  grid.Gradients.clear();
  look.SetFixedGradientFrom(clNone);
  look.SetFixedGradientHoverBorder(clNone);
  look.SetFixedGradientMirrorFrom(clNone);
  look.SetFixedGradientDownTo(0x123456);
  EXPECT_EQ(grid.Gradients, (QMap<QString, TColor>{{u"VDXGradientMirrorFrom"_qs, clNone},
                                                   {u"VDXGradientDownTo"_qs, 0x123456}}));

  // Init: the colours back, the grid's mirrors through the setters.
  grid.Gradients.clear();
  look.SetColor(clRed);
  look.Init();
  EXPECT_EQ(look.Color(), 0);
  EXPECT_EQ(look.FixedGradientDownTo(), 0x808080);
  EXPECT_EQ(grid.Gradients.size(), 6);
}

TEST(KitGridSettingsTest, ProgressAppearanceAndColours) {
  TGridProgressAppearance progress;
  int changes = 0;
  progress.OnChange = [&](TObject*) { ++changes; };
  progress.SetSteps(11);
  progress.SetLevel1Perc(70);
  EXPECT_EQ(changes, 0);
  progress.SetSteps(20);
  progress.SetStyle(psClassic);
  EXPECT_EQ(changes, 2);

  TGridProgressAppearance source;
  source.SetStyle(psClassic);
  source.SetShowBorder(true);
  source.SetLevel3Color(clBlue);
  TGridProgressAppearance dest;
  int destChanges = 0;
  dest.OnChange = [&](TObject*) { ++destChanges; };
  dest.Assign(&source);
  EXPECT_EQ(destChanges, 1);  // one notice for the whole copy
  EXPECT_EQ(dest.Style(), psClassic);
  EXPECT_TRUE(dest.ShowBorder());
  EXPECT_EQ(dest.Level3Color(), clBlue);

  TAutoColor autoColor;
  int autoChanges = 0;
  autoColor.OnChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &autoColor);
    ++autoChanges;
  };
  autoColor.PositiveNumber()->SetTextColor(clNone);
  EXPECT_EQ(autoChanges, 0);
  autoColor.PositiveNumber()->SetTextColor(clGreen);
  EXPECT_EQ(autoChanges, 1);
  EXPECT_TRUE(autoColor.IsActive());
  TAutoColor other;
  other.NegativeNumber()->SetBkgColor(clRed);
  autoColor.Assign(&other);
  EXPECT_EQ(autoChanges, 1);
  EXPECT_EQ(autoColor.NegativeNumber()->BkgColor(), clRed);
  EXPECT_EQ(autoColor.PositiveNumber()->TextColor(), clNone);
  EXPECT_TRUE(autoColor.IsActive());
  autoColor.NegativeNumber()->SetBkgColor(clNone);
  EXPECT_FALSE(autoColor.IsActive());
}

TEST(KitGridSettingsTest, BackgroundRepaintsEveryTime) {
  TOwnerStandIn grid;
  TBackGround background(&grid);
  background.SetLeft(0);
  background.SetLeft(0);
  background.SetDisplay(bdGradientVert);
  EXPECT_EQ(grid.Repaints, 3);
  TBackGround source(nullptr);
  source.SetTop(9);
  TBitmap picture(3, 2);
  source.SetBitmap(&picture);
  grid.Repaints = 0;
  background.Assign(&source);
  EXPECT_EQ(grid.Repaints, 0);
  EXPECT_EQ(background.Top(), 9);
  EXPECT_EQ(background.Bitmap()->Width(), 3);
  EXPECT_EQ(background.Display(), bdTile);
}

TEST(KitGridSettingsTest, NodeColumnWithNodes) {
  TOwnerStandIn grid;
  TCellNode node(&grid);
  node.SetNodeColumn(2);
  EXPECT_EQ(node.NodeColumn(), 2);
  grid.NodeCount = 1;
  EXPECT_EQ(testsupport::MessageOf([&] { node.SetNodeColumn(3); }),
            u"Exception: Cannot change node column when grid has nodes"_qs);
  EXPECT_EQ(node.NodeColumn(), 2);
  node.SetNodeColumn(2);  // its own value never raises

  // Assign copies the column without the check.
  TCellNode source(nullptr);
  source.SetNodeColumn(5);
  node.Assign(&source);
  EXPECT_EQ(node.NodeColumn(), 5);

  grid.Repaints = 0;
  node.SetNodeIndent(12);
  node.SetColor(clRed);  // plain
  EXPECT_EQ(grid.Repaints, 0);
  node.SetNodeType(cnFlat);
  node.SetShowTree(false);
  node.SetTreeColor(clBlue);
  EXPECT_EQ(grid.Repaints, 3);
}

TEST(KitGridSettingsTest, ColumnStretching) {
  TOwnerStandIn grid;
  TColumnSize columns(&grid);
  columns.SetStretchColumn(2);
  columns.SetStretch(true);  // no parent yet: only stored
  EXPECT_TRUE(columns.Stretch());
  EXPECT_TRUE(grid.Stretches.isEmpty());
  grid.HasParent = true;
  columns.SetStretch(false);  // also when switched off
  EXPECT_EQ(grid.Stretches, QStringList{u"2,-1"_qs});

  grid.Stretches.clear();
  columns.SetStretchAll(true);
  EXPECT_EQ(columns.StretchColumn(), -1);
  EXPECT_EQ(grid.Stretches, QStringList{u"-1,-1"_qs});
  columns.SetStretchAll(true);
  EXPECT_EQ(grid.Stretches.size(), 1);

  TColumnSize source(nullptr);
  source.SetStretch(true);
  source.SetStretchColumn(4);
  grid.Stretches.clear();
  columns.SetStretchAll(false);
  grid.Stretches.clear();
  columns.Assign(&source);
  EXPECT_TRUE(columns.Stretch());
  EXPECT_EQ(columns.StretchColumn(), 4);
  EXPECT_TRUE(grid.Stretches.isEmpty());
}

TEST(KitGridSettingsTest, PopupButtonsNotifyTheirAppearance) {
  TOwnerStandIn grid;
  THeaderAppearance header(&grid);
  int buttonChanges = 0, changes = 0;
  header.OnButtonsChanged = [&](TObject*) { ++buttonChanges; };
  header.OnChange = [&](TObject*) { ++changes; };
  THeaderButton* button = header.Buttons()->Add();
  EXPECT_GE(buttonChanges, 1);
  buttonChanges = 0;
  button->SetCaption(u"OK"_qs);
  button->SetWidth(40);
  button->SetHeight(30);  // stored only
  EXPECT_EQ(buttonChanges, 2);
  EXPECT_EQ(header.Buttons()->GetOwner(), &grid);

  header.SetCaption(u"Title"_qs);
  header.SetVisible(true);
  EXPECT_EQ(changes, 0);
  header.SetVisible(false);
  EXPECT_EQ(changes, 1);

  TFooterAppearance footer(&grid);
  int footerChanges = 0;
  footer.OnChange = [&](TObject*) { ++footerChanges; };
  footer.SetCaption(u"x"_qs);
  EXPECT_EQ(footerChanges, 1);
  TFooterButton* close = footer.Buttons()->Add();
  close->SetModalResult(mrCancel);
  TFooterAppearance copy(&grid);
  copy.Assign(&footer);
  ASSERT_EQ(copy.Buttons()->Count(), 1);
  EXPECT_EQ(copy.Buttons()->Items(0)->ModalResult(), mrCancel);
  EXPECT_EQ(copy.Caption(), u"x"_qs);

  // AssignColors takes the colours, the font and the direction only.
  THeaderAppearance colours(&grid);
  header.SetColor(clRed);
  header.SetHeight(40);
  header.Font()->SetSize(20);
  colours.AssignColors(&header);
  EXPECT_EQ(colours.Color(), clRed);
  EXPECT_EQ(colours.Font()->Size(), 20);
  EXPECT_EQ(colours.Height(), 22);
}

// ---------------------------------------------------------------------------
// Assign

TEST(KitGridSettingsTest, AssignCopiesTheDocumentedSubsets) {
  TComponent owner(nullptr);
  {
    TSearchFooter source(&owner, false), dest(&owner, false), fresh(&owner, false);
    int changes = 0;
    dest.OnChange = [&](TObject*) { ++changes; };
    source.Font()->SetName(u"DejaVu Serif"_qs);
    source.SetAutoThemeAdapt(true);
    EXPECT_EQ(NotCopied(source, dest, fresh), (std::set<QString>{u"AutoSearch"_qs, u"SearchFixedCells"_qs}));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(dest.Font()->Name(), u"DejaVu Serif"_qs);
    EXPECT_FALSE(dest.AutoThemeAdapt());
  }
  {
    TNavigation source, dest, fresh;
    int changes = 0;
    dest.OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(NotCopied(source, dest, fresh), (std::set<QString>{u"KeepScrollOnSort"_qs}));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(dest.TabAdvanceDirection(), source.TabAdvanceDirection());
  }
  {
    // Copied as plain values: AdvanceAuto on with AdvanceOnEnter off stays so.
    TNavigation source, dest;
    source.SetAdvanceAuto(true);
    source.SetAdvanceOnEnter(false);
    dest.Assign(&source);
    EXPECT_TRUE(dest.AdvanceAuto());
    EXPECT_FALSE(dest.AdvanceOnEnter());
  }
  {
    TMouseActions source(&owner), dest(&owner), fresh(&owner);
    int events = 0;
    dest.OnChange = dest.OnInvalidate = dest.OnDisableEdit = [&](TObject*) { ++events; };
    dest.OnIsDesigning = [](TObject*, bool& IsDesigning) { IsDesigning = true; };
    source.FixedComboValues()->Add(u"x"_qs);
    EXPECT_EQ(NotCopied(source, dest, fresh),
              (std::set<QString>{u"SizeFixedRow"_qs, u"HotmailRowSelect"_qs, u"EditOnDblClickOnly"_qs}));
    EXPECT_EQ(events, 0);
    EXPECT_EQ(dest.FixedComboValues()->Count(), 0);
    // Side effects stayed out: all three disjunct switches came over.
    EXPECT_TRUE(dest.DisjunctRowSelect() && dest.DisjunctColSelect() && dest.DisjunctCellSelect());
  }
  {
    TSyncGrid source(&owner), dest(&owner), fresh(&owner);
    EXPECT_EQ(NotCopied(source, dest, fresh), std::set<QString>());
  }
  {
    TBands source, dest, fresh;
    int changes = 0;
    dest.OnChange = [&](TObject*) { ++changes; };
    source.SetActive(false);
    EXPECT_EQ(NotCopied(source, dest, fresh), std::set<QString>());
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(dest.Print());
    EXPECT_EQ(dest.TotalLength(), source.PrimaryLength() + source.SecondaryLength());
  }
  TOwnerStandIn grid;
  {
    TControlLook source(nullptr), dest(&grid), fresh(nullptr);
    grid.Repaints = 0;
    grid.Gradients.clear();
    EXPECT_EQ(NotCopied(source, dest, fresh),
              (std::set<QString>{u"FlatButton"_qs, u"NoDisabledCheckRadioLook"_qs, u"NoDisabledButtonLook"_qs,
                                 u"FixedDropDownButton"_qs}));
    EXPECT_EQ(grid.Repaints, 0);
    EXPECT_TRUE(grid.Gradients.isEmpty());  // stored without reaching the grid
    EXPECT_EQ(dest.FixedGradientFrom(), source.FixedGradientFrom());
    EXPECT_EQ(dest.FixedGradientMirrorTo(), source.FixedGradientMirrorTo());
  }
  {
    // CheckSize is copied as read: 16 from a csVDX look.
    TControlLook source(nullptr), dest(nullptr);
    source.SetCheckSize(20);
    source.SetControlStyle(TControlLook::csVDX);
    source.DropDownHeader()->SetCaption(u"head"_qs);
    dest.Assign(&source);
    dest.SetControlStyle(TControlLook::csFlat);
    EXPECT_EQ(dest.CheckSize(), 16);
    EXPECT_EQ(dest.DropDownHeader()->Caption(), u"head"_qs);
  }
  {
    TCellNode source(nullptr), dest(&grid), fresh(nullptr);
    grid.Repaints = 0;
    EXPECT_EQ(NotCopied(source, dest, fresh), std::set<QString>());
    EXPECT_EQ(grid.Repaints, 0);
  }
  {
    TColumnSize source(nullptr), dest(&grid), fresh(nullptr);
    grid.Stretches.clear();
    EXPECT_EQ(NotCopied(source, dest, fresh), (std::set<QString>{u"StretchAll"_qs}));
    EXPECT_TRUE(grid.Stretches.isEmpty());
  }
  {
    TBackGround source(nullptr), dest(&grid), fresh(nullptr);
    EXPECT_EQ(NotCopied(source, dest, fresh), std::set<QString>());
  }
  {
    THeaderAppearance source(nullptr), dest(nullptr), fresh(nullptr);
    EXPECT_EQ(NotCopied(source, dest, fresh), std::set<QString>());
  }
}

TEST(KitGridSettingsTest, AssignFromAnotherClassChangesNothing) {
  TComponent owner(nullptr);
  TBands bands;
  bands.SetPrimaryLength(4);
  TNavigation navigation;
  TSearchFooter footer(&owner, false);
  TMouseActions mouse(&owner);
  TSyncGrid sync(&owner);
  TControlLook look(nullptr);
  TCellNode node(nullptr);
  TColumnSize columns(nullptr);
  TBackGround background(nullptr);
  TAutoColor autoColor;
  TGridProgressAppearance progress;
  for (TPersistent* dest : std::initializer_list<TPersistent*>{&navigation, &footer, &mouse, &sync, &look, &node,
                                                              &columns, &background, &autoColor, &progress})
    EXPECT_NO_THROW(dest->Assign(&bands));
  EXPECT_NO_THROW(bands.Assign(&navigation));
  EXPECT_EQ(bands.PrimaryLength(), 4);
  EXPECT_EQ(bands.TotalLength(), 5);
}
