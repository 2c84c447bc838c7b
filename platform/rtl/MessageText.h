#pragma once
// Fills the placeholders of a fixed run-time message (RtlConsts) with texts
// already formatted by the caller: each "%s", "%d" or "%x" takes the next
// argument in order; "%%" is a percent sign.

#include <QString>
#include <QStringList>

inline QString MessageText(const char* format, const QStringList& args = {}) {
  const QString f = QString::fromUtf8(format);
  QString out;
  out.reserve(f.size() + 32);
  qsizetype next = 0;
  for (qsizetype i = 0; i < f.size(); ++i) {
    const QChar c = f[i];
    if (c == u'%' && i + 1 < f.size()) {
      const QChar k = f[i + 1];
      if (k == u'%') {
        out += u'%';
        ++i;
        continue;
      }
      if (k == u's' || k == u'd' || k == u'x') {
        if (next < args.size()) out += args[next++];
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}
