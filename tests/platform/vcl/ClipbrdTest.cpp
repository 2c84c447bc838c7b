// The framework's clipboard object: text, counted Open/Close batches that
// empty once and then add, raw formats, and the clipboard object itself.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <thread>

#include "platform/vcl/Clipbrd.h"
#include "tests/support/TestSupport.h"

namespace {

class ClipbrdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QGuiApplication::clipboard()->clear();
    cells = RegisterClipboardFormat("TKitStringGrid Cells");
    fill = RegisterClipboardFormat("GDI+ Fill");
  }
  void TearDown() override {
    while (Clipboard()->OpenRefCount() > 0) Clipboard()->Close();
  }

  UINT cells = 0;
  UINT fill = 0;
};

TEST_F(ClipbrdTest, TextRoundTrip) {
  const QString text = u8"Nom\tVille\r\nDupont\tLyon – 69003\r\n";
  Clipboard()->SetAsText(text);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
  EXPECT_EQ(Clipboard()->AsText(), text);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_UNICODETEXT));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_FALSE(Clipboard()->HasFormat(cells));

  QGuiApplication::clipboard()->setText("from another program");
  EXPECT_EQ(Clipboard()->AsText(), "from another program");
  QGuiApplication::clipboard()->clear();
  EXPECT_EQ(Clipboard()->AsText(), "");
}

TEST_F(ClipbrdTest, EachFormatSetOutsideABatchStandsAlone) {
  Clipboard()->SetAsHandle(cells, "grid stream");
  Clipboard()->SetAsText("text");
  EXPECT_TRUE(Clipboard()->HasFormat(CF_UNICODETEXT));
  EXPECT_FALSE(Clipboard()->HasFormat(cells));

  Clipboard()->SetAsHandle(cells, "grid stream");
  EXPECT_FALSE(Clipboard()->HasFormat(CF_UNICODETEXT));
  EXPECT_EQ(Clipboard()->GetAsHandle(cells), "grid stream");
}

TEST_F(ClipbrdTest, ABatchEmptiesOnceAndPublishesEveryFormatTogether) {
  Clipboard()->SetAsHandle(fill, "stale fill");

  Clipboard()->Open();
  Clipboard()->SetAsText("A\tB\r\n");
  Clipboard()->Open();  // nested: counted
  Clipboard()->SetAsHandle(cells, QByteArray("\x00\x01grid", 6));
  Clipboard()->Close();
  EXPECT_EQ(Clipboard()->OpenRefCount(), 1);
  // Still open: the system clipboard has the old content.
  EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasText());
  Clipboard()->Close();
  EXPECT_EQ(Clipboard()->OpenRefCount(), 0);

  EXPECT_EQ(QGuiApplication::clipboard()->text(), "A\tB\r\n");
  EXPECT_EQ(Clipboard()->AsText(), "A\tB\r\n");
  EXPECT_EQ(Clipboard()->GetAsHandle(cells), QByteArray("\x00\x01grid", 6));
  EXPECT_FALSE(Clipboard()->HasFormat(fill));
  EXPECT_TRUE(Clipboard()->GetAsHandle(fill).isNull());

  Clipboard()->Close();  // without an Open: ignored
  EXPECT_EQ(Clipboard()->OpenRefCount(), 0);
}

TEST_F(ClipbrdTest, ClearDropsEveryFormat) {
  Clipboard()->Open();
  Clipboard()->SetAsText("text");
  Clipboard()->SetAsHandle(cells, "cells");
  Clipboard()->Close();
  Clipboard()->Clear();
  EXPECT_FALSE(Clipboard()->HasFormat(CF_UNICODETEXT));
  EXPECT_FALSE(Clipboard()->HasFormat(cells));
}

TEST_F(ClipbrdTest, GetTextBufCopiesWhatFits) {
  Clipboard()->SetTextBuf("Lyon");
  const struct {
    int size;
    int copied;
    QString text;
  } cases[] = {{10, 4, "Lyon"}, {5, 4, "Lyon"}, {3, 2, "Ly"}, {1, 0, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    WCHAR buffer[11];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(Clipboard()->GetTextBuf(buffer, c.size), c.copied);
    EXPECT_EQ(QString::fromUtf16(buffer), c.text);
    EXPECT_EQ(buffer[c.size], u'#');  // nothing written beyond the buffer
  }
  WCHAR untouched = u'#';
  EXPECT_EQ(Clipboard()->GetTextBuf(&untouched, 0), 0);
  EXPECT_EQ(untouched, u'#');
}

TEST_F(ClipbrdTest, OpeningFromAnotherThreadRaises) {
  QString message;
  std::thread worker([&] {
    TClipboard clipboard;
    message = testsupport::MessageOf([&] { clipboard.Open(); });
    EXPECT_EQ(clipboard.OpenRefCount(), 0);
  });
  worker.join();
  EXPECT_EQ(message, "EClipboardException: Cannot open clipboard: Access is denied");
}

TEST_F(ClipbrdTest, SetClipboardReplacesTheClipboardObject) {
  TClipboard* current = Clipboard();
  auto replacement = std::make_unique<TClipboard>();
  TClipboard* raw = replacement.get();
  std::unique_ptr<TClipboard> previous = SetClipboard(std::move(replacement));
  EXPECT_EQ(previous.get(), current);
  EXPECT_EQ(Clipboard(), raw);
  SetClipboard(std::move(previous));
  EXPECT_EQ(Clipboard(), current);
}

}  // namespace
