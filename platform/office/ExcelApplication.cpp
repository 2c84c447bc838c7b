// The real automation objects: an application with its workbooks, kept in
// memory and read from and written to workbook files.

#include <QFileInfo>
#include <algorithm>

#include "platform/office/Excel.h"
#include "platform/office/XlsxFormat.h"

namespace Excel {

using namespace detail;

QString CellText(const QString& text) {
  if (text.size() <= MaxCellChars) return text;
  qsizetype n = MaxCellChars;
  if (text[n - 1].isHighSurrogate()) --n;  // keep the pair whole
  return text.left(n);
}

namespace {

class TApplicationImpl;
class TWorkbookImpl;
class TSheetImpl;

// Cells a range may read in one Value call.
constexpr qint64 MaxReadCells = qint64(64) * 1024 * 1024;

[[noreturn]] void Released() { throw EOleException(QStringLiteral("The object invoked has disconnected from its clients")); }

QString IncorrectFile() { return QStringLiteral("Incorrect Excel file"); }

// ---------------------------------------------------------------------------

class TWorkbookImpl : public Workbook, public std::enable_shared_from_this<TWorkbookImpl> {
 public:
  TWorkbookImpl(std::weak_ptr<TApplicationImpl> app) : FApp(std::move(app)) {}

  void InitNew(const QString& name);
  void InitOpen(const QString& fileName);

  QString Name() override {
    CheckOpen();
    return FName;
  }
  QString FullName() override {
    CheckOpen();
    return FPath.isEmpty() ? FName : FPath;
  }
  SheetsPtr Sheets() override;
  using Workbook::Sheets;
  SheetsPtr WorkSheets() override;
  WorksheetPtr ActiveSheet() override;
  void Save() override;
  void SaveAs(const QString& fileName) override;
  void Close(bool SaveChanges) override;
  bool Saved() override {
    CheckOpen();
    return FSaved;
  }
  void SetSaved(bool value) override {
    CheckOpen();
    FSaved = value;
  }

  void CheckOpen() const;
  void MarkChanged() { FSaved = false; }
  void LoadSheet(TSheetImpl& sheet);
  std::shared_ptr<TSheetImpl> AddSheet();
  bool NameTaken(const QString& name, const TSheetImpl* except) const;
  void Discard();

  std::vector<std::shared_ptr<TSheetImpl>> FSheets;
  int FActive = 0;

 private:
  void AdoptFile(const QString& path);
  std::vector<TPatchSheet> PatchList();

  std::weak_ptr<TApplicationImpl> FApp;
  QString FName, FPath;
  TFileKind FKind = fkNone;
  TPackageInfo FInfo;
  TZipArchive FArchive;
  std::unique_ptr<TCellDecoder> FDecoder;
  bool FSaved = true;
  bool FClosed = false;
};

class TSheetImpl : public Worksheet, public std::enable_shared_from_this<TSheetImpl> {
 public:
  TSheetImpl(std::weak_ptr<TWorkbookImpl> book, const QString& name, TSheetKind kind)
      : FBook(std::move(book)), FName(name), FKind(kind) {}

  QString Name() override {
    Book();
    return FName;
  }
  void SetName(const QString& name) override;
  RangePtr Range(const QString& address) override;
  RangePtr UsedRange() override;
  RangePtr Rows() override;
  RangePtr Cells(int row, int col) override;

  std::shared_ptr<TWorkbookImpl> Book() const {
    std::shared_ptr<TWorkbookImpl> book = FBook.lock();
    if (!book) Released();
    book->CheckOpen();
    return book;
  }
  TSheetStore& Store() {
    Book()->LoadSheet(*this);
    return FStore;
  }
  TSheetStore& StoreForWrite() {
    if (FKind != skWorksheet) throw EOleException(QStringLiteral("Sheet \"%1\" has no cells").arg(FName));
    return FStore;
  }
  RangePtr MakeRange(const TCellRect& rect, int kind);

  std::weak_ptr<TWorkbookImpl> FBook;
  QString FName;
  TSheetKind FKind;
  TSheetPart FPart;
  bool FInPackage = false;  // the sheet has a part in the workbook's file
  bool FLoaded = true;      // cells read (or nothing to read)
  bool FDirty = false;      // written since the last save
  TSheetStore FStore;
};

// Range kinds: the cells themselves, or their rows or columns as items.
enum { rkCells, rkRows, rkColumns };

class TRangeImpl : public Range {
 public:
  TRangeImpl(std::shared_ptr<TSheetImpl> sheet, const TCellRect& rect, int kind)
      : FSheet(std::move(sheet)), FRect(rect), FKind(kind) {}

  QString Address() override {
    FSheet->Book();
    return RangeAddress(FRect, true);
  }
  int Row() override {
    FSheet->Book();
    return FRect.Row1;
  }
  int Column() override {
    FSheet->Book();
    return FRect.Col1;
  }
  int Count() override {
    FSheet->Book();
    if (FKind == rkRows) return FRect.RowCount();
    if (FKind == rkColumns) return FRect.ColCount();
    const qint64 n = qint64(FRect.RowCount()) * FRect.ColCount();
    if (n > std::numeric_limits<int>::max()) throw EOleException(QStringLiteral("Overflow"));
    return int(n);
  }
  RangePtr Rows() override { return FSheet->MakeRange(FRect, rkRows); }
  RangePtr Columns() override { return FSheet->MakeRange(FRect, rkColumns); }
  RangePtr Cells(int row, int col) override {
    const qint64 r = qint64(FRect.Row1) + row - 1, c = qint64(FRect.Col1) + col - 1;
    if (r < 1 || r > MaxRows || c < 1 || c > MaxColumns)
      throw EOleException(QStringLiteral("Cell (%1, %2) is outside the sheet").arg(row).arg(col));
    return FSheet->MakeRange(TCellRect{int(r), int(c), int(r), int(c)}, rkCells);
  }
  QVariant Value() override {
    TSheetStore& store = FSheet->Store();
    if (FRect.RowCount() == 1 && FRect.ColCount() == 1) return store.Get(FRect.Row1, FRect.Col1);
    if (qint64(FRect.RowCount()) * FRect.ColCount() > MaxReadCells)
      throw EOleException(QStringLiteral("Range %1 is too large to read at once").arg(RangeAddress(FRect)));
    return QVariant::fromValue(store.Values(FRect));
  }
  void SetValue(const QVariant& value) override {
    std::shared_ptr<TWorkbookImpl> book = FSheet->Book();
    TSheetStore& store = FSheet->StoreForWrite();
    if (VarIsArray(value)) {
      store.Write(FRect, value.value<TVarArray>());
    } else {
      if (qint64(FRect.RowCount()) * FRect.ColCount() > MaxReadCells)
        throw EOleException(QStringLiteral("Range %1 is too large to fill").arg(RangeAddress(FRect)));
      TVarArray filled(FRect.RowCount(), FRect.ColCount(), 0);
      for (int r = 0; r < FRect.RowCount(); ++r)
        for (int c = 0; c < FRect.ColCount(); ++c) filled.Set(r, c, value);
      store.Write(FRect, filled);
    }
    FSheet->FDirty = true;
    book->MarkChanged();
  }

 private:
  std::shared_ptr<TSheetImpl> FSheet;
  TCellRect FRect;
  int FKind;
};

class TSheetsImpl : public Sheets {
 public:
  TSheetsImpl(std::shared_ptr<TWorkbookImpl> book, bool worksheetsOnly)
      : FBook(std::move(book)), FWorksheetsOnly(worksheetsOnly) {}
  int Count() override { return int(List().size()); }
  WorksheetPtr item(int index) override {
    const auto list = List();
    if (index < 1 || index > int(list.size()))
      throw EOleException(QStringLiteral("Sheet index %1 out of range (1 to %2)").arg(index).arg(list.size()));
    return list[size_t(index - 1)];
  }
  WorksheetPtr Add() override {
    FBook->CheckOpen();
    return FBook->AddSheet();
  }

 private:
  std::vector<std::shared_ptr<TSheetImpl>> List() const {
    FBook->CheckOpen();
    if (!FWorksheetsOnly) return FBook->FSheets;
    std::vector<std::shared_ptr<TSheetImpl>> list;
    for (const auto& s : FBook->FSheets)
      if (s->FKind == skWorksheet) list.push_back(s);
    return list;
  }
  std::shared_ptr<TWorkbookImpl> FBook;
  bool FWorksheetsOnly;
};

class TApplicationImpl : public Application, public std::enable_shared_from_this<TApplicationImpl> {
 public:
  WorkbooksPtr WorkBooks() override;
  WorkbookPtr ActiveWorkBook() override {
    Check();
    return FBooks.empty() ? nullptr : FBooks.back();
  }
  RangePtr ActiveCell() override {
    Check();
    if (FBooks.empty()) throw EOleException(QStringLiteral("No workbook is open"));
    return FBooks.back()->ActiveSheet()->Cells(1, 1);
  }
  void Quit() override {
    Check();
    for (const auto& book : FBooks) book->Discard();
    FBooks.clear();
    FQuit = true;
  }

  void Check() const {
    if (FQuit) Released();
  }
  void Activate(const std::shared_ptr<TWorkbookImpl>& book) {
    std::erase(FBooks, book);
    FBooks.push_back(book);
  }
  void Forget(const TWorkbookImpl* book) {
    std::erase_if(FBooks, [book](const auto& b) { return b.get() == book; });
  }

  std::vector<std::shared_ptr<TWorkbookImpl>> FBooks;  // the active one last
  int FNextBook = 1;
  bool FQuit = false;
};

class TWorkbooksImpl : public Workbooks {
 public:
  explicit TWorkbooksImpl(std::shared_ptr<TApplicationImpl> app) : FApp(std::move(app)) {}
  int Count() override {
    FApp->Check();
    return int(FApp->FBooks.size());
  }
  WorkbookPtr item(int index) override {
    FApp->Check();
    if (index < 1 || index > int(FApp->FBooks.size()))
      throw EOleException(QStringLiteral("Workbook index %1 out of range").arg(index));
    return FApp->FBooks[size_t(index - 1)];
  }
  WorkbookPtr Add() override {
    FApp->Check();
    auto book = std::make_shared<TWorkbookImpl>(FApp);
    book->InitNew(QStringLiteral("Book%1").arg(FApp->FNextBook++));
    FApp->Activate(book);
    return book;
  }
  WorkbookPtr Open(const QString& fileName) override {
    FApp->Check();
    auto book = std::make_shared<TWorkbookImpl>(FApp);
    book->InitOpen(fileName);
    FApp->Activate(book);
    return book;
  }

 private:
  std::shared_ptr<TApplicationImpl> FApp;
};

WorkbooksPtr TApplicationImpl::WorkBooks() {
  Check();
  return std::make_shared<TWorkbooksImpl>(shared_from_this());
}

// ---------------------------------------------------------------------------
// Workbook

void TWorkbookImpl::InitNew(const QString& name) {
  FName = name;
  FKind = fkNone;
  FSheets.push_back(std::make_shared<TSheetImpl>(weak_from_this(), QStringLiteral("Sheet1"), skWorksheet));
  FActive = 0;
  FSaved = true;
}

void TWorkbookImpl::InitOpen(const QString& fileName) {
  const QFileInfo info(fileName);
  if (info.isDir()) throw EOleException(QStringLiteral("Cannot open \"%1\": it is a folder").arg(fileName));
  FKind = SniffFile(fileName);  // raises for a missing file and for other content
  FPath = info.absoluteFilePath();
  FName = info.fileName();
  if (FKind == fkXls) {
    TXlsBook book;
    try {
      book = ReadXlsFile(fileName);
    } catch (const EOleException& e) {
      // The reason goes to the caller: a legacy file fails for more reasons
      // than damage (a password, a format older than Excel 5, ...).
      qCWarning(lcOffice) << "cannot read" << fileName << ":" << e.Message();
      throw EOleException(IncorrectFile() + QStringLiteral(": ") + e.Message());
    }
    for (TXlsSheet& sheet : book.Sheets) {
      auto s = std::make_shared<TSheetImpl>(weak_from_this(), sheet.Name, sheet.Kind);
      s->FStore = std::move(sheet.Store);
      s->FInPackage = true;
      FSheets.push_back(s);
    }
    FActive = book.ActiveTab;
    FSaved = true;
    return;
  }
  try {
    QString error;
    if (!FArchive.OpenRead(fileName, error)) throw EOleException(error);
    FInfo = ReadPackageInfo(FArchive);
    for (const TPackageInfo::TSheetEntry& entry : FInfo.Sheets) {
      auto s = std::make_shared<TSheetImpl>(weak_from_this(), entry.Name, entry.Kind);
      s->FPart = entry.Part;
      s->FInPackage = true;
      s->FLoaded = entry.Kind != skWorksheet;
      FSheets.push_back(s);
    }
    FActive = FInfo.ActiveTab;
  } catch (const EOleException& e) {
    qCWarning(lcOffice) << "cannot read" << fileName << ":" << e.Message();
    throw EOleException(IncorrectFile());
  }
  FSaved = true;
}

void TWorkbookImpl::CheckOpen() const {
  if (FClosed) Released();
  if (auto app = FApp.lock()) app->Check();
}

void TWorkbookImpl::LoadSheet(TSheetImpl& sheet) {
  if (sheet.FLoaded) return;
  try {
    if (!FDecoder) {
      auto decoder = std::make_unique<TCellDecoder>();
      decoder->Load(FArchive, FInfo);
      FDecoder = std::move(decoder);
    }
    TSheetStore loaded;
    ReadSheetCells(FArchive, sheet.FPart.PartName, *FDecoder, loaded);
    sheet.FStore.Loaded = std::move(loaded.Loaded);
  } catch (const EOleException& e) {
    qCWarning(lcOffice) << "cannot read sheet" << sheet.FName << "of" << FPath << ":" << e.Message();
    throw EOleException(IncorrectFile());
  }
  sheet.FLoaded = true;
}

SheetsPtr TWorkbookImpl::Sheets() {
  CheckOpen();
  return std::make_shared<TSheetsImpl>(shared_from_this(), false);
}

SheetsPtr TWorkbookImpl::WorkSheets() {
  CheckOpen();
  return std::make_shared<TSheetsImpl>(shared_from_this(), true);
}

WorksheetPtr TWorkbookImpl::ActiveSheet() {
  CheckOpen();
  return FSheets[size_t(FActive)];
}

bool TWorkbookImpl::NameTaken(const QString& name, const TSheetImpl* except) const {
  for (const auto& s : FSheets)
    if (s.get() != except && s->FName.compare(name, Qt::CaseInsensitive) == 0) return true;
  return false;
}

std::shared_ptr<TSheetImpl> TWorkbookImpl::AddSheet() {
  int n = 1;
  for (const auto& s : FSheets)
    if (s->FKind == skWorksheet) ++n;
  while (NameTaken(QStringLiteral("Sheet%1").arg(n), nullptr)) ++n;
  auto sheet = std::make_shared<TSheetImpl>(weak_from_this(), QStringLiteral("Sheet%1").arg(n), skWorksheet);
  sheet->FDirty = true;
  FSheets.insert(FSheets.begin() + FActive, sheet);  // before the active sheet; the new one is active
  MarkChanged();
  return sheet;
}

std::vector<TPatchSheet> TWorkbookImpl::PatchList() {
  std::vector<TPatchSheet> list;
  for (const auto& s : FSheets) {
    TPatchSheet p;
    p.Name = s->FName;
    p.Part = &s->FPart;
    p.Store = &s->FStore;
    p.Added = !s->FInPackage;
    p.Dirty = s->FDirty;
    list.push_back(p);
  }
  return list;
}

void TWorkbookImpl::AdoptFile(const QString& path) {
  // The file now holds every sheet: later saves patch it.
  const QFileInfo info(path);
  FPath = info.absoluteFilePath();
  FName = info.fileName();
  FKind = fkXlsx;
  QString error;
  TZipArchive archive;
  if (!archive.OpenRead(path, error)) throw EOleException(QStringLiteral("Cannot read back \"%1\": %2").arg(path, error));
  FInfo = ReadPackageInfo(archive);
  for (size_t i = 0; i < FSheets.size() && i < FInfo.Sheets.size(); ++i) {
    FSheets[i]->FPart = FInfo.Sheets[i].Part;
    FSheets[i]->FInPackage = true;
    FSheets[i]->FDirty = false;
  }
  // Sheets not read yet have the same parts in the new file.
  FArchive = std::move(archive);
  FDecoder.reset();
  FSaved = true;
}

void TWorkbookImpl::Save() {
  CheckOpen();
  if (FKind == fkNone)
    throw EOleException(QStringLiteral("Workbook \"%1\" has no file yet; it must be saved under a name").arg(FName));
  if (FKind == fkXls)
    throw EOleException(QStringLiteral("Cannot save \"%1\": a workbook read from the .xls format cannot be updated").arg(FPath));
  std::vector<TPatchSheet> list = PatchList();
  PatchWorkbook(FPath, FPath, FInfo, list);
  for (const auto& s : FSheets) {
    s->FInPackage = true;
    s->FDirty = false;
  }
  // Keep the package description in step with the file.
  FInfo.Sheets.clear();
  for (const auto& s : FSheets) FInfo.Sheets.push_back({s->FName, s->FKind, s->FPart});
  FSaved = true;
}

void TWorkbookImpl::SaveAs(const QString& fileName) {
  CheckOpen();
  if (FKind == fkXls)
    throw EOleException(QStringLiteral("Cannot save \"%1\": a workbook read from the .xls format cannot be converted").arg(FPath));
  if (FKind == fkXlsx) {
    std::vector<TPatchSheet> list = PatchList();
    PatchWorkbook(FPath, fileName, FInfo, list);
  } else {
    std::vector<TNewSheet> sheets;
    for (const auto& s : FSheets) sheets.push_back({s->FName, &s->FStore});
    WriteNewWorkbook(fileName, sheets, FActive);
  }
  AdoptFile(fileName);
}

void TWorkbookImpl::Close(bool SaveChanges) {
  CheckOpen();
  if (SaveChanges && !FSaved) Save();
  Discard();
  if (auto app = FApp.lock()) app->Forget(this);
}

void TWorkbookImpl::Discard() {
  FClosed = true;
  FSheets.clear();
  FDecoder.reset();
  FArchive.Discard();
}

// ---------------------------------------------------------------------------
// Sheet

void TSheetImpl::SetName(const QString& name) {
  std::shared_ptr<TWorkbookImpl> book = Book();
  if (name == FName) return;
  if (name.isEmpty() || name.size() > MaxSheetNameChars)
    throw EOleException(QStringLiteral("A sheet name has 1 to %1 characters: \"%2\"").arg(MaxSheetNameChars).arg(name));
  for (QChar ch : name)
    if (QStringLiteral(":\\/?*[]").contains(ch))
      throw EOleException(QStringLiteral("A sheet name cannot hold : \\ / ? * [ or ]: \"%1\"").arg(name));
  if (name.startsWith(u'\'') || name.endsWith(u'\''))
    throw EOleException(QStringLiteral("A sheet name cannot start or end with an apostrophe: \"%1\"").arg(name));
  if (book->NameTaken(name, this))
    throw EOleException(QStringLiteral("That name is already taken: \"%1\"").arg(name));
  if (FInPackage)
    throw EOleException(QStringLiteral("Sheet \"%1\" of an existing workbook cannot be renamed").arg(FName));
  FName = name;
  book->MarkChanged();
}

RangePtr TSheetImpl::MakeRange(const TCellRect& rect, int kind) {
  Book();
  if (FKind != skWorksheet) throw EOleException(QStringLiteral("Sheet \"%1\" has no cells").arg(FName));
  return std::make_shared<TRangeImpl>(shared_from_this(), rect, kind);
}

RangePtr TSheetImpl::Range(const QString& address) { return MakeRange(ParseRange(address), rkCells); }

RangePtr TSheetImpl::UsedRange() {
  Book();
  if (FKind != skWorksheet) throw EOleException(QStringLiteral("Sheet \"%1\" has no cells").arg(FName));
  TCellRect rect{1, 1, 1, 1};
  if (!Store().UsedRect(rect)) rect = {1, 1, 1, 1};
  return MakeRange(rect, rkCells);
}

RangePtr TSheetImpl::Rows() { return MakeRange(TCellRect{1, 1, MaxRows, MaxColumns}, rkRows); }

RangePtr TSheetImpl::Cells(int row, int col) { return Rows()->Cells(row, col); }

// ---------------------------------------------------------------------------
// Server

class TRealServer : public TOleServer {
 public:
  ApplicationPtr GetActiveOleObject(const QString&) override { return nullptr; }
  ApplicationPtr CreateOleObject(const QString& className) override {
    if (className.compare(QStringLiteral("excel.application"), Qt::CaseInsensitive) != 0)
      throw EOleSysError(QStringLiteral("Invalid class string"));
    return NewApplication();
  }
};

TRealServer gRealServer;
TOleServer* gServer = &gRealServer;

}  // namespace

ApplicationPtr NewApplication() { return std::make_shared<TApplicationImpl>(); }
ApplicationPtr GetActiveOleObject(const QString& className) { return gServer->GetActiveOleObject(className); }
ApplicationPtr CreateOleObject(const QString& className) { return gServer->CreateOleObject(className); }

TOleServer* SetOleServer(TOleServer* server) {
  TOleServer* previous = gServer == &gRealServer ? nullptr : gServer;
  gServer = server ? server : &gRealServer;
  return previous;
}

}  // namespace Excel
