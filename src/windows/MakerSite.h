#pragma once
// The maker's web site, which the Help menu, the About window and the Support window open.

#include "platform/Text.h"

namespace brindlework::MakerSite {

// Short enough that the About window's address label shows it whole.
inline constexpr TextView kHost = u"brindle.work";

inline Text Address(TextView path) { return u"https://" + Text(kHost) + Text(path); }

}  // namespace brindlework::MakerSite
