#include "platform/rtl/Registry.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPointer>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QThread>
#include <QtEndian>
#include <array>
#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "platform/rtl/LogCategories.h"

namespace {

// ---------------------------------------------------------------------------
// Names and paths

struct RootInfo {
  HKEY Handle;
  const char* Name;
};

constexpr std::array<RootInfo, 7> kRoots = {{
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, "HKEY_USERS"},
    {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
    {HKEY_DYN_DATA, "HKEY_DYN_DATA"},
}};

constexpr qsizetype kMaxKeyName = 255;
constexpr qsizetype kMaxValueName = 16383;
const char* const kFileHeader = "Windows Registry Editor Version 5.00";

int RootIndex(HKEY root) {
  for (size_t i = 0; i < kRoots.size(); ++i)
    if (kRoots[i].Handle == root) return static_cast<int>(i);
  return -1;
}

QString Fold(const QString& name) { return name.toCaseFolded(); }

bool SameName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool HasControl(const QString& s, bool allowTab) {
  for (QChar ch : s) {
    const char16_t u = ch.unicode();
    if (u < 0x20 && !(allowTab && u == '\t')) return true;
    if (u == 0x7F) return true;
  }
  return false;
}

// Splits a key path into names. A leading and a trailing "\" are ignored.
bool SplitPath(const QString& path, QStringList& parts) {
  parts = path.split(QLatin1Char('\\'));
  if (!parts.isEmpty() && parts.front().isEmpty()) parts.removeFirst();
  if (!parts.isEmpty() && parts.back().isEmpty()) parts.removeLast();
  for (const QString& name : parts)
    if (name.isEmpty() || name.size() > kMaxKeyName || HasControl(name, true)) return false;
  return true;
}

bool ValidValueName(const QString& name) {
  return name.size() <= kMaxValueName && !name.contains(QLatin1Char('\r')) &&
         !name.contains(QLatin1Char('\n')) && !name.contains(QChar(0));
}

QByteArray ToUtf16Le(const QString& s, bool terminate) {
  QByteArray bytes;
  bytes.resize((s.size() + (terminate ? 1 : 0)) * 2);
  char* out = bytes.data();
  for (qsizetype i = 0; i < s.size(); ++i) qToLittleEndian<quint16>(s.at(i).unicode(), out + 2 * i);
  if (terminate) qToLittleEndian<quint16>(0, out + 2 * s.size());
  return bytes;
}

QString FromUtf16Le(const QByteArray& bytes) {
  QString s;
  const qsizetype n = bytes.size() / 2;
  s.reserve(n);
  for (qsizetype i = 0; i < n; ++i) s.append(QChar(qFromLittleEndian<quint16>(bytes.constData() + 2 * i)));
  return s;
}

// ---------------------------------------------------------------------------
// The tree

struct Key {
  QString Name;
  std::vector<TRegistryValue> Values;                // in creation order
  std::map<QString, std::unique_ptr<Key>> SubKeys;   // by folded name

  TRegistryValue* FindValue(const QString& name) {
    for (TRegistryValue& v : Values)
      if (SameName(v.Name, name)) return &v;
    return nullptr;
  }
  Key* FindSubKey(const QString& name) const {
    auto it = SubKeys.find(Fold(name));
    return it == SubKeys.end() ? nullptr : it->second.get();
  }
};

struct Tree {
  std::array<std::unique_ptr<Key>, kRoots.size()> Roots;
  Tree() {
    for (size_t i = 0; i < kRoots.size(); ++i) {
      Roots[i] = std::make_unique<Key>();
      Roots[i]->Name = QString::fromLatin1(kRoots[i].Name);
    }
  }
};

// A key whose values or subkeys changed (or that was created or deleted).
struct Event {
  HKEY Root;
  QString Path;  // as stored, names joined with "\"
};

QString JoinPath(const QString& parent, const QString& name) {
  return parent.isEmpty() ? name : parent + QLatin1Char('\\') + name;
}

// Events for a key and everything under it.
void AddSubtreeEvents(HKEY root, const QString& path, const Key& key, std::vector<Event>& events) {
  events.push_back({root, path});
  for (const auto& [folded, sub] : key.SubKeys)
    AddSubtreeEvents(root, JoinPath(path, sub->Name), *sub, events);
}

bool SameValues(const Key& a, const Key& b) {
  if (a.Values.size() != b.Values.size()) return false;
  for (const TRegistryValue& va : a.Values) {
    const auto it = std::find_if(b.Values.begin(), b.Values.end(),
                                 [&](const TRegistryValue& vb) { return SameName(va.Name, vb.Name); });
    if (it == b.Values.end() || it->Name != va.Name || it->DataType != va.DataType ||
        it->Data != va.Data)
      return false;
  }
  return true;
}

void Diff(HKEY root, const QString& path, const Key& before, const Key& after,
          std::vector<Event>& events) {
  bool changed = !SameValues(before, after);
  for (const auto& [folded, sub] : before.SubKeys) {
    const Key* other = after.FindSubKey(sub->Name);
    if (!other) {
      changed = true;
      AddSubtreeEvents(root, JoinPath(path, sub->Name), *sub, events);
    } else {
      Diff(root, JoinPath(path, other->Name), *sub, *other, events);
    }
  }
  for (const auto& [folded, sub] : after.SubKeys) {
    if (!before.FindSubKey(sub->Name)) {
      changed = true;
      AddSubtreeEvents(root, JoinPath(path, sub->Name), *sub, events);
    }
  }
  if (changed) events.push_back({root, path});
}

// ---------------------------------------------------------------------------
// The file format

QString Escape(const QString& s) {
  QString out;
  out.reserve(s.size() + 2);
  for (QChar ch : s) {
    if (ch == QLatin1Char('\\') || ch == QLatin1Char('"')) out.append(QLatin1Char('\\'));
    out.append(ch);
  }
  return out;
}

// A REG_SZ value that can be written as a quoted text: terminated, no zero or
// control character inside, valid UTF-16.
bool WritableAsText(const TRegistryValue& v, QString& text) {
  if (v.DataType != REG_SZ || v.Data.size() < 2 || v.Data.size() % 2 != 0) return false;
  if (v.Data.at(v.Data.size() - 1) != 0 || v.Data.at(v.Data.size() - 2) != 0) return false;
  text = FromUtf16Le(v.Data.left(v.Data.size() - 2));
  return !text.contains(QChar(0)) && !HasControl(text, true) && text.isValidUtf16();
}

void AppendValue(QString& out, const TRegistryValue& v) {
  QString line = v.Name.isEmpty() ? QStringLiteral("@") : QLatin1Char('"') + Escape(v.Name) + QLatin1Char('"');
  line += QLatin1Char('=');
  QString text;
  if (WritableAsText(v, text)) {
    out += line + QLatin1Char('"') + Escape(text) + QStringLiteral("\"\n");
    return;
  }
  if (v.DataType == REG_DWORD && v.Data.size() == 4) {
    out += line + QStringLiteral("dword:") +
           QStringLiteral("%1").arg(qFromLittleEndian<quint32>(v.Data.constData()), 8, 16,
                                    QLatin1Char('0')) +
           QLatin1Char('\n');
    return;
  }
  line += v.DataType == REG_BINARY ? QStringLiteral("hex:")
                                   : QStringLiteral("hex(%1):").arg(v.DataType, 0, 16);
  // Long data is continued on following lines, as the registry editor does.
  bool firstOnLine = true;
  for (qsizetype i = 0; i < v.Data.size(); ++i) {
    QString piece = QStringLiteral("%1").arg(static_cast<unsigned char>(v.Data.at(i)), 2, 16,
                                             QLatin1Char('0'));
    if (i + 1 < v.Data.size()) piece += QLatin1Char(',');
    if (!firstOnLine && line.size() + piece.size() > 78) {
      out += line + QStringLiteral("\\\n");
      line = QStringLiteral("  ");
    }
    line += piece;
    firstOnLine = false;
  }
  out += line + QLatin1Char('\n');
}

void AppendKey(QString& out, const QString& path, const Key& key, bool isRoot) {
  if (!isRoot || !key.Values.empty()) {
    out += QLatin1Char('[') + path + QStringLiteral("]\n");
    for (const TRegistryValue& v : key.Values) AppendValue(out, v);
    out += QLatin1Char('\n');
  }
  for (const auto& [folded, sub] : key.SubKeys)
    AppendKey(out, path + QLatin1Char('\\') + sub->Name, *sub, false);
}

QByteArray Serialize(const Tree& tree) {
  QString out = QString::fromLatin1(kFileHeader) + QStringLiteral("\n\n");
  for (size_t i = 0; i < kRoots.size(); ++i)
    AppendKey(out, QString::fromLatin1(kRoots[i].Name), *tree.Roots[i], true);
  return out.toUtf8();
}

struct ParseResult {
  Tree Data;
  int ErrorLine = 0;  // first damaged line, 1-based; 0 when none
  QString ErrorText;
};

// Reads a quoted text starting at s[pos] == '"'; pos ends after the closing quote.
bool ParseQuoted(const QString& s, qsizetype& pos, QString& text) {
  text.clear();
  ++pos;
  while (pos < s.size()) {
    const QChar ch = s.at(pos++);
    if (ch == QLatin1Char('"')) return true;
    if (ch == QLatin1Char('\\')) {
      if (pos >= s.size()) return false;
      const QChar next = s.at(pos++);
      if (next != QLatin1Char('\\') && next != QLatin1Char('"')) return false;
      text.append(next);
    } else {
      text.append(ch);
    }
  }
  return false;
}

bool ParseHexBytes(const QString& s, QByteArray& bytes) {
  bytes.clear();
  const QString t = s.trimmed();
  if (t.isEmpty()) return true;
  QStringList parts = t.split(QLatin1Char(','));
  if (parts.back().trimmed().isEmpty()) parts.removeLast();  // a trailing comma
  for (const QString& part : parts) {
    const QString p = part.trimmed();
    bool ok = false;
    const uint b = p.toUInt(&ok, 16);
    if (!ok || p.isEmpty() || p.size() > 2 || p.startsWith(QLatin1Char('+'))) return false;
    bytes.append(static_cast<char>(b));
  }
  return true;
}

// Parses the data after "name=" into V; false when it cannot be read.
bool ParseData(const QString& data, TRegistryValue& v, QString& why) {
  if (data.startsWith(QLatin1Char('"'))) {
    qsizetype pos = 0;
    QString text;
    if (!ParseQuoted(data, pos, text) || !data.mid(pos).trimmed().isEmpty()) {
      why = QStringLiteral("unreadable text value");
      return false;
    }
    v.DataType = REG_SZ;
    v.Data = ToUtf16Le(text, true);
    return true;
  }
  if (data.startsWith(QStringLiteral("dword:"), Qt::CaseInsensitive)) {
    const QString digits = data.mid(6).trimmed();
    bool ok = false;
    const uint n = digits.toUInt(&ok, 16);
    if (!ok || digits.isEmpty() || digits.size() > 8 || digits.startsWith(QLatin1Char('+'))) {
      why = QStringLiteral("unreadable dword value");
      return false;
    }
    v.DataType = REG_DWORD;
    v.Data.resize(4);
    qToLittleEndian<quint32>(n, v.Data.data());
    return true;
  }
  if (data.startsWith(QStringLiteral("hex"), Qt::CaseInsensitive)) {
    qsizetype pos = 3;
    Cardinal type = REG_BINARY;
    if (pos < data.size() && data.at(pos) == QLatin1Char('(')) {
      const qsizetype close = data.indexOf(QLatin1Char(')'), pos);
      bool ok = false;
      const QString digits = close < 0 ? QString() : data.mid(pos + 1, close - pos - 1);
      type = digits.toUInt(&ok, 16);
      if (!ok || digits.isEmpty() || digits.size() > 8) {
        why = QStringLiteral("unreadable value type");
        return false;
      }
      pos = close + 1;
    }
    if (pos >= data.size() || data.at(pos) != QLatin1Char(':') ||
        !ParseHexBytes(data.mid(pos + 1), v.Data)) {
      why = QStringLiteral("unreadable hex value");
      return false;
    }
    v.DataType = type;
    return true;
  }
  why = QStringLiteral("unreadable value");
  return false;
}

// Splits the file into decoded lines; lines whose bytes are not valid UTF-8
// are flagged.
QStringList DecodeLines(const QByteArray& bytes, std::vector<bool>& badLines) {
  QStringList lines;
  badLines.clear();
  auto splitText = [&](const QString& text) {
    for (QString line : text.split(QLatin1Char('\n'))) {
      if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
      lines.append(line);
      // A lone surrogate cannot be written back (the store writes UTF-8):
      // such a line is as damaged as invalid UTF-8 is.
      badLines.push_back(!line.isValidUtf16());
    }
  };
  if (bytes.startsWith("\xFF\xFE")) {
    splitText(QStringDecoder(QStringDecoder::Utf16LE).decode(QByteArrayView(bytes).sliced(2)));
    return lines;
  }
  if (bytes.startsWith("\xFE\xFF")) {
    splitText(QStringDecoder(QStringDecoder::Utf16BE).decode(QByteArrayView(bytes).sliced(2)));
    return lines;
  }
  QByteArrayView body(bytes);
  if (bytes.startsWith("\xEF\xBB\xBF")) body = body.sliced(3);
  for (QByteArrayView raw : QByteArray(body.data(), body.size()).split('\n')) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString line = decoder.decode(raw);
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    lines.append(line);
    badLines.push_back(decoder.hasError());
  }
  return lines;
}

ParseResult Parse(const QByteArray& bytes) {
  ParseResult result;
  std::vector<bool> badLines;
  const QStringList lines = DecodeLines(bytes, badLines);
  const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
  auto damage = [&](int line, const QString& why) {
    if (result.ErrorLine == 0) {
      result.ErrorLine = line;
      result.ErrorText = why;
    }
  };
  bool headerSeen = false;
  Key* current = nullptr;
  bool keyDamaged = false;  // the values after a damaged key header go with it
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const int lineNo = static_cast<int>(i + 1);
    QString t = lines.at(i).trimmed();
    if (badLines[i]) {
      damage(lineNo, utf16 ? QStringLiteral("invalid UTF-16") : QStringLiteral("invalid UTF-8"));
      // An unreadable key line takes its values with it, as a damaged key
      // line does; they never land in the key before it.
      if (t.startsWith(QLatin1Char('['))) {
        current = nullptr;
        keyDamaged = true;
      }
      continue;
    }
    if (t.isEmpty()) continue;
    if (!headerSeen) {
      headerSeen = true;
      if (t == QLatin1String(kFileHeader)) continue;
      damage(lineNo, QStringLiteral("missing header \"%1\"").arg(QLatin1String(kFileHeader)));
    }
    if (t.startsWith(QLatin1Char(';'))) continue;
    if (t.startsWith(QLatin1Char('['))) {
      current = nullptr;
      keyDamaged = true;
      if (!t.endsWith(QLatin1Char(']'))) {
        damage(lineNo, QStringLiteral("unreadable key line"));
        continue;
      }
      const QString inner = t.mid(1, t.size() - 2);
      const qsizetype sep = inner.indexOf(QLatin1Char('\\'));
      const QString rootName = sep < 0 ? inner : inner.left(sep);
      int rootIndex = -1;
      for (size_t r = 0; r < kRoots.size(); ++r)
        if (SameName(rootName, QLatin1String(kRoots[r].Name))) rootIndex = static_cast<int>(r);
      QStringList parts;
      if (rootIndex < 0) {
        damage(lineNo, QStringLiteral("unknown root key"));
        continue;
      }
      if (!SplitPath(sep < 0 ? QString() : inner.mid(sep + 1), parts) ||
          (sep >= 0 && inner.mid(sep + 1).isEmpty())) {
        damage(lineNo, QStringLiteral("invalid key name"));
        continue;
      }
      Key* key = result.Data.Roots[rootIndex].get();
      for (const QString& name : parts) {
        Key* sub = key->FindSubKey(name);
        if (!sub) {
          auto created = std::make_unique<Key>();
          created->Name = name;
          sub = created.get();
          key->SubKeys.emplace(Fold(name), std::move(created));
        }
        key = sub;
      }
      current = key;
      keyDamaged = false;
      continue;
    }
    if (t.startsWith(QLatin1Char('"')) || t.startsWith(QLatin1Char('@'))) {
      // Hex data may go on over following lines ending in "\".
      const int firstLine = lineNo;
      while (t.endsWith(QLatin1Char('\\')) && i + 1 < lines.size() && !badLines[i + 1]) {
        t.chop(1);
        t += lines.at(++i).trimmed();
      }
      if (!current) {
        if (!keyDamaged) damage(firstLine, QStringLiteral("value outside a key"));
        continue;
      }
      TRegistryValue v;
      qsizetype pos = 0;
      if (t.startsWith(QLatin1Char('@'))) {
        pos = 1;
      } else if (!ParseQuoted(t, pos, v.Name) || !ValidValueName(v.Name)) {
        damage(firstLine, QStringLiteral("unreadable value name"));
        continue;
      }
      while (pos < t.size() && t.at(pos).isSpace()) ++pos;
      if (pos >= t.size() || t.at(pos) != QLatin1Char('=')) {
        damage(firstLine, QStringLiteral("missing \"=\""));
        continue;
      }
      QString why;
      if (!ParseData(t.mid(pos + 1).trimmed(), v, why)) {
        damage(firstLine, why);
        continue;
      }
      if (TRegistryValue* existing = current->FindValue(v.Name))
        *existing = std::move(v);
      else
        current->Values.push_back(std::move(v));
      continue;
    }
    damage(lineNo, QStringLiteral("unreadable line"));
  }
  return result;
}

// ---------------------------------------------------------------------------
// The file on disk

struct FileSignature {
  bool Exists = false;
  qint64 Inode = 0;
  qint64 Size = 0;
  qint64 MTimeSec = 0, MTimeNSec = 0, CTimeSec = 0, CTimeNSec = 0;
  bool operator==(const FileSignature&) const = default;
};

FileSignature SignatureOf(const QString& fileName) {
  FileSignature sig;
  struct stat st {};
  if (::stat(QFile::encodeName(fileName).constData(), &st) == 0) {
    sig.Exists = true;
    sig.Inode = static_cast<qint64>(st.st_ino);
    sig.Size = st.st_size;
    sig.MTimeSec = st.st_mtim.tv_sec;
    sig.MTimeNSec = st.st_mtim.tv_nsec;
    sig.CTimeSec = st.st_ctim.tv_sec;
    sig.CTimeNSec = st.st_ctim.tv_nsec;
  }
  return sig;
}

bool WriteAtomically(const QString& fileName, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(fileName).absolutePath());
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) return false;
  // Flush before commit: commit does not report a write that fails while
  // the buffer is flushed on closing, and would rename a truncated file.
  if (file.write(bytes) != bytes.size() || !file.flush()) {
    file.cancelWriting();  // the temporary file goes with the object
    return false;
  }
  return file.commit();
}

QString DefaultFileName() {
  const QString env = qEnvironmentVariable("TALLOWFINCH_REGISTRY_FILE");
  if (!env.isEmpty()) return env;
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/tallowfinch/registry.reg");
}

QString g_fileNameOverride;  // guarded by the store's lock

std::atomic<HKEY> g_nextHandle{1};

}  // namespace

// ---------------------------------------------------------------------------
// TRegistryStore

struct Subscription {
  int Id;
  HKEY Root;
  QString FoldedPath;
  bool Subtree;
  std::shared_ptr<TRegistryStore::TChangeCallback> Callback;
};

struct TRegistryStore::Impl {
  mutable std::mutex Lock;
  bool Loaded = false;
  QString File;
  Tree Data;
  QByteArray DiskBytes;     // the file as last read or written
  FileSignature Signature;  // of the file as last read or written
  bool Damaged = false;     // DiskBytes is damaged and not yet kept as ".damaged"
  bool Unreadable = false;  // the file exists but could not be read
  QString Error;
  std::vector<Subscription> Subscriptions;
  int NextId = 1;
  QPointer<QFileSystemWatcher> Watcher;

  Key* Find(HKEY root, const QString& path) const {
    const int r = RootIndex(root);
    QStringList parts;
    if (r < 0 || !SplitPath(path, parts)) return nullptr;
    Key* key = Data.Roots[r].get();
    for (const QString& name : parts) {
      key = key->FindSubKey(name);
      if (!key) return nullptr;
    }
    return key;
  }

  // The key's path with the names as stored; the key must exist.
  QString StoredPath(HKEY root, const QString& path) const {
    QStringList parts;
    SplitPath(path, parts);
    QString stored;
    const Key* key = Data.Roots[RootIndex(root)].get();
    for (const QString& name : parts) {
      key = key->FindSubKey(name);
      stored = JoinPath(stored, key->Name);
    }
    return stored;
  }

  // Reads the file into a fresh tree. Events (when given) receive the
  // differences to what was held. Returns the error message, empty when none.
  QString ReadFromDisk(std::vector<Event>* events) {
    const FileSignature sig = SignatureOf(File);
    if (!sig.Exists) {
      Tree empty;
      if (events) DiffTrees(Data, empty, *events);
      Data = std::move(empty);
      DiskBytes.clear();
      Signature = sig;
      Damaged = Unreadable = false;
      Error.clear();
      return {};
    }
    QFile file(File);
    QByteArray bytes;
    bool ok = file.open(QIODevice::ReadOnly);
    if (ok) {
      bytes = file.readAll();
      ok = file.error() == QFileDevice::NoError;
    }
    if (!ok) {
      Unreadable = true;
      Signature = FileSignature{};  // try again next time
      Signature.Size = -1;
      const QString error = Format(RtlConsts::SRegFileUnreadable, {File, file.errorString()});
      if (error != Error) qCWarning(lcReg).noquote() << error;  // once, not on every call
      Error = error;
      return Error;
    }
    Unreadable = false;
    Signature = sig;
    if (Loaded && bytes == DiskBytes) return Error;
    ParseResult parsed = Parse(bytes);
    if (events) DiffTrees(Data, parsed.Data, *events);
    Data = std::move(parsed.Data);
    DiskBytes = bytes;
    Damaged = parsed.ErrorLine != 0;
    Error = Damaged ? Format(RtlConsts::SRegFileDamaged, {File, parsed.ErrorLine, parsed.ErrorText})
                    : QString();
    if (Damaged) qCWarning(lcReg).noquote() << Error;
    return Error;
  }

  static void DiffTrees(const Tree& before, const Tree& after, std::vector<Event>& events) {
    for (size_t i = 0; i < kRoots.size(); ++i)
      Diff(kRoots[i].Handle, QString(), *before.Roots[i], *after.Roots[i], events);
  }

  // The first use reads the file and raises for a damaged one.
  void EnsureLoaded() {
    if (Loaded) return;
    if (File.isEmpty()) File = g_fileNameOverride.isEmpty() ? DefaultFileName() : g_fileNameOverride;
    const QString error = ReadFromDisk(nullptr);
    Loaded = true;
    ArmWatcher();
    if (!error.isEmpty()) throw ERegistryException(error);
  }

  // Takes in what another process wrote since the file was last seen.
  void CheckDisk(std::vector<Event>& events) {
    if (!Loaded || SignatureOf(File) == Signature) return;
    ReadFromDisk(&events);
    ArmWatcher(true);
  }

  // Writes the tree; false (and nothing changed on disk) when that fails.
  bool Save() {
    if (Unreadable) return false;
    if (Damaged) {
      const QString copy = File + QStringLiteral(".damaged");
      if (!WriteAtomically(copy, DiskBytes)) return false;
      qCWarning(lcReg).noquote() << QStringLiteral("Registry file \"%1\" was damaged; kept as \"%2\"").arg(File, copy);
    }
    const QByteArray bytes = Serialize(Data);
    if (!WriteAtomically(File, bytes)) return false;
    Damaged = false;
    Error.clear();
    DiskBytes = bytes;
    Signature = SignatureOf(File);
    ArmWatcher(true);
    return true;
  }

  // Watches the file and its folder from the application's thread. After a
  // save the file is a new one (renamed over the old): RenewFile watches it
  // afresh.
  void ArmWatcher(bool renewFile = false) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || File.isEmpty()) return;
    const bool inAppThread = QThread::currentThread() == app->thread();
    if (!Watcher) {
      if (!inAppThread) return;
      Watcher = new QFileSystemWatcher(app);
      auto check = [] { TRegistryStore::Instance().CheckForChanges(); };
      QObject::connect(Watcher, &QFileSystemWatcher::fileChanged, Watcher, check);
      QObject::connect(Watcher, &QFileSystemWatcher::directoryChanged, Watcher, check);
    }
    const QString file = File;
    auto arm = [watcher = Watcher, file, renewFile] {
      if (!watcher) return;
      QStringList wanted;
      const QFileInfo info(file);
      if (renewFile && watcher->files().contains(info.absoluteFilePath()))
        watcher->removePath(info.absoluteFilePath());
      if (info.exists()) wanted << info.absoluteFilePath();
      if (QFileInfo(info.absolutePath()).isDir()) wanted << info.absolutePath();
      QStringList stale;
      for (const QString& p : watcher->files() + watcher->directories())
        if (!wanted.contains(p)) stale << p;
      if (!stale.isEmpty()) watcher->removePaths(stale);
      QStringList missing;
      for (const QString& p : wanted)
        if (!watcher->files().contains(p) && !watcher->directories().contains(p)) missing << p;
      if (!missing.isEmpty()) watcher->addPaths(missing);
    };
    if (inAppThread)
      arm();
    else
      QMetaObject::invokeMethod(Watcher, arm, Qt::QueuedConnection);
  }

  void Unload() {
    Loaded = false;
    File.clear();
    Data = Tree();
    DiskBytes.clear();
    Signature = FileSignature{};
    Damaged = Unreadable = false;
    Error.clear();
  }
};

TRegistryStore::TRegistryStore() : d(std::make_unique<Impl>()) {}
TRegistryStore::~TRegistryStore() = default;

TRegistryStore& TRegistryStore::Instance() {
  static TRegistryStore store;
  return store;
}

void TRegistryStore::SetFileName(const QString& fileName) {
  TRegistryStore& store = Instance();
  std::lock_guard lock(store.d->Lock);
  g_fileNameOverride = fileName;
  store.d->Unload();
}

QString TRegistryStore::FileName() const {
  std::lock_guard lock(d->Lock);
  if (!d->File.isEmpty()) return d->File;
  return g_fileNameOverride.isEmpty() ? DefaultFileName() : g_fileNameOverride;
}

namespace {

// Calls every subscriber once for the first event that concerns it.
void Dispatch(const std::vector<Subscription>& subscriptions, const std::vector<Event>& events) {
  if (events.empty()) return;
  for (const Subscription& s : subscriptions) {
    for (const Event& e : events) {
      if (e.Root != s.Root) continue;
      const QString folded = Fold(e.Path);
      const bool match =
          folded == s.FoldedPath ||
          (s.Subtree && (s.FoldedPath.isEmpty() ||
                         folded.startsWith(s.FoldedPath + QLatin1Char('\\'))));
      if (match) {
        (*s.Callback)(e.Root, e.Path);
        break;
      }
    }
  }
}

}  // namespace

void TRegistryStore::Load() {
  std::vector<Event> events;
  std::vector<Subscription> subscriptions;
  QString error;
  {
    std::lock_guard lock(d->Lock);
    if (d->File.isEmpty())
      d->File = g_fileNameOverride.isEmpty() ? DefaultFileName() : g_fileNameOverride;
    const bool wasLoaded = d->Loaded;
    d->Loaded = false;  // parse the file even when it did not change
    error = d->ReadFromDisk(wasLoaded ? &events : nullptr);
    d->Loaded = true;
    d->ArmWatcher();
    subscriptions = d->Subscriptions;
  }
  Dispatch(subscriptions, events);
  if (!error.isEmpty()) throw ERegistryException(error);
}

void TRegistryStore::CheckForChanges() {
  std::vector<Event> events;
  std::vector<Subscription> subscriptions;
  {
    std::lock_guard lock(d->Lock);
    d->CheckDisk(events);
    d->ArmWatcher();
    subscriptions = d->Subscriptions;
  }
  Dispatch(subscriptions, events);
}

QString TRegistryStore::LoadError() const {
  std::lock_guard lock(d->Lock);
  return d->Error;
}

template <class Body>
auto TRegistryStore::Run(Body&& body) {
  std::vector<Event> events;
  std::vector<Subscription> subscriptions;
  auto result = [&] {
    std::lock_guard lock(d->Lock);
    d->EnsureLoaded();
    d->CheckDisk(events);
    auto r = body(events);
    if (!events.empty()) subscriptions = d->Subscriptions;
    return r;
  }();
  Dispatch(subscriptions, events);
  return result;
}

bool TRegistryStore::KeyExists(HKEY root, const QString& path) {
  return Run([&](std::vector<Event>&) { return d->Find(root, path) != nullptr; });
}

bool TRegistryStore::CreateKey(HKEY root, const QString& path, bool* created) {
  return Run([&](std::vector<Event>& events) {
    if (created) *created = false;
    const int r = RootIndex(root);
    QStringList parts;
    if (r < 0 || !SplitPath(path, parts)) return false;
    Key* key = d->Data.Roots[r].get();
    QString keyPath;
    qsizetype i = 0;
    for (; i < parts.size(); ++i) {
      Key* sub = key->FindSubKey(parts[i]);
      if (!sub) break;
      key = sub;
      keyPath = JoinPath(keyPath, sub->Name);
    }
    if (i == parts.size()) return true;
    // Build the missing branch apart and hang it in; undo when the save fails.
    auto branch = std::make_unique<Key>();
    branch->Name = parts[i];
    Key* leaf = branch.get();
    for (qsizetype j = i + 1; j < parts.size(); ++j) {
      auto sub = std::make_unique<Key>();
      sub->Name = parts[j];
      Key* next = sub.get();
      leaf->SubKeys.emplace(Fold(parts[j]), std::move(sub));
      leaf = next;
    }
    const QString folded = Fold(parts[i]);
    Key* top = branch.get();
    key->SubKeys.emplace(folded, std::move(branch));
    if (!d->Save()) {
      key->SubKeys.erase(folded);
      return false;
    }
    events.push_back({root, keyPath});
    AddSubtreeEvents(root, JoinPath(keyPath, top->Name), *top, events);
    if (created) *created = true;
    return true;
  });
}

bool TRegistryStore::DeleteKey(HKEY root, const QString& path) {
  return Run([&](std::vector<Event>& events) {
    const int r = RootIndex(root);
    QStringList parts;
    if (r < 0 || !SplitPath(path, parts) || parts.isEmpty()) return false;
    Key* parent = d->Data.Roots[r].get();
    QString parentPath;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
      parent = parent->FindSubKey(parts[i]);
      if (!parent) return false;
      parentPath = JoinPath(parentPath, parent->Name);
    }
    auto it = parent->SubKeys.find(Fold(parts.back()));
    if (it == parent->SubKeys.end()) return false;
    std::unique_ptr<Key> removed = std::move(it->second);
    parent->SubKeys.erase(it);
    if (!d->Save()) {
      const QString folded = Fold(removed->Name);
      parent->SubKeys.emplace(folded, std::move(removed));
      return false;
    }
    events.push_back({root, parentPath});
    AddSubtreeEvents(root, JoinPath(parentPath, removed->Name), *removed, events);
    return true;
  });
}

std::optional<TRegistryValue> TRegistryStore::QueryValue(HKEY root, const QString& path,
                                                         const QString& name) {
  return Run([&](std::vector<Event>& events) {
    std::optional<TRegistryValue> value;
    if (Key* key = d->Find(root, path))
      if (TRegistryValue* v = key->FindValue(name)) value = *v;
    return value;
  });
}

bool TRegistryStore::SetValue(HKEY root, const QString& path, const QString& name,
                              Cardinal dataType, const QByteArray& data) {
  return Run([&](std::vector<Event>& events) {
    Key* key = d->Find(root, path);
    if (!key || !ValidValueName(name)) return false;
    TRegistryValue* existing = key->FindValue(name);
    std::optional<TRegistryValue> previous;
    if (existing) {
      previous = *existing;
      existing->DataType = dataType;
      existing->Data = data;
    } else {
      key->Values.push_back(TRegistryValue{name, dataType, data});
    }
    if (!d->Save()) {
      if (previous)
        *key->FindValue(name) = *previous;
      else
        key->Values.pop_back();
      return false;
    }
    events.push_back({root, d->StoredPath(root, path)});
    return true;
  });
}

bool TRegistryStore::DeleteValue(HKEY root, const QString& path, const QString& name) {
  return Run([&](std::vector<Event>& events) {
    Key* key = d->Find(root, path);
    if (!key) return false;
    auto it = std::find_if(key->Values.begin(), key->Values.end(),
                           [&](const TRegistryValue& v) { return SameName(v.Name, name); });
    if (it == key->Values.end()) return false;
    const auto index = it - key->Values.begin();
    TRegistryValue removed = std::move(*it);
    key->Values.erase(it);
    if (!d->Save()) {
      key->Values.insert(key->Values.begin() + index, std::move(removed));
      return false;
    }
    events.push_back({root, d->StoredPath(root, path)});
    return true;
  });
}

std::optional<QStringList> TRegistryStore::ValueNames(HKEY root, const QString& path) {
  return Run([&](std::vector<Event>& events) {
    std::optional<QStringList> names;
    if (const Key* key = d->Find(root, path)) {
      names.emplace();
      for (const TRegistryValue& v : key->Values) names->append(v.Name);
    }
    return names;
  });
}

std::optional<QStringList> TRegistryStore::KeyNames(HKEY root, const QString& path) {
  return Run([&](std::vector<Event>& events) {
    std::optional<QStringList> names;
    if (const Key* key = d->Find(root, path)) {
      names.emplace();
      for (const auto& [folded, sub] : key->SubKeys) names->append(sub->Name);
    }
    return names;
  });
}

int TRegistryStore::Subscribe(HKEY root, const QString& path, bool watchSubtree,
                              TChangeCallback callback) {
  QStringList parts;
  SplitPath(path, parts);
  std::lock_guard lock(d->Lock);
  d->EnsureLoaded();
  const int id = d->NextId++;
  d->Subscriptions.push_back(Subscription{id, root, Fold(parts.join(QLatin1Char('\\'))),
                                          watchSubtree,
                                          std::make_shared<TChangeCallback>(std::move(callback))});
  d->ArmWatcher();
  return id;
}

void TRegistryStore::Unsubscribe(int id) {
  std::lock_guard lock(d->Lock);
  std::erase_if(d->Subscriptions, [id](const Subscription& s) { return s.Id == id; });
}

// ---------------------------------------------------------------------------
// TRegistry

namespace {

QString Strip(const QString& path) {
  qsizetype first = 0;
  qsizetype last = path.size();
  while (first < last && path.at(first) == QLatin1Char('\\')) ++first;
  while (last > first && path.at(last - 1) == QLatin1Char('\\')) --last;
  return path.mid(first, last - first);
}

[[noreturn]] void RaiseFmt(const char* format, const QString& name) {
  throw ERegistryException(Format(format, {name}));
}

}  // namespace

TRegistry::TRegistry() = default;

TRegistry::TRegistry(Cardinal access) : FAccess(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY rootKey) {
  if (rootKey == FRootKey) return;
  CloseKey();
  FRootKey = rootKey;
}

QString TRegistry::FullPath(const QString& key, bool* relative) const {
  const bool rel = !key.startsWith(QLatin1Char('\\'));
  if (relative) *relative = rel;
  const QString s = Strip(key);
  if (rel && FCurrentKey != 0 && !FCurrentPath.isEmpty())
    return s.isEmpty() ? FCurrentPath : FCurrentPath + QLatin1Char('\\') + s;
  return s;
}

Cardinal TRegistry::BaseAccess(bool relative) const {
  return relative && FCurrentKey != 0 ? FCurrentAccess : KEY_ALL_ACCESS;
}

bool TRegistry::OpenKey(const QString& key, bool canCreate) {
  bool relative = true;
  const QString path = FullPath(key, &relative);
  TRegistryStore& store = TRegistryStore::Instance();
  if (!store.KeyExists(FRootKey, path)) {
    if (!canCreate || !(BaseAccess(relative) & KEY_CREATE_SUB_KEY)) return false;
    if (!store.CreateKey(FRootKey, path)) return false;
  }
  CloseKey();
  FCurrentKey = g_nextHandle++;
  FCurrentPath = path;
  FCurrentAccess = FAccess;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const QString& key) {
  const QString path = FullPath(key, nullptr);
  if (!TRegistryStore::Instance().KeyExists(FRootKey, path)) return false;
  CloseKey();
  FCurrentKey = g_nextHandle++;
  FCurrentPath = path;
  FCurrentAccess = KEY_READ;
  FAccess = KEY_READ;
  return true;
}

void TRegistry::CloseKey() {
  FCurrentKey = 0;
  FCurrentPath.clear();
  FCurrentAccess = 0;
}

bool TRegistry::CreateKey(const QString& key) {
  bool relative = true;
  const QString path = FullPath(key, &relative);
  TRegistryStore& store = TRegistryStore::Instance();
  if (store.KeyExists(FRootKey, path)) return true;
  if (!(BaseAccess(relative) & KEY_CREATE_SUB_KEY) || !store.CreateKey(FRootKey, path))
    RaiseFmt(RtlConsts::SRegCreateFailed, key);
  return true;
}

bool TRegistry::DeleteKey(const QString& key) {
  const QString path = FullPath(key, nullptr);
  if (Strip(key).isEmpty()) return false;
  return TRegistryStore::Instance().DeleteKey(FRootKey, path);
}

bool TRegistry::KeyExists(const QString& key) {
  return TRegistryStore::Instance().KeyExists(FRootKey, FullPath(key, nullptr));
}

bool TRegistry::HasSubKeys() {
  if (FCurrentKey == 0 || !(FCurrentAccess & KEY_QUERY_VALUE)) return false;
  const auto names = TRegistryStore::Instance().KeyNames(FRootKey, FCurrentPath);
  return names && !names->isEmpty();
}

void TRegistry::GetKeyNames(QStringList& strings) {
  strings.clear();
  if (FCurrentKey == 0 || !(FCurrentAccess & KEY_ENUMERATE_SUB_KEYS)) return;
  if (const auto names = TRegistryStore::Instance().KeyNames(FRootKey, FCurrentPath))
    strings = *names;
}

void TRegistry::GetValueNames(QStringList& strings) {
  strings.clear();
  if (FCurrentKey == 0 || !(FCurrentAccess & KEY_QUERY_VALUE)) return;
  if (const auto names = TRegistryStore::Instance().ValueNames(FRootKey, FCurrentPath))
    strings = *names;
}

void TRegistry::GetKeyNames(TStrings* strings) {
  QStringList names;
  GetKeyNames(names);
  inifiles_detail::AssignLines(strings, names);
}

void TRegistry::GetValueNames(TStrings* strings) {
  QStringList names;
  GetValueNames(names);
  inifiles_detail::AssignLines(strings, names);
}

std::optional<TRegistryValue> TRegistry::Query(const QString& name) {
  if (FCurrentKey == 0 || !(FCurrentAccess & KEY_QUERY_VALUE)) return std::nullopt;
  return TRegistryStore::Instance().QueryValue(FRootKey, FCurrentPath, name);
}

TRegistryValue TRegistry::GetData(const QString& name) {
  std::optional<TRegistryValue> v = Query(name);
  if (!v) RaiseFmt(RtlConsts::SRegGetDataFailed, name);
  return std::move(*v);
}

void TRegistry::PutData(const QString& name, Cardinal dataType, const QByteArray& data) {
  if (FCurrentKey == 0 || !(FCurrentAccess & KEY_SET_VALUE) ||
      !TRegistryStore::Instance().SetValue(FRootKey, FCurrentPath, name, dataType, data))
    RaiseFmt(RtlConsts::SRegSetDataFailed, name);
}

bool TRegistry::ValueExists(const QString& name) { return Query(name).has_value(); }

bool TRegistry::DeleteValue(const QString& name) {
  if (FCurrentKey == 0 || !(FCurrentAccess & KEY_SET_VALUE)) return false;
  return TRegistryStore::Instance().DeleteValue(FRootKey, FCurrentPath, name);
}

TRegDataType TRegistry::GetDataType(const QString& name) {
  const std::optional<TRegistryValue> v = Query(name);
  if (!v) return rdUnknown;
  switch (v->DataType) {
    case REG_SZ:
      return rdString;
    case REG_EXPAND_SZ:
      return rdExpandString;
    case REG_DWORD:
      return rdInteger;
    case REG_BINARY:
      return rdBinary;
    default:
      return rdUnknown;
  }
}

int TRegistry::GetDataSize(const QString& name) {
  const std::optional<TRegistryValue> v = Query(name);
  return v ? static_cast<int>(v->Data.size()) : -1;
}

QString TRegistry::ReadString(const QString& name) {
  const std::optional<TRegistryValue> v = Query(name);
  if (!v || v->Data.isEmpty()) return QString();
  if (v->DataType != REG_SZ && v->DataType != REG_EXPAND_SZ)
    RaiseFmt(RtlConsts::SInvalidRegType, name);
  QString text = FromUtf16Le(v->Data);
  const qsizetype zero = text.indexOf(QChar(0));
  if (zero >= 0) text.truncate(zero);
  return text;
}

void TRegistry::WriteString(const QString& name, const QString& value) {
  PutData(name, REG_SZ, ToUtf16Le(value, true));
}

void TRegistry::WriteExpandString(const QString& name, const QString& value) {
  PutData(name, REG_EXPAND_SZ, ToUtf16Le(value, true));
}

int TRegistry::ReadInteger(const QString& name) {
  const TRegistryValue v = GetData(name);
  if (v.DataType != REG_DWORD || v.Data.size() != 4) RaiseFmt(RtlConsts::SInvalidRegType, name);
  return qFromLittleEndian<qint32>(v.Data.constData());
}

void TRegistry::WriteInteger(const QString& name, int value) {
  QByteArray data(4, '\0');
  qToLittleEndian<qint32>(value, data.data());
  PutData(name, REG_DWORD, data);
}

bool TRegistry::ReadBool(const QString& name) { return ReadInteger(name) != 0; }

void TRegistry::WriteBool(const QString& name, bool value) { WriteInteger(name, value ? 1 : 0); }

double TRegistry::ReadFloat(const QString& name) {
  const TRegistryValue v = GetData(name);
  if (v.DataType != REG_BINARY || v.Data.size() != sizeof(double))
    RaiseFmt(RtlConsts::SInvalidRegType, name);
  return qFromLittleEndian<double>(v.Data.constData());
}

void TRegistry::WriteFloat(const QString& name, double value) {
  QByteArray data(sizeof(double), '\0');
  qToLittleEndian<double>(value, data.data());
  PutData(name, REG_BINARY, data);
}

TDateTime TRegistry::ReadDateTime(const QString& name) { return ReadFloat(name); }

void TRegistry::WriteDateTime(const QString& name, TDateTime value) { WriteFloat(name, value); }

int TRegistry::ReadBinaryData(const QString& name, void* buffer, int bufSize) {
  const std::optional<TRegistryValue> v = Query(name);
  if (!v) return 0;
  const int size = static_cast<int>(v->Data.size());
  const int room = buffer ? bufSize : 0;
  const bool binary = v->DataType != REG_SZ && v->DataType != REG_EXPAND_SZ &&
                      v->DataType != REG_DWORD;
  if (!binary || size > room) RaiseFmt(RtlConsts::SInvalidRegType, name);
  if (size > 0) std::memcpy(buffer, v->Data.constData(), static_cast<size_t>(size));
  return size;
}

void TRegistry::WriteBinaryData(const QString& name, const void* buffer, int bufSize) {
  if (bufSize < 0 || (bufSize > 0 && !buffer)) RaiseFmt(RtlConsts::SRegSetDataFailed, name);
  PutData(name, REG_BINARY,
          bufSize > 0 ? QByteArray(static_cast<const char*>(buffer), bufSize) : QByteArray());
}

// ---------------------------------------------------------------------------
// TRegistryIniFile

TRegistryIniFile::TRegistryIniFile(const QString& fileName, Cardinal access)
    : TCustomIniFile(fileName), FRegistry(std::make_unique<TRegistry>(access)),
      FKeyPath(Strip(fileName)) {
  FRegistry->OpenKey(fileName, true);
}

TRegistryIniFile::~TRegistryIniFile() = default;

bool TRegistryIniFile::OpenSection(TRegistry& reg, const QString& section, bool canCreate) const {
  reg.SetRootKey(FRegistry->RootKey());
  QString path = QLatin1Char('\\') + FKeyPath;
  const QString s = Strip(section);
  if (!s.isEmpty()) path += QLatin1Char('\\') + s;
  return reg.OpenKey(path, canCreate);
}

QString TRegistryIniFile::ReadString(const QString& section, const QString& ident,
                                     const QString& defaultValue) {
  TRegistry reg(FRegistry->Access());
  if (!OpenSection(reg, section, false)) return defaultValue;
  switch (reg.GetDataType(ident)) {
    case rdString:
    case rdExpandString:
      return reg.ReadString(ident);
    case rdInteger:
      return IntToStr(reg.ReadInteger(ident));
    default:
      return defaultValue;
  }
}

void TRegistryIniFile::WriteString(const QString& section, const QString& ident,
                                   const QString& value) {
  TRegistry reg(FRegistry->Access());
  OpenSection(reg, section, true);
  reg.WriteString(ident, value);
}

void TRegistryIniFile::WriteInteger(const QString& section, const QString& ident, int value) {
  TRegistry reg(FRegistry->Access());
  OpenSection(reg, section, true);
  const TRegDataType type = reg.GetDataType(ident);
  if (type == rdString || type == rdExpandString)
    reg.WriteString(ident, IntToStr(value));
  else
    reg.WriteInteger(ident, value);
}

std::optional<double> TRegistryIniFile::ReadDouble(const QString& section, const QString& ident) {
  TRegistry reg(FRegistry->Access());
  if (!OpenSection(reg, section, false)) return std::nullopt;
  if (reg.GetDataType(ident) == rdBinary && reg.GetDataSize(ident) == sizeof(double))
    return reg.ReadFloat(ident);
  return std::nullopt;
}

void TRegistryIniFile::WriteDouble(const QString& section, const QString& ident, double value) {
  TRegistry reg(FRegistry->Access());
  OpenSection(reg, section, true);
  reg.WriteFloat(ident, value);
}

double TRegistryIniFile::ReadFloat(const QString& section, const QString& ident,
                                   double defaultValue) {
  const std::optional<double> value = ReadDouble(section, ident);
  return value ? *value : TCustomIniFile::ReadFloat(section, ident, defaultValue);
}

void TRegistryIniFile::WriteFloat(const QString& section, const QString& ident, double value) {
  WriteDouble(section, ident, value);
}

TDateTime TRegistryIniFile::ReadDate(const QString& section, const QString& ident,
                                     TDateTime defaultValue) {
  const std::optional<double> value = ReadDouble(section, ident);
  return value ? *value : TCustomIniFile::ReadDate(section, ident, defaultValue);
}

void TRegistryIniFile::WriteDate(const QString& section, const QString& ident, TDateTime value) {
  WriteDouble(section, ident, value);
}

TDateTime TRegistryIniFile::ReadDateTime(const QString& section, const QString& ident,
                                         TDateTime defaultValue) {
  const std::optional<double> value = ReadDouble(section, ident);
  return value ? *value : TCustomIniFile::ReadDateTime(section, ident, defaultValue);
}

void TRegistryIniFile::WriteDateTime(const QString& section, const QString& ident,
                                     TDateTime value) {
  WriteDouble(section, ident, value);
}

TDateTime TRegistryIniFile::ReadTime(const QString& section, const QString& ident,
                                     TDateTime defaultValue) {
  const std::optional<double> value = ReadDouble(section, ident);
  return value ? *value : TCustomIniFile::ReadTime(section, ident, defaultValue);
}

void TRegistryIniFile::WriteTime(const QString& section, const QString& ident, TDateTime value) {
  WriteDouble(section, ident, value);
}

void TRegistryIniFile::ReadSection(const QString& section, QStringList& strings) {
  strings.clear();
  TRegistry reg(FRegistry->Access());
  if (OpenSection(reg, section, false)) reg.GetValueNames(strings);
}

void TRegistryIniFile::ReadSections(QStringList& strings) {
  strings.clear();
  TRegistry reg(FRegistry->Access());
  if (OpenSection(reg, QString(), false)) reg.GetKeyNames(strings);
}

void TRegistryIniFile::EraseSection(const QString& section) {
  TRegistry reg(FRegistry->Access());
  if (OpenSection(reg, QString(), false)) reg.DeleteKey(section);
}

void TRegistryIniFile::DeleteKey(const QString& section, const QString& ident) {
  TRegistry reg(FRegistry->Access());
  if (OpenSection(reg, section, false)) reg.DeleteValue(ident);
}

void TRegistryIniFile::UpdateFile() {}
