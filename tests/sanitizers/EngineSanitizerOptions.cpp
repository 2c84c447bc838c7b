// Built into the test binaries that drive the browser engine in the
// sanitizer builds (the debug preset), after SanitizerOptions.cpp.
//
// QtWebEngine (Chromium) frees its own objects with sized deallocation whose
// sizes do not match their allocations, so AddressSanitizer's new/delete
// size check reports inside libQt6WebEngineCore on every page. The check is
// off for these binaries only; every other test keeps it.

#include <cstdlib>

namespace {
constexpr const char* kAsanOptions = "new_delete_type_mismatch=0";
}  // namespace

extern "C" const char* __asan_default_options() { return kAsanOptions; }

namespace {
// The programs these tests start (the demo) run the engine too: they get the
// same options through their environment, unless the caller set others.
const bool kChildOptions = [] {
  setenv("ASAN_OPTIONS", kAsanOptions, 0);
  setenv("LSAN_OPTIONS", "suppressions=" TF_LSAN_SUPPRESSIONS, 0);
  setenv("UBSAN_OPTIONS", "print_stacktrace=1", 0);
  return true;
}();
}  // namespace
