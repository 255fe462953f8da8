#include "platform/DropBlocks.h"

#include <algorithm>
#include <cstdint>

namespace brindlework {
namespace {

// A little-endian value at an offset that the caller has checked to fit.
std::uint32_t Read32(Block block, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | std::to_integer<std::uint32_t>(block[at + i]);
  return value;
}
std::uint16_t Read16(Block block, std::size_t at) {
  return static_cast<std::uint16_t>(std::to_integer<unsigned>(block[at]) |
                                    std::to_integer<unsigned>(block[at + 1]) << 8);
}

// The ID list that starts at `at`, its chain of sizes followed to the zero terminator.
std::optional<Block> IdListAt(Block block, std::size_t at) {
  for (std::size_t item = at;;) {
    if (item > block.size() || block.size() - item < 2) return std::nullopt;
    const std::uint16_t size = Read16(block, item);
    if (size == 0) return block.subspan(at, item + 2 - at);
    if (size < 2) return std::nullopt;  // the size counts its own two bytes: 1 would not advance
    item += size;
  }
}

// What no address holds, and what splits a selection of words or lines: every control character
// (C0, DEL, C1) and every character of Unicode's space, line and paragraph separator categories.
bool IsSeparatorOrControl(char16_t unit) {
  return unit <= u' ' || (unit >= u'\u007F' && unit <= u'\u00A0') || unit == u'\u1680' ||
         (unit >= u'\u2000' && unit <= u'\u200A') || unit == u'\u2028' || unit == u'\u2029' ||
         unit == u'\u202F' || unit == u'\u205F' || unit == u'\u3000';
}

}  // namespace

std::optional<IdListArray> ReadIdListArray(Block block) {
  if (block.size() < 4) return std::nullopt;
  const std::uint64_t count = Read32(block, 0);
  // The count, then cidl + 1 offsets: the parent's and one per item. 64 bits cannot overflow.
  if (count == 0 || (count + 2) * 4 > block.size()) return std::nullopt;
  IdListArray lists;
  for (std::uint64_t i = 0; i <= count; ++i) {
    const auto list = IdListAt(block, Read32(block, static_cast<std::size_t>(4 + i * 4)));
    if (!list) return std::nullopt;
    if (i == 0) {
      lists.parent = *list;
    } else {
      lists.items.push_back(*list);
    }
  }
  return lists;
}

Text WideTextOf(Block block) {
  Text text;
  for (std::size_t at = 0; at + 1 < block.size(); at += 2) {
    const char16_t unit = Read16(block, at);
    if (unit == u'\0') break;
    text.push_back(unit);
  }
  return text;
}

std::span<const char> AnsiTextOf(Block block) {
  const auto* begin = reinterpret_cast<const char*>(block.data());
  return {begin, static_cast<std::size_t>(std::find(begin, begin + block.size(), '\0') - begin)};
}

std::optional<Text> FirstDescriptorName(Block block) {
  if (block.size() < kFileGroupDescriptorSize || Read32(block, 0) == 0) return std::nullopt;
  const Block units = block.subspan(kFirstDescriptorNameOffset, kDescriptorNameUnits * 2);
  Text name = WideTextOf(units);
  if (name.size() == kDescriptorNameUnits) return std::nullopt;  // no NUL within the field
  return name;
}

bool IsWebAddress(TextView text) {
  const auto starts = [text](TextView scheme) {
    return text.size() > scheme.size() &&
           std::equal(scheme.begin(), scheme.end(), text.begin(), [](char16_t a, char16_t b) {
             return a == (b >= u'A' && b <= u'Z' ? b - u'A' + u'a' : b);
           });
  };
  if (!starts(u"http://") && !starts(u"https://")) return false;
  return std::none_of(text.begin(), text.end(), IsSeparatorOrControl);
}

}  // namespace brindlework
