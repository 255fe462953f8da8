#pragma once
#include "platform/Shell.h"

namespace brindlework::win32 {

// Every ShellOpen of the program goes through this one call of ShellExecuteExW. A failure is told
// by the shell's own message, and the call returns once that message is dismissed.
class Win32ShellOpen final : public ShellOpen {
 public:
  std::intptr_t Open(WindowHandle owner, const Text& verb, const Text& file,
                     const OptionalText& parameters, const OptionalText& directory,
                     int showCommand) override;
};

// A message box owned by the program's active window, so that it is modal to it.
class Win32MessageBox final : public MessageBoxService {
 public:
  void Show(const Text& prompt) override;
};

}  // namespace brindlework::win32
