#pragma once
// A recording automation server for tests: it puts a logging layer over the
// real workbook objects (or over any other implementation), so that a test
// checks which members were called, in which order, with which arguments,
// and still gets real files. Each line names the object path and the member:
//
//   GetActiveOleObject(excel.application) -> none
//   CreateOleObject(excel.application)
//   WorkBooks.Count -> 0
//   WorkBooks.Add
//   Sheets(1).Name -> Sheet1
//   Sheets(1).Range(A1:L57).Value := 57x12
//   Workbook.SaveAs(/tmp/x.xls)
//   Quit
//
// Install it with Excel::SetOleServer(&server) (TScopedServer does it for a
// scope).

#include <QStringList>
#include <functional>
#include <memory>

#include "platform/office/Excel.h"

namespace officetest {

class TRecordingServer : public Excel::TOleServer {
 public:
  TRecordingServer();

  // What GetActiveOleObject answers: nullptr (the default, as the real
  // server) or an instance that a test prepared, e.g. with an open workbook.
  Excel::ApplicationPtr RunningInstance;
  // Row that ActiveCell reports; 0 takes the inner object's.
  int ActiveCellRow = 0;
  // CreateOleObject raises EOleSysError "Invalid class string", as a machine
  // without the server does.
  bool ServerMissing = false;
  // Makes the inner application of CreateOleObject (default: the real one).
  std::function<Excel::ApplicationPtr()> Factory;

  Excel::ApplicationPtr GetActiveOleObject(const QString& className) override;
  Excel::ApplicationPtr CreateOleObject(const QString& className) override;

  QStringList& Log() { return *FLog; }
  // The log lines that start with one of the prefixes (all when empty).
  QStringList Lines(const QStringList& prefixes = {}) const;
  void Clear() { FLog->clear(); }

  // Wraps any application in the recording layer.
  Excel::ApplicationPtr Wrap(Excel::ApplicationPtr inner);

 private:
  std::shared_ptr<QStringList> FLog;
};

// Installs a server for the life of the object.
class TScopedServer {
 public:
  explicit TScopedServer(Excel::TOleServer* server) : FPrevious(Excel::SetOleServer(server)) {}
  ~TScopedServer() { Excel::SetOleServer(FPrevious); }

 private:
  Excel::TOleServer* FPrevious;
};

// "57x12" for an array, the text for a scalar.
QString Describe(const QVariant& value);

}  // namespace officetest
