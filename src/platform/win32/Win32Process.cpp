#include "platform/win32/Win32Process.h"

#include "version.h"

#include "platform/win32/Files.h"
#include "platform/win32/Handles.h"
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

Text Win32Process::ExpandedEnvironmentStrings(const Text& text) const {
  try {
    return ToText(Expanded(text));
  } catch (const Error&) {
    return text;  // beyond the system's limit of 32K units: as typed, it names nothing
  }
}

bool Win32Process::IsOrdinaryFile(const Text& path) const {
  const DWORD attributes = GetFileAttributesW(W(path));
  constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotOrdinary) == 0;
}

void Win32Process::StartProgram(const Text& path, int windowStyle) {
  // The path names the program itself and is quoted on its command line, so a path with
  // blanks can never be taken for a shorter program and its arguments.
  std::wstring commandLine = L"\"" + ToWide(path) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(windowStyle);
  PROCESS_INFORMATION started{};
  // A NUL inside the path would cut it short for the system: refuse it rather than start
  // another program.
  if (path.find(u'\0') != Text::npos) throw Win32Error(ERROR_INVALID_NAME);
  if (path.empty() || !CreateProcessW(W(path), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                      nullptr, nullptr, &startup, &started)) {
    throw path.empty() ? Win32Error(ERROR_FILE_NOT_FOUND) : LastError();
  }
  const UniqueHandle process(started.hProcess);
  const UniqueHandle thread(started.hThread);
}

Text Win32Process::AppTitle() const { return u"" BRINDLEWORK_TITLE; }

AppVersion Win32Process::Version() const {
  return {BRINDLEWORK_MAJOR, BRINDLEWORK_MINOR, BRINDLEWORK_REVISION};
}

}  // namespace brindlework::win32
