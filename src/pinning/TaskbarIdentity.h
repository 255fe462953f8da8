#pragma once
// The taskbar identity of a pinned item. The taskbar tells pinned shortcuts apart by their
// Application User Model ID, and without one it derives the ID from the target program, which is
// this program for every shortcut we write: only one item could ever be pinned.

#include "platform/Text.h"

namespace brindlework::pinning {

// "Brindlework.Item." and 16 lowercase hexadecimal digits: the 64-bit FNV-1a hash of the item's
// UTF-16 units as little-endian bytes. The same item always gives the same ID, whatever its
// title or icon, so pinning it again keeps its taskbar button.
Text AppUserModelId(TextView item);

}  // namespace brindlework::pinning
