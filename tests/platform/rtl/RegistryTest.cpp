#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <climits>
#include <thread>
#include <cmath>
#include <functional>

#include "tests/platform/rtl/FileSizeLimit.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::ReadBytes;
using testsupport::WriteBytes;

const QString kKey = QStringLiteral("\\Software\\Tallowfinch\\Test");

// The message of the ERegistryException F raises, or "" when it raises none.
QString RegistryError(const std::function<void()>& f) {
  try {
    f();
  } catch (const ERegistryException& e) {
    return e.Message();
  }
  return QString();
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QDir(dir_.Path()).mkpath(QStringLiteral("config"));
    file_ = dir_.File(QStringLiteral("config/registry.reg"));
    TRegistryStore::SetFileName(file_);
  }
  void TearDown() override {
    // Never let a later test fall back to the user's own registry file.
    TRegistryStore::SetFileName(dir_.File(QStringLiteral("unused.reg")));
  }
  // Drops what the store holds, so that the next use reads the file again.
  void Reload() { TRegistryStore::SetFileName(file_); }

  testsupport::TempDir dir_;
  QString file_;
};

TEST_F(RegistryTest, FileLocationComesFromSetterThenEnvironmentThenConfigFolder) {
  EXPECT_EQ(TRegistryStore::Instance().FileName(), file_);
  TRegistryStore::SetFileName(QString());
  {
    testsupport::EnvOverride file("TALLOWFINCH_REGISTRY_FILE", dir_.File(QStringLiteral("env.reg")));
    EXPECT_EQ(TRegistryStore::Instance().FileName(), dir_.File(QStringLiteral("env.reg")));
  }
  testsupport::EnvOverride none("TALLOWFINCH_REGISTRY_FILE", QString());
  EXPECT_TRUE(TRegistryStore::Instance().FileName().endsWith(QStringLiteral("/tallowfinch/registry.reg")));
}

TEST_F(RegistryTest, EveryTypeSurvivesAFreshStore) {
  const QString text = QStringLiteral("C:\\Temp \"quoted\" caf\u00e9 \u20ac \U0001F600");
  const QString multiLine = QStringLiteral("line 1\r\nline 2");
  QByteArray blob;
  for (int i = 0; i < 200; ++i) blob.append(static_cast<char>(i * 7));
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    reg.WriteString(QString(), QStringLiteral("default"));
    reg.WriteString(QStringLiteral("Text"), text);
    reg.WriteString(QStringLiteral("Empty"), QString());
    reg.WriteString(QStringLiteral("Lines"), multiLine);
    reg.WriteString(QStringLiteral("Name \"with\" \\ marks"), QStringLiteral("x"));
    reg.WriteExpandString(QStringLiteral("Path"), QStringLiteral("%HOME%\\b"));
    reg.WriteInteger(QStringLiteral("Count"), 10);
    reg.WriteInteger(QStringLiteral("Min"), INT_MIN);
    reg.WriteBool(QStringLiteral("Flag"), true);
    reg.WriteFloat(QStringLiteral("Float"), 3.141592653589793);
    reg.WriteDateTime(QStringLiteral("When"), 45000.75);
    reg.WriteBinaryData(QStringLiteral("Blob"), blob.constData(), static_cast<int>(blob.size()));
    reg.WriteBinaryData(QStringLiteral("NoBytes"), nullptr, 0);
  }
  Reload();
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  EXPECT_EQ(reg.ReadString(QString()), QStringLiteral("default"));
  EXPECT_EQ(reg.ReadString(QStringLiteral("Text")), text);
  EXPECT_EQ(reg.GetDataSize(QStringLiteral("Text")), (text.size() + 1) * 2);
  EXPECT_EQ(reg.ReadString(QStringLiteral("Empty")), QString());
  EXPECT_EQ(reg.GetDataSize(QStringLiteral("Empty")), 2);
  EXPECT_EQ(reg.ReadString(QStringLiteral("Lines")), multiLine);
  EXPECT_EQ(reg.ReadString(QStringLiteral("name \"WITH\" \\ marks")), QStringLiteral("x"));
  EXPECT_EQ(reg.ReadString(QStringLiteral("Path")), QStringLiteral("%HOME%\\b"));
  EXPECT_EQ(reg.GetDataType(QStringLiteral("Path")), rdExpandString);
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("Count")), 10);
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("Min")), INT_MIN);
  EXPECT_EQ(reg.GetDataType(QStringLiteral("Count")), rdInteger);
  EXPECT_EQ(reg.GetDataSize(QStringLiteral("Count")), 4);
  EXPECT_TRUE(reg.ReadBool(QStringLiteral("Flag")));
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("Flag")), 1);
  EXPECT_EQ(reg.ReadFloat(QStringLiteral("Float")), 3.141592653589793);
  EXPECT_EQ(reg.GetDataType(QStringLiteral("Float")), rdBinary);
  EXPECT_EQ(reg.GetDataSize(QStringLiteral("Float")), 8);
  EXPECT_EQ(reg.ReadDateTime(QStringLiteral("When")), 45000.75);
  QByteArray back(300, '\0');
  EXPECT_EQ(reg.ReadBinaryData(QStringLiteral("Blob"), back.data(), 300), 200);
  EXPECT_EQ(back.left(200), blob);
  EXPECT_EQ(reg.ReadBinaryData(QStringLiteral("NoBytes"), back.data(), 300), 0);
  EXPECT_TRUE(reg.ValueExists(QStringLiteral("NoBytes")));

  // The file is in the registry editor's export format.
  const QString saved = QString::fromUtf8(ReadBytes(file_));
  EXPECT_TRUE(saved.startsWith(QStringLiteral("Windows Registry Editor Version 5.00\n")));
  for (const char* line : {"[HKEY_CURRENT_USER\\Software\\Tallowfinch\\Test]\n",
                           "@=\"default\"\n", "\"Count\"=dword:0000000a\n",
                           "\"Min\"=dword:80000000\n",
                           "\"Name \\\"with\\\" \\\\ marks\"=\"x\"\n",
                           "\"Flag\"=dword:00000001\n", "\"NoBytes\"=hex:\n",
                           "\"Path\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,5c,00,62,00,00,00\n",
                           "\"Lines\"=hex(1):"})
    EXPECT_TRUE(saved.contains(QString::fromUtf8(line))) << line;
  EXPECT_TRUE(saved.contains(QStringLiteral("\"Text\"=\"C:\\\\Temp \\\"quoted\\\" caf\u00e9")));
  EXPECT_TRUE(saved.contains(QStringLiteral(",\\\n  "))) << "long hex data goes on over lines";
}

TEST_F(RegistryTest, ReadsOfMissingValuesAndWrongTypes) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  reg.WriteString(QStringLiteral("Text"), QStringLiteral("abc"));
  reg.WriteInteger(QStringLiteral("Count"), 3);
  const char small[4] = {1, 2, 3, 4};
  reg.WriteBinaryData(QStringLiteral("Small"), small, 4);

  EXPECT_EQ(reg.ReadString(QStringLiteral("Missing")), QString());
  EXPECT_FALSE(reg.ValueExists(QStringLiteral("Missing")));
  EXPECT_EQ(reg.GetDataSize(QStringLiteral("Missing")), -1);
  EXPECT_EQ(reg.GetDataType(QStringLiteral("Missing")), rdUnknown);
  char buffer[8] = {};
  EXPECT_EQ(reg.ReadBinaryData(QStringLiteral("Missing"), buffer, 8), 0);

  struct Case {
    const char* what;
    std::function<void()> call;
    QString message;
  };
  const std::vector<Case> cases = {
      {"integer, missing", [&] { reg.ReadInteger(QStringLiteral("Missing")); },
       QStringLiteral("Failed to get data for 'Missing'")},
      {"bool, missing", [&] { reg.ReadBool(QStringLiteral("Missing")); },
       QStringLiteral("Failed to get data for 'Missing'")},
      {"float, missing", [&] { reg.ReadFloat(QStringLiteral("Missing")); },
       QStringLiteral("Failed to get data for 'Missing'")},
      {"date, missing", [&] { reg.ReadDateTime(QStringLiteral("Missing")); },
       QStringLiteral("Failed to get data for 'Missing'")},
      {"integer of a text", [&] { reg.ReadInteger(QStringLiteral("Text")); },
       QStringLiteral("Invalid data type for 'Text'")},
      {"bool of a text", [&] { reg.ReadBool(QStringLiteral("Text")); },
       QStringLiteral("Invalid data type for 'Text'")},
      {"text of an integer", [&] { reg.ReadString(QStringLiteral("Count")); },
       QStringLiteral("Invalid data type for 'Count'")},
      {"float of an integer", [&] { reg.ReadFloat(QStringLiteral("Count")); },
       QStringLiteral("Invalid data type for 'Count'")},
      {"float of 4 bytes", [&] { reg.ReadFloat(QStringLiteral("Small")); },
       QStringLiteral("Invalid data type for 'Small'")},
      {"integer of 4 bytes", [&] { reg.ReadInteger(QStringLiteral("Small")); },
       QStringLiteral("Invalid data type for 'Small'")},
      {"binary of a text", [&] { reg.ReadBinaryData(QStringLiteral("Text"), buffer, 8); },
       QStringLiteral("Invalid data type for 'Text'")},
      {"binary too big", [&] { reg.ReadBinaryData(QStringLiteral("Small"), buffer, 3); },
       QStringLiteral("Invalid data type for 'Small'")},
      {"bad value name",
       [&] { reg.WriteString(QStringLiteral("two\nlines"), QStringLiteral("x")); },
       QStringLiteral("Failed to set data for 'two\nlines'")},
      {"bad key name", [&] { reg.CreateKey(QStringLiteral("a\\\\b")); },
       QStringLiteral("Failed to create key a\\\\b")},
      {"write, no key",
       [] {
         TRegistry none;
         none.WriteInteger(QStringLiteral("X"), 1);
       },
       QStringLiteral("Failed to set data for 'X'")},
      {"write, key deleted meanwhile",
       [] {
         TRegistry a;
         ASSERT_TRUE(a.OpenKey(QStringLiteral("\\Software\\Gone"), true));
         TRegistry b;
         ASSERT_TRUE(b.DeleteKey(QStringLiteral("\\Software\\Gone")));
         a.WriteString(QStringLiteral("Y"), QStringLiteral("y"));
       },
       QStringLiteral("Failed to set data for 'Y'")},
  };
  for (const Case& c : cases) EXPECT_EQ(RegistryError(c.call), c.message) << c.what;
  EXPECT_FALSE(TRegistry().KeyExists(QStringLiteral("\\Software\\Gone")))
      << "a write must not bring a deleted key back";
}

TEST_F(RegistryTest, OpenKeyWithAndWithoutCreate) {
  TRegistry reg;
  EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
  EXPECT_EQ(reg.CurrentKey(), 0u);
  EXPECT_FALSE(reg.OpenKey(QStringLiteral("\\Software\\Absent"), false));
  EXPECT_EQ(reg.CurrentKey(), 0u);
  EXPECT_FALSE(reg.KeyExists(QStringLiteral("\\Software\\Absent")));

  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Tallowfinch"), true));
  EXPECT_NE(reg.CurrentKey(), 0u);
  EXPECT_EQ(reg.CurrentPath(), QStringLiteral("Software\\Tallowfinch"));
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("Main"), true));  // relative to the current key
  EXPECT_EQ(reg.CurrentPath(), QStringLiteral("Software\\Tallowfinch\\Main"));
  EXPECT_FALSE(reg.OpenKey(QStringLiteral("Nothing"), false));
  EXPECT_EQ(reg.CurrentPath(), QStringLiteral("Software\\Tallowfinch\\Main"))
      << "a failed open keeps the current key";
  EXPECT_TRUE(reg.CreateKey(QStringLiteral("Sub\\Deeper")));
  reg.CloseKey();
  EXPECT_EQ(reg.CurrentKey(), 0u);
  EXPECT_EQ(reg.CurrentPath(), QString());

  Reload();
  TRegistry fresh;
  EXPECT_TRUE(fresh.KeyExists(QStringLiteral("\\SOFTWARE\\tallowfinch\\main\\sub\\DEEPER")));
  ASSERT_TRUE(fresh.OpenKey(QStringLiteral("Software\\TALLOWFINCH"), false));
  QStringList names;
  fresh.GetKeyNames(names);
  EXPECT_EQ(names, QStringList{QStringLiteral("Main")}) << "names keep their stored case";

  // Other root keys are separate trees.
  TRegistry machine;
  machine.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(machine.KeyExists(QStringLiteral("\\Software\\Tallowfinch")));
  ASSERT_TRUE(machine.OpenKey(QStringLiteral("\\Software\\Machine"), true));
  machine.WriteInteger(QStringLiteral("N"), 1);
  EXPECT_TRUE(QString::fromUtf8(ReadBytes(file_))
                  .contains(QStringLiteral("[HKEY_LOCAL_MACHINE\\Software\\Machine]\n\"N\"=dword:00000001")));
}

TEST_F(RegistryTest, ReadOnlyKeyRefusesWrites) {
  {
    TRegistry writer;
    ASSERT_TRUE(writer.OpenKey(kKey, true));
    writer.WriteString(QStringLiteral("Kept"), QStringLiteral("v"));
  }
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKeyReadOnly(QStringLiteral("\\Software\\Absent")));
  EXPECT_EQ(reg.Access(), KEY_ALL_ACCESS);
  ASSERT_TRUE(reg.OpenKeyReadOnly(kKey));
  EXPECT_EQ(reg.Access(), KEY_READ);
  EXPECT_EQ(reg.ReadString(QStringLiteral("Kept")), QStringLiteral("v"));
  EXPECT_EQ(RegistryError([&] { reg.WriteString(QStringLiteral("Kept"), QStringLiteral("w")); }),
            QStringLiteral("Failed to set data for 'Kept'"));
  EXPECT_FALSE(reg.DeleteValue(QStringLiteral("Kept")));
  EXPECT_EQ(RegistryError([&] { reg.CreateKey(QStringLiteral("Child")); }),
            QStringLiteral("Failed to create key Child"));
  EXPECT_FALSE(reg.OpenKey(QStringLiteral("Child"), true));
  // OpenKey now opens with KEY_READ too, as Access says.
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  EXPECT_NE(RegistryError([&] { reg.WriteInteger(QStringLiteral("N"), 1); }), QString());
  reg.SetAccess(KEY_ALL_ACCESS);
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  reg.WriteString(QStringLiteral("Kept"), QStringLiteral("w"));
  EXPECT_EQ(reg.ReadString(QStringLiteral("Kept")), QStringLiteral("w"));
}

TEST_F(RegistryTest, ListsDeletesAndCaseInsensitiveNames) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  EXPECT_FALSE(reg.HasSubKeys());
  for (const char* name : {"zeta", "Alpha", "beta"}) reg.CreateKey(QString::fromLatin1(name));
  reg.CreateKey(QStringLiteral("Alpha\\Inner"));
  for (const char* name : {"Second", "first", "Third"})
    reg.WriteInteger(QString::fromLatin1(name), 1);
  reg.WriteInteger(QStringLiteral("FIRST"), 2);  // replaces "first", keeps its name and place

  QStringList keys, values;
  reg.GetKeyNames(keys);
  reg.GetValueNames(values);
  EXPECT_EQ(keys, (QStringList{"Alpha", "beta", "zeta"}));
  EXPECT_EQ(values, (QStringList{"Second", "first", "Third"}));
  EXPECT_TRUE(reg.HasSubKeys());
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("First")), 2);

  EXPECT_TRUE(reg.DeleteValue(QStringLiteral("SECOND")));
  EXPECT_FALSE(reg.DeleteValue(QStringLiteral("Second")));
  EXPECT_TRUE(reg.DeleteKey(QStringLiteral("ALPHA")));  // with its subkey
  EXPECT_FALSE(reg.KeyExists(QStringLiteral("Alpha\\Inner")));
  EXPECT_FALSE(reg.DeleteKey(QStringLiteral("Alpha")));
  EXPECT_FALSE(reg.DeleteKey(QString())) << "never the current or root key";

  Reload();
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  reg.GetKeyNames(keys);
  reg.GetValueNames(values);
  EXPECT_EQ(keys, (QStringList{"beta", "zeta"}));
  EXPECT_EQ(values, (QStringList{"first", "Third"}));

  TStringList list;
  list.Add(QStringLiteral("stale"));
  reg.GetKeyNames(&list);
  EXPECT_EQ(list.CommaText(), QStringLiteral("beta,zeta"));
  reg.GetValueNames(&list);
  EXPECT_EQ(list.CommaText(), QStringLiteral("first,Third"));

  TRegistry closed;
  closed.GetValueNames(values);
  EXPECT_TRUE(values.isEmpty()) << "no key open, no names";
  closed.GetKeyNames(&list);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(RegistryTest, FailedSaveLeavesOldFileAndMemoryAsTheyWere) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  reg.WriteString(QStringLiteral("Kept"), QStringLiteral("old"));
  const QByteArray before = ReadBytes(file_);
  ASSERT_FALSE(before.isEmpty());

  QByteArray big(64 * 1024, 'x');
  QString error;
  {
    testsupport::FileSizeLimit limit(static_cast<rlim_t>(before.size() + 100));
    error = RegistryError([&] {
      reg.WriteBinaryData(QStringLiteral("Big"), big.constData(), static_cast<int>(big.size()));
    });
    EXPECT_EQ(RegistryError([&] { reg.CreateKey(QStringLiteral("Sub")); }),
              QString()) << "a small change still fits";
    EXPECT_EQ(RegistryError([&] { reg.WriteString(QStringLiteral("Kept"), QString(5000, 'n')); }),
              QStringLiteral("Failed to set data for 'Kept'"));
  }
  EXPECT_EQ(error, QStringLiteral("Failed to set data for 'Big'"));
  EXPECT_FALSE(reg.ValueExists(QStringLiteral("Big")));
  EXPECT_EQ(reg.ReadString(QStringLiteral("Kept")), QStringLiteral("old"));
  EXPECT_EQ(QDir(QFileInfo(file_).absolutePath()).entryList(QDir::Files),
            QStringList{QStringLiteral("registry.reg")})
      << "no temporary file left behind";

  Reload();
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  EXPECT_EQ(reg.ReadString(QStringLiteral("Kept")), QStringLiteral("old"));
  EXPECT_FALSE(reg.ValueExists(QStringLiteral("Big")));
  EXPECT_TRUE(reg.KeyExists(QStringLiteral("Sub")));
}

TEST_F(RegistryTest, DamagedFileKeepsReadableKeysAndACopy) {
  const QByteArray good =
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\Software\\A]\n\"Name\"=\"a\"\n\n";
  const QByteArray tail =
      "\n[HKEY_CURRENT_USER\\Software\\B]\n\"Count\"=dword:00000002\n";
  struct Case {
    const char* what;
    QByteArray middle;
    int line;
    const char* why;
  };
  const std::vector<Case> cases = {
      {"garbage line", "garbage\n", 6, "unreadable line"},
      {"bad dword", "[HKEY_CURRENT_USER\\Software\\C]\n\"N\"=dword:xyz\n", 7,
       "unreadable dword value"},
      {"unknown root", "[HKEY_NOWHERE\\X]\n\"N\"=\"n\"\n", 6, "unknown root key"},
      {"open string", "[HKEY_CURRENT_USER\\Software\\C]\n\"N\"=\"never closed\n", 7,
       "unreadable text value"},
      {"bad hex", "[HKEY_CURRENT_USER\\Software\\C]\n\"N\"=hex:zz\n", 7, "unreadable hex value"},
      {"bad escape", "[HKEY_CURRENT_USER\\Software\\C]\n\"N\"=\"a\\tb\"\n", 7,
       "unreadable text value"},
      {"invalid UTF-8", "; \xff\xfe\n", 6, "invalid UTF-8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QByteArray damaged = good + c.middle + tail;
    WriteBytes(file_, damaged);
    QFile::remove(file_ + QStringLiteral(".damaged"));
    Reload();
    TRegistry reg;
    EXPECT_EQ(RegistryError([&] { reg.OpenKey(QStringLiteral("\\Software\\A"), false); }),
              QStringLiteral("Registry file \"%1\" is damaged at line %2: %3")
                  .arg(file_)
                  .arg(c.line)
                  .arg(QString::fromLatin1(c.why)));
    EXPECT_EQ(TRegistryStore::Instance().LoadError(),
              RegistryError([] { TRegistryStore::Instance().Load(); }));
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\A"), false)) << "later calls work";
    EXPECT_EQ(reg.ReadString(QStringLiteral("Name")), QStringLiteral("a"));
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\B"), false));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("Count")), 2);
    EXPECT_FALSE(QFile::exists(file_ + QStringLiteral(".damaged"))) << "reading changes nothing";
    EXPECT_EQ(ReadBytes(file_), damaged);

    reg.WriteInteger(QStringLiteral("New"), 5);
    EXPECT_EQ(ReadBytes(file_ + QStringLiteral(".damaged")), damaged);
    EXPECT_EQ(TRegistryStore::Instance().LoadError(), QString());
    Reload();
    EXPECT_EQ(RegistryError([&] { reg.OpenKey(QStringLiteral("\\Software\\B"), false); }),
              QString()) << "the new file is sound";
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("New")), 5);
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("Count")), 2);
  }
}

TEST_F(RegistryTest, UnreadableFileIsNeverReplaced) {
  QDir().mkpath(file_);  // a folder where the file should be
  TRegistry reg;
  EXPECT_TRUE(RegistryError([&] { reg.KeyExists(kKey); })
                  .startsWith(QStringLiteral("Cannot read registry file \"%1\": ").arg(file_)));
  EXPECT_FALSE(reg.OpenKey(kKey, true));
  EXPECT_EQ(RegistryError([&] { reg.CreateKey(kKey); }),
            QStringLiteral("Failed to create key %1").arg(kKey));
  EXPECT_TRUE(QFileInfo(file_).isDir());
}

TEST_F(RegistryTest, MissingHeaderIsReportedButKeysAreRead) {
  WriteBytes(file_, "[HKEY_CURRENT_USER\\Software\\A]\r\n\"Name\"=\"a\"\r\n");
  TRegistry reg;
  EXPECT_EQ(RegistryError([&] { reg.OpenKey(QStringLiteral("\\Software\\A"), false); }),
            QStringLiteral("Registry file \"%1\" is damaged at line 1: missing header "
                           "\"Windows Registry Editor Version 5.00\"")
                .arg(file_));
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\A"), false));
  EXPECT_EQ(reg.ReadString(QStringLiteral("Name")), QStringLiteral("a"));
}

TEST_F(RegistryTest, ReadsRegistryEditorExports) {
  // UTF-16 with a byte-order mark, CR LF, comments and continued hex lines.
  const QString text = QStringLiteral(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "; exported\r\n"
      "[HKEY_CURRENT_USER\\Software\\Export]\r\n"
      "@=\"d\"\r\n"
      "\"Data\"=hex:01,02,\\\r\n  03\r\n"
      "\"Q\"=hex(b):01,00,00,00,00,00,00,00\r\n");
  QByteArray bytes("\xFF\xFE", 2);
  for (QChar ch : text) {
    bytes.append(static_cast<char>(ch.unicode() & 0xFF));
    bytes.append(static_cast<char>(ch.unicode() >> 8));
  }
  WriteBytes(file_, bytes);
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Export"), false));
  EXPECT_EQ(reg.ReadString(QString()), QStringLiteral("d"));
  char data[8] = {};
  EXPECT_EQ(reg.ReadBinaryData(QStringLiteral("Data"), data, 8), 3);
  EXPECT_EQ(QByteArray(data, 3), QByteArray("\x01\x02\x03", 3));
  EXPECT_EQ(reg.GetDataType(QStringLiteral("Q")), rdUnknown);
  EXPECT_EQ(reg.ReadBinaryData(QStringLiteral("Q"), data, 8), 8);
  EXPECT_EQ(TRegistryStore::Instance().LoadError(), QString());
}

// A UTF-16 export whose key name holds a lone surrogate: the store writes
// UTF-8, where that name cannot go, so the line counts as damaged (its key
// and values are left out, not added to the key before it) instead of coming
// back as another name after a save.
TEST_F(RegistryTest, LoneSurrogateInAUtf16ExportIsDamage) {
  const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                      "[HKEY_CURRENT_USER\\Software\\Good]\r\n\"N\"=\"g\"\r\n\r\n"
                                      "[HKEY_CURRENT_USER\\Software\\Bad") +
                       QChar(0xDC00) + QStringLiteral("]\r\n\"N\"=\"b\"\r\n");
  QByteArray bytes("\xFF\xFE", 2);
  for (QChar ch : text) {
    bytes.append(static_cast<char>(ch.unicode() & 0xFF));
    bytes.append(static_cast<char>(ch.unicode() >> 8));
  }
  WriteBytes(file_, bytes);
  Reload();
  TRegistry reg;
  EXPECT_EQ(RegistryError([&] { reg.OpenKey(QStringLiteral("\\Software\\Good"), false); }),
            QStringLiteral("Registry file \"%1\" is damaged at line 6: invalid UTF-16").arg(file_));
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Good"), false));
  EXPECT_EQ(reg.ReadString(QStringLiteral("N")), QStringLiteral("g"));
  QStringList keys;
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software"), false));
  reg.GetKeyNames(keys);
  EXPECT_EQ(keys, QStringList{QStringLiteral("Good")});
}

TEST_F(RegistryTest, CallbacksForChangesInThisProcess) {
  TRegistryStore& store = TRegistryStore::Instance();
  QStringList subtree, exact;
  const int a = store.Subscribe(HKEY_CURRENT_USER, QStringLiteral("software\\WATCH"), true,
                                [&](HKEY root, const QString& path) {
                                  EXPECT_EQ(root, HKEY_CURRENT_USER);
                                  subtree << path;
                                });
  const int b = store.Subscribe(HKEY_CURRENT_USER, QStringLiteral("Software\\Watch"), false,
                                [&](HKEY, const QString& path) { exact << path; });
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Watch\\Sub"), true));
  EXPECT_EQ(subtree.size(), 1) << "one call per change";
  EXPECT_EQ(exact.size(), 1) << "a new key changes the key above it";
  subtree.clear();
  exact.clear();

  reg.WriteString(QStringLiteral("V"), QStringLiteral("1"));
  EXPECT_EQ(subtree, QStringList{QStringLiteral("Software\\Watch\\Sub")});
  EXPECT_TRUE(exact.isEmpty()) << "a value under a subkey is not the key's own change";

  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Watch"), false));
  reg.WriteInteger(QStringLiteral("W"), 1);
  EXPECT_EQ(exact, QStringList{QStringLiteral("Software\\Watch")});

  TRegistry other;
  ASSERT_TRUE(other.OpenKey(QStringLiteral("\\Software\\Elsewhere"), true));
  other.WriteInteger(QStringLiteral("X"), 1);
  EXPECT_EQ(subtree.size(), 2);

  store.Unsubscribe(a);
  store.Unsubscribe(b);
  reg.WriteInteger(QStringLiteral("W"), 2);
  EXPECT_EQ(subtree.size(), 2);
  EXPECT_EQ(exact.size(), 1);
}

TEST_F(RegistryTest, ChangesByAnotherProcessAreSeen) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Shared"), true));
  reg.WriteString(QStringLiteral("Mine"), QStringLiteral("1"));

  QStringList calls;
  const int id = TRegistryStore::Instance().Subscribe(
      HKEY_CURRENT_USER, QStringLiteral("Software\\Shared"), true,
      [&](HKEY, const QString& path) { calls << path; });

  // Another process rewrites the file in place.
  QByteArray text = ReadBytes(file_);
  text.replace("\"Mine\"=\"1\"", "\"Mine\"=\"1\"\n\"Theirs\"=dword:00000007");
  WriteBytes(file_, text);
  QDeadlineTimer deadline(5000);
  while (calls.isEmpty() && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_EQ(calls, QStringList{QStringLiteral("Software\\Shared")});
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("Theirs")), 7);
  TRegistryStore::Instance().Unsubscribe(id);

  // Without an event loop a change is still taken in before a read or write,
  // and a write keeps what the other process wrote.
  QSaveFile other(file_);
  ASSERT_TRUE(other.open(QIODevice::WriteOnly));
  other.write(ReadBytes(file_).replace("dword:00000007", "dword:00000008"));
  ASSERT_TRUE(other.commit());
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("Theirs")), 8);
  reg.WriteString(QStringLiteral("Later"), QStringLiteral("x"));
  Reload();
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Shared"), false));
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("Theirs")), 8);
  EXPECT_EQ(reg.ReadString(QStringLiteral("Mine")), QStringLiteral("1"));
  EXPECT_EQ(reg.ReadString(QStringLiteral("Later")), QStringLiteral("x"));
}

TEST_F(RegistryTest, ThreadsWriteWithoutLosingValues) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      TRegistry reg;
      if (!reg.OpenKey(QStringLiteral("\\Software\\Threads\\T%1").arg(t), true)) return;
      for (int i = 0; i < 10; ++i) reg.WriteInteger(QStringLiteral("V%1").arg(i), t * 100 + i);
    });
  }
  for (std::thread& thread : threads) thread.join();
  Reload();
  TRegistry reg;
  for (int t = 0; t < 4; ++t) {
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Threads\\T%1").arg(t), false));
    for (int i = 0; i < 10; ++i) EXPECT_EQ(reg.ReadInteger(QStringLiteral("V%1").arg(i)), t * 100 + i);
  }
}

TEST_F(RegistryTest, RegistryIniFileMapsSectionsToSubkeys) {
  {
    TRegistryIniFile ini(QStringLiteral("Software\\Tallowfinch\\Grid"));
    ini.WriteString(QStringLiteral("Cols"), QStringLiteral("Name"), QStringLiteral("text"));
    ini.WriteInteger(QStringLiteral("Cols"), QStringLiteral("Col0"), 64);
    ini.WriteBool(QStringLiteral("Cols"), QStringLiteral("Shown"), true);
    ini.WriteFloat(QStringLiteral("Cols"), QStringLiteral("Scale"), 1.25);
    ini.WriteDateTime(QStringLiteral("Cols"), QStringLiteral("Saved"), 45000.5);
    ini.WriteInteger(QStringLiteral("Other"), QStringLiteral("X"), -3);
  }
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Tallowfinch\\Grid\\Cols"), false));
  EXPECT_EQ(reg.GetDataType(QStringLiteral("Col0")), rdInteger);
  EXPECT_EQ(reg.GetDataType(QStringLiteral("Shown")), rdString);
  EXPECT_EQ(reg.GetDataType(QStringLiteral("Scale")), rdBinary);
  reg.WriteString(QStringLiteral("Digits"), QStringLiteral("0x10"));

  Reload();
  TRegistryIniFile ini(QStringLiteral("Software\\Tallowfinch\\Grid"));
  EXPECT_EQ(ini.ReadString(QStringLiteral("cols"), QStringLiteral("NAME"), QString()),
            QStringLiteral("text"));
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Cols"), QStringLiteral("Col0"), 0), 64);
  EXPECT_EQ(ini.ReadString(QStringLiteral("Cols"), QStringLiteral("Col0"), QString()),
            QStringLiteral("64"));
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Cols"), QStringLiteral("Digits"), 0), 16);
  EXPECT_TRUE(ini.ReadBool(QStringLiteral("Cols"), QStringLiteral("Shown"), false));
  EXPECT_EQ(ini.ReadFloat(QStringLiteral("Cols"), QStringLiteral("Scale"), 0), 1.25);
  EXPECT_EQ(ini.ReadDateTime(QStringLiteral("Cols"), QStringLiteral("Saved"), 0), 45000.5);
  EXPECT_EQ(ini.ReadFloat(QStringLiteral("Cols"), QStringLiteral("Col0"), 0), 64.0)
      << "an integer value reads as its digits";
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Cols"), QStringLiteral("Missing"), 9), 9);
  EXPECT_EQ(ini.ReadString(QStringLiteral("Nowhere"), QStringLiteral("X"), QStringLiteral("d")),
            QStringLiteral("d"));
  EXPECT_FALSE(ini.ReadBool(QStringLiteral("Cols"), QStringLiteral("Name"), false));

  // Writing an integer over a text keeps the text type.
  ini.WriteInteger(QStringLiteral("Cols"), QStringLiteral("Digits"), 5);
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Tallowfinch\\Grid\\Cols"), false));
  EXPECT_EQ(reg.ReadString(QStringLiteral("Digits")), QStringLiteral("5"));

  QStringList list;
  ini.ReadSections(list);
  EXPECT_EQ(list, (QStringList{"Cols", "Other"}));
  ini.ReadSection(QStringLiteral("Cols"), list);
  EXPECT_EQ(list, (QStringList{"Name", "Col0", "Shown", "Scale", "Saved", "Digits"}));
  ini.ReadSectionValues(QStringLiteral("Other"), list);
  EXPECT_EQ(list, QStringList{QStringLiteral("X=-3")});
  TStringList strings;
  ini.ReadSectionValues(QStringLiteral("Other"), &strings);
  EXPECT_EQ(strings.Text(), QStringLiteral("X=-3\r\n"));
  ini.ReadSections(&strings);
  EXPECT_EQ(strings.CommaText(), QStringLiteral("Cols,Other"));
  EXPECT_TRUE(ini.SectionExists(QStringLiteral("OTHER")));
  EXPECT_TRUE(ini.ValueExists(QStringLiteral("Cols"), QStringLiteral("col0")));

  ini.DeleteKey(QStringLiteral("Cols"), QStringLiteral("Col0"));
  EXPECT_FALSE(ini.ValueExists(QStringLiteral("Cols"), QStringLiteral("Col0")));
  ini.EraseSection(QStringLiteral("Other"));
  EXPECT_FALSE(ini.SectionExists(QStringLiteral("Other")));
  EXPECT_FALSE(reg.KeyExists(QStringLiteral("\\Software\\Tallowfinch\\Grid\\Other")));
}

TEST_F(RegistryTest, ReadOnlyRegistryIniFileRefusesWrites) {
  TRegistryIniFile ini(QStringLiteral("Software\\Tallowfinch\\Locked"), KEY_READ);
  EXPECT_EQ(RegistryError([&] {
              ini.WriteString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"));
            }),
            QStringLiteral("Failed to set data for 'K'"));
  EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("d")),
            QStringLiteral("d"));
}

}  // namespace
