#pragma once
// THTTPClient: blocking HTTP(S) requests over libcurl with the framework's
// interface. Only http and https URLs are accepted; any other scheme is
// refused before any network use, and redirects may only lead to http or
// https either.

#include <QList>
#include <QString>
#include <memory>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"

class TEncoding;

TF_DECLARE_EXCEPTION(ENetException, Exception)
TF_DECLARE_EXCEPTION(ENetHTTPException, ENetException)
TF_DECLARE_EXCEPTION(ENetHTTPClientException, ENetHTTPException)

struct TNameValuePair {
  QString Name;
  QString Value;
  bool operator==(const TNameValuePair&) const = default;
};
using TNetHeaders = QList<TNameValuePair>;

// A received response: the head of the final response (after redirects) and
// its whole body.
class IHTTPResponse {
 public:
  virtual ~IHTTPResponse() = default;
  virtual int StatusCode() const = 0;
  // The reason phrase ("OK", "Not Found"); empty over HTTP/2, which has none.
  virtual QString StatusText() const = 0;
  // The first header of that name (compared without case); empty when absent.
  virtual QString HeaderValue(const QString& Name) const = 0;
  virtual TNetHeaders Headers() const = 0;
  // The media type of Content-Type in lower case ("text/html").
  virtual QString MimeType() const = 0;
  // The charset parameter of Content-Type as sent; empty when absent.
  virtual QString ContentCharSet() const = 0;
  // The body as text. With no Encoding given it is decoded by the response's
  // character set: a byte-order mark first, else the charset of Content-Type,
  // else for HTML a <meta> charset within the first 1024 bytes, else UTF-8.
  // An unknown charset name also decodes as UTF-8.
  virtual QString ContentAsString(TEncoding* Encoding = nullptr) const = 0;
  virtual TBytes ContentAsBytes() const = 0;
};

class TProxySettings {
 public:
  TProxySettings() = default;
  TProxySettings(const QString& Host, int Port, const QString& UserName = {},
                 const QString& Password = {})
      : FHost(Host), FPort(Port), FUserName(UserName), FPassword(Password) {}
  QString Host() const { return FHost; }
  int Port() const { return FPort; }
  QString UserName() const { return FUserName; }
  QString Password() const { return FPassword; }
  bool operator==(const TProxySettings&) const = default;

 private:
  QString FHost;
  int FPort = 0;
  QString FUserName;
  QString FPassword;
};

class THTTPClient : public TObject {
 public:
  static std::unique_ptr<THTTPClient> Create();
  THTTPClient();

  // One GET. AHeaders are sent after (and override) CustomHeaders. Raises
  // ENetHTTPClientException for a refused or malformed URL, a time-out, a
  // connection failure or too many redirects. An HTTP error status is a
  // normal response.
  std::shared_ptr<IHTTPResponse> Get(const QString& URL, const TNetHeaders& AHeaders = {});

  // Milliseconds for name lookup, connection and TLS set-up.
  int ConnectionTimeout() const { return FConnectionTimeout; }
  void SetConnectionTimeout(int value) { FConnectionTimeout = value; }
  // Milliseconds the server may stay silent once the request went out
  // (restarted by every byte received); <= 0: no limit.
  int ResponseTimeout() const { return FResponseTimeout; }
  void SetResponseTimeout(int value) { FResponseTimeout = value; }
  // Milliseconds allowed for sending a request body. A GET sends none, so it
  // only limits requests that have one.
  int SendTimeout() const { return FSendTimeout; }
  void SetSendTimeout(int value) { FSendTimeout = value; }
  // No proxy by default, whatever the environment says.
  TProxySettings ProxySettings() const { return FProxySettings; }
  void SetProxySettings(const TProxySettings& value) { FProxySettings = value; }
  bool HandleRedirects() const { return FHandleRedirects; }
  void SetHandleRedirects(bool value) { FHandleRedirects = value; }
  // Redirects followed at most; one more raises.
  int MaxRedirects() const { return FMaxRedirects; }
  void SetMaxRedirects(int value) { FMaxRedirects = value; }
  QString UserAgent() const { return FUserAgent; }
  void SetUserAgent(const QString& value) { FUserAgent = value; }
  // Headers sent with every request; setting an empty value removes one.
  QString CustomHeaders(const QString& Name) const;
  void SetCustomHeaders(const QString& Name, const QString& Value);

 private:
  int FConnectionTimeout = 60000;
  int FResponseTimeout = 60000;
  int FSendTimeout = 60000;
  TProxySettings FProxySettings;
  bool FHandleRedirects = true;
  int FMaxRedirects = 5;
  QString FUserAgent = QStringLiteral("Mozilla/5.0 (compatible; Tallowfinch)");
  TNetHeaders FCustomHeaders;
};

// One GET of a small resource (a picture), bounded in time and size: http
// and https only (redirects too), ATimeoutMs for the whole transfer, the
// connection included, and at most AMaxBytes of body. The body of a 2xx
// answer; false (ABody empty) for any failure, another status, a body
// beyond the limit, or a time-out. AContentType, when given, receives the
// media type in lower case. Never raises.
bool HttpGetBounded(const QString& URL, qint64 AMaxBytes, int ATimeoutMs, QByteArray& ABody,
                    QString* AContentType = nullptr);
