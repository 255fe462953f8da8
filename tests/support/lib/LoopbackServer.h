#pragma once
// An HTTP server on 127.0.0.1 for the fetch tests: canned answers by path, on a port the system
// picks, so that no test needs the internet. Every wait has a bound.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "platform/win32/Handles.h"

namespace brindlework::testing {

// One canned answer.
struct Route {
  int status = 200;
  std::string headers;  // more header lines, each ending in "\r\n"
  std::string body;
  // The Content-Length sent when it is not the body's size: a larger one cuts the body short (the
  // connection is closed after it).
  std::optional<std::size_t> declaredLength;
  bool held = false;        // answers only once Release() is called, or after 10 s
  Milliseconds dribble{0};  // the body a byte at a time, this far apart (at most 10 s in all)
};

class LoopbackServer {
 public:
  LoopbackServer();
  // Closes the connections of the clients, so that a worker still waiting for an answer returns.
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  // Answers requests of `path` (and its query) so; any other path gets a 404.
  void Add(const std::string& path, Route route);
  // http://127.0.0.1:<port><path>
  std::wstring Address(const std::string& path) const;
  // Lets the held routes answer.
  void Release();
  // The paths asked for, in order.
  std::vector<std::string> Requests() const;
  // Every request's line and headers as received, one after another.
  std::string Heads() const;

 private:
  void Accept();
  void Serve(std::uintptr_t client);
  std::optional<Route> RouteOf(const std::string& path) const;

  std::uintptr_t listener_;
  std::uint16_t port_ = 0;
  win32::UniqueHandle released_;  // set by Release() and by the destructor
  std::atomic<bool> stopping_ = false;
  mutable std::mutex mutex_;  // guards what follows
  std::map<std::string, Route> routes_;
  std::vector<std::string> requests_;
  std::string heads_;
  std::vector<std::thread> servers_;
  std::thread acceptor_;
};

}  // namespace brindlework::testing
