#include "app/uTallowfinch2WebData.h"

#include "app/WebData.h"

TWebData* NewVersionPageFetcher(TComponent* AOwner, const QString& URL,
                                std::function<void(TObject* Sender, int iItem, const QString& data)> OnData) {
  auto* fetcher = new TWebData(AOwner);
  fetcher->SetName(QStringLiteral("wbdata"));
  fetcher->SetAgent(QStringLiteral("WebData"));
  TWebDataItem* item = fetcher->Data()->Add();
  item->SetURL(URL);
  item->SetTag(0);
  fetcher->SetImageType(itAll);
  fetcher->SetTimeout(0);
  fetcher->OnData = std::move(OnData);
  return fetcher;
}

void CollectVersionPage(TWebData* Fetcher) {
  if (Fetcher) Fetcher->CollectData();
}
