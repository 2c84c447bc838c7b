#include "platform/rtl/HttpClient.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstring>

#include "platform/rtl/CurlTransfer.h"
#include "platform/rtl/Encoding.h"
#include "platform/rtl/MessageText.h"

namespace {

// Header bytes are UTF-8 when they decode as such, else ISO-8859-1.
QString HeaderText(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// The value of a "charset=" parameter starting at index in text (lower case
// ASCII), without quotes; empty when there is none.
QByteArray CharsetValue(const QByteArray& text, qsizetype index) {
  qsizetype i = index;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && (text[i] == '"' || text[i] == '\'')) ++i;
  const qsizetype start = i;
  while (i < text.size() && !std::strchr("\"'; \t>/", text[i])) ++i;
  return text.mid(start, i - start);
}

// The charset a <meta> element declares in the first 1024 bytes of an HTML
// document, either as <meta charset="..."> or in an http-equiv content value.
QString MetaCharset(const QByteArray& body) {
  const QByteArray head = body.left(1024).toLower();
  qsizetype at = 0;
  while ((at = head.indexOf("<meta", at)) >= 0) {
    const qsizetype end = head.indexOf('>', at);
    const QByteArray tag = head.mid(at, end < 0 ? -1 : end - at);
    const qsizetype key = tag.indexOf("charset=");
    if (key >= 0) {
      QByteArray value = CharsetValue(tag, key + 8);
      // A document that declares UTF-16 in ASCII-readable text is not UTF-16.
      if (value.startsWith("utf-16")) value = "utf-8";
      if (!value.isEmpty()) return QString::fromLatin1(value);
    }
    if (end < 0) break;
    at = end;
  }
  return {};
}

bool StartsWith(const QByteArray& bytes, const TBytes& prefix) {
  return !prefix.isEmpty() && bytes.startsWith(prefix);
}

class THTTPResponse : public IHTTPResponse {
 public:
  THTTPResponse(int status, QString reason, TNetHeaders headers, QByteArray body)
      : FStatus(status),
        FReason(std::move(reason)),
        FHeaders(std::move(headers)),
        FBody(std::move(body)) {}

  int StatusCode() const override { return FStatus; }
  QString StatusText() const override { return FReason; }
  QString HeaderValue(const QString& Name) const override {
    for (const TNameValuePair& h : FHeaders)
      if (h.Name.compare(Name, Qt::CaseInsensitive) == 0) return h.Value;
    return {};
  }
  TNetHeaders Headers() const override { return FHeaders; }
  QString MimeType() const override {
    const QString type = HeaderValue(QStringLiteral("Content-Type"));
    return type.section(u';', 0, 0).trimmed().toLower();
  }
  QString ContentCharSet() const override {
    const QString type = HeaderValue(QStringLiteral("Content-Type"));
    const QStringList parts = type.split(u';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
      const QString part = parts[i].trimmed();
      if (part.startsWith(u"charset=", Qt::CaseInsensitive)) {
        QString value = part.mid(8).trimmed();
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
          value = value.mid(1, value.size() - 2);
        return value;
      }
    }
    return {};
  }
  QString ContentAsString(TEncoding* Encoding) const override {
    if (Encoding) {
      const TBytes preamble = Encoding->GetPreamble();
      return Encoding->GetString(StartsWith(FBody, preamble) ? FBody.mid(preamble.size()) : FBody);
    }
    // A byte-order mark outranks every declaration.
    for (TEncoding* marked :
         {TEncoding::UTF8(), TEncoding::Unicode(), TEncoding::BigEndianUnicode()}) {
      const TBytes preamble = marked->GetPreamble();
      if (StartsWith(FBody, preamble)) return marked->GetString(FBody.mid(preamble.size()));
    }
    QString charset = ContentCharSet();
    if (charset.isEmpty() && MimeType() == u"text/html") charset = MetaCharset(FBody);
    TEncoding* encoding = charset.isEmpty() ? nullptr : TEncoding::GetEncodingByName(charset);
    if (!encoding) encoding = TEncoding::UTF8();
    return encoding->GetString(FBody);
  }
  TBytes ContentAsBytes() const override { return FBody; }

 private:
  int FStatus;
  QString FReason;
  TNetHeaders FHeaders;
  QByteArray FBody;
};

bool IsTokenChar(QChar c) {
  const char16_t u = c.unicode();
  return u > 0x20 && u < 0x7F && !QStringView(u"()<>@,;:\\\"/[]?={}").contains(c);
}

// "Name: value" for curl; raises for a name that is not a token or a value
// holding a line break or NUL, which would let text forge further headers.
QByteArray HeaderLine(const TNameValuePair& header) {
  bool valid =
      !header.Name.isEmpty() && std::all_of(header.Name.cbegin(), header.Name.cend(), IsTokenChar);
  for (QChar c : header.Value)
    if (c == u'\r' || c == u'\n' || c == u'\0') valid = false;
  if (!valid)
    throw ENetHTTPClientException(MessageText(RtlConsts::SNetInvalidHeader,
                                              {header.Name + QStringLiteral(": ") + header.Value}));
  // curl reads "Name:" with no value as "drop this header"; "Name;" sends it empty.
  if (header.Value.trimmed().isEmpty()) return header.Name.toLatin1() + ';';
  return header.Name.toLatin1() + ": " + header.Value.toUtf8();
}

}  // namespace

std::unique_ptr<THTTPClient> THTTPClient::Create() { return std::make_unique<THTTPClient>(); }

THTTPClient::THTTPClient() = default;

QString THTTPClient::CustomHeaders(const QString& Name) const {
  for (const TNameValuePair& h : FCustomHeaders)
    if (h.Name.compare(Name, Qt::CaseInsensitive) == 0) return h.Value;
  return {};
}

void THTTPClient::SetCustomHeaders(const QString& Name, const QString& Value) {
  for (qsizetype i = 0; i < FCustomHeaders.size(); ++i) {
    if (FCustomHeaders[i].Name.compare(Name, Qt::CaseInsensitive) == 0) {
      if (Value.isEmpty())
        FCustomHeaders.removeAt(i);
      else
        FCustomHeaders[i].Value = Value;
      return;
    }
  }
  if (!Value.isEmpty()) {
    HeaderLine({Name, Value});  // validates
    FCustomHeaders.append({Name, Value});
  }
}

std::shared_ptr<IHTTPResponse> THTTPClient::Get(const QString& URL, const TNetHeaders& AHeaders) {
  TCurlRequestOptions options;
  QString scheme;
  switch (PrepareHttpUrl(URL, options.Url, scheme)) {
    case ucOk:
      break;
    case ucNoScheme:
      throw ENetHTTPClientException(MessageText(RtlConsts::SNetNoScheme, {URL}));
    case ucUnsupportedScheme:
      throw ENetHTTPClientException(MessageText(RtlConsts::SNetSchemeNotSupported, {scheme}));
    case ucInvalid:
      throw ENetHTTPClientException(MessageText(RtlConsts::SNetInvalidUrl, {URL}));
  }

  TNetHeaders headers = FCustomHeaders;
  for (const TNameValuePair& h : AHeaders) {
    headers.removeIf(
        [&](const TNameValuePair& o) { return o.Name.compare(h.Name, Qt::CaseInsensitive) == 0; });
    headers.append(h);
  }
  for (const TNameValuePair& h : headers) options.Headers.append(HeaderLine(h));
  options.UserAgent = FUserAgent.toUtf8();
  options.FollowRedirects = FHandleRedirects;
  options.MaxRedirects = FMaxRedirects;
  options.ConnectTimeoutMs = FConnectionTimeout;
  options.ResponseTimeoutMs = FResponseTimeout;
  if (FProxySettings.Host().isEmpty()) {
    options.ProxyMode = TCurlRequestOptions::pmDirect;
  } else {
    options.ProxyMode = TCurlRequestOptions::pmExplicit;
    options.Proxy = FProxySettings.Host().toUtf8();
    options.ProxyPort = FProxySettings.Port();
    options.ProxyUserName = FProxySettings.UserName().toUtf8();
    options.ProxyPassword = FProxySettings.Password().toUtf8();
  }

  TCurlTransfer transfer(options);
  QByteArray body;
  if (!transfer.ReadAll(body)) {
    if (transfer.Failure() == TCurlTransfer::fCurl &&
        transfer.CurlCode() == CURLE_TOO_MANY_REDIRECTS)
      throw ENetHTTPClientException(
          MessageText(RtlConsts::SNetMaxRedirections, {QString::number(FMaxRedirects)}));
    throw ENetHTTPClientException(transfer.ErrorMessage());
  }
  TNetHeaders received;
  for (const auto& h : transfer.Headers())
    received.append({HeaderText(h.first), HeaderText(h.second)});
  return std::make_shared<THTTPResponse>(transfer.StatusCode(), HeaderText(transfer.ReasonPhrase()),
                                         std::move(received), std::move(body));
}

bool HttpGetBounded(const QString& URL, qint64 AMaxBytes, int ATimeoutMs, QByteArray& ABody, QString* AContentType) {
  ABody.clear();
  if (AContentType) AContentType->clear();
  TCurlRequestOptions options;
  QString scheme;
  if (PrepareHttpUrl(URL, options.Url, scheme) != ucOk) return false;
  const int timeout = std::max(1, ATimeoutMs);
  options.ConnectTimeoutMs = timeout;
  options.ResponseTimeoutMs = timeout;
  options.TotalTimeoutMs = timeout;
  options.MaxBodyBytes = std::max<qint64>(1, AMaxBytes);
  options.ProxyMode = TCurlRequestOptions::pmEnvironment;
  try {
    TCurlTransfer transfer(options);
    QByteArray body;
    if (!transfer.ReadAll(body)) return false;
    if (transfer.StatusCode() < 200 || transfer.StatusCode() > 299) return false;
    if (AContentType) {
      for (const auto& h : transfer.Headers()) {
        if (h.first.compare("content-type", Qt::CaseInsensitive) != 0) continue;
        *AContentType = QString::fromLatin1(h.second.split(';').first().trimmed()).toLower();
        break;
      }
    }
    ABody = std::move(body);
    return true;
  } catch (...) {
    return false;
  }
}
