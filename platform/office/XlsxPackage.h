#pragma once
// Internal: a zip package opened with libzip and streamed through libxml2's
// reader, both closed on every path; the files of a save written beside
// their target and renamed into place.

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

struct zip;
struct zip_file;
struct _xmlTextReader;

namespace Excel::detail {

// Largest part this layer reads (uncompressed): a guard against archives
// that inflate without bound.
constexpr qint64 MaxPartBytes = qint64(1) << 31;

class TZipArchive {
 public:
  TZipArchive() = default;
  ~TZipArchive();
  TZipArchive(const TZipArchive&) = delete;
  TZipArchive& operator=(const TZipArchive&) = delete;
  TZipArchive& operator=(TZipArchive&& other) noexcept {
    if (this != &other) {
      Discard();
      FZip = other.FZip;
      FBuffers = std::move(other.FBuffers);
      other.FZip = nullptr;
    }
    return *this;
  }

  // Opens path read-only; answers false with the reason in error.
  bool OpenRead(const QString& path, QString& error);
  // Opens path for changes (written by Commit).
  bool OpenWrite(const QString& path, QString& error);
  // Creates (or empties) path for new entries (written by Commit).
  bool Create(const QString& path, QString& error);
  bool IsOpen() const { return FZip != nullptr; }

  // Index of an entry (names are case-sensitive); -1 when absent.
  qint64 Find(const QString& name) const;
  bool Exists(const QString& name) const { return Find(name) >= 0; }
  // The whole entry, at most maxBytes; raises EOleException when it is
  // missing, damaged or too large.
  QByteArray Read(const QString& name, qint64 maxBytes = MaxPartBytes) const;

  // Changes (OpenWrite only). The data is copied.
  void Put(const QString& name, const QByteArray& data);
  void Remove(const QString& name);
  // Writes the changes; raises EOleException with the cause.
  void Commit();

  zip* Handle() const { return FZip; }
  // Closes without writing anything.
  void Discard();

 private:
  zip* FZip = nullptr;
  std::vector<std::unique_ptr<QByteArray>> FBuffers;  // data of Put until Commit
};

// libxml2's pull reader over one entry of an archive, decompressed while it
// is read. No network, no external entities or DTD loading, default limits.
class TXmlPartReader {
 public:
  TXmlPartReader(const TZipArchive& archive, const QString& name);
  // Over bytes in memory (kept by the caller for the reader's life).
  TXmlPartReader(const QByteArray& bytes, const QString& name);
  ~TXmlPartReader();
  TXmlPartReader(const TXmlPartReader&) = delete;
  TXmlPartReader& operator=(const TXmlPartReader&) = delete;

  // Next node; false at the end. Raises EOleException on malformed XML.
  bool Read();
  // Skips the current element's subtree; false at the end.
  bool Next();
  int NodeType() const;
  int Depth() const;
  bool IsEmptyElement() const;
  bool IsStart() const;               // an element start (or empty element)
  bool IsEnd() const;                 // an element end
  QByteArray LocalName() const;       // UTF-8, valid until the next move
  bool NameIs(const char* localName) const;
  // Attribute by local name (any namespace, or none); null when absent.
  QByteArray Attr(const char* localName) const;
  bool HasAttr(const char* localName) const;
  // Text of a text-only element (reads up to its end); "" when empty.
  QByteArray ElementText();
  // The element at the reader, as XML (the subtree expanded and dumped).
  QByteArray OuterXml();
  _xmlTextReader* Handle() const { return FReader; }
  const QString& PartName() const { return FName; }
  struct TSource;

 private:
  [[noreturn]] void Fail(const QString& what) const;
  void Check(int rc);
  std::unique_ptr<TSource> FSource;
  _xmlTextReader* FReader = nullptr;
  QString FName;
  QString FError;
};

// A temporary file beside target (same folder, so that a rename replaces the
// target atomically), removed unless Commit renamed it into place.
class TAtomicFile {
 public:
  // Raises EOleException when the folder cannot be written.
  explicit TAtomicFile(const QString& target);
  ~TAtomicFile();
  const QString& TempPath() const { return FTemp; }
  // Renames the temporary file over the target (mode 0666 less the umask,
  // or keepModeOf's mode when given). Raises EOleException with the cause.
  void Commit(const QString& keepModeOf = QString());

 private:
  QString FTarget, FTemp;
  bool FDone = false;
};

// "Cannot write <file>: <reason>" style messages.
QString SystemError(int err);

// Resolves a relationship target against the folder of the part that owns
// the relationships ("xl/workbook.xml" + "worksheets/sheet1.xml").
QString ResolvePartName(const QString& sourcePart, const QString& target);
// Relative target for a part, as seen from the source part's folder.
QString RelativeTarget(const QString& sourcePart, const QString& partName);
// The relationships part of a part: "xl/_rels/workbook.xml.rels".
QString RelsPartName(const QString& partName);

}  // namespace Excel::detail
