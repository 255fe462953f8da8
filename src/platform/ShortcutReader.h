#pragma once
#include "platform/Text.h"

namespace brindlework {

// A shortcut's hotkey in the form that the main window's hotkey row composes:
// CTRL+<modifier>+<key>.
struct RowHotkey {
  enum class Kind {
    None,      // the shortcut has no hotkey
    Composed,  // modifier and key hold it
    Other,     // other modifiers, or a key that types no character: the row cannot hold it
  };
  Kind kind = Kind::None;
  Text modifier;  // "SHIFT" or "ALT"
  Text key;       // the one character that the key types unshifted; a letter in capitals
};

// What a shortcut file holds, as far as a pin is made of it.
struct ShortcutFile {
  Text target;  // the program that it starts, as stored
  Text arguments;
  Text iconPath;  // as stored, environment strings kept; empty when it has no icon of its own
  int iconIndex = 0;
  RowHotkey hotkey;
};

// Reads shortcut files.
class ShortcutReader {
 public:
  virtual ~ShortcutReader() = default;
  // Throws Error when the file cannot be read as a shortcut.
  virtual ShortcutFile Read(const Text& path) = 0;
};

}  // namespace brindlework
