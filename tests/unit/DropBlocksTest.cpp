#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/DropBlocks.h"

namespace brindlework {
namespace {

using Bytes = std::vector<std::byte>;

// A CIDA of `count` with these 32-bit offsets, then these 16-bit units, little-endian.
Bytes Cida(std::uint32_t count, std::vector<std::uint32_t> offsets, std::vector<std::uint16_t> units) {
  Bytes bytes;
  const auto put = [&bytes](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::byte>(value >> (8 * i)));
  };
  put(count, 4);
  for (const auto offset : offsets) put(offset, 4);
  for (const auto unit : units) put(unit, 2);
  return bytes;
}

// The parent (an empty list: the desktop) at 12, one item of 4 bytes at 14: "cb=4, 0xAAAA, 0".
const std::vector<std::uint16_t> kLists{0, 4, 0xAAAA, 0};

TEST(DropBlocksTest, AnIdListArrayIsReadOnlyWhenEveryListLiesWhollyInsideIt) {
  const Bytes whole = Cida(1, {12, 14}, kLists);
  const auto read = ReadIdListArray(whole);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->parent.size(), 2u);
  ASSERT_EQ(read->items.size(), 1u);
  EXPECT_EQ(read->items[0].data(), whole.data() + 14);
  EXPECT_EQ(read->items[0].size(), 6u);

  const struct {
    const char* name;
    Bytes block;
  } damaged[] = {
      {"shorter than its count", Bytes(3)},
      {"no item", Cida(0, {12}, kLists)},
      {"a table of offsets beyond the block", Cida(4, {12, 14}, kLists)},
      // (cidl + 2) * 4 is 8 in 32 bits, and every offset names the count's low half, a 0.
      {"a count whose offsets overflow 32 bits", Cida(0x40000000, {0, 0, 0}, {})},
      {"an offset beyond the block", Cida(1, {12, 40}, kLists)},
      {"an item's chain past the end", Cida(1, {12, 14}, {0, 4, 0xAAAA, 9})},
      {"a terminator cut in half", Bytes(whole.begin(), whole.end() - 1)},
      {"an item size of 1", Cida(1, {12, 14}, {0, 1, 0})},
  };
  for (const auto& row : damaged) {
    SCOPED_TRACE(row.name);
    EXPECT_FALSE(ReadIdListArray(row.block));
  }
  // A table that ends one offset short: the offset beyond (a valid one here) is never read.
  const Bytes beyond = Cida(2, {2, 2, 2}, {});
  EXPECT_FALSE(ReadIdListArray(Block(beyond).first(12)));
}

// A descriptor's first name ends within its field; a text at its NUL or the block's end.
TEST(DropBlocksTest, TextsEndWithinTheirBlock) {
  Bytes named(kFileGroupDescriptorSize);
  named[0] = std::byte{1};  // one descriptor
  const Text title = u"Page \u4E2D.url";  // a unit's high byte counts
  for (std::size_t i = 0; i < title.size(); ++i) {
    named[kFirstDescriptorNameOffset + 2 * i] = static_cast<std::byte>(title[i] & 0xFF);
    named[kFirstDescriptorNameOffset + 2 * i + 1] = static_cast<std::byte>(title[i] >> 8);
  }
  Bytes unended = named;
  std::fill(unended.begin() + kFirstDescriptorNameOffset, unended.end(), std::byte{'a'});
  Bytes none = named;
  none[0] = std::byte{0};
  EXPECT_EQ(FirstDescriptorName(named), title);
  EXPECT_FALSE(FirstDescriptorName(unended));
  EXPECT_FALSE(FirstDescriptorName(none));
  EXPECT_FALSE(FirstDescriptorName(Bytes(named.begin(), named.end() - 1)));

  const Bytes text{std::byte{'h'}, std::byte{0}, std::byte{'i'}, std::byte{0}, std::byte{'!'}};
  EXPECT_EQ(WideTextOf(text), u"hi");  // an odd last byte is no unit
  EXPECT_EQ(AnsiTextOf(Bytes(text.begin() + 2, text.end())).size(), 1u);
  const Bytes ansi{std::byte{'a'}, std::byte{'b'}, std::byte{0}, std::byte{'c'}};
  EXPECT_EQ(std::string(AnsiTextOf(ansi).begin(), AnsiTextOf(ansi).end()), "ab");
}

TEST(DropBlocksTest, OnlyOneWholeWebAddressIsALink) {
  EXPECT_TRUE(IsWebAddress(u"https://example.org/a?b=c#d"));
  EXPECT_TRUE(IsWebAddress(u"HTTP://x"));
  EXPECT_TRUE(IsWebAddress(u"https://example.org/\u00E9\u00A1"));  // past the refused ranges
  // Words or lines split by any control character or Unicode separator are not one address.
  for (const TextView text :
       {u"Note: call Bob", u"https://", u"ftp://example.org", u"https://example.org and more",
        u"https://a\r\nhttps://b", u"https://a\u007F", u"https://a\u0085b", u"https://a\u009F",
        u"https://a\u00A0b", u"https://a\u1680b", u"https://a\u2000b", u"https://a\u200Ab",
        u"https://a\u2028https://b", u"https://a\u2029https://b", u"https://a\u202Fmore",
        u"https://a\u205Fb", u"https://a\u3000b", u" https://example.org", u"C:\\file.txt"}) {
    EXPECT_FALSE(IsWebAddress(text)) << std::string(text.begin(), text.end());
  }
}

}  // namespace
}  // namespace brindlework
