#pragma once
// Shared pieces of the fuzz targets: turning the fuzzer's bytes into the
// texts and streams the parsers read, the application object some parsers
// need, and the rule that tells an input the parser refused (the framework's
// exception, which the program reports to the user) from a fault (anything
// else: a sanitizer report, another exception, a crash, a hang).

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

namespace fuzz {

// Once per process, before the first input: drops Qt's debug and warning
// output (a damaged input may warn on every run), keeps fatal messages.
void QuietMessages();
// A QGuiApplication on the offscreen platform, created once (pictures,
// canvases and fonts need one). Call from LLVMFuzzerInitialize.
void StartGuiApplication();
// A QApplication on the offscreen platform, created once, for targets that
// drive controls (the grid). Call from LLVMFuzzerInitialize.
void StartWidgetApplication();
// A QCoreApplication, created once.
void StartCoreApplication();

// The bytes as they are.
inline QByteArray Bytes(const uint8_t* Data, size_t Size) {
  return QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
}
// The bytes decoded as UTF-8 (malformed sequences become U+FFFD).
inline QString Utf8(const uint8_t* Data, size_t Size) {
  return QString::fromUtf8(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
}
// The bytes as UTF-16 code units (little-endian pairs; an odd last byte is
// dropped): any code unit, unpaired surrogates included.
QString Utf16(const uint8_t* Data, size_t Size);
// The bytes as text: with a first byte 0xFF (which UTF-8 never holds), the
// rest as raw UTF-16; else all of them as UTF-8. Seeds are plain text files,
// and the fuzzer still reaches text no decoder would produce.
QString AnyText(const uint8_t* Data, size_t Size);

// A memory stream over a copy of the bytes, at position 0.
class TInputStream : public TMemoryStream {
 public:
  TInputStream(const uint8_t* Data, size_t Size);
};

// Runs Body; the framework's exceptions (class Exception and its
// descendants) are the parser's way of refusing an input and are taken.
// Any other exception leaves the fuzzer and is reported as a fault.
template <class Body>
void Refusable(Body&& body) {
  try {
    body();
  } catch (const Exception&) {
  }
}

// The value of a target's own command-line option "--Name=value" (libFuzzer
// leaves options starting with "--" to the target); empty when not given.
QString TargetOption(int Argc, char** Argv, const char* Name);
// Writes Bytes as the file Folder/Name (the seed makers use it).
void WriteSeed(const QString& Folder, const QString& Name, const QByteArray& Bytes);
// Under the target's option --write-seeds=FOLDER, runs the target's seed
// maker into FOLDER and ends the process; otherwise does nothing.
void WriteSeedsWhenAsked(int Argc, char** Argv, void (*WriteSeeds)(const QString& Folder));

// A property that must hold for every input (a round trip, an invariant):
// when it does not, prints What and aborts, so that the input is kept.
void Check(bool Condition, const char* What);

}  // namespace fuzz
