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

// The lines of a text, kept as ranges of its bytes (single-byte encodings and
// UTF-8, where a quote and a line break are single bytes) or of its decoded
// UTF-16 text; a line is decoded only when it is read, so the whole text is
// never held twice. Lines end at CR LF, CR or LF; a final line break ends
// the last line. Construction checks the whole text (valid in its encoding,
// no NUL character) before anything else happens.
class TLineSource {
 public:
  TLineSource(const QByteArray& Bytes, TEncoding* Fallback) : FBytes(Bytes) {
    if (Bytes.startsWith("\xEF\xBB\xBF")) Fallback = TEncoding::UTF8();
    else if (Bytes.startsWith("\xFF\xFE")) Fallback = TEncoding::Unicode();
    else if (Bytes.startsWith("\xFE\xFF")) Fallback = TEncoding::BigEndianUnicode();
    else if (Fallback == nullptr) Fallback = TEncoding::ANSI();
    FEncoding = Fallback;
    const TBytes preamble = Fallback->GetPreamble();
    const qsizetype skip = !preamble.isEmpty() && Bytes.startsWith(preamble) ? preamble.size() : 0;
    const int cp = Fallback->CodePage();
    FUtf8 = cp == 65001;
    if (cp == 1200 || cp == 1201) {
      const QByteArrayView body = QByteArrayView(Bytes).sliced(skip);
      if (body.size() % 2 != 0) Malformed(QStringLiteral("an odd number of bytes of UTF-16"), 1);
      QStringDecoder decoder(cp == 1200 ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
      FText = decoder.decode(body);
      FWide = true;
      FBytes = QByteArray();
      Split<QChar>(FText.constData(), FText.size(), 0, QChar(u'"'), QChar(u'\r'), QChar(u'\n'), QChar(0));
    } else {
      Split<char>(Bytes.constData() + skip, Bytes.size() - skip, skip, '"', '\r', '\n', '\0');
    }
  }

  size_t Count() const { return FLines.size(); }
  void DropFirst(size_t N) { FLines.erase(FLines.begin(), FLines.begin() + qsizetype(N)); }
  int Quotes(size_t I) const { return FLines[I].Quotes; }

  // Line I alone, or lines I to J joined with CR LF.
  QString Text(size_t I, size_t J) const {
    QString out = Decode(FLines[I]);
    for (size_t k = I + 1; k <= J; ++k) {
      out += QStringLiteral("\r\n");
      out += Decode(FLines[k]);
    }
    return out;
  }

 private:
  struct TLine {
    qsizetype Start, Length;
    int Quotes;
  };

  template <class C>
  void Split(const C* D, qsizetype N, qsizetype Offset, C Quote, C Cr, C Lf, C Nul) {
    qsizetype start = 0;
    int quotes = 0;
    int line = 1;
    for (qsizetype i = 0; i < N; ++i) {
      const C c = D[i];
      if (c == Quote) {
        ++quotes;
      } else if (c == Cr || c == Lf) {
        Check(D + start, i - start, line);
        FLines.push_back({Offset + start, i - start, quotes});
        if (c == Cr && i + 1 < N && D[i + 1] == Lf) ++i;
        start = i + 1;
        quotes = 0;
        ++line;
      } else if (c == Nul) {
        Malformed(QStringLiteral("a NUL character"), line);
      }
    }
    if (start < N) {
      Check(D + start, N - start, line);
      FLines.push_back({Offset + start, N - start, quotes});
    }
  }

  void Check(const QChar*, qsizetype, int) {}
  void Check(const char* D, qsizetype N, int Line) {
    if (!FUtf8) return;
    // Plain ASCII needs no decoder.
    bool ascii = true;
    for (qsizetype i = 0; i < N && ascii; ++i) ascii = static_cast<unsigned char>(D[i]) < 0x80;
    if (ascii) return;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(QByteArrayView(D, N));
    if (decoder.hasError()) Malformed(QStringLiteral("bytes that are not UTF-8"), Line);
  }

  QString Decode(const TLine& L) const {
    if (FWide) return FText.mid(L.Start, L.Length);
    const char* d = FBytes.constData() + L.Start;
    if (FUtf8) return QString::fromUtf8(d, L.Length);
    return FEncoding->GetString(QByteArray::fromRawData(d, L.Length));
  }

  QByteArray FBytes;
  QString FText;
  TEncoding* FEncoding = nullptr;
  bool FWide = false;
  bool FUtf8 = false;
  std::vector<TLine> FLines;
};

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
  if (!S.contains(QStringLiteral("\"\""))) return S.toString();
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
    else if (field.contains(QChar(11))) VerticalTabsToCRLF(field);
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
  TLineSource source(Bytes, Fallback);
  if (IgnoreRows > 0 && size_t(IgnoreRows) < source.Count()) source.DropFirst(size_t(IgnoreRows));
  if (source.Count() == 0) throw Exception(QStringLiteral("File is empty"));

  TUpdateBlock update(this);
  // Logical lines: a line whose quotes are odd in number takes the lines
  // after it until they balance (or the text ends).
  std::vector<std::pair<size_t, size_t>> lines;
  lines.reserve(source.Count());
  for (size_t i = 0; i < source.Count(); ++i) {
    const size_t first = i;
    int q = source.Quotes(i);
    while (FCSVMultilineCellImport && q % 2 != 0 && i + 1 < source.Count()) q += source.Quotes(++i);
    lines.emplace_back(first, i);
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
  if (d.isNull())
    d = DetectDelimiter(source.Text(lines[0].first, lines[0].second),
                        lines.size() > 1 ? source.Text(lines[1].first, lines[1].second) : QString());
  FDelimiter = d;

  const size_t first = FLoadFirstRow ? 0 : 1;
  const int counted = int(lines.size() - std::min(first, lines.size()));
  if (OnFileProgress)
    SetRawRowCount(std::max(1, Insert ? counted + RowCount() : counted + SaveStartRow() + FFixedFooters));
  const int h = FSaveHiddenCells ? FNumHidden : 0;
  // Rows the load makes get room for the fields of the first line rather
  // than for every column of the grid.
  {
    int fields = 1;
    if (!d.isNull()) fields += int(source.Text(lines[0].first, lines[0].second).count(d));
    Store().SetRowHint(std::min(SaveStartCol() + fields, TotalColCount()));
  }

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
    Store().SetRowHint(TotalColCount());
  };
  try {
    int loaded = 0;
    int lastP = -1;
    for (size_t i = first; i < lines.size() && (MaxRows <= 0 || loaded < MaxRows); ++i) {
      if (r >= RowCount() - FFixedFooters) SetRawRowCount(r + 1000);
      SplitCSVLine(source.Text(lines[i].first, lines[i].second), d, r, SaveStartCol(), h);
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
