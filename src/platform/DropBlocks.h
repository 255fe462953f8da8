#pragma once
// The memory blocks that a drag or the clipboard hands over, read without trusting them: another
// program wrote them, so every count, offset and size is checked against the block's own size
// before anything inside it is read.

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "platform/Text.h"

namespace brindlework {

using Block = std::span<const std::byte>;

// A "Shell IDList Array" (CIDA): the parent folder's ID list and one ID list per item, relative to
// it, each the bytes of its whole chain of item IDs up to and with its zero terminator.
struct IdListArray {
  Block parent;
  std::vector<Block> items;
};

// None when the block is damaged: no item, a table of offsets or an ID list that does not fit
// wholly in the block, or an item ID whose size cannot hold its own size field.
std::optional<IdListArray> ReadIdListArray(Block block);

// A text of 16-bit units (CF_UNICODETEXT, UniformResourceLocatorW): up to its first NUL, or the
// block's end. An odd last byte is no unit.
Text WideTextOf(Block block);

// Bytes up to the first NUL or the block's end, for an ANSI text (UniformResourceLocator).
std::span<const char> AnsiTextOf(Block block);

// Where FILEGROUPDESCRIPTORW's first name lies: after the count, 72 bytes into the first
// FILEDESCRIPTORW, which takes 592 bytes; a name has at most 260 units with its NUL.
inline constexpr std::size_t kFirstDescriptorNameOffset = 4 + 72;
inline constexpr std::size_t kFileGroupDescriptorSize = 4 + 592;
inline constexpr std::size_t kDescriptorNameUnits = 260;

// The first file name of a FILEGROUPDESCRIPTORW; none when the block holds no whole descriptor,
// a count of 0, or a name that does not end within its 260 units.
std::optional<Text> FirstDescriptorName(Block block);

// True for one http:// or https:// address: something after the scheme, no blank, line break or
// other separator or control character (a browser's text can hold a whole sentence that merely
// starts with one).
bool IsWebAddress(TextView text);

}  // namespace brindlework
