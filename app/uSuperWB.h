#pragma once
// The main window's browser and the capture loop that walks the directory's
// result pages, plus the wait routines the application shares.
//
// A capture run is started by the main window's capture button. One page
// pass highlights and reads the listings at indexes 20 down to 0 through
// synchronous scripts, parses each into a result line and appends new lines
// to the attached memo; the next-page step asks the page for its next-page
// link and starts the next pass at once. Both call each other, one level
// deeper per page, and unwind when the run ends. An index the page has no
// listing for (today's result pages hold 20) gives no line. Everything runs
// on the user-interface thread; the synchronous scripts and the waits keep
// the message loop alive.

#include <QString>
#include <cstdint>

#include "browser/KitWebBrowser.h"

class TCustomMemo;
class TCustomEdit;

// Shared by the main window and the capture loop.
extern uint8_t PageDelay;   // page delay in seconds, start value 3
extern bool StopPressed;    // the capture button's stop path is running

// Waits Milliseconds while dispatching every pending event and posted
// message, pausing up to 10 ms between rounds (an arriving event ends the
// pause). 0 returns at once. Bounded by the real clock also when a test runs
// the program's clock by hand.
void PumpMessagesFor(uint32_t Milliseconds);
// PumpMessagesFor(PageDelay * 1000); 3000 ms when that raises.
void WaitScrapeDelay();
// Asks the system to give back unused memory of the process (failures are
// ignored), then processes the pending messages once.
void TrimWorkingSet();

// Text as a double-quoted JavaScript string literal that gives back exactly
// Text: quotes, backslashes, control characters, line breaks (U+2028 and
// U+2029 included) and lone surrogates are escaped, and "</" is written
// "<\/" so the literal cannot end a script block around it.
QString JavaScriptStringLiteral(const QString& Text);

class TSuperBrowser : public TKitWebBrowser {
 public:
  explicit TSuperBrowser(TComponent* AOwner);
  ~TSuperBrowser() override;

  // Capture run. Each page pass first reads the page's counter ("Page 2 / 5")
  // and reports it through OnPageProgress (Page, PageCount; a count of 0 when
  // the page shows none, the page then being the number of the last
  // next-page link, or 1).
  std::function<void(int Page, int PageCount)> OnPageProgress;
  void StartParsingFRPJ();
  void TurntoNextPageFRPJ();
  void GetNextPageNumberFromURL();

  // Auxiliary operations (not used by the capture run)
  void GetNextPageURL();
  void DocumentComplete(TObject* Sender);
  void SetInnerText();
  void SetInnerHtml() {}
  void BridgeHTML(const QString& AMessage);
  void BridgeNav(const QString& AMessage);
  void StartBridge() {}
  void StopBridge() {}
  // Navigation handlers of the browser's events; they do nothing and are
  // bound to no event.
  void KitWebBrowser1BeforeNavigate(TObject* Sender, TKitCustomWebBrowserBeforeNavigateParams& Params) {}
  void KitWebBrowser1NavigateComplete(TObject* Sender, TKitCustomWebBrowserNavigateCompleteParams& Params) {}

  // Properties
  const QString& fInnerHtml() const { return _fInnerHtml; }
  void SetfInnerHtml(const QString& Value) { _fInnerHtml = Value; }
  const QString& fInnerText() const { return _fInnerText; }
  void SetfInnerText(const QString& Value) { _fInnerText = Value; }
  TCustomMemo* MemoAttached() const { return GetAttachedMemo(); }
  void SetMemoAttached(TCustomMemo* Value) { SetAttachedMemo(Value); }
  TCustomEdit* Editattached() const { return GetAttachedEdit(); }
  void SetEditattached(TCustomEdit* Value) { SetAttachedEdit(Value); }
  bool bStop() const { return _bStop; }
  void SetbStop(bool Value) { _bStop = Value; }
  bool bComplete() const { return _bComplete; }
  void SetbComplete(bool Value) { _bComplete = Value; }
  const QString& sNextPageURL() const { return _sNextPageURL; }
  void SetsNextPageURL(const QString& Value) { _sNextPageURL = Value; }
  const QString& sPageNumber() const { return _sPageNumber; }
  void SetsPageNumber(const QString& Value) { _sPageNumber = Value; }
  uint8_t fTimer() const { return _fTimer; }
  void SetfTimer(uint8_t Value) { _fTimer = Value; }
  const QString& fStartPage() const { return _fStartPage; }
  void SetfStartPage(const QString& Value) { _fStartPage = Value; }

 protected:
  // Forgets the attached memo or edit when it is destroyed.
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  // The completion of the next-page script: decodes the link, then
  // navigates there or marks the run complete.
  void NextPageFound(const QString& AValue);
  // Drops the free notice of a control no longer attached.
  void Forget(TComponent* AComponent);
  TCustomMemo* GetAttachedMemo() const;
  void SetAttachedMemo(TCustomMemo* Value);
  TCustomEdit* GetAttachedEdit() const;
  void SetAttachedEdit(TCustomEdit* Value);

  QString _fInnerHtml;
  QString _fInnerText;
  TCustomMemo* _fmemo = nullptr;
  bool _bStop = false;
  bool _bComplete = false;
  QString _sNextPageURL;
  QString _sPageNumber;
  TCustomEdit* _fURLedit = nullptr;
  uint8_t _fTimer = 0;
  QString _fStartPage;
};
