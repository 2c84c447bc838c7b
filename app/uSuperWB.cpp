#include "app/uSuperWB.h"

#include <QRegularExpression>

#include <malloc.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "app/uFrancePJ20MAY2022.h"
#include "platform/rtl/JSON.h"
#include "platform/rtl/PerlRegEx.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

uint8_t PageDelay = 3;
bool StopPressed = false;

// ---------------------------------------------------------------------------
// Waits

void PumpMessagesFor(uint32_t Milliseconds) {
  if (Milliseconds == 0) return;
  // The wait is measured on the program's clock (GetTickCount, the
  // scheduler's) and, alongside, on the real monotonic clock; it ends as soon
  // as either has moved on by Milliseconds. On the real clock both are the
  // same. Under a test's manual clock the tick count only moves when the
  // test advances it, so the real clock keeps the wait from hanging, while a
  // test that advances its clock past the end still ends the wait early.
  // Differences of the 32-bit tick count are taken modulo 2^32, so a wait
  // across its wrap-around lasts as long as any other.
  const Cardinal start = GetTickCount();
  QElapsedTimer real;
  real.start();
  QCoreApplication* app = QCoreApplication::instance();
  std::unique_ptr<QTimer> wake;
  if (app) {
    wake = std::make_unique<QTimer>();
    wake->setSingleShot(true);
    wake->setTimerType(Qt::PreciseTimer);
  }
  for (;;) {
    if (Application) Application->ProcessMessages();
    const uint64_t ticks = Cardinal(GetTickCount() - start);
    const uint64_t passed = std::max<uint64_t>(ticks, uint64_t(real.elapsed()));
    if (passed >= Milliseconds) return;
    // Sleep up to 10 ms between rounds, waking at once when an event comes
    // in: the engine's browser side runs on this thread and must not stall.
    const int pause = int(std::min<uint64_t>(10, Milliseconds - passed));
    if (!wake) {
      Sleep(Cardinal(pause));
      continue;
    }
    wake->start(pause);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
}

void WaitScrapeDelay() {
  try {
    PumpMessagesFor(uint32_t(PageDelay) * 1000);
  } catch (...) {
    PumpMessagesFor(3000);
  }
}

void TrimWorkingSet() {
  // Gives the heap's unused pages back to the system.
  malloc_trim(0);
  if (Application) Application->ProcessMessages();
}

// ---------------------------------------------------------------------------
// Helpers

namespace {

// The texts of the page scripts. Listings are addressed by two selectors: the
// class list (with its trailing blank) for highlighting, and list items
// whose class attribute holds "bi bi-generic" for reading and rewriting.
QString PageColourScript() {
  return QStringLiteral("function myFunction() {document.body.style.backgroundColor = \"LemonChiffon\";} myFunction();");
}

// The text of the result page's counter ("Page 2 / 5"), empty without one.
QString PageCounterScript() {
  return QStringLiteral("(function() {var c = document.getElementById(\"SEL-compteur\"); "
                        "return c ? c.textContent : \"\";})();");
}

QString HighlightScript(int Index) {
  return QStringLiteral("var allLeads = document.getElementsByClassName(\"bi bi-generic \");{allLeads[") +
         QString::number(Index) + QStringLiteral("].style.backgroundColor = \"Gold\";};");
}

QString ReadListingScript(int Index, const QString& Member) {
  return QStringLiteral("function myFunction() {return document.querySelectorAll('li[class*=\"bi bi-generic\"]')[") +
         QString::number(Index) + QStringLiteral("].") + Member + QStringLiteral(";} myFunction();");
}

QString WriteNameScript(int Index, const QString& Name) {
  return QStringLiteral("function myFunction() {document.querySelectorAll('li[class*=\"bi bi-generic\"]')[") +
         QString::number(Index) + QStringLiteral("].innerHTML = ") + JavaScriptStringLiteral(Name) +
         QStringLiteral(";} myFunction();");
}

QString NextPageScript() {
  return QStringLiteral(
      "function myFunction() {return "
      "document.getElementById(\"pagination-next\").getAttribute(\"data-pjlb\");} myFunction();");
}

// The value of a script's JSON result: a string's characters, "null" for
// null. A result that is not JSON at all (the empty text of a wait that
// timed out, or of a control without a platform browser) counts as null.
QString ScriptValue(const QString& Json) {
  const std::unique_ptr<TJSONValue> value = TJSONObject::ParseJSONValue(Json);
  return value ? value->Value() : QStringLiteral("null");
}

void SetMainCaption(const QString& Caption) {
  if (!Application) return;
  if (TCustomForm* main = Application->MainForm()) main->SetCaption(Caption);
}

bool Alive(const std::weak_ptr<bool>& Life) {
  const std::shared_ptr<bool> life = Life.lock();
  return life && *life;
}

}  // namespace

QString JavaScriptStringLiteral(const QString& Value) {
  QString result;
  result.reserve(Value.size() + 2);
  result += u'"';
  const auto hex = [&](char16_t c) { result += QStringLiteral("\\u%1").arg(unsigned(c), 4, 16, QLatin1Char('0')); };
  for (qsizetype i = 0; i < Value.size(); ++i) {
    const char16_t c = Value.at(i).unicode();
    switch (c) {
      case u'"': result += QStringLiteral("\\\""); break;
      case u'\\': result += QStringLiteral("\\\\"); break;
      case u'\n': result += QStringLiteral("\\n"); break;
      case u'\r': result += QStringLiteral("\\r"); break;
      case u'\t': result += QStringLiteral("\\t"); break;
      case 0x2028:
      case 0x2029: hex(c); break;
      case u'/':
        // "</script>" and the like cannot end a script block around it.
        if (i > 0 && Value.at(i - 1) == u'<') result += QStringLiteral("\\/");
        else result += u'/';
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          hex(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < Value.size() && Value.at(i + 1).isLowSurrogate()) {
          result += QChar(c);
          result += Value.at(++i);
        } else if (QChar::isSurrogate(c)) {
          // A lone surrogate would not survive the way to the page as UTF-8.
          hex(c);
        } else {
          result += QChar(c);
        }
    }
  }
  result += u'"';
  return result;
}

// ---------------------------------------------------------------------------
// TSuperBrowser

TSuperBrowser::TSuperBrowser(TComponent* AOwner) : TKitWebBrowser(AOwner) {}

TSuperBrowser::~TSuperBrowser() {
  SetAttachedMemo(nullptr);
  SetAttachedEdit(nullptr);
}

void TSuperBrowser::StartParsingFRPJ() {
  if (_bStop) {
    SetMainCaption(QStringLiteral("TFN - STOP pressed! Process Complete..."));
    return;
  }
  if (_bComplete) {
    SetMainCaption(QStringLiteral("TFN - No more data! Processing Complete..."));
    return;
  }
  // Every script call and every wait lets the application handle its
  // messages, and the control may be destroyed meanwhile: after each of them
  // the pass looks whether it is still there before going on.
  const std::weak_ptr<bool> life = LifeToken();
  ExecuteJavaScriptSync(PageColourScript());
  if (!Alive(life)) return;
  if (OnPageProgress) {
    const QString counter = ScriptValue(ExecuteJavaScriptSync(PageCounterScript()));
    if (!Alive(life)) return;
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("(\\d+)\\s*/\\s*(\\d+)")).match(counter);
    int page = 0, count = 0;
    if (m.hasMatch()) {
      page = m.captured(1).toInt();
      count = m.captured(2).toInt();
    } else {
      page = std::max(1, _sPageNumber.toInt());
    }
    OnPageProgress(page, count);
    if (!Alive(life)) return;
  }
  for (int i = 20; i >= 0; --i) {
    ExecuteJavaScriptSync(HighlightScript(i));
    if (!Alive(life)) return;
    const QString html = ScriptValue(ExecuteJavaScriptSync(ReadListingScript(i, QStringLiteral("innerHTML"))));
    if (!Alive(life)) return;
    const QString text = ScriptValue(ExecuteJavaScriptSync(ReadListingScript(i, QStringLiteral("innerText"))));
    if (!Alive(life)) return;
    const auto entry = std::make_unique<TFrancePJEntry>(text + html);
    entry->ExecutePagesJaunes();
    ExecuteJavaScriptSync(WriteNameScript(i, entry->fNameOnly()));
    if (!Alive(life)) return;
    // A text in which no field was found (an index the page has no listing
    // for) is no listing: its line of empty fields is not added.
    if (_fmemo && !IsEmptyResultLine(entry->ResultLine())) {
      TStrings* lines = _fmemo->Lines();
      if (lines->IndexOf(entry->ResultLine()) == -1) lines->Add(entry->ResultLine());
    }
  }
  PumpMessagesFor(_fTimer == 0 ? 1000u : uint32_t(_fTimer) * 1000);
  if (!Alive(life)) return;
  if (!_bComplete) TurntoNextPageFRPJ();
}

void TSuperBrowser::TurntoNextPageFRPJ() {
  if (_bStop) return;
  const std::weak_ptr<bool> life = LifeToken();
  // Setting the text runs the edit's OnChange.
  if (_fURLedit) _fURLedit->SetText(_sNextPageURL);
  if (!Alive(life)) return;
  // Answered while the next pass waits for its first script.
  ExecuteJavaScript(
      NextPageScript(),
      [this, life](const QString& AValue) {
        if (Alive(life)) NextPageFound(AValue);
      },
      false);
  if (_bStop) SetMainCaption(QStringLiteral("TFN - Plus rien à capturer/No more data to collect!"));
  else StartParsingFRPJ();
}

void TSuperBrowser::NextPageFound(const QString& AValue) {
  QString value = AValue;
  value.remove(u'"');
  const QString link = DecodeNextPageLink(value);
  _sNextPageURL = link;
  if (link.isEmpty()) {
    _bComplete = true;
    return;
  }
  GetNextPageNumberFromURL();
  SetMainCaption(QStringLiteral("TFN - Travail en cours sur la Page/Currently processing ") + _sPageNumber);
  const std::weak_ptr<bool> life = LifeToken();
  SetURL(link);
  if (!Alive(life)) return;
  PumpMessagesFor(_fTimer == 0 ? 1000u : uint32_t(_fTimer) * 1000);
}

void TSuperBrowser::GetNextPageNumberFromURL() {
  TPerlRegEx re;
  re.SetOptions({preCaseLess});
  re.SetRegEx(QStringLiteral("page=(\\d+)"));
  re.SetSubject(_sNextPageURL);
  if (re.Match()) _sPageNumber = re.Groups(1);
}

// --- auxiliary operations

void TSuperBrowser::GetNextPageURL() {
  const std::weak_ptr<bool> life = LifeToken();
  ExecuteJavaScript(
      NextPageScript(),
      [this, life](const QString& AValue) {
        if (!Alive(life)) return;
        QString value = AValue;
        value.remove(u'"');
        const QString link = DecodeNextPageLink(value);
        if (link.isEmpty()) {
          ShowMessage(QStringLiteral("Pages have been processed!"));
          if (Alive(life)) _bStop = true;
          return;
        }
        SetMainCaption(QStringLiteral(" TFN - Current Page: ") + _sPageNumber);
        SetURL(link);
        if (!Alive(life)) return;
        PumpMessagesFor(_fTimer == 0 ? 1000u : uint32_t(_fTimer) * 1000);
      },
      false);
}

void TSuperBrowser::DocumentComplete(TObject*) {
  PumpMessagesFor(_fTimer == 0 ? 1000u : uint32_t(_fTimer) * 1000);
}

void TSuperBrowser::SetInnerText() {
  const std::weak_ptr<bool> life = LifeToken();
  const QString json =
      ExecuteJavaScriptSync(QStringLiteral("function GetHTML(){return document.body.innerHTML;} GetHTML();"));
  if (Alive(life)) _fInnerText = ScriptValue(json);
}

void TSuperBrowser::BridgeHTML(const QString&) {
  const std::weak_ptr<bool> life = LifeToken();
  ShowMessage(QStringLiteral("yeah"));
  if (!Alive(life)) return;
  ExecuteJavaScript(
      QStringLiteral("function GetHTML(){return document.getElementsByClassName(\"bi-list\")[0].innerhtml;} GetHTML();"),
      [this, life](const QString& AValue) {
        if (Alive(life)) _fInnerHtml = AValue;
      },
      false);
}

void TSuperBrowser::BridgeNav(const QString& AMessage) { Navigate(AMessage); }

// --- attached controls

TCustomMemo* TSuperBrowser::GetAttachedMemo() const { return _fmemo; }

void TSuperBrowser::SetAttachedMemo(TCustomMemo* Value) {
  if (_fmemo == Value) return;
  TCustomMemo* old = _fmemo;
  _fmemo = Value;
  Forget(old);
  if (Value) Value->FreeNotification(this);
}

TCustomEdit* TSuperBrowser::GetAttachedEdit() const { return _fURLedit; }

void TSuperBrowser::SetAttachedEdit(TCustomEdit* Value) {
  if (_fURLedit == Value) return;
  TCustomEdit* old = _fURLedit;
  _fURLedit = Value;
  Forget(old);
  if (Value) Value->FreeNotification(this);
}

void TSuperBrowser::Forget(TComponent* AComponent) {
  // The memo may be attached as the edit too: keep its notice while either
  // slot holds it.
  if (!AComponent || AComponent == _fmemo || AComponent == _fURLedit) return;
  AComponent->RemoveFreeNotification(this);
}

void TSuperBrowser::Notification(TComponent* AComponent, TOperation Operation) {
  TKitWebBrowser::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == _fmemo) _fmemo = nullptr;
  if (AComponent == _fURLedit) _fURLedit = nullptr;
}
