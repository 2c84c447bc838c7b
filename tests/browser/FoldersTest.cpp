// Runtime and cache folders: names, the private temporary folder, the
// runtime choice with its version query and copy, the cached-folder list.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "browser/KitWebBrowser.Win.h"
#include "tests/support/TestSupport.h"

using namespace KitWebBrowserWin;

namespace {

using testsupport::ReadBytes;
using testsupport::WriteBytes;

// Puts the runtime-choice state back as it was.
struct RuntimeState {
  QString Runtime = RuntimeFolder, Available = AvailableBrowserVersion, Copied = CopiedRuntimeFolder;
  std::function<QString()> ProgramFiles = ProgramFilesX86Folder;
  std::function<QString(const QString&, const QStringList&)> Runner = RunHiddenCommand;
  ~RuntimeState() {
    RuntimeFolder = Runtime;
    AvailableBrowserVersion = Available;
    CopiedRuntimeFolder = Copied;
    ProgramFilesX86Folder = ProgramFiles;
    RunHiddenCommand = Runner;
  }
};

}  // namespace

TEST(KitWebBrowserFolders, CacheNamesFollowTheExecutable) {
  const struct {
    const char* Exe;
    const char* Name;
  } cases[] = {{"/opt/x/capture.exe", "capture"},
               {"C:/x/app.exe.exe", "app.exe"},
               {"/usr/bin/tallowfinch", "tallowfinch"},
               {"/a/b/test_browser", "test_browser"},
               {"/a/b/archive.tar.gz", "archive.tar"}};
  for (const auto& c : cases) EXPECT_EQ(CacheExecutableName(QString::fromUtf8(c.Exe)), QString::fromUtf8(c.Name)) << c.Exe;
  EXPECT_EQ(AddBackslash(QString()), QString());
  EXPECT_EQ(AddBackslash(QStringLiteral("/a")), QStringLiteral("/a/"));
  EXPECT_EQ(AddBackslash(QStringLiteral("/a/")), QStringLiteral("/a/"));
}

TEST(KitWebBrowserFolders, TheTemporaryFolderIsPrivate) {
  const QString path = PrivateTempPath();
  ASSERT_TRUE(path.endsWith(QLatin1Char('/')));
  struct stat info {};
  ASSERT_EQ(::lstat(QFile::encodeName(path.chopped(1)).constData(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_EQ(info.st_uid, ::geteuid());
}

TEST(KitWebBrowserFolders, TheBrowserNamesItsFoldersAndRecomputesThem) {
  TKitWinWebBrowser browser(nullptr);
  const QString exe = CacheExecutableName(QCoreApplication::applicationFilePath());
  EXPECT_EQ(browser.GetCacheFolder(), PrivateTempPath() + exe + "/");
  EXPECT_EQ(browser.FullCacheFolderName(), PrivateTempPath() + exe + "/EdgeCache");
  EXPECT_TRUE(browser.GetAutoClearCache());
  browser.SetCacheFolderName(QString());
  EXPECT_EQ(browser.FullCacheFolderName(), PrivateTempPath() + exe + "/" + exe);
  browser.SetCacheFolder(QStringLiteral("/tmp/somewhere"));
  EXPECT_EQ(browser.FullCacheFolderName(), QStringLiteral("/tmp/somewhere/") + exe);
}

TEST(KitWebBrowserFolders, ClearingTheCacheNeverTouchesProtectedFolders) {
  testsupport::TempDir temp;
  TKitWinWebBrowser browser(nullptr);
  // Pointed at the home folder, at the root or at a link: nothing goes.
  const QString home = QDir::homePath(), tmp = QDir::tempPath();
  const QStringList pairs[] = {{QFileInfo(home).absolutePath(), QFileInfo(home).fileName()},
                               {QString(), QStringLiteral("/")},
                               {QFileInfo(tmp).absolutePath(), QFileInfo(tmp).fileName()}};
  for (const QStringList& pair : pairs) {
    browser.SetCacheFolder(pair[0]);
    browser.SetCacheFolderName(pair[1]);
    ASSERT_TRUE(QFileInfo(browser.FullCacheFolderName()).isDir()) << browser.FullCacheFolderName().toStdString();
    browser.ClearCache();
    EXPECT_TRUE(QFileInfo(browser.FullCacheFolderName()).isDir()) << browser.FullCacheFolderName().toStdString();
  }
  WriteBytes(temp.File("real/keep.txt"), "keep");
  QDir().mkpath(temp.File("cache"));
  ASSERT_TRUE(QFile::link(temp.File("real"), temp.File("cache/link")));
  browser.SetCacheFolder(temp.File("cache"));
  browser.SetCacheFolderName(QStringLiteral("link"));
  browser.ClearCache();
  EXPECT_EQ(ReadBytes(temp.File("real/keep.txt")), QByteArray("keep"));

  // An ordinary folder goes, and its empty parent with it.
  WriteBytes(temp.File("root/Cache/a/b.txt"), "x");
  browser.SetCacheFolder(temp.File("root"));
  browser.SetCacheFolderName(QStringLiteral("Cache"));
  browser.ClearCache();
  EXPECT_FALSE(QFileInfo::exists(temp.File("root/Cache")));
  EXPECT_FALSE(QFileInfo::exists(temp.File("root")));
}

TEST(KitWebBrowserFolders, ALiveBrowserKeepsItsFolderFromTheOthers) {
  testsupport::TempDir temp;
  TKitWinWebBrowser a(nullptr), b(nullptr);
  for (TKitWinWebBrowser* browser : {&a, &b}) {
    browser->SetCacheFolder(temp.File("shared"));
    browser->SetCacheFolderName(QStringLiteral("EdgeCache"));
  }
  WriteBytes(temp.File("shared/EdgeCache/Cookies"), "c");
  a.ClearCache();  // a registers the folder as in use (and empties it first)
  WriteBytes(temp.File("shared/EdgeCache/Cookies"), "c");
  b.ClearCache();
  EXPECT_TRUE(QFileInfo::exists(temp.File("shared/EdgeCache/Cookies"))) << "a still uses it";
  const auto count = [](TKitWinWebBrowser* who) {
    int n = 0;
    for (const auto& item : CachedFolders()) n += item->Instance() == who;
    return n;
  };
  EXPECT_EQ(count(&a), 1);
  EXPECT_EQ(count(&b), 1);
}

TEST(KitWebBrowserFolders, TheRuntimeChoiceFollowsItsOrder) {
  RuntimeState saved;
  testsupport::TempDir temp;
  QStringList commands;
  RunHiddenCommand = [&](const QString& program, const QStringList& args) {
    commands << program + " " + args.join(' ');
    return QStringLiteral("\r\n\r\nVersion=110.0.1587.57\r\n\r\n\r\n");
  };
  ProgramFilesX86Folder = [&] { return temp.File("Program Files (x86)"); };
  WriteBytes(temp.File("Program Files (x86)/Microsoft/Edge/Application/msedge.exe"), "exe");
  WriteBytes(temp.File("Program Files (x86)/Microsoft/Edge/Application/110.0.1587.57/msedge.dll"), "dll");

  RuntimeFolder = QStringLiteral("/opt/explicit");
  EXPECT_EQ(ChooseRuntimeFolder(), QStringLiteral("/opt/explicit"));
  RuntimeFolder.clear();
  AvailableBrowserVersion = QStringLiteral("102.0.5005.177");
  EXPECT_EQ(ChooseRuntimeFolder(), QString()) << "an installed runtime needs no folder";
  EXPECT_TRUE(commands.isEmpty());

  AvailableBrowserVersion.clear();
  CopiedRuntimeFolder.clear();
  const QString target = PrivateTempPath() + "Microsoft Edge 110.0.1587.57";
  QDir(target).removeRecursively();
  EXPECT_EQ(ChooseRuntimeFolder(), target);
  ASSERT_EQ(commands.size(), 1);
  EXPECT_TRUE(commands.front().startsWith(QLatin1String("wmic.exe DATAFILE WHERE NAME='")));
  EXPECT_TRUE(commands.front().endsWith(QLatin1String("msedge.exe' GET Version /value")));
  EXPECT_EQ(ReadBytes(target + "/msedge.dll"), QByteArray("dll"));
  EXPECT_EQ(ChooseRuntimeFolder(), target) << "the copy is reused";
  EXPECT_EQ(commands.size(), 1) << "without asking again";
  QDir(target).removeRecursively();

  CopiedRuntimeFolder.clear();
  RunHiddenCommand = [](const QString&, const QStringList&) { return QStringLiteral("wmic: not found"); };
  EXPECT_EQ(ChooseRuntimeFolder(), QString()) << "no version, no copy";
}

TEST(KitWebBrowserFolders, CopyingOverwritesTheTarget) {
  testsupport::TempDir temp;
  WriteBytes(temp.File("src/a.txt"), "new");
  WriteBytes(temp.File("src/sub/b.txt"), "b");
  WriteBytes(temp.File("dst/a.txt"), "old");
  CopyFolderTree(temp.File("src"), temp.File("dst"));
  EXPECT_EQ(ReadBytes(temp.File("dst/a.txt")), QByteArray("new"));
  EXPECT_EQ(ReadBytes(temp.File("dst/sub/b.txt")), QByteArray("b"));
}
