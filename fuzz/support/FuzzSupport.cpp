#include "fuzz/support/FuzzSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzz {

namespace {
void DropMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::abort();
  }
}

// The program's name for the application object.
int gArgc = 1;
char gName[] = "tallowfinch-fuzz";
char* gArgv[] = {gName, nullptr};
}  // namespace

void QuietMessages() { qInstallMessageHandler(DropMessages); }

void StartGuiApplication() {
  if (QCoreApplication::instance()) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Deliberately never deleted: the fuzzer ends the process with exit().
  new QGuiApplication(gArgc, gArgv);
}

void StartWidgetApplication() {
  if (QCoreApplication::instance()) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Deliberately never deleted, as above.
  new QApplication(gArgc, gArgv);
}

void StartCoreApplication() {
  if (QCoreApplication::instance()) return;
  new QCoreApplication(gArgc, gArgv);
}

QString Utf16(const uint8_t* Data, size_t Size) {
  QString text(static_cast<qsizetype>(Size / 2), Qt::Uninitialized);
  for (size_t i = 0; i + 1 < Size; i += 2)
    text[static_cast<qsizetype>(i / 2)] = QChar(char16_t(Data[i] | (Data[i + 1] << 8)));
  return text;
}

QString AnyText(const uint8_t* Data, size_t Size) {
  if (Size > 0 && Data[0] == 0xFF) return Utf16(Data + 1, Size - 1);
  return Utf8(Data, Size);
}

TInputStream::TInputStream(const uint8_t* Data, size_t Size) {
  if (Size) WriteBuffer(Data, static_cast<Int64>(Size));
  SetPosition(0);
}

QString TargetOption(int Argc, char** Argv, const char* Name) {
  const QByteArray prefix = QByteArray("--") + Name + '=';
  for (int i = 1; i < Argc; ++i)
    if (QByteArray(Argv[i]).startsWith(prefix)) return QString::fromLocal8Bit(Argv[i] + prefix.size());
  return QString();
}

void WriteSeedsWhenAsked(int Argc, char** Argv, void (*WriteSeeds)(const QString& Folder)) {
  const QString folder = TargetOption(Argc, Argv, "write-seeds");
  if (folder.isEmpty()) return;
  WriteSeeds(folder);
  std::exit(0);
}

void WriteSeed(const QString& Folder, const QString& Name, const QByteArray& Bytes) {
  QDir().mkpath(Folder);
  QFile file(QDir(Folder).filePath(Name));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(Bytes) != Bytes.size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
    std::exit(1);
  }
  std::fprintf(stderr, "wrote %s (%lld bytes)\n", qPrintable(file.fileName()), static_cast<long long>(Bytes.size()));
}

void Check(bool Condition, const char* What) {
  if (Condition) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", What);
  std::abort();
}

}  // namespace fuzz

// libgdiplus keeps the fontconfig font sets and patterns of its font
// collection until the process ends (the layer never shuts it down, see
// platform/gdiplusapi/GdiPlusRuntime.cpp); targets that draw text through it
// would report them as leaks. The same text layout goes through pango's cairo
// font map, which creates cairo FreeType font faces and scaled fonts for it
// (cairo_ft_font_face_create_for_pattern, cairo_scaled_font_create) and drops
// them inside its own caches: full stacks (fast_unwind_on_malloc=0) show
// libgdiplus's gdip_pango_setup_layout as the caller and no frame of ours in
// between. Our own code has no entry here.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libcairo.so\n"; }
