#pragma once
// Keeps the pictures the mini-HTML tests draw, for a person to look at:
// with TF_TEST_PICTURES naming a folder, each sheet's last picture is saved
// there as <test>_<n>.png when the sheet goes. Without it nothing is written.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QString>

namespace minihtmlpictures {

inline void Keep(const QImage& AImage) {
  const QString folder = qEnvironmentVariable("TF_TEST_PICTURES");
  if (folder.isEmpty() || AImage.isNull()) return;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (info == nullptr) return;
  QDir().mkpath(folder);
  static int n = 0;
  QString name = QStringLiteral("%1_%2").arg(QString::fromUtf8(info->test_suite_name()),
                                             QString::fromUtf8(info->name()));
  name.replace(u'/', u'-');
  AImage.save(QDir(folder).filePath(QStringLiteral("%1_%2.png").arg(name).arg(++n, 4, 10, QChar(u'0'))));
}

}  // namespace minihtmlpictures
