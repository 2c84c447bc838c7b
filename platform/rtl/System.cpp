#include "platform/rtl/System.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

QString DemangledTypeName(const char* mangled) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  return QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
}

QString TObject::ClassName() const { return DemangledTypeName(typeid(*this).name()); }
