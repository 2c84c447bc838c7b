#include "tools/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace tools {

namespace {

constexpr qsizetype kMaxRequestHead = 64 * 1024;

int LoopbackSocket(uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("loopback server: socket() failed");
  const int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never any other interface
  address.sin_port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    throw std::runtime_error("loopback server: bind() failed");
  }
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  return fd;
}

QByteArray ReasonFor(int status) {
  static const std::map<int, const char*> kReasons = {
      {200, "OK"},           {201, "Created"},        {204, "No Content"},
      {301, "Moved Permanently"}, {302, "Found"},     {303, "See Other"},
      {304, "Not Modified"}, {307, "Temporary Redirect"}, {308, "Permanent Redirect"},
      {400, "Bad Request"},  {401, "Unauthorized"},   {403, "Forbidden"},
      {404, "Not Found"},    {500, "Internal Server Error"}, {503, "Service Unavailable"},
  };
  const auto found = kReasons.find(status);
  return found == kReasons.end() ? QByteArray("Status") : QByteArray(found->second);
}

bool SendAll(int fd, const QByteArray& bytes) {
  qsizetype sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent),
                             MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += n;
  }
  return true;
}

}  // namespace

QByteArray LoopbackHttpServer::Request::Header(const QByteArray& name) const {
  for (const auto& h : Headers)
    if (h.first.compare(name, Qt::CaseInsensitive) == 0) return h.second;
  return {};
}

LoopbackHttpServer::LoopbackHttpServer(std::chrono::milliseconds lifetime) {
  listener_ = LoopbackSocket(port_);
  if (::listen(listener_, 32) != 0) {
    ::close(listener_);
    throw std::runtime_error("loopback server: listen() failed");
  }
  wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  const auto deadline = std::chrono::steady_clock::now() + lifetime;
  acceptor_ = std::thread([this, deadline] { AcceptLoop(deadline); });
}

LoopbackHttpServer::~LoopbackHttpServer() { Stop(); }

QString LoopbackHttpServer::Url(const QString& path) const {
  return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
}

void LoopbackHttpServer::AddRoute(const QByteArray& path, Route route) {
  std::lock_guard<std::mutex> guard(lock_);
  handlers_.erase(path);
  routes_[path] = std::move(route);
}

void LoopbackHttpServer::AddHandler(const QByteArray& path, Handler handler) {
  std::lock_guard<std::mutex> guard(lock_);
  routes_.erase(path);
  handlers_[path] = std::move(handler);
}

void LoopbackHttpServer::AddPage(const QByteArray& path, const QByteArray& body,
                                 const QByteArray& contentType) {
  Route route;
  route.Headers.append(qMakePair(QByteArray("Content-Type"), QByteArray(contentType)));
  route.Body = body;
  AddRoute(path, std::move(route));
}

void LoopbackHttpServer::AddRedirect(const QByteArray& path, const QByteArray& location,
                                     int status) {
  Route route;
  route.Status = status;
  route.Headers.append(qMakePair(QByteArray("Location"), QByteArray(location)));
  route.Body = "moved";
  AddRoute(path, std::move(route));
}

std::vector<LoopbackHttpServer::Request> LoopbackHttpServer::Requests() const {
  std::lock_guard<std::mutex> guard(lock_);
  return requests_;
}

int LoopbackHttpServer::RequestCount(const QByteArray& path) const {
  std::lock_guard<std::mutex> guard(lock_);
  int count = 0;
  for (const Request& r : requests_)
    if (r.Path == path) ++count;
  return count;
}

void LoopbackHttpServer::Stop() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    stopping_ = true;
  }
  stopped_.notify_all();
  if (wake_ >= 0) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
  }
  if (acceptor_.joinable()) acceptor_.join();
  std::list<Connection> connections;
  {
    std::lock_guard<std::mutex> guard(lock_);
    connections.swap(connections_);
  }
  for (Connection& c : connections) c.Thread.join();
  if (listener_ >= 0) {
    ::close(listener_);
    listener_ = -1;
  }
  if (wake_ >= 0) {
    ::close(wake_);
    wake_ = -1;
  }
}

uint16_t LoopbackHttpServer::UnusedPort() {
  uint16_t port = 0;
  ::close(LoopbackSocket(port));  // bound, never listening, then released
  return port;
}

bool LoopbackHttpServer::Pause(int ms) {
  if (ms <= 0) return !stopping_;
  std::unique_lock<std::mutex> lock(lock_);
  stopped_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_.load(); });
  return !stopping_;
}

void LoopbackHttpServer::AcceptLoop(std::chrono::steady_clock::time_point deadline) {
  while (!stopping_ && std::chrono::steady_clock::now() < deadline) {
    pollfd waiting[2] = {{listener_, POLLIN, 0}, {wake_, POLLIN, 0}};
    if (::poll(waiting, wake_ >= 0 ? 2 : 1, 50) <= 0 || !(waiting[0].revents & POLLIN)) continue;
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    std::lock_guard<std::mutex> guard(lock_);
    if (stopping_) {
      ::close(client);
      break;
    }
    ReapFinished();
    Connection& connection = connections_.emplace_back();
    connection.Thread = std::thread([this, client, &connection] {
      Serve(client);
      connection.Done = true;
    });
  }
  // Past its lifetime the server refuses further connections.
  ::shutdown(listener_, SHUT_RDWR);
}

void LoopbackHttpServer::ReapFinished() {
  for (auto it = connections_.begin(); it != connections_.end();) {
    if (it->Done) {
      it->Thread.join();
      it = connections_.erase(it);
    } else {
      ++it;
    }
  }
}

void LoopbackHttpServer::Serve(int socket) {
  timeval limit{5, 0};
  ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  QByteArray head;
  char chunk[4096];
  while (!head.contains("\r\n\r\n") && head.size() < kMaxRequestHead && !stopping_) {
    const ssize_t n = ::recv(socket, chunk, sizeof chunk, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    head.append(chunk, n);
  }
  const qsizetype headEnd = head.indexOf("\r\n\r\n");
  if (headEnd < 0) {
    ::close(socket);
    return;
  }

  Request request;
  const QList<QByteArray> lines = head.left(headEnd).split('\n');
  const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
  request.Method = requestLine.value(0);
  request.Target = requestLine.value(1);
  const qsizetype queryStart = request.Target.indexOf('?');
  request.Path = queryStart < 0 ? request.Target : request.Target.left(queryStart);
  if (queryStart >= 0) request.Query = request.Target.mid(queryStart + 1);
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QByteArray line = lines[i].trimmed();
    const qsizetype colon = line.indexOf(':');
    if (colon > 0)
      request.Headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
  }

  Route route;
  Handler handler;
  bool found = false;
  {
    std::lock_guard<std::mutex> guard(lock_);
    requests_.push_back(request);
    if (auto h = handlers_.find(request.Path); h != handlers_.end()) {
      handler = h->second;
      found = true;
    } else if (auto r = routes_.find(request.Path); r != routes_.end()) {
      route = r->second;
      found = true;
    }
  }
  if (handler) route = handler(request);
  if (!found) {
    route.Status = 404;
    route.Headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/plain")));
    route.Body = "not found";
  }

  if (Pause(route.DelayMs)) {
    QByteArray response = "HTTP/1.1 " + QByteArray::number(route.Status) + ' ' +
                          (route.Reason.isEmpty() ? ReasonFor(route.Status) : route.Reason) +
                          "\r\n";
    for (const auto& h : route.Headers) response += h.first + ": " + h.second + "\r\n";
    response += "Content-Length: " + QByteArray::number(route.Body.size()) + "\r\n";
    response += "Connection: close\r\n\r\n";
    if (SendAll(socket, response) && Pause(route.BodyDelayMs) && request.Method != "HEAD")
      SendAll(socket, route.Body);
  }
  ::shutdown(socket, SHUT_WR);
  ::close(socket);
}

}  // namespace tools
