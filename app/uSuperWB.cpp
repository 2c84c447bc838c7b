#include "app/uSuperWB.h"

#include "platform/vcl/StdCtrls.h"

uint8_t PageDelay = 3;
bool StopPressed = false;

void PumpMessagesFor(uint32_t) {}
void WaitScrapeDelay() {}
void TrimWorkingSet() {}

TSuperBrowser::TSuperBrowser(TComponent* AOwner) : TKitWebBrowser(AOwner) {}
TSuperBrowser::~TSuperBrowser() = default;

void TSuperBrowser::StartParsingFRPJ() {}
void TSuperBrowser::TurntoNextPageFRPJ() {}
void TSuperBrowser::GetNextPageNumberFromURL() {}
void TSuperBrowser::GetNextPageURL() {}
void TSuperBrowser::DocumentComplete(TObject*) {}
void TSuperBrowser::SetInnerText() {}
void TSuperBrowser::BridgeHTML(const QString&) {}
void TSuperBrowser::BridgeNav(const QString&) {}

TCustomMemo* TSuperBrowser::GetAttachedMemo() const { return _fmemo; }
void TSuperBrowser::SetAttachedMemo(TCustomMemo* Value) { _fmemo = Value; }
TCustomEdit* TSuperBrowser::GetAttachedEdit() const { return _fURLedit; }
void TSuperBrowser::SetAttachedEdit(TCustomEdit* Value) { _fURLedit = Value; }
