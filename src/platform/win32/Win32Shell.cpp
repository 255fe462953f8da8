#include "platform/win32/Win32Shell.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/WinText.h"
#include "version.h"

namespace brindlework::win32 {

std::intptr_t Win32ShellOpen::Open(WindowHandle owner, const Text& verb, const Text& file,
                                   const OptionalText& parameters, const OptionalText& directory,
                                   int showCommand) {
  const HINSTANCE result = ShellExecuteW(reinterpret_cast<HWND>(owner), W(verb), W(file),
                                         W(parameters), W(directory), showCommand);
  return reinterpret_cast<std::intptr_t>(result);
}

void Win32MessageBox::Show(const Text& prompt) {
  MessageBoxW(GetActiveWindow(), W(prompt), L"" BRINDLEWORK_TITLE, MB_OK);
}

}  // namespace brindlework::win32
