#pragma once
// A small HTTP/1.1 server for tests and demonstrations. It listens on
// 127.0.0.1 only, on a free port the system picks, answers from routes
// registered per path (fixed answers, or handlers that build the answer from
// the request), records every request, and stops in its destructor or once
// its lifetime is over. Each connection carries one request (the answer
// closes it) and is served on its own thread; finished threads are reaped as
// the server runs, so a long-lived server does not pile them up.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace tools {

using HttpHeaderList = QList<QPair<QByteArray, QByteArray>>;

class LoopbackHttpServer {
 public:
  struct Route {
    int Status = 200;
    QByteArray Reason;  // empty: the usual phrase for Status
    HttpHeaderList Headers;
    QByteArray Body;
    int DelayMs = 0;      // wait before the response head
    int BodyDelayMs = 0;  // wait between the head and the body
  };

  struct Request {
    QByteArray Method;
    QByteArray Target;  // as sent: path and query
    QByteArray Path;    // without the query
    QByteArray Query;   // after the "?", still percent-encoded; empty when none
    HttpHeaderList Headers;
    // The first header of that name (compared without case); empty when absent.
    QByteArray Header(const QByteArray& name) const;
  };

  // Builds the answer for a request; runs on the connection's thread.
  using Handler = std::function<Route(const Request&)>;

  explicit LoopbackHttpServer(std::chrono::milliseconds lifetime = std::chrono::seconds(60));
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  uint16_t Port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by path.
  QString Url(const QString& path = QStringLiteral("/")) const;

  // Answers requests for path (query ignored). Unknown paths get 404.
  void AddRoute(const QByteArray& path, Route route);
  // Answers requests for path with whatever the handler builds (replaces a
  // fixed route of that path). The handler must not call back into the server.
  void AddHandler(const QByteArray& path, Handler handler);
  // A body of the given type with status 200.
  void AddPage(const QByteArray& path, const QByteArray& body,
               const QByteArray& contentType = "text/html");
  // A redirect to location (absolute, or relative to this server).
  void AddRedirect(const QByteArray& path, const QByteArray& location, int status = 302);

  std::vector<Request> Requests() const;
  int RequestCount(const QByteArray& path) const;

  // Stops listening, ends waiting answers and joins every thread. Idempotent.
  void Stop();

  // A loopback port with nothing listening on it (connections are refused).
  static uint16_t UnusedPort();

 private:
  void AcceptLoop(std::chrono::steady_clock::time_point deadline);
  void Serve(int socket);
  // Joins the connection threads that have finished. Called with lock_ held.
  void ReapFinished();
  // Sleeps up to ms; false when the server is stopping.
  bool Pause(int ms);

  int listener_ = -1;
  int wake_ = -1;  // eventfd that ends the accept wait on Stop
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex lock_;
  std::condition_variable stopped_;
  struct Connection {
    std::thread Thread;
    std::atomic<bool> Done{false};
  };

  std::map<QByteArray, Route> routes_;
  std::map<QByteArray, Handler> handlers_;
  std::vector<Request> requests_;
  std::list<Connection> connections_;
  std::thread acceptor_;
};

}  // namespace tools
