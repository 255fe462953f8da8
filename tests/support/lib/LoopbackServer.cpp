#include "LoopbackServer.h"

#include <winsock2.h>

#include <algorithm>
#include <stdexcept>

namespace brindlework::testing {
namespace {

constexpr DWORD kLongestWait = 10000;

// Waits for the socket to be readable, polling so that the destructor never has to wake a
// blocked receive (Wine's shutdown and closesocket do not).
bool Readable(SOCKET socket, const std::atomic<bool>& stopping) {
  while (!stopping) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(socket, &ready);
    timeval poll{0, 50000};
    const int found = select(0, &ready, nullptr, nullptr, &poll);
    if (found != 0) return found == 1;
  }
  return false;
}

bool SendAll(SOCKET socket, const char* data, std::size_t length) {
  while (length > 0) {
    const int sent = send(socket, data, static_cast<int>(std::min<std::size_t>(length, 65536)), 0);
    if (sent <= 0) return false;
    data += sent;
    length -= static_cast<std::size_t>(sent);
  }
  return true;
}

}  // namespace

LoopbackServer::LoopbackServer() : released_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
  const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  listener_ = listener;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never reachable from another machine
  int length = sizeof address;
  if (listener == INVALID_SOCKET ||
      bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, SOMAXCONN) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("no loopback server: " + std::to_string(WSAGetLastError()));
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { Accept(); });
}

LoopbackServer::~LoopbackServer() {
  stopping_ = true;
  SetEvent(released_.get());
  // Each within its 50 ms poll; each connection's thread closes its socket as it ends.
  acceptor_.join();
  for (auto& server : servers_) server.join();
  closesocket(static_cast<SOCKET>(listener_));
  WSACleanup();
}

void LoopbackServer::Add(const std::string& path, Route route) {
  const std::lock_guard lock(mutex_);
  routes_[path] = std::move(route);
}

std::wstring LoopbackServer::Address(const std::string& path) const {
  return L"http://127.0.0.1:" + std::to_wstring(port_) + FromUtf8(path);
}

void LoopbackServer::Release() {
  SetEvent(released_.get());
}

std::vector<std::string> LoopbackServer::Requests() const {
  const std::lock_guard lock(mutex_);
  return requests_;
}

std::string LoopbackServer::Heads() const {
  const std::lock_guard lock(mutex_);
  return heads_;
}

std::optional<Route> LoopbackServer::RouteOf(const std::string& path) const {
  const std::lock_guard lock(mutex_);
  const auto route = routes_.find(path);
  if (route == routes_.end()) return std::nullopt;
  return route->second;
}

void LoopbackServer::Accept() {
  const auto listener = static_cast<SOCKET>(listener_);
  while (!stopping_) {
    if (!Readable(listener, stopping_)) continue;
    const SOCKET client = accept(listener, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    // A client that stops reading without closing cannot hold a send for longer.
    setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&kLongestWait),
               sizeof kLongestWait);
    const std::lock_guard lock(mutex_);
    servers_.emplace_back([this, client] { Serve(client); });
  }
}

// One client's connection: its requests in turn, until it closes it or an answer cuts it.
void LoopbackServer::Serve(std::uintptr_t connection) {
  const auto client = static_cast<SOCKET>(connection);
  std::string received;
  for (bool open = true; open && !stopping_;) {
    std::size_t end;
    while ((end = received.find("\r\n\r\n")) == std::string::npos) {
      char chunk[4096];
      const int got = Readable(client, stopping_) ? recv(client, chunk, sizeof chunk, 0) : 0;
      if (got <= 0) break;
      received.append(chunk, static_cast<std::size_t>(got));
    }
    if (end == std::string::npos) break;
    // "GET <path> HTTP/1.1"
    const std::size_t start = received.find(' ') + 1;
    const std::string path = received.substr(start, received.find(' ', start) - start);
    {
      const std::lock_guard lock(mutex_);
      requests_.push_back(path);
      heads_.append(received, 0, end + 4);
    }
    received.erase(0, end + 4);
    const Route route = RouteOf(path).value_or(Route{.status = 404});
    if (route.held) WaitForSingleObject(released_.get(), kLongestWait);
    const std::size_t length = route.declaredLength.value_or(route.body.size());
    const std::string head = "HTTP/1.1 " + std::to_string(route.status) +
                             " Canned\r\nContent-Length: " + std::to_string(length) + "\r\n" +
                             route.headers + "\r\n";
    open = SendAll(client, head.data(), head.size()) && length == route.body.size();
    if (route.dribble.count() == 0) {
      open = SendAll(client, route.body.data(), route.body.size()) && open;
      continue;
    }
    const auto until = GetTickCount64() + kLongestWait;
    std::size_t sent = 0;
    while (sent < route.body.size() && GetTickCount64() < until && !stopping_ &&
           SendAll(client, &route.body[sent], 1)) {
      ++sent;
      Sleep(static_cast<DWORD>(route.dribble.count()));
    }
    open = open && sent == route.body.size();
  }
  shutdown(client, SD_BOTH);
  closesocket(client);
}

}  // namespace brindlework::testing
