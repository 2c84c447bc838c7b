// The scripts this host puts into pages: the wrapper that turns a script's
// value into JSON text, and the chrome.webview object of page scripts.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

#include "platform/webview2/WebView2Internal.h"

namespace webview2 {

namespace {

// Event names of the relay between the script world of ExecuteScript and the
// page's own world (the web channel lives in the page's world).
constexpr char kRelayRequest[] = "tfwebview2-request";
constexpr char kRelayAnswer[] = "tfwebview2-answer";

// text as a JavaScript string literal, quotes included: a JSON string is one
// once the two line separators JSON leaves raw are escaped.
QString JsString(const QString& text) {
  QString literal = QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact));
  literal = literal.mid(1, literal.size() - 2);  // drop the array brackets
  literal.replace(QChar(0x2028), QStringLiteral("\\u2028"));
  literal.replace(QChar(0x2029), QStringLiteral("\\u2029"));
  return literal;
}

// chrome.webview for one script world, over send(request) -> Promise of the
// host's answer text.
const char kInstall[] = R"JS(
function tfInstallWebView(send) {
  var chrome = window.chrome;
  if (!chrome || (typeof chrome !== 'object' && typeof chrome !== 'function')) {
    chrome = {};
    Object.defineProperty(window, 'chrome', { value: chrome, configurable: true, writable: true });
  }
  if (chrome.webview) return;
  function revive(value) {
    if (Array.isArray(value)) return value.map(revive);
    if (value && typeof value === 'object') {
      if (typeof value.$hostObject === 'number' && Object.keys(value).length === 1)
        return asyncObject({ id: value.$hostObject });
      var copy = {};
      Object.keys(value).forEach(function (key) { copy[key] = revive(value[key]); });
      return copy;
    }
    return value;
  }
  function request(ref, kind, member, args) {
    return send({ ref: ref, kind: kind, member: member, args: args }).then(function (text) {
      var answer = JSON.parse(text);
      if (!answer.ok) throw new Error(answer.error);
      return revive(answer.value);
    });
  }
  function quiet(promise) { promise.catch(function () {}); }
  function plain(value) {
    var json = JSON.stringify(value);
    return json === undefined ? null : JSON.parse(json);
  }
  function asyncObject(ref) {
    return new Proxy(function () {}, {
      get: function (target, member) {
        if (typeof member !== 'string' || member === 'then') return undefined;
        var call = function () {
          return request(ref, 'call', member, Array.prototype.slice.call(arguments).map(plain));
        };
        call.then = function (resolve, reject) {
          return request(ref, 'get', member, []).then(resolve, reject);
        };
        return call;
      },
      set: function (target, member, value) {
        if (typeof member === 'string') quiet(request(ref, 'put', member, [plain(value)]));
        return true;
      }
    });
  }
  function syncObject(ref) {
    var known = {};
    return new Proxy({}, {
      get: function (target, member) {
        if (typeof member !== 'string' || member === 'then') return undefined;
        if (Object.prototype.hasOwnProperty.call(known, member)) return known[member];
        return function () {
          quiet(request(ref, 'call', member, Array.prototype.slice.call(arguments).map(plain)));
        };
      },
      set: function (target, member, value) {
        if (typeof member === 'string') {
          known[member] = value;
          quiet(request(ref, 'put', member, [plain(value)]));
        }
        return true;
      }
    });
  }
  var asyncRoots = {}, syncRoots = {};
  var sync = new Proxy({}, {
    get: function (target, name) {
      if (typeof name !== 'string' || name === 'then') return undefined;
      return syncRoots[name] || (syncRoots[name] = syncObject({ name: name }));
    },
    set: function () { return false; }
  });
  var hostObjects = new Proxy({}, {
    get: function (target, name) {
      if (typeof name !== 'string' || name === 'then') return undefined;
      if (name === 'sync') return sync;
      return asyncRoots[name] || (asyncRoots[name] = asyncObject({ name: name }));
    },
    set: function () { return false; }
  });
  var webview = {
    hostObjects: hostObjects,
    postMessage: function (message) {
      var json = JSON.stringify(message);
      quiet(send({ kind: 'message', message: json === undefined ? 'null' : json }));
    }
  };
  Object.defineProperty(chrome, 'webview', { value: webview, enumerable: true });
}
)JS";

}  // namespace

QString ScriptResultWrapper(const QString& script) {
  // Indirect eval runs the text at global scope and gives the value of its
  // last statement; the script world has its own, untouched JSON.
  return QStringLiteral(
             "(function () {\n"
             "  try {\n"
             "    var value = (0, eval)(%1);\n"
             "    if (value === undefined) return 'null';\n"
             "    var json = JSON.stringify(value);\n"
             "    return json === undefined ? 'null' : json;\n"
             "  } catch (e) {\n"
             "    return 'null';\n"
             "  }\n"
             "})()")
      .arg(JsString(script));
}

QString MainWorldBridgeScript() {
  static const QString text = [] {
    QFile file(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    const QString channel = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    return QStringLiteral(
               "(function () {\n"
               "  'use strict';\n"
               "  if (!window.qt || !window.qt.webChannelTransport) return;\n"
               "  var transport = window.qt.webChannelTransport;\n"
               "  %1\n"
               "  %2\n"
               "  var host = null, waiting = [];\n"
               "  function send(request) {\n"
               "    return new Promise(function (resolve) {\n"
               "      var text = JSON.stringify(request);\n"
               "      var go = function () { host.invoke(text, resolve); };\n"
               "      if (host) go(); else waiting.push(go);\n"
               "    });\n"
               "  }\n"
               "  new QWebChannel(transport, function (channel) {\n"
               "    host = channel.objects['%3'];\n"
               "    var queued = waiting; waiting = [];\n"
               "    queued.forEach(function (go) { go(); });\n"
               "  });\n"
               "  tfInstallWebView(send);\n"
               "  document.addEventListener('%4', function (event) {\n"
               "    var message;\n"
               "    try { message = JSON.parse(event.detail); } catch (e) { return; }\n"
               "    if (!message || typeof message.id !== 'number') return;\n"
               "    send(message.request).then(function (answer) {\n"
               "      document.dispatchEvent(new CustomEvent('%5',\n"
               "          { detail: JSON.stringify({ id: message.id, answer: answer }) }));\n"
               "    });\n"
               "  });\n"
               "})();\n")
        .arg(channel, QString::fromLatin1(kInstall), QLatin1String(kTransportName),
             QLatin1String(kRelayRequest), QLatin1String(kRelayAnswer));
  }();
  return text;
}

QString ScriptWorldBridgeScript() {
  return QStringLiteral(
             "(function () {\n"
             "  'use strict';\n"
             "  %1\n"
             "  var waiting = {}, next = 1;\n"
             "  document.addEventListener('%2', function (event) {\n"
             "    var message;\n"
             "    try { message = JSON.parse(event.detail); } catch (e) { return; }\n"
             "    var resolve = message && waiting[message.id];\n"
             "    if (!resolve) return;\n"
             "    delete waiting[message.id];\n"
             "    resolve(message.answer);\n"
             "  });\n"
             "  tfInstallWebView(function (request) {\n"
             "    return new Promise(function (resolve) {\n"
             "      var id = next++;\n"
             "      waiting[id] = resolve;\n"
             "      document.dispatchEvent(new CustomEvent('%3',\n"
             "          { detail: JSON.stringify({ id: id, request: request }) }));\n"
             "    });\n"
             "  });\n"
             "})();\n")
      .arg(QString::fromLatin1(kInstall), QLatin1String(kRelayAnswer), QLatin1String(kRelayRequest));
}

}  // namespace webview2
