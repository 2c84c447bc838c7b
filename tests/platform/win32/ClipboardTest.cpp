// The Win32 clipboard: registered formats and their MIME types, the
// open/close batch over QClipboard, text conversions and DIBs.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QtEndian>
#include <thread>

#include "platform/win32/Clipboard.h"
#include "tests/support/TestSupport.h"

namespace {

QByteArray Utf16Z(const QString& text) {
  QByteArray bytes(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  bytes.append(2, '\0');
  return bytes;
}

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override { QGuiApplication::clipboard()->clear(); }
  void TearDown() override {
    // A failed test must not leave the clipboard open for the next one.
    while (CloseClipboard()) {
    }
  }
};

TEST(ClipboardFormatTest, RegistersEachNameOnceWithoutRegardToCase) {
  const UINT cells = RegisterClipboardFormat("TKitStringGrid Cells");
  const UINT fill = RegisterClipboardFormat("GDI+ Fill");
  EXPECT_GE(cells, 0xC000u);
  EXPECT_GE(fill, 0xC000u);
  EXPECT_NE(cells, fill);
  EXPECT_EQ(RegisterClipboardFormat("TKitStringGrid Cells"), cells);
  EXPECT_EQ(RegisterClipboardFormat("tkitstringgrid cells"), cells);
  EXPECT_EQ(GetClipboardFormatName(cells), "TKitStringGrid Cells");
  EXPECT_EQ(GetClipboardFormatName(CF_TEXT), "");
  EXPECT_EQ(GetClipboardFormatName(0xFFFF), "");

  SetLastError(0);
  EXPECT_EQ(RegisterClipboardFormat(""), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(ClipboardFormatTest, KeepsFormatsUnderTheirMimeTypes) {
  const struct {
    UINT format;
    QString mime;
  } cases[] = {
      {CF_TEXT, "text/plain"},
      {CF_UNICODETEXT, "text/plain"},
      {CF_DIB, "application/x-qt-image"},
      {CF_BITMAP, "application/x-qt-image"},
      {CF_LOCALE, "application/x-tallowfinch-cf.16"},
      {RegisterClipboardFormat("TKitStringGrid Cells"), "application/x-tallowfinch-tkitstringgrid+cells"},
      {RegisterClipboardFormat("HTML Format"), "application/x-tallowfinch-html+format"},
      {RegisterClipboardFormat("GDI+ Fill"), "application/x-tallowfinch-gdi_002b+fill"},
      {RegisterClipboardFormat("TKitClipBoard.StreamFormat"),
       "application/x-tallowfinch-tkitclipboard_002estreamformat"},
      {RegisterClipboardFormat(u8"Données/été"), "application/x-tallowfinch-donn_00e9es_002f_00e9t_00e9"},
      {0, ""},
      {0xFFFE, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(ClipboardFormatMimeType(c.format), c.mime);
  }
}

TEST_F(ClipboardTest, CallsNeedTheClipboardOpen) {
  const struct {
    const char* call;
    std::function<BOOL()> run;
  } calls[] = {
      {"SetClipboardData", [] { return SetClipboardData(CF_UNICODETEXT, Utf16Z("x")); }},
      {"EmptyClipboard", [] { return EmptyClipboard(); }},
      {"CloseClipboard", [] { return CloseClipboard(); }},
      {"GetClipboardData", [] { return BOOL(!GetClipboardData(CF_UNICODETEXT).isNull()); }},
  };
  for (const auto& c : calls) {
    SCOPED_TRACE(c.call);
    SetLastError(0);
    EXPECT_FALSE(c.run());
    EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
  }
}

TEST_F(ClipboardTest, SeveralFormatsGoOutTogetherWhenTheClipboardCloses) {
  const UINT cells = RegisterClipboardFormat("TKitStringGrid Cells");
  const UINT rtf = RegisterClipboardFormat("Rich Text Format");
  const UINT other = RegisterClipboardFormat("Not On The Clipboard");
  const QByteArray stream("\x01\x00\x02\xFFgrid", 8);
  const QString text = u8"Grüße\t€ 1\r\n";

  ASSERT_TRUE(OpenClipboard(nullptr));
  ASSERT_TRUE(EmptyClipboard());
  ASSERT_TRUE(SetClipboardData(CF_UNICODETEXT, Utf16Z(text)));
  ASSERT_TRUE(SetClipboardData(cells, stream));
  ASSERT_TRUE(SetClipboardData(rtf, Utf16Z("{\\rtf1 x}")));
  // Nothing is published before the clipboard is closed.
  EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
  EXPECT_EQ(GetClipboardData(cells), stream);
  ASSERT_TRUE(CloseClipboard());

  const QMimeData* published = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(published, nullptr);
  EXPECT_EQ(published->text(), text);
  EXPECT_EQ(published->data(ClipboardFormatMimeType(cells)), stream);

  for (UINT format : {CF_UNICODETEXT, CF_TEXT, cells, rtf}) EXPECT_TRUE(IsClipboardFormatAvailable(format));
  EXPECT_FALSE(IsClipboardFormatAvailable(other));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));

  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), Utf16Z(text));
  EXPECT_EQ(GetClipboardData(CF_TEXT), QByteArray("Gr\xFC\xDF" "e\t\x80 1\r\n", 11) + '\0');
  EXPECT_EQ(GetClipboardData(cells), stream);
  EXPECT_EQ(GetClipboardData(rtf), Utf16Z("{\\rtf1 x}"));
  EXPECT_TRUE(GetClipboardData(other).isNull());
  EXPECT_TRUE(CloseClipboard());
}

TEST_F(ClipboardTest, SettingWithoutEmptyingAddsToTheContent) {
  const UINT rtf = RegisterClipboardFormat("Rich Text Format");
  QGuiApplication::clipboard()->setText("cells as text");

  ASSERT_TRUE(OpenClipboard(nullptr));
  ASSERT_TRUE(SetClipboardData(rtf, Utf16Z("{\\rtf1 a}")));
  ASSERT_TRUE(CloseClipboard());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "cells as text");
  EXPECT_TRUE(IsClipboardFormatAvailable(rtf));

  // Setting a format again replaces its data only.
  ASSERT_TRUE(OpenClipboard(nullptr));
  ASSERT_TRUE(SetClipboardData(rtf, Utf16Z("{\\rtf1 b}")));
  EXPECT_EQ(GetClipboardData(rtf), Utf16Z("{\\rtf1 b}"));
  ASSERT_TRUE(CloseClipboard());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "cells as text");

  ASSERT_TRUE(OpenClipboard(nullptr));
  ASSERT_TRUE(EmptyClipboard());
  ASSERT_TRUE(CloseClipboard());
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(rtf));
}

TEST_F(ClipboardTest, AnsiTextIsReadAsUnicodeText) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  ASSERT_TRUE(EmptyClipboard());
  ASSERT_TRUE(SetClipboardData(CF_TEXT, QByteArray("caf\xE9 \x80\0ignored", 15)));
  EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), Utf16Z(u8"café €"));
  ASSERT_TRUE(CloseClipboard());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), u8"café €");
}

TEST_F(ClipboardTest, OpeningAgainSucceedsAndOneCloseClosesIt) {
  const HWND grid = reinterpret_cast<HWND>(uintptr_t{0x1234});
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_TRUE(OpenClipboard(grid));
  EXPECT_EQ(GetOpenClipboardWindow(), grid);
  EXPECT_TRUE(CloseClipboard());
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  EXPECT_FALSE(CloseClipboard());
}

TEST_F(ClipboardTest, OtherThreadsCannotOpenTheClipboard) {
  BOOL opened = TRUE;
  DWORD error = 0;
  std::thread worker([&] {
    opened = OpenClipboard(nullptr);
    error = GetLastError();
  });
  worker.join();
  EXPECT_FALSE(opened);
  EXPECT_EQ(error, ERROR_ACCESS_DENIED);
}

TEST_F(ClipboardTest, ImagesTravelAsPackedDibs) {
  QImage image(3, 2, QImage::Format_RGB32);
  const QRgb colours[6] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                           qRgb(10, 20, 30), qRgb(255, 255, 255), qRgb(0, 0, 0)};
  for (int i = 0; i < 6; ++i) image.setPixel(i % 3, i / 3, colours[i]);

  const QByteArray dib = ImageToDib(image);
  ASSERT_GE(dib.size(), 40);
  EXPECT_EQ(qFromLittleEndian<quint32>(dib.constData()), 40u);  // BITMAPINFOHEADER

  ASSERT_TRUE(OpenClipboard(nullptr));
  ASSERT_TRUE(EmptyClipboard());
  ASSERT_TRUE(SetClipboardData(CF_DIB, dib));
  ASSERT_TRUE(CloseClipboard());
  EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasImage());
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));

  ASSERT_TRUE(OpenClipboard(nullptr));
  const QImage back = DibToImage(GetClipboardData(CF_BITMAP));
  ASSERT_TRUE(CloseClipboard());
  ASSERT_EQ(back.size(), image.size());
  for (int i = 0; i < 6; ++i) EXPECT_EQ(back.pixel(i % 3, i / 3), colours[i]) << i;
}

TEST(ClipboardDibTest, DecodesPalettedDibsAndRefusesBrokenOnes) {
  // 2 x 2, 1 bit per pixel, two palette entries, rows bottom-up and padded to
  // four bytes.
  QByteArray dib(40, '\0');
  auto* h = reinterpret_cast<uchar*>(dib.data());
  qToLittleEndian<quint32>(40, h);
  qToLittleEndian<qint32>(2, h + 4);
  qToLittleEndian<qint32>(2, h + 8);
  qToLittleEndian<quint16>(1, h + 12);
  qToLittleEndian<quint16>(1, h + 14);
  dib += QByteArray("\xFF\x00\x00\x00" "\x00\x00\xFF\x00", 8);  // blue, red (B G R 0)
  dib += QByteArray("\x80\x00\x00\x00" "\x40\x00\x00\x00", 8);  // bottom row 1 0, top row 0 1

  const QImage image = DibToImage(dib);
  ASSERT_EQ(image.size(), QSize(2, 2));
  const QRgb blue = qRgb(0, 0, 255);
  const QRgb red = qRgb(255, 0, 0);
  EXPECT_EQ(image.pixel(0, 0), blue);
  EXPECT_EQ(image.pixel(1, 0), red);
  EXPECT_EQ(image.pixel(0, 1), red);
  EXPECT_EQ(image.pixel(1, 1), blue);

  const QByteArray broken[] = {QByteArray(), QByteArray("\x28\x00\x00\x00", 4), dib.left(30),
                               QByteArray(40, '\xFF')};
  for (const QByteArray& bytes : broken) EXPECT_TRUE(DibToImage(bytes).isNull());

  ASSERT_TRUE(OpenClipboard(nullptr));
  SetLastError(0);
  EXPECT_FALSE(SetClipboardData(CF_DIB, dib.left(30)));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(SetClipboardData(0, "x"));
  EXPECT_FALSE(SetClipboardData(0xFFFD, "x"));
  EXPECT_TRUE(CloseClipboard());
}

}  // namespace
