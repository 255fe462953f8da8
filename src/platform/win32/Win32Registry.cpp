#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/WinText.h"

namespace brindlework::win32 {
namespace {

// Names in the ANSI code page, as the A functions take them.
std::string AnsiName(const Text& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_ACP, 0, W(text), length, nullptr, 0, nullptr, nullptr);
  if (size == 0) throw LastError();
  std::string name(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, W(text), length, name.data(), size, nullptr, nullptr);
  return name;
}

class Win32RegistryKey final : public RegistryKey {
 public:
  explicit Win32RegistryKey(UniqueKey key) : key_(std::move(key)) {}

  RegistryData QueryValue(const Text& valueName, std::span<std::byte> buffer) override {
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buffer.size());
    CheckStatus(RegQueryValueExA(key_.get(), AnsiName(valueName).c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(buffer.data()), &size));
    return {type, size};
  }

 private:
  UniqueKey key_;
};

}  // namespace

HKEY RootKey(RegistryRoot root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

std::unique_ptr<RegistryKey> Win32Registry::OpenKey(RegistryRoot root, const Text& subKey) {
  UniqueKey key;
  CheckStatus(RegOpenKeyExA(RootKey(root), AnsiName(subKey).c_str(), 0, KEY_READ, key.put()));
  return std::make_unique<Win32RegistryKey>(std::move(key));
}

Text Win32Registry::AnsiText(std::span<const std::byte> data) const {
  if (data.empty()) return {};
  const auto* bytes = reinterpret_cast<const char*>(data.data());
  const int length = static_cast<int>(data.size());
  const int size = MultiByteToWideChar(CP_ACP, 0, bytes, length, nullptr, 0);
  if (size == 0) throw LastError();
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes, length, text.data(), size);
  return ToText(text);
}

}  // namespace brindlework::win32
