// A class declared and published only in this unit: the reflection tests
// find it by name, without seeing its declaration.

#include "tests/platform/rtl/TypInfoSamples.h"

class TSampleRemote : public TSampleShape {
 public:
  TF_DECLARE_PUBLISHED(TSampleRemote)
  QString Note() const { return FNote; }
  void SetNote(const QString& value) { FNote = value; }

 private:
  QString FNote = QStringLiteral("remote");
};

TF_PUBLISHED(TSampleRemote, TSampleShape) {
  return TPublished<TSampleRemote>().String("Note", &TSampleRemote::Note, &TSampleRemote::SetNote);
}
