// The grid's own text file ("cols,rows", column widths, "col,row,text" lines)
// read from a file, and the grid's text stream (UTF-16 lines) read from the
// same bytes. A refusal is the framework's exception; every load must leave
// the grid's cells and merges consistent (the entry points check them).
//
// Input: the file's bytes. --write-seeds=FOLDER writes the seed corpus
// (files the grid saves) and ends.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/support/FuzzSupport.h"
#include "grid/io/KitGridFuzzEntries.h"
#include <QFile>
#include <QTemporaryDir>

#include "grid/model/KitGrid.h"

namespace {

QByteArray Contents(TMemoryStream& S) {
  return QByteArray(static_cast<const char*>(S.Memory()), static_cast<qsizetype>(S.Size()));
}

void WriteSeeds(const QString& AFolder) {
  QTemporaryDir dir;
  auto g = CreateUnique<TKitStringGrid>(nullptr);
  g->SetColCount(4);
  g->SetRowCount(5);
  g->SetColWidths(1, 50);
  const QStringList texts = {QStringLiteral("plain"), QStringLiteral("a,b,,c"),
                             QStringLiteral("\"quoted\" and 'single'"), QString::fromUtf8("é ü € 漢字 😀"),
                             QStringLiteral("line1\r\nline2"), QStringLiteral("bare\nLF"),
                             QStringLiteral("cw 3,5")};
  for (int i = 0; i < texts.size(); ++i) g->SetCells(i % 4, 1 + i / 4, texts[i]);
  g->SetCells(1, 0, QStringLiteral("x"));
  for (const bool unicode : {true, false}) {
    const QString path = dir.filePath(QStringLiteral("g.txt"));
    g->SaveToFile(path, unicode);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) std::exit(1);
    fuzz::WriteSeed(AFolder, unicode ? QStringLiteral("saved-utf8.txt") : QStringLiteral("saved-ansi.txt"),
                    f.readAll());
  }
  TMemoryStream s;
  g->SaveToStream(&s);
  fuzz::WriteSeed(AFolder, QStringLiteral("stream.bin"), Contents(s));
  fuzz::WriteSeed(AFolder, QStringLiteral("small.txt"), "2,2\r\n0,0,a\r\n");
  fuzz::WriteSeed(AFolder, QStringLiteral("widths.txt"), "3,2\r\ncw 0,40\r\ncw 1,50\r\ncw 2,60\r\n1,0,x\r\n");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::QuietMessages();
  fuzz::StartWidgetApplication();
  fuzz::WriteSeedsWhenAsked(*argc, *argv, WriteSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const QByteArray bytes = fuzz::Bytes(Data, Size);
  kitgridio::GridTextFileFromBytes(bytes);
  kitgridio::GridTextStreamFromBytes(bytes);
  return 0;
}
