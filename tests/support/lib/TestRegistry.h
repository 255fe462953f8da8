#pragma once
// Registry state for one test under HKEY_LOCAL_MACHINE of the test prefix, put back afterwards.

#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "platform/win32/Handles.h"

namespace brindlework::testing {

// A key below HKEY_LOCAL_MACHINE, created when missing. When the test ends, a key it created is
// deleted with everything in it; in a key that was there, the values it changed are put back.
class TemporaryKey {
 public:
  explicit TemporaryKey(std::string path);
  ~TemporaryKey();
  TemporaryKey(const TemporaryKey&) = delete;
  TemporaryKey& operator=(const TemporaryKey&) = delete;

  const std::string& Path() const { return path_; }
  // Stores exactly these bytes with RegSetValueExA: no NUL is added to a string.
  void Set(const std::string& name, DWORD type, const std::string& data);
  void Remove(const std::string& name);
  // Lets everyone read the key and nobody do anything else.
  void AllowOnlyReading();

 private:
  struct Value {
    DWORD type;
    std::string data;
  };
  void Save(const std::string& name);

  std::string path_;
  win32::UniqueKey key_;
  bool created_ = false;
  bool restricted_ = false;
  std::map<std::string, std::optional<Value>> saved_;
};

// A DWORD's four bytes, little-endian, as the registry stores a REG_DWORD.
std::string DwordBytes(DWORD number);

}  // namespace brindlework::testing
