#pragma once
// The icon of a web site, fetched from the site while the user may cancel.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Text.h"

namespace brindlework {

// Why a site could not be reached: the causes the user is told by name, else the system's number.
enum class Unreachable {
  NameNotFound,      // the host name was not found
  NoConnection,      // no connection could be made
  TooSlow,           // the site took too long, or the whole fetch its limit
  Insecure,          // the secure connection failed
  TooManyRedirects,  // or a redirect that is not followed
  Other,             // `error` holds the system's number
};

struct FetchedIcon {
  enum class Outcome {
    Fetched,      // `bytes` hold a picture that the system decodes
    Unreachable,  // the address itself could not be fetched: `cause`, `error`
    NoIcon,       // the site answered, but offers no icon that the system can read
    Cancelled,    // the user cancelled; nothing else is known
  };
  Outcome outcome = Outcome::NoIcon;
  std::vector<std::byte> bytes;
  Unreachable cause = Unreachable::Other;
  std::int32_t error = 0;
};

class SiteIconFetch {
 public:
  virtual ~SiteIconFetch() = default;
  // Fetches the icon of the site at the http(s) address (the picture it names, else the page's
  // icon links, else /favicon.ico), modal to `owner`: the owner takes no input meanwhile, and a
  // fetch that takes long shows a progress window with Cancel. Never throws for the network; a
  // fault of the program's own (no memory, no thread) throws Error.
  virtual FetchedIcon Fetch(WindowHandle owner, const Text& address) = 0;
};

}  // namespace brindlework
