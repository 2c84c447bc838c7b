#pragma once
// What a process settles before its QApplication exists, in one place: the
// program, its demo, the shared test main, the engine fixtures and the
// benchmark mains all call PrepareProcess with the options they need.
//
// Always: Qt's automatic high-DPI scaling is off (QT_ENABLE_HIGHDPI_SCALING=0;
// the library does its own DPI arithmetic, so canvas pixels are device
// pixels) and OpenGL contexts are shared (Qt::AA_ShareOpenGLContexts, which
// the web engine needs and which costs nothing without it).
// Tests and benchmarks (pkTest), or Offscreen: the offscreen platform
// (QT_QPA_PLATFORM=offscreen).
// Engine: the preparations the engine's layer adds (AddProcessPreparation;
// platform/webview2 adds the registration of its URL scheme), with
// EngineSandboxOff the engine's sandbox off (QTWEBENGINE_DISABLE_SANDBOX=1:
// it does not start as root, as tests and CI run) and with EngineHeadless no
// GPU and no /dev/shm (QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu
// --disable-dev-shm-usage"). The engine variables are only set when asked
// for, and never over a value the environment already gives; the shipped
// program keeps the sandbox.
//
// Calls add up: a second call with other options applies what they add. A
// call once the application exists comes too late; it changes nothing and
// says so under tf.rtl.

#include <QByteArray>
#include <QList>
#include <QPair>

enum TProcessKind { pkProgram, pkTest };

struct TProcessOptions {
  TProcessKind Kind = pkProgram;
  bool Offscreen = false;         // the offscreen platform (always for pkTest)
  bool Engine = false;            // the web engine runs in this process
  bool EngineSandboxOff = false;  // the engine runs without its sandbox
  bool EngineHeadless = false;    // the engine uses no GPU and no /dev/shm
};

void PrepareProcess(const TProcessOptions& Options);

// The environment variables the options stand for, as name and value, for a
// child process started with them (PrepareProcess sets the same ones here).
QList<QPair<QByteArray, QByteArray>> ProcessEnvironment(const TProcessOptions& Options);

// Work a layer adds to the preparation of processes that run the engine
// (Options.Engine); called from a static initializer. Answers true.
using TProcessPreparation = void (*)(const TProcessOptions& Options);
bool AddProcessPreparation(TProcessPreparation Preparation);
