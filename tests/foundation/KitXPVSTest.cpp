// The theme-library binders and the toolkit's start-up services.

#include "foundation/KitXPVS.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "platform/win32/Theme.h"

namespace {

TEST(ThemeBinders, TablesBindInOrderAndStayEmptyWithoutTheLibrary) {
  KitXPVS::ReleaseKitXPVSThemeLibrary();
  SetThemeLibraryAvailable(false);
  KitXPVS::BindKitXPVSThemeEntryPoints();
  EXPECT_FALSE(KitXPVS::Table().Loaded());
  EXPECT_EQ(KitXPVS::Table().BoundCount(), 0);
  SetThemeLibraryAvailable(true);

  ASSERT_EQ(KitXPVS::Table().Names().size(), 47);
  ASSERT_EQ(ATXPVS::Table().Names().size(), 45);
  ASSERT_EQ(KitTBXPVS::Table().Names().size(), 45);
  EXPECT_EQ(KitXPVS::Table().Names().first(), QStringLiteral("OpenThemeData"));
  EXPECT_EQ(KitXPVS::Table().Names().at(1), QStringLiteral("OpenThemeDataForDpi"));
  EXPECT_EQ(KitXPVS::Table().Names().last(), QStringLiteral("EnableTheming"));
  EXPECT_FALSE(ATXPVS::Table().Names().contains(QStringLiteral("OpenThemeDataForDpi")));
  EXPECT_FALSE(ATXPVS::Table().Names().contains(QStringLiteral("GetThemePartSize")));

  KitXPVS::BindKitXPVSThemeEntryPoints();
  EXPECT_TRUE(KitXPVS::Table().Loaded());
  EXPECT_EQ(KitXPVS::Table().Entry(QStringLiteral("DrawThemeBackground")),
            reinterpret_cast<void*>(&DrawThemeBackground));
  EXPECT_EQ(KitXPVS::Table().Entry(QStringLiteral("OpenThemeDataForDpi")),
            reinterpret_cast<void*>(&OpenThemeDataForDpi));
  // An entry the shim does not offer stays empty, and start-up goes on.
  EXPECT_EQ(KitXPVS::Table().Entry(QStringLiteral("DrawThemeText")), nullptr);
  // A bound entry works.
  auto isActive = reinterpret_cast<BOOL (*)()>(KitXPVS::Table().Entry(QStringLiteral("IsThemeActive")));
  ASSERT_NE(isActive, nullptr);
  EXPECT_EQ(isActive(), IsThemeActive());
  KitXPVS::ReleaseKitXPVSThemeLibrary();
  EXPECT_FALSE(KitXPVS::Table().Loaded());
  EXPECT_EQ(KitXPVS::Table().BoundCount(), 0);
}

TEST(ThemeBinders, ToolbarBinderLoadsOnceAndOneReleaseFrees) {
  while (KitTBXPVS::LoadCount() > 0) KitTBXPVS::ReleaseTBXPVSThemeLibrary();
  KitTBXPVS::BindTBXPVSThemeEntryPoints();
  KitTBXPVS::BindTBXPVSThemeEntryPoints();
  EXPECT_EQ(KitTBXPVS::LoadCount(), 1);
  EXPECT_TRUE(KitTBXPVS::Table().Loaded());
  KitTBXPVS::ReleaseTBXPVSThemeLibrary();
  EXPECT_EQ(KitTBXPVS::LoadCount(), 0);
  EXPECT_FALSE(KitTBXPVS::Table().Loaded());
}

TEST(ToolkitServices, StartUpAndShutdown) {
  QApplication::setEffectEnabled(Qt::UI_General, true);
  QApplication::setEffectEnabled(Qt::UI_AnimateMenu, true);
  ASSERT_TRUE(QApplication::isEffectEnabled(Qt::UI_AnimateMenu));
  KitToolkit::Initialization();
  // Menus do not animate while the program runs; only this application's
  // setting changed.
  EXPECT_FALSE(QApplication::isEffectEnabled(Qt::UI_AnimateMenu));
  EXPECT_TRUE(KitToolkit::SavedMenuAnimation());
  EXPECT_TRUE(KitXPVS::Table().Loaded());
  EXPECT_TRUE(ATXPVS::Table().Loaded());
  EXPECT_EQ(KitTBXPVS::LoadCount(), 1);

  EXPECT_GT(KitToolkit::DpiFactor(), 0.0f);
  EXPECT_EQ(KitToolkit::ScaledSize(), int(std::nearbyint(17.0 * KitToolkit::DpiFactor())));
  ASSERT_EQ(KitToolkit::RegisteredMessageNames().size(), 10);
  for (const QString& name : KitToolkit::RegisteredMessageNames()) {
    EXPECT_GE(KitToolkit::RegisteredMessage(name), 0xC000u) << name.toStdString();
    EXPECT_EQ(KitToolkit::RegisteredMessage(name), RegisterWindowMessage(name));
  }
  EXPECT_NE(KitToolkit::RegisteredMessage(QStringLiteral("TBSetMetro")),
            KitToolkit::RegisteredMessage(QStringLiteral("TBRevertMetro")));
  ASSERT_EQ(KitToolkit::ButtonCaptions().size(), 11);
  EXPECT_TRUE(KitToolkit::ButtonCaptions().first().isEmpty());
  EXPECT_EQ(KitToolkit::ButtonCaptions().at(8), QStringLiteral("&Retry"));

  ASSERT_EQ(KitToolkit::EntityNames().size(), 72u);
  ASSERT_EQ(KitToolkit::EntityCharacters().size(), 72u);
  auto entityOf = [](unsigned char c) {
    for (size_t i = 0; i < KitToolkit::EntityCharacters().size(); ++i)
      if (KitToolkit::EntityCharacters()[i] == QByteArray(1, char(c))) return KitToolkit::EntityNames()[i];
    return QByteArray();
  };
  EXPECT_EQ(entityOf(0x80), QByteArray("&euro;"));
  EXPECT_EQ(entityOf(0x99), QByteArray("&trade;"));
  EXPECT_EQ(entityOf(0x89), QByteArray("&permil;"));
  EXPECT_EQ(entityOf('$'), QByteArray("&dollar;"));
  EXPECT_EQ(entityOf(0xD5), QByteArray("&Otilde"));
  EXPECT_EQ(KitToolkit::EntityNames()[49], KitToolkit::EntityNames()[69]);  // "&laquo;" twice
  EXPECT_TRUE(KitToolkit::EmptyTones1() == EmptyColorTones());
  EXPECT_TRUE(KitToolkit::LayeredWindowsAvailable());

  KitToolkit::Finalization();
  EXPECT_TRUE(QApplication::isEffectEnabled(Qt::UI_AnimateMenu));
  EXPECT_FALSE(KitXPVS::Table().Loaded());
  EXPECT_EQ(KitTBXPVS::LoadCount(), 0);
  EXPECT_TRUE(KitToolkit::EntityNames().empty());
  QApplication::setEffectEnabled(Qt::UI_General, false);
}

}  // namespace
