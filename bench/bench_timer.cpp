// Times whole processes for scripts/bench, as Windows sees them: from CreateProcessW to the end
// of the process, or to its first visible window waiting for input. Two command lines take
// turns, with a pause before each start; after two untimed rounds, one line a round goes to
// standard output: "<ms of A> <ms of B>".
//
//   bench_timer exit   ROUNDS PAUSE_MS "COMMAND LINE A" "COMMAND LINE B"
//   bench_timer window ROUNDS PAUSE_MS "COMMAND LINE A" "COMMAND LINE B"
//
// "window": until WaitForInputIdle returns and a visible top-level window of the process exists;
// the window is then sent WM_CLOSE and the end of the process awaited, untimed.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

namespace {

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

struct Search {
  DWORD process;
  HWND found;
};

HWND VisibleWindowOf(DWORD process) {
  Search search{process, nullptr};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != s->process || !IsWindowVisible(window)) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// One run of a command line; gives its time in milliseconds.
double Run(std::wstring commandLine, bool untilWindow) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  const double start = Now();
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    Fail("cannot start a program, error " + std::to_string(GetLastError()));
  }
  CloseHandle(started.hThread);
  double elapsed = 0;
  if (!untilWindow) {
    if (WaitForSingleObject(started.hProcess, kLimitMs) != WAIT_OBJECT_0) Fail("a run did not end");
    elapsed = Now() - start;
  } else {
    if (WaitForInputIdle(started.hProcess, kLimitMs) != 0) Fail("a program never waited for input");
    HWND window = nullptr;
    while (!(window = VisibleWindowOf(started.dwProcessId))) {
      if (Now() - start > kLimitMs) Fail("a program showed no window");
      Sleep(1);
    }
    elapsed = Now() - start;
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(started.hProcess, kLimitMs) != WAIT_OBJECT_0) {
      TerminateProcess(started.hProcess, 1);
      Fail("a program did not end when its window was closed");
    }
  }
  DWORD exitCode = 1;
  GetExitCodeProcess(started.hProcess, &exitCode);
  CloseHandle(started.hProcess);
  if (exitCode != 0) Fail("a run ended with exit code " + std::to_string(exitCode));
  return elapsed;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args || count != 6) {
    Fail("usage: bench_timer exit|window ROUNDS PAUSE_MS \"COMMAND A\" \"COMMAND B\"");
  }
  const bool untilWindow = std::wstring(args[1]) == L"window";
  const int rounds = _wtoi(args[2]);
  const DWORD pause = static_cast<DWORD>(_wtoi(args[3]));
  for (int round = -kWarmUpRounds; round < rounds; ++round) {
    Sleep(pause);
    const double a = Run(args[4], untilWindow);
    Sleep(pause);
    const double b = Run(args[5], untilWindow);
    if (round >= 0) Print(std::to_string(a) + " " + std::to_string(b) + "\n");
  }
  LocalFree(args);
  return 0;
}
