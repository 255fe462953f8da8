#pragma once
// UTF-16 texts cross into the wide Win32 API unchanged.

#include <windows.h>

#include "platform/Text.h"

namespace brindlework::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t is a UTF-16 unit");

inline const wchar_t* W(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline const wchar_t* W(const OptionalText& text) { return text ? W(*text) : nullptr; }

inline Text ToText(const wchar_t* text, std::size_t length) {
  return Text(reinterpret_cast<const char16_t*>(text), length);
}
inline Text ToText(const wchar_t* text) { return text ? ToText(text, wcslen(text)) : Text(); }
inline Text ToText(std::wstring_view text) { return ToText(text.data(), text.size()); }

inline std::wstring ToWide(TextView text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

}  // namespace brindlework::win32
