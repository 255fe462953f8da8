#include "LoopbackServer.h"

#include <winsock2.h>

#include <stdexcept>

#include "TestSupport.h"

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
  // One connection at a time, as WinHTTP asks for one thing at a time; a held answer holds back
  // those after it too.
  server_ = std::thread([this, listener] {
    while (Readable(listener, stopping_)) {
      const SOCKET client = accept(listener, nullptr, nullptr);
      if (client != INVALID_SOCKET) Serve(client);
    }
  });
}

LoopbackServer::~LoopbackServer() {
  stopping_ = true;
  SetEvent(released_.get());
  server_.join();  // within a poll of 50 ms or a send's bound
  closesocket(static_cast<SOCKET>(listener_));
  WSACleanup();
}

void LoopbackServer::Add(const std::string& path, std::string response, bool held) {
  const std::lock_guard lock(mutex_);
  routes_[path] = {std::move(response), held};
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

void LoopbackServer::Serve(std::uintptr_t connection) {
  const auto client = static_cast<SOCKET>(connection);
  // A client that stops reading cannot hold a send for longer.
  setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&kLongestWait),
             sizeof kLongestWait);
  std::string head;
  char chunk[4096];
  while (head.find("\r\n\r\n") == std::string::npos && Readable(client, stopping_)) {
    const int got = recv(client, chunk, sizeof chunk, 0);
    if (got <= 0) break;
    head.append(chunk, static_cast<std::size_t>(got));
  }
  // "GET <path> HTTP/1.1"
  const std::size_t start = head.find(' ') + 1;
  const std::string path = head.substr(start, head.find(' ', start) - start);
  std::pair<std::string, bool> route{"HTTP/1.1 404 Not Found\r\nConnection: close\r\n\r\n", false};
  {
    const std::lock_guard lock(mutex_);
    requests_.push_back(head);
    if (const auto found = routes_.find(path); found != routes_.end()) route = found->second;
  }
  if (route.second) WaitForSingleObject(released_.get(), kLongestWait);
  for (std::size_t sent = 0; sent < route.first.size();) {
    const int now =
        send(client, &route.first[sent], static_cast<int>(route.first.size() - sent), 0);
    if (now <= 0) break;
    sent += static_cast<std::size_t>(now);
  }
  shutdown(client, SD_BOTH);
  closesocket(client);
}

}  // namespace brindlework::testing
