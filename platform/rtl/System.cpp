#include "platform/rtl/System.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "platform/rtl/TypInfo.h"

QString DemangledTypeName(const char* mangled) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  return QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
}

QString TObject::ClassName() const {
  // A published class answers the name it was published under, which for
  // the generic containers is the framework's spelling ("TList<System.string>").
  if (const TClassInfo* info = ClassInfoOf(this)) return info->ClassName();
  return DemangledTypeName(typeid(*this).name());
}
