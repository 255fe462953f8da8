#include "platform/win32/Win32SettingsStore.h"

#include <windows.h>

#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/WinText.h"

namespace brindlework::win32 {
namespace {

Text KeyPath(const Text& application, const Text& section) {
  return u"Software\\" + application + u"\\" + section;
}

}  // namespace

void Win32SettingsStore::Save(const Text& application, const Text& section, const Text& key,
                              const Text& value) {
  UniqueKey opened;
  CheckStatus(RegCreateKeyExW(HKEY_CURRENT_USER, W(KeyPath(application, section)), 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, opened.put(), nullptr));
  // The size in bytes, with the terminating NUL.
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(char16_t));
  CheckStatus(RegSetValueExW(opened.get(), W(key), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(value.c_str()), bytes));
}

Text Win32SettingsStore::Get(const Text& application, const Text& section, const Text& key,
                             const Text& fallback) const {
  const Text path = KeyPath(application, section);
  std::wstring data;
  DWORD bytes = 0;
  for (;;) {
    // RegGetValueW terminates the string, also one stored without its NUL.
    const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, W(path), W(key), RRF_RT_REG_SZ, nullptr,
                                        data.empty() ? nullptr : data.data(), &bytes);
    if (status == ERROR_FILE_NOT_FOUND) return fallback;    // no such key or value
    if (status == ERROR_UNSUPPORTED_TYPE) return fallback;  // not a text: none of ours
    if (status == ERROR_SUCCESS && !data.empty()) break;
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) CheckStatus(status);
    data.assign(bytes / sizeof(wchar_t) + 1, L'\0');  // the value may grow in between
    bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
  }
  std::size_t length = bytes / sizeof(wchar_t);
  while (length > 0 && data[length - 1] == L'\0') --length;
  return ToText(data.data(), length);
}

}  // namespace brindlework::win32
