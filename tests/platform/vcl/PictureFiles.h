#pragma once
// Pictures the control tests keep for people to look at: PNG files under
// <build>/tests/platform/vcl/pictures (made when missing).

#include <QDir>
#include <QImage>
#include <QString>

namespace vcltest {

inline QString PictureFile(const QString& Name) {
  const QString folder = QStringLiteral(TF_VCL_PICTURES);
  QDir().mkpath(folder);
  return folder + u'/' + Name + QStringLiteral(".png");
}

// Saves the image; true when written.
inline bool KeepPicture(const QImage& Image, const QString& Name) { return Image.save(PictureFile(Name), "PNG"); }

}  // namespace vcltest
