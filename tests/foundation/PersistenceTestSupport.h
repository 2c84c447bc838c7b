#pragma once
// What the tests of object persistence share: an object's settings saved to
// JSON text and loaded back from it.

#include <QString>

#include "foundation/KitPersistence.h"
#include "platform/rtl/Streams.h"

namespace persistencetest {

inline QString SaveJSON(TObject* AObject) {
  TStringStream stream;
  TKitPersistence::SaveSettingsToStream(AObject, &stream);
  return stream.DataString();
}

inline void LoadJSON(TObject* AObject, const QString& AText) {
  TStringStream stream(AText);
  TKitPersistence::LoadSettingsFromStream(AObject, &stream);
}

}  // namespace persistencetest
