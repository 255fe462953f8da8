#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/DropBlocks.h"

namespace brindlework {
namespace {

using Bytes = std::vector<std::byte>;

// Little-endian 32- and 16-bit values, as a CIDA holds them.
void Put32(Bytes& bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::byte>(value >> (8 * i)));
}
void Put16(Bytes& bytes, std::uint16_t value) {
  for (int i = 0; i < 2; ++i) bytes.push_back(static_cast<std::byte>(value >> (8 * i)));
}

// A CIDA of `count` with these offsets, then the given ID-list bytes.
Bytes Cida(std::uint32_t count, std::vector<std::uint32_t> offsets, std::vector<std::uint16_t> lists) {
  Bytes bytes;
  Put32(bytes, count);
  for (const auto offset : offsets) Put32(bytes, offset);
  for (const auto unit : lists) Put16(bytes, unit);
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

  Bytes cut = whole;
  cut.pop_back();
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
      {"a terminator cut in half", cut},
      {"an item size of 1", Cida(1, {12, 14}, {0, 1, 0})},
  };
  for (const auto& row : damaged) {
    SCOPED_TRACE(row.name);
    EXPECT_FALSE(ReadIdListArray(row.block));
  }
}

TEST(DropBlocksTest, TextsEndAtTheirNulOrTheBlocksEnd) {
  Bytes name(kFileGroupDescriptorSize);
  name[0] = std::byte{1};
  const std::u16string title = u"Page \u4E2D.url";
  for (std::size_t i = 0; i < title.size(); ++i) {
    name[kFirstDescriptorNameOffset + 2 * i] = static_cast<std::byte>(title[i] & 0xFF);
    name[kFirstDescriptorNameOffset + 2 * i + 1] = static_cast<std::byte>(title[i] >> 8);
  }
  EXPECT_EQ(FirstDescriptorName(name), Text(title));
  Bytes unended = name;
  std::fill(unended.begin() + kFirstDescriptorNameOffset, unended.end(), std::byte{'a'});
  Bytes none = name;
  none[0] = std::byte{0};
  EXPECT_FALSE(FirstDescriptorName(unended));
  EXPECT_FALSE(FirstDescriptorName(none));
  EXPECT_FALSE(FirstDescriptorName(Bytes(name.begin(), name.end() - 1)));

  const Bytes odd{std::byte{'h'}, std::byte{0}, std::byte{'i'}, std::byte{0}, std::byte{'!'}};
  EXPECT_EQ(WideTextOf(odd), u"hi");
  const Bytes ansi{std::byte{'a'}, std::byte{'b'}, std::byte{0}, std::byte{'c'}};
  EXPECT_EQ(std::string(AnsiTextOf(ansi).begin(), AnsiTextOf(ansi).end()), "ab");
}

TEST(DropBlocksTest, OnlyOneWholeWebAddressIsALink) {
  for (const TextView address : {u"https://example.org/a?b=c#d", u"HTTP://x"}) {
    EXPECT_TRUE(IsWebAddress(address)) << std::string(address.begin(), address.end());
  }
  for (const TextView text : {u"Note: call Bob", u"https://", u"ftp://example.org",
                              u"https://example.org and more", u"https://a\r\nhttps://b",
                              u" https://example.org", u"C:\\file.txt"}) {
    EXPECT_FALSE(IsWebAddress(text)) << std::string(text.begin(), text.end());
  }
}

}  // namespace
}  // namespace brindlework
