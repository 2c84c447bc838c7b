#include "platform/rtl/LogCategories.h"

#include <QMutex>
#include <QSet>

Q_LOGGING_CATEGORY(lcRtl, "tf.rtl", QtInfoMsg)
Q_LOGGING_CATEGORY(lcReg, "tf.reg", QtInfoMsg)
Q_LOGGING_CATEGORY(lcHttp, "tf.http", QtInfoMsg)

void LogNotCovered(const QLoggingCategory& Category, const QString& What) {
  static QMutex lock;
  static QSet<QString> said;
  {
    QMutexLocker guard(&lock);
    const QString key = QLatin1String(Category.categoryName()) + QLatin1Char('\n') + What;
    if (said.contains(key)) return;
    said.insert(key);
  }
  qCInfo(Category).noquote() << "not covered:" << What;
}
