#include "platform/win32/Win32Shell.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/WinText.h"
#include "version.h"

namespace brindlework::win32 {

std::intptr_t Win32ShellOpen::Open(WindowHandle owner, const Text& verb, const Text& file,
                                   const OptionalText& parameters, const OptionalText& directory,
                                   int showCommand) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  // NOASYNC: launch mode ends right after this call, and the shell may still be finishing the
  // activation (DDE, a delegate handler) when it returns. No FLAG_NO_UI: the shell's own message
  // is the one report that a failed click on a pin gets.
  info.fMask = SEE_MASK_NOASYNC;
  info.hwnd = reinterpret_cast<HWND>(owner);
  info.lpVerb = W(verb);
  info.lpFile = W(file);
  info.lpParameters = W(parameters);
  info.lpDirectory = W(directory);
  info.nShow = showCommand;
  // The BOOL decides; hInstApp carries a code in ShellExecute's range only on the side it fits.
  constexpr std::intptr_t kLastFailure = 32;
  const BOOL opened = ShellExecuteExW(&info);
  const auto code = reinterpret_cast<std::intptr_t>(info.hInstApp);
  if (opened) return code > kLastFailure ? code : kLastFailure + 1;
  return code <= kLastFailure ? code : 0;
}

void Win32MessageBox::Show(const Text& prompt) {
  MessageBoxW(GetActiveWindow(), W(prompt), L"" BRINDLEWORK_TITLE, MB_OK);
}

}  // namespace brindlework::win32
