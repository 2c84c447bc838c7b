// The run-time's JSON reader (TJSONObject::ParseJSONValue): the results page
// scripts hand back. Read as UTF-8 bytes and as text.
//
// Properties checked on every value read: every node answers its typed
// questions, and the JSON written for the value reads back into a value
// that writes the same JSON.

#include <cstddef>
#include <cstdint>

#include "fuzz/support/FuzzSupport.h"
#include "platform/rtl/JSON.h"

namespace {

void Walk(const TJSONValue* value) {
  value->Value();
  QString text;
  bool flag = false;
  Int64 integer = 0;
  double number = 0;
  value->TryGetValue(text);
  value->TryGetValue(flag);
  value->TryGetValue(integer);
  value->TryGetValue(number);
  if (auto* n = dynamic_cast<const TJSONNumber*>(value)) {
    fuzz::Refusable([&] { n->AsInt(); });
    fuzz::Refusable([&] { n->AsInt64(); });
    n->AsDouble();
  } else if (auto* o = dynamic_cast<const TJSONObject*>(value)) {
    for (int i = 0; i < o->Count(); ++i) {
      const TJSONPair* pair = o->Pairs(i);
      fuzz::Check(pair->JsonString() && pair->JsonValue(), "an object pair lacks its name or value");
      o->GetValue(pair->JsonString()->Value());
      Walk(pair->JsonValue());
    }
  } else if (auto* a = dynamic_cast<const TJSONArray*>(value)) {
    for (int i = 0; i < a->Count(); ++i) Walk(a->Items(i));
  }
}

void Examine(std::unique_ptr<TJSONValue> value) {
  if (!value) return;
  Walk(value.get());
  const QString json = value->ToJSON();
  const std::unique_ptr<TJSONValue> again = TJSONObject::ParseJSONValue(json);
  fuzz::Check(again != nullptr, "the JSON written for a value does not read back");
  fuzz::Check(again->ToJSON() == json, "the JSON written for a value reads back as another value");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  fuzz::Refusable([&] { Examine(TJSONObject::ParseJSONValue(fuzz::Bytes(Data, Size))); });
  fuzz::Refusable([&] { Examine(TJSONObject::ParseJSONValue(fuzz::AnyText(Data, Size))); });
  return 0;
}
