// The binary grid stream: a rectangle of cells with their texts, cell
// properties and cell graphics, as a sequence of small records in the
// framework's binary component-stream format ("TPF0", class name, empty
// object name, properties as name + tagged value, an empty name closing the
// properties and another closing the empty list of children).
//
// Records: TGridPropIO (the header), then per cell TGridCellIO, followed by
// TGridCellPropIO when the cell has properties, TGridGraphicIO when it has
// a graphic to carry, and one data record by the graphic's kind
// (TGridBMPIO, TGridIconIO, TGridSLIO, TGridPicIO, TGridFilePicIO).
//
// The records are written and read property by property with a switch on
// the name, not through generic reflection: one record per cell makes the
// stream hot, and the reader must refuse anything it does not expect. Every
// length is checked against the bytes left; an unknown record, property or
// value kind raises the framework's stream-read error.
//
// What this writer carries beyond the framework's cell-property copy: the
// gradient end colour and direction and a three-state check box's state
// travel with their real values (the properties are in the record anyway);
// graphics around objects the grid made itself travel too (the reader makes
// its own object either way); column and row are written with whatever
// integer size they need, so cells beyond 65,535 keep their place. An
// interfaced cell's object is the caller's: an empty bitmap record stands
// for it and the reader restores a graphic without object (kind ctNone).

#include <QCoreApplication>
#include <QHash>
#include <QFile>
#include <unistd.h>

#include <cstring>

#include "grid/io/KitGridIOSupport.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUtils.h"
#include "grid/model/KitObjAux.h"
#include "platform/rtl/ComponentStreaming.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Graphics.h"

using namespace kitgridio;

namespace kitgridio {

namespace {
int gPixelsPerInchOverride = 0;
}

void SetBinStreamPixelsPerInch(int Dpi) { gPixelsPerInchOverride = Dpi; }

int BinStreamPixelsPerInch(TKitStringGrid& Grid) {
  if (gPixelsPerInchOverride > 0) return gPixelsPerInchOverride;
  if (!Grid.HandleAllocated()) return 96;
  const int dpi = GetDeviceCaps(Grid.Canvas()->Handle(), LOGPIXELSY);
  return dpi > 0 ? dpi : 96;
}

qint32 GridStreamID(const TKitStringGrid& Grid) {
  // Unique across the processes of a session: the process id and the grid's
  // place in it, mixed.
  quint64 v = (static_cast<quint64>(::getpid()) << 32) ^ reinterpret_cast<quintptr>(&Grid);
  v ^= v >> 33;
  v *= 0xff51afd7ed558ccdULL;
  v ^= v >> 33;
  return static_cast<qint32>(v & 0x7FFFFFFF);
}

}  // namespace kitgridio

namespace {

constexpr int kMaxListItems = MaxLoadCols > MaxLoadRows ? MaxLoadCols : MaxLoadRows;

[[noreturn]] void ReadError() { throw EReadError(QString::fromUtf8(RtlConsts::SReadError)); }
[[noreturn]] void ValueError() { throw EReadError(QString::fromUtf8(RtlConsts::SInvalidPropertyValue)); }
[[noreturn]] void UnknownProperty(const QString& Name) {
  throw EReadError(QString::fromUtf8(RtlConsts::SUnknownProperty).replace(QLatin1String("%s"), Name));
}

int RoundDiv(qint64 num, qint64 den) {
  // Nearest integer, halves away from zero (the framework's MulDiv).
  if (den == 0) return 0;
  const bool neg = (num < 0) != (den < 0);
  const qint64 a = std::llabs(num), b = std::llabs(den);
  const qint64 q = (2 * a + b) / (2 * b);
  return static_cast<int>(neg ? -q : q);
}

// ---------------------------------------------------------------------------
// Writing

// Records are built in memory and handed to the stream a row at a time;
// the bytes are those of the framework's component writer.
class TRecordWriter {
 public:
  explicit TRecordWriter(TStream* S) : FStream(S) { FBuf.reserve(1 << 16); }
  ~TRecordWriter() = default;
  void Flush() {
    if (FBuf.isEmpty()) return;
    FStream->WriteBuffer(FBuf.constData(), FBuf.size());
    FBuf.resize(0);
  }
  void Begin(const char* ClassName) {
    FBuf.append("TPF0", 4);
    ShortStr(ClassName);
    FBuf.append('\0');
  }
  void End() {
    FBuf.append('\0');  // properties
    FBuf.append('\0');  // children
    if (FBuf.size() > (16 << 20)) Flush();
  }
  void Int(const char* Name, qint64 V) {
    ShortStr(Name);
    IntValue(V);
  }
  void Bool(const char* Name, bool V) {
    ShortStr(Name);
    FBuf.append(char(V ? vaTrue : vaFalse));
  }
  void Str(const char* Name, const QString& V) {
    if (V.isEmpty()) return;  // empty strings are left out
    ShortStr(Name);
    StringValue(V);
  }
  void Ident(const char* Name, const QByteArray& V) {
    ShortStr(Name);
    FBuf.append(char(vaIdent));
    FBuf.append(char(V.size()));
    FBuf.append(V);
  }
  template <class E>
  void Enum(const char* Name, E V) {
    // The names of an enumeration, looked up once.
    static const std::vector<QByteArray> names = [] {
      std::vector<QByteArray> out;
      for (int i = 0;; ++i) {
        const QString n = GetEnumName(TypeInfoOf<E>(), i);
        if (n.isEmpty()) break;
        out.push_back(n.toLatin1());
      }
      return out;
    }();
    const size_t i = static_cast<size_t>(V);
    if (i < names.size()) Ident(Name, names[i]);
    else Int(Name, static_cast<int>(V));
  }
  void Color(const char* Name, TColor V) {
    auto it = FColorIdents.constFind(V);
    if (it == FColorIdents.constEnd()) {
      QString ident;
      it = FColorIdents.insert(V, ColorToIdent(V, ident) ? ident.toLatin1() : QByteArray());
    }
    if (!it->isEmpty()) Ident(Name, *it);
    else Int(Name, V);
  }
  void Float(const char* Name, double V) {
    if (V == 0) return;  // zero floats are left out
    ShortStr(Name);
    TMemoryStream ms;
    TWriter(&ms).WriteFloat(V);
    FBuf.append(static_cast<const char*>(ms.Memory()), static_cast<qsizetype>(ms.Size()));
  }
  void FontStyles(const char* Name, TFontStyles V) {
    static const char* const names[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    ShortStr(Name);
    FBuf.append(char(vaSet));
    for (TFontStyle f : {fsBold, fsItalic, fsUnderline, fsStrikeOut})
      if (V.Contains(f)) ShortStr(names[f]);
    FBuf.append('\0');
  }
  void Binary(const char* Name, const QByteArray& Data) {
    ShortStr(Name);
    FBuf.append(char(vaBinary));
    Le32(static_cast<qint32>(Data.size()));
    FBuf.append(Data);
  }
  void List(const char* Name, const QStringList& Items) {
    ShortStr(Name);
    FBuf.append(char(vaList));
    for (const QString& s : Items) StringValue(s);
    FBuf.append(char(vaNull));
  }

 private:
  void ShortStr(const char* S) {
    const size_t n = std::strlen(S);
    FBuf.append(char(n));
    FBuf.append(S, static_cast<qsizetype>(n));
  }
  void Le32(qint32 V) {
    for (int i = 0; i < 4; ++i) FBuf.append(char((quint32(V) >> (8 * i)) & 0xFF));
  }
  void IntValue(qint64 V) {
    auto le = [this](qint64 x, int n) {
      for (int i = 0; i < n; ++i) FBuf.append(char((quint64(x) >> (8 * i)) & 0xFF));
    };
    if (V >= INT8_MIN && V <= INT8_MAX) {
      FBuf.append(char(vaInt8));
      le(V, 1);
    } else if (V >= INT16_MIN && V <= INT16_MAX) {
      FBuf.append(char(vaInt16));
      le(V, 2);
    } else if (V >= INT32_MIN && V <= INT32_MAX) {
      FBuf.append(char(vaInt32));
      le(V, 4);
    } else {
      FBuf.append(char(vaInt64));
      le(V, 8);
    }
  }
  // ASCII as a short or long string; other text as UTF-8 or UTF-16,
  // whichever is shorter.
  void StringValue(const QString& V) {
    bool ascii = true;
    for (QChar c : V)
      if (c.unicode() >= 0x80) {
        ascii = false;
        break;
      }
    if (ascii) {
      if (V.size() <= 255) {
        FBuf.append(char(vaString));
        FBuf.append(char(V.size()));
      } else {
        FBuf.append(char(vaLString));
        Le32(static_cast<qint32>(V.size()));
      }
      FBuf.append(V.toLatin1());
      return;
    }
    const QByteArray utf8 = V.toUtf8();
    if (utf8.size() < V.size() * 2) {
      FBuf.append(char(vaUTF8String));
      Le32(static_cast<qint32>(utf8.size()));
      FBuf.append(utf8);
    } else {
      FBuf.append(char(vaWString));
      Le32(static_cast<qint32>(V.size()));
      for (QChar c : V) {
        FBuf.append(char(c.unicode() & 0xFF));
        FBuf.append(char(c.unicode() >> 8));
      }
    }
  }

  TStream* FStream;
  QByteArray FBuf;
  QHash<TColor, QByteArray> FColorIdents;
};

QByteArray GraphicData(TGraphic* G) {
  TMemoryStream ms;
  if (G != nullptr && !G->Empty()) G->WriteData(&ms);
  return QByteArray(static_cast<const char*>(ms.Memory()), static_cast<qsizetype>(ms.Size()));
}

// ---------------------------------------------------------------------------
// Reading

// A name read from the stream against a literal (its length known at
// compile time: the reader compares many names per cell).
template <size_t N>
bool Is(QByteArrayView Name, const char (&Literal)[N]) {
  return Name.size() == qsizetype(N - 1) && std::memcmp(Name.data(), Literal, N - 1) == 0;
}

// Identifiers of enumerations and colours, matched without regard to case
// as the framework matches them, against name tables made once (the reader
// meets several per cell).
int IdentIndex(const std::vector<QByteArray>& Names, QByteArrayView Ident) {
  for (size_t i = 0; i < Names.size(); ++i)
    if (Names[i].size() == Ident.size() && qstrnicmp(Names[i].constData(), Ident.data(), Ident.size()) == 0)
      return int(i);
  return -1;
}

template <class E>
const std::vector<QByteArray>& EnumIdents() {
  static const std::vector<QByteArray> names = [] {
    std::vector<QByteArray> out;
    for (int i = 0;; ++i) {
      const QString n = GetEnumName(TypeInfoOf<E>(), i);
      if (n.isEmpty()) break;
      out.push_back(n.toLatin1());
    }
    return out;
  }();
  return names;
}

struct TColorIdents {
  std::vector<QByteArray> Names;
  std::vector<TColor> Values;
};
const TColorIdents& ColorIdents() {
  static const TColorIdents table = [] {
    TColorIdents t;
    GetColorValues([&t](const QString& Name) {
      TColor c = 0;
      if (!IdentToColor(Name, c)) return;
      t.Names.push_back(Name.toLatin1());
      t.Values.push_back(c);
    });
    return t;
  }();
  return table;
}

// Reads records from the bytes of a stream, every length checked against
// what is left. Works on the memory of a memory stream directly, or on the
// rest of any other stream read at once; the stream is left after the last
// byte used (also when reading fails).
class TRecordReader {
 public:
  explicit TRecordReader(TStream* S) : FStream(S), FStart(S->Position()) {
    if (auto* mem = dynamic_cast<TCustomMemoryStream*>(S)) {
      FData = static_cast<const char*>(mem->Memory()) + FStart;
      FSize = mem->Size() - FStart;
    } else {
      FOwn.resize(std::max<Int64>(S->Size() - FStart, 0));
      FOwn.resize(S->Read(FOwn.data(), FOwn.size()));
      FData = FOwn.constData();
      FSize = FOwn.size();
    }
  }
  // Over bytes in memory, not copied (they must outlive the reader).
  explicit TRecordReader(QByteArrayView Bytes) : FStream(nullptr), FStart(0), FData(Bytes.data()), FSize(Bytes.size()) {}
  ~TRecordReader() {
    if (FStream != nullptr) FStream->SetPosition(FStart + FPos);
  }
  TRecordReader(const TRecordReader&) = delete;
  TRecordReader& operator=(const TRecordReader&) = delete;

  qint64 Left() const { return FSize - FPos; }

  // The signature and the class name; the empty object name.
  QByteArrayView Begin() {
    if (Bytes(4) != QByteArrayView("TPF0", 4)) throw EReadError(QString::fromUtf8(RtlConsts::SInvalidImage));
    const QByteArrayView cls = ShortStr();
    ShortStr();
    return cls;
  }
  // The next property name; empty at the end of the properties (the
  // children's list end is then read too).
  QByteArrayView NextName() {
    const QByteArrayView name = ShortStr();
    if (name.isEmpty() && Byte1() != vaNull) ValueError();
    return name;
  }
  qint64 Int() {
    switch (Byte1()) {
      case vaInt8:
        return static_cast<int8_t>(Le(1));
      case vaInt16:
        return static_cast<int16_t>(Le(2));
      case vaInt32:
        return static_cast<int32_t>(Le(4));
      case vaInt64:
        return static_cast<qint64>(Le(8));
      default:
        ValueError();
    }
  }
  int Int32() {
    const qint64 v = Int();
    if (v < INT32_MIN || v > INT32_MAX) ValueError();
    return static_cast<int>(v);
  }
  bool Bool() {
    const Byte t = Byte1();
    if (t == vaTrue) return true;
    if (t == vaFalse) return false;
    ValueError();
  }
  QString Str() {
    switch (Byte1()) {
      case vaString:
        return QString::fromUtf8(ShortStr());
      case vaLString:
      case vaUTF8String:
        return QString::fromUtf8(Bytes(Length(1)));
      case vaWString: {
        const QByteArrayView b = Bytes(Length(2) * 2);
        QString out(b.size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < out.size(); ++i)
          out[i] = QChar(char16_t(Byte(b[2 * i]) | (Byte(b[2 * i + 1]) << 8)));
        return out;
      }
      default:
        ValueError();
    }
  }
  double Float() {
    const Byte t = Byte1();
    switch (t) {
      case vaExtended:
      case vaDouble:
      case vaSingle: {
        const int n = t == vaExtended ? 10 : t == vaDouble ? 8 : 4;
        QByteArray one(1, char(t));
        one.append(Bytes(n));
        TBytesStream bs(one);
        return TReader(&bs).ReadFloat();
      }
      default:
        --FPos;
        return static_cast<double>(Int());
    }
  }
  // A string read past: its kind and length checked, its text not made.
  void SkipStr() {
    switch (Byte1()) {
      case vaString:
        ShortStr();
        return;
      case vaLString:
      case vaUTF8String:
        Bytes(Length(1));
        return;
      case vaWString:
        Bytes(Length(2) * 2);
        return;
      default:
        ValueError();
    }
  }
  template <class E>
  E Enum() {
    if (Byte1() != vaIdent) ValueError();
    const int v = IdentIndex(EnumIdents<E>(), ShortStr());
    if (v < 0) ValueError();
    return static_cast<E>(v);
  }
  TColor Color() {
    if (Peek() == vaIdent) {
      ++FPos;
      const int i = IdentIndex(ColorIdents().Names, ShortStr());
      if (i < 0) ValueError();
      return ColorIdents().Values[size_t(i)];
    }
    return Int32();
  }
  TFontStyles FontStyles() {
    if (Byte1() != vaSet) ValueError();
    TFontStyles s;
    for (;;) {
      const QByteArrayView ident = ShortStr();
      if (ident.isEmpty()) break;
      const int v = GetEnumValue(TypeInfoOf<TFontStyle>(), QString::fromLatin1(ident));
      if (v < 0) ValueError();
      s << static_cast<TFontStyle>(v);
    }
    return s;
  }
  QByteArray Binary() {
    if (Byte1() != vaBinary) ValueError();
    return Bytes(Length(1)).toByteArray();
  }
  QStringList List() {
    if (Byte1() != vaList) ValueError();
    QStringList items;
    while (Peek() != vaNull) {
      if (items.size() >= kMaxListItems) ValueError();
      items << Str();
    }
    ++FPos;
    return items;
  }
  // Object references are never written; a nil is accepted, anything else
  // is not ours to restore.
  void Nil() {
    if (Byte1() != vaNil) ValueError();
  }

 private:
  Byte Peek() const {
    if (FPos >= FSize) ReadError();
    return static_cast<Byte>(FData[FPos]);
  }
  Byte Byte1() {
    const Byte b = Peek();
    ++FPos;
    return b;
  }
  QByteArrayView Bytes(qint64 N) {
    if (N < 0 || N > FSize - FPos) ReadError();
    const QByteArrayView v(FData + FPos, N);
    FPos += N;
    return v;
  }
  QByteArrayView ShortStr() { return Bytes(Byte1()); }
  quint64 Le(int N) {
    const QByteArrayView b = Bytes(N);
    quint64 v = 0;
    for (int i = N - 1; i >= 0; --i) v = (v << 8) | static_cast<Byte>(b[i]);
    return v;
  }
  qint64 Length(int UnitSize) {
    const qint32 n = static_cast<qint32>(Le(4));
    if (n < 0 || qint64(n) * UnitSize > FSize - FPos) ReadError();
    return n;
  }

  TStream* FStream;
  Int64 FStart;
  QByteArray FOwn;
  const char* FData = nullptr;
  qint64 FSize = 0;
  qint64 FPos = 0;
};

void Expect(QByteArrayView Actual, const char* Class) {
  if (Actual != QByteArrayView(Class)) throw EReadError(QString::fromUtf8(RtlConsts::SInvalidImage));
}

QList<int> ParseIntList(const QString& Text, int Expected) {
  QList<int> out;
  if (Text.isEmpty()) return out;
  const QStringList parts = Text.split(u',');
  if (parts.size() > std::max(Expected, 0) + 1) ValueError();
  for (const QString& p : parts) out << StrToInt(p);
  return out;
}

struct TCellRecord {
  qint64 Col = 0, Row = 0;
  QString Cell;
  bool HasProp = false;
};

struct TPropRecord {
  bool IsBaseCell = true;
  int SpanX = -1, SpanY = -1;
  TAlignment Alignment = taLeftJustify;
  TColor BorderColor = 0, BrushColor = clNone, BrushColorTo = clNone, FontColor = clNone;
  int BorderWidth = 0, FontSize = 0, NodeLevel = 0;
  TBrushStyle BrushStyle = bsSolid;
  QString FontName;
  TFontStyles FontStyle;
  TEditorType Editor = edNormal;
  TCellGradientDirection Gradient = GradientVertical;
  bool ReadOnly = false, WordWrap = false;
  TVAlignment VAlignment = vtaTop;
  bool HasGraphic = false;
};


// The header record.
struct THeaderRecord {
  int Cols = 0, Rows = 0;
  QString Widths, Heights;
  bool Full = false;
};

THeaderRecord ReadHeader(TRecordReader& rd) {
  THeaderRecord h;
  Expect(rd.Begin(), "TGridPropIO");
  for (QByteArrayView name = rd.NextName(); !name.isEmpty(); name = rd.NextName()) {
    if (Is(name, "ColCount")) h.Cols = rd.Int32();
    else if (Is(name, "RowCount")) h.Rows = rd.Int32();
    else if (Is(name, "ColWidths")) h.Widths = rd.Str();
    else if (Is(name, "RowHeights")) h.Heights = rd.Str();
    else if (Is(name, "FullGrid")) h.Full = rd.Bool();
    else if (Is(name, "ID")) rd.Int();
    else if (Is(name, "Tag")) rd.Int();
    else UnknownProperty(QString::fromLatin1(name));
  }
  return h;
}

// Where the cells of a stream go. A load stores them in its grid; a check
// has no store and reads every record all the same.
class TCellStore {
 public:
  virtual ~TCellStore() = default;
  // The grid cell for the cell at (DCol, DRow) from the stream's first
  // cell (from the grid's origin for a whole grid); false drops the cell
  // (it is read, not stored).
  virtual bool Place(qint64 DCol, qint64 DRow, int& c, int& r) = 0;
  virtual void Text(int c, int r, const QString& Cell) = 0;
  // The cell's current properties, which the record's values replace.
  virtual void CurrentProps(int c, int r, TPropRecord& p) = 0;
  virtual void Props(int c, int r, const TPropRecord& p) = 0;
  virtual void Graphic(int c, int r, std::unique_ptr<TCellGraphic> g) = 0;
};

// Reads the cell records that follow the header, every value checked as a
// load takes it (graphic data decoded too), and hands the cells to Store;
// without a store nothing is kept. Damaged data raises the stream-read
// error wherever it is met.
void ReadCells(TRecordReader& rd, bool Full, int Dpi, TCellStore* Store) {
  bool first = true;
  qint64 originCol = 0, originRow = 0;
  while (rd.Left() >= 2) {
    TCellRecord cell;
    Expect(rd.Begin(), "TGridCellIO");
    for (QByteArrayView name = rd.NextName(); !name.isEmpty(); name = rd.NextName()) {
      if (Is(name, "Col")) cell.Col = rd.Int();
      else if (Is(name, "Row")) cell.Row = rd.Int();
      else if (Is(name, "Cell")) {
        if (Store) cell.Cell = rd.Str();
        else rd.SkipStr();
      } else if (Is(name, "HasProp")) cell.HasProp = rd.Bool();
      else if (Is(name, "Tag")) rd.Int();
      else UnknownProperty(QString::fromLatin1(name));
    }
    if (first) {
      first = false;
      if (!Full) {
        originCol = cell.Col;
        originRow = cell.Row;
      }
    }
    int c = -1, r = -1;
    const bool inside = Store && Store->Place(cell.Col - originCol, cell.Row - originRow, c, r);
    if (inside) Store->Text(c, r, cell.Cell);
    if (!cell.HasProp) continue;

    // Properties: start from the target's current values.
    TPropRecord p;
    if (inside) Store->CurrentProps(c, r, p);
    int points = 0;
    bool hasFontSize = false;
    Expect(rd.Begin(), "TGridCellPropIO");
    for (QByteArrayView name = rd.NextName(); !name.isEmpty(); name = rd.NextName()) {
      if (!name.startsWith("CellProperties.")) {
        if (Is(name, "HasGraphic")) p.HasGraphic = rd.Bool();
        else if (Is(name, "Tag")) rd.Int();
        else UnknownProperty(QString::fromLatin1(name));
        continue;
      }
      const QByteArrayView n = name.sliced(15);
      if (Is(n, "IsBaseCell")) p.IsBaseCell = rd.Bool();
      else if (Is(n, "CellSpanX")) p.SpanX = rd.Int32();
      else if (Is(n, "CellSpanY")) p.SpanY = rd.Int32();
      else if (Is(n, "Alignment")) p.Alignment = rd.Enum<TAlignment>();
      else if (Is(n, "BorderColor")) p.BorderColor = rd.Color();
      else if (Is(n, "BorderWidth")) p.BorderWidth = rd.Int32();
      else if (Is(n, "BrushColor")) p.BrushColor = rd.Color();
      else if (Is(n, "BrushColorTo")) p.BrushColorTo = rd.Color();
      else if (Is(n, "BrushStyle")) p.BrushStyle = rd.Enum<TBrushStyle>();
      else if (Is(n, "CellObject") || Is(n, "Control")) rd.Nil();
      else if (Is(n, "FontColor")) p.FontColor = rd.Color();
      else if (Is(n, "FontName")) {
        if (inside) p.FontName = rd.Str();
        else rd.SkipStr();
      } else if (Is(n, "FontSize")) {
        points = rd.Int32();
        hasFontSize = true;
      } else if (Is(n, "FontStyle")) p.FontStyle = rd.FontStyles();
      else if (Is(n, "Editor")) p.Editor = rd.Enum<TEditorType>();
      else if (Is(n, "GradientDirection")) p.Gradient = rd.Enum<TCellGradientDirection>();
      else if (Is(n, "ReadOnly")) p.ReadOnly = rd.Bool();
      else if (Is(n, "VAlignment")) p.VAlignment = rd.Enum<TVAlignment>();
      else if (Is(n, "WordWrap")) p.WordWrap = rd.Bool();
      else if (Is(n, "NodeLevel")) p.NodeLevel = rd.Int32();
      else UnknownProperty(QString::fromLatin1(name));
    }
    if (hasFontSize) {
      if (points < -100000 || points > 100000) ValueError();
      p.FontSize = points == 0 ? 0 : -RoundDiv(qint64(points) * Dpi, 72);
    }
    if (inside) Store->Props(c, r, p);
    if (!p.HasGraphic) continue;

    // The graphic record.
    auto g = std::make_unique<TCellGraphic>();
    Expect(rd.Begin(), "TGridGraphicIO");
    for (QByteArrayView name = rd.NextName(); !name.isEmpty(); name = rd.NextName()) {
      if (!name.startsWith("CellGraphic.")) {
        if (Is(name, "Tag")) rd.Int();
        else UnknownProperty(QString::fromLatin1(name));
        continue;
      }
      const QByteArrayView n = name.sliced(12);
      if (Is(n, "CellType")) g->SetCellType(rd.Enum<TCellType>());
      else if (Is(n, "CellVAlign")) g->SetCellVAlign(rd.Enum<TCellVAlign>());
      else if (Is(n, "CellHAlign")) g->SetCellHAlign(rd.Enum<TCellHAlign>());
      else if (Is(n, "CellIndex")) g->SetCellIndex(rd.Int32());
      else if (Is(n, "CellTransparent")) g->SetCellTransparent(rd.Bool());
      else if (Is(n, "CellCreated")) rd.Bool();  // the cell owns what it reads
      else if (Is(n, "CellBoolean")) g->SetCellBoolean(rd.Bool());
      else if (Is(n, "CellCheckBoxState")) g->SetCellCheckBoxState(rd.Enum<TCheckBoxState>());
      else if (Is(n, "CellAngle")) g->SetCellAngle(rd.Int32());
      else if (Is(n, "CellValue")) g->SetCellValue(rd.Float());
      else if (Is(n, "CellErrFrom")) g->SetCellErrFrom(rd.Int32());
      else if (Is(n, "CellErrLen")) g->SetCellErrLen(rd.Int32());
      else if (Is(n, "CellText")) g->SetCellText(rd.Str());
      else UnknownProperty(QString::fromLatin1(name));
    }
    const TCellType kind = g->CellType();
    if (kind == ctComment) {
      g->SetCellType(ctNone);
      g->SetCellComment(g->CellText());
      g->SetCommentColor(g->CellIndex());
      g->SetCellText(QString());
    } else if (kind == ctImageList || kind == ctImages || kind == ctPicture) {
      g->SetCellComment(g->CellText());
      g->SetCommentColor(g->CellAngle());
    }

    // The data record of the kind; the graphic gets an object of its own.
    const char* dataClass = nullptr;
    switch (kind) {
      case ctBitmap:
      case ctBitButton:
      case ctInterface:
        dataClass = "TGridBMPIO";
        break;
      case ctIcon:
        dataClass = "TGridIconIO";
        break;
      case ctRadio:
      case ctImages:
        dataClass = "TGridSLIO";
        break;
      case ctPicture:
        dataClass = "TGridPicIO";
        break;
      case ctFilePicture:
        dataClass = "TGridFilePicIO";
        break;
      default:
        break;
    }
    if (dataClass != nullptr) {
      Expect(rd.Begin(), dataClass);
      QByteArray data;
      QStringList items;
      QString fileName;
      for (QByteArrayView name = rd.NextName(); !name.isEmpty(); name = rd.NextName()) {
        if (Is(name, "Bitmap.Data") || Is(name, "Icon.Data") || Is(name, "Picture.Data")) data = rd.Binary();
        else if (Is(name, "Strings.Strings")) items = rd.List();
        else if (Is(name, "Picture.Filename")) fileName = rd.Str();
        else if (Is(name, "Tag")) rd.Int();
        else UnknownProperty(QString::fromLatin1(name));
      }
      auto loadGraphic = [&data](TGraphic* G) {
        if (data.isEmpty()) return;
        TBytesStream bs(data);
        try {
          G->ReadData(&bs);
        } catch (const Exception&) {
          throw EReadError(QString::fromUtf8(RtlConsts::SInvalidPropertyValue));
        }
      };
      switch (kind) {
        case ctBitmap:
        case ctBitButton: {
          auto bmp = std::make_unique<TBitmap>();
          loadGraphic(bmp.get());
          g->SetCellBitmap(bmp.release());
          g->SetCellCreated(true);
          break;
        }
        case ctIcon: {
          auto icon = std::make_unique<TIcon>();
          loadGraphic(icon.get());
          g->SetCellIcon(icon.release());
          g->SetCellCreated(true);
          break;
        }
        case ctRadio: {
          auto sl = std::make_unique<TStringList>();
          for (const QString& s : items) sl->Add(s);
          g->SetCellBitmap(sl.release());
          g->SetCellCreated(true);
          break;
        }
        case ctImages: {
          auto il = std::make_unique<TIntList>(c, r);
          if (!items.isEmpty()) il->SetStrValue(items.first());
          g->SetCellBitmap(il.release());
          g->SetCellCreated(true);
          break;
        }
        case ctPicture: {
          auto pic = std::make_unique<TPicture>();
          if (!data.isEmpty()) {
            TBytesStream bs(data);
            try {
              pic->ReadData(&bs);
            } catch (const Exception&) {
              throw EReadError(QString::fromUtf8(RtlConsts::SInvalidPropertyValue));
            }
          }
          g->SetCellBitmap(pic.release());
          g->SetCellCreated(true);
          break;
        }
        case ctFilePicture: {
          auto fp = std::make_unique<TFilePicture>();
          fp->SetFilename(fileName);
          g->SetCellBitmap(fp.release());
          g->SetCellCreated(true);
          break;
        }
        default:
          // ctInterface: the object is the writer's; none is restored.
          g->SetCellType(ctNone);
          break;
      }
    }
    // The cell takes the graphic (replacing the one it had).
    if (inside) Store->Graphic(c, r, std::move(g));
  }
}

}  // namespace

// ---------------------------------------------------------------------------

void TKitStringGrid::SaveRectToBinStream(const TRect& Rect, TStream* Stream, bool SaveHidden) {
  const int top = Rect.Top, bottom = Rect.Bottom, left = Rect.Left;
  const int hidden = SaveHidden ? NumHiddenColumns() : 0;
  const int right = Rect.Right + hidden;
  const int cols = right - left + 1;
  const int rows = bottom - top + 1;
  if (cols <= 0 || rows <= 0 || left < 0 || top < 0 || right >= AllColCount() || bottom >= RowCount())
    throw EKitGridError(QStringLiteral("Invalid rectangle for the binary grid stream"));
  const int dpi = BinStreamPixelsPerInch(*this);

  TRecordWriter w(Stream);
  {
    QStringList widths, heights;
    for (int c = left; c <= right; ++c) widths << QString::number(AllColWidths(c));
    for (int r = top; r <= bottom; ++r) heights << QString::number(RowHeights(r));
    const bool full = SaveFixedCells() ? (RowCount() == rows && ColCount() == cols)
                                       : (RowCount() - FixedRows() == rows && ColCount() - FixedCols() == cols);
    w.Begin("TGridPropIO");
    w.Int("ColCount", cols);
    w.Int("RowCount", rows);
    w.Str("ColWidths", widths.join(u','));
    w.Str("RowHeights", heights.join(u','));
    w.Bool("FullGrid", full);
    w.Int("ID", GridStreamID(*this));
    w.End();
  }

  const bool notify = top != bottom;
  TProgress progress(OnFileProgress ? [this](short p) { OnFileProgress(this, p); } : std::function<void(short)>());
  if (notify) ExportNotification(esExportStart, top);
  for (int r = top; r <= bottom; ++r) {
    if (notify) ExportNotification(esExportNextRow, r);
    for (int i = left; i <= right; ++i) {
      const int dataCol = SaveHidden ? i : DisplToRealCol(i);
      TCellProperties* rec = FindCellProperties(dataCol, r);
      // A check box of the cell travels in its graphic record below; its
      // state is not also written as the cell's text, or every round trip
      // would add the check texts to the cell.
      TCellGraphic* checkBox = rec ? dynamic_cast<TCellGraphic*>(rec->GraphicObject()) : nullptr;
      const bool stateInRecord = checkBox != nullptr && (checkBox->CellType() == ctCheckBox ||
                                                         checkBox->CellType() == ctTriStateCheckBox);
      const QString cellText = stateInRecord && GetGridCell(dataCol, r).isEmpty() ? QString() : SaveCell(dataCol, r);
      w.Begin("TGridCellIO");
      w.Int("Col", i);
      w.Int("Row", r);
      w.Str("Cell", NumberTextToDot(cellText));
      w.Bool("HasProp", rec != nullptr);
      w.End();
      if (rec == nullptr) continue;

      // Every graphic travels, also one around an object the grid made
      // itself: the reader always gives the cell an object of its own.
      TCellGraphic* graphic = dynamic_cast<TCellGraphic*>(rec->GraphicObject());
      const bool hasGraphic = graphic != nullptr && graphic->CellType() != ctEmpty;

      w.Begin("TGridCellPropIO");
      w.Bool("CellProperties.IsBaseCell", rec->IsBaseCell());
      w.Int("CellProperties.CellSpanX", rec->CellSpanX());
      w.Int("CellProperties.CellSpanY", rec->RawCellSpanY());
      w.Enum("CellProperties.Alignment", rec->Alignment());
      w.Color("CellProperties.BorderColor", rec->BorderColor());
      w.Int("CellProperties.BorderWidth", rec->BorderWidth());
      w.Color("CellProperties.BrushColor", rec->BrushColor());
      w.Color("CellProperties.BrushColorTo", rec->BrushColorTo());
      w.Enum("CellProperties.BrushStyle", rec->BrushStyle());
      w.Color("CellProperties.FontColor", rec->FontColor());
      w.Str("CellProperties.FontName", rec->FontName());
      w.Int("CellProperties.FontSize", rec->FontSize() == 0 ? 0 : -RoundDiv(qint64(rec->FontSize()) * 72, dpi));
      w.FontStyles("CellProperties.FontStyle", rec->FontStyle());
      w.Enum("CellProperties.Editor", rec->Editor());
      w.Enum("CellProperties.GradientDirection", rec->GradientDirection());
      w.Bool("CellProperties.ReadOnly", rec->ReadOnly());
      w.Enum("CellProperties.VAlignment", rec->VAlignment());
      w.Bool("CellProperties.WordWrap", rec->WordWrap());
      w.Int("CellProperties.NodeLevel", rec->NodeLevel());
      w.Bool("HasGraphic", hasGraphic);
      w.End();
      if (!hasGraphic) continue;

      // Which kind travels, and where the comment goes: image lists, image
      // sets and pictures keep their kind with the comment in CellText and
      // its colour in CellAngle; any other kind with a comment travels as a
      // comment alone, its colour in CellIndex.
      TCellType kind = graphic->CellType();
      QString text = graphic->CellText();
      int index = graphic->CellIndex();
      int angle = graphic->CellAngle();
      if (kind == ctImageList || kind == ctImages || kind == ctPicture) {
        text = graphic->CellComment();
        angle = graphic->CommentColor();
      } else if (!graphic->CellComment().isEmpty()) {
        kind = ctComment;
        text = graphic->CellComment();
        index = graphic->CommentColor();
      }

      w.Begin("TGridGraphicIO");
      w.Enum("CellGraphic.CellType", kind);
      w.Enum("CellGraphic.CellVAlign", graphic->CellVAlign());
      w.Enum("CellGraphic.CellHAlign", graphic->CellHAlign());
      w.Int("CellGraphic.CellIndex", index);
      w.Bool("CellGraphic.CellTransparent", graphic->CellTransparent());
      w.Bool("CellGraphic.CellCreated", graphic->CellCreated());
      w.Bool("CellGraphic.CellBoolean", graphic->CellBoolean());
      w.Enum("CellGraphic.CellCheckBoxState", graphic->CellCheckBoxState());
      w.Int("CellGraphic.CellAngle", angle);
      w.Float("CellGraphic.CellValue", graphic->CellValue());
      w.Int("CellGraphic.CellErrFrom", graphic->CellErrFrom());
      w.Int("CellGraphic.CellErrLen", graphic->CellErrLen());
      w.Str("CellGraphic.CellText", text);
      w.End();

      switch (kind) {
        case ctBitmap:
        case ctBitButton:
        case ctInterface: {
          w.Begin("TGridBMPIO");
          auto* bmp = kind == ctInterface ? nullptr : dynamic_cast<TBitmap*>(graphic->CellBitmap());
          const QByteArray data = GraphicData(bmp);
          if (!data.isEmpty()) w.Binary("Bitmap.Data", data);
          w.End();
          break;
        }
        case ctIcon: {
          w.Begin("TGridIconIO");
          const QByteArray data = GraphicData(dynamic_cast<TIcon*>(graphic->CellIcon()));
          if (!data.isEmpty()) w.Binary("Icon.Data", data);
          w.End();
          break;
        }
        case ctRadio:
        case ctImages: {
          QStringList items;
          if (kind == ctRadio) {
            if (auto* sl = dynamic_cast<TStrings*>(graphic->CellBitmap()))
              for (int k = 0; k < sl->Count(); ++k) items << sl->Strings(k);
          } else if (TIntList* il = graphic->CellImageList()) {
            items << il->StrValue();
          }
          w.Begin("TGridSLIO");
          w.List("Strings.Strings", items);
          w.End();
          break;
        }
        case ctPicture: {
          w.Begin("TGridPicIO");
          auto* pic = dynamic_cast<TPicture*>(graphic->CellBitmap());
          if (pic != nullptr && pic->Graphic() != nullptr && !pic->Graphic()->Empty()) {
            TMemoryStream ms;
            pic->WriteData(&ms);
            w.Binary("Picture.Data", QByteArray(static_cast<const char*>(ms.Memory()), ms.Size()));
          }
          w.End();
          break;
        }
        case ctFilePicture: {
          w.Begin("TGridFilePicIO");
          if (auto* fp = dynamic_cast<TFilePicture*>(graphic->CellBitmap())) w.Str("Picture.Filename", fp->Filename());
          w.End();
          break;
        }
        default:
          break;
      }
    }
    if (notify) progress.Step(r - top, bottom - top);
  }
  w.Flush();
  if (notify) ExportNotification(esExportDone, -1);
}

void TKitStringGrid::SaveToBinStream(TStream* Stream) {
  const TSaveArea a = SaveArea(*this);
  SaveRectToBinStream(TRect(a.StartCol, a.StartRow, a.EndCol, a.EndRow), Stream, SaveHiddenCells());
}

void TKitStringGrid::SaveToBinFile(const QString& FileName) {
  TMemoryStream ms;
  SaveToBinStream(&ms);
  WriteFileBytes(FileName, QByteArray(static_cast<const char*>(ms.Memory()), static_cast<qsizetype>(ms.Size())));
}

void TKitStringGrid::LoadAtPointFromBinStream(const TPoint& Point, TStream* Stream) {
  TRecordReader rd(Stream);
  const int dpi = BinStreamPixelsPerInch(*this);

  const THeaderRecord h = ReadHeader(rd);
  CheckLoadSize(h.Cols, h.Rows, QStringLiteral("binary grid stream"));
  if (h.Full) {
    const QList<int> widths = ParseIntList(h.Widths, h.Cols);
    const QList<int> heights = ParseIntList(h.Heights, h.Rows);
    ClearRect(0, 0, ColCount() - 1, RowCount() - 1);
    FreeAllCellProperties();
    SetRowCount(h.Rows);
    SetColCount(h.Cols);
    for (int c = 0; c < std::min<int>(widths.size(), ColCount()); ++c) SetColWidths(c, widths[c]);
    for (int r = 0; r < std::min<int>(heights.size(), RowCount()); ++r) SetRowHeights(r, heights[r]);
  }

  class TGridStore : public TCellStore {
   public:
    TGridStore(TKitStringGrid& G, const TPoint& At, const THeaderRecord& H)
        : G(G), At(At), H(H), Progress(G.OnFileProgress ? [&G](short p) { G.OnFileProgress(&G, p); }
                                                        : std::function<void(short)>()) {}
    bool Place(qint64 DCol, qint64 DRow, int& c, int& r) override {
      // Cells that would land outside the grid are read and dropped. So do
      // cells outside the rectangle the header declares: a damaged stream
      // never reaches cells beyond what it says it loads.
      if (DCol < 0 || DRow < 0 || DCol >= H.Cols || DRow >= H.Rows) return false;
      const qint64 tc = At.X + DCol, tr = At.Y + DRow;
      if (tc < 0 || tr < 0 || tc >= G.ColCount() || tr >= G.RowCount()) return false;
      c = int(tc);
      r = int(tr);
      return true;
    }
    void Text(int c, int r, const QString& Cell) override {
      G.LoadCell(c, r, NumberTextFromDot(Cell));
      if (r != LastRow) {
        LastRow = r;
        Progress.Step(r, G.RowCount());
      }
    }
    void CurrentProps(int c, int r, TPropRecord& p) override {
      TCellProperties* cur = G.FindCellProperties(c, r);
      if (cur == nullptr) return;
      p.IsBaseCell = cur->IsBaseCell();
      p.SpanX = cur->CellSpanX();
      p.SpanY = cur->RawCellSpanY();
      p.Alignment = cur->Alignment();
      p.BorderColor = cur->BorderColor();
      p.BorderWidth = cur->BorderWidth();
      p.BrushColor = cur->BrushColor();
      p.BrushColorTo = cur->BrushColorTo();
      p.BrushStyle = cur->BrushStyle();
      p.FontColor = cur->FontColor();
      p.FontName = cur->FontName();
      p.FontSize = cur->FontSize();
      p.FontStyle = cur->FontStyle();
      p.Editor = cur->Editor();
      p.Gradient = cur->GradientDirection();
      p.ReadOnly = cur->ReadOnly();
      p.VAlignment = cur->VAlignment();
      p.WordWrap = cur->WordWrap();
      p.NodeLevel = cur->NodeLevel();
    }
    void Props(int c, int r, const TPropRecord& p) override {
      TCellProperties* rec = G.GetCellProperties(c, r);
      // Merge information that would reach beyond the grid is not taken: a
      // base cell's spans run right and down, a covered cell's offsets point
      // left and up to its base.
      const bool spanFits =
          p.IsBaseCell ? (p.SpanX >= -1 && p.SpanY >= -1 && c + qint64(p.SpanX) < G.ColCount() &&
                          r + qint64(p.SpanY) < G.RowCount())
                       : (p.SpanX >= 0 && p.SpanY >= 0 && c - qint64(p.SpanX) >= 0 && r - qint64(p.SpanY) >= 0);
      if (spanFits) {
        rec->SetIsBaseCell(p.IsBaseCell);
        rec->SetCellSpanX(p.SpanX);
        rec->SetCellSpanY(p.SpanY);
      }
      rec->SetOwnerCol(c);
      rec->SetOwnerRow(r);
      rec->SetAlignment(p.Alignment);
      rec->SetBorderColor(p.BorderColor);
      rec->SetBorderWidth(p.BorderWidth);
      rec->SetFieldBrushColor(p.BrushColor);
      rec->SetFieldBrushColorTo(p.BrushColorTo);
      rec->SetBrushStyle(p.BrushStyle);
      rec->SetFontColor(p.FontColor);
      rec->SetFontName(p.FontName);
      rec->SetFontSize(p.FontSize);
      rec->SetFontStyle(p.FontStyle);
      rec->SetEditor(p.Editor);
      rec->SetGradientDirection(p.Gradient);
      rec->SetReadOnly(p.ReadOnly);
      rec->SetFieldVAlignment(p.VAlignment);
      rec->SetFieldWordWrap(p.WordWrap);
      rec->SetNodeLevel(p.NodeLevel);
    }
    void Graphic(int c, int r, std::unique_ptr<TCellGraphic> g) override {
      G.SetGraphicObjectEx(c, r, g.release(), true);
    }

   private:
    TKitStringGrid& G;
    TPoint At;
    const THeaderRecord& H;
    TProgress Progress;
    int LastRow = -1;
  } store(*this, Point, h);
  ReadCells(rd, h.Full, dpi, &store);
}

namespace {

void CheckRecords(TRecordReader& rd) {
  const THeaderRecord h = ReadHeader(rd);
  CheckLoadSize(h.Cols, h.Rows, QStringLiteral("binary grid stream"));
  if (h.Full) {
    ParseIntList(h.Widths, h.Cols);
    ParseIntList(h.Heights, h.Rows);
  }
  // Font sizes are checked before they are converted: any resolution does.
  ReadCells(rd, h.Full, 96, nullptr);
}

}  // namespace

void kitgridio::CheckBinStreamBytes(const QByteArray& Bytes) {
  TRecordReader rd{QByteArrayView(Bytes)};
  CheckRecords(rd);
}

void TKitStringGrid::CheckBinStream(TStream* Stream) {
  TRecordReader rd(Stream);
  CheckRecords(rd);
}


void TKitStringGrid::LoadFromBinStream(TStream* Stream) {
  LoadAtPointFromBinStream(TPoint(0, 0), Stream);
  int nodes = 0;
  const int nodeCol = CellNode()->NodeColumn();
  if (nodeCol >= 0 && nodeCol < ColCount())
    for (int r = FixedRows(); r < RowCount(); ++r)
      if (TCellGraphic* g = GetCellGraphic(nodeCol, r); g != nullptr && g->CellType() == ctNode) ++nodes;
  if (nodes > 0) RepaintCol(0);
}

void TKitStringGrid::LoadFromBinFile(const QString& FileName) {
  TBytesStream bs(ReadFileBytes(FileName));
  LoadFromBinStream(&bs);
  RecalcAllFooters();
}

namespace kitgridio {

bool ReadBinStreamHeader(const QByteArray& Bytes, TBinStreamHeader& Header) {
  Header = TBinStreamHeader();
  try {
    TRecordReader rd{QByteArrayView(Bytes)};
    if (rd.Begin() != QByteArrayView("TGridPropIO")) return false;
    for (QByteArrayView name = rd.NextName(); !name.isEmpty(); name = rd.NextName()) {
      if (Is(name, "ColCount")) Header.ColCount = static_cast<int>(rd.Int32());
      else if (Is(name, "RowCount")) Header.RowCount = static_cast<int>(rd.Int32());
      else if (Is(name, "ColWidths")) rd.Str();
      else if (Is(name, "RowHeights")) Header.RowHeights = rd.Str();
      else if (Is(name, "FullGrid")) Header.FullGrid = rd.Bool();
      else if (Is(name, "ID")) Header.ID = static_cast<qint32>(rd.Int());
      else if (Is(name, "Tag")) rd.Int();
      else return false;
    }
  } catch (const Exception&) {
    return false;
  }
  return Header.ColCount > 0 && Header.RowCount > 0;
}

}  // namespace kitgridio
