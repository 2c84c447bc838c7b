#pragma once
// Real spreadsheet programs as test oracles: LibreOffice headless (its own
// profile per fixture, every run bounded in time) and Debian's python3 with
// openpyxl. Tests that use them are labelled `interop`; they skip only when
// a program is not installed (scripts/install-deps installs both).

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <map>

#include "tests/support/TestSupport.h"

namespace officetest {

inline const QString kPython = QStringLiteral("/usr/bin/python3");
// LibreOffice's CSV filter: UTF-8, comma, double quotes, every sheet to a
// file of its own ("<base>-<sheet>.csv").
inline const QString kPerSheetCsv =
    QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,false,true,false,false,false,-1");

struct TRun {
  int ExitCode = -1;
  QByteArray Out, Err;
};

inline TRun RunProcess(const QString& program, const QStringList& args, int timeoutMs = 180000) {
  QProcess p;
  p.start(program, args);
  TRun r;
  if (!p.waitForStarted(30000)) {
    r.Err = "cannot start " + program.toUtf8();
    return r;
  }
  p.closeWriteChannel();
  if (!p.waitForFinished(timeoutMs)) {
    p.kill();
    p.waitForFinished(10000);
    r.Err = "timed out: " + program.toUtf8();
    return r;
  }
  r.ExitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.Out = p.readAllStandardOutput();
  r.Err = p.readAllStandardError();
  return r;
}

inline bool HaveOpenpyxl() {
  static const bool have =
      QFile::exists(kPython) && RunProcess(kPython, {"-c", "import openpyxl"}, 60000).ExitCode == 0;
  return have;
}

inline QString Soffice() { return QStandardPaths::findExecutable(QStringLiteral("soffice")); }

#define REQUIRE_LIBREOFFICE() \
  if (officetest::Soffice().isEmpty()) GTEST_SKIP() << "LibreOffice (soffice) is not installed: run scripts/install-deps"
#define REQUIRE_OPENPYXL() \
  if (!officetest::HaveOpenpyxl()) GTEST_SKIP() << "python3-openpyxl is not installed: run scripts/install-deps"

// Minimal RFC 4180 reading of LibreOffice's CSV: quoted fields with doubled
// quotes and line breaks.
inline QList<QStringList> ParseCsv(const QString& text) {
  QList<QStringList> rows;
  QStringList row;
  QString field;
  bool quoted = false, any = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text[i];
    if (quoted) {
      if (ch == u'"') {
        if (i + 1 < text.size() && text[i + 1] == u'"') field += u'"', ++i;
        else quoted = false;
      } else {
        field += ch;
      }
    } else if (ch == u'"') {
      quoted = true;
      any = true;
    } else if (ch == u',') {
      row << field;
      field.clear();
    } else if (ch == u'\n' || ch == u'\r') {
      if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      row << field;
      rows << row;
      row.clear();
      field.clear();
      any = false;
    } else {
      field += ch;
      any = true;
    }
  }
  if (any || !field.isEmpty() || !row.isEmpty()) rows << (row << field);
  return rows;
}

// A fixture with a temporary folder, a LibreOffice profile of its own and
// the conversions and scripts the interop tests run.
class OfficeFixture : public ::testing::Test {
 protected:
  testsupport::TempDir Dir;
  QTemporaryDir Profile;

  // Converts file with LibreOffice into outDir; answers the files it made.
  QStringList Convert(const QString& file, const QString& filter, const QString& outDir,
                      const QStringList& extra = {}) {
    return Convert(QStringList{file}, filter, outDir, extra);
  }
  // Converts several files in one run of LibreOffice.
  QStringList Convert(const QStringList& files, const QString& filter, const QString& outDir,
                      const QStringList& extra = {}) {
    const QString file = files.join(u", ");
    QDir().mkpath(outDir);
    const QStringList before = QDir(outDir).entryList(QDir::Files);
    QStringList args{QStringLiteral("-env:UserInstallation=file://") + Profile.path(), "--headless", "--norestore",
                     "--nolockcheck"};
    args << extra << "--convert-to" << filter << "--outdir" << outDir << files;
    const TRun r = RunProcess(Soffice(), args);
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    QStringList made;
    for (const QString& f : QDir(outDir).entryList(QDir::Files))
      if (!before.contains(f)) made << QDir(outDir).filePath(f);
    EXPECT_FALSE(made.isEmpty()) << "LibreOffice made nothing from " << file.toStdString() << ": "
                                 << r.Out.toStdString() << r.Err.toStdString();
    return made;
  }

  // Each sheet of a workbook as LibreOffice exports it to CSV, by sheet name.
  std::map<QString, QList<QStringList>> SheetsAsCsv(const QString& file, const QString& outDir) {
    std::map<QString, QList<QStringList>> sheets;
    const QString base = QFileInfo(file).completeBaseName();
    for (const QString& csv : Convert(file, kPerSheetCsv, outDir)) {
      QFile f(csv);
      EXPECT_TRUE(f.open(QIODevice::ReadOnly));
      QString name = QFileInfo(csv).completeBaseName();
      if (name.startsWith(base + u'-')) name = name.mid(base.size() + 1);
      sheets[name] = ParseCsv(QString::fromUtf8(f.readAll()));
    }
    return sheets;
  }

  // Runs a python3 script; answers what it printed as JSON.
  QJsonDocument Python(const QString& script, const QStringList& args) {
    const TRun r = RunProcess(kPython, QStringList{"-c", script} + args, 120000);
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    return QJsonDocument::fromJson(r.Out);
  }
};

}  // namespace officetest
