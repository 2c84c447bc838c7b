#include "platform/rtl/WinInet.h"

#include <QRegularExpression>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/rtl/CurlTransfer.h"
#include "platform/rtl/LogCategories.h"

namespace {

constexpr int kDefaultTimeoutMs = 60000;
constexpr int kMaxRedirects = 10;

struct TInetHandle {
  virtual ~TInetHandle() = default;
  uintptr_t Parent = 0;  // the session of a request
};

struct TInetSession : TInetHandle {
  QByteArray Agent;
  DWORD AccessType = INTERNET_OPEN_TYPE_PRECONFIG;
  QString Proxy;
  QByteArray NoProxy;
  std::atomic<int> ConnectTimeout{kDefaultTimeoutMs};
  std::atomic<int> SendTimeout{kDefaultTimeoutMs};
  std::atomic<int> ReceiveTimeout{kDefaultTimeoutMs};
};

struct TInetRequest : TInetHandle {
  std::mutex Lock;  // one reader or query at a time
  std::unique_ptr<TCurlTransfer> Transfer;
};

// Handle values are numbers that are never reused, so a closed handle stays
// invalid instead of reaching a newer object.
std::mutex gHandlesLock;
std::unordered_map<uintptr_t, std::shared_ptr<TInetHandle>> gHandles;
uintptr_t gNextHandle = 0x1000;

uintptr_t Key(HINTERNET h) { return reinterpret_cast<uintptr_t>(h); }

HINTERNET Register(std::shared_ptr<TInetHandle> object) {
  std::lock_guard<std::mutex> guard(gHandlesLock);
  gNextHandle += 4;
  gHandles.emplace(gNextHandle, std::move(object));
  return reinterpret_cast<HINTERNET>(gNextHandle);
}

template <class T>
std::shared_ptr<T> Lookup(HINTERNET h) {
  std::shared_ptr<TInetHandle> object;
  {
    std::lock_guard<std::mutex> guard(gHandlesLock);
    auto found = gHandles.find(Key(h));
    if (found != gHandles.end()) object = found->second;
  }
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  auto typed = std::dynamic_pointer_cast<T>(object);
  if (!typed) SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
  return typed;
}

void Unregister(uintptr_t key) {
  std::shared_ptr<TInetHandle> object;
  {
    std::lock_guard<std::mutex> guard(gHandlesLock);
    auto found = gHandles.find(key);
    if (found == gHandles.end()) return;
    object = std::move(found->second);
    gHandles.erase(found);
  }
  // A reader on another thread still holds the request: make it stop.
  if (auto request = std::dynamic_pointer_cast<TInetRequest>(object))
    if (request->Transfer) request->Transfer->Cancel();
}

QString FromWide(LPCWSTR text, qsizetype length = -1) {
  if (!text) return {};
  return length < 0 ? QString::fromUtf16(text) : QString::fromUtf16(text, length);
}

QString HeaderText(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// A DWORD time-out value as milliseconds for the transfer; 0 and INFINITE mean no limit.
int TimeoutValue(DWORD value) {
  if (value == 0 || value > static_cast<DWORD>(INT_MAX)) return -1;
  return static_cast<int>(value);
}

// The proxy for a scheme from a WinINet proxy list: "host:port" serves every
// scheme, "http=host:port https=host:port" one each.
QString ProxyFor(const QString& list, const QString& scheme) {
  QString general;
  for (const QString& entry :
       list.split(QRegularExpression(QStringLiteral("[\\s;]+")), Qt::SkipEmptyParts)) {
    const qsizetype equals = entry.indexOf(u'=');
    if (equals < 0) {
      if (general.isEmpty()) general = entry;
    } else if (entry.left(equals).compare(scheme, Qt::CaseInsensitive) == 0) {
      return entry.mid(equals + 1);
    }
  }
  return general;
}

// A WinINet bypass list as curl's comma-separated one.
QByteArray BypassList(const QString& list) {
  QStringList hosts;
  for (QString entry :
       list.split(QRegularExpression(QStringLiteral("[\\s;]+")), Qt::SkipEmptyParts)) {
    if (entry.compare(u"<local>", Qt::CaseInsensitive) == 0) {
      hosts << QStringLiteral("localhost") << QStringLiteral("127.0.0.1") << QStringLiteral("::1");
      continue;
    }
    if (entry.startsWith(u"*.")) entry = entry.mid(1);
    hosts << entry;
  }
  return hosts.join(u',').toUtf8();
}

DWORD ErrorOf(const TCurlTransfer& transfer) {
  switch (transfer.Failure()) {
    case TCurlTransfer::fNone:
      return ERROR_SUCCESS;
    case TCurlTransfer::fResponseTimeout:
      return ERROR_INTERNET_TIMEOUT;
    case TCurlTransfer::fCancelled:
      return ERROR_INTERNET_OPERATION_CANCELLED;
    case TCurlTransfer::fCurl:
      break;
  }
  switch (static_cast<CURLcode>(transfer.CurlCode())) {
    case CURLE_UNSUPPORTED_PROTOCOL:
      return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    case CURLE_URL_MALFORMAT:
      return ERROR_INTERNET_INVALID_URL;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT:
      return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT:
      return ERROR_INTERNET_TIMEOUT;
    case CURLE_TOO_MANY_REDIRECTS:
      return ERROR_HTTP_REDIRECT_FAILED;
    case CURLE_PEER_FAILED_VERIFICATION:
      return ERROR_INTERNET_INVALID_CA;
    case CURLE_SSL_CONNECT_ERROR:
      return ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
      return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_RECV_ERROR:
      return ERROR_INTERNET_CONNECTION_RESET;
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
      return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_OUT_OF_MEMORY:
      return ERROR_NOT_ENOUGH_MEMORY;
    case CURLE_ABORTED_BY_CALLBACK:
      return ERROR_INTERNET_OPERATION_CANCELLED;
    default:
      return ERROR_INTERNET_INTERNAL_ERROR;
  }
}

// Splits the header text of InternetOpenUrl into curl lines; false when a
// line is not "Name: value".
bool HeaderLines(const QString& text, QList<QByteArray>& lines) {
  for (const QString& raw :
       text.split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts)) {
    const QString line = raw.trimmed();
    if (line.isEmpty()) continue;
    const qsizetype colon = line.indexOf(u':');
    if (colon <= 0) return false;
    const QString name = line.left(colon).trimmed();
    for (QChar c : name)
      if (c.unicode() <= 0x20 || c.unicode() >= 0x7F) return false;
    if (line.contains(u'\r') || line.contains(u'\0')) return false;
    const QString value = line.mid(colon + 1).trimmed();
    lines.append(value.isEmpty() ? name.toLatin1() + ';' : name.toLatin1() + ": " + value.toUtf8());
  }
  return true;
}

}  // namespace

HINTERNET InternetOpenW(LPCWSTR Agent, DWORD AccessType, LPCWSTR Proxy, LPCWSTR ProxyBypass,
                        DWORD Flags) {
  if (Flags & INTERNET_FLAG_ASYNC) {
    LogNotCovered(lcHttp(), QStringLiteral("InternetOpen: INTERNET_FLAG_ASYNC (requests run synchronously; refused)"));
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto session = std::make_shared<TInetSession>();
  session->Agent = FromWide(Agent).toUtf8();
  session->AccessType = AccessType;
  switch (AccessType) {
    case INTERNET_OPEN_TYPE_PRECONFIG:
    case INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY:
    case INTERNET_OPEN_TYPE_DIRECT:
      break;
    case INTERNET_OPEN_TYPE_PROXY:
      session->Proxy = FromWide(Proxy).trimmed();
      session->NoProxy = BypassList(FromWide(ProxyBypass));
      if (session->Proxy.isEmpty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
  SetLastError(ERROR_SUCCESS);
  return Register(std::move(session));
}

BOOL InternetSetOptionW(HINTERNET Internet, DWORD Option, LPVOID Buffer, DWORD BufferLength) {
  auto object = Lookup<TInetHandle>(Internet);
  if (!object) return FALSE;
  switch (Option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT:
    case INTERNET_OPTION_SEND_TIMEOUT:
    case INTERNET_OPTION_RECEIVE_TIMEOUT:
    case INTERNET_OPTION_DATA_SEND_TIMEOUT:
    case INTERNET_OPTION_DATA_RECEIVE_TIMEOUT:
      break;
    default:
      SetLastError(ERROR_INTERNET_INVALID_OPTION);
      return FALSE;
  }
  if (!Buffer || BufferLength < sizeof(DWORD)) {
    SetLastError(ERROR_INTERNET_BAD_OPTION_LENGTH);
    return FALSE;
  }
  DWORD value = 0;
  std::memcpy(&value, Buffer, sizeof value);
  const int ms = TimeoutValue(value);
  const bool receive =
      Option == INTERNET_OPTION_RECEIVE_TIMEOUT || Option == INTERNET_OPTION_DATA_RECEIVE_TIMEOUT;
  if (auto session = std::dynamic_pointer_cast<TInetSession>(object)) {
    if (Option == INTERNET_OPTION_CONNECT_TIMEOUT)
      session->ConnectTimeout = ms;
    else if (receive)
      session->ReceiveTimeout = ms;
    else
      session->SendTimeout = ms;
    if (Option == INTERNET_OPTION_SEND_TIMEOUT || Option == INTERNET_OPTION_DATA_SEND_TIMEOUT)
      LogNotCovered(lcHttp(), QStringLiteral("InternetSetOption: send time-outs (kept, not applied: the receive "
                                             "time-out bounds a silent peer)"));
  } else if (auto request = std::dynamic_pointer_cast<TInetRequest>(object)) {
    // A request is connected already: only the receive limit still matters.
    if (receive && request->Transfer) request->Transfer->SetResponseTimeout(ms);
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

HINTERNET InternetOpenUrlW(HINTERNET Internet, LPCWSTR Url, LPCWSTR Headers, DWORD HeadersLength,
                           DWORD Flags, DWORD_PTR Context) {
  auto session = Lookup<TInetSession>(Internet);
  if (!session) return nullptr;
  if (!Url) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }

  TCurlRequestOptions options;
  QString scheme;
  switch (PrepareHttpUrl(FromWide(Url), options.Url, scheme)) {
    case ucOk:
      break;
    case ucNoScheme:
    case ucUnsupportedScheme:
      SetLastError(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
      return nullptr;
    case ucInvalid:
      SetLastError(ERROR_INTERNET_INVALID_URL);
      return nullptr;
  }
  if (Headers) {
    const qsizetype length =
        HeadersLength == static_cast<DWORD>(-1) ? -1 : static_cast<qsizetype>(HeadersLength);
    if (!HeaderLines(FromWide(Headers, length), options.Headers)) {
      SetLastError(ERROR_HTTP_INVALID_HEADER);
      return nullptr;
    }
  }
  if (Flags & INTERNET_FLAG_PRAGMA_NOCACHE) options.Headers.append("Pragma: no-cache");
  if (Flags & (INTERNET_FLAG_IGNORE_CERT_CN_INVALID | INTERNET_FLAG_IGNORE_CERT_DATE_INVALID))
    LogNotCovered(lcHttp(), QStringLiteral("InternetOpenUrl: INTERNET_FLAG_IGNORE_CERT_* (certificate checks are never "
                                           "relaxed)"));
  options.UserAgent = session->Agent;
  options.FollowRedirects = !(Flags & INTERNET_FLAG_NO_AUTO_REDIRECT);
  options.MaxRedirects = kMaxRedirects;
  options.ConnectTimeoutMs = session->ConnectTimeout;
  options.ResponseTimeoutMs = session->ReceiveTimeout;
  switch (session->AccessType) {
    case INTERNET_OPEN_TYPE_DIRECT:
      options.ProxyMode = TCurlRequestOptions::pmDirect;
      break;
    case INTERNET_OPEN_TYPE_PROXY: {
      const QString proxy = ProxyFor(session->Proxy, scheme);
      options.ProxyMode =
          proxy.isEmpty() ? TCurlRequestOptions::pmDirect : TCurlRequestOptions::pmExplicit;
      options.Proxy = proxy.toUtf8();
      options.NoProxy = session->NoProxy;
      break;
    }
    default:
      options.ProxyMode = TCurlRequestOptions::pmEnvironment;
      break;
  }

  auto request = std::make_shared<TInetRequest>();
  request->Parent = Key(Internet);
  request->Transfer = std::make_unique<TCurlTransfer>(options);
  // Registered before the wait, so closing the session meanwhile cancels it.
  HINTERNET handle = Register(request);
  bool ok = false;
  {
    std::lock_guard<std::mutex> guard(request->Lock);
    ok = request->Transfer->WaitForResponse();
  }
  if (!ok) {
    const DWORD error = ErrorOf(*request->Transfer);
    Unregister(Key(handle));
    SetLastError(error);
    return nullptr;
  }
  {
    // The session may have been closed while the head was on its way.
    std::lock_guard<std::mutex> guard(gHandlesLock);
    if (!gHandles.count(Key(handle))) {
      SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
      return nullptr;
    }
  }
  SetLastError(ERROR_SUCCESS);
  return handle;
}

BOOL HttpQueryInfoW(HINTERNET Request, DWORD InfoLevel, LPVOID Buffer, LPDWORD BufferLength,
                    LPDWORD Index) {
  auto request = Lookup<TInetRequest>(Request);
  if (!request) return FALSE;
  if (!BufferLength) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD level = InfoLevel & 0xFFFF;
  const DWORD modifiers = InfoLevel & 0xFFFF0000;
  const bool asNumber = modifiers & HTTP_QUERY_FLAG_NUMBER;
  if (modifiers & ~HTTP_QUERY_FLAG_NUMBER) {
    SetLastError(ERROR_HTTP_INVALID_QUERY_REQUEST);
    return FALSE;
  }

  QStringList values;
  {
    std::lock_guard<std::mutex> guard(request->Lock);
    const TCurlTransfer& t = *request->Transfer;
    auto headerValues = [&](const char* name) {
      for (const auto& h : t.Headers())
        if (h.first.compare(name, Qt::CaseInsensitive) == 0) values << HeaderText(h.second);
    };
    switch (level) {
      case HTTP_QUERY_STATUS_CODE:
        values << QString::number(t.StatusCode());
        break;
      case HTTP_QUERY_STATUS_TEXT:
        values << HeaderText(t.ReasonPhrase());
        break;
      case HTTP_QUERY_CONTENT_TYPE:
        headerValues("Content-Type");
        break;
      case HTTP_QUERY_CONTENT_LENGTH:
        headerValues("Content-Length");
        break;
      case HTTP_QUERY_RAW_HEADERS_CRLF: {
        QString raw = HeaderText(t.StatusLine()) + QStringLiteral("\r\n");
        for (const auto& h : t.Headers())
          raw += HeaderText(h.first) + QStringLiteral(": ") + HeaderText(h.second) +
                 QStringLiteral("\r\n");
        values << raw + QStringLiteral("\r\n");
        break;
      }
      default:
        SetLastError(ERROR_HTTP_INVALID_QUERY_REQUEST);
        return FALSE;
    }
  }
  const DWORD occurrence = Index ? *Index : 0;
  if (occurrence >= static_cast<DWORD>(values.size())) {
    SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
    return FALSE;
  }
  const QString& value = values[occurrence];

  if (asNumber) {
    bool numeric = false;
    const uint number = value.trimmed().toUInt(&numeric);
    if (!numeric) {
      SetLastError(ERROR_HTTP_INVALID_HEADER);
      return FALSE;
    }
    if (!Buffer || *BufferLength < sizeof(DWORD)) {
      *BufferLength = sizeof(DWORD);
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    const DWORD dword = number;
    std::memcpy(Buffer, &dword, sizeof dword);
    *BufferLength = sizeof(DWORD);
  } else {
    const DWORD needed = static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR));
    if (!Buffer || *BufferLength < needed) {
      *BufferLength = needed;
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    std::memcpy(Buffer, value.utf16(), needed);  // with the terminating NUL
    *BufferLength = needed - sizeof(WCHAR);
  }
  if (Index) *Index = occurrence + 1;
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL InternetReadFile(HINTERNET File, LPVOID Buffer, DWORD NumberOfBytesToRead,
                      LPDWORD NumberOfBytesRead) {
  if (NumberOfBytesRead) *NumberOfBytesRead = 0;
  auto request = Lookup<TInetRequest>(File);
  if (!request) return FALSE;
  if (!NumberOfBytesRead || (!Buffer && NumberOfBytesToRead > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  qint64 read = 0;
  {
    std::lock_guard<std::mutex> guard(request->Lock);
    read = request->Transfer->Read(static_cast<char*>(Buffer), NumberOfBytesToRead);
    if (read < 0) {
      SetLastError(ErrorOf(*request->Transfer));
      return FALSE;
    }
  }
  *NumberOfBytesRead = static_cast<DWORD>(read);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL InternetCloseHandle(HINTERNET Internet) {
  const uintptr_t key = Key(Internet);
  std::vector<uintptr_t> closing;
  {
    std::lock_guard<std::mutex> guard(gHandlesLock);
    if (!gHandles.count(key)) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    closing.push_back(key);
    for (const auto& [child, object] : gHandles)
      if (object->Parent == key) closing.push_back(child);
  }
  for (uintptr_t k : closing) Unregister(k);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}
