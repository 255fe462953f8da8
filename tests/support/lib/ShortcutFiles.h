#pragma once
// Reads shortcut files back: through the shell's IShellLinkW, from the file's own header, and
// with lnkinfo (liblnk-utils), which shares no code with Windows or Wine.

#include <windows.h>

#include <string>

#include "TestSupport.h"

namespace brindlework::testing {

struct ShortcutFields {
  std::wstring target;
  std::wstring arguments;
  std::wstring iconPath;
  int iconIndex = -1;
  WORD hotkey = 0;
  // System.AppUserModel.ID through the link's property store, and the result of reading it.
  HRESULT appUserModelIdRead = E_FAIL;
  std::wstring appUserModelId;
};

// The fields as IShellLinkW loads them. Needs COM on the thread.
ShortcutFields ReadShortcut(const std::wstring& path);

// The hotkey of the ShellLinkHeader: 16 bits at 0x40, low byte the key, high byte HOTKEYF_.
WORD HeaderHotkey(const std::wstring& path);

// What lnkinfo prints for the file, as UTF-8.
std::string LnkInfo(const std::wstring& path);

// The line of lnkinfo's report that starts with `label` (after its indent), value only.
std::string LnkInfoField(const std::string& report, const std::string& label);

}  // namespace brindlework::testing
