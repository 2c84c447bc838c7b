#pragma once
// ODBC drivers for tests: whether one is registered with the driver manager,
// and SQLite databases made by Python's sqlite3 module (independent of the
// ODBC layer under test).

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>

namespace odbctest {

inline bool HaveDriver(const QString& name) {
  QProcess p;
  p.start(QStringLiteral("odbcinst"), {QStringLiteral("-q"), QStringLiteral("-d")});
  if (!p.waitForFinished(30000)) return false;
  return QString::fromUtf8(p.readAllStandardOutput()).split(u'\n').contains(u'[' + name + u']');
}

// Table "people": a non-ASCII name, a real, a timestamp, a bit and a NULL
// note; then an empty name and a 10,000-character note; nothing else.
inline const char* const kTypedTable = R"(
create table people(id integer, name text, score real, born timestamp, member bit, note text);
insert into people values(1, 'Zoë «Ørsted» 漢字', 2.5, '2024-03-05 10:30:00', 1, NULL);
insert into people values(2, '', -1e-3, '1999-12-31 00:00:00', 0, '{long}');
)";

// Runs the statements (where "{long}" stands for 10,000 x's) into a new
// SQLite database file.
inline bool MakeSqlite(const QString& file, const QString& statements) {
  QString sql = statements;
  sql.replace(QStringLiteral("{long}"), QString(10000, u'x'));
  QProcess p;
  p.start(QStringLiteral("/usr/bin/python3"),
          {QStringLiteral("-c"),
           QStringLiteral("import sqlite3,sys\nc=sqlite3.connect(sys.argv[1])\nc.executescript(sys.stdin.read())\n"
                          "c.commit()"),
           file});
  if (!p.waitForStarted(30000)) return false;
  p.write(sql.toUtf8());
  p.closeWriteChannel();
  if (!p.waitForFinished(60000)) return false;
  if (p.exitCode() != 0) ADD_FAILURE() << p.readAllStandardError().toStdString();
  return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}  // namespace odbctest

#define REQUIRE_ODBC_DRIVER(name) \
  if (!odbctest::HaveDriver(name)) GTEST_SKIP() << "ODBC driver " name " is not registered: run scripts/install-deps"
