#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <functional>
#include <memory>

#include "tests/platform/rtl/FileSizeLimit.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::ReadBytes;
using testsupport::WriteBytes;

const QByteArray kSample =
    "; settings of the grid\r\n"
    "\r\n"
    "[ Columns ]\r\n"
    "  Col0 =  64  \r\n"
    "; the second column\r\n"
    "Col1=80\r\n"
    "col0=999\r\n"
    "\r\n"
    "[Print]\r\n"
    "Title=\"Quoted\"\r\n"
    "Centered=Y\r\n";

class IniFilesTest : public ::testing::Test {
 protected:
  QString File(const char* name = "settings.ini") const {
    return dir_.File(QString::fromLatin1(name));
  }
  testsupport::TempDir dir_;
};

// Both kinds of INI file must read a file the same way.
using IniFactory = std::function<std::unique_ptr<TCustomIniFile>(const QString&)>;

class IniReadTest : public IniFilesTest, public ::testing::WithParamInterface<IniFactory> {};

TEST_P(IniReadTest, LooksUpWithoutCaseAndTrimsBlanks) {
  WriteBytes(File(), kSample);
  auto ini = GetParam()(File());
  EXPECT_EQ(ini->ReadString("columns", "COL0", "d"), "64") << "the first of two equal keys";
  EXPECT_EQ(ini->ReadString(" COLUMNS ", " col1 ", "d"), "80");
  EXPECT_EQ(ini->ReadString("Columns", "Col2", "d"), "d");
  EXPECT_EQ(ini->ReadString("Nowhere", "Col0", "d"), "d");
  EXPECT_EQ(ini->ReadInteger("Columns", "Col0", 0), 64);

  QStringList list;
  ini->ReadSections(list);
  EXPECT_EQ(list, (QStringList{"Columns", "Print"}));
  ini->ReadSection("COLUMNS", list);
  EXPECT_EQ(list, (QStringList{"Col0", "Col1"}));
  EXPECT_TRUE(ini->SectionExists("print"));
  EXPECT_FALSE(ini->SectionExists("Missing"));
  EXPECT_TRUE(ini->ValueExists("Print", "centered"));
  EXPECT_FALSE(ini->ValueExists("Print", "Col0"));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, IniReadTest,
    ::testing::Values(
        [](const QString& f) -> std::unique_ptr<TCustomIniFile> { return std::make_unique<TMemIniFile>(f); },
        [](const QString& f) -> std::unique_ptr<TCustomIniFile> { return std::make_unique<TIniFile>(f); }));

TEST_F(IniFilesTest, NumbersBooleansAndDates) {
  TMemIniFile ini(File());
  struct Case {
    const char* text;
    int integer;  // with default -7
    bool boolFromFalse;
    bool boolFromTrue;
  };
  const Case cases[] = {
      {"42", 42, true, true},          {"-5", -5, true, true},
      {"0", 0, false, false},          {"0x1F", 31, true, true},
      {"0X1f", 31, true, true},        {"$10", 16, true, true},
      {"0xFFFFFFFF", -1, true, true},  {"2147483647", 2147483647, true, true},
      {"2147483648", -7, false, true}, {"0x100000000", -7, false, true},
      {"12abc", -7, false, true},      {"abc", -7, false, true},
      {"yes", -7, false, true},        {"0x", -7, false, true},
      {"", -7, false, true},
  };
  for (const Case& c : cases) {
    ini.WriteString("N", "V", QString::fromLatin1(c.text));
    EXPECT_EQ(ini.ReadInteger("N", "V", -7), c.integer) << c.text;
    EXPECT_EQ(ini.ReadBool("N", "V", false), c.boolFromFalse) << c.text;
    EXPECT_EQ(ini.ReadBool("N", "V", true), c.boolFromTrue) << c.text;
  }
  EXPECT_EQ(ini.ReadInteger("N", "Missing", 3), 3);

  ini.WriteInteger("N", "I", -12);
  ini.WriteBool("N", "B", true);
  ini.WriteBool("N", "C", false);
  ini.WriteFloat("N", "F", 0.1);
  EXPECT_EQ(ini.ReadString("N", "I", ""), "-12");
  EXPECT_EQ(ini.ReadString("N", "B", ""), "1");
  EXPECT_EQ(ini.ReadString("N", "C", ""), "0");
  EXPECT_EQ(ini.ReadFloat("N", "F", 0), 0.1);
  ini.WriteString("N", "F", "abc");
  EXPECT_EQ(ini.ReadFloat("N", "F", 2.5), 2.5);

  // Dates and times go through the process's format settings.
  const TDateTime date = EncodeDate(2024, 3, 5);
  const TDateTime time = EncodeTime(13, 45, 30, 0);
  ini.WriteDate("D", "Date", date);
  ini.WriteTime("D", "Time", time);
  ini.WriteDateTime("D", "Both", date + time);
  EXPECT_EQ(ini.ReadString("D", "Date", ""), DateToStr(date));
  EXPECT_EQ(ini.ReadString("D", "Both", ""), DateTimeToStr(date + time));
  EXPECT_EQ(ini.ReadDate("D", "Date", 0), date);
  EXPECT_DOUBLE_EQ(ini.ReadTime("D", "Time", 0), time);
  EXPECT_DOUBLE_EQ(ini.ReadDateTime("D", "Both", 0), date + time);
  EXPECT_EQ(ini.ReadDate("D", "Missing", 7.0), 7.0);
  ini.WriteString("D", "Date", "not a date");
  EXPECT_EQ(ini.ReadDate("D", "Date", 7.0), 7.0);
}

TEST_F(IniFilesTest, MemIniFileKeepsCommentsAndUntouchedLines) {
  WriteBytes(File(), kSample);
  TMemIniFile ini(File());
  ini.WriteString("columns", "COL1", "81");          // changed in place, keeps the stored name
  ini.WriteString("Columns", "Col2", "90");          // appended after the section's last line
  ini.WriteString("New Section", "Key", " value ");  // a new section at the end
  ini.DeleteKey("Print", "Centered");
  EXPECT_EQ(ReadBytes(File()), kSample) << "nothing written before UpdateFile";
  ini.UpdateFile();
  EXPECT_EQ(ReadBytes(File()), QByteArray("; settings of the grid\r\n"
                                          "\r\n"
                                          "[ Columns ]\r\n"
                                          "  Col0 =  64  \r\n"
                                          "; the second column\r\n"
                                          "Col1=81\r\n"
                                          "col0=999\r\n"
                                          "Col2=90\r\n"
                                          "\r\n"
                                          "[Print]\r\n"
                                          "Title=\"Quoted\"\r\n"
                                          "\r\n"
                                          "[New Section]\r\n"
                                          "Key=value\r\n"));

  TMemIniFile again(File());
  EXPECT_EQ(again.ReadString("new section", "key", ""), "value");
  EXPECT_EQ(again.ReadString("Print", "Title", ""), "\"Quoted\"") << "no quote stripping here";
  QStringList values;
  again.ReadSectionValues("Columns", values);
  EXPECT_EQ(values, (QStringList{"Col0=64", "Col1=81", "col0=999", "Col2=90"}));
}

TEST_F(IniFilesTest, EraseDeleteAndStrings) {
  TMemIniFile ini(File());
  ini.SetStrings({"[A]", "x=1", "y=2", "[B]", "z=3", "[a]", "w=4"});
  ini.EraseSection("a");
  QStringList lines;
  ini.GetStrings(lines);
  EXPECT_EQ(lines, (QStringList{"[B]", "z=3"})) << "every section of that name goes";
  ini.DeleteKey("B", "Z");
  EXPECT_FALSE(ini.ValueExists("B", "z"));
  ini.DeleteKey("B", "absent");
  ini.EraseSection("absent");
  ini.Clear();
  ini.GetStrings(lines);
  EXPECT_TRUE(lines.isEmpty());
  ini.SetStrings({"[S]\r\nk=v"});  // an item with a line break is several lines
  EXPECT_EQ(ini.ReadString("S", "K", ""), "v");
  // The same through string lists.
  TStringList source;
  source.SetText("[One]\r\na=1\r\n; note\r\nb=2\r\n[Two]\r\nc=3");
  ini.SetStrings(&source);
  TStringList target;
  target.Add("stale");
  ini.GetStrings(&target);
  EXPECT_TRUE(target.Equals(&source));
  ini.ReadSections(&target);
  EXPECT_EQ(target.CommaText(), "One,Two");
  ini.ReadSection("one", &target);
  EXPECT_EQ(target.CommaText(), "a,b");
  ini.ReadSectionValues("One", &target);
  EXPECT_EQ(target.CommaText(), "a=1,b=2");
  ini.ReadSection("absent", &target);
  EXPECT_EQ(target.Count(), 0);
}

TEST_F(IniFilesTest, RefusesNamesAndValuesThatBreakTheFile) {
  TMemIniFile ini(File());
  const std::vector<std::pair<QString, QString>> badNames = {
      {"Sec]tion", "K"}, {"Sec\ntion", "K"}, {"S", "K=ey"}, {"S", "[K]"},
      {"S", ";K"},       {"S", ""},          {"S", "K\r"},
  };
  for (const auto& [section, key] : badNames)
    EXPECT_THROW(ini.WriteString(section, key, "v"), EIniFileException)
        << (section + "/" + key).toStdString();
  EXPECT_THROW(ini.WriteString("S", "K", "one\ntwo"), EIniFileException);
  QStringList lines;
  ini.GetStrings(lines);
  EXPECT_TRUE(lines.isEmpty());
}

TEST_F(IniFilesTest, EncodingIsDetectedAndKept) {
  struct Case {
    const char* what;
    QByteArray bytes;
  };
  const QString text = QStringLiteral("[S]\r\nK=caf\u00e9 \u20ac\r\n");
  QByteArray utf16le("\xFF\xFE", 2);
  QByteArray utf16be("\xFE\xFF", 2);
  for (QChar ch : text) {
    utf16le.append(static_cast<char>(ch.unicode() & 0xFF)).append(static_cast<char>(ch.unicode() >> 8));
    utf16be.append(static_cast<char>(ch.unicode() >> 8)).append(static_cast<char>(ch.unicode() & 0xFF));
  }
  const Case cases[] = {
      {"UTF-8", text.toUtf8()},
      {"UTF-8 with mark", QByteArray("\xEF\xBB\xBF") + text.toUtf8()},
      {"UTF-16 LE", utf16le},
      {"UTF-16 BE", utf16be},
      {"Windows-1252", QByteArray("[S]\r\nK=caf\xE9 \x80\r\n")},
      {"LF only", QByteArray("[S]\nK=caf\xC3\xA9 \xE2\x82\xAC\n")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(File(), c.bytes);
    TMemIniFile ini(File());
    EXPECT_EQ(ini.ReadString("S", "K", ""), QStringLiteral("caf\u00e9 \u20ac"));
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(File()), c.bytes) << "written back as it was read";
  }

  TMemIniFile fresh(File("new.ini"));
  fresh.WriteString("S", "K", QStringLiteral("\u00e9"));
  fresh.UpdateFile();
  EXPECT_EQ(ReadBytes(File("new.ini")), QByteArray("[S]\r\nK=\xC3\xA9\r\n"));
}

// A file read as Windows-1252 keeps every value through a change: when the
// text no longer fits the code page, or its bytes would be taken for UTF-8
// once the line that made the file ANSI is gone, it is written as UTF-8 with
// a byte-order mark instead.
TEST_F(IniFilesTest, AnsiFilesKeepTheirValuesThroughChanges) {
  struct Case {
    const char* what;
    std::function<void(TMemIniFile&)> change;
    QString b;            // value B after the change, read from the file
    QByteArray start;     // how the written file starts
  };
  // "\xC3\xA9" are the ANSI characters "A tilde, copyright", which as UTF-8
  // would read as one "e acute"; "\xE9" alone (line A) is not UTF-8.
  const QByteArray ansi("[S]\r\nA=caf\xE9\r\nB=\xC3\xA9t\r\n");
  const Case cases[] = {
      {"an unchanged file stays ANSI", [](TMemIniFile&) {}, QStringLiteral("\u00C3\u00A9t"),
       QByteArray("[S]\r\nA=caf\xE9")},
      {"the line that made it ANSI removed", [](TMemIniFile& ini) { ini.DeleteKey("S", "A"); },
       QStringLiteral("\u00C3\u00A9t"), QByteArray("\xEF\xBB\xBF[S]")},
      {"a character beyond the code page", [](TMemIniFile& ini) { ini.WriteString("S", "B", QStringLiteral("\u0151")); },
       QStringLiteral("\u0151"), QByteArray("\xEF\xBB\xBF[S]")},
      {"a character of the code page", [](TMemIniFile& ini) { ini.WriteString("S", "B", QStringLiteral("\u20AC")); },
       QStringLiteral("\u20AC"), QByteArray("[S]\r\nA=caf\xE9")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(File(), ansi);
    {
      TMemIniFile ini(File());
      ASSERT_EQ(ini.ReadString("S", "B", ""), QStringLiteral("\u00C3\u00A9t"));
      c.change(ini);
      ini.UpdateFile();
    }
    EXPECT_TRUE(ReadBytes(File()).startsWith(c.start)) << ReadBytes(File()).toHex(' ').toStdString();
    TMemIniFile reread(File());
    EXPECT_EQ(reread.ReadString("S", "B", ""), c.b);
  }
}

TEST_F(IniFilesTest, IniFileWritesThroughAndSeesOtherWriters) {
  TIniFile ini(File("sub/folder/live.ini"));
  EXPECT_EQ(ini.ReadString("S", "K", "d"), "d");
  ini.WriteString("S", "K", "v");
  EXPECT_EQ(ReadBytes(File("sub/folder/live.ini")), QByteArray("[S]\r\nK=v\r\n"));
  ini.WriteInteger("S", "N", 5);
  EXPECT_EQ(TMemIniFile(File("sub/folder/live.ini")).ReadInteger("S", "N", 0), 5);

  // Another program changes the file.
  WriteBytes(File("sub/folder/live.ini"), "[S]\r\nK='single'\r\nN=6\r\n; mine\r\n");
  EXPECT_EQ(ini.ReadString("S", "K", ""), "single") << "quotes are stripped";
  EXPECT_EQ(ini.ReadInteger("S", "N", 0), 6);
  ini.WriteString("T", "X", "1");
  EXPECT_EQ(ReadBytes(File("sub/folder/live.ini")),
            QByteArray("[S]\r\nK='single'\r\nN=6\r\n; mine\r\n\r\n[T]\r\nX=1\r\n"));
  ini.EraseSection("S");
  ini.DeleteKey("T", "X");
  EXPECT_EQ(ReadBytes(File("sub/folder/live.ini")), QByteArray("[T]\r\n"));
  ini.UpdateFile();
}

TEST_F(IniFilesTest, FailedWritesLeaveTheFileAsItWas) {
  WriteBytes(File(), kSample);
  TIniFile ini(File());
  TMemIniFile mem(File());
  const QString big(4000, QLatin1Char('x'));
  mem.WriteString("Columns", "Big", big);
  {
    testsupport::FileSizeLimit limit(static_cast<rlim_t>(kSample.size() + 50));
    try {
      ini.WriteString("Columns", "Big", big);
      ADD_FAILURE() << "no exception";
    } catch (const EIniFileException& e) {
      EXPECT_EQ(e.Message(), QStringLiteral("Unable to write to %1").arg(File()));
    }
    EXPECT_THROW(mem.UpdateFile(), EFCreateError);
  }
  EXPECT_EQ(ReadBytes(File()), kSample);
  EXPECT_EQ(ini.ReadString("Columns", "Big", "none"), "none");
  EXPECT_EQ(QDir(dir_.Path()).entryList(QDir::Files), QStringList{"settings.ini"});

  // A file that cannot be read at all.
  QDir(dir_.Path()).mkdir("folder.ini");
  TIniFile unreadable(File("folder.ini"));
  EXPECT_EQ(unreadable.ReadString("S", "K", "d"), "d");
  EXPECT_THROW(unreadable.WriteString("S", "K", "v"), EIniFileException);
  EXPECT_THROW(unreadable.EraseSection("S"), EIniFileException);
  EXPECT_THROW(TMemIniFile(File("folder.ini")), EFOpenError);
}

}  // namespace
