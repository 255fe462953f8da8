#include "pinning/WebIcons.h"

#include "platform/Error.h"

namespace brindlework::pinning {
namespace {

Text Cause(const FetchedIcon& fetched) {
  switch (fetched.cause) {
    case Unreachable::NameNotFound: return u"the name was not found";
    case Unreachable::NoConnection: return u"no connection could be made";
    case Unreachable::TooSlow: return u"it took too long";
    case Unreachable::Insecure: return u"the secure connection failed";
    case Unreachable::TooManyRedirects: return u"too many redirects";
    case Unreachable::Other: break;
  }
  return u"error " + DecimalText(fetched.error);
}

}  // namespace

SiteIcon FetchSiteIcon(WindowHandle window, const IconServices& icons, const Text& address) {
  const FetchedIcon fetched = icons.sites.Fetch(window, address);
  Text host = Host(address);
  if (host.empty()) host = address;  // an IPv6 host still names the site
  switch (fetched.outcome) {
    case FetchedIcon::Outcome::Fetched: {
      const PictureIcon made = icons.files.IconOfBytes(fetched.bytes);
      if (made.outcome == PictureIcon::Outcome::Made) return {made.path};
      break;  // the fetch decoded it: no other outcome is expected
    }
    case FetchedIcon::Outcome::Unreachable:
      return {std::nullopt, Text(kIconNotFetched) + host + Text(kIconNotFetchedBecause) +
                                Cause(fetched) + u"."};
    case FetchedIcon::Outcome::NoIcon: break;
    case FetchedIcon::Outcome::Cancelled: return {.cancelled = true};
  }
  return {std::nullopt, host + Text(kNoSiteIcon)};
}

Text Host(TextView address) {
  const auto colon = address.find(u':');
  if (colon == TextView::npos || address.substr(colon + 1, 2) != u"//") return Text();
  TextView authority = address.substr(colon + 3);
  authority = authority.substr(0, authority.find_first_of(u"/?#"));
  if (const auto at = authority.rfind(u'@'); at != TextView::npos) authority.remove_prefix(at + 1);
  if (authority.starts_with(u'[')) return Text();
  return Text(authority.substr(0, authority.find(u':')));
}

}  // namespace brindlework::pinning
