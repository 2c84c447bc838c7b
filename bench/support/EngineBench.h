#pragma once
// What the benchmarks that drive the real browser engine share: the engine's
// preparation and the benchmark run, waiting on the event loop, and reading
// resident memory.

#include <QString>
#include <functional>

// Prepares the engine as the tests do (offscreen, no GPU, no sandbox when
// running as root), creates the application and runs the benchmarks.
int RunEngineBenchmarks(int argc, char** argv);

// Handles events and posted messages until done() or the time-out; answers
// done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

// Kilobytes of resident memory (VmRSS) of a process ("self" for this one),
// 0 when unreadable.
long ResidentKb(const QString& pid);
// The same for this process and every process below it (the engine's helpers).
long TreeResidentKb();
