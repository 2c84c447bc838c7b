// Legacy .xls workbooks: the BIFF8 (Excel 97 and later) or BIFF5 (Excel 5
// and 95) record stream "Workbook" or "Book" of a compound file.
//
// The stream opens with the workbook globals (code page, date system,
// number formats, cell formats, the shared string table, the sheet list with
// each sheet's offset, the window with the active tab) and goes on with one
// substream per sheet, each between a BOF and an EOF record (an embedded
// chart nests a substream of its own). Cells are NUMBER, RK, MULRK,
// LABELSST, LABEL, RSTRING, BOOLERR and FORMULA records; a formula's cached
// result is a number, a boolean or an error inside the record, or a text in
// the STRING record after it. Records longer than their limit go on in
// CONTINUE records; a text split there resumes with a fresh option byte.
//
// The whole file is read before anything is handed over: a file that cannot
// be read raises EOleException with the reason, and no sheet is kept.

#include <iconv.h>

#include <QFile>
#include <QHash>
#include <algorithm>
#include <bit>
#include <cerrno>

#include "platform/office/ComObj.h"
#include "platform/office/CompoundFile.h"
#include "platform/office/XlsxFormat.h"

namespace Excel::detail {

namespace {

// Record types.
enum : uint16_t {
  rtFormula = 0x0006,
  rtEof = 0x000A,
  rtDateMode = 0x0022,
  rtFilePass = 0x002F,
  rtContinue = 0x003C,
  rtWindow1 = 0x003D,
  rtCodePage = 0x0042,
  rtBoundSheet = 0x0085,
  rtMulRk = 0x00BD,
  rtRString = 0x00D6,
  rtXf = 0x00E0,
  rtSst = 0x00FC,
  rtLabelSst = 0x00FD,
  rtNumber = 0x0203,
  rtLabel = 0x0204,
  rtBoolErr = 0x0205,
  rtString = 0x0207,
  rtRk = 0x027E,
  rtFormula4 = 0x0406,
  rtFormat = 0x041E,
  rtBof = 0x0809,
};

[[noreturn]] void Fail(const QString& reason) { throw EOleException(reason); }

const char* RecordName(uint16_t type) {
  switch (type) {
    case rtFormula:
    case rtFormula4: return "FORMULA";
    case rtDateMode: return "DATEMODE";
    case rtWindow1: return "WINDOW1";
    case rtCodePage: return "CODEPAGE";
    case rtBoundSheet: return "BOUNDSHEET";
    case rtMulRk: return "MULRK";
    case rtRString: return "RSTRING";
    case rtXf: return "XF";
    case rtSst: return "SST";
    case rtLabelSst: return "LABELSST";
    case rtNumber: return "NUMBER";
    case rtLabel: return "LABEL";
    case rtBoolErr: return "BOOLERR";
    case rtString: return "STRING";
    case rtRk: return "RK";
    case rtFormat: return "FORMAT";
    case rtBof: return "BOF";
    default: return "workbook";
  }
}

// ---------------------------------------------------------------------------
// Code pages of BIFF5 texts

// Decodes 8-bit texts of a Windows or Macintosh code page; the converter is
// opened on first use and kept for the workbook.
class TCodePageDecoder {
 public:
  TCodePageDecoder() = default;
  TCodePageDecoder(const TCodePageDecoder&) = delete;
  TCodePageDecoder& operator=(const TCodePageDecoder&) = delete;
  ~TCodePageDecoder() { Close(); }

  void SetCodePage(int codePage) {
    if (codePage == FCodePage) return;
    Close();
    FCodePage = codePage;
  }

  QString Decode(const QByteArray& bytes) {
    if (bytes.isEmpty()) return {};
    if (FCodePage == 1200)
      return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    if (FCodePage == 65001) return QString::fromUtf8(bytes);
    if (FCd == iconv_t(-1) && !FTried) {
      FTried = true;
      FCd = iconv_open("UTF-16LE", IconvName(FCodePage).constData());
      if (FCd == iconv_t(-1)) FCd = iconv_open("UTF-16LE", "CP1252");
    }
    if (FCd == iconv_t(-1)) return QString::fromLatin1(bytes);
    iconv(FCd, nullptr, nullptr, nullptr, nullptr);
    QString out;
    std::vector<char16_t> buffer(size_t(bytes.size()) * 2 + 8);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    while (inLeft > 0) {
      char* outPtr = reinterpret_cast<char*>(buffer.data());
      size_t outLeft = buffer.size() * sizeof(char16_t);
      const size_t r = iconv(FCd, &in, &inLeft, &outPtr, &outLeft);
      out.append(reinterpret_cast<const QChar*>(buffer.data()),
                 qsizetype((buffer.size() * sizeof(char16_t) - outLeft) / sizeof(char16_t)));
      if (r == size_t(-1)) {
        if (errno == E2BIG) continue;
        // A byte the code page does not define, or a lead byte without its
        // trail byte: a replacement character, and on with the next byte.
        out.append(QChar::ReplacementCharacter);
        ++in;
        --inLeft;
        iconv(FCd, nullptr, nullptr, nullptr, nullptr);
      }
    }
    return out;
  }

 private:
  static QByteArray IconvName(int codePage) {
    switch (codePage) {
      case 367: return "US-ASCII";
      case 10000:
      case 32768: return "MACINTOSH";
      case 32769: return "CP1252";  // the ANSI code page of Excel 2 to 4
      default: return "CP" + QByteArray::number(codePage);
    }
  }
  void Close() {
    if (FCd != iconv_t(-1)) iconv_close(FCd);
    FCd = iconv_t(-1);
    FTried = false;
  }

  int FCodePage = 1252;
  iconv_t FCd = iconv_t(-1);
  bool FTried = false;
};

// ---------------------------------------------------------------------------
// Records

struct TRecord {
  uint16_t Type = 0;
  qsizetype At = 0;  // of the body in the stream
  qsizetype Size = 0;
};

// The records of the stream from a position on.
class TRecordReader {
 public:
  TRecordReader(const QByteArray& stream, qsizetype at) : FStream(stream), FNext(at) {}

  // The next record; false at the end of the stream. Raises for a record
  // that runs past the end.
  bool Next(TRecord& r) {
    if (FNext >= FStream.size()) return false;
    if (FNext + 4 > FStream.size()) Fail(QStringLiteral("the workbook stream ends inside a record header"));
    r.Type = Word(FNext);
    r.Size = Word(FNext + 2);
    r.At = FNext + 4;
    if (r.At + r.Size > FStream.size())
      Fail(QStringLiteral("the workbook stream ends inside a record (type 0x%1, %2 bytes at offset %3)")
               .arg(r.Type, 4, 16, QLatin1Char('0'))
               .arg(r.Size)
               .arg(FNext));
    FNext = r.At + r.Size;
    return true;
  }
  // The type of the record after the current one, or -1 at the end.
  int PeekType() const { return FNext + 4 <= FStream.size() ? Word(FNext) : -1; }
  qsizetype Position() const { return FNext; }

 private:
  uint16_t Word(qsizetype at) const { return uint16_t(uint8_t(FStream[at]) | uint8_t(FStream[at + 1]) << 8); }
  const QByteArray& FStream;
  qsizetype FNext;
};

// The body of a record, with the bodies of the CONTINUE records after it as
// further segments. Texts that cross into the next segment resume with an
// option byte (compressed or UTF-16); every other field reads straight on.
class TBody {
 public:
  TBody(const QByteArray& stream, const TRecord& r) : FStream(stream), FName(RecordName(r.Type)) {
    FSegments.push_back({r.At, r.Size});
  }
  void AddContinue(const TRecord& r) { FSegments.push_back({r.At, r.Size}); }

  bool AtEnd() {
    while (FSeg < FSegments.size() && FPos >= FSegments[FSeg].second) NextSegment();
    return FSeg >= FSegments.size();
  }

  uint8_t Byte() {
    if (AtEnd()) Short();
    return uint8_t(FStream[FSegments[FSeg].first + FPos++]);
  }
  uint16_t U16() {
    const uint16_t lo = Byte();
    return uint16_t(lo | Byte() << 8);
  }
  uint32_t U32() {
    const uint32_t lo = U16();
    return lo | uint32_t(U16()) << 16;
  }
  double Double() {
    const uint64_t lo = U32();
    return std::bit_cast<double>(lo | uint64_t(U32()) << 32);
  }
  void Skip(qint64 n) {
    while (n > 0) {
      if (AtEnd()) Short();
      const qint64 step = std::min<qint64>(n, FSegments[FSeg].second - FPos);
      FPos += step;
      n -= step;
    }
  }
  QByteArray Bytes(qsizetype n) {
    QByteArray out;
    while (out.size() < n) {
      if (AtEnd()) Short();
      const qsizetype step = std::min<qsizetype>(n - out.size(), FSegments[FSeg].second - FPos);
      out.append(FStream.constData() + FSegments[FSeg].first + FPos, step);
      FPos += step;
    }
    return out;
  }

  // count characters, one byte each (the low bytes of UTF-16, that is
  // Latin-1) or two; at the end of a segment the next one starts with an
  // option byte that says which for the rest.
  QString Chars(int count, bool wide) {
    QString out;
    out.reserve(count);
    while (out.size() < count) {
      if (FSeg >= FSegments.size() || FPos >= FSegments[FSeg].second) {
        NextSegment();
        if (FSeg >= FSegments.size()) Short();
        wide = Byte() & 1;
      }
      const qsizetype left = FSegments[FSeg].second - FPos;
      const char* p = FStream.constData() + FSegments[FSeg].first + FPos;
      if (wide) {
        const qsizetype n = std::min<qsizetype>(count - out.size(), left / 2);
        if (n == 0)
          Fail(QStringLiteral("a text of the %1 record at offset %2 is split inside a character")
                   .arg(QLatin1String(FName))
                   .arg(FSegments.front().first - 4));
        for (qsizetype i = 0; i < n; ++i) out += QChar(char16_t(uint8_t(p[2 * i]) | uint8_t(p[2 * i + 1]) << 8));
        FPos += 2 * n;
      } else {
        const qsizetype n = std::min<qsizetype>(count - out.size(), left);
        out += QString::fromLatin1(p, n);
        FPos += n;
      }
    }
    return out;
  }

  // A BIFF8 text: its length (one or two bytes), option byte, run and
  // phonetic counts when flagged, characters, then the runs and phonetic
  // data, which are skipped.
  QString UnicodeString(int lengthBytes) {
    const int count = lengthBytes == 1 ? Byte() : U16();
    const uint8_t options = Byte();
    const int runs = options & 0x08 ? U16() : 0;
    const uint32_t extra = options & 0x04 ? U32() : 0;
    QString text = Chars(count, options & 0x01);
    Skip(qint64(runs) * 4);
    Skip(extra);
    return text;
  }

 private:
  void NextSegment() {
    ++FSeg;
    FPos = 0;
  }
  [[noreturn]] void Short() const {
    Fail(QStringLiteral("the %1 record at offset %2 is shorter than its contents")
             .arg(QLatin1String(FName))
             .arg(FSegments.front().first - 4));
  }

  const QByteArray& FStream;
  const char* FName;
  std::vector<std::pair<qsizetype, qsizetype>> FSegments;  // offset, size
  size_t FSeg = 0;
  qsizetype FPos = 0;
};

QString ErrorText(uint8_t code) {
  switch (code) {
    case 0x00: return QStringLiteral("#NULL!");
    case 0x07: return QStringLiteral("#DIV/0!");
    case 0x0F: return QStringLiteral("#VALUE!");
    case 0x17: return QStringLiteral("#REF!");
    case 0x1D: return QStringLiteral("#NAME?");
    case 0x24: return QStringLiteral("#NUM!");
    case 0x2B: return QStringLiteral("#GETTING_DATA");
    default: return QStringLiteral("#N/A");
  }
}

// An RK number: a 30-bit integer or the upper 30 bits of a double, divided
// by 100 when flagged.
double RkValue(uint32_t rk) {
  double value = rk & 0x02 ? double(int32_t(rk) >> 2) : std::bit_cast<double>(uint64_t(rk & 0xFFFFFFFCu) << 32);
  return rk & 0x01 ? value / 100 : value;
}

// ---------------------------------------------------------------------------
// The workbook

struct TSheetEntry {
  QString Name;
  uint32_t Offset = 0;
  uint8_t Type = 0;  // 0 worksheet, 1 macro sheet, 2 chart, 6 module
};

class TBiffReader {
 public:
  TBiffReader(const QByteArray& stream, bool bookStream) : FStream(stream), FBookStream(bookStream) {}

  TXlsBook Read() {
    const qsizetype globalsEnd = ReadGlobals();
    struct TSpan {
      qsizetype Start, End;
      const QString* Name;
      bool operator<(const TSpan& o) const { return Start < o.Start; }
    };
    std::vector<TSpan> spans;
    qsizetype parsed = globalsEnd;
    TXlsBook book;
    for (const TSheetEntry& entry : FSheets) {
      TXlsSheet sheet;
      sheet.Name = entry.Name;
      sheet.Kind = entry.Type == 0 ? skWorksheet : entry.Type == 2 ? skChart : skOther;
      if (sheet.Kind == skWorksheet) {
        const qsizetype length = ReadSheet(entry, sheet.Store);
        // Sheets own disjoint stretches of the stream after the globals: more
        // than the stream in all means sheets that share records. This check
        // bounds the work as it goes; the one below finds every overlap.
        parsed += length;
        if (parsed > FStream.size() || qsizetype(entry.Offset) < globalsEnd)
          Fail(QStringLiteral("the data of sheet \"%1\" overlap those of another sheet").arg(entry.Name));
        spans.push_back({qsizetype(entry.Offset), qsizetype(entry.Offset) + length, &entry.Name});
      }
      book.Sheets.push_back(std::move(sheet));
    }
    std::sort(spans.begin(), spans.end());
    for (size_t k = 1; k < spans.size(); ++k)
      if (spans[k].Start < spans[k - 1].End)
        Fail(QStringLiteral("the data of sheet \"%1\" overlap those of another sheet").arg(*spans[k].Name));
    if (book.Sheets.empty()) Fail(QStringLiteral("the workbook lists no sheet"));
    book.ActiveTab = FActiveTab < int(book.Sheets.size()) ? FActiveTab : 0;
    return book;
  }

 private:
  QString ByteString(TBody& body, int lengthBytes) {
    const int count = lengthBytes == 1 ? body.Byte() : body.U16();
    return FByteTexts.Decode(body.Bytes(count));
  }
  // A text as the BIFF version stores it.
  QString Text(TBody& body, int lengthBytes) {
    return FBiff8 ? body.UnicodeString(lengthBytes) : ByteString(body, lengthBytes);
  }
  void TakeContinues(TRecordReader& records, TBody& body) {
    TRecord r;
    while (records.PeekType() == rtContinue && records.Next(r)) body.AddContinue(r);
  }

  // Reads the globals up to their EOF; answers where the globals end.
  qsizetype ReadGlobals() {
    TRecordReader records(FStream, 0);
    TRecord r;
    if (!records.Next(r)) Fail(QStringLiteral("the workbook stream is empty"));
    if (r.Type == 0x0009 || r.Type == 0x0209 || r.Type == 0x0409)
      Fail(QStringLiteral("the workbook is in the format of Excel 2 to 4, which is not read"));
    if (r.Type != rtBof || r.Size < 4) Fail(QStringLiteral("the workbook stream does not start with a BOF record"));
    TBody bof(FStream, r);
    const uint16_t version = bof.U16();
    const uint16_t kind = bof.U16();
    FBiff8 = version == 0x0600 || (version != 0x0500 && !FBookStream);
    if (kind != 0x0005) Fail(QStringLiteral("the workbook stream does not start with the workbook globals"));
    bool ended = false;
    while (!ended && records.Next(r)) {
      TBody body(FStream, r);
      switch (r.Type) {
        case rtEof: ended = true; break;
        case rtFilePass: Fail(QStringLiteral("the workbook is protected by a password to open it"));
        case rtCodePage: FByteTexts.SetCodePage(body.U16()); break;
        case rtDateMode: FDecoder.Date1904 = body.U16() != 0; break;
        case rtFormat: {
          const int id = body.U16();
          FFormats.insert(id, Text(body, FBiff8 ? 2 : 1));
          break;
        }
        case rtXf:
          body.U16();  // font
          FXfFormats.push_back(body.U16());
          break;
        case rtSst:
          if (FBiff8) {
            TakeContinues(records, body);
            ReadSst(body);
          }
          break;
        case rtBoundSheet: {
          TSheetEntry entry;
          entry.Offset = body.U32();
          body.Byte();  // visibility
          entry.Type = body.Byte();
          entry.Name = Text(body, 1);
          FSheets.push_back(std::move(entry));
          break;
        }
        case rtWindow1:
          if (!FWindowSeen) {
            FWindowSeen = true;
            body.Skip(10);  // position, size, options
            FActiveTab = body.U16();
          }
          break;
        default: break;
      }
    }
    if (!ended) Fail(QStringLiteral("the workbook stream ends inside the workbook globals"));
    for (uint16_t id : FXfFormats) FDecoder.StyleKinds.push_back(ClassifyNumberFormat(id, FFormats.value(id)));
    return records.Position();
  }

  void ReadSst(TBody& sst) {
    sst.U32();  // references in all
    const uint32_t unique = sst.U32();
    // Every text takes three bytes at least: no more room than that.
    FSst.reserve(std::min<size_t>(unique, size_t(FStream.size() / 3)));
    for (uint32_t i = 0; i < unique && !sst.AtEnd(); ++i) FSst.push_back(sst.UnicodeString(2));
  }

  // Reads the cells of one worksheet into store; answers the length of its
  // substream.
  qsizetype ReadSheet(const TSheetEntry& entry, TSheetStore& store) {
    if (entry.Offset >= uint32_t(FStream.size()))
      Fail(QStringLiteral("the data of sheet \"%1\" lie past the end of the workbook stream").arg(entry.Name));
    TRecordReader records(FStream, qsizetype(entry.Offset));
    TRecord r;
    if (!records.Next(r) || r.Type != rtBof)
      Fail(QStringLiteral("the data of sheet \"%1\" are not where the workbook says").arg(entry.Name));
    int depth = 1;  // embedded charts nest substreams of their own
    // The formula cell whose text result comes in the next STRING record.
    struct {
      bool Set = false;
      size_t Row = 0, Cell = 0;
    } pending;
    struct TRef {
      int Row, Col, Xf;
    };
    auto ref = [&](TBody& body) {
      TRef c;
      c.Row = body.U16() + 1;
      c.Col = body.U16() + 1;
      c.Xf = body.U16();
      return c;
    };
    auto put = [&](int row, int col, QVariant value) {
      if (col > MaxColumns)
        Fail(QStringLiteral("sheet \"%1\" has a cell in column %2, past the last column").arg(entry.Name).arg(col));
      if (store.Loaded.empty() || store.Loaded.back().Row != row) store.Loaded.push_back(TRow{row, {}});
      store.Loaded.back().Cells.push_back(TCell{col, std::move(value)});
      pending.Set = false;
    };
    const qsizetype start = qsizetype(entry.Offset);
    while (depth > 0) {
      if (!records.Next(r))
        Fail(QStringLiteral("the data of sheet \"%1\" end before the sheet's end record").arg(entry.Name));
      if (r.Type == rtBof) {
        ++depth;
        continue;
      }
      if (r.Type == rtEof) {
        --depth;
        continue;
      }
      if (depth != 1) continue;
      switch (r.Type) {
        case rtNumber: {
          TBody body(FStream, r);
          const TRef c = ref(body);
          put(c.Row, c.Col, FDecoder.Number(body.Double(), c.Xf));
          break;
        }
        case rtRk: {
          TBody body(FStream, r);
          const TRef c = ref(body);
          put(c.Row, c.Col, FDecoder.Number(RkValue(body.U32()), c.Xf));
          break;
        }
        case rtMulRk: {
          // Row, first column, (format, RK) per cell, last column.
          TBody body(FStream, r);
          if (r.Size < 12 || (r.Size - 6) % 6 != 0)
            Fail(QStringLiteral("sheet \"%1\" has a MULRK record of %2 bytes").arg(entry.Name).arg(r.Size));
          const int row = body.U16() + 1;
          const int first = body.U16() + 1;
          const int count = int((r.Size - 6) / 6);
          for (int i = 0; i < count; ++i) {
            const int xf = body.U16();
            put(row, first + i, FDecoder.Number(RkValue(body.U32()), xf));
          }
          if (body.U16() + 1 != first + count - 1)
            Fail(QStringLiteral("sheet \"%1\" has a MULRK record whose columns do not match its values")
                     .arg(entry.Name));
          break;
        }
        case rtLabelSst: {
          if (!FBiff8) break;
          TBody body(FStream, r);
          const TRef c = ref(body);
          const uint32_t index = body.U32();
          if (index >= FSst.size())
            Fail(QStringLiteral("sheet \"%1\" names shared string %2, but the workbook has %3")
                     .arg(entry.Name)
                     .arg(index)
                     .arg(FSst.size()));
          put(c.Row, c.Col, FSst[index]);
          break;
        }
        case rtLabel:
        case rtRString: {
          // The runs of an RSTRING follow its text; they are left alone.
          TBody body(FStream, r);
          const TRef c = ref(body);
          put(c.Row, c.Col, Text(body, 2));
          break;
        }
        case rtBoolErr: {
          TBody body(FStream, r);
          const TRef c = ref(body);
          const uint8_t value = body.Byte();
          const bool error = body.Byte() != 0;
          put(c.Row, c.Col, error ? QVariant::fromValue(TOleError{ErrorText(value)}) : QVariant(value != 0));
          break;
        }
        case rtFormula:
        case rtFormula4: {
          // The cached result: a number, or a kind byte and its value under
          // the marker FFFF in the last two bytes.
          TBody body(FStream, r);
          const TRef c = ref(body);
          const QByteArray result = body.Bytes(8);
          if (uint8_t(result[6]) != 0xFF || uint8_t(result[7]) != 0xFF) {
            uint64_t bits = 0;
            for (int i = 7; i >= 0; --i) bits = bits << 8 | uint8_t(result[i]);
            put(c.Row, c.Col, FDecoder.Number(std::bit_cast<double>(bits), c.Xf));
            break;
          }
          switch (uint8_t(result[0])) {
            case 0:  // a text, in the STRING record that follows
              put(c.Row, c.Col, QStringLiteral(""));
              pending.Set = true;
              pending.Row = store.Loaded.size() - 1;
              pending.Cell = store.Loaded.back().Cells.size() - 1;
              break;
            case 1: put(c.Row, c.Col, uint8_t(result[2]) != 0); break;
            case 2: put(c.Row, c.Col, QVariant::fromValue(TOleError{ErrorText(uint8_t(result[2]))})); break;
            case 3: put(c.Row, c.Col, QStringLiteral("")); break;
            default: break;  // no result kind the format knows
          }
          break;
        }
        case rtString: {
          TBody text(FStream, r);
          TakeContinues(records, text);
          if (!pending.Set) break;
          store.Loaded[pending.Row].Cells[pending.Cell].Value = Text(text, 2);
          pending.Set = false;
          break;
        }
        default: break;
      }
    }
    store.Normalise();
    return records.Position() - start;
  }

  const QByteArray& FStream;
  bool FBookStream;
  bool FBiff8 = true;
  TCodePageDecoder FByteTexts;  // BIFF5 texts
  QHash<int, QString> FFormats;
  std::vector<uint16_t> FXfFormats;
  std::vector<QString> FSst;
  std::vector<TSheetEntry> FSheets;
  bool FWindowSeen = false;
  int FActiveTab = 0;
  TCellDecoder FDecoder;
};

}  // namespace

TXlsBook ReadXlsBytes(const QByteArray& bytes) {
  const TCompoundFile file(bytes);
  if (file.HasStream(QStringLiteral("Workbook")))
    return TBiffReader(file.ReadStream(QStringLiteral("Workbook")), false).Read();
  if (file.HasStream(QStringLiteral("Book"))) return TBiffReader(file.ReadStream(QStringLiteral("Book")), true).Read();
  if (file.HasStream(QStringLiteral("EncryptedPackage")))
    Fail(QStringLiteral("the workbook is protected by a password to open it"));
  Fail(QStringLiteral("the compound file holds no workbook (no stream \"Workbook\" or \"Book\")"));
}

TXlsBook ReadXlsFile(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) Fail(QStringLiteral("cannot open the file: %1").arg(file.errorString()));
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) Fail(QStringLiteral("cannot read the file: %1").arg(file.errorString()));
  return ReadXlsBytes(bytes);
}

}  // namespace Excel::detail
