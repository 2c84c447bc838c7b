#include "app/AppResources.h"

#include <QtGlobal>
#include <mutex>

// Outside any namespace, as the resource initialiser's declaration requires.
static void RegisterAppResources() { Q_INIT_RESOURCE(TallowfinchResources); }

void InitAppResources() {
  static std::once_flag once;
  std::call_once(once, RegisterAppResources);
}
