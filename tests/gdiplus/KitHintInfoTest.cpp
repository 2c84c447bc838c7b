// Hint information: emptiness, copying and the owned notes and picture.

#include <gtest/gtest.h>

#include "gdiplus/KitHintInfo.h"
#include "platform/rtl/TypInfo.h"
#include "tests/gdiplus/GdipFixtures.h"
#include "tests/support/TestSupport.h"

using namespace gdipfixtures;

namespace {

TEST(KitHintInfo, EmptinessCountsTitleAndNotesOnly) {
  TKitHintInfo hint;
  EXPECT_TRUE(hint.IsEmpty());
  EXPECT_FALSE(hint.ShowHelp());
  EXPECT_TRUE(hint.Picture()->Empty());
  // Neither the wide fields, the help flag nor a picture make it non-empty.
  hint.SetWideTitle(QStringLiteral("wide"));
  hint.SetWideNotes(QStringLiteral("notes"));
  hint.SetShowHelp(true);
  TBytesStream bytes(Png(Quadrants(4, 4)));
  hint.Picture()->LoadFromStream(&bytes);
  EXPECT_FALSE(hint.Picture()->Empty());
  EXPECT_TRUE(hint.IsEmpty());
  hint.Notes()->Add(QStringLiteral("a line"));
  EXPECT_FALSE(hint.IsEmpty());
  hint.Notes()->Clear();
  hint.SetTitle(QStringLiteral("Title"));
  EXPECT_FALSE(hint.IsEmpty());
}

TEST(KitHintInfo, AssignCopiesEverythingFromHintInformationOnly) {
  TKitHintInfo source;
  source.SetTitle(QStringLiteral("T"));
  source.Notes()->Add(QStringLiteral("one"));
  source.SetShowHelp(true);
  source.SetWideTitle(QStringLiteral("WT"));
  source.SetWideNotes(QStringLiteral("WN"));
  TBytesStream bytes(Png(Quadrants(6, 4)));
  source.Picture()->LoadFromStream(&bytes);

  TKitHintInfo copy;
  TStringList* notes = copy.Notes();
  TGDIPPicture* picture = copy.Picture();
  copy.Assign(&source);
  EXPECT_EQ(copy.Title(), "T");
  EXPECT_EQ(copy.Notes()->Text(), source.Notes()->Text());
  EXPECT_TRUE(copy.ShowHelp());
  EXPECT_EQ(copy.WideTitle(), "WT");
  EXPECT_EQ(copy.WideNotes(), "WN");
  EXPECT_EQ(copy.Picture()->Width(), 6);
  // The owned objects stay; their content is a copy.
  EXPECT_EQ(copy.Notes(), notes);
  EXPECT_EQ(copy.Picture(), picture);
  source.Notes()->Add(QStringLiteral("two"));
  EXPECT_EQ(copy.Notes()->Count(), 1);

  // Any other source changes nothing and raises nothing.
  TStringList list;
  list.Add(QStringLiteral("x"));
  EXPECT_NO_THROW(copy.Assign(&list));
  EXPECT_NO_THROW(copy.Assign(nullptr));
  EXPECT_EQ(copy.Title(), "T");
  EXPECT_EQ(copy.Notes()->Count(), 1);

  // Setting the notes or the picture copies into the owned objects.
  TStringList lines;
  lines.Add(QStringLiteral("l1"));
  lines.Add(QStringLiteral("l2"));
  copy.SetNotes(&lines);
  EXPECT_EQ(copy.Notes(), notes);
  EXPECT_EQ(copy.Notes()->Count(), 2);
  TGDIPPicture other;
  copy.SetPicture(&other);
  EXPECT_EQ(copy.Picture(), picture);
  EXPECT_TRUE(copy.Picture()->Empty());
}

TEST(KitHintInfo, PublishesItsProperties) {
  TKitHintInfo hint;
  for (const char* name : {"Title", "Notes", "Picture", "ShowHelp", "WideTitle", "WideNotes"})
    EXPECT_NE(GetPropInfo(&hint, QString::fromLatin1(name)), nullptr) << name;
}

}  // namespace
