#pragma once
// The run-time's logging categories, one per area, and the once-per-process
// note of something a function was asked for and does not do.
//
//   tf.rtl   process start-up, streams, files, threads, text and conversions
//   tf.reg   the registry store and its file
//   tf.http  HTTP transfers (THTTPClient and the WinINet-shaped calls)
//
// Every category of the library shows informational messages and above by
// default; QT_LOGGING_RULES silences or widens them ("tf.*.info=false",
// "tf.gdi.debug=true").

#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcRtl)
Q_DECLARE_LOGGING_CATEGORY(lcReg)
Q_DECLARE_LOGGING_CATEGORY(lcHttp)

// Logs "not covered: <What>" under the category, once per process for each
// category and text; the text names the function and the flag or mode it
// leaves out. Thread-safe.
void LogNotCovered(const QLoggingCategory& Category, const QString& What);
