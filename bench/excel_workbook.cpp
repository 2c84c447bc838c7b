// Workbooks of 100,000 rows x 12 text cells (lead-like texts, about 22 MB of
// UTF-8), side by side:
// - written through the automation facade (array built from the grid's
//   texts, one Value assignment, SaveAs), against libxlsxwriter called
//   directly with the same texts, against LibreOffice headless converting
//   the same lines from CSV;
// - read back through the facade (Open, UsedRange, one Value call, every
//   cell to text), against openpyxl in read-only mode.
// - the grid's own save and load: a TKitStringGrid of the same texts saved
//   with SaveToXLS (BM_GridSaveToXLS) and a grid loading the file back with
//   LoadFromXLS (BM_GridLoadFromXLS).
// Each in-process case runs in a child process so that its peak resident
// memory (ru_maxrss) is its own; the time counted is the write or read
// alone, not the making of the texts. LibreOffice and openpyxl are timed
// from process start to exit (their start-up included).

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "bench/support/BenchSupport.h"
#include "grid/model/KitGrid.h"
#include "platform/office/Excel.h"

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 12;

std::string CellText(int r, int c) {
  char buf[96];
  switch (c) {
    case 0: std::snprintf(buf, sizeof buf, "Entreprise Dupont & Fils %d", r); break;
    case 1: std::snprintf(buf, sizeof buf, "Plombier chauffagiste"); break;
    case 2: std::snprintf(buf, sizeof buf, "%d rue de la République", r % 300 + 1); break;
    case 3: std::snprintf(buf, sizeof buf, "%05d", (r * 7) % 96000 + 1000); break;
    case 4: std::snprintf(buf, sizeof buf, "Saint-Étienne"); break;
    case 5: std::snprintf(buf, sizeof buf, "01 23 45 %02d %02d", r % 100, (r / 100) % 100); break;
    case 6: std::snprintf(buf, sizeof buf, "06 12 34 %02d %02d", (r / 7) % 100, r % 100); break;
    case 7: std::snprintf(buf, sizeof buf, "contact%d@example.fr", r); break;
    case 8: std::snprintf(buf, sizeof buf, "https://www.example%d.fr", r); break;
    case 9: std::snprintf(buf, sizeof buf, "%014d", r * 13); break;
    case 10: std::snprintf(buf, sizeof buf, "Ouvert du lundi au vendredi"); break;
    default: std::snprintf(buf, sizeof buf, "Note \"%d\", voir fiche", r); break;
  }
  return buf;
}

QString Folder() {
  static QTemporaryDir dir;
  return dir.path();
}

QString FacadeFile() { return Folder() + QStringLiteral("/facade.xlsx"); }
QString GridFile() { return Folder() + QStringLiteral("/grid.xlsx"); }

// Resident memory of this process when the texts are ready (before the
// measured part), in kilobytes.
long gInputKb = 0;
long ResidentKb() {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
  return 0;
}

// Runs work in a child process; answers its seconds (as the child measured
// them) and sets peakKb to the child's peak resident memory and inputKb to
// its resident memory when the measured part began.
double InChild(const std::function<double()>& work, long& peakKb, long& inputKb) {
  Folder();  // made by the parent, so that every child writes into the same one
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    double result[2] = {-1, 0};
    try {
      result[0] = work();
    } catch (...) {
    }
    result[1] = double(gInputKb);
    if (write(fds[1], result, sizeof result) != sizeof result) _exit(2);
    _exit(0);
  }
  close(fds[1]);
  double result[2] = {-1, 0};
  if (read(fds[0], result, sizeof result) != sizeof result) result[0] = -1;
  const double seconds = result[0];
  inputKb = long(result[1]);
  close(fds[0]);
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  peakKb = usage.ru_maxrss;
  return seconds;
}

void Report(benchmark::State& state, double seconds, long peakKb, long inputKb) {
  if (seconds < 0) {
    state.SkipWithError("the measured run failed");
    return;
  }
  state.SetIterationTime(seconds);
  state.counters["peak_MB"] = double(peakKb) / 1024.0;
  state.counters["input_MB"] = double(inputKb) / 1024.0;
  state.counters["cells"] = double(kRows) * kCols;
}

void BM_FacadeWrite(benchmark::State& state) {
  for (auto _ : state) {
    long peak = 0, input = 0;
    const double s = InChild(
        [] {
          // The grid's texts, as the grid holds them.
          std::vector<QString> texts;
          texts.reserve(size_t(kRows) * kCols);
          for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) texts.push_back(QString::fromUtf8(CellText(r, c)));
          gInputKb = ResidentKb();
          QElapsedTimer t;
          t.start();
          Excel::ApplicationPtr app = Excel::CreateOleObject(QStringLiteral("excel.application"));
          Excel::WorkbookPtr book = app->WorkBooks()->Add();
          TVarArray values(kRows, kCols);
          for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) values.Set(r, c, texts[size_t(r) * kCols + c]);
          book->Sheets(1)->Range(Excel::RangeAddress({1, 1, kRows, kCols}))->SetValue(QVariant::fromValue(values));
          book->SaveAs(FacadeFile());
          app->Quit();
          return t.nsecsElapsed() / 1e9;
        },
        peak, input);
    Report(state, s, peak, input);
  }
}

void BM_GridSaveToXLS(benchmark::State& state) {
  for (auto _ : state) {
    long peak = 0, input = 0;
    const double s = InChild(
        [] {
          auto grid = CreateUnique<TKitStringGrid>(nullptr);
          grid->SetFixedRows(0);
          grid->SetFixedCols(0);
          grid->SetColCount(kCols);
          grid->SetRowCount(kRows);
          grid->BeginUpdate();
          for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) grid->SetCells(c, r, QString::fromUtf8(CellText(r, c)));
          grid->EndUpdate();
          gInputKb = ResidentKb();
          QElapsedTimer t;
          t.start();
          grid->SaveToXLS(GridFile(), false);
          return t.nsecsElapsed() / 1e9;
        },
        peak, input);
    Report(state, s, peak, input);
  }
}

void BM_GridLoadFromXLS(benchmark::State& state) {
  if (!QFile::exists(GridFile())) {
    state.SkipWithError("run BM_GridSaveToXLS first");
    return;
  }
  for (auto _ : state) {
    long peak = 0, input = 0;
    const double s = InChild(
        [] {
          auto grid = CreateUnique<TKitStringGrid>(nullptr);
          grid->SetFixedRows(0);
          grid->SetFixedCols(0);
          gInputKb = ResidentKb();
          QElapsedTimer t;
          t.start();
          grid->LoadFromXLS(GridFile());
          const double seconds = t.nsecsElapsed() / 1e9;
          if (grid->RowCount() != kRows || grid->Cells(3, 5) != QString::fromUtf8(CellText(5, 3))) return -1.0;
          return seconds;
        },
        peak, input);
    Report(state, s, peak, input);
  }
}

void BM_RawLibxlsxwriterWrite(benchmark::State& state) {
  for (auto _ : state) {
    long peak = 0, input = 0;
    const double s = InChild(
        [] {
          std::vector<std::string> texts;
          texts.reserve(size_t(kRows) * kCols);
          for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) texts.push_back(CellText(r, c));
          gInputKb = ResidentKb();
          QElapsedTimer t;
          t.start();
          lxw_workbook_options options = {};
          options.constant_memory = LXW_TRUE;
          const QByteArray name = QFile::encodeName(Folder() + QStringLiteral("/raw.xlsx"));
          lxw_workbook* wb = workbook_new_opt(name.constData(), &options);
          lxw_worksheet* ws = workbook_add_worksheet(wb, "Sheet1");
          for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
              worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), texts[size_t(r) * kCols + c].c_str(), nullptr);
          if (workbook_close(wb) != LXW_NO_ERROR) return -1.0;
          return t.nsecsElapsed() / 1e9;
        },
        peak, input);
    Report(state, s, peak, input);
  }
}

QString Csv() {
  const QString path = Folder() + QStringLiteral("/lines.csv");
  if (!QFile::exists(path)) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    std::string out;
    for (int r = 0; r < kRows; ++r) {
      for (int c = 0; c < kCols; ++c) {
        std::string t = CellText(r, c);
        std::string q = "\"";
        for (char ch : t) q += ch == '"' ? std::string("\"\"") : std::string(1, ch);
        out += q + "\"" + (c + 1 < kCols ? "," : "\n");
      }
    }
    f.write(out.data(), qint64(out.size()));
  }
  return path;
}

double RunTimed(const QString& program, const QStringList& args) {
  QProcess p;
  QElapsedTimer t;
  t.start();
  p.start(program, args);
  if (!p.waitForStarted(30000) || !p.waitForFinished(600000) || p.exitCode() != 0) return -1;
  return t.nsecsElapsed() / 1e9;
}

void BM_LibreOfficeCsvToXlsx(benchmark::State& state) {
  const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
  if (soffice.isEmpty()) {
    state.SkipWithError("soffice is not installed");
    return;
  }
  Folder();
  const QString csv = Csv();
  const QString profile = Folder() + QStringLiteral("/lo-profile");
  const QStringList args{QStringLiteral("-env:UserInstallation=file://") + profile, "--headless", "--norestore",
                         "--infilter=CSV:44,34,76,1,1/2/2/2/3/2/4/2/5/2/6/2/7/2/8/2/9/2/10/2/11/2/12/2", "--convert-to", "xlsx",
                         "--outdir", Folder() + QStringLiteral("/lo"), csv};
  // A first run makes the profile; it is not counted.
  RunTimed(soffice, args);
  for (auto _ : state) {
    const double s = RunTimed(soffice, args);
    if (s < 0) {
      state.SkipWithError("LibreOffice failed");
      return;
    }
    state.SetIterationTime(s);
    state.counters["cells"] = double(kRows) * kCols;
  }
}

void BM_FacadeRead(benchmark::State& state) {
  if (!QFile::exists(FacadeFile())) {
    state.SkipWithError("run BM_FacadeWrite first");
    return;
  }
  for (auto _ : state) {
    long peak = 0, input = 0;
    const double s = InChild(
        [] {
          gInputKb = ResidentKb();
          QElapsedTimer t;
          t.start();
          Excel::ApplicationPtr app = Excel::CreateOleObject(QStringLiteral("excel.application"));
          Excel::WorkbookPtr book = app->WorkBooks()->Open(FacadeFile());
          Excel::WorksheetPtr sheet = book->Sheets(1);
          sheet->UsedRange();
          const QString address = sheet->UsedRange()->Address();
          const TVarArray values = VarArrayOf(sheet->Range(address)->Value());
          qint64 chars = 0;
          for (int r = 1; r <= values.RowCount(); ++r)
            for (int c = 1; c <= values.ColCount(); ++c) chars += VarToStr(values.At(r, c)).size();
          book->Close(false);
          app->Quit();
          if (values.RowCount() != kRows || chars == 0) return -1.0;
          return t.nsecsElapsed() / 1e9;
        },
        peak, input);
    Report(state, s, peak, input);
  }
}

void BM_OpenpyxlReadOnly(benchmark::State& state) {
  if (!QFile::exists(FacadeFile())) {
    state.SkipWithError("run BM_FacadeWrite first");
    return;
  }
  const QString script = QStringLiteral(
      "import sys, openpyxl\n"
      "wb = openpyxl.load_workbook(sys.argv[1], read_only=True)\n"
      "n = 0\n"
      "for row in wb.active.iter_rows(values_only=True):\n"
      "    for v in row:\n"
      "        n += len(str(v))\n"
      "assert n > 0\n");
  for (auto _ : state) {
    const double s = RunTimed(QStringLiteral("/usr/bin/python3"), {"-c", script, FacadeFile()});
    if (s < 0) {
      state.SkipWithError("python3 with openpyxl failed");
      return;
    }
    state.SetIterationTime(s);
    state.counters["cells"] = double(kRows) * kCols;
  }
}

}  // namespace

BENCHMARK(BM_FacadeWrite)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GridSaveToXLS)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawLibxlsxwriterWrite)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LibreOfficeCsvToXlsx)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_FacadeRead)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GridLoadFromXLS)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenpyxlReadOnly)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
