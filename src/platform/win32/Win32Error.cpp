#include "platform/win32/Win32Error.h"

#include "platform/win32/Handles.h"
#include "platform/win32/WinText.h"

namespace brindlework::win32 {
namespace {

Text SystemDescription(DWORD code) {
  UniqueLocal<wchar_t> buffer;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(buffer.put()), 0, nullptr);
  if (length == 0) return u"Unknown error " + DecimalText(static_cast<std::int32_t>(code));
  Text text = ToText(buffer.get(), length);
  while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r')) text.pop_back();
  return text;
}

}  // namespace

Error Win32Error(DWORD code) {
  return Error(static_cast<std::int32_t>(code), SystemDescription(code));
}

Error LastError() {
  const DWORD code = GetLastError();
  return Win32Error(code == ERROR_SUCCESS ? ERROR_GEN_FAILURE : code);
}

Error HresultError(HRESULT hr) {
  if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return Win32Error(HRESULT_CODE(hr));
  return Error(static_cast<std::int32_t>(hr), SystemDescription(static_cast<DWORD>(hr)));
}

}  // namespace brindlework::win32
