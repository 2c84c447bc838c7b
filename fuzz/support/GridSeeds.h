#pragma once
// Seeds of the grid targets, written by the grid itself (--write-seeds):
// a small grid such as the tests build, and the bytes of a file a grid saves.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include "grid/model/KitGrid.h"

namespace fuzz {

// Four by four, with accented text, a phone number and a tab in its cells.
inline auto SampleGrid() {
  auto g = CreateUnique<TKitStringGrid>(nullptr);
  g->SetColCount(4);
  g->SetRowCount(4);
  g->SetCells(1, 1, QStringLiteral("Garçon"));
  g->SetCells(2, 1, QStringLiteral("04 72 39 24 66"));
  g->SetCells(1, 2, QStringLiteral("a\tb"));
  return g;
}

// What Save(path) writes as the file Name of a scratch folder ("" when it
// writes nothing).
template <class SaveFn>
QByteArray SavedBytes(const QString& Name, SaveFn&& Save) {
  QTemporaryDir dir;
  const QString path = dir.filePath(Name);
  Save(path);
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace fuzz
