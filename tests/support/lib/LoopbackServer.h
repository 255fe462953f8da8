#pragma once
// An HTTP server on 127.0.0.1 for the fetch tests: canned answers by path, on a port the system
// picks, so that no test needs the internet. One answer a connection; every wait has a bound.

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/win32/Handles.h"

namespace brindlework::testing {

class LoopbackServer {
 public:
  LoopbackServer();
  // Lets the held answers go and ends every connection, so that a late worker returns.
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  // Answers a request of `path` (with its query) with these bytes as they stand, then closes the
  // connection; a held answer waits for Release(), at most 10 s. Any other path gets a 404.
  void Add(const std::string& path, std::string response, bool held = false);
  std::wstring Address(const std::string& path) const;  // http://127.0.0.1:<port><path>
  void Release();
  // Each request's line and headers as received, in order.
  std::vector<std::string> Requests() const;

 private:
  void Serve(std::uintptr_t connection);

  std::uintptr_t listener_;
  std::uint16_t port_ = 0;
  win32::UniqueHandle released_;  // set by Release() and by the destructor
  std::atomic<bool> stopping_ = false;
  mutable std::mutex mutex_;  // guards the routes and the requests
  std::map<std::string, std::pair<std::string, bool>> routes_;
  std::vector<std::string> requests_;
  std::thread server_;
};

}  // namespace brindlework::testing
