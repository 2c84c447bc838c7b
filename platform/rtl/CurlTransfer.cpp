#include "platform/rtl/CurlTransfer.h"

#include <QByteArrayView>
#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/rtl/MessageText.h"
#include "platform/rtl/RtlConsts.h"

namespace {

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool IsSchemeChar(QChar c) {
  const char16_t u = c.unicode();
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '+' ||
         u == '-' || u == '.';
}

bool MustEncode(unsigned char b) {
  return b <= 0x20 || b >= 0x7F || std::strchr("\"<>\\^`{|}", b) != nullptr;
}

QByteArray Trimmed(QByteArray line) {
  while (!line.isEmpty() && (line.endsWith('\n') || line.endsWith('\r'))) line.chop(1);
  return line;
}

}  // namespace

TUrlCheck PrepareHttpUrl(const QString& url, QByteArray& encoded, QString& scheme) {
  scheme.clear();
  encoded.clear();
  qsizetype begin = 0;
  qsizetype end = url.size();
  while (begin < end && url[begin].unicode() <= 0x20) ++begin;
  while (end > begin && url[end - 1].unicode() <= 0x20) --end;
  QString text;
  text.reserve(end - begin);
  for (qsizetype i = begin; i < end; ++i) {
    const char16_t u = url[i].unicode();
    if (u != '\t' && u != '\r' && u != '\n') text += url[i];
  }

  qsizetype colon = -1;
  if (!text.isEmpty() && text[0].isLetter() && text[0].unicode() < 0x80) {
    for (qsizetype i = 1; i < text.size(); ++i) {
      if (text[i] == u':') {
        colon = i;
        break;
      }
      if (!IsSchemeChar(text[i])) break;
    }
  }
  if (colon <= 0) return ucNoScheme;
  scheme = text.left(colon).toLower();
  if (scheme != u"http" && scheme != u"https") return ucUnsupportedScheme;

  const QByteArray utf8 = text.toUtf8();
  for (char ch : utf8) {
    const auto b = static_cast<unsigned char>(ch);
    if (MustEncode(b)) {
      static const char hex[] = "0123456789ABCDEF";
      encoded += '%';
      encoded += hex[b >> 4];
      encoded += hex[b & 0x0F];
    } else {
      encoded += ch;
    }
  }

  CURLU* parsed = curl_url();
  if (!parsed) return ucInvalid;
  TUrlCheck result = ucInvalid;
  if (curl_url_set(parsed, CURLUPART_URL, encoded.constData(), 0) == CURLUE_OK) {
    char* host = nullptr;
    if (curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK && host && *host)
      result = ucOk;
    curl_free(host);
  }
  curl_url_cleanup(parsed);
  if (result != ucOk) encoded.clear();
  return result;
}

// ---------------------------------------------------------------------------

TCurlTransfer::TCurlTransfer(const TCurlRequestOptions& options)
    : FFollowRedirects(options.FollowRedirects),
      FResponseTimeoutMs(options.ResponseTimeoutMs),
      FLastActivity(TClock::now()) {
  GlobalInit();
  FEasy = curl_easy_init();
  FMulti = curl_multi_init();
  if (!FEasy || !FMulti) {
    Fail(fCurl, CURLE_FAILED_INIT, QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT)));
    return;
  }
  CURL* h = FEasy;
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, FErrorBuffer);
  curl_easy_setopt(h, CURLOPT_URL, options.Url.constData());
  // Only ever http and https, also where a redirect points.
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  if (options.TotalTimeoutMs > 0) curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(options.TotalTimeoutMs));
  if (options.MaxBodyBytes > 0) {
    // A declared length beyond the limit stops at the head; the write
    // callback stops a body that grows beyond it.
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.MaxBodyBytes));
    FMaxBodyBytes = options.MaxBodyBytes;
  }
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, options.FollowRedirects ? 1L : 0L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, static_cast<long>(std::max(0, options.MaxRedirects)));
  if (options.ConnectTimeoutMs > 0)
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.ConnectTimeoutMs));
  if (!options.UserAgent.isEmpty())
    curl_easy_setopt(h, CURLOPT_USERAGENT, options.UserAgent.constData());
  for (const QByteArray& line : options.Headers)
    FHeaderList = curl_slist_append(FHeaderList, line.constData());
  if (FHeaderList) curl_easy_setopt(h, CURLOPT_HTTPHEADER, FHeaderList);
  curl_easy_setopt(h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);

  switch (options.ProxyMode) {
    case TCurlRequestOptions::pmDirect:
      curl_easy_setopt(h, CURLOPT_PROXY, "");
      break;
    case TCurlRequestOptions::pmEnvironment: {
      // curl reads the proxy variables itself; the bypass list is ours so
      // that loopback addresses never go through a proxy.
      QByteArray noProxy = qgetenv("no_proxy");
      if (noProxy.isEmpty()) noProxy = qgetenv("NO_PROXY");
      if (!noProxy.isEmpty()) noProxy += ',';
      noProxy += "localhost,127.0.0.1,::1";
      curl_easy_setopt(h, CURLOPT_NOPROXY, noProxy.constData());
      break;
    }
    case TCurlRequestOptions::pmExplicit:
      curl_easy_setopt(h, CURLOPT_PROXY, options.Proxy.constData());
      if (options.ProxyPort > 0)
        curl_easy_setopt(h, CURLOPT_PROXYPORT, static_cast<long>(options.ProxyPort));
      if (!options.ProxyUserName.isEmpty()) {
        curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, options.ProxyUserName.constData());
        curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, options.ProxyPassword.constData());
      }
      curl_easy_setopt(h, CURLOPT_NOPROXY, options.NoProxy.constData());
      break;
  }

  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &TCurlTransfer::OnHeader);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &TCurlTransfer::OnBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, &TCurlTransfer::OnRequestReady);
  curl_easy_setopt(h, CURLOPT_PREREQDATA, this);

  if (curl_multi_add_handle(FMulti, FEasy) != CURLM_OK)
    Fail(fCurl, CURLE_FAILED_INIT, QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT)));
}

TCurlTransfer::~TCurlTransfer() {
  if (FMulti && FEasy) curl_multi_remove_handle(FMulti, FEasy);
  if (FEasy) curl_easy_cleanup(FEasy);
  if (FMulti) curl_multi_cleanup(FMulti);
  if (FHeaderList) curl_slist_free_all(FHeaderList);
}

void TCurlTransfer::Fail(TFailure failure, int curlCode, const QString& message) {
  if (FFailure == fNone) {
    FFailure = failure;
    FCurlCode = curlCode;
    FErrorMessage = message;
  }
  FDone = true;
}

size_t TCurlTransfer::OnHeader(char* data, size_t size, size_t count, void* self) {
  auto* t = static_cast<TCurlTransfer*>(self);
  const size_t length = size * count;
  t->FLastActivity = TClock::now();
  if (t->FBodyStarted) return length;  // trailers of a chunked body
  const QByteArray line = Trimmed(QByteArray(data, static_cast<qsizetype>(length)));
  if (line.startsWith("HTTP/")) {
    // A new response head: an interim one, a redirect, or the final one.
    t->FHeaders.clear();
    t->FHeadComplete = false;
    t->FStatusLine = line;
    const qsizetype codeAt = line.indexOf(' ');
    const qsizetype reasonAt = codeAt < 0 ? -1 : line.indexOf(' ', codeAt + 1);
    const QByteArray code =
        codeAt < 0 ? QByteArray() : line.mid(codeAt + 1, reasonAt < 0 ? -1 : reasonAt - codeAt - 1);
    t->FStatusCode = code.trimmed().toInt();
    t->FReasonPhrase = reasonAt < 0 ? QByteArray() : line.mid(reasonAt + 1).trimmed();
  } else if (line.isEmpty()) {
    // End of a head. Interim heads (1xx) and redirects curl follows are not
    // the response the caller asked for.
    const bool redirect = t->FFollowRedirects && t->FStatusCode >= 300 && t->FStatusCode < 400 &&
                          std::any_of(t->FHeaders.cbegin(), t->FHeaders.cend(), [](const auto& h) {
                            return h.first.compare("Location", Qt::CaseInsensitive) == 0;
                          });
    if (t->FStatusCode >= 200 && !redirect) t->FHeadComplete = true;
  } else if ((line.startsWith(' ') || line.startsWith('\t')) && !t->FHeaders.isEmpty()) {
    t->FHeaders.last().second += ' ' + line.trimmed();  // folded continuation line
  } else {
    const qsizetype colon = line.indexOf(':');
    if (colon > 0) t->FHeaders.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
  }
  return length;
}

size_t TCurlTransfer::OnBody(char* data, size_t size, size_t count, void* self) {
  auto* t = static_cast<TCurlTransfer*>(self);
  const size_t length = size * count;
  t->FLastActivity = TClock::now();
  if (!t->FHeadComplete) return length;  // body of a response that is not the final one
  t->FBodyStarted = true;
  // Returning less than given makes curl fail the transfer (a write error).
  if (t->FMaxBodyBytes > 0 && t->FBytesReceived + static_cast<qint64>(length) > t->FMaxBodyBytes) return 0;
  t->FBuffer.append(data, static_cast<qsizetype>(length));
  t->FBytesReceived += static_cast<qint64>(length);
  return length;
}

int TCurlTransfer::OnRequestReady(void* self, char*, char*, int, int) {
  auto* t = static_cast<TCurlTransfer*>(self);
  t->FRequestSent = true;
  t->FLastActivity = TClock::now();
  return CURL_PREREQFUNC_OK;
}

template <class Done>
void TCurlTransfer::Pump(Done done) {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  while (!FDone && !done()) {
    if (FCancelled.load()) {
      Fail(fCancelled, CURLE_ABORTED_BY_CALLBACK, QString::fromUtf8(RtlConsts::SNetCancelled));
      break;
    }
    int running = 0;
    const CURLMcode step = curl_multi_perform(FMulti, &running);
    if (step != CURLM_OK) {
      Fail(fCurl, CURLE_FAILED_INIT, QString::fromUtf8(curl_multi_strerror(step)));
      break;
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(FMulti, &left)) {
      if (message->msg != CURLMSG_DONE) continue;
      const CURLcode result = message->data.result;
      if (result != CURLE_OK) {
        const QString text = FErrorBuffer[0] ? QString::fromUtf8(FErrorBuffer)
                                             : QString::fromUtf8(curl_easy_strerror(result));
        Fail(fCurl, result, text);
      }
      FDone = true;
    }
    if (FDone || done()) break;
    long waitMs = 50;
    const int limit = FResponseTimeoutMs.load();
    if (FRequestSent && limit > 0) {
      const auto idle = duration_cast<milliseconds>(TClock::now() - FLastActivity).count();
      if (idle >= limit) {
        Fail(fResponseTimeout, CURLE_OPERATION_TIMEDOUT,
             MessageText(RtlConsts::SNetResponseTimeout,
                         {QString::number(idle), QString::number(FBytesReceived)}));
        break;
      }
      waitMs = std::min<long>(waitMs, limit - idle + 1);
    }
    curl_multi_poll(FMulti, nullptr, 0, static_cast<int>(waitMs), nullptr);
  }
}

bool TCurlTransfer::WaitForResponse() {
  Pump([this] { return FHeadComplete; });
  return !Failed();
}

qint64 TCurlTransfer::Read(char* buffer, qint64 count) {
  if (count <= 0) return 0;
  Pump([this, count] { return FBuffer.size() >= count; });
  if (FBuffer.isEmpty()) return Failed() ? -1 : 0;
  const qint64 n = std::min<qint64>(count, FBuffer.size());
  std::memcpy(buffer, FBuffer.constData(), static_cast<size_t>(n));
  FBuffer.remove(0, n);
  return n;
}

bool TCurlTransfer::ReadAll(QByteArray& body) {
  Pump([] { return false; });
  if (Failed()) return false;
  body = std::move(FBuffer);
  FBuffer.clear();
  return true;
}
