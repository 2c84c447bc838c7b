#include "tests/platform/office/support/RecordingExcel.h"

namespace officetest {

using namespace Excel;

namespace {

using TLog = std::shared_ptr<QStringList>;

QString Join(const QString& path, const QString& member) { return path.isEmpty() ? member : path + u'.' + member; }

class TRange : public Range {
 public:
  TRange(RangePtr inner, TLog log, QString path, int activeRow = 0)
      : FInner(std::move(inner)), FLog(std::move(log)), FPath(std::move(path)), FActiveRow(activeRow) {}
  QString Address() override {
    const QString a = FInner->Address();
    FLog->append(Join(FPath, QStringLiteral("Address -> ")) + a);
    return a;
  }
  int Row() override {
    const int r = FActiveRow > 0 ? FActiveRow : FInner->Row();
    FLog->append(Join(FPath, QStringLiteral("Row -> %1").arg(r)));
    return r;
  }
  int Column() override {
    const int c = FInner->Column();
    FLog->append(Join(FPath, QStringLiteral("Column -> %1").arg(c)));
    return c;
  }
  int Count() override {
    const int n = FInner->Count();
    FLog->append(Join(FPath, QStringLiteral("Count -> %1").arg(n)));
    return n;
  }
  RangePtr Rows() override { return std::make_shared<TRange>(FInner->Rows(), FLog, Join(FPath, QStringLiteral("Rows"))); }
  RangePtr Columns() override {
    return std::make_shared<TRange>(FInner->Columns(), FLog, Join(FPath, QStringLiteral("Columns")));
  }
  RangePtr Cells(int row, int col) override {
    return std::make_shared<TRange>(FInner->Cells(row, col), FLog, Join(FPath, QStringLiteral("Cells(%1,%2)").arg(row).arg(col)));
  }
  QVariant Value() override {
    const QVariant v = FInner->Value();
    FLog->append(Join(FPath, QStringLiteral("Value -> ")) + Describe(v));
    return v;
  }
  void SetValue(const QVariant& value) override {
    FLog->append(Join(FPath, QStringLiteral("Value := ")) + Describe(value));
    FInner->SetValue(value);
  }

 private:
  RangePtr FInner;
  TLog FLog;
  QString FPath;
  int FActiveRow;
};

class TSheet : public Worksheet {
 public:
  TSheet(WorksheetPtr inner, TLog log, QString path) : FInner(std::move(inner)), FLog(std::move(log)), FPath(std::move(path)) {}
  QString Name() override {
    const QString n = FInner->Name();
    FLog->append(Join(FPath, QStringLiteral("Name -> ")) + n);
    return n;
  }
  void SetName(const QString& name) override {
    FLog->append(Join(FPath, QStringLiteral("Name := ")) + name);
    FInner->SetName(name);
  }
  RangePtr Range(const QString& address) override {
    return std::make_shared<TRange>(FInner->Range(address), FLog, Join(FPath, QStringLiteral("Range(%1)").arg(address)));
  }
  RangePtr UsedRange() override {
    RangePtr r = FInner->UsedRange();
    FLog->append(Join(FPath, QStringLiteral("UsedRange")));
    return std::make_shared<TRange>(r, FLog, Join(FPath, QStringLiteral("UsedRange")));
  }
  RangePtr Rows() override { return std::make_shared<TRange>(FInner->Rows(), FLog, Join(FPath, QStringLiteral("Rows"))); }
  RangePtr Cells(int row, int col) override {
    return std::make_shared<TRange>(FInner->Cells(row, col), FLog, Join(FPath, QStringLiteral("Cells(%1,%2)").arg(row).arg(col)));
  }

 private:
  WorksheetPtr FInner;
  TLog FLog;
  QString FPath;
};

class TSheets : public Sheets {
 public:
  TSheets(SheetsPtr inner, TLog log, QString path) : FInner(std::move(inner)), FLog(std::move(log)), FPath(std::move(path)) {}
  int Count() override {
    const int n = FInner->Count();
    FLog->append(Join(FPath, QStringLiteral("Count -> %1").arg(n)));
    return n;
  }
  WorksheetPtr item(int index) override {
    WorksheetPtr s = FInner->item(index);
    const QString path = FPath + QStringLiteral("(%1)").arg(index);
    FLog->append(path);
    return std::make_shared<TSheet>(s, FLog, path);
  }
  WorksheetPtr Add() override {
    FLog->append(Join(FPath, QStringLiteral("Add")));
    return std::make_shared<TSheet>(FInner->Add(), FLog, Join(FPath, QStringLiteral("Add")));
  }

 private:
  SheetsPtr FInner;
  TLog FLog;
  QString FPath;
};

class TWorkbook : public Workbook {
 public:
  TWorkbook(WorkbookPtr inner, TLog log) : FInner(std::move(inner)), FLog(std::move(log)) {}
  QString Name() override { return FInner->Name(); }
  QString FullName() override { return FInner->FullName(); }
  SheetsPtr Sheets() override { return std::make_shared<TSheets>(FInner->Sheets(), FLog, QStringLiteral("Sheets")); }
  using Workbook::Sheets;
  SheetsPtr WorkSheets() override {
    return std::make_shared<TSheets>(FInner->WorkSheets(), FLog, QStringLiteral("WorkSheets"));
  }
  WorksheetPtr ActiveSheet() override {
    FLog->append(QStringLiteral("ActiveSheet"));
    return std::make_shared<TSheet>(FInner->ActiveSheet(), FLog, QStringLiteral("ActiveSheet"));
  }
  void Save() override {
    FLog->append(QStringLiteral("Workbook.Save"));
    FInner->Save();
  }
  void SaveAs(const QString& fileName) override {
    FLog->append(QStringLiteral("Workbook.SaveAs(%1)").arg(fileName));
    FInner->SaveAs(fileName);
  }
  void Close(bool SaveChanges) override {
    FLog->append(QStringLiteral("Workbook.Close(SaveChanges=%1)").arg(SaveChanges ? "True" : "False"));
    FInner->Close(SaveChanges);
  }
  bool Saved() override {
    const bool s = FInner->Saved();
    FLog->append(QStringLiteral("Workbook.Saved -> %1").arg(s ? "True" : "False"));
    return s;
  }
  void SetSaved(bool value) override {
    FLog->append(QStringLiteral("Workbook.Saved := %1").arg(value ? "True" : "False"));
    FInner->SetSaved(value);
  }

 private:
  WorkbookPtr FInner;
  TLog FLog;
};

class TWorkbooks : public Workbooks {
 public:
  TWorkbooks(WorkbooksPtr inner, TLog log) : FInner(std::move(inner)), FLog(std::move(log)) {}
  int Count() override {
    const int n = FInner->Count();
    FLog->append(QStringLiteral("WorkBooks.Count -> %1").arg(n));
    return n;
  }
  WorkbookPtr item(int index) override {
    FLog->append(QStringLiteral("WorkBooks(%1)").arg(index));
    return std::make_shared<TWorkbook>(FInner->item(index), FLog);
  }
  WorkbookPtr Add() override {
    FLog->append(QStringLiteral("WorkBooks.Add"));
    return std::make_shared<TWorkbook>(FInner->Add(), FLog);
  }
  WorkbookPtr Open(const QString& fileName) override {
    FLog->append(QStringLiteral("WorkBooks.Open(%1)").arg(fileName));
    return std::make_shared<TWorkbook>(FInner->Open(fileName), FLog);
  }

 private:
  WorkbooksPtr FInner;
  TLog FLog;
};

class TApplication : public Application {
 public:
  TApplication(ApplicationPtr inner, TLog log, const TRecordingServer* server)
      : FInner(std::move(inner)), FLog(std::move(log)), FServer(server) {}
  WorkbooksPtr WorkBooks() override { return std::make_shared<TWorkbooks>(FInner->WorkBooks(), FLog); }
  WorkbookPtr ActiveWorkBook() override {
    WorkbookPtr book = FInner->ActiveWorkBook();
    FLog->append(QStringLiteral("ActiveWorkBook -> %1").arg(book ? QStringLiteral("workbook") : QStringLiteral("none")));
    return book ? std::make_shared<TWorkbook>(book, FLog) : nullptr;
  }
  RangePtr ActiveCell() override {
    return std::make_shared<TRange>(FInner->ActiveCell(), FLog, QStringLiteral("ActiveCell"), FServer->ActiveCellRow);
  }
  void Quit() override {
    FLog->append(QStringLiteral("Quit"));
    FInner->Quit();
  }

 private:
  ApplicationPtr FInner;
  TLog FLog;
  const TRecordingServer* FServer;
};

}  // namespace

QString Describe(const QVariant& value) {
  if (VarIsArray(value)) {
    const TVarArray a = value.value<TVarArray>();
    return QStringLiteral("%1x%2").arg(a.RowCount()).arg(a.ColCount());
  }
  if (VarIsEmpty(value)) return QStringLiteral("(empty)");
  if (VarIsError(value)) return QStringLiteral("(error %1)").arg(value.value<TOleError>().Text);
  return VarToStr(value);
}

TRecordingServer::TRecordingServer() : FLog(std::make_shared<QStringList>()) {}

ApplicationPtr TRecordingServer::Wrap(ApplicationPtr inner) {
  return inner ? std::make_shared<TApplication>(std::move(inner), FLog, this) : nullptr;
}

ApplicationPtr TRecordingServer::GetActiveOleObject(const QString& className) {
  FLog->append(QStringLiteral("GetActiveOleObject(%1) -> %2").arg(className, RunningInstance ? "instance" : "none"));
  return Wrap(RunningInstance);
}

ApplicationPtr TRecordingServer::CreateOleObject(const QString& className) {
  FLog->append(QStringLiteral("CreateOleObject(%1)").arg(className));
  if (ServerMissing || className.compare(QStringLiteral("excel.application"), Qt::CaseInsensitive) != 0)
    throw EOleSysError(QStringLiteral("Invalid class string"));
  return Wrap(Factory ? Factory() : NewApplication());
}

QStringList TRecordingServer::Lines(const QStringList& prefixes) const {
  if (prefixes.isEmpty()) return *FLog;
  QStringList out;
  for (const QString& line : *FLog)
    for (const QString& p : prefixes)
      if (line.startsWith(p)) {
        out.append(line);
        break;
      }
  return out;
}

}  // namespace officetest
