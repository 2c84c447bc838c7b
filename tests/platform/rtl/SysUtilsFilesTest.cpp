// File names, folder and file operations, file times and ticks.

#include <gtest/gtest.h>

#include <QFile>

#include "platform/rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

using testsupport::ReadBytes;
using testsupport::WriteBytes;

TEST(FileNameTest, PartsOfNames) {
  struct Row {
    const char* Name;
    const char* Path;
    const char* Dir;
    const char* File;
    const char* Ext;
  };
  const Row rows[] = {
      {"/a/b.txt", "/a/", "/a", "b.txt", ".txt"},
      {"b.txt", "", "", "b.txt", ".txt"},
      {"/b.txt", "/", "/", "b.txt", ".txt"},
      {"/", "/", "/", "", ""},
      {"/a/", "/a/", "/a", "", ""},
      {"a//b", "a//", "a//", "b", ""},
      {"/a.d/b", "/a.d/", "/a.d", "b", ""},
      {"x.tar.gz", "", "", "x.tar.gz", ".gz"},
      {".bashrc", "", "", ".bashrc", ".bashrc"},
      {"a.", "", "", "a.", "."},
      {"", "", "", "", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Name);
    EXPECT_EQ(ExtractFilePath(r.Name), r.Path);
    EXPECT_EQ(ExtractFileDir(r.Name), r.Dir);
    EXPECT_EQ(ExtractFileName(r.Name), r.File);
    EXPECT_EQ(ExtractFileExt(r.Name), r.Ext);
  }
  const std::tuple<const char*, const char*, const char*> changes[] = {
      {"/a/b.txt", ".csv", "/a/b.csv"}, {"/a.d/b", ".x", "/a.d/b.x"}, {"b.txt", "", "b"}, {"", ".x", ".x"}};
  for (auto [name, ext, want] : changes) EXPECT_EQ(ChangeFileExt(name, ext), want) << name;

  const std::tuple<const char*, const char*, const char*> delims[] = {
      {"/a", "/a/", "/a"}, {"/a/", "/a/", "/a"}, {"", "/", ""}, {"/", "/", "/"}};
  for (auto [name, included, excluded] : delims) {
    EXPECT_EQ(IncludeTrailingPathDelimiter(name), included) << name;
    EXPECT_EQ(ExcludeTrailingPathDelimiter(name), excluded) << name;
  }
  EXPECT_EQ(PathDelim, QChar(u'/'));
}

TEST(FileNameTest, ExpandFileNameResolvesDots) {
  const QString cwd = GetCurrentDir();
  EXPECT_EQ(ExpandFileName("x/../y.txt"), cwd + "/y.txt");
  EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
  EXPECT_EQ(ExpandFileName("/a//b/"), "/a/b/");
  EXPECT_EQ(ExpandFileName("/../a"), "/a");
  EXPECT_EQ(ExpandFileName("/.."), "/");
  EXPECT_EQ(ExpandFileName(""), "");
}

TEST(FileOperationTest, FoldersAndFiles) {
  testsupport::TempDir tmp;
  const QString dir = tmp.File("d");
  EXPECT_TRUE(CreateDir(dir));
  EXPECT_FALSE(CreateDir(dir));  // exists already
  EXPECT_FALSE(CreateDir(tmp.File("missing/child")));
  EXPECT_TRUE(DirectoryExists(dir));
  EXPECT_FALSE(FileExists(dir));

  const QString deep = tmp.File("x/y/z");
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_FALSE(ForceDirectories(""));

  const QString f = tmp.File("f.txt"), g = tmp.File("g.txt");
  WriteBytes(f, "one");
  EXPECT_TRUE(FileExists(f));
  EXPECT_FALSE(DirectoryExists(f));
  EXPECT_FALSE(ForceDirectories(f + "/sub"));

  EXPECT_TRUE(RenameFile(f, g));
  EXPECT_FALSE(FileExists(f));
  EXPECT_EQ(ReadBytes(g), "one");
  WriteBytes(f, "two");
  EXPECT_FALSE(RenameFile(f, g));  // never overwrites
  EXPECT_EQ(ReadBytes(f), "two");
  EXPECT_EQ(ReadBytes(g), "one");
  EXPECT_FALSE(RenameFile(tmp.File("none"), tmp.File("other")));

  EXPECT_TRUE(DeleteFile(g));
  EXPECT_FALSE(DeleteFile(g));
  EXPECT_FALSE(FileExists(g));
  EXPECT_FALSE(DeleteFile(dir));  // folders are no files
  EXPECT_TRUE(DirectoryExists(dir));

  WriteBytes(dir + "/inner", "x");
  EXPECT_FALSE(RemoveDir(dir));  // not empty
  EXPECT_TRUE(DeleteFile(dir + "/inner"));
  EXPECT_TRUE(RemoveDir(dir));
  EXPECT_FALSE(DirectoryExists(dir));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(DirectoryExists(""));
}

TEST(FileOperationTest, FileAgeIsTheLocalModificationTime) {
  testsupport::TempDir tmp;
  const QString f = tmp.File("aged.txt");
  WriteBytes(f, "x");
  const TDateTime when = EncodeDateTime(2021, 6, 15, 10, 20, 30, 0);
  {
    QFile file(f);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(DateTimeToQDateTime(when), QFileDevice::FileModificationTime));
  }
  TDateTime age = 0;
  EXPECT_TRUE(FileAge(f, age));
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", age), "2021-06-15 10:20:30.000");
  TDateTime untouched = 5;
  EXPECT_FALSE(FileAge(tmp.File("missing"), untouched));
  EXPECT_FALSE(FileAge(tmp.Path(), untouched));
  EXPECT_EQ(untouched, 5);
}

TEST(FileOperationTest, TemporaryFolderAndTicks) {
  const QString temp = GetTempDirectory();
  EXPECT_TRUE(temp.endsWith(u'/'));
  EXPECT_TRUE(DirectoryExists(temp));

  const Cardinal t32 = GetTickCount();
  const UInt64 t64 = GetTickCount64();
  EXPECT_LE(Cardinal(t64) - t32, 1000u);  // the same clock, cut to 32 bits
  Sleep(25);
  const UInt64 later = GetTickCount64();
  EXPECT_GE(later - t64, 25u);
  EXPECT_LT(later - t64, 10000u);
}
