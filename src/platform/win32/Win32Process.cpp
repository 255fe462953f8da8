#include "platform/win32/Win32Process.h"

#include "platform/win32/Win32Error.h"
#include "platform/win32/WinText.h"

namespace brindlework::win32 {

Text Win32Process::CommandLine() const { return ToText(GetCommandLineW()); }

void Win32Process::EndNow(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

Text Win32Process::ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) throw LastError();
    if (length < path.size()) return ToText(path.data(), length);
    path.resize(path.size() * 2);  // truncated: a long path
  }
}

Text Win32Process::ProgramFolder() const {
  const Text path = ProgramPath();
  auto slash = path.find_last_of(u"\\/");
  if (slash == Text::npos) return Text();
  // A drive's root keeps its separator ("C:\"), as the system reports such a folder.
  if (slash == 2 && path[1] == u':') ++slash;
  return path.substr(0, slash);
}

Text Win32Process::ProgramName() const {
  const Text path = ProgramPath();
  const auto slash = path.find_last_of(u"\\/");
  Text name = slash == Text::npos ? path : path.substr(slash + 1);
  const auto dot = name.rfind(u'.');
  if (dot != Text::npos) name.resize(dot);
  return name;
}

std::uint32_t Win32Process::FileAttributes(const Text& path) const {
  const DWORD attributes = GetFileAttributesW(W(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) throw LastError();
  return attributes;
}

}  // namespace brindlework::win32
