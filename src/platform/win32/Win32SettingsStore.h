#pragma once
#include "platform/SettingsStore.h"

namespace brindlework::win32 {

// Settings in the registry: HKEY_CURRENT_USER\Software\<application>\<section>, one REG_SZ
// value per key.
class Win32SettingsStore final : public SettingsStore {
 public:
  void Save(const Text& application, const Text& section, const Text& key,
            const Text& value) override;
  Text Get(const Text& application, const Text& section, const Text& key,
           const Text& fallback) const override;
};

}  // namespace brindlework::win32
