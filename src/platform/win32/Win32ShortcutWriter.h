#pragma once
#include <windows.h>

#include "platform/ShortcutWriter.h"

namespace brindlework::win32 {

// Shortcut files through the shell's IShellLinkW, saved beside the target and then moved over
// it. Needs COM initialised on the calling thread.
class Win32ShortcutWriter final : public ShortcutWriter {
 public:
  Text DesktopFolder() override;
  std::unique_ptr<Shortcut> CreateShortcut(const Text& path) override;
};

// The shortcut's hotkey for a text "CTRL+SHIFT+<key>" or "CTRL+ALT+<key>": low byte the key's
// virtual-key code in the current keyboard layout, high byte the HOTKEYF_ modifiers. Throws
// Error for any other text and for a key that the layout cannot type.
WORD HotkeyCode(const Text& hotkey);

}  // namespace brindlework::win32
