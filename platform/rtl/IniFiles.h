#pragma once
// INI files with the rules of the Windows profile functions: sections and keys
// are compared without regard to case, names and values are trimmed of blanks
// (characters up to the space), the first of two equal keys counts, lines
// starting with ";" are comments.
//
// TMemIniFile keeps the whole file in memory and writes it only on UpdateFile;
// TIniFile writes every change through to the file at once and sees changes
// other programs make to it. Both keep comments, blank lines and every line they
// do not change as they were; a new section is appended at the end and a new key
// after the last line of its section.
//
// Encoding: a byte-order mark selects UTF-8, UTF-16 LE or UTF-16 BE; a file
// without one is UTF-8 when its bytes are valid UTF-8 and Windows-1252
// otherwise. A file is written back in the encoding (and with the mark, and
// with the line breaks) it was read with; a new file is UTF-8 without a mark,
// with CR LF line breaks. Saving is atomic (temporary file, then rename): a
// failed save leaves the old file as it was.
//
// A name or value that would break the line structure of the file (a line
// break in any of them, "]" in a section name, "=" in a key, a key starting
// with "[" or ";", an empty key) is refused with EIniFileException.

#include <QString>
#include <QStringList>
#include <memory>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"

TF_DECLARE_EXCEPTION(EIniFileException, Exception)

class TStrings;

namespace inifiles_detail {
class Document;
struct FileFormat;
// Replaces the content of Strings (when not null) with Lines, as one update.
void AssignLines(TStrings* strings, const QStringList& lines);
}  // namespace inifiles_detail

class TCustomIniFile : public TObject {
 public:
  explicit TCustomIniFile(const QString& fileName);
  ~TCustomIniFile() override;

  const QString& FileName() const { return FFileName; }

  virtual QString ReadString(const QString& section, const QString& ident,
                             const QString& defaultValue) = 0;
  virtual void WriteString(const QString& section, const QString& ident,
                           const QString& value) = 0;
  // The text read by StrToInt (decimal, or hexadecimal after "$" or "0x"); a
  // missing value or one that does not read as a 32-bit number gives the
  // default.
  virtual int ReadInteger(const QString& section, const QString& ident, int defaultValue);
  virtual void WriteInteger(const QString& section, const QString& ident, int value);
  // ReadInteger with the default as 0 or 1, then nonzero is true: "0" is false,
  // any other number true, a text that is no number gives the default.
  virtual bool ReadBool(const QString& section, const QString& ident, bool defaultValue);
  // Writes "1" or "0".
  virtual void WriteBool(const QString& section, const QString& ident, bool value);
  // Floats, dates and times as text in the process's FormatSettings
  // (FloatToStr, DateToStr, DateTimeToStr, TimeToStr and their readers); a
  // missing value or one that does not convert gives the default.
  virtual double ReadFloat(const QString& section, const QString& ident, double defaultValue);
  virtual void WriteFloat(const QString& section, const QString& ident, double value);
  virtual TDateTime ReadDate(const QString& section, const QString& ident,
                             TDateTime defaultValue);
  virtual void WriteDate(const QString& section, const QString& ident, TDateTime value);
  virtual TDateTime ReadDateTime(const QString& section, const QString& ident,
                                 TDateTime defaultValue);
  virtual void WriteDateTime(const QString& section, const QString& ident, TDateTime value);
  virtual TDateTime ReadTime(const QString& section, const QString& ident,
                             TDateTime defaultValue);
  virtual void WriteTime(const QString& section, const QString& ident, TDateTime value);

  // Key names of the section, in file order; Strings is cleared first.
  virtual void ReadSection(const QString& section, QStringList& strings) = 0;
  // Section names, in file order.
  virtual void ReadSections(QStringList& strings) = 0;
  // "name=value" lines of the section.
  virtual void ReadSectionValues(const QString& section, QStringList& strings);
  virtual void EraseSection(const QString& section) = 0;
  virtual void DeleteKey(const QString& section, const QString& ident) = 0;
  virtual void UpdateFile() = 0;
  // The same three into a TStrings, which is cleared first (null: nothing).
  void ReadSection(const QString& section, TStrings* strings);
  void ReadSections(TStrings* strings);
  void ReadSectionValues(const QString& section, TStrings* strings);
  // True when the section holds at least one key.
  virtual bool SectionExists(const QString& section);
  virtual bool ValueExists(const QString& section, const QString& ident);

 protected:
  void SetFileNameField(const QString& fileName) { FFileName = fileName; }

 private:
  QString FFileName;
};

// The file in memory; UpdateFile writes it.
class TMemIniFile : public TCustomIniFile {
 public:
  // Reads the file when it exists; a file that exists but cannot be read
  // raises EFOpenError.
  explicit TMemIniFile(const QString& fileName);
  ~TMemIniFile() override;

  QString ReadString(const QString& section, const QString& ident,
                     const QString& defaultValue) override;
  void WriteString(const QString& section, const QString& ident, const QString& value) override;
  using TCustomIniFile::ReadSection;
  using TCustomIniFile::ReadSections;
  using TCustomIniFile::ReadSectionValues;
  void ReadSection(const QString& section, QStringList& strings) override;
  void ReadSections(QStringList& strings) override;
  // The section's "name=value" lines as they are held.
  void ReadSectionValues(const QString& section, QStringList& strings) override;
  void EraseSection(const QString& section) override;
  void DeleteKey(const QString& section, const QString& ident) override;
  // Writes the file (atomically); a failure raises EFCreateError.
  void UpdateFile() override;

  // Forgets every section and line.
  void Clear();
  // The lines of the file as they would be written (List is cleared first).
  void GetStrings(QStringList& list) const;
  void GetStrings(TStrings* list) const;
  // Replaces the content with the given lines, parsed as a file.
  void SetStrings(const QStringList& list);
  void SetStrings(TStrings* list);
  // Uses another file name; with Reload the content is read from that file
  // (emptied when it does not exist).
  void Rename(const QString& fileName, bool reload);

 private:
  void LoadFromFile();
  std::unique_ptr<inifiles_detail::Document> FDocument;
  std::unique_ptr<inifiles_detail::FileFormat> FFormat;
};

// Every write goes to the file at once; every read sees the file's current
// content. A failed write raises EIniFileException "Unable to write to <file>"
// and leaves the file as it was. Values enclosed in matching single or double
// quotes are read without the quotes.
class TIniFile : public TCustomIniFile {
 public:
  explicit TIniFile(const QString& fileName);
  ~TIniFile() override;

  QString ReadString(const QString& section, const QString& ident,
                     const QString& defaultValue) override;
  void WriteString(const QString& section, const QString& ident, const QString& value) override;
  using TCustomIniFile::ReadSection;
  using TCustomIniFile::ReadSections;
  void ReadSection(const QString& section, QStringList& strings) override;
  void ReadSections(QStringList& strings) override;
  void EraseSection(const QString& section) override;
  void DeleteKey(const QString& section, const QString& ident) override;
  // Nothing to do: every change is already in the file.
  void UpdateFile() override;

 private:
  void Refresh();
  void CheckReadable();
  void Store();
  std::unique_ptr<inifiles_detail::Document> FDocument;
  std::unique_ptr<inifiles_detail::FileFormat> FFormat;
};
