#pragma once
// Where a web site keeps its icon: the page's <link> elements read without trusting them, the
// addresses they name resolved against the page's, and the redirect rule of every request. The
// page, its links and every Location come from a stranger: each is read inside its bytes, and
// what cannot be an http(s) address is skipped.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"

namespace brindlework {

// The most of a page that is read for its links.
inline constexpr std::size_t kPageLimit = 512 * 1024;
// The most icon links kept from one page (the first ones), and the most of them tried.
inline constexpr std::size_t kMostPageLinks = 64;
inline constexpr std::size_t kMostPageCandidates = 3;
// The most redirects followed for one request.
inline constexpr int kMostRedirects = 5;

// An absolute http or https address, as a request names it: never a user part or a fragment;
// the path and query in ASCII (anything else percent-encoded as UTF-8), beginning with "/".
struct WebAddress {
  bool secure = false;     // https
  std::string host;        // lower case, ASCII; an IPv6 host without its brackets
  std::uint16_t port = 0;  // the scheme's own (80, 443) when the address names none
  std::string pathAndQuery = "/";
  bool operator==(const WebAddress&) const = default;
};

// "http://host[:port]/path?query", the port only when it is not the scheme's own.
std::string AddressText(const WebAddress& address);

// The address of one http:// or https:// text, as the user typed it or a browser dragged it;
// none for any other scheme, no host, a host of blanks or beyond ASCII, a port that is not a
// number from 1 to 65535.
std::optional<WebAddress> ParseWebAddress(TextView text);

// `reference` (an href or a Location, as bytes of the page or header) resolved against `base`:
// absolute, "//host/...", "/root-relative" or relative with "." and ".."; blanks around it trimmed,
// tabs and line breaks in it dropped. None when it names no http(s) address.
std::optional<WebAddress> ResolveAddress(const WebAddress& base, std::string_view reference);

// The addresses to try for the icon of the page read from `page` (its first kPageLimit bytes; an
// empty view for a page answered with another status than 200), reached at `final` after its
// redirects: at most kMostPageCandidates of its icon links, best first, then /favicon.ico at
// final's origin. Each address appears once. Best: "icon" links before apple-touch-icon tiles,
// those without a media attribute first, then the largest declared size; else the page's order.
std::vector<WebAddress> IconCandidates(std::string_view page, const WebAddress& final);

// What one response means for the request: go on to `next`, stop here with the response, or fail.
struct Redirect {
  enum class Outcome {
    NotRedirected,  // the response is the answer
    Follow,         // request `next`
    Refused,        // a redirect that is not followed: the request fails
  };
  Outcome outcome = Outcome::NotRedirected;
  WebAddress next;
};

// The response's status and Location header, for a request of `current` that has followed
// `redirectsSoFar` redirects: 301, 302, 303, 307 and 308 are followed to an http(s) address,
// never from https to http, at most kMostRedirects times; any other status is the answer.
Redirect NextAddress(const WebAddress& current, int status, std::string_view location,
                     int redirectsSoFar);

}  // namespace brindlework
