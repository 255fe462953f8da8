#pragma once
// A web address's own icon: fetched from its site and made into an icon file, for GO! and for a
// dropped link.

#include <optional>

#include "pinning/Fields.h"
#include "platform/IconFiles.h"
#include "platform/SiteIconFetch.h"

namespace brindlework::pinning {

// Followed by the host, then kIconNotFetchedBecause and the cause.
inline constexpr TextView kIconNotFetched = u"The icon of ";
inline constexpr TextView kIconNotFetchedBecause = u" could not be fetched: ";
// After the host.
inline constexpr TextView kNoSiteIcon = u" offers no icon that Windows can read.";

// What an icon of an item is made of, besides the fields.
struct IconServices {
  IconFiles& files;
  SiteIconFetch& sites;
};

// A site's icon as the icon field takes it: the made icon file's path; else, when the user did not
// cancel, what to tell them.
struct SiteIcon {
  std::optional<Text> path;
  Text failure;
  bool cancelled = false;  // nothing to tell
};

// Fetches the icon of the site at the address, modal to the window, and makes an icon file of
// it. Throws Error when the icon file cannot be made.
SiteIcon FetchSiteIcon(WindowHandle window, const IconServices& icons, const Text& address);

// The host of an address with an authority ("scheme://user@host:port/..."); empty otherwise, and
// for an IPv6 host, whose colons no title can hold.
Text Host(TextView address);

}  // namespace brindlework::pinning
