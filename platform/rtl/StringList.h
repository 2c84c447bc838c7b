#pragma once
// TStrings, the abstract list of strings with associated objects, and
// TStringList, its stored implementation (optionally sorted).
//
// Comparisons follow the user's locale (QLocale()): case-insensitive ones
// ignore case only, case-sensitive ones put lower case first. Two strings
// that the locale ranks equal but that differ in more than case (say "ß"
// and "ss", or text with ignorable control characters) are then ordered by
// their UTF-16 code units, so a sorted list never merges distinct strings.
//
// Index errors raise EStringListError "List index out of bounds (<index>)".

#include <QList>
#include <QString>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "platform/rtl/Persistent.h"
#include "platform/rtl/SysUtils.h"

class TStream;
class TEncoding;
class TStringList;

enum TDuplicates { dupIgnore, dupAccept, dupError };

// Compares the strings at Index1 and Index2 of List: negative, zero or
// positive.
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

class TStrings : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TStrings)
  TStrings() = default;
  TStrings(const TStrings&) = delete;
  TStrings& operator=(const TStrings&) = delete;

  int Count() const { return GetCount(); }
  QString Strings(int Index) const { return Get(Index); }
  void SetStrings(int Index, const QString& S) { Put(Index, S); }
  TObject* Objects(int Index) const { return GetObject(Index); }
  void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }
  int Capacity() const { return GetCapacity(); }
  void SetCapacity(int NewCapacity) { DoSetCapacity(NewCapacity); }

  virtual int Add(const QString& S);
  virtual int AddObject(const QString& S, TObject* AObject);
  void Append(const QString& S) { Add(S); }
  virtual void Insert(int Index, const QString& S) = 0;
  virtual void InsertObject(int Index, const QString& S, TObject* AObject);
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;
  // Adds every string (and its object) of Strings.
  virtual void AddStrings(TStrings* Strings);
  virtual void Exchange(int Index1, int Index2);
  virtual void Move(int CurIndex, int NewIndex);

  // Index of the first string equal to S (by CompareStrings), or -1.
  virtual int IndexOf(const QString& S) const;
  // Index of the first "name=value" line whose name equals Name, or -1.
  virtual int IndexOfName(const QString& Name) const;
  virtual int IndexOfObject(TObject* AObject) const;
  // Same count and the same strings, compared exactly.
  bool Equals(TStrings* Strings) const;

  // Counted; the outermost pair brackets one change notification.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // Every line followed by LineBreak (the last one only with
  // TrailingLineBreak). Setting splits at CR, LF and CR LF when LineBreak is
  // the default CR LF, otherwise at LineBreak.
  QString Text() const { return GetTextStr(); }
  void SetText(const QString& Value) { SetTextStr(Value); }
  const QString& LineBreak() const { return FLineBreak; }
  void SetLineBreak(const QString& Value) { FLineBreak = Value; }
  bool TrailingLineBreak() const { return FTrailingLineBreak; }
  void SetTrailingLineBreak(bool Value) { FTrailingLineBreak = Value; }

  // The strings joined by Delimiter; a string holding the quote character,
  // the delimiter or (without StrictDelimiter) a blank or control character
  // is quoted with QuoteChar, embedded quote characters doubled. A list of
  // one empty string gives two quote characters. Setting parses the same
  // form: without StrictDelimiter, blanks and control characters also
  // separate and are trimmed around items.
  QString DelimitedText() const;
  void SetDelimitedText(const QString& Value);
  // DelimitedText with "," and '"'.
  QString CommaText() const;
  void SetCommaText(const QString& Value);
  QChar Delimiter() const { return FDelimiter; }
  void SetDelimiter(QChar Value) { FDelimiter = Value; }
  QChar QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(QChar Value) { FQuoteChar = Value; }
  bool StrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }

  // Name-value lines.
  QChar NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(QChar Value) { FNameValueSeparator = Value; }
  // The part before the separator; empty when the line has none.
  QString Names(int Index) const;
  QString Values(const QString& Name) const;
  // Replaces the value of Name, or adds "Name=Value" when it is not there;
  // an empty Value deletes the line.
  void SetValues(const QString& Name, const QString& Value);
  // The part after the separator; empty when the line has none or Index is
  // negative.
  QString ValueFromIndex(int Index) const;

  // Reads the rest of the stream as text. A byte-order mark selects its
  // encoding; otherwise Encoding, or DefaultEncoding when that is null. The
  // encoding used is kept in Encoding() for saving.
  virtual void LoadFromStream(TStream* Stream, TEncoding* Encoding = nullptr);
  void LoadFromFile(const QString& FileName, TEncoding* Encoding = nullptr);
  // Writes Text in Encoding, else in the encoding the text was loaded with,
  // else in DefaultEncoding; preceded by the encoding's preamble when
  // WriteBOM is set.
  virtual void SaveToStream(TStream* Stream, TEncoding* Encoding = nullptr);
  void SaveToFile(const QString& FileName, TEncoding* Encoding = nullptr);
  // Encodings are shared instances (TEncoding::UTF8() ...); the list only
  // refers to them.
  TEncoding* Encoding() const { return FEncoding; }
  TEncoding* DefaultEncoding() const;  // TEncoding::Default() unless set
  void SetDefaultEncoding(TEncoding* Value) { FDefaultEncoding = Value; }
  bool WriteBOM() const { return FWriteBOM; }
  void SetWriteBOM(bool Value) { FWriteBOM = Value; }

  // From another TStrings: its strings, objects and text settings.
  void Assign(TPersistent* Source) override;

 protected:
  virtual QString Get(int Index) const = 0;
  virtual int GetCount() const = 0;
  virtual TObject* GetObject(int Index) const { return nullptr; }
  // The base version replaces the line by deleting and inserting it.
  virtual void Put(int Index, const QString& S);
  virtual void PutObject(int Index, TObject* AObject) {}
  virtual int GetCapacity() const { return GetCount(); }
  virtual void DoSetCapacity(int NewCapacity) {}
  virtual QString GetTextStr() const;
  virtual void SetTextStr(const QString& Value);
  // Called with true when the outermost BeginUpdate starts, false when the
  // outermost EndUpdate ends.
  virtual void SetUpdateState(bool Updating) {}
  // Locale comparison without case (see the top of this file).
  virtual int CompareStrings(const QString& S1, const QString& S2) const;
  // Component streaming: the lines as the defined property "Strings" (a
  // list of strings), written when there is at least one line. Reading
  // replaces the lines only once the whole list has been read.
  void DefineProperties(TFiler* Filer) override;
  // Raises EStringListError with Msg (one %d placeholder) and Data.
  [[noreturn]] void Error(const char* Msg, int Data) const;
  void SetEncoding(TEncoding* Value) { FEncoding = Value; }

 private:
  QString JoinDelimited(QChar delimiter, QChar quote) const;
  void SplitDelimited(const QString& Value, QChar delimiter, QChar quote);

  int FUpdateCount = 0;
  QString FLineBreak = QStringLiteral("\r\n");
  bool FTrailingLineBreak = true;
  QChar FDelimiter = u',';
  QChar FQuoteChar = u'"';
  QChar FNameValueSeparator = u'=';
  bool FStrictDelimiter = false;
  bool FWriteBOM = true;
  TEncoding* FEncoding = nullptr;
  TEncoding* FDefaultEncoding = nullptr;
};

// One line of a TStringList.
struct TStringItem {
  QString FString;
  TObject* FObject = nullptr;
};
Q_DECLARE_TYPEINFO(TStringItem, Q_RELOCATABLE_TYPE);

namespace classes_detail {

// The lines of a TStringList, kept in blocks of a few hundred so that an
// insertion or deletion in the middle moves one block rather than the whole
// list (sorted insertion of n lines stays well below n^2 / 2 moves). Indexes
// are checked by the caller.
class TStringItemBlocks {
 public:
  qsizetype Count() const { return FCount; }
  const TStringItem& At(qsizetype Index) const;
  TStringItem& Ref(qsizetype Index);
  // 0 <= Index <= Count.
  void Insert(qsizetype Index, TStringItem Item);
  TStringItem Take(qsizetype Index);
  // Empties the store (keeping the capacity) and answers every item in order.
  QList<TStringItem> TakeAll();
  // Replaces the contents.
  void Assign(QList<TStringItem> Items);
  QList<TStringItem> ToList() const;
  // The capacity last set, or Count when that is larger.
  qsizetype Capacity() const { return std::max(FCapacity, FCount); }
  void SetCapacity(qsizetype Value);

 private:
  static constexpr qsizetype kBlockSize = 512;  // a block splits beyond twice this
  std::pair<size_t, qsizetype> Locate(qsizetype Index) const;

  std::vector<QList<TStringItem>> FBlocks;  // never empty blocks
  std::vector<qsizetype> FStarts;           // index of each block's first item
  qsizetype FCount = 0;
  qsizetype FCapacity = 0;
};

}  // namespace classes_detail

class TStringList : public TStrings {
 public:
  TF_DECLARE_PUBLISHED(TStringList)
  TStringList() = default;
  // With OwnsObjects the list deletes the object of every line it deletes or
  // clears, and all of them when it dies. An object given with a string that
  // is not added (dupIgnore, dupError) and one replaced through SetObjects
  // stay the caller's.
  explicit TStringList(bool OwnsObjects) : FOwnsObjects(OwnsObjects) {}
  ~TStringList() override;

  // On a sorted list the string goes to its sorted place; a duplicate is
  // then ignored (answering the index of the one present), accepted, or
  // refused with EStringListError "String list does not allow duplicates",
  // as Duplicates says.
  int Add(const QString& S) override;
  int AddObject(const QString& S, TObject* AObject) override;
  // Insert, InsertObject, SetStrings, Exchange and Move raise
  // EStringListError "Operation not allowed on sorted list" on a sorted list.
  void Insert(int Index, const QString& S) override;
  void InsertObject(int Index, const QString& S, TObject* AObject) override;
  void Delete(int Index) override;
  void Clear() override;
  void Exchange(int Index1, int Index2) override;
  void Move(int CurIndex, int NewIndex) override;

  // Binary search of a sorted list: true when S is there. Index receives its
  // position (the first of equal ones when Duplicates is dupAccept) or the
  // place where it would be inserted.
  virtual bool Find(const QString& S, int& Index) const;
  int IndexOf(const QString& S) const override;

  // Sorting does nothing on a list that is already Sorted; it is stable.
  virtual void Sort();
  // Compare is called with indexes of this list as it was when the sort
  // began (the list does not change until the sort ends).
  virtual void CustomSort(const TStringListSortCompare& Compare);

  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  // False by default. Changing it re-sorts a sorted list.
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  // Also takes CaseSensitive and Sorted from another TStringList.
  void Assign(TPersistent* Source) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  QString Get(int Index) const override;
  int GetCount() const override { return static_cast<int>(FList.Count()); }
  TObject* GetObject(int Index) const override;
  void Put(int Index, const QString& S) override;
  void PutObject(int Index, TObject* AObject) override;
  int GetCapacity() const override { return static_cast<int>(FList.Capacity()); }
  void DoSetCapacity(int NewCapacity) override;
  void SetUpdateState(bool Updating) override;
  int CompareStrings(const QString& S1, const QString& S2) const override;

  virtual void Changed();
  virtual void Changing();
  virtual void InsertItem(int Index, const QString& S, TObject* AObject);

 private:
  void CheckIndex(int Index) const;
  void SortItems();

  classes_detail::TStringItemBlocks FList;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;
};
