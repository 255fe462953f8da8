#include "pinning/TaskbarIdentity.h"

#include "platform/Fnv1a.h"

namespace brindlework::pinning {

// Frozen for good: every pin that users have made carries an ID computed this way, and a
// change here would orphan all of them (Windows would show each as a new, unpinned program).
Text AppUserModelId(TextView item) {
  Fnv1a64 hash;
  for (const char16_t unit : item) {  // UTF-16LE
    hash.Add(static_cast<std::uint8_t>(unit & 0xFFu));
    hash.Add(static_cast<std::uint8_t>(unit >> 8));
  }
  return u"Brindlework.Item." + hash.Hex();
}

}  // namespace brindlework::pinning
