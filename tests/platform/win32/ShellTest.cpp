// ShellExecute's address policy, beeps through the shell service, special
// folders and the temporary folder.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>

#include <fcntl.h>
#include <unistd.h>

#include "platform/win32/Shell.h"
#include "tests/support/FakeShell.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::EnvOverride;
using testsupport::FakeShell;
using testsupport::TempDir;

void WriteFile(const QString& path, QFile::Permissions permissions = {}) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("x");
  file.close();
  if (permissions) {
    ASSERT_TRUE(file.setPermissions(permissions));
  }
}

class ShellExecuteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir.File("notes.txt"));
    ASSERT_TRUE(QDir(dir.Path()).mkdir("folder"));
    WriteFile(dir.File("tool.sh"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    WriteFile(dir.File("launcher.desktop"));
    QFile launcher(dir.File("launcher"));
    ASSERT_TRUE(launcher.open(QIODevice::WriteOnly));
    launcher.write("[Desktop Entry]\nType=Application\nName=Run\nExec=/bin/false\n");
    launcher.close();
    ASSERT_TRUE(QFile::link(dir.File("launcher.desktop"), dir.File("readme.txt")));
  }

  int Open(const QString& file, const QString& directory = {}, const QString& verb = "open") {
    return ShellExecute(nullptr, verb, file, {}, directory, SW_SHOWNORMAL);
  }

  FakeShell shell;
  TempDir dir;
};

TEST_F(ShellExecuteTest, OpensWebAndMailAddressesAndExistingFiles) {
  const QString notes = dir.File("notes.txt");
  const struct {
    QString file;
    QString directory;
    QUrl opened;
  } cases[] = {
      {"http://example.com", {}, QUrl("http://example.com")},
      {"https://example.com/a/b?q=1&r=2#part", {}, QUrl("https://example.com/a/b?q=1&r=2#part")},
      {"HTTPS://Example.COM/", {}, QUrl("https://example.com/")},
      {"https://user@example.com:8443/x", {}, QUrl("https://user@example.com:8443/x")},
      {"mailto:someone@example.com", {}, QUrl("mailto:someone@example.com")},
      {"mailto:someone@example.com?subject=Hello%20there", {},
       QUrl("mailto:someone@example.com?subject=Hello%20there")},
      {notes, {}, QUrl::fromLocalFile(notes)},
      {QUrl::fromLocalFile(notes).toString(), {}, QUrl::fromLocalFile(notes)},
      {"notes.txt", dir.Path(), QUrl::fromLocalFile(notes)},
      {dir.File("folder"), {}, QUrl::fromLocalFile(dir.File("folder"))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.toStdString());
    shell.Opened.clear();
    EXPECT_GT(Open(c.file, c.directory), 32);
    ASSERT_EQ(shell.Opened.size(), 1);
    EXPECT_EQ(shell.Opened.first(), c.opened);
  }
  // The default verb is "open" too.
  shell.Opened.clear();
  EXPECT_GT(Open("https://example.com", {}, ""), 32);
  EXPECT_EQ(shell.Opened.size(), 1);
}

TEST_F(ShellExecuteTest, RefusesEverythingElse) {
  const QString notes = QUrl::fromLocalFile(dir.File("notes.txt")).toString();
  const struct {
    QString file;
    QString verb;
    int error;
  } cases[] = {
      {"javascript:alert(1)", "open", SE_ERR_ACCESSDENIED},
      {"JavaScript:alert(document.cookie)", "open", SE_ERR_ACCESSDENIED},
      {"vbscript:msgbox(1)", "open", SE_ERR_ACCESSDENIED},
      {"data:text/html,<script>alert(1)</script>", "open", SE_ERR_ACCESSDENIED},
      {"ftp://example.com/file", "open", SE_ERR_ACCESSDENIED},
      {"tallowfinch-app:run?x=1", "open", SE_ERR_ACCESSDENIED},
      {"about:blank", "open", SE_ERR_ACCESSDENIED},
      {"http:///no-host", "open", SE_ERR_ACCESSDENIED},
      {"https://exa mple.com/", "open", SE_ERR_ACCESSDENIED},
      {"mailto:", "open", SE_ERR_ACCESSDENIED},
      {"file://server/share/notes.txt", "open", SE_ERR_ACCESSDENIED},
      {notes + "?download=1", "open", SE_ERR_ACCESSDENIED},
      {notes + "#top", "open", SE_ERR_ACCESSDENIED},
      {dir.File("tool.sh"), "open", SE_ERR_ACCESSDENIED},
      {QUrl::fromLocalFile(dir.File("tool.sh")).toString(), "open", SE_ERR_ACCESSDENIED},
      {dir.File("launcher.desktop"), "open", SE_ERR_ACCESSDENIED},
      {dir.File("launcher"), "open", SE_ERR_ACCESSDENIED},
      {dir.File("readme.txt"), "open", SE_ERR_ACCESSDENIED},
      {"/dev/null", "open", SE_ERR_ACCESSDENIED},
      {dir.File("missing.txt"), "open", SE_ERR_FNF},
      {dir.File("missing/notes.txt"), "open", SE_ERR_PNF},
      {"C:\\Documents\\notes.txt", "open", SE_ERR_FNF},
      {"", "open", SE_ERR_FNF},
      {"https://example.com", "print", SE_ERR_NOASSOC},
      {dir.File("notes.txt"), "edit", SE_ERR_NOASSOC},
      {dir.File("notes.txt"), "runas", SE_ERR_NOASSOC},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.toStdString() + " / " + c.verb.toStdString());
    SetLastError(0);
    EXPECT_EQ(Open(c.file, {}, c.verb), c.error);
    EXPECT_EQ(GetLastError(), DWORD(c.error));
  }
  EXPECT_TRUE(shell.Opened.isEmpty());
}

TEST_F(ShellExecuteTest, ReportsADesktopThatCannotOpenTheAddress) {
  shell.OpenSucceeds = false;
  EXPECT_EQ(Open("https://example.com"), SE_ERR_NOASSOC);
  EXPECT_EQ(shell.Opened.size(), 1);
}

TEST(ShellSoundTest, BeepsGoThroughTheServiceWithTheirArguments) {
  FakeShell shell;
  EXPECT_TRUE(MessageBeep(0x30));
  EXPECT_TRUE(MessageBeep(MB_SIMPLEBEEP));
  EXPECT_TRUE(Beep(37, 10));
  EXPECT_TRUE(Beep(32767, 250));
  EXPECT_EQ(shell.MessageBeeps, (QList<UINT>{0x30, MB_SIMPLEBEEP}));
  EXPECT_EQ(shell.Beeps, (QList<std::pair<DWORD, DWORD>>{{37, 10}, {32767, 250}}));

  for (DWORD frequency : {0u, 36u, 32768u}) {
    SetLastError(0);
    EXPECT_FALSE(Beep(frequency, 100));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  EXPECT_EQ(shell.Beeps.size(), 2);
}

TEST(ShellServiceTest, SetShellServiceAnswersThePreviousOneAndNullRestoresTheDefault) {
  TShellService& desktop = ShellService();
  {
    FakeShell outer;
    EXPECT_EQ(&ShellService(), &outer);
    {
      FakeShell inner;
      EXPECT_EQ(&ShellService(), &inner);
    }
    EXPECT_EQ(&ShellService(), &outer);
  }
  EXPECT_EQ(&ShellService(), &desktop);
}

TEST(ShellFolderTest, MapsSpecialFoldersToTheXdgFolders) {
  TempDir home;
  const QString config = home.File("config");
  const QString data = home.File("data");
  const QString documents = home.File("My Documents");
  ASSERT_TRUE(QDir().mkpath(config));
  ASSERT_TRUE(QDir().mkpath(data));
  ASSERT_TRUE(QDir().mkpath(documents));
  {
    QFile dirs(config + "/user-dirs.dirs");
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly | QIODevice::Text));
    QTextStream(&dirs) << "XDG_DOCUMENTS_DIR=\"$HOME/My Documents\"\n";
  }
  EnvOverride homeEnv("HOME", home.Path());
  EnvOverride configEnv("XDG_CONFIG_HOME", config);
  EnvOverride dataEnv("XDG_DATA_HOME", data);

  const struct {
    int csidl;
    QString path;
  } cases[] = {
      {CSIDL_PERSONAL, documents},
      {CSIDL_APPDATA, config},
      {CSIDL_LOCAL_APPDATA, data},
      {CSIDL_APPDATA | CSIDL_FLAG_CREATE, config},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.csidl);
    QString path;
    EXPECT_EQ(SHGetFolderPath(nullptr, c.csidl, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
    EXPECT_EQ(path, c.path);
  }

  QString programs;
  const HRESULT hr = SHGetFolderPath(nullptr, CSIDL_PROGRAM_FILESX86, nullptr, 0, programs);
  EXPECT_EQ(hr, QFileInfo("/opt").isDir() ? S_OK : E_FAIL);
  if (hr == S_OK) {
    EXPECT_EQ(programs, "/opt");
  }

  QString other = "stale";
  EXPECT_EQ(SHGetFolderPath(nullptr, 0x0014 /* fonts */, nullptr, 0, other), E_INVALIDARG);
  EXPECT_TRUE(other.isEmpty());
}

TEST(ShellFolderTest, AMissingFolderFailsUnlessAskedToCreateIt) {
  TempDir home;
  const QString data = home.File("deep/data");
  EnvOverride dataEnv("XDG_DATA_HOME", data);

  QString path = "stale";
  EXPECT_EQ(SHGetFolderPath(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, path), E_FAIL);
  EXPECT_TRUE(path.isEmpty());
  EXPECT_FALSE(QFileInfo::exists(data));

  EXPECT_EQ(SHGetFolderPath(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path), S_OK);
  EXPECT_EQ(path, data);
  EXPECT_TRUE(QFileInfo(data).isDir());
}

TEST(ShellTempPathTest, AnswersTheTemporaryFolderWithATrailingSlash) {
  TempDir temp;
  EnvOverride tmpdir("TMPDIR", temp.Path());
  const QString expected = temp.Path() + "/";
  EXPECT_EQ(GetTempPath(), expected);

  const auto length = DWORD(expected.size());
  WCHAR small[4] = {u'a', u'b', u'c', u'd'};
  EXPECT_EQ(GetTempPath(4, small), length + 1);
  EXPECT_EQ(small[0], u'a');
  EXPECT_EQ(GetTempPath(0, nullptr), length + 1);

  std::vector<WCHAR> exact(length + 1, u'#');
  EXPECT_EQ(GetTempPath(length + 1, exact.data()), length);
  EXPECT_EQ(QString::fromUtf16(exact.data()), expected);
  EXPECT_EQ(exact[length], 0);
}

TEST(ShellTempFileName, CreatesUniqueEmptyPrivateFiles) {
  TempDir temp;
  QSet<QString> names;
  for (int i = 0; i < 20; ++i) {
    QString name;
    const UINT number = GetTempFileName(temp.Path(), QStringLiteral("WDX"), 0, name);
    ASSERT_NE(number, 0u);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_LE(number, 0xFFFFu);
    const QString expected = temp.Path() + QStringLiteral("/WDX") +
                             QString::number(number, 16).toUpper().rightJustified(4, u'0') +
                             QStringLiteral(".tmp");
    EXPECT_EQ(name, expected);
    const QFileInfo info(name);
    EXPECT_TRUE(info.isFile());
    EXPECT_EQ(info.size(), 0);
    EXPECT_EQ(info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther |
                                    QFile::WriteOther),
              QFile::Permissions());
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 20);
}

TEST(ShellTempFileName, PrefixFolderAndGivenNumbers) {
  TempDir temp;
  struct Case {
    QString path;
    QString prefix;
    UINT unique;
    UINT result;
    DWORD error;
    QString name;
  };
  const QString dir = temp.Path();
  const Case cases[] = {
      {dir, QStringLiteral("WD"), 0x1A2B, 0x1A2B, ERROR_SUCCESS, dir + "/WD1A2B.tmp"},
      {dir + "/", QStringLiteral("LONGPREFIX"), 0x5000F, 0xF, ERROR_SUCCESS, dir + "/LON000F.tmp"},
      {dir, QString(), 0xFFFF, 0xFFFF, ERROR_SUCCESS, dir + "/FFFF.tmp"},
      {dir, QStringLiteral("WD"), 0x10000, 0, ERROR_INVALID_PARAMETER, QString()},
      {QString(), QStringLiteral("WD"), 0, 0, ERROR_PATH_NOT_FOUND, QString()},
      {dir + "/missing", QStringLiteral("WD"), 0, 0, ERROR_PATH_NOT_FOUND, QString()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.toStdString() + " " + c.prefix.toStdString());
    QString name = QStringLiteral("stale");
    EXPECT_EQ(GetTempFileName(c.path, c.prefix, c.unique, name), c.result);
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(name, c.name);
    // A given number only names the file.
    if (!c.name.isEmpty()) {
      EXPECT_FALSE(QFileInfo::exists(c.name));
    }
  }
}

TEST(ShellTempFileName, NeverOpensAnExistingNameOrLink) {
  // 65535 files: a memory file system keeps this quick where there is one.
  const bool shm = QFileInfo(QStringLiteral("/dev/shm")).isWritable();
  QTemporaryDir temp(shm ? QStringLiteral("/dev/shm/tf-shelltest-XXXXXX") : QString());
  ASSERT_TRUE(temp.isValid());
  // Occupy every name but one, partly with links to a file that must stay
  // untouched: the only free name is the one handed out.
  const QString target = temp.filePath(QStringLiteral("target"));
  WriteFile(target);
  const QString sub = temp.filePath(QStringLiteral("t"));
  ASSERT_TRUE(QDir().mkpath(sub));
  for (UINT n = 1; n <= 0xFFFF; ++n) {
    if (n == 0x4242) continue;
    QString name;
    GetTempFileName(sub, QStringLiteral("Q"), n, name);
    if (n % 1000 == 0) {
      ASSERT_TRUE(QFile::link(target, name));
    } else {
      const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT, 0600);
      ASSERT_GE(fd, 0);
      ::close(fd);
    }
  }
  QString name;
  EXPECT_EQ(GetTempFileName(sub, QStringLiteral("Q"), 0, name), 0x4242u);
  EXPECT_EQ(name, sub + "/Q4242.tmp");
  EXPECT_EQ(QFileInfo(target).size(), 1);
  EXPECT_TRUE(QFileInfo(sub + "/Q03E8.tmp").isSymLink());
  // Now every name is taken.
  EXPECT_EQ(GetTempFileName(sub, QStringLiteral("Q"), 0, name), 0u);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_TRUE(name.isEmpty());
}

}  // namespace
