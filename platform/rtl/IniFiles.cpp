#include "platform/rtl/IniFiles.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>

#include "platform/rtl/Encoding.h"
#include "platform/rtl/StringList.h"

namespace inifiles_detail {

// ---------------------------------------------------------------------------
// Text helpers

// Trim as the profile functions do: every character up to the space goes.
static QString TrimBlanks(const QString& s) {
  qsizetype first = 0;
  qsizetype last = s.size();
  while (first < last && s.at(first).unicode() <= ' ') ++first;
  while (last > first && s.at(last - 1).unicode() <= ' ') --last;
  return s.mid(first, last - first);
}

static bool SameName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

static bool HasLineBreak(const QString& s) {
  return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

static QString DecodeAnsi(QByteArrayView bytes) {
  return TEncoding::ANSI()->GetString(TBytes(bytes.data(), bytes.size()));
}

static QByteArray EncodeAnsi(const QString& s) { return TEncoding::ANSI()->GetBytes(s); }

// ---------------------------------------------------------------------------
// How a file was (or will be) written, and what it looked like on disk.

struct FileSignature {
  bool Exists = false;
  qint64 Size = 0;
  qint64 Inode = 0;
  qint64 MTimeSec = 0;
  qint64 MTimeNSec = 0;
  qint64 CTimeSec = 0;  // changes with the permissions too
  qint64 CTimeNSec = 0;
  bool operator==(const FileSignature&) const = default;
};

static FileSignature SignatureOf(const QString& fileName) {
  FileSignature sig;
  struct stat st {};
  if (::stat(QFile::encodeName(fileName).constData(), &st) == 0) {
    sig.Exists = true;
    sig.Size = st.st_size;
    sig.Inode = static_cast<qint64>(st.st_ino);
    sig.MTimeSec = st.st_mtim.tv_sec;
    sig.MTimeNSec = st.st_mtim.tv_nsec;
    sig.CTimeSec = st.st_ctim.tv_sec;
    sig.CTimeNSec = st.st_ctim.tv_nsec;
  }
  return sig;
}

struct FileFormat {
  enum Kind { Utf8, Utf16LE, Utf16BE, Ansi };
  Kind Encoding = Utf8;
  bool Bom = false;
  QString LineBreak = QStringLiteral("\r\n");
  FileSignature Signature;
  bool Unreadable = false;  // the file exists but could not be read
};

static QString DecodeFile(const QByteArray& bytes, FileFormat& format) {
  format.Bom = false;
  QByteArrayView body(bytes);
  if (bytes.startsWith("\xEF\xBB\xBF")) {
    format.Encoding = FileFormat::Utf8;
    format.Bom = true;
    body = body.sliced(3);
  } else if (bytes.startsWith("\xFF\xFE")) {
    format.Encoding = FileFormat::Utf16LE;
    format.Bom = true;
    body = body.sliced(2);
  } else if (bytes.startsWith("\xFE\xFF")) {
    format.Encoding = FileFormat::Utf16BE;
    format.Bom = true;
    body = body.sliced(2);
  } else {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError()) {
      format.Encoding = FileFormat::Utf8;
      return text;
    }
    format.Encoding = FileFormat::Ansi;
    return DecodeAnsi(body);
  }
  switch (format.Encoding) {
    case FileFormat::Utf16LE:
      return QStringDecoder(QStringDecoder::Utf16LE, QStringConverter::Flag::Stateless)
          .decode(body);
    case FileFormat::Utf16BE:
      return QStringDecoder(QStringDecoder::Utf16BE, QStringConverter::Flag::Stateless)
          .decode(body);
    default:
      return QStringDecoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless)
          .decode(body);
  }
}

// True when the bytes hold non-ASCII bytes that form valid UTF-8: a file of
// them without a byte-order mark is read as UTF-8, not as ANSI.
static bool ReadsAsOtherUtf8(const QByteArray& bytes) {
  bool nonAscii = false;
  for (char b : bytes)
    if (static_cast<unsigned char>(b) >= 0x80) nonAscii = true;
  if (!nonAscii) return false;
  QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
  const QString decoded = utf8.decode(bytes);  // decode() is lazy: the text must be made
  return !utf8.hasError() && !decoded.isNull();
}

// The file's bytes in its encoding. A file read as ANSI stays ANSI while
// that keeps the text: when the text holds characters the code page lacks,
// or its ANSI bytes would be read back as UTF-8 (once the line holding the
// bytes that made the file ANSI is gone), the file becomes UTF-8 with a
// byte-order mark, so that the next read gives the text that was written.
static QByteArray EncodeFile(const QString& text, FileFormat& format) {
  switch (format.Encoding) {
    case FileFormat::Ansi: {
      const QByteArray bytes = EncodeAnsi(text);
      if (DecodeAnsi(bytes) == text && !ReadsAsOtherUtf8(bytes)) return bytes;
      format.Encoding = FileFormat::Utf8;
      format.Bom = true;
      break;
    }
    case FileFormat::Utf16LE: {
      QByteArray out = format.Bom ? QByteArray("\xFF\xFE", 2) : QByteArray();
      return out + QStringEncoder(QStringEncoder::Utf16LE, QStringConverter::Flag::Stateless)
                       .encode(text);
    }
    case FileFormat::Utf16BE: {
      QByteArray out = format.Bom ? QByteArray("\xFE\xFF", 2) : QByteArray();
      return out + QStringEncoder(QStringEncoder::Utf16BE, QStringConverter::Flag::Stateless)
                       .encode(text);
    }
    case FileFormat::Utf8:
      break;
  }
  QByteArray out = format.Bom ? QByteArray("\xEF\xBB\xBF", 3) : QByteArray();
  return out + text.toUtf8();
}

// Splits text into lines at CR LF, LF or CR; notes which break the file uses.
static QStringList SplitLines(const QString& text, QString* lineBreak) {
  QStringList lines;
  qsizetype start = 0;
  bool breakSeen = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text.at(i);
    if (ch != QLatin1Char('\r') && ch != QLatin1Char('\n')) continue;
    lines.append(text.mid(start, i - start));
    const bool crlf = ch == QLatin1Char('\r') && i + 1 < text.size() &&
                      text.at(i + 1) == QLatin1Char('\n');
    if (!breakSeen && lineBreak) {
      *lineBreak = crlf ? QStringLiteral("\r\n") : QString(ch);
      breakSeen = true;
    }
    if (crlf) ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.append(text.mid(start));
  return lines;
}

// ---------------------------------------------------------------------------
// The parsed file. Every line is kept; an entry line keeps its original text
// until it is changed.

class Document {
 public:
  struct Line {
    bool IsEntry = false;
    QString Key;    // trimmed
    QString Value;  // trimmed
    QString Text;   // as written in the file
  };
  struct Section {
    QString Name;
    QString Header;
    std::vector<Line> Lines;
  };

  void Clear() {
    FPreamble.clear();
    FSections.clear();
  }

  void Parse(const QStringList& lines) {
    Clear();
    std::vector<Line>* target = &FPreamble;
    for (const QString& text : lines) {
      const QString t = TrimBlanks(text);
      if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')) && t.size() >= 2) {
        FSections.push_back(Section{TrimBlanks(t.mid(1, t.size() - 2)), text, {}});
        target = &FSections.back().Lines;
        continue;
      }
      Line line;
      line.Text = text;
      const qsizetype eq = t.indexOf(QLatin1Char('='));
      if (!t.isEmpty() && !t.startsWith(QLatin1Char(';')) && eq > 0) {
        line.Key = TrimBlanks(t.left(eq));
        line.Value = TrimBlanks(t.mid(eq + 1));
        line.IsEntry = !line.Key.isEmpty();
      }
      target->push_back(std::move(line));
    }
  }

  QStringList Lines() const {
    QStringList out;
    for (const Line& line : FPreamble) out.append(line.Text);
    for (const Section& section : FSections) {
      out.append(section.Header);
      for (const Line& line : section.Lines) out.append(line.Text);
    }
    return out;
  }

  const Section* FindSection(const QString& name) const {
    const QString n = TrimBlanks(name);
    for (const Section& s : FSections)
      if (SameName(s.Name, n)) return &s;
    return nullptr;
  }
  Section* FindSection(const QString& name) {
    return const_cast<Section*>(std::as_const(*this).FindSection(name));
  }

  static const Line* FindEntry(const Section& section, const QString& key) {
    const QString k = TrimBlanks(key);
    for (const Line& line : section.Lines)
      if (line.IsEntry && SameName(line.Key, k)) return &line;
    return nullptr;
  }

  std::optional<QString> Read(const QString& section, const QString& key) const {
    const Section* s = FindSection(section);
    if (!s) return std::nullopt;
    const Line* line = FindEntry(*s, key);
    if (!line) return std::nullopt;
    return line->Value;
  }

  void Write(const QString& sectionName, const QString& key, const QString& value) {
    const QString name = TrimBlanks(sectionName);
    const QString k = TrimBlanks(key);
    const QString v = TrimBlanks(value);
    Section* section = FindSection(name);
    if (!section) {
      // Keep a blank line between the last section and the new one.
      const std::vector<Line>& last = FSections.empty() ? FPreamble : FSections.back().Lines;
      const bool needBlank = !last.empty() ? !TrimBlanks(last.back().Text).isEmpty()
                                           : !FSections.empty();
      if (needBlank) {
        std::vector<Line>& lines = FSections.empty() ? FPreamble : FSections.back().Lines;
        lines.push_back(Line{});
      }
      FSections.push_back(Section{name, QLatin1Char('[') + name + QLatin1Char(']'), {}});
      section = &FSections.back();
    }
    for (Line& line : section->Lines) {
      if (line.IsEntry && SameName(line.Key, k)) {
        if (line.Value != v) {
          line.Value = v;
          line.Text = line.Key + QLatin1Char('=') + v;
        }
        return;
      }
    }
    // After the last non-blank line of the section.
    auto pos = section->Lines.end();
    while (pos != section->Lines.begin() && TrimBlanks(std::prev(pos)->Text).isEmpty()) --pos;
    section->Lines.insert(pos, Line{true, k, v, k + QLatin1Char('=') + v});
  }

  bool DeleteKey(const QString& sectionName, const QString& key) {
    Section* section = FindSection(sectionName);
    if (!section) return false;
    const QString k = TrimBlanks(key);
    auto& lines = section->Lines;
    for (auto it = lines.begin(); it != lines.end(); ++it) {
      if (it->IsEntry && SameName(it->Key, k)) {
        lines.erase(it);
        return true;
      }
    }
    return false;
  }

  bool EraseSection(const QString& sectionName) {
    const QString name = TrimBlanks(sectionName);
    const auto oldSize = FSections.size();
    std::erase_if(FSections, [&](const Section& s) { return SameName(s.Name, name); });
    return FSections.size() != oldSize;
  }

  QStringList SectionNames() const {
    QStringList names;
    for (const Section& s : FSections)
      if (!names.contains(s.Name, Qt::CaseInsensitive)) names.append(s.Name);
    return names;
  }

  QStringList KeyNames(const QString& sectionName) const {
    QStringList names;
    if (const Section* s = FindSection(sectionName)) {
      for (const Line& line : s->Lines)
        if (line.IsEntry && !names.contains(line.Key, Qt::CaseInsensitive))
          names.append(line.Key);
    }
    return names;
  }

  QStringList SectionValues(const QString& sectionName) const {
    QStringList values;
    if (const Section* s = FindSection(sectionName)) {
      for (const Line& line : s->Lines)
        if (line.IsEntry) values.append(line.Key + QLatin1Char('=') + line.Value);
    }
    return values;
  }

 private:
  std::vector<Line> FPreamble;
  std::vector<Section> FSections;
};

// ---------------------------------------------------------------------------
// File access

enum class ReadResult { Ok, Missing, Failed };

static ReadResult ReadFile(const QString& fileName, Document& document, FileFormat& format,
                           QString* error) {
  format.Signature = SignatureOf(fileName);
  QFile file(fileName);
  if (!file.exists()) {
    document.Clear();
    return ReadResult::Missing;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = file.errorString();
    return ReadResult::Failed;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    if (error) *error = file.errorString();
    return ReadResult::Failed;
  }
  const QString text = DecodeFile(bytes, format);
  QString lineBreak = QStringLiteral("\r\n");
  document.Parse(SplitLines(text, &lineBreak));
  format.LineBreak = lineBreak;
  return ReadResult::Ok;
}

static bool WriteFile(const QString& fileName, const Document& document, FileFormat& format,
                      QString* error) {
  const QStringList lines = document.Lines();
  QString text;
  for (const QString& line : lines) text += line + format.LineBreak;
  const QByteArray bytes = EncodeFile(text, format);
  const QFileInfo info(fileName);
  QDir().mkpath(info.absolutePath());
  QSaveFile file(fileName);
  // Flush before commit: commit does not report a write that fails while the
  // buffer is flushed on closing, and would rename a truncated file.
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
      !file.commit()) {
    if (error) *error = file.errorString();
    file.cancelWriting();
    return false;
  }
  format.Signature = SignatureOf(fileName);
  return true;
}

static void CheckName(const QString& section, const QString& ident) {
  const QString s = TrimBlanks(section);
  const QString k = TrimBlanks(ident);
  const bool bad = HasLineBreak(section) || s.contains(QLatin1Char(']')) ||
                   HasLineBreak(ident) || k.isEmpty() || k.contains(QLatin1Char('=')) ||
                   k.startsWith(QLatin1Char('[')) || k.startsWith(QLatin1Char(';'));
  if (bad)
    throw EIniFileException(Format(RtlConsts::SIniInvalidName, {section + QLatin1Char('/') + ident}));
}

static void CheckValue(const QString& value) {
  if (HasLineBreak(value))
    throw EIniFileException(Format(RtlConsts::SIniInvalidValue, {value}));
}

void AssignLines(TStrings* strings, const QStringList& lines) {
  if (!strings) return;
  struct Update {
    TStrings* S;
    explicit Update(TStrings* s) : S(s) { S->BeginUpdate(); }
    ~Update() { S->EndUpdate(); }
  } update(strings);
  strings->Clear();
  for (const QString& line : lines) strings->Add(line);
}

}  // namespace inifiles_detail

using namespace inifiles_detail;

// ---------------------------------------------------------------------------
// TCustomIniFile

TCustomIniFile::TCustomIniFile(const QString& fileName) : FFileName(fileName) {}
TCustomIniFile::~TCustomIniFile() = default;

int TCustomIniFile::ReadInteger(const QString& section, const QString& ident, int defaultValue) {
  int value = 0;
  return TryStrToInt(ReadString(section, ident, QString()), value) ? value : defaultValue;
}

void TCustomIniFile::WriteInteger(const QString& section, const QString& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const QString& section, const QString& ident, bool defaultValue) {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const QString& section, const QString& ident, bool value) {
  WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

double TCustomIniFile::ReadFloat(const QString& section, const QString& ident,
                                 double defaultValue) {
  Extended value = 0;
  return TryStrToFloat(ReadString(section, ident, QString()), value) ? value : defaultValue;
}

void TCustomIniFile::WriteFloat(const QString& section, const QString& ident, double value) {
  WriteString(section, ident, FloatToStr(value));
}

TDateTime TCustomIniFile::ReadDate(const QString& section, const QString& ident,
                                   TDateTime defaultValue) {
  TDateTime value = 0;
  return TryStrToDate(ReadString(section, ident, QString()), value) ? value : defaultValue;
}

TDateTime TCustomIniFile::ReadDateTime(const QString& section, const QString& ident,
                                       TDateTime defaultValue) {
  TDateTime value = 0;
  return TryStrToDateTime(ReadString(section, ident, QString()), value) ? value : defaultValue;
}

TDateTime TCustomIniFile::ReadTime(const QString& section, const QString& ident,
                                   TDateTime defaultValue) {
  TDateTime value = 0;
  return TryStrToTime(ReadString(section, ident, QString()), value) ? value : defaultValue;
}

void TCustomIniFile::WriteDate(const QString& section, const QString& ident, TDateTime value) {
  WriteString(section, ident, DateToStr(value));
}

void TCustomIniFile::WriteDateTime(const QString& section, const QString& ident,
                                   TDateTime value) {
  WriteString(section, ident, DateTimeToStr(value));
}

void TCustomIniFile::WriteTime(const QString& section, const QString& ident, TDateTime value) {
  WriteString(section, ident, TimeToStr(value));
}

void TCustomIniFile::ReadSectionValues(const QString& section, QStringList& strings) {
  QStringList keys;
  ReadSection(section, keys);
  strings.clear();
  for (const QString& key : keys)
    strings.append(key + QLatin1Char('=') + ReadString(section, key, QString()));
}

void TCustomIniFile::ReadSection(const QString& section, TStrings* strings) {
  QStringList lines;
  ReadSection(section, lines);
  AssignLines(strings, lines);
}

void TCustomIniFile::ReadSections(TStrings* strings) {
  QStringList lines;
  ReadSections(lines);
  AssignLines(strings, lines);
}

void TCustomIniFile::ReadSectionValues(const QString& section, TStrings* strings) {
  QStringList lines;
  ReadSectionValues(section, lines);
  AssignLines(strings, lines);
}

bool TCustomIniFile::SectionExists(const QString& section) {
  QStringList keys;
  ReadSection(section, keys);
  return !keys.isEmpty();
}

bool TCustomIniFile::ValueExists(const QString& section, const QString& ident) {
  QStringList keys;
  ReadSection(section, keys);
  return keys.contains(TrimBlanks(ident), Qt::CaseInsensitive);
}

// ---------------------------------------------------------------------------
// TMemIniFile

TMemIniFile::TMemIniFile(const QString& fileName)
    : TCustomIniFile(fileName),
      FDocument(std::make_unique<Document>()),
      FFormat(std::make_unique<FileFormat>()) {
  LoadFromFile();
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::LoadFromFile() {
  *FFormat = FileFormat{};
  QString error;
  if (FileName().isEmpty()) {
    FDocument->Clear();
    return;
  }
  if (ReadFile(FileName(), *FDocument, *FFormat, &error) == ReadResult::Failed)
    throw EFOpenError(Format(RtlConsts::SFOpenErrorEx, {FileName(), error}));
}

QString TMemIniFile::ReadString(const QString& section, const QString& ident,
                                const QString& defaultValue) {
  return FDocument->Read(section, ident).value_or(defaultValue);
}

void TMemIniFile::WriteString(const QString& section, const QString& ident,
                              const QString& value) {
  CheckName(section, ident);
  CheckValue(value);
  FDocument->Write(section, ident, value);
}

void TMemIniFile::ReadSection(const QString& section, QStringList& strings) {
  strings = FDocument->KeyNames(section);
}

void TMemIniFile::ReadSections(QStringList& strings) { strings = FDocument->SectionNames(); }

void TMemIniFile::ReadSectionValues(const QString& section, QStringList& strings) {
  strings = FDocument->SectionValues(section);
}

void TMemIniFile::EraseSection(const QString& section) { FDocument->EraseSection(section); }

void TMemIniFile::DeleteKey(const QString& section, const QString& ident) {
  FDocument->DeleteKey(section, ident);
}

void TMemIniFile::UpdateFile() {
  QString error;
  if (!WriteFile(FileName(), *FDocument, *FFormat, &error))
    throw EFCreateError(Format(RtlConsts::SFCreateErrorEx, {FileName(), error}));
}

void TMemIniFile::Clear() { FDocument->Clear(); }

void TMemIniFile::GetStrings(QStringList& list) const { list = FDocument->Lines(); }

void TMemIniFile::GetStrings(TStrings* list) const { AssignLines(list, FDocument->Lines()); }

void TMemIniFile::SetStrings(TStrings* list) {
  QStringList lines;
  if (list)
    for (int i = 0; i < list->Count(); ++i) lines.append(list->Strings(i));
  SetStrings(lines);
}

void TMemIniFile::SetStrings(const QStringList& list) {
  // An item holding line breaks becomes several lines, as in a file.
  QStringList lines;
  for (const QString& item : list) {
    const QStringList parts = SplitLines(item, nullptr);
    if (parts.isEmpty())
      lines.append(QString());
    else
      lines.append(parts);
  }
  FDocument->Parse(lines);
}

void TMemIniFile::Rename(const QString& fileName, bool reload) {
  SetFileNameField(fileName);
  if (reload) LoadFromFile();
}

// ---------------------------------------------------------------------------
// TIniFile

TIniFile::TIniFile(const QString& fileName)
    : TCustomIniFile(fileName),
      FDocument(std::make_unique<Document>()),
      FFormat(std::make_unique<FileFormat>()) {
  FFormat->Signature.Exists = false;
  FFormat->Signature.Size = -1;  // forces the first read
}

TIniFile::~TIniFile() = default;

// Reads the file again when it changed on disk since it was last read or written.
void TIniFile::Refresh() {
  if (SignatureOf(FileName()) == FFormat->Signature) return;
  FileFormat format;
  const ReadResult result = ReadFile(FileName(), *FDocument, format, nullptr);
  if (result != ReadResult::Ok) {
    FDocument->Clear();
    const FileSignature sig = format.Signature;
    format = FileFormat{};
    format.Signature = sig;
    format.Unreadable = result == ReadResult::Failed;
  }
  *FFormat = format;
}

// A file that could not be read is never changed: what is known of it is nothing.
void TIniFile::CheckReadable() {
  if (FFormat->Unreadable)
    throw EIniFileException(Format(RtlConsts::SIniFileWriteError, {FileName()}));
}

void TIniFile::Store() {
  if (!WriteFile(FileName(), *FDocument, *FFormat, nullptr)) {
    // Forget the change: the next read takes the file as it is.
    FFormat->Signature.Size = -1;
    Refresh();
    throw EIniFileException(Format(RtlConsts::SIniFileWriteError, {FileName()}));
  }
}

QString TIniFile::ReadString(const QString& section, const QString& ident,
                             const QString& defaultValue) {
  Refresh();
  const std::optional<QString> value = FDocument->Read(section, ident);
  if (!value) return defaultValue;
  QString v = *value;
  if (v.size() >= 2 && v.front() == v.back() &&
      (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')))
    v = v.mid(1, v.size() - 2);
  return v;
}

void TIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
  CheckName(section, ident);
  CheckValue(value);
  Refresh();
  CheckReadable();
  FDocument->Write(section, ident, value);
  Store();
}

void TIniFile::ReadSection(const QString& section, QStringList& strings) {
  Refresh();
  strings = FDocument->KeyNames(section);
}

void TIniFile::ReadSections(QStringList& strings) {
  Refresh();
  strings = FDocument->SectionNames();
}

void TIniFile::EraseSection(const QString& section) {
  Refresh();
  CheckReadable();
  if (FDocument->EraseSection(section)) Store();
}

void TIniFile::DeleteKey(const QString& section, const QString& ident) {
  Refresh();
  CheckReadable();
  if (FDocument->DeleteKey(section, ident)) Store();
}

void TIniFile::UpdateFile() {}
