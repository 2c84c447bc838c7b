// The page fetcher's examination of a downloaded page: the data cut out
// between the item's markers, the image references and the hyperlinks, each
// resolved against the page's address.
//
// Input: the item's address, markers and link filter as short texts, then
// the page's bytes (read one character per byte, as the fetcher does).

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "app/WebData.h"
#include "fuzz/support/FuzzSupport.h"
#include "platform/rtl/StringList.h"

namespace {
QString Short(FuzzedDataProvider& in) { return QString::fromStdString(in.ConsumeRandomLengthString(64)); }
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzedDataProvider in(Data, Size);
  const int imageType = in.ConsumeIntegralInRange(0, 3);
  const QString url = Short(in);
  const QString scanFirst = Short(in);
  const QString scanFrom = Short(in);
  const QString scanTo = Short(in);
  const QString linkType = Short(in);
  const std::vector<uint8_t> page = in.ConsumeRemainingBytes<uint8_t>();

  fuzz::Refusable([&] {
    TWebData web(nullptr);
    web.SetImageType(static_cast<WebData::TImageType>(imageType));
    web.SetHyperLinkType(linkType);
    TWebDataItem* item = web.Data()->Add();
    item->SetURL(url);
    item->SetScanFirst(scanFirst);
    item->SetScanFrom(scanFrom);
    item->SetScanTo(scanTo);
    fuzz::TInputStream stream(page.data(), page.size());
    web.Examine(item, 0, &stream);

    const QString code = item->FullPageCode();
    fuzz::Check(code.size() == qsizetype(page.size()), "the page code is not one character per byte");
    if (item->Success()) fuzz::Check(code.contains(item->Data()), "the data is not a piece of the page");
    for (int i = 0; i < web.Hyperlinks()->Count(); ++i) web.Hyperlinks()->Strings(i);
    for (int i = 0; i < web.ImageRefs()->Count(); ++i) web.ImageRefs()->Strings(i);
  });

  fuzz::Refusable([&] {
    TWebData::ResolveUrl(url, linkType);
    TWebData::AddUrlCredentials(url, scanFirst, scanFrom);
  });
  return 0;
}
