#include <gtest/gtest.h>

#include <QFile>
#include <functional>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Encoding.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::MessageOf;

TBytes Bytes(std::initializer_list<int> values) {
  TBytes result;
  for (int v : values) result.append(static_cast<char>(v));
  return result;
}

TBytes Contents(TCustomMemoryStream& stream) {
  return TBytes(static_cast<const char*>(stream.Memory()), static_cast<qsizetype>(stream.Size()));
}

TBytes FileBytes(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

TEST(TMemoryStreamTest, ReadWriteSeekAndSize) {
  TMemoryStream stream;
  EXPECT_EQ(stream.Write("hello world", 11), 11);
  EXPECT_EQ(stream.Position(), 11);
  EXPECT_EQ(stream.Size(), 11);
  EXPECT_EQ(stream.Seek(-5, soEnd), 6);
  char buffer[16] = {};
  EXPECT_EQ(stream.Read(buffer, 16), 5);  // short read answers what it got
  EXPECT_STREQ(buffer, "world");
  EXPECT_EQ(stream.Read(buffer, 4), 0);
  EXPECT_EQ(stream.Seek(-6, soCurrent), 5);
  stream.Write(",", 1);
  stream.SetPosition(0);
  stream.ReadBuffer(buffer, 11);
  EXPECT_EQ(QByteArray(buffer, 11), "hello,world");
  EXPECT_EQ(MessageOf([&] { stream.ReadBuffer(buffer, 1); }), "EReadError: Stream read error");
  stream.SetPosition(-3);
  EXPECT_EQ(stream.Read(buffer, 1), 0);
  EXPECT_EQ(stream.Write("x", 1), 0);
}

TEST(TMemoryStreamTest, GapsAndGrowthAreZeroFilled) {
  TMemoryStream stream;
  stream.Write("ab", 2);
  stream.SetPosition(5);
  stream.Write("z", 1);
  EXPECT_EQ(Contents(stream), Bytes({'a', 'b', 0, 0, 0, 'z'}));
  stream.SetSize(8);
  EXPECT_EQ(Contents(stream), Bytes({'a', 'b', 0, 0, 0, 'z', 0, 0}));
  EXPECT_EQ(stream.Position(), 6);
  stream.SetSize(3);  // the position was beyond: moves to the end
  EXPECT_EQ(stream.Position(), 3);
  EXPECT_EQ(Contents(stream), Bytes({'a', 'b', 0}));
  stream.SetSize(-1);
  EXPECT_EQ(stream.Size(), 0);
  stream.Write("q", 1);
  stream.Clear();
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(stream.Position(), 0);
}

TEST(TMemoryStreamTest, ScalarsAreLittleEndian) {
  TMemoryStream stream;
  stream.WriteData(int32_t{0x01020304});
  stream.WriteData(uint16_t{0xBEEF});
  stream.WriteData(true);
  stream.WriteData(QChar(u'é'));
  stream.WriteData(1.5);
  EXPECT_EQ(Contents(stream), Bytes({0x04, 0x03, 0x02, 0x01, 0xEF, 0xBE, 0x01, 0xE9, 0x00, 0, 0, 0, 0, 0, 0,
                                     0xF8, 0x3F}));
  stream.SetPosition(0);
  int32_t i = 0;
  uint16_t w = 0;
  bool b = false;
  QChar c;
  double d = 0;
  EXPECT_EQ(stream.ReadData(i), 4);
  EXPECT_EQ(stream.ReadData(w), 2);
  EXPECT_EQ(stream.ReadData(b), 1);
  EXPECT_EQ(stream.ReadData(c), 2);
  EXPECT_EQ(stream.ReadData(d), 8);
  EXPECT_EQ(i, 0x01020304);
  EXPECT_EQ(w, 0xBEEF);
  EXPECT_TRUE(b);
  EXPECT_EQ(c, QChar(u'é'));
  EXPECT_EQ(d, 1.5);
  stream.SetPosition(stream.Size() - 2);
  int64_t unchanged = 99;
  EXPECT_EQ(stream.ReadData(unchanged), 2);
  EXPECT_EQ(unchanged, 99);
}

TEST(TMemoryStreamTest, CopyFrom) {
  TBytesStream source(TBytes("0123456789"));
  TMemoryStream target;
  source.SetPosition(7);
  EXPECT_EQ(target.CopyFrom(&source, 0), 10);  // 0: all of it, from the start
  EXPECT_EQ(Contents(target), TBytes("0123456789"));
  source.SetPosition(2);
  EXPECT_EQ(target.CopyFrom(&source, 3), 3);
  EXPECT_EQ(Contents(target), TBytes("0123456789234"));
  EXPECT_EQ(MessageOf([&] { target.CopyFrom(&source, 50); }), "EReadError: Stream read error");
}

TEST(TMemoryStreamTest, LoadAndSaveThroughStreamsAndFiles) {
  testsupport::TempDir dir;
  TMemoryStream stream;
  stream.Write("payload", 7);
  stream.SaveToFile(dir.File("out.bin"));
  EXPECT_EQ(FileBytes(dir.File("out.bin")), "payload");

  TMemoryStream loaded;
  loaded.LoadFromFile(dir.File("out.bin"));
  EXPECT_EQ(Contents(loaded), "payload");
  EXPECT_EQ(loaded.Position(), 0);

  TMemoryStream copy;
  copy.Write("previous contents", 17);
  stream.SetPosition(3);
  copy.LoadFromStream(&stream);
  EXPECT_EQ(Contents(copy), "payload");
  TMemoryStream sink;
  copy.SaveToStream(&sink);
  EXPECT_EQ(Contents(sink), "payload");
}

TEST(TBytesStreamTest, BytesAreExactlyTheContents) {
  TBytesStream stream(TBytes("abc"));
  char first = 0;
  stream.ReadBuffer(&first, 1);
  EXPECT_EQ(first, 'a');
  stream.Seek(0, soEnd);
  stream.Write("def", 3);
  const TBytes snapshot = stream.Bytes();
  EXPECT_EQ(snapshot, "abcdef");
  stream.SetPosition(0);
  stream.Write("X", 1);
  static_cast<char*>(stream.Memory())[1] = 'Y';
  EXPECT_EQ(snapshot, "abcdef");  // an earlier copy does not change
  EXPECT_EQ(stream.Bytes(), "XYcdef");
}

TEST(TStringStreamTest, EncodesItsString) {
  TStringStream ansi(QString::fromUtf8("né"));
  EXPECT_EQ(ansi.Encoding(), TEncoding::Default());
  EXPECT_EQ(ansi.Bytes(), Bytes({'n', 0xE9}));
  EXPECT_EQ(ansi.Position(), 0);

  TStringStream utf8(QString::fromUtf8("né"), TEncoding::UTF8());
  EXPECT_EQ(utf8.Size(), 3);
  utf8.Seek(0, soEnd);
  utf8.WriteString(QString::fromUtf8("€!"));
  EXPECT_EQ(utf8.DataString(), QString::fromUtf8("né€!"));
  utf8.SetPosition(1);
  EXPECT_EQ(utf8.ReadString(2), QString::fromUtf8("é"));
  EXPECT_EQ(utf8.ReadString(100), QString::fromUtf8("€!"));
  EXPECT_EQ(utf8.ReadString(1), "");
}

TEST(TFileStreamTest, CreateOpenReadWriteAndTruncate) {
  testsupport::TempDir dir;
  const QString path = dir.File("data.bin");
  {
    TFileStream created(path, fmCreate | fmShareExclusive);
    EXPECT_EQ(created.FileName(), path);
    created.WriteBuffer("0123456789", 10);
    created.SetPosition(2);
    char two[2];
    created.ReadBuffer(two, 2);  // fmCreate opens for reading too
    EXPECT_EQ(QByteArray(two, 2), "23");
  }
  {
    TFileStream reader(path, fmOpenRead | fmShareDenyNone);
    EXPECT_EQ(reader.Size(), 10);
    EXPECT_EQ(reader.Seek(-3, soEnd), 7);
    char tail[8] = {};
    EXPECT_EQ(reader.Read(tail, 8), 3);
    EXPECT_STREQ(tail, "789");
    EXPECT_EQ(MessageOf([&] { reader.WriteBuffer("x", 1); }), "EWriteError: Stream write error");
  }
  {
    TFileStream writer(path, fmOpenReadWrite | fmShareDenyWrite);
    writer.SetPosition(4);
    writer.WriteBuffer("ab", 2);
    writer.SetSize(8);
    EXPECT_EQ(writer.Position(), 8);
  }
  EXPECT_EQ(FileBytes(path), "0123ab67");
  {
    TFileStream truncating(path, fmCreate);
    EXPECT_EQ(truncating.Size(), 0);
  }
  testsupport::WriteBytes(path, "kept");
  TFileStream writeOnly(path, fmOpenWrite);
  char c;
  EXPECT_EQ(writeOnly.Read(&c, 1), 0);
  writeOnly.WriteBuffer("K", 1);
  EXPECT_EQ(FileBytes(path), "Kept");
}

TEST(TFileStreamTest, OpenFailuresNameTheFileAndTheReason) {
  testsupport::TempDir dir;
  testsupport::WriteBytes(dir.File("exists.txt"), "x");
  struct Case {
    QString file;
    Word mode;
    QString expected;
  };
  const Case cases[] = {
      {"missing.txt", fmOpenRead, "EFOpenError: Cannot open file \"%1\". No such file or directory"},
      {"missing.txt", fmOpenReadWrite, "EFOpenError: Cannot open file \"%1\". No such file or directory"},
      {"no/such/dir.txt", fmCreate, "EFCreateError: Cannot create file \"%1\". No such file or directory"},
      {"exists.txt", fmCreate | fmExclusive, "EFCreateError: Cannot create file \"%1\". File exists"},
      {".", fmOpenWrite, "EFOpenError: Cannot open file \"%1\". Is a directory"},
  };
  for (const Case& c : cases) {
    const QString path = dir.File(c.file);
    EXPECT_EQ(MessageOf([&] { TFileStream stream(path, c.mode); }), c.expected.arg(QFileInfo(path).absoluteFilePath()));
  }
  EXPECT_EQ(FileBytes(dir.File("exists.txt")), "x");  // not truncated by the refused create
}

TEST(TResourceStreamTest, ReadsProgramResourcesByUpperCaseName) {
  TResourceStream stream(0, "Greeting", "RCDATA");
  TMemoryStream copy;
  copy.CopyFrom(&stream, 0);
  EXPECT_EQ(Contents(copy), "Hello from a resource\n");
  EXPECT_EQ(MessageOf([&] { stream.WriteBuffer("x", 1); }),
            "EStreamError: Can't write to a read-only resource stream");
  EXPECT_EQ(MessageOf([&] { TResourceStream missing(0, "Missing", "RCDATA"); }),
            "EResNotFound: Resource Missing not found");
}

}  // namespace
