// TStrings and TStringList.

#include "platform/rtl/StringList.h"

#include <QStringList>
#include <memory>
#include <vector>

#include "platform/rtl/ClassesPrivate.h"
#include "platform/rtl/ComponentStreaming.h"
#include "platform/rtl/Encoding.h"
#include "platform/rtl/Streams.h"

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

// Locale order; ties between strings that differ in more than case are
// broken by code units (see StringList.h).
int LocaleCompare(const QString& s1, const QString& s2, bool caseSensitive) {
  const int byLocale = caseSensitive ? AnsiCompareStr(s1, s2) : AnsiCompareText(s1, s2);
  if (byLocale != 0) return byLocale;
  return Sign(QString::compare(s1, s2, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive));
}

bool IsBlankOrControl(QChar c) { return c.unicode() <= u' '; }

}  // namespace

// ---------------------------------------------------------------------------
// TStringItemBlocks

namespace classes_detail {

std::pair<size_t, qsizetype> TStringItemBlocks::Locate(qsizetype Index) const {
  const auto next = std::upper_bound(FStarts.begin(), FStarts.end(), Index);
  const auto block = static_cast<size_t>(next - FStarts.begin()) - 1;
  return {block, Index - FStarts[block]};
}

const TStringItem& TStringItemBlocks::At(qsizetype Index) const {
  const auto [block, offset] = Locate(Index);
  return FBlocks[block].at(offset);
}

TStringItem& TStringItemBlocks::Ref(qsizetype Index) {
  const auto [block, offset] = Locate(Index);
  return FBlocks[block][offset];
}

void TStringItemBlocks::Insert(qsizetype Index, TStringItem Item) {
  if (FBlocks.empty()) {
    FBlocks.emplace_back();
    FStarts.push_back(0);
  }
  size_t block;
  qsizetype offset;
  if (Index == FCount) {
    block = FBlocks.size() - 1;
    offset = FBlocks[block].size();
  } else {
    std::tie(block, offset) = Locate(Index);
  }
  QList<TStringItem>& items = FBlocks[block];
  items.insert(offset, std::move(Item));
  for (size_t b = block + 1; b < FStarts.size(); ++b) ++FStarts[b];
  ++FCount;
  if (items.size() > 2 * kBlockSize) {
    QList<TStringItem> tail(std::make_move_iterator(items.begin() + kBlockSize),
                            std::make_move_iterator(items.end()));
    items.resize(kBlockSize);
    const qsizetype tailStart = FStarts[block] + kBlockSize;
    FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(block) + 1, std::move(tail));
    FStarts.insert(FStarts.begin() + static_cast<std::ptrdiff_t>(block) + 1, tailStart);
  }
}

TStringItem TStringItemBlocks::Take(qsizetype Index) {
  const auto [block, offset] = Locate(Index);
  QList<TStringItem>& items = FBlocks[block];
  TStringItem result = std::move(items[offset]);
  items.remove(offset);
  --FCount;
  size_t firstToShift = block + 1;
  if (items.isEmpty()) {
    FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(block));
    FStarts.erase(FStarts.begin() + static_cast<std::ptrdiff_t>(block));
    firstToShift = block;
  }
  for (size_t b = firstToShift; b < FStarts.size(); ++b) --FStarts[b];
  return result;
}

QList<TStringItem> TStringItemBlocks::ToList() const {
  QList<TStringItem> result;
  result.reserve(FCount);
  for (const QList<TStringItem>& items : FBlocks) result.append(items);
  return result;
}

QList<TStringItem> TStringItemBlocks::TakeAll() {
  QList<TStringItem> result;
  if (FBlocks.size() == 1) {
    result.swap(FBlocks.front());
  } else {
    result.reserve(FCount);
    for (QList<TStringItem>& items : FBlocks)
      for (TStringItem& item : items) result.append(std::move(item));
  }
  FBlocks.clear();
  FStarts.clear();
  FCount = 0;
  return result;
}

void TStringItemBlocks::Assign(QList<TStringItem> Items) {
  FBlocks.clear();
  FStarts.clear();
  FCount = Items.size();
  for (qsizetype start = 0; start < FCount; start += kBlockSize) {
    const qsizetype end = std::min(start + kBlockSize, FCount);
    FBlocks.emplace_back(std::make_move_iterator(Items.begin() + start),
                         std::make_move_iterator(Items.begin() + end));
    FStarts.push_back(start);
  }
}

void TStringItemBlocks::SetCapacity(qsizetype Value) {
  // Blocks grow as needed; the value is kept for Capacity.
  FCapacity = Value;
}

}  // namespace classes_detail

// ---------------------------------------------------------------------------
// TStrings

void TStrings::Error(const char* Msg, int Data) const {
  throw EStringListError(MessageText(Msg, {QString::number(Data)}));
}

int TStrings::CompareStrings(const QString& S1, const QString& S2) const {
  return LocaleCompare(S1, S2, false);
}

int TStrings::Add(const QString& S) {
  const int index = GetCount();
  Insert(index, S);
  return index;
}

int TStrings::AddObject(const QString& S, TObject* AObject) {
  const int index = Add(S);
  PutObject(index, AObject);
  return index;
}

void TStrings::InsertObject(int Index, const QString& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::Put(int Index, const QString& S) {
  TObject* object = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, object);
}

void TStrings::AddStrings(TStrings* Strings) {
  if (Strings == nullptr) return;
  BeginUpdate();
  try {
    // The count is taken first so that adding a list to itself ends.
    const int count = Strings->Count();
    for (int i = 0; i < count; ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Exchange(int Index1, int Index2) {
  BeginUpdate();
  try {
    TObject* tempObject = GetObject(Index1);
    const QString tempString = Get(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, tempString);
    PutObject(Index2, tempObject);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  BeginUpdate();
  try {
    const QString tempString = Get(CurIndex);
    TObject* tempObject = GetObject(CurIndex);
    PutObject(CurIndex, nullptr);
    Delete(CurIndex);
    InsertObject(NewIndex, tempString, tempObject);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

int TStrings::IndexOf(const QString& S) const {
  const int count = GetCount();
  for (int i = 0; i < count; ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const QString& Name) const {
  const int count = GetCount();
  for (int i = 0; i < count; ++i) {
    const QString s = Get(i);
    const qsizetype p = s.indexOf(FNameValueSeparator);
    if (p >= 0 && CompareStrings(s.left(p), Name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
  const int count = GetCount();
  for (int i = 0; i < count; ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

bool TStrings::Equals(TStrings* Strings) const {
  if (Strings == nullptr) return false;
  const int count = GetCount();
  if (count != Strings->GetCount()) return false;
  for (int i = 0; i < count; ++i)
    if (Get(i) != Strings->Get(i)) return false;
  return true;
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  if (FUpdateCount == 0) SetUpdateState(false);
}

QString TStrings::GetTextStr() const {
  const int count = GetCount();
  QString result;
  for (int i = 0; i < count; ++i) {
    result += Get(i);
    if (i < count - 1 || FTrailingLineBreak) result += FLineBreak;
  }
  return result;
}

void TStrings::SetTextStr(const QString& Value) {
  BeginUpdate();
  try {
    Clear();
    const qsizetype length = Value.size();
    qsizetype p = 0;
    if (FLineBreak == QStringLiteral("\r\n")) {
      while (p < length) {
        const qsizetype start = p;
        while (p < length && Value.at(p) != u'\r' && Value.at(p) != u'\n') ++p;
        Add(Value.mid(start, p - start));
        if (p < length && Value.at(p) == u'\r') ++p;
        if (p < length && Value.at(p) == u'\n') ++p;
      }
    } else if (FLineBreak.isEmpty()) {
      if (length > 0) Add(Value);
    } else {
      while (p < length) {
        qsizetype next = Value.indexOf(FLineBreak, p);
        if (next < 0) next = length;
        Add(Value.mid(p, next - p));
        p = next < length ? next + FLineBreak.size() : length;
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

QString TStrings::JoinDelimited(QChar delimiter, QChar quote) const {
  const int count = GetCount();
  if (count == 1 && Get(0).isEmpty()) return QString(2, quote);
  QString result;
  for (int i = 0; i < count; ++i) {
    const QString s = Get(i);
    bool needsQuotes = false;
    for (QChar c : s) {
      if (c == quote || c == delimiter || (!FStrictDelimiter && IsBlankOrControl(c))) {
        needsQuotes = true;
        break;
      }
    }
    if (i > 0) result += delimiter;
    result += needsQuotes ? AnsiQuotedStr(s, quote) : s;
  }
  return result;
}

void TStrings::SplitDelimited(const QString& Value, QChar delimiter, QChar quote) {
  const qsizetype length = Value.size();
  auto at = [&](qsizetype i) { return i < length ? Value.at(i) : QChar(); };
  auto skipBlanks = [&](qsizetype& p) {
    if (!FStrictDelimiter)
      while (p < length && IsBlankOrControl(Value.at(p))) ++p;
  };
  BeginUpdate();
  try {
    Clear();
    qsizetype p = 0;
    skipBlanks(p);
    while (p < length) {
      QString s;
      if (Value.at(p) == quote) {
        // A quoted item: doubled quote characters stand for one; an
        // unterminated one runs to the end of the text.
        ++p;
        while (p < length) {
          if (Value.at(p) == quote) {
            if (at(p + 1) == quote) {
              s += quote;
              p += 2;
              continue;
            }
            ++p;
            break;
          }
          s += Value.at(p++);
        }
      } else {
        const qsizetype start = p;
        while (p < length && Value.at(p) != delimiter &&
               (FStrictDelimiter || !IsBlankOrControl(Value.at(p))))
          ++p;
        s = Value.mid(start, p - start);
      }
      Add(s);
      skipBlanks(p);
      if (p < length && Value.at(p) == delimiter) {
        if (p + 1 == length) Add(QString());
        ++p;
        skipBlanks(p);
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

QString TStrings::DelimitedText() const { return JoinDelimited(FDelimiter, FQuoteChar); }

void TStrings::SetDelimitedText(const QString& Value) {
  SplitDelimited(Value, FDelimiter, FQuoteChar);
}

QString TStrings::CommaText() const { return JoinDelimited(u',', u'"'); }

void TStrings::SetCommaText(const QString& Value) { SplitDelimited(Value, u',', u'"'); }

QString TStrings::Names(int Index) const {
  const QString s = Get(Index);
  const qsizetype p = s.indexOf(FNameValueSeparator);
  return p >= 0 ? s.left(p) : QString();
}

QString TStrings::Values(const QString& Name) const { return ValueFromIndex(IndexOfName(Name)); }

void TStrings::SetValues(const QString& Name, const QString& Value) {
  const int index = IndexOfName(Name);
  if (Value.isEmpty()) {
    if (index >= 0) Delete(index);
    return;
  }
  const QString line = Name + FNameValueSeparator + Value;
  if (index < 0)
    Add(line);  // one step, so a sorted list takes it in its place
  else
    Put(index, line);
}

QString TStrings::ValueFromIndex(int Index) const {
  if (Index < 0) return QString();
  const QString s = Get(Index);
  const qsizetype p = s.indexOf(FNameValueSeparator);
  return p >= 0 ? s.mid(p + 1) : QString();
}

TEncoding* TStrings::DefaultEncoding() const {
  return FDefaultEncoding != nullptr ? FDefaultEncoding : TEncoding::Default();
}

void TStrings::LoadFromStream(TStream* Stream, TEncoding* Encoding) {
  BeginUpdate();
  try {
    const Int64 available = Stream->Size() - Stream->Position();
    TBytes buffer;
    if (available > 0) {
      buffer.resize(static_cast<qsizetype>(available));
      buffer.resize(static_cast<qsizetype>(Stream->Read(buffer.data(), available)));
    }
    const int preamble = TEncoding::GetBufferEncoding(buffer, Encoding, DefaultEncoding());
    SetEncoding(Encoding);
    SetTextStr(Encoding->GetString(buffer.mid(preamble)));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::LoadFromFile(const QString& FileName, TEncoding* Encoding) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream, Encoding);
}

void TStrings::SaveToStream(TStream* Stream, TEncoding* Encoding) {
  if (Encoding == nullptr) Encoding = FEncoding;
  if (Encoding == nullptr) Encoding = DefaultEncoding();
  const TBytes buffer = Encoding->GetBytes(GetTextStr());
  if (FWriteBOM) {
    const TBytes preamble = Encoding->GetPreamble();
    if (!preamble.isEmpty()) Stream->WriteBuffer(preamble.constData(), preamble.size());
  }
  Stream->WriteBuffer(buffer.constData(), buffer.size());
}

void TStrings::SaveToFile(const QString& FileName, TEncoding* Encoding) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream, Encoding);
}

void TStrings::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TStrings*>(Source);
  if (source == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  BeginUpdate();
  try {
    Clear();
    FDefaultEncoding = source->FDefaultEncoding;
    FEncoding = source->FEncoding;
    FLineBreak = source->FLineBreak;
    FTrailingLineBreak = source->FTrailingLineBreak;
    FDelimiter = source->FDelimiter;
    FQuoteChar = source->FQuoteChar;
    FNameValueSeparator = source->FNameValueSeparator;
    FStrictDelimiter = source->FStrictDelimiter;
    FWriteBOM = source->FWriteBOM;
    AddStrings(source);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::DefineProperties(TFiler* Filer) {
  TPersistent::DefineProperties(Filer);
  Filer->DefineProperty(
      QStringLiteral("Strings"),
      [this](TReader* Reader) {
        // Read whole before anything changes: a damaged list leaves the
        // lines as they were.
        QStringList lines;
        Reader->ReadListBegin();
        while (!Reader->EndOfList()) lines.append(Reader->ReadString());
        Reader->ReadListEnd();
        BeginUpdate();
        try {
          Clear();
          for (const QString& line : lines) Add(line);
        } catch (...) {
          EndUpdate();
          throw;
        }
        EndUpdate();
      },
      [this](TWriter* Writer) {
        Writer->WriteListBegin();
        for (int i = 0; i < Count(); ++i) Writer->WriteString(Get(i));
        Writer->WriteListEnd();
      },
      Count() > 0);
}

// ---------------------------------------------------------------------------
// TStringList

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  if (FOwnsObjects)
    for (const TStringItem& item : FList.TakeAll()) delete item.FObject;
}

void TStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= GetCount()) Error(RtlConsts::SListIndexError, Index);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

int TStringList::CompareStrings(const QString& S1, const QString& S2) const {
  return LocaleCompare(S1, S2, FCaseSensitive);
}

QString TStringList::Get(int Index) const {
  CheckIndex(Index);
  return FList.At(Index).FString;
}

TObject* TStringList::GetObject(int Index) const {
  CheckIndex(Index);
  return FList.At(Index).FObject;
}

void TStringList::Put(int Index, const QString& S) {
  if (FSorted) Error(RtlConsts::SSortedListError, 0);
  CheckIndex(Index);
  Changing();
  FList.Ref(Index).FString = S;
  Changed();
}

void TStringList::PutObject(int Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  FList.Ref(Index).FObject = AObject;
  Changed();
}

void TStringList::DoSetCapacity(int NewCapacity) {
  if (NewCapacity < GetCount()) Error(RtlConsts::SListCapacityError, NewCapacity);
  FList.SetCapacity(NewCapacity);
}

int TStringList::Add(const QString& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const QString& S, TObject* AObject) {
  int index = GetCount();
  if (FSorted && Find(S, index)) {
    switch (FDuplicates) {
      case dupIgnore:
        return index;
      case dupError:
        Error(RtlConsts::SDuplicateString, 0);
      case dupAccept:
        break;
    }
  }
  InsertItem(index, S, AObject);
  return index;
}

void TStringList::Insert(int Index, const QString& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const QString& S, TObject* AObject) {
  if (FSorted) Error(RtlConsts::SSortedListError, 0);
  if (Index < 0 || Index > GetCount()) Error(RtlConsts::SListIndexError, Index);
  InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const QString& S, TObject* AObject) {
  Changing();
  FList.Insert(Index, TStringItem{S, AObject});
  Changed();
}

void TStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  TObject* object = FList.Take(Index).FObject;
  if (FOwnsObjects) delete object;
  Changed();
}

void TStringList::Clear() {
  if (FList.Count() == 0) return;
  Changing();
  const QList<TStringItem> items = FList.TakeAll();
  FList.SetCapacity(0);
  if (FOwnsObjects)
    for (const TStringItem& item : items) delete item.FObject;
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  if (FSorted) Error(RtlConsts::SSortedListError, 0);
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(FList.Ref(Index1), FList.Ref(Index2));
  Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
  if (FSorted) Error(RtlConsts::SSortedListError, 0);
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  if (CurIndex == NewIndex) return;
  Changing();
  FList.Insert(NewIndex, FList.Take(CurIndex));
  Changed();
}

bool TStringList::Find(const QString& S, int& Index) const {
  bool found = false;
  int low = 0;
  int high = GetCount() - 1;
  while (low <= high) {
    const int middle = low + (high - low) / 2;
    const int c = CompareStrings(FList.At(middle).FString, S);
    if (c < 0) {
      low = middle + 1;
    } else {
      high = middle - 1;
      if (c == 0) {
        found = true;
        if (FDuplicates != dupAccept) low = middle;
      }
    }
  }
  Index = low;
  return found;
}

int TStringList::IndexOf(const QString& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  int index = -1;
  return Find(S, index) ? index : -1;
}

void TStringList::SortItems() {
  QList<TStringItem> items = FList.TakeAll();
  classes_detail::MergeSort(items, [this](const TStringItem& a, const TStringItem& b) {
    return CompareStrings(a.FString, b.FString);
  });
  FList.Assign(std::move(items));
}

void TStringList::Sort() {
  if (FSorted || GetCount() < 2) return;
  Changing();
  SortItems();
  Changed();
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
  if (FSorted || GetCount() < 2 || !Compare) return;
  Changing();
  // Sort positions, comparing through the unchanged list, then reorder.
  std::vector<int> order(static_cast<size_t>(GetCount()));
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  classes_detail::MergeSort(order, [this, &Compare](int a, int b) { return Compare(this, a, b); });
  if (static_cast<size_t>(FList.Count()) == order.size()) {
    QList<TStringItem> sorted;
    sorted.reserve(FList.Count());
    for (int i : order) sorted.append(FList.At(i));
    FList.Assign(std::move(sorted));
  }
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (FSorted == Value) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  if (FSorted && GetCount() > 1) {
    Changing();
    SortItems();
    Changed();
  }
}

void TStringList::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TStringList*>(Source);
  if (source == nullptr || source == this) {
    TStrings::Assign(Source);
    return;
  }
  BeginUpdate();
  try {
    // Copied in the source's order, then sorted (if at all) by the
    // source's rules.
    FSorted = false;
    TStrings::Assign(Source);
    FCaseSensitive = source->FCaseSensitive;
    SetSorted(source->FSorted);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}
