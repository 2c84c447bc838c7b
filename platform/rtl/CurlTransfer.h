#pragma once
// Internal to the run-time: one HTTP(S) GET over libcurl, driven step by step
// so callers can wait for the response head first and read the body in
// pieces. Shared by THTTPClient and the WinINet-shaped calls.
//
// curl only ever speaks http and https here, also on redirects. The response
// time-out is an idle limit: it runs from the moment the request went out and
// restarts with every byte received, so a slow but steady download never
// times out while a silent server does.

#include <curl/curl.h>

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <atomic>
#include <chrono>

using TCurlHeaders = QList<QPair<QByteArray, QByteArray>>;

// Result of checking a URL before any network use.
enum TUrlCheck { ucOk, ucNoScheme, ucUnsupportedScheme, ucInvalid };

// Trims the blanks and control characters around Url, drops tabs and line
// breaks inside it and percent-encodes spaces, non-ASCII characters (as
// UTF-8) and the characters a URL may not hold, then checks that the result
// is an absolute http or https URL with a host. Scheme receives the scheme
// found (lower case), also when it is refused.
TUrlCheck PrepareHttpUrl(const QString& url, QByteArray& encoded, QString& scheme);

struct TCurlRequestOptions {
  enum TProxyMode {
    pmDirect,       // no proxy, whatever the environment says
    pmEnvironment,  // the proxy of the environment (http_proxy ...); loopback always direct
    pmExplicit      // Proxy below
  };
  QByteArray Url;  // from PrepareHttpUrl
  QList<QByteArray> Headers;  // "Name: value" lines
  QByteArray UserAgent;       // empty: none sent
  bool FollowRedirects = true;
  int MaxRedirects = 5;
  int ConnectTimeoutMs = 60000;   // name lookup, connection and TLS; <= 0: curl's default
  int ResponseTimeoutMs = 60000;  // idle limit after the request went out; <= 0: none
  int TotalTimeoutMs = 0;         // limit of the whole transfer, connection included; <= 0: none
  qint64 MaxBodyBytes = 0;        // a longer body fails the transfer; <= 0: no limit
  TProxyMode ProxyMode = pmDirect;
  QByteArray Proxy;  // host, host:port or scheme://host:port
  int ProxyPort = 0;  // 0: from Proxy or the scheme's default
  QByteArray ProxyUserName;
  QByteArray ProxyPassword;
  QByteArray NoProxy;  // comma-separated hosts that bypass an explicit proxy
};

class TCurlTransfer {
 public:
  explicit TCurlTransfer(const TCurlRequestOptions& options);
  ~TCurlTransfer();
  TCurlTransfer(const TCurlTransfer&) = delete;
  TCurlTransfer& operator=(const TCurlTransfer&) = delete;

  // Runs until the head of the final response is in (redirects followed).
  // False on failure: see Failed().
  bool WaitForResponse();
  // Copies up to count body bytes into buffer, waiting until count bytes are
  // there or the body ends. Returns the number copied (0 at the end) or -1 on
  // a failure with no byte left to hand out.
  qint64 Read(char* buffer, qint64 count);
  // Reads the rest of the body. False on failure.
  bool ReadAll(QByteArray& body);
  // Stops the transfer from another thread; a waiting call fails.
  void Cancel() { FCancelled = true; }
  void SetResponseTimeout(int ms) { FResponseTimeoutMs = ms; }

  int StatusCode() const { return FStatusCode; }
  const QByteArray& StatusLine() const { return FStatusLine; }
  const QByteArray& ReasonPhrase() const { return FReasonPhrase; }
  const TCurlHeaders& Headers() const { return FHeaders; }

  enum TFailure { fNone, fCurl, fResponseTimeout, fCancelled };
  TFailure Failure() const { return FFailure; }
  bool Failed() const { return FFailure != fNone; }
  int CurlCode() const { return FCurlCode; }  // CURLcode of an fCurl failure
  const QString& ErrorMessage() const { return FErrorMessage; }

 private:
  using TClock = std::chrono::steady_clock;
  static size_t OnHeader(char* data, size_t size, size_t count, void* self);
  static size_t OnBody(char* data, size_t size, size_t count, void* self);
  static int OnRequestReady(void* self, char* conn, char* local, int connPort, int localPort);
  template <class Done>
  void Pump(Done done);
  void Fail(TFailure failure, int curlCode, const QString& message);

  CURL* FEasy = nullptr;
  CURLM* FMulti = nullptr;
  curl_slist* FHeaderList = nullptr;
  char FErrorBuffer[CURL_ERROR_SIZE] = {};
  bool FFollowRedirects;
  std::atomic<int> FResponseTimeoutMs;
  std::atomic<bool> FCancelled{false};
  bool FDone = false;
  bool FHeadComplete = false;
  bool FBodyStarted = false;
  bool FRequestSent = false;
  TClock::time_point FLastActivity;
  qint64 FBytesReceived = 0;
  qint64 FMaxBodyBytes = 0;
  int FStatusCode = 0;
  QByteArray FStatusLine;
  QByteArray FReasonPhrase;
  TCurlHeaders FHeaders;
  QByteArray FBuffer;  // body bytes not handed out yet
  TFailure FFailure = fNone;
  int FCurlCode = 0;
  QString FErrorMessage;
};
