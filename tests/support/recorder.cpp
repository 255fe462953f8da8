// Stands in for an application that the shell starts: appends its whole command line, as one
// UTF-8 line, to the file that BRINDLEWORK_RECORD names, then ends. A hidden start (the caller's
// show command lost on the way) puts "(hidden) " before it, so no check of the line passes.
#include <windows.h>

#include <string>

#include "platform/win32/Handles.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t target[32768];
  if (!GetEnvironmentVariableW(L"BRINDLEWORK_RECORD", target, 32768)) return 2;
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  const bool hidden = (startup.dwFlags & STARTF_USESHOWWINDOW) && startup.wShowWindow == SW_HIDE;
  const std::wstring line = (hidden ? L"(hidden) " : L"") + std::wstring(GetCommandLineW());
  std::string utf8(WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr),
                   '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, utf8.data(), static_cast<int>(utf8.size()),
                      nullptr, nullptr);
  utf8.back() = '\n';
  // Two recorders may run at once: wait, boundedly, for the other one's write.
  for (int attempt = 0; attempt < 200; ++attempt) {
    const brindlework::win32::UniqueFile file(CreateFileW(
        target, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      DWORD written = 0;
      WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
      return 0;
    }
    Sleep(10);
  }
  return 3;
}
