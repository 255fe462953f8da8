#pragma once
#include <windows.h>

#include "platform/Registry.h"

namespace brindlework::win32 {

// A predefined key's handle: its number sign-extended to the pointer's width.
HKEY RootKey(RegistryRoot root);

// RegOpenKeyExA, RegQueryValueExA and RegCloseKey. Keys are opened with KEY_READ only, so
// that users without administrator rights can read what every user may read.
class Win32Registry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const Text& subKey) override;
  Text AnsiText(std::span<const std::byte> data) const override;
};

}  // namespace brindlework::win32
