#pragma once
// The main window's page fetcher, set up and run from a source file of its
// own: the page fetcher and the image lists each name an enumeration
// TImageType, so no source file may see both declarations.

#include <QString>
#include <functional>

class TComponent;
class TObject;
class TWebData;

// The fetcher of the maker's version page: agent "WebData", one item with
// that URL and tag 0, every image kept, no time-out; OnData gets the data.
TWebData* NewVersionPageFetcher(TComponent* AOwner, const QString& URL,
                                std::function<void(TObject* Sender, int iItem, const QString& data)> OnData);
// Fetches the pages of the fetcher on this thread.
void CollectVersionPage(TWebData* Fetcher);
