#pragma once
#include "platform/Text.h"

namespace brindlework {

// Per-user strings addressed by application, section and key, kept across runs. A value comes
// back exactly as it was saved. Failures throw Error.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // Creates the entry or overwrites it.
  virtual void Save(const Text& application, const Text& section, const Text& key,
                    const Text& value) = 0;
  // The stored string, or `fallback` when there is no such entry.
  virtual Text Get(const Text& application, const Text& section, const Text& key,
                   const Text& fallback) const = 0;
};

}  // namespace brindlework
