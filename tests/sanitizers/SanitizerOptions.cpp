// Run-time options of the sanitizer builds (the debug preset), built into
// every test binary there. The run-times ask these functions for their
// defaults before reading LSAN_OPTIONS and UBSAN_OPTIONS, which still win.

// LeakSanitizer: the suppressions of libraries we do not build, each with its
// reason (tests/sanitizers/lsan.supp).
extern "C" const char* __lsan_default_options() { return "suppressions=" TF_LSAN_SUPPRESSIONS; }

// UndefinedBehaviorSanitizer: a report shows where it happened.
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1"; }
