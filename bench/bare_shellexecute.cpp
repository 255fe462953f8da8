// Baseline for launch mode: hands the item after its own name to the shell's "open" verb and
// ends. Nothing else: no COM, no C++ objects, no window.
#include <windows.h>
#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR item, int) {
  const HINSTANCE result = ShellExecuteW(nullptr, L"open", item, nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32 ? 0 : 1;
}
