#pragma once
#include <chrono>
#include <cstddef>

#include "platform/SiteIconFetch.h"

namespace brindlework::win32 {

// How long a fetch may take and how much it reads; tests shorten them.
struct FetchLimits {
  std::chrono::milliseconds step{5000};      // each resolve, connect, send and wait for an answer
  std::chrono::milliseconds whole{15000};    // the whole fetch, redirects and candidates included
  std::size_t largestPicture = 1024 * 1024;  // a larger one is not used
  std::chrono::milliseconds progressDelay{500};  // a fetch this quick shows no progress window
};

// A site's icon through WinHTTP (delay-loaded), in a worker thread of its own, while the owner
// is disabled and, after the progress delay, a task dialog offers Cancel. Cancel and the
// deadline never wait for the worker: under Wine a blocked WinHTTP call ends only at its own
// timeout, so the worker may outlive Fetch by one step's limit, holding nothing of the caller's.
class Win32SiteIconFetch final : public SiteIconFetch {
 public:
  explicit Win32SiteIconFetch(FetchLimits limits = {}) : limits_(limits) {}

  FetchedIcon Fetch(WindowHandle owner, const Text& address) override;

 private:
  FetchLimits limits_;
};

}  // namespace brindlework::win32
