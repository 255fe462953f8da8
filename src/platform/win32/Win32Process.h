#pragma once
#include "platform/Process.h"

namespace brindlework::win32 {

class Win32Process final : public Process {
 public:
  Text CommandLine() const override;
  [[noreturn]] void EndNow(int exitCode) override;
  Text ProgramFolder() const override;
  Text ProgramName() const override;
  std::uint32_t FileAttributes(const Text& path) const override;
  Text ExpandedEnvironmentStrings(const Text& text) const override;
  bool IsOrdinaryFile(const Text& path) const override;
  void StartProgram(const Text& path, int windowStyle) override;
  Text AppTitle() const override;
  AppVersion Version() const override;

  // The full path of the running program's file, however long.
  static Text ProgramPath();
};

}  // namespace brindlework::win32
