#include "UserState.h"

#include <objbase.h>
#include <shlobj.h>

#include <stdexcept>
#include <thread>

namespace brindlework::testing {
namespace {

constexpr wchar_t kShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

LSTATUS SetDesktopValue(const std::wstring& path) {
  const auto bytes = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
  return RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"Desktop", REG_EXPAND_SZ, path.c_str(),
                         bytes);
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A registry value's folder with its environment strings expanded; empty when it cannot be.
std::wstring Expanded(const std::wstring& value) {
  wchar_t expanded[MAX_PATH] = L"";
  const DWORD length = ExpandEnvironmentStringsW(value.c_str(), expanded, MAX_PATH);
  return length > 0 && length <= MAX_PATH ? expanded : L"";
}

// Moves the desktop to a folder through the shell, which also updates the known folders that it
// keeps for this process: a registry write alone would not reach them. Looked up at run time:
// Wine 8's shell32 does not export it, and there the registry value is read afresh every time.
// False when the function is missing.
bool SetDesktopFolder(const std::wstring& folder) {
  const win32::Unique<HMODULE, FreeLibrary> shell(
      LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  const auto set = reinterpret_cast<decltype(&SHSetKnownFolderPath)>(
      reinterpret_cast<void*>(GetProcAddress(shell.get(), "SHSetKnownFolderPath")));
  if (!set) return false;
  const HRESULT result = set(FOLDERID_Desktop, 0, nullptr, folder.c_str());
  if (FAILED(result)) {
    throw std::runtime_error("the desktop could not be moved: " +
                             std::to_string(static_cast<unsigned long>(result)));
  }
  return true;
}

// The Unix path of a file, for Linux programs that Wine starts.
std::wstring UnixPath(const std::wstring& path) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (!unixName) throw std::runtime_error("not running under Wine");
  char* name = unixName(path.c_str());
  if (!name) throw std::runtime_error("no Unix name for a file");
  std::wstring unixPath = FromUtf8(name);
  HeapFree(GetProcessHeap(), 0, name);
  return unixPath;
}

}  // namespace

TestDesktop::TestDesktop() {
  DWORD bytes = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kShellFolders, L"Desktop",
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, nullptr,
                   &bytes) == ERROR_SUCCESS) {
    std::wstring value(bytes / sizeof(wchar_t), L'\0');
    RegGetValueW(HKEY_CURRENT_USER, kShellFolders, L"Desktop",
                 RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value.data(),
                 &bytes);
    value.resize(wcsnlen(value.c_str(), value.size()));
    // A run killed before it put the desktop back left it naming a scratch folder that is gone:
    // the user's own desktop comes back instead, so that one killed run costs nothing.
    previous_ = IsFolder(Expanded(value)) ? value : L"%USERPROFILE%\\Desktop";
  }
  PointAt(folder_.Path().wstring());
}

// Puts the user's desktop back as well as it can: a destructor never throws. The value goes back
// exactly as it was (with its environment strings), after the shell has followed it.
TestDesktop::~TestDesktop() {
  if (previous_) {
    const std::wstring expanded = Expanded(*previous_);
    if (IsFolder(expanded)) {
      try {
        SetDesktopFolder(expanded);
      } catch (const std::runtime_error&) {
      }
    }
    SetDesktopValue(*previous_);
  } else {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"Desktop");
  }
}

void TestDesktop::PointAt(const std::wstring& path) {
  // A file or a missing folder, which the shell would not take, goes into the registry value.
  if (IsFolder(path) && SetDesktopFolder(path)) return;
  if (SetDesktopValue(path) != ERROR_SUCCESS) {
    throw std::runtime_error("the desktop folder could not be redirected");
  }
}

std::vector<std::wstring> TestDesktop::Files() const {
  return FileNames(Path());
}

std::string RunCommand(const std::wstring& commandLine, Milliseconds limit) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) throw std::runtime_error("no pipe");
  const win32::UniqueHandle reader(readEnd);
  win32::UniqueHandle writer(writeEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION started{};
  std::wstring line = commandLine;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &started)) {
    throw std::runtime_error("could not start a command: " + std::to_string(GetLastError()));
  }
  const win32::UniqueHandle process(started.hProcess);
  const win32::UniqueHandle thread(started.hThread);
  writer.reset();  // the child holds the only write end now

  std::string output;
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr)) break;  // all written
    if (available > 0) {
      std::string chunk(available, '\0');
      DWORD read = 0;
      ReadFile(readEnd, chunk.data(), available, &read, nullptr);
      output.append(chunk.data(), read);
      continue;
    }
    if (WaitForSingleObject(started.hProcess, 0) == WAIT_OBJECT_0) {
      // Ended: take what is still in the pipe, then stop.
      if (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        continue;
      }
      break;
    }
    if (std::chrono::steady_clock::now() > end) {
      TerminateProcess(started.hProcess, 99);
      break;
    }
    std::this_thread::sleep_for(10ms);
  }
  return output;
}

std::string LinuxToolReport(const std::wstring& program, const std::wstring& path) {
  // Wine starts a Linux program, but the handle it gives back does not wait for it: the report
  // is written under another name and renamed when complete.
  ScratchFolder folder;
  const std::wstring report = folder / L"report.txt";
  const std::wstring script =
      program + L" \\\"$0\\\" >\\\"$1.part\\\" 2>&1; mv \\\"$1.part\\\" \\\"$1\\\"";
  RunCommand(L"Z:\\bin\\sh -c \"" + script + L"\" " + Quoted(UnixPath(path)) + L" " +
             Quoted(UnixPath(report)));
  const auto end = std::chrono::steady_clock::now() + 20s;
  while (GetFileAttributesW(report.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (std::chrono::steady_clock::now() > end) {
      throw std::runtime_error(ToUtf8(program) + " gave no report");
    }
    std::this_thread::sleep_for(20ms);
  }
  return FileBytes(report);
}

void DeleteSettings(const std::wstring& application) {
  RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + application).c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, (L"Software\\" + application).c_str());
}

}  // namespace brindlework::testing
