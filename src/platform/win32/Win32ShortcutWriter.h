#pragma once
#include <windows.h>

#include <shobjidl.h>

#include <functional>

#include "platform/ShortcutReader.h"
#include "platform/ShortcutWriter.h"
#include "platform/win32/Handles.h"

namespace brindlework::win32 {

// Makes each shell link that the writer uses: first the one it fills and saves, then the one it
// reads the saved file back into. Tests hand in their own to see or change what is read back.
using ShellLinkFactory = std::function<ComPtr<IShellLinkW>()>;

// A new CLSID_ShellLink object.
ComPtr<IShellLinkW> NewShellLink();

// The keyboard layout that hotkeys are mapped through: the user's own, or in tests a stand-in
// (a layout where a printable character needs CTRL or ALT cannot be had under Wine).
struct KeyboardLayout {
  // As VkKeyScanExW: low byte the virtual key that types the character, high byte the shift
  // state that it needs (1 SHIFT, 2 CTRL, 4 ALT); -1 when no key types it.
  std::function<SHORT(wchar_t)> scan;
  // As MapVirtualKeyExW with MAPVK_VK_TO_CHAR: the character that the virtual key types
  // without shift state (a letter in capitals), the top bit set for a dead key; 0 for none.
  std::function<UINT(UINT)> character;
};

// The calling thread's keyboard layout, as it is at each call.
KeyboardLayout CurrentKeyboardLayout();

// Shortcut files through the shell's IShellLinkW, saved beside the target, read back, and then
// moved over it. Needs COM initialised on the calling thread.
class Win32ShortcutWriter final : public ShortcutWriter {
 public:
  explicit Win32ShortcutWriter(ShellLinkFactory newLink = NewShellLink,
                               KeyboardLayout keyboard = CurrentKeyboardLayout())
      : newLink_(std::move(newLink)), keyboard_(std::move(keyboard)) {}

  Text DesktopFolder() override;
  std::unique_ptr<Shortcut> CreateShortcut(const Text& path) override;

 private:
  ShellLinkFactory newLink_;
  KeyboardLayout keyboard_;
};

// Reads shortcut files through the shell's IShellLinkW, the hotkey in the row's form by the
// keyboard layout. Needs COM initialised on the calling thread.
class Win32ShortcutReader final : public ShortcutReader {
 public:
  explicit Win32ShortcutReader(ShellLinkFactory newLink = NewShellLink,
                               KeyboardLayout keyboard = CurrentKeyboardLayout())
      : newLink_(std::move(newLink)), keyboard_(std::move(keyboard)) {}

  ShortcutFile Read(const Text& path) override;

 private:
  ShellLinkFactory newLink_;
  KeyboardLayout keyboard_;
};

// The shortcut's hotkey for a text "CTRL+SHIFT+<key>" or "CTRL+ALT+<key>": low byte the key's
// virtual-key code in the keyboard layout, high byte the HOTKEYF_ modifiers. Throws Error for
// any other text and for a key that no single key of the layout types.
WORD HotkeyCode(const Text& hotkey, const KeyboardLayout& keyboard = CurrentKeyboardLayout());

// The reverse of HotkeyCode: a shortcut's hotkey code as the hotkey row composes it, with the
// key's unshifted character. Many texts give one code (k and K; + is the key that types =), so
// only HotkeyCode of the composed text gives the code back. Kind Other for a code that no text
// gives: other modifiers, or a key that types no character of its own.
RowHotkey RowHotkeyOf(WORD code, const KeyboardLayout& keyboard = CurrentKeyboardLayout());

}  // namespace brindlework::win32
