#pragma once
// What the benchmark mains share: the process prepared as the tests prepare
// theirs and the benchmark run; for those that drive the real browser engine,
// waiting on the event loop and reading resident memory.

#include <QString>
#include <functional>

// Prepares the process as a test process (offscreen, Qt's scaling off),
// creates the application, runs Start, the benchmarks, then Finish.
int RunBenchmarks(int argc, char** argv, const std::function<void()>& Start = nullptr,
                  const std::function<void()>& Finish = nullptr);

// The same for a process that runs the engine: no GPU, no sandbox when
// running as root, the browser service started.
int RunEngineBenchmarks(int argc, char** argv);

// Handles events and posted messages until done() or the time-out; answers
// done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

// Kilobytes of resident memory (VmRSS) of a process ("self" for this one),
// 0 when unreadable.
long ResidentKb(const QString& pid);
// The same for this process and every process below it (the engine's helpers).
long TreeResidentKb();
