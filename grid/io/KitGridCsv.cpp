// Delimited text: the save range, the CSV writer (whole file written at once,
// after every row is encoded) and the CSV reader (all lines in memory,
// delimiter detection, quoted and multi-line fields, rows grown in steps of
// 1000 inside one update block).
//
// Beyond the format's plain rules:
// - a cell whose line breaks are LF or CR alone counts as multi-line too, so
//   that no raw line break ever splits a row;
// - a quoted field whose closing quote is missing keeps the rest of its line
//   (without the opening quote) instead of loading as an empty cell;
// - text that is not valid in its encoding (broken UTF-8, odd UTF-16, NUL
//   characters) raises before any cell changes;
// - a failure while loading (an OnLoadCell handler that raises) leaves the
//   cells loaded so far, the row count they need and nothing else changed;
// - appending writes the new lines after the file's bytes in the encoding its
//   byte-order mark names, never re-encoding what the file held;
// - rows cut off when a load shrinks the grid are emptied, so nothing comes
//   back when the grid grows again;
// - the floating footer's row is kept aside in both load modes.

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUtils.h"
#include "platform/rtl/MessageText.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/Streams.h"

namespace {

const QChar kQuote = u'"';

struct TUpdateBlock {
  TKitStringGrid* Grid;
  explicit TUpdateBlock(TKitStringGrid* G) : Grid(G) { Grid->BeginUpdate(); }
  ~TUpdateBlock() { Grid->EndUpdate(); }
};

// The whole-number percentage, halves to even.
int Percent(double Value) { return int(std::nearbyint(Value * 100.0)); }

QByteArray ReadWholeFile(const QString& FileName) {
  QFile file(FileName);
  if (!file.open(QIODevice::ReadOnly))
    throw EFOpenError(MessageText(RtlConsts::SFOpenErrorEx, {FileName, file.errorString()}));
  return file.readAll();
}

[[noreturn]] void Malformed(const QString& Why, int Line) {
  throw EKitGridError(QStringLiteral("Malformed delimited text: %1 in line %2").arg(Why).arg(Line));
}

// The line (1-based) that holds byte offset At.
int LineAt(const QByteArray& Bytes, qsizetype At) {
  int line = 1;
  for (qsizetype i = 0; i < At && i < Bytes.size(); ++i) {
    if (Bytes[i] == '\n') ++line;
    else if (Bytes[i] == '\r' && !(i + 1 < Bytes.size() && Bytes[i + 1] == '\n')) ++line;
  }
  return line;
}

// Decodes by byte-order mark, else by Fallback (nullptr: the ANSI code page).
QString DecodeText(const QByteArray& Bytes, TEncoding* Fallback) {
  if (Bytes.startsWith("\xEF\xBB\xBF")) Fallback = TEncoding::UTF8();
  else if (Bytes.startsWith("\xFF\xFE")) Fallback = TEncoding::Unicode();
  else if (Bytes.startsWith("\xFE\xFF")) Fallback = TEncoding::BigEndianUnicode();
  else if (Fallback == nullptr) Fallback = TEncoding::ANSI();
  const TBytes preamble = Fallback->GetPreamble();
  const qsizetype skip = !preamble.isEmpty() && Bytes.startsWith(preamble) ? preamble.size() : 0;
  const QByteArrayView body = QByteArrayView(Bytes).sliced(skip);
  QString text;
  const int cp = Fallback->CodePage();
  if (cp == 65001 || cp == 1200 || cp == 1201) {
    if (cp != 65001 && body.size() % 2 != 0) Malformed(QStringLiteral("an odd number of bytes of UTF-16"), 1);
    QStringDecoder decoder(cp == 65001   ? QStringDecoder::Utf8
                           : cp == 1200 ? QStringDecoder::Utf16LE
                                        : QStringDecoder::Utf16BE,
                           QStringDecoder::Flag::Stateless);
    text = decoder.decode(body);
    if (decoder.hasError()) {
      // Find the first line that does not decode.
      qsizetype start = 0;
      for (qsizetype i = 0; i <= body.size(); ++i) {
        if (i < body.size() && body[i] != '\n') continue;
        QStringDecoder line(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = line.decode(body.sliced(start, i - start));
        if (line.hasError()) Malformed(QStringLiteral("bytes that are not UTF-8"), LineAt(Bytes, skip + start));
        start = i + 1;
      }
      Malformed(QStringLiteral("bytes that are not UTF-8"), 1);
    }
  } else {
    text = Fallback->GetString(TBytes(body.data(), body.size()));
  }
  const qsizetype nul = text.indexOf(QChar(0));
  if (nul >= 0) {
    int line = 1;
    for (qsizetype i = 0; i < nul; ++i)
      if (text[i] == u'\n' || (text[i] == u'\r' && !(i + 1 < text.size() && text[i + 1] == u'\n'))) ++line;
    Malformed(QStringLiteral("a NUL character"), line);
  }
  return text;
}

// Lines end at CR LF, CR or LF; a final line break ends the last line.
std::vector<QString> SplitLines(QString& Text) {
  std::vector<QString> lines;
  qsizetype start = 0;
  const qsizetype n = Text.size();
  const QChar* d = Text.constData();
  for (qsizetype i = 0; i < n; ++i) {
    if (d[i] != u'\r' && d[i] != u'\n') continue;
    lines.emplace_back(d + start, i - start);
    if (d[i] == u'\r' && i + 1 < n && d[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.emplace_back(d + start, n - start);
  Text = QString();
  return lines;
}

int CountQuotes(const QString& S) { return int(S.count(kQuote)); }

// The closing quote of a field whose opening quote was removed: the last
// quote of the first odd run of quotes followed by another character, or
// the last character when the text ends in a quote. 1-based; 0 when none.
int ClosingQuote(QStringView S) {
  const qsizetype n = S.size();
  for (qsizetype i = 0; i < n;) {
    if (S[i] != kQuote) {
      ++i;
      continue;
    }
    qsizetype end = i;
    while (end < n && S[end] == kQuote) ++end;
    if (end == n || (end - i) % 2 != 0) return int(end);
    i = end;
  }
  return 0;
}

QString Collapsed(QStringView S) {
  QString out;
  out.reserve(S.size());
  for (qsizetype i = 0; i < S.size(); ++i) {
    out += S[i];
    if (S[i] == kQuote && i + 1 < S.size() && S[i + 1] == kQuote) ++i;
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// Save range

int TKitStringGrid::SaveStartCol() const { return FSaveFixedCells || FSaveFixedCols ? 0 : FixedCols(); }

int TKitStringGrid::SaveEndCol() const {
  return FSaveFixedCells || FSaveFixedCols ? ColCount() - 1 : ColCount() - FFixedRightCols - 1;
}

int TKitStringGrid::SaveColCount() const {
  return FSaveFixedCells || FSaveFixedCols ? ColCount() : ColCount() - FixedCols() - FFixedRightCols;
}

int TKitStringGrid::SaveStartRow() const { return FSaveFixedCells || FSaveFixedRows ? 0 : FixedRows(); }

int TKitStringGrid::SaveEndRow() const {
  return FSaveFixedCells || FSaveFixedRows ? RowCount() - 1 : RowCount() - FFixedFooters - 1;
}

int TKitStringGrid::SaveRowCount() const {
  return FSaveFixedCells || FSaveFixedRows ? RowCount() : RowCount() - FixedRows() - FFixedFooters;
}

// ---------------------------------------------------------------------------
// Writer

QString TKitStringGrid::CSVField(QString S, QChar D) const {
  bool quoted = false;
  if (FQuoteQuoteCells) S = DoubleQuoteChars(S);
  if ((FAlwaysQuotes || (!S.contains(D) && S.contains(kQuote))) && FQuoteQuoteCells) {
    S = kQuote + S + kQuote;
    quoted = true;
  }
  if (S.isEmpty()) {
    if (FJavaCSV) S = QStringLiteral("^");
    else if (FQuoteEmptyCells) S = QStringLiteral("\"\"");
  }
  const bool multiLine = S.contains(u'\r') || S.contains(u'\n');
  if (S.contains(D) || multiLine) {
    if (FJavaCSV) {
      S.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
      S.replace(u'\n', u'\r');
      LineBreaksToTilde(S);
    } else if (FMultilinecells) {
      if (!quoted) S = kQuote + S + kQuote;
    } else if (!quoted) {
      S.replace(QStringLiteral("\r\n"), QString(QChar(11)));
      S.replace(u'\r', QChar(11));
      S.replace(u'\n', QChar(11));
      S = kQuote + S + kQuote;
    } else {
      CRLFToLF(S);
    }
  }
  return S;
}

void TKitStringGrid::WriteCSV(const QString& FileName, const TGridRect& ARect, TEncoding* AEncoding, bool Append) {
  if (AEncoding == nullptr) AEncoding = TEncoding::ANSI();
  TUpdateBlock update(this);
  const int h = FSaveHiddenCells ? FNumHidden : 0;
  const QChar d = FDelimiter.isNull() ? QChar(u',') : FDelimiter;
  QString out;
  ExportNotification(esExportStart, SaveStartRow());
  int last = -1;
  bool fired = false;
  for (int r = ARect.Top; r <= ARect.Bottom; ++r) {
    if (r >= 0 && r < RowCount() && RowHeights(r) != 0) {
      ExportNotification(esExportNextRow, r);
      for (int i = ARect.Left; i <= ARect.Right + h; ++i) {
        if (i > ARect.Left) out += d;
        const int c = FSaveHiddenCells ? i : DisplToRealCol(i);
        out += CSVField(SaveCell(c, r), d);
      }
      out += QStringLiteral("\r\n");
    }
    if (OnFileProgress) {
      const int p = Percent(double(r) / std::max(1, RowCount() - 1));
      if (!fired || p != last) {
        fired = true;
        last = p;
        OnFileProgress(this, short(p));
      }
    }
  }
  ExportNotification(esExportDone, -1);

  QByteArray bytes;
  TEncoding* encoding = AEncoding;
  if (Append && QFile::exists(FileName)) {
    bytes = ReadWholeFile(FileName);
    TEncoding* found = nullptr;
    if (TEncoding::GetBufferEncoding(bytes, found, AEncoding) > 0 && found != nullptr) encoding = found;
    if (!bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r') &&
        !(encoding->CodePage() == 1200 && bytes.endsWith(QByteArray("\n\0", 2))) &&
        !(encoding->CodePage() == 1201 && bytes.endsWith(QByteArray("\0\n", 2))))
      bytes += encoding->GetBytes(QStringLiteral("\r\n"));
  }
  if (bytes.isEmpty()) bytes = encoding->GetPreamble();
  bytes += encoding->GetBytes(out);
  QSaveFile file(FileName);
  if (!file.open(QIODevice::WriteOnly))
    throw EFCreateError(MessageText(RtlConsts::SFCreateErrorEx, {FileName, file.errorString()}));
  if (file.write(bytes) != bytes.size() || !file.commit())
    throw EFCreateError(MessageText(RtlConsts::SFCreateErrorEx, {FileName, file.errorString()}));
}

void TKitStringGrid::SaveToCSV(const QString& FileName, bool Unicode) {
  SaveToCSV(FileName, Unicode ? TEncoding::UTF8() : TEncoding::ASCII());
}

void TKitStringGrid::SaveToCSV(const QString& FileName, const TGridRect& ARect, bool Unicode) {
  WriteCSV(FileName, ARect, Unicode ? TEncoding::UTF8() : TEncoding::ASCII(), false);
}

void TKitStringGrid::SaveToCSV(const QString& FileName, TEncoding* AEncoding) {
  WriteCSV(FileName, MakeGridRect(SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()), AEncoding, false);
}

void TKitStringGrid::SaveToCSV(const QString& FileName, const TGridRect& ARect, TEncoding* AEncoding) {
  WriteCSV(FileName, ARect, AEncoding, false);
}

void TKitStringGrid::AppendToCSV(const QString& FileName, bool Unicode) {
  AppendToCSV(FileName, Unicode ? TEncoding::UTF8() : TEncoding::ASCII());
}

void TKitStringGrid::AppendToCSV(const QString& FileName, TEncoding* AEncoding) {
  WriteCSV(FileName, MakeGridRect(SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()), AEncoding, true);
}

// ---------------------------------------------------------------------------
// Reader

QChar TKitStringGrid::DetectDelimiter(const QString& Line1, const QString& Line2) {
  static const QChar candidates[] = {u',', u';', u'#', u'\t', u'|', u'@', u'*', u'-', u'+', u'&'};
  QChar taken;
  int best = 0;
  for (QChar c : candidates) {
    const int m1 = CountCharOutsideQuotes(c, Line1), m2 = CountCharOutsideQuotes(c, Line2);
    if (m1 == m2 && m1 > best) {
      taken = c;
      best = m1;
    }
  }
  if (best == 0)
    for (QChar c : candidates) {
      const int m1 = CountChar(c, Line1), m2 = CountChar(c, Line2);
      if (m1 == m2 && m1 > best) {
        taken = c;
        best = m1;
      }
    }
  if (best == 0)
    for (QChar c : candidates) {
      const int m1 = CountChar(c, Line1), m2 = CountChar(c, Line2);
      if (m1 > best || m2 > best) {
        taken = c;
        best = std::max(m1, m2);
      }
    }
  return taken;
}

// Splits one line into fields from column FirstCol on; answers the number of
// fields stored.
int TKitStringGrid::SplitCSVLine(QStringView S, QChar D, int ARow, int FirstCol, int Hidden) {
  int col = FirstCol;
  auto store = [&](QString field) {
    if (FJavaCSV) TildeToLineBreaks(field);
    else VerticalTabsToCRLF(field);
    LoadCell(col, ARow, std::move(field));
    if (col + 1 - Hidden > ColCount()) SetColCount(col + 1 - Hidden);
    ++col;
  };
  qsizetype p = D.isNull() ? -1 : S.indexOf(D);
  while (p >= 0) {
    if (FCSVTrimSpaces)
      while (S.size() > 1 && S[0] == u' ') {
        S = S.mid(1);
        --p;
      }
    if (!S.isEmpty() && S[0] == kQuote) {
      S = S.mid(1);
      const int c = ClosingQuote(S);
      if (c == 0) {
        // No closing quote on the line: the rest is the field.
        store(S.toString());
        return col - FirstCol;
      }
      QString field = Collapsed(S.left(c - 1));
      S = S.mid(c);
      const qsizetype next = S.indexOf(D);
      if (next >= 0) p = next;
      else p = std::min<qsizetype>(p, S.size() - 1);
      S = S.mid(std::min<qsizetype>(p + 1, S.size()));
      store(std::move(field));
    } else {
      QString field = S.left(p).toString();
      S = S.mid(p + 1);
      store(std::move(field));
    }
    p = S.indexOf(D);
  }
  if (!S.isEmpty()) {
    while (S.size() > 1 && S[0] == u' ') S = S.mid(1);
    if (S[0] == kQuote) {
      S = S.mid(1);
      if (S.endsWith(kQuote)) S.chop(1);
      store(Collapsed(S));
    } else {
      store(S.toString());
    }
  }
  return col - FirstCol;
}

void TKitStringGrid::ReadCSV(const QByteArray& Bytes, TEncoding* Fallback, bool Insert, int MaxRows, int IgnoreRows) {
  std::vector<QString> lines;
  {
    QString text = DecodeText(Bytes, Fallback);
    lines = SplitLines(text);
  }
  if (IgnoreRows > 0 && size_t(IgnoreRows) < lines.size()) lines.erase(lines.begin(), lines.begin() + IgnoreRows);
  if (lines.empty()) throw Exception(QStringLiteral("File is empty"));

  TUpdateBlock update(this);
  if (FCSVMultilineCellImport) {
    std::vector<QString> joined;
    joined.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
      QString line = std::move(lines[i]);
      int q = CountQuotes(line);
      while (q % 2 != 0 && i + 1 < lines.size()) {
        ++i;
        q += CountQuotes(lines[i]);
        line += QStringLiteral("\r\n");
        line += lines[i];
        lines[i] = QString();
      }
      joined.push_back(std::move(line));
    }
    lines.swap(joined);
  }

  const int oldRowCount = RowCount();
  // The floating footer's row is kept aside and comes back as the last row.
  const bool footer = FFloatingFooter->Visible() && RowCount() > 0;
  std::vector<std::pair<QString, TObject*>> kept;
  int r = Insert ? RowCount() : SaveStartRow();
  if (footer) {
    const int last = RowCount() - 1;
    for (int c = 0; c < TotalColCount(); ++c) {
      kept.emplace_back(GetGridCell(c, last), GetGridObject(c, last));
      DetachCell(c, last);
    }
    if (Insert) r = last;
  }

  const QChar oldDelimiter = FDelimiter;
  QChar d = FDelimiter;
  if (d.isNull()) d = DetectDelimiter(lines[0], lines.size() > 1 ? lines[1] : QString());
  FDelimiter = d;

  const size_t first = FLoadFirstRow ? 0 : 1;
  const int counted = int(lines.size() - std::min(first, lines.size()));
  if (OnFileProgress)
    SetRawRowCount(std::max(1, Insert ? counted + RowCount() : counted + SaveStartRow() + FFixedFooters));
  const int h = FSaveHiddenCells ? FNumHidden : 0;

  // Ends the load on every way out: the row count the loaded lines need (not
  // below the old one after a failure), the footer row back, the delimiter
  // back.
  bool done = false;
  auto finish = [&] {
    int target = r + FFixedFooters;
    if (footer && FFixedFooters == 0) target = r + 1;
    if (!done) target = std::max(target, oldRowCount);
    target = std::max(target, 1);
    const int grown = RowCount();
    // Rows cut off are emptied so that nothing comes back later.
    if (grown > target)
      for (int row = target; row < grown; ++row) {
        FreeCellPropertiesRect(0, row, TotalColCount() - 1, row);
        for (int c = 0; c < TotalColCount(); ++c) SetGridCell(c, row, QString());
      }
    SetRawRowCount(target);
    SetRowCount(target);
    FMaxRowCount = RowCount();
    if (footer) {
      const int last = RowCount() - 1;
      for (int c = 0; c < int(kept.size()); ++c) {
        FreeCellProperties(c, last);
        SetGridCell(c, last, kept[size_t(c)].first);
        SetGridObject(c, last, kept[size_t(c)].second);
      }
    }
    FDelimiter = oldDelimiter;
  };
  try {
    int loaded = 0;
    int lastP = -1;
    for (size_t i = first; i < lines.size() && (MaxRows <= 0 || loaded < MaxRows); ++i) {
      if (r >= RowCount() - FFixedFooters) SetRawRowCount(r + 1000);
      SplitCSVLine(lines[i], d, r, SaveStartCol(), h);
      lines[i] = QString();
      ++loaded;
      if (OnFileProgress && counted > 0) {
        const int p = Percent(double(loaded) / counted);
        if (p != lastP) {
          lastP = p;
          OnFileProgress(this, short(p));
        }
      }
      ++r;
    }
    done = true;
    finish();
  } catch (...) {
    finish();
    throw;
  }
  CellsChanged(TRect(0, 0, ColCount(), RowCount()));
  RecalcAllFooters();
}

void TKitStringGrid::LoadFromCSV(const QString& FileName, int MaxRows, int IgnoreRows) {
  const QByteArray bytes = ReadWholeFile(FileName);
  if (bytes.isEmpty()) return;
  ReadCSV(bytes, nullptr, false, MaxRows, IgnoreRows);
}

void TKitStringGrid::LoadFromCSV(const QString& FileName, TEncoding* AEncoding, int MaxRows, int IgnoreRows) {
  ReadCSV(ReadWholeFile(FileName), AEncoding, false, MaxRows, IgnoreRows);
}

void TKitStringGrid::InsertFromCSV(const QString& FileName, int MaxRows, int IgnoreRows) {
  const QByteArray bytes = ReadWholeFile(FileName);
  if (bytes.isEmpty()) return;
  ReadCSV(bytes, nullptr, true, MaxRows, IgnoreRows);
}

void TKitStringGrid::InsertFromCSV(const QString& FileName, TEncoding* AEncoding, int MaxRows, int IgnoreRows) {
  ReadCSV(ReadWholeFile(FileName), AEncoding, true, MaxRows, IgnoreRows);
}

void TKitStringGrid::LoadFromCSVStream(TStream* AStream, int MaxRows, int IgnoreRows) {
  LoadFromCSVStream(AStream, nullptr, MaxRows, IgnoreRows);
}

void TKitStringGrid::LoadFromCSVStream(TStream* AStream, TEncoding* AEncoding, int MaxRows, int IgnoreRows) {
  const Int64 pos = AStream->Position();
  const Int64 size = AStream->Size();
  QByteArray bytes;
  if (auto* memory = dynamic_cast<TCustomMemoryStream*>(AStream)) {
    // The stream's own bytes, not copied.
    if (size > pos)
      bytes = QByteArray::fromRawData(static_cast<const char*>(memory->Memory()) + pos, qsizetype(size - pos));
    AStream->SetPosition(size);
  } else if (size > pos) {
    bytes.resize(qsizetype(size - pos));
    bytes.resize(qsizetype(AStream->Read(bytes.data(), size - pos)));
  }
  ReadCSV(bytes, AEncoding, false, MaxRows, IgnoreRows);
}
