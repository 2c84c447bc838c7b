// The grid's exports read by other programs: xmllint accepts the XML and the
// XHTML documents, Python's json module loads the JSON back to the same
// texts. Each test is skipped when its reader is not installed
// (scripts/install-deps installs them).

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "grid/model/KitGrid.h"
#include "grid/model/KitGridSettingGroups.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

using gridtest::NewGrid;

namespace {

struct TRun {
  int Code = -1;
  QString Out, Err;
};

TRun RunTool(const QString& Program, const QStringList& Args, const QByteArray& Input = QByteArray()) {
  QProcess p;
  p.start(Program, Args);
  p.waitForStarted(10000);
  if (!Input.isEmpty()) p.write(Input);
  p.closeWriteChannel();
  p.waitForFinished(60000);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
}

// Texts that are hard on every format.
const QStringList& AwkwardTexts() {
  static const QStringList texts = {
      "plain", "a&b <c> \"d\" 'e'", QString::fromUtf8("é ü € 漢字 😀"), "line1\r\nline2", "tab\there",
      "back\\slash", "", "x://y/z?q=1&r=2", "]]> <!-- -->"};
  return texts;
}

std::unique_ptr<TKitStringGrid> AwkwardGrid() {
  auto g = NewGrid();
  g->SetFixedCols(0);
  g->SetFixedRows(0);
  g->SetColCount(3);
  g->SetRowCount(3);
  for (int i = 0; i < AwkwardTexts().size(); ++i) g->SetCells(i % 3, i / 3, AwkwardTexts()[i]);
  return g;
}

TEST(Interop, XmllintAcceptsTheXmlInEveryEncoding) {
  const QString xmllint = QStandardPaths::findExecutable("xmllint");
  if (xmllint.isEmpty()) GTEST_SKIP() << "xmllint not installed";
  QTemporaryDir dir;
  auto g = AwkwardGrid();
  for (const char* enc : {"ISO-8859-1", "UTF-8", "windows-1252"}) {
    g->SetXMLEncoding(QString::fromLatin1(enc));
    const QString path = dir.filePath(QStringLiteral("g-%1.xml").arg(QString::fromLatin1(enc)));
    g->SaveToXML(path, "list", "record", nullptr, true);
    const TRun r = RunTool(xmllint, {"--noout", "--nonet", path});
    EXPECT_EQ(r.Code, 0) << enc << ": " << r.Err.toStdString();
    // And the texts xmllint sees are ours (the record of the multi-line cell).
    const TRun x = RunTool(xmllint, {"--nonet", "--xpath", "string(/list/record[2]/FIELD0)", path});
    QString seen = x.Out;
    if (seen.endsWith(u'\n')) seen.chop(1);  // xmllint ends its output with a line break
    EXPECT_EQ(seen, "line1\r\nline2") << enc;
  }
}

TEST(Interop, XmllintAcceptsTheXhtml) {
  const QString xmllint = QStandardPaths::findExecutable("xmllint");
  if (xmllint.isEmpty()) GTEST_SKIP() << "xmllint not installed";
  QTemporaryDir dir;
  auto g = AwkwardGrid();
  g->MergeCells(0, 2, 2, 1);
  g->SetURLShow(true);
  g->HTMLSettings()->SetXHTML(true);
  g->HTMLSettings()->SetConvertSpecialChars(true);
  g->HTMLSettings()->ColWidths()->Add(50);
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetSize(4, 4);
  g->CreateCellGraphic(2, 2)->SetBitmap(bmp.get(), false, haLeft, vaTop);
  const QString path = dir.filePath("g.xhtml");
  g->SaveToHTML(path, false, true);
  const TRun r = RunTool(xmllint, {"--noout", "--nonet", path});
  EXPECT_EQ(r.Code, 0) << r.Err.toStdString();
}

TEST(Interop, PythonLoadsTheJsonBackToTheSameTexts) {
  const QString python = QStandardPaths::findExecutable("python3");
  if (python.isEmpty()) GTEST_SKIP() << "python3 not installed";
  QTemporaryDir dir;
  auto g = AwkwardGrid();
  TStringList names;
  names.Add("first");
  names.Add("se\"cond");
  names.Add(QString::fromUtf8("trõis"));
  const QString path = dir.filePath("g.json");
  g->SaveToJSON(path, "row", &names);
  const QString keys = QStringLiteral(
      "import json,sys\n"
      "d=json.load(open(sys.argv[1],encoding='utf-8'))\n"
      "sys.stdout.buffer.write('\\x1e'.join(list(c.keys())[0] for r in d['grid'] for c in r['row']).encode('utf-8'))\n");
  const TRun k = RunTool(python, {"-c", keys, path});
  ASSERT_EQ(k.Code, 0) << k.Err.toStdString();
  const QStringList gotKeys = k.Out.split(QChar(0x1E));
  ASSERT_EQ(gotKeys.size(), 9);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(gotKeys[i], names.Strings(i % 3));
  // Decode every value with Python and compare it with the cell.
  const QString values = QStringLiteral(
      "import json,sys\n"
      "d=json.load(open(sys.argv[1],encoding='utf-8'))\n"
      "sys.stdout.buffer.write('\\x1e'.join(list(c.values())[0] for r in d['grid'] for c in r['row']).encode('utf-8'))\n");
  const TRun v = RunTool(python, {"-c", values, path});
  ASSERT_EQ(v.Code, 0) << v.Err.toStdString();
  EXPECT_EQ(v.Out.split(QChar(0x1E)), AwkwardTexts());
}

}  // namespace
