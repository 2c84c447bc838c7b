#include "grid/io/KitGridIOSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <cmath>

#include "grid/model/KitGrid.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"

namespace kitgridio {

TSaveArea SaveArea(const TKitStringGrid& Grid) {
  // The grid's own SaveStartCol family decides; this is its snapshot.
  TSaveArea a;
  a.StartCol = Grid.SaveStartCol();
  a.EndCol = Grid.SaveEndCol();
  a.ColCount = Grid.SaveColCount();
  a.StartRow = Grid.SaveStartRow();
  a.EndRow = Grid.SaveEndRow();
  a.RowCount = Grid.SaveRowCount();
  return a;
}

namespace {
qint64 gCellCap = MaxLoadCells;
}

void SetLoadCellCap(qint64 Cells) { gCellCap = Cells > 0 ? Cells : MaxLoadCells; }
qint64 LoadCellCap() { return gCellCap; }

void CheckLoadSize(int Cols, int Rows, const QString& What) {
  if (Cols < 0 || Rows < 0 || Cols > MaxLoadCols || Rows > MaxLoadRows ||
      static_cast<qint64>(Cols) * Rows > gCellCap)
    throw EKitGridError(QStringLiteral("Grid size %1 x %2 out of range in %3").arg(Cols).arg(Rows).arg(What));
}

void TProgress::Step(qint64 Done, qint64 Span) {
  if (!FFire) return;
  const double ratio = static_cast<double>(Done) / static_cast<double>(std::max<qint64>(1, Span));
  const int p = static_cast<int>(std::nearbyint(ratio * 100.0));  // the default mode rounds half to even
  if (p == FLast) return;
  FLast = p;
  FFire(static_cast<short>(p));
}

void TEventPump::Poll() {
  if (FTimer.elapsed() < FSliceMs) return;
  ++FPumps;
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  FTimer.restart();
}

THourGlass::THourGlass() : FOld(crDefault) {
  if (Screen == nullptr) return;
  FOld = Screen->Cursor();
  Screen->SetCursor(crHourGlass);
  FSet = true;
}

THourGlass::~THourGlass() {
  if (FSet && Screen != nullptr) Screen->SetCursor(FOld);
}

TBytes ReadFileBytes(const QString& FileName) {
  QFile f(FileName);
  if (!f.open(QIODevice::ReadOnly)) throw EKitGridError(QStringLiteral("File %1 not found").arg(FileName));
  return f.readAll();
}

void WriteFileBytes(const QString& FileName, const TBytes& Bytes) {
  QFile f(FileName);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(Bytes) != Bytes.size() || !f.flush())
    throw EKitGridError(QStringLiteral("Cannot Create file %1").arg(FileName));
}

void AppendFileBytes(const QString& FileName, const TBytes& Bytes) {
  QFile f(FileName);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Append) || f.write(Bytes) != Bytes.size() || !f.flush())
    throw EKitGridError(QStringLiteral("Cannot Create file %1").arg(FileName));
}

QString DecodeText(const TBytes& Bytes, TEncoding* Fallback) {
  TEncoding* enc = nullptr;
  const int skip = TEncoding::GetBufferEncoding(Bytes, enc, Fallback);
  return enc->GetString(Bytes.mid(skip));
}

TEncoding* AppendEncoding(const QString& FileName, TEncoding* Requested, bool& HasContent) {
  HasContent = false;
  QFile f(FileName);
  if (!f.exists() || !f.open(QIODevice::ReadOnly)) return Requested;
  const TBytes head = f.read(4);
  HasContent = !head.isEmpty();
  for (TEncoding* e : {TEncoding::UTF8(), TEncoding::Unicode(), TEncoding::BigEndianUnicode()}) {
    const TBytes pre = e->GetPreamble();
    if (!pre.isEmpty() && head.startsWith(pre)) return e;
  }
  return Requested;
}

QStringList SplitLines(const QString& Text) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype n = Text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar ch = Text.at(i);
    if (ch != u'\r' && ch != u'\n') continue;
    lines.append(Text.mid(start, i - start));
    if (ch == u'\r' && i + 1 < n && Text.at(i + 1) == u'\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.append(Text.mid(start));
  return lines;
}

QString EncodeCellLine(const QString& Text) {
  if (!Text.contains(u'\r') && !Text.contains(u'\n')) return Text;
  QString out = Text;
  for (QChar& ch : out) {
    if (ch == u'\r') ch = QChar(9);
    else if (ch == u'\n') ch = QChar(8);
    else if (ch == QChar(0)) ch = QChar(1);
  }
  return out;
}

}  // namespace kitgridio
