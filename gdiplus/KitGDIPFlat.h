#pragma once
// The flat functions this binding calls, resolved once through the GDI+
// runtime's lookup. Internal to the gdiplus folder.

#include "platform/gdiplusapi/GdiPlusRuntime.h"

namespace KitGDIP::Flat {

struct TApi {
#define KITGDIP_FLAT_ENTRY(Result, Name, Params) PFN_##Name Name = nullptr;
  GDIPLUS_FLAT_API(KITGDIP_FLAT_ENTRY)
#undef KITGDIP_FLAT_ENTRY
};

// Every entry bound: the library's function, the runtime's own, or a stub
// answering NotImplemented. Never null.
const TApi& Api();

}  // namespace KitGDIP::Flat

#define GDIP(Name) (::KitGDIP::Flat::Api().Name)
