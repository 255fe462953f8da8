// Times programs for scripts/bench, inside Windows, so that the start of the `wine` command itself
// stays out. Two programs, A and B, take turns, with a pause before each run; after two untimed
// rounds, one line a round goes to standard output: "<ms of A> <ms of B>".
//
//   bench_timer exit   ROUNDS PAUSE_MS "COMMAND A" "COMMAND B"
//     whole processes: from CreateProcessW until the process has ended (exit code 0).
//   bench_timer window ROUNDS PAUSE_MS "COMMAND A" "COMMAND B"
//     from CreateProcessW until the process waits for input (WaitForInputIdle) with a visible
//     top-level window; the window is then sent WM_CLOSE and the end awaited, untimed.
//   bench_timer go     ROUNDS PAUSE_MS "COMMAND A" "COMMAND B" ITEM TITLE
//     both programs started once; each run presses the program's "GO!" button and waits until
//     the program has written the shortcut "TITLE.lnk" in the desktop folder. A is
//     Brindlework.exe: its item and title fields are filled in first; its shortcut is written
//     when it appears under its name (moved there from a finished temporary file); its "done!"
//     message is then closed, untimed. B is bare_shortcut.exe, which sets an event when its save
//     has returned. Each shortcut is read back, untimed: its arguments must be ITEM.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"

namespace {

using brindlework::win32::ComPtr;
using brindlework::win32::UniqueCoMem;
using brindlework::win32::UniqueHandle;
using brindlework::win32::UniqueLocal;

constexpr DWORD kLimitMs = 20000;
constexpr int kWarmUpRounds = 2;

void Print(const std::string& text, DWORD stream = STD_OUTPUT_HANDLE) {
  DWORD written = 0;
  WriteFile(GetStdHandle(stream), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

[[noreturn]] void Fail(const std::string& what) {
  Print("bench_timer: " + what + "\n", STD_ERROR_HANDLE);
  ExitProcess(1);
}

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      kLimitMs, &ignored);
  return text;
}

// A visible top-level window of the process; of the class, when one is named.
HWND VisibleWindowOf(DWORD process, const wchar_t* className = nullptr) {
  struct Search {
    DWORD process;
    const wchar_t* className;
    HWND found;
  } search{process, className, nullptr};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != s->process || !IsWindowVisible(window)) return TRUE;
        if (s->className && ClassOf(window) != s->className) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class Program {
 public:
  explicit Program(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    start_ = Now();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
      Fail("cannot start a program, error " + std::to_string(GetLastError()));
    }
    const UniqueHandle thread(started.hThread);
    process_.reset(started.hProcess);
    id_ = started.dwProcessId;
  }
  ~Program() {
    if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) TerminateProcess(process_.get(), 1);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  double Started() const { return start_; }
  DWORD Id() const { return id_; }

  void WaitForEnd() const {
    if (WaitForSingleObject(process_.get(), kLimitMs) != WAIT_OBJECT_0) {
      Fail("a program did not end");
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(process_.get(), &exitCode);
    if (exitCode != 0) Fail("a program ended with exit code " + std::to_string(exitCode));
  }

  // Its main window, once it waits for input with a visible window.
  HWND WaitForWindow() const {
    if (WaitForInputIdle(process_.get(), kLimitMs) != 0) Fail("a program never waited for input");
    HWND window = nullptr;
    while (!(window = VisibleWindowOf(id_))) {
      if (Now() - start_ > kLimitMs) Fail("a program showed no window");
      Sleep(1);
    }
    return window;
  }

  void Close(HWND window) const {
    PostMessageW(window, WM_CLOSE, 0, 0);
    WaitForEnd();
  }

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
  double start_ = 0;
};

double TimeExit(const wchar_t* commandLine) {
  const Program program(commandLine);
  program.WaitForEnd();
  return Now() - program.Started();
}

double TimeWindow(const wchar_t* commandLine) {
  const Program program(commandLine);
  const HWND window = program.WaitForWindow();
  const double elapsed = Now() - program.Started();
  program.Close(window);
  return elapsed;
}

// The direct children of a window of one class, from the top of the window down.
std::vector<HWND> ChildrenOf(HWND window, const wchar_t* className) {
  std::vector<HWND> found;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (_wcsicmp(ClassOf(child).c_str(), className) == 0) found.push_back(child);
  }
  std::stable_sort(found.begin(), found.end(), [](HWND a, HWND b) {
    RECT ra{}, rb{};
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.top < rb.top;
  });
  return found;
}

// A running program with a "GO!" button that writes `shortcut`.
class Pinner {
 public:
  Pinner(const wchar_t* commandLine, bool isBrindlework, const std::wstring& item,
         const std::wstring& title)
      : program_(commandLine), isBrindlework_(isBrindlework) {
    window_ = program_.WaitForWindow();
    for (HWND button : ChildrenOf(window_, L"Button")) {
      if (TextOf(button) == L"GO!") go_ = button;
    }
    if (!go_) Fail("no GO! button");
    if (!isBrindlework_) {
      saved_.reset(OpenEventW(SYNCHRONIZE, FALSE, L"Local\\BrindleworkBareShortcutSaved"));
      if (!saved_) Fail("the bare program has no event");
    } else {
      // The edit boxes from the top: the item, the icon, the title, then the hotkey's.
      const auto edits = ChildrenOf(window_, L"Edit");
      if (edits.size() < 3) Fail("the main window's fields were not found");
      SendMessageW(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(item.c_str()));
      SendMessageW(edits[2], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
    }
  }
  ~Pinner() { program_.Close(window_); }

  double Press(const std::wstring& shortcut) const {
    DeleteFileW(shortcut.c_str());
    const double start = Now();
    PostMessageW(go_, BM_CLICK, 0, 0);
    if (isBrindlework_) {
      while (GetFileAttributesW(shortcut.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (Now() - start > kLimitMs) Fail("no shortcut was written");
        Sleep(1);
      }
    } else if (WaitForSingleObject(saved_.get(), kLimitMs) != WAIT_OBJECT_0) {
      Fail("the bare program saved no shortcut");
    }
    const double elapsed = Now() - start;
    if (isBrindlework_) CloseMessage();
    return elapsed;
  }

 private:
  void CloseMessage() const {
    const double start = Now();
    HWND box = nullptr;
    while (!(box = VisibleWindowOf(program_.Id(), L"#32770"))) {
      if (Now() - start > kLimitMs) Fail("no message after GO!");
      Sleep(1);
    }
    if (TextOf(GetDlgItem(box, 0xFFFF)) != L"done!") Fail("GO! said something else than done!");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    while (VisibleWindowOf(program_.Id(), L"#32770")) {
      if (Now() - start > kLimitMs) Fail("the message did not close");
      Sleep(1);
    }
  }

  Program program_;
  bool isBrindlework_;
  HWND window_ = nullptr;
  HWND go_ = nullptr;
  UniqueHandle saved_;
};

// The shortcut as a shell link reads it: its arguments must be the item.
void Verify(const std::wstring& shortcut, const std::wstring& item) {
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  wchar_t arguments[1024] = {};
  const bool ok = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IShellLinkW, link.put_void())) &&
                  SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put_void())) &&
                  SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ)) &&
                  SUCCEEDED(link->GetArguments(arguments, 1024)) && item == arguments;
  if (!ok) Fail("the shortcut does not hold the item");
}

std::wstring DesktopFile(const std::wstring& name) {
  UniqueCoMem desktop;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, desktop.put()))) Fail("no desktop");
  return std::wstring(desktop.get()) + L"\\" + name;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  const UniqueLocal<wchar_t*> argv(CommandLineToArgvW(GetCommandLineW(), &count));
  wchar_t** args = argv.get();
  const std::wstring mode = args && count >= 6 ? args[1] : L"";
  if (!((mode == L"exit" || mode == L"window") && count == 6) && !(mode == L"go" && count == 8)) {
    Fail("usage: bench_timer exit|window ROUNDS PAUSE_MS \"COMMAND A\" \"COMMAND B\"\n"
         "       bench_timer go ROUNDS PAUSE_MS \"COMMAND A\" \"COMMAND B\" ITEM TITLE");
  }
  const int rounds = _wtoi(args[2]);
  const DWORD pause = static_cast<DWORD>(_wtoi(args[3]));
  if (mode == L"go") {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
      Fail("no COM");
    }
    const std::wstring item = args[6];
    const std::wstring title = args[7];
    const std::wstring shortcut = DesktopFile(title + L".lnk");
    {
      const Pinner a(args[4], true, item, title);
      const Pinner b(args[5], false, item, title);
      for (int round = -kWarmUpRounds; round < rounds; ++round) {
        Sleep(pause);
        const double timeA = a.Press(shortcut);
        Verify(shortcut, item);
        Sleep(pause);
        const double timeB = b.Press(shortcut);
        Verify(shortcut, item);
        if (round >= 0) Print(std::to_string(timeA) + " " + std::to_string(timeB) + "\n");
      }
    }
    DeleteFileW(shortcut.c_str());
    CoUninitialize();
  } else {
    const auto time = mode == L"exit" ? TimeExit : TimeWindow;
    for (int round = -kWarmUpRounds; round < rounds; ++round) {
      Sleep(pause);
      const double a = time(args[4]);
      Sleep(pause);
      const double b = time(args[5]);
      if (round >= 0) Print(std::to_string(a) + " " + std::to_string(b) + "\n");
    }
  }
  return 0;
}
