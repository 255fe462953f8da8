#pragma once
#include <windows.h>

#include <shobjidl.h>

#include <functional>

#include "platform/ShortcutWriter.h"
#include "platform/win32/Handles.h"

namespace brindlework::win32 {

// Makes each shell link that the writer uses: first the one it fills and saves, then the one it
// reads the saved file back into. Tests hand in their own to see or change what is read back.
using ShellLinkFactory = std::function<ComPtr<IShellLinkW>()>;

// A new CLSID_ShellLink object.
ComPtr<IShellLinkW> NewShellLink();

// Shortcut files through the shell's IShellLinkW, saved beside the target, read back, and then
// moved over it. Needs COM initialised on the calling thread.
class Win32ShortcutWriter final : public ShortcutWriter {
 public:
  explicit Win32ShortcutWriter(ShellLinkFactory newLink = NewShellLink)
      : newLink_(std::move(newLink)) {}

  Text DesktopFolder() override;
  std::unique_ptr<Shortcut> CreateShortcut(const Text& path) override;

 private:
  ShellLinkFactory newLink_;
};

// The shortcut's hotkey for a text "CTRL+SHIFT+<key>" or "CTRL+ALT+<key>": low byte the key's
// virtual-key code in the current keyboard layout, high byte the HOTKEYF_ modifiers. Throws
// Error for any other text and for a key that no single key of the layout types.
WORD HotkeyCode(const Text& hotkey);

}  // namespace brindlework::win32
