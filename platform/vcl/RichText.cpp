#include "platform/vcl/RichText.h"

#include <iconv.h>

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QMap>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Code pages

// The iconv name of a Windows code page, or nullptr when iconv is not asked
// (UTF-8 is decoded by Qt).
const char* IconvName(int codePage) {
  switch (codePage) {
    case 437: return "CP437";
    case 850: return "CP850";
    case 866: return "CP866";
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1252: return "CP1252";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 1361: return "CP1361";
    case 10000: return "MACINTOSH";
    case 20866: return "KOI8-R";
    case 28591: return "ISO-8859-1";
    case 28592: return "ISO-8859-2";
    case 28595: return "ISO-8859-5";
    case 28605: return "ISO-8859-15";
    default: return nullptr;
  }
}

// The code page of an \fcharset number; 0 for the document's own.
int CharsetCodePage(int charset) {
  switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return 0;  // ANSI, default, symbol and unknown charsets
  }
}

// Converters from code pages to UTF-16, opened on first use.
class TDecoders {
 public:
  TDecoders() = default;
  TDecoders(const TDecoders&) = delete;
  TDecoders& operator=(const TDecoders&) = delete;
  ~TDecoders() {
    for (iconv_t cd : Open) iconv_close(cd);
  }

  QString Decode(const QByteArray& bytes, int codePage) {
    if (bytes.isEmpty()) return {};
    if (codePage == 65001) return QString::fromUtf8(bytes);
    iconv_t cd = Converter(codePage);
    if (cd == iconv_t(-1)) cd = Converter(1252);
    if (cd == iconv_t(-1)) return QString::fromLatin1(bytes);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QString out;
    out.reserve(bytes.size());
    std::vector<char16_t> buffer(size_t(bytes.size()) * 2 + 8);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    while (inLeft > 0) {
      char* outPtr = reinterpret_cast<char*>(buffer.data());
      size_t outLeft = buffer.size() * sizeof(char16_t);
      const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
      const size_t produced = (buffer.size() * sizeof(char16_t) - outLeft) / sizeof(char16_t);
      out.append(reinterpret_cast<const QChar*>(buffer.data()), qsizetype(produced));
      if (r == size_t(-1)) {
        if (errno == E2BIG) continue;
        // A byte the code page does not define, or a lead byte without its
        // trail byte: a replacement character, and on with the next byte.
        out.append(QChar::ReplacementCharacter);
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
      }
    }
    return out;
  }

 private:
  iconv_t Converter(int codePage) {
    auto it = ByPage.find(codePage);
    if (it != ByPage.end()) return it.value();
    const char* name = IconvName(codePage);
    iconv_t cd = name ? iconv_open("UTF-16LE", name) : iconv_t(-1);
    ByPage.insert(codePage, cd);
    if (cd != iconv_t(-1)) Open.push_back(cd);
    return cd;
  }

  QHash<int, iconv_t> ByPage;
  std::vector<iconv_t> Open;
};

// ---------------------------------------------------------------------------
// Reader

enum class TDest { Text, FontTable, ColorTable, Skip };

struct TRtfState {
  TDest Dest = TDest::Text;
  bool Bold = false, Italic = false, Underline = false, Strike = false;
  int HalfPoints = 0;  // 0: not given
  int Fg = 0, Bg = 0;  // colour table indexes; 0: automatic
  int Font = -1;       // font table number; -1: the document's default
  int CodePage = 0;    // 0: the document's
  int UnicodeSkip = 1;
  Qt::Alignment Align = Qt::AlignLeft;
};

struct TFontEntry {
  QString Name;
  int CodePage = 0;
};

constexpr int kMaxWordLetters = 32;
constexpr int kMaxHalfPoints = 3276;
constexpr long long kParamLimit = 1LL << 31;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Destinations whose content is not document text.
bool IsSkippedDestination(const QByteArray& word) {
  static const char* const kSkipped[] = {
      "info", "stylesheet", "pict", "object", "header", "headerl", "headerr", "headerf",
      "footer", "footerl", "footerr", "footerf", "footnote", "annotation", "atnid", "atnauthor",
      "listtable", "listoverridetable", "revtbl", "rsidtbl", "xmlnstbl", "filetbl", "fldinst",
      "themedata", "colorschememapping", "latentstyles", "datastore", "generator", "nonshppict",
      "shp", "shpinst", "bkmkstart", "bkmkend", "pgdsctbl", "userprops", "docvar", "upr",
      "mmathPr", "background", "fchars", "lchars", "pnseclvl", "template", "xe", "tc"};
  for (const char* s : kSkipped)
    if (word == s) return true;
  return false;
}

class TRtfReader {
 public:
  TRtfReader(const QByteArray& rtf, QTextDocument& doc) : In(rtf), Doc(doc), Cursor(&doc) {}

  bool Read() {
    Doc.clear();
    Cursor = QTextCursor(&Doc);
    if (!LooksLikeRtf(In)) return false;
    // One edit block: the document lays itself out once, not per run, and
    // keeps no undo history of the reading.
    const bool undo = Doc.isUndoRedoEnabled();
    Doc.setUndoRedoEnabled(false);
    Cursor.beginEditBlock();
    const bool ok = ReadGroups();
    Cursor.endEditBlock();
    Doc.setUndoRedoEnabled(undo);
    return ok;
  }

 private:
  bool ReadGroups() {
    Stack.reserve(64);
    Stack.push_back(TRtfState{});
    Depth = 0;
    bool closed = false;
    const qsizetype n = In.size();
    P = 0;
    while (P < n) {
      const char c = In[P];
      if (c == '{') {
        ++P;
        FlushBytes();
        EndSkip();
        OpenGroup();
      } else if (c == '}') {
        ++P;
        FlushBytes();
        EndSkip();
        if (!CloseGroup()) {
          closed = true;
          break;
        }
      } else if (c == '\\') {
        ++P;
        ReadControl();
      } else if (c == '\r' || c == '\n') {
        ++P;
      } else {
        ++P;
        if (Skip > 0) {
          --Skip;
          continue;
        }
        TextByte(c);
      }
    }
    FlushBytes();
    CommitRun();
    ApplyBlockFormat();
    return closed;
  }

  TRtfState& Top() { return Stack.back(); }

  void OpenGroup() {
    ++Depth;
    if (Depth >= kMaxRtfDepth) {
      ++Overflow;
      return;
    }
    Stack.push_back(Stack.back());
  }

  // Answers false when the outermost group closed.
  bool CloseGroup() {
    if (Overflow > 0) {
      --Overflow;
      --Depth;
      return true;
    }
    if (Depth == 0) return false;
    --Depth;
    if (Top().Dest == TDest::FontTable) CommitFontName();
    Stack.pop_back();
    if (Depth == 0) return false;
    return true;
  }

  void EndSkip() { Skip = 0; }

  void ReadControl() {
    const qsizetype n = In.size();
    if (P >= n) return;
    const char c = In[P];
    if (!IsLetter(c)) {
      ++P;
      ReadSymbol(c);
      return;
    }
    QByteArray word;
    qsizetype letters = 0;
    while (P < n && IsLetter(In[P])) {
      if (letters < kMaxWordLetters) word += In[P];
      ++letters;
      ++P;
    }
    bool hasParam = false, negative = false;
    long long param = 0;
    if (P < n && In[P] == '-' && P + 1 < n && IsDigit(In[P + 1])) {
      negative = true;
      ++P;
    }
    while (P < n && IsDigit(In[P])) {
      hasParam = true;
      if (param < kParamLimit) param = param * 10 + (In[P] - '0');
      ++P;
    }
    if (P < n && In[P] == ' ') ++P;
    param = std::min(param, kParamLimit);
    if (negative) param = -param;
    if (letters > kMaxWordLetters) word.clear();  // not a control word of RTF
    const bool ignorable = NextIgnorable;
    NextIgnorable = false;

    if (word == "bin") {
      // Binary data follows: skipped, never past the input.
      FlushBytes();
      const long long len = std::clamp<long long>(hasParam ? param : 0, 0, In.size() - P);
      P += qsizetype(len);
      return;
    }
    if (Skip > 0) {
      --Skip;
      return;
    }
    if (word == "u") {
      FlushBytes();
      long long v = hasParam ? param : 0;
      if (v < 0) v += 65536;
      const QChar ch = (v >= 0 && v <= 0xFFFF) ? QChar(char16_t(v)) : QChar(QChar::ReplacementCharacter);
      if (Top().Dest == TDest::Text) AddText(QString(ch));
      else if (Top().Dest == TDest::FontTable) {
        FontName += Decoders.Decode(FontBytes, FontPage ? FontPage : AnsiPage);
        FontBytes.clear();
        FontName += ch;
      }
      Skip = Top().UnicodeSkip;
      return;
    }
    FlushBytes();
    Word(word, hasParam, int(std::clamp<long long>(param, -kParamLimit + 1, kParamLimit - 1)), ignorable);
  }

  void ReadSymbol(char c) {
    switch (c) {
      case '*':
        NextIgnorable = true;
        return;
      case '\'': {
        const qsizetype n = In.size();
        int hi = P < n ? HexValue(In[P]) : -1;
        int lo = P + 1 < n ? HexValue(In[P + 1]) : -1;
        if (hi < 0 || lo < 0) {  // not a hex escape: what follows is text
          return;
        }
        P += 2;
        if (Skip > 0) {
          --Skip;
          return;
        }
        TextByte(char(hi * 16 + lo));
        return;
      }
      default: break;
    }
    if (Skip > 0) {
      --Skip;
      return;
    }
    switch (c) {
      case '\\':
      case '{':
      case '}': TextByte(c); return;
      case '~': FlushBytes(); AddText(QString(QChar(0x00A0))); return;
      case '_': FlushBytes(); AddText(QString(QChar(0x2011))); return;
      case '\r':
      case '\n': FlushBytes(); Word("par", false, 0, false); return;
      case '\t': FlushBytes(); AddText(QStringLiteral("\t")); return;
      default: return;  // \- optional hyphen, \: index entries, \| formulas
    }
  }

  // A byte of text in the current destination, decoded when the run of
  // bytes ends (so double-byte code pages see their byte pairs together).
  void TextByte(char c) {
    const TDest d = Top().Dest;
    if (d == TDest::Text) {
      if (c == '\t') {
        FlushBytes();
        AddText(QStringLiteral("\t"));
        return;
      }
      if (Bytes.isEmpty()) BytesPage = EffectivePage();
      Bytes += c;
    } else if (d == TDest::FontTable) {
      if (c == ';') {
        CommitFontName();
        return;
      }
      FontBytes += c;
    } else if (d == TDest::ColorTable) {
      if (c == ';') {
        Colors.push_back(ColorGiven ? QColor(Red, Green, Blue) : QColor());
        Red = Green = Blue = 0;
        ColorGiven = false;
      }
    }
  }

  int EffectivePage() const {
    const TRtfState& s = Stack.back();
    if (s.CodePage) return s.CodePage;
    auto it = Fonts.find(s.Font >= 0 ? s.Font : DefaultFont);
    if (it != Fonts.end() && it->CodePage) return it->CodePage;
    return AnsiPage;
  }

  void FlushBytes() {
    if (Bytes.isEmpty()) return;
    QString text = Decoders.Decode(Bytes, BytesPage);
    Bytes.clear();
    AddText(text);
  }

  void CommitFontName() {
    if (FontBytes.isEmpty() && FontName.isEmpty()) return;
    const int page = FontPage ? FontPage : AnsiPage;
    FontName += Decoders.Decode(FontBytes, page);
    FontBytes.clear();
    if (FontNumber >= 0) {
      TFontEntry& e = Fonts[FontNumber];
      // Control characters are no part of a name; names are short.
      QString name;
      for (QChar ch : FontName)
        if (ch.unicode() >= 0x20) name += ch;
      e.Name = name.trimmed().left(256);
      e.CodePage = FontPage;
    }
    FontName.clear();
  }

  void Word(const QByteArray& w, bool hasParam, int param, bool ignorable) {
    TRtfState& s = Top();
    const bool on = !hasParam || param != 0;
    if (s.Dest == TDest::Skip) return;

    // Destinations.
    if (w == "fonttbl") {
      s.Dest = TDest::FontTable;
      return;
    }
    if (w == "colortbl") {
      s.Dest = TDest::ColorTable;
      Colors.clear();
      Red = Green = Blue = 0;
      ColorGiven = false;
      return;
    }
    if (ignorable || IsSkippedDestination(w)) {
      s.Dest = TDest::Skip;
      return;
    }

    if (s.Dest == TDest::FontTable) {
      if (w == "f") {
        CommitFontName();
        FontNumber = param;
        FontPage = 0;
        Fonts[FontNumber];
      } else if (w == "fcharset") {
        FontPage = CharsetCodePage(param);
      } else if (w == "cpg") {
        FontPage = param;
      }
      return;
    }
    if (s.Dest == TDest::ColorTable) {
      const int v = std::clamp(param, 0, 255);
      if (w == "red") Red = v, ColorGiven = true;
      else if (w == "green") Green = v, ColorGiven = true;
      else if (w == "blue") Blue = v, ColorGiven = true;
      return;
    }

    // Document settings.
    if (w == "ansicpg") {
      if (hasParam && param > 0) AnsiPage = param;
      return;
    }
    if (w == "deff") {
      DefaultFont = param;
      return;
    }
    if (w == "uc") {
      s.UnicodeSkip = std::clamp(param, 0, 16);
      return;
    }

    // Characters.
    if (w == "par" || w == "sect" || w == "page") {
      CommitRun();
      NewParagraph();
      return;
    }
    if (w == "line") return AddText(QString(QChar::LineSeparator));
    if (w == "tab") return AddText(QStringLiteral("\t"));
    if (w == "emdash") return AddText(QString(QChar(0x2014)));
    if (w == "endash") return AddText(QString(QChar(0x2013)));
    if (w == "bullet") return AddText(QString(QChar(0x2022)));
    if (w == "lquote") return AddText(QString(QChar(0x2018)));
    if (w == "rquote") return AddText(QString(QChar(0x2019)));
    if (w == "ldblquote") return AddText(QString(QChar(0x201C)));
    if (w == "rdblquote") return AddText(QString(QChar(0x201D)));
    if (w == "emspace") return AddText(QString(QChar(0x2003)));
    if (w == "enspace") return AddText(QString(QChar(0x2002)));

    // Character formatting.
    if (w == "plain") {
      s.Bold = s.Italic = s.Underline = s.Strike = false;
      s.HalfPoints = 0;
      s.Fg = s.Bg = 0;
      s.Font = -1;
      s.CodePage = 0;
    } else if (w == "b") {
      s.Bold = on;
    } else if (w == "i") {
      s.Italic = on;
    } else if (w == "ul" || w == "uld" || w == "uldb" || w == "uldash" || w == "uldashd" ||
               w == "uldashdd" || w == "ulth" || w == "ulw" || w == "ulwave" || w == "ulhwave" ||
               w == "ulldash" || w == "ulthd" || w == "ulthdash") {
      s.Underline = on;
    } else if (w == "ulnone") {
      s.Underline = false;
    } else if (w == "strike" || w == "striked") {
      s.Strike = on;
    } else if (w == "fs") {
      s.HalfPoints = std::clamp(param, 0, kMaxHalfPoints);
    } else if (w == "cf") {
      s.Fg = std::max(param, 0);
    } else if (w == "cb" || w == "highlight") {
      s.Bg = std::max(param, 0);
    } else if (w == "f") {
      s.Font = param;
    } else if (w == "cpg") {
      s.CodePage = std::max(param, 0);
    } else if (w == "pard" || w == "ql" || w == "qc" || w == "qr" || w == "qj") {
      s.Align = w == "qc" ? Qt::AlignHCenter : w == "qr" ? Qt::AlignRight : w == "qj" ? Qt::AlignJustify
                                                                                     : Qt::AlignLeft;
      // Paragraph properties hold for the paragraph they end; after a \par
      // they belong to the next one.
      if (!PendingParagraph) BlockAlign = s.Align;
    }
  }

  QTextCharFormat CurrentFormat() const {
    const TRtfState& s = Stack.back();
    QTextCharFormat f;
    if (s.Bold) f.setFontWeight(QFont::Bold);
    if (s.Italic) f.setFontItalic(true);
    if (s.Underline) f.setFontUnderline(true);
    if (s.Strike) f.setFontStrikeOut(true);
    if (s.HalfPoints > 0) f.setFontPointSize(s.HalfPoints / 2.0);
    if (s.Fg > 0 && s.Fg < qsizetype(Colors.size()) && Colors[size_t(s.Fg)].isValid())
      f.setForeground(Colors[size_t(s.Fg)]);
    if (s.Bg > 0 && s.Bg < qsizetype(Colors.size()) && Colors[size_t(s.Bg)].isValid())
      f.setBackground(Colors[size_t(s.Bg)]);
    auto it = Fonts.find(s.Font >= 0 ? s.Font : DefaultFont);
    if (it != Fonts.end() && !it->Name.isEmpty()) f.setFontFamilies(QStringList{it->Name});
    return f;
  }

  void AddText(const QString& text) {
    if (Top().Dest != TDest::Text || text.isEmpty()) return;
    if (PendingParagraph) {
      CommitRun();
      ApplyBlockFormat();
      Cursor.insertBlock();
      PendingParagraph = false;
    }
    BlockAlign = Top().Align;
    const QTextCharFormat f = CurrentFormat();
    if (!Run.isEmpty() && f != RunFormat) CommitRun();
    if (Run.isEmpty()) RunFormat = f;
    for (QChar ch : text) {
      // Control characters other than tabs and line separators are not text.
      if (ch.unicode() < 0x20 && ch != u'\t') continue;
      Run += ch;
    }
  }

  void CommitRun() {
    if (Run.isEmpty()) return;
    // Lone surrogates (a \u pair cut in half) become replacement characters.
    for (qsizetype i = 0; i < Run.size(); ++i) {
      const QChar ch = Run[i];
      if (ch.isHighSurrogate() && i + 1 < Run.size() && Run[i + 1].isLowSurrogate()) {
        ++i;
      } else if (ch.isSurrogate()) {
        Run[i] = QChar::ReplacementCharacter;
      }
    }
    Cursor.insertText(Run, RunFormat);
    Run.clear();
  }

  void NewParagraph() {
    if (PendingParagraph) {  // the paragraph before this one was empty
      ApplyBlockFormat();
      Cursor.insertBlock();
    }
    BlockAlign = Top().Align;
    // The paragraph's end is written when more text follows: a final \par
    // ends the last paragraph and opens none.
    PendingParagraph = true;
  }

  void ApplyBlockFormat() {
    QTextBlockFormat bf = Cursor.blockFormat();
    bf.setAlignment(BlockAlign);
    Cursor.setBlockFormat(bf);
  }

  const QByteArray& In;
  QTextDocument& Doc;
  QTextCursor Cursor;
  qsizetype P = 0;
  std::vector<TRtfState> Stack;
  int Depth = 0, Overflow = 0;
  bool NextIgnorable = false;
  int Skip = 0;
  int AnsiPage = 1252;
  int DefaultFont = -1;
  QByteArray Bytes;
  int BytesPage = 1252;
  QString Run;
  QTextCharFormat RunFormat;
  bool PendingParagraph = false;
  Qt::Alignment BlockAlign = Qt::AlignLeft;
  QMap<int, TFontEntry> Fonts;
  int FontNumber = -1, FontPage = 0;
  QByteArray FontBytes;
  QString FontName;
  std::vector<QColor> Colors;
  int Red = 0, Green = 0, Blue = 0;
  bool ColorGiven = false;
  TDecoders Decoders;
};

// ---------------------------------------------------------------------------
// Writer

// Windows-1252 byte of a character, or 0 when the code page lacks it.
unsigned char Cp1252Byte(char16_t ch) {
  if (ch < 0x80) return static_cast<unsigned char>(ch);
  if (ch >= 0xA0 && ch <= 0xFF) return static_cast<unsigned char>(ch);
  static const char16_t k80[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
                                   0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
  for (int i = 0; i < 32; ++i)
    if (k80[i] == ch) return static_cast<unsigned char>(0x80 + i);
  return 0;
}

void AppendHex(QByteArray& out, unsigned char b) {
  static const char kHex[] = "0123456789abcdef";
  out += "\\'";
  out += kHex[b >> 4];
  out += kHex[b & 15];
}

void AppendText(QByteArray& out, const QString& text) {
  for (QChar qc : text) {
    const char16_t ch = qc.unicode();
    if (ch == u'\\' || ch == u'{' || ch == u'}') {
      out += '\\';
      out += char(ch);
    } else if (ch == u'\t') {
      out += "\\tab ";
    } else if (ch == QChar::LineSeparator || ch == u'\n' || ch == u'\r') {
      out += "\\line ";
    } else if (ch == QChar::ParagraphSeparator) {
      out += "\\par ";
    } else if (ch == 0x00A0) {
      out += "\\~";
    } else if (ch < 0x20) {
      // other control characters are not text
    } else if (ch < 0x80) {
      out += char(ch);
    } else {
      out += "\\u";
      out += QByteArray::number(ch >= 0x8000 ? int(ch) - 65536 : int(ch));
      const unsigned char fallback = Cp1252Byte(ch);
      if (fallback) AppendHex(out, fallback);
      else out += '?';
    }
  }
}

// The family a run names, as the font table can hold it: without control
// characters and the table's ";" separator.
QString FamilyOf(const QTextCharFormat& f) {
  const QVariant v = f.property(QTextFormat::FontFamilies);
  if (!v.isValid()) return {};
  QString name;
  for (QChar ch : v.toStringList().value(0))
    if (ch.unicode() >= 0x20 && ch != u';') name += ch;
  return name.trimmed();
}

}  // namespace

bool LooksLikeRtf(const QByteArray& data) { return data.startsWith("{\\rtf"); }

QByteArray RtfTextToBytes(const QString& text) {
  QByteArray out;
  out.reserve(text.size());
  for (QChar qc : text) {
    const char16_t ch = qc.unicode();
    const unsigned char b = Cp1252Byte(ch);
    if (b != 0 || ch == 0) {
      out += char(b);
    } else {
      out += "\\u";
      out += QByteArray::number(ch >= 0x8000 ? int(ch) - 65536 : int(ch));
      out += '?';
    }
  }
  return out;
}

bool RtfToDocument(const QByteArray& rtf, QTextDocument& doc) {
  TRtfReader reader(rtf, doc);
  return reader.Read();
}

static QString PlainTextOf(const QTextDocument& doc);

QString RtfToPlainText(const QByteArray& rtf) {
  if (!LooksLikeRtf(rtf)) return {};
  QTextDocument doc;
  RtfToDocument(rtf, doc);
  return PlainTextOf(doc);
}

QByteArray DocumentToRtf(const QTextDocument& doc) {
  // Tables of the fonts and colours the runs use.
  QTextCharFormat base;
  base.setFontFamilies(QStringList{doc.defaultFont().family()});
  QStringList fonts{FamilyOf(base)};
  std::vector<QColor> colors;
  auto colorIndex = [&](const QColor& c) {
    const QRgb rgb = c.rgb();
    for (size_t i = 0; i < colors.size(); ++i)
      if (colors[i].rgb() == rgb) return int(i) + 1;
    colors.push_back(c);
    return int(colors.size());
  };
  auto brushColor = [](const QTextCharFormat& f, QTextFormat::Property p, QColor& c) {
    if (!f.hasProperty(p)) return false;
    const QBrush b = f.brushProperty(p);
    if (b.style() == Qt::NoBrush) return false;
    c = b.color();
    return true;
  };

  QByteArray body;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    body += "\\pard";
    const Qt::Alignment a = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter) body += "\\qc";
    else if (a & Qt::AlignRight) body += "\\qr";
    else if (a & Qt::AlignJustify) body += "\\qj";
    body += ' ';
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment frag = it.fragment();
      if (!frag.isValid()) continue;
      const QTextCharFormat f = frag.charFormat();
      body += '{';
      // A run in the document's own font names none (\deff0 is that font).
      const QString family = FamilyOf(f);
      if (!family.isEmpty() && family != fonts.first()) {
        qsizetype fi = fonts.indexOf(family);
        if (fi < 0) {
          fonts << family;
          fi = fonts.size() - 1;
        }
        body += "\\f" + QByteArray::number(fi);
      }
      if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
        body += "\\fs" + QByteArray::number(std::clamp(qRound(f.fontPointSize() * 2), 1, kMaxHalfPoints));
      if (f.hasProperty(QTextFormat::FontWeight) && f.fontWeight() >= QFont::DemiBold) body += "\\b";
      if (f.fontItalic()) body += "\\i";
      if (f.fontUnderline()) body += "\\ul";
      if (f.fontStrikeOut()) body += "\\strike";
      QColor c;
      if (brushColor(f, QTextFormat::ForegroundBrush, c)) body += "\\cf" + QByteArray::number(colorIndex(c));
      if (brushColor(f, QTextFormat::BackgroundBrush, c))
        body += "\\highlight" + QByteArray::number(colorIndex(c));
      // A space ends the last control word (and is no text); a run without
      // any starts its text at once.
      if (body.back() != '{') body += ' ';
      AppendText(body, frag.text());
      body += '}';
    }
    // Every paragraph ends with \par, the last one too: a reader then keeps
    // a final empty paragraph.
    body += "\\par\n";
  }

  QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
  for (qsizetype i = 0; i < fonts.size(); ++i) {
    out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
    QByteArray name;
    AppendText(name, fonts[i]);
    out += name + ";}";
  }
  out += "}\n{\\colortbl ;";
  for (const QColor& c : colors)
    out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue" +
           QByteArray::number(c.blue()) + ';';
  out += "}\n";
  out += body;
  out += "}\n";
  return out;
}

// ---------------------------------------------------------------------------
// TRichEdit

#include <QAbstractTextDocumentLayout>
#include <QPainter>

#include "platform/win32/Gdi.h"
#include "platform/win32/Printing.h"

static QString PlainTextOf(const QTextDocument& doc) {
  QString out;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    if (b != doc.begin()) out += QStringLiteral("\r\n");
    QString t = b.text();
    t.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    out += t;
  }
  return out;
}

namespace {

QColor ToQColor(TColor c) {
  const TColor rgb = ColorToRGB(c);
  return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

}  // namespace

TRichEdit::TRichEdit() : FDocument(std::make_unique<QTextDocument>()) {
  FDocument->setDocumentMargin(0);
  FDocument->setUndoRedoEnabled(false);
}

TRichEdit::~TRichEdit() = default;

void TRichEdit::Clear() { FDocument->clear(); }

bool TRichEdit::LoadFromRtf(const QByteArray& Data) {
  if (!LooksLikeRtf(Data)) {
    SetText(QString::fromUtf8(Data));
    return false;
  }
  return RtfToDocument(Data, *FDocument);
}

QByteArray TRichEdit::SaveToRtf() const { return DocumentToRtf(*FDocument); }

QString TRichEdit::Text() const { return PlainTextOf(*FDocument); }

void TRichEdit::SetText(const QString& Value) {
  QString t = Value;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  FDocument->setPlainText(t);
}

void TRichEdit::SetDefaultFont(TFont* Font) {
  if (Font != nullptr) FDocument->setDefaultFont(Font->QtFont());
}

void TRichEdit::GetSelAttributes(TFont* Font) const {
  if (Font == nullptr) return;
  QTextCursor c(FDocument.get());
  c.movePosition(QTextCursor::Start);
  c.movePosition(QTextCursor::NextCharacter);
  const QTextCharFormat f = c.charFormat();
  QFont font = f.font().resolve(FDocument->defaultFont());
  if (!font.family().isEmpty()) Font->SetName(font.family());
  if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
    Font->SetSize(qRound(f.fontPointSize()));
  TFontStyles style;
  if (font.bold()) style = style + TFontStyles{fsBold};
  if (font.italic()) style = style + TFontStyles{fsItalic};
  if (font.underline()) style = style + TFontStyles{fsUnderline};
  if (font.strikeOut()) style = style + TFontStyles{fsStrikeOut};
  Font->SetStyle(style);
}

void TRichEdit::SetAllTextColor(TColor Color) {
  QTextCursor c(FDocument.get());
  c.select(QTextCursor::Document);
  QTextCharFormat f;
  f.setForeground(ToQColor(Color));
  c.mergeCharFormat(f);
}

TSize TRichEdit::RequiredSize(int Width) const {
  FDocument->setTextWidth(FWordWrap ? std::max(1, Width) : -1);
  const QSizeF s = FDocument->size();
  const double w = FWordWrap ? std::min<double>(FDocument->idealWidth(), s.width()) : s.width();
  return TSize(int(std::ceil(w)), int(std::ceil(s.height())));
}

namespace {

// Writes the laid-out document as text runs through the DC's text calls, in
// device units from Origin, Scale device pixels per layout pixel: a
// printer's page keeps text as text (searchable, sharp at any resolution),
// which pixels drawn by a painter would not be.
void WriteDocumentRuns(HDC dc, const QTextDocument& Doc, QPoint Origin, double Scale, const QRect& Clip,
                       TColor DefaultColor) {
  const int saved = SaveDC(dc);
  SetMapMode(dc, MM_TEXT);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
  const RECT clip{Clip.left(), Clip.top(), Clip.right() + 1, Clip.bottom() + 1};
  for (QTextBlock block = Doc.begin(); block.isValid(); block = block.next()) {
    const QTextLayout* layout = block.layout();
    if (layout == nullptr) continue;
    const QPointF at = layout->position();
    const QString text = block.text();
    for (int i = 0; i < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      const int lineStart = line.textStart(), lineEnd = lineStart + line.textLength();
      const double baseline = at.y() + line.y() + line.ascent();
      for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (!frag.isValid()) continue;
        const int fragStart = frag.position() - block.position();
        const int from = std::max(lineStart, fragStart);
        const int to = std::min(lineEnd, fragStart + frag.length());
        if (from >= to) continue;
        QString run = text.mid(from, to - from);
        while (!run.isEmpty() && (run.back() == QChar::LineSeparator || run.back() == QChar::ParagraphSeparator ||
                                  run.back() == u'\n' || run.back() == QChar::ObjectReplacementCharacter))
          run.chop(1);
        if (run.trimmed().isEmpty()) continue;
        const QTextCharFormat fmt = frag.charFormat();
        const QFont font = fmt.font().resolve(Doc.defaultFont());
        const double px = font.pointSizeF() > 0 ? font.pointSizeF() * 96.0 / 72.0 : std::max(1, font.pixelSize());
        LOGFONTW lf{};
        lf.lfHeight = -std::max(1, int(std::lround(px * Scale)));
        lf.lfWeight = font.weight();
        lf.lfItalic = font.italic() ? 1 : 0;
        lf.lfUnderline = font.underline() ? 1 : 0;
        lf.lfStrikeOut = font.strikeOut() ? 1 : 0;
        lf.lfCharSet = DEFAULT_CHARSET;
        const QString face = font.family().left(LF_FACESIZE - 1);
        std::copy(face.utf16(), face.utf16() + face.size(), reinterpret_cast<char16_t*>(lf.lfFaceName));
        const HFONT hf = CreateFontIndirectW(&lf);
        const HGDIOBJ old = SelectObject(dc, hf);
        const QBrush fg = fmt.foreground();
        SetTextColor(dc, fg.style() != Qt::NoBrush ? RGB(fg.color().red(), fg.color().green(), fg.color().blue())
                                                   : COLORREF(ColorToRGB(DefaultColor)));
        const int x = Origin.x() + int(std::lround((at.x() + line.cursorToX(from)) * Scale));
        const int y = Origin.y() + int(std::lround(baseline * Scale));
        ExtTextOutW(dc, x, y, ETO_CLIPPED, &clip, reinterpret_cast<LPCWSTR>(run.utf16()), UINT(run.size()), nullptr);
        SelectObject(dc, old);
        DeleteObject(hf);
      }
    }
  }
  RestoreDC(dc, saved);
}

}  // namespace

void TRichEdit::PaintTo(TCanvas* Canvas, const TRect& Rect, int Margin, TColor DefaultColor) const {
  if (Canvas == nullptr) return;
  HDC dc = Canvas->Handle();
  QImage* image = GetDCImage(dc);
  if (image == nullptr) return;
  POINT corners[2] = {{Rect.Left, Rect.Top}, {Rect.Right, Rect.Bottom}};
  LPtoDP(dc, corners, 2);
  QRect target(QPoint(std::min(corners[0].x, corners[1].x), std::min(corners[0].y, corners[1].y)),
               QPoint(std::max(corners[0].x, corners[1].x) - 1, std::max(corners[0].y, corners[1].y) - 1));
  target.adjust(Margin, Margin, -Margin, -Margin);
  if (target.isEmpty()) return;
  QRegion clip(target);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(dc, rgn) == 1) clip = clip.intersected(GetRegionArea(rgn));
  DeleteObject(rgn);
  if (clip.isEmpty()) return;

  // The text is laid out in pixels of 96 dots per inch, as on screen, and
  // drawn at the canvas's resolution (a printer page has more dots).
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  const double scale = dpi > 0 ? dpi / 96.0 : 1.0;
  FDocument->setTextWidth(FWordWrap ? target.width() / scale : -1);
  if (GetDCPrinter(dc) != nullptr) {
    WriteDocumentRuns(dc, *FDocument, target.topLeft(), scale, clip.boundingRect(), DefaultColor);
    return;
  }
  QPainter p(image);
  p.setClipRegion(clip);
  p.translate(target.topLeft());
  p.scale(scale, scale);
  QAbstractTextDocumentLayout::PaintContext ctx;
  ctx.palette.setColor(QPalette::Text, ToQColor(DefaultColor));
  ctx.clip = QRectF(0, 0, target.width() / scale, target.height() / scale);
  FDocument->documentLayout()->draw(&p, ctx);
}
