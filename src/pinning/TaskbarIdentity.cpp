#include "pinning/TaskbarIdentity.h"

#include <cstdint>

namespace brindlework::pinning {

// Frozen for good: every pin that users have made carries an ID computed this way, and a
// change here would orphan all of them (Windows would show each as a new, unpinned program).
Text AppUserModelId(TextView item) {
  constexpr std::uint64_t kOffsetBasis = 0xcbf29ce484222325;
  constexpr std::uint64_t kPrime = 0x100000001b3;
  std::uint64_t hash = kOffsetBasis;
  for (const char16_t unit : item) {
    hash = (hash ^ (unit & 0xFFu)) * kPrime;
    hash = (hash ^ (unit >> 8)) * kPrime;
  }
  Text id = u"Brindlework.Item.";
  for (int shift = 60; shift >= 0; shift -= 4) id += u"0123456789abcdef"[hash >> shift & 0xF];
  return id;
}

}  // namespace brindlework::pinning
