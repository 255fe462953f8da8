#pragma once
// In-memory stand-ins for the platform services, recording what the core asks of them.

#include <map>
#include <optional>
#include <set>
#include <vector>

#include "platform/Error.h"
#include "platform/Process.h"
#include "platform/Shell.h"

namespace brindlework::testing {

struct ShellCall {
  WindowHandle owner;
  Text verb;
  Text file;
  OptionalText parameters;
  OptionalText directory;
  int showCommand;
};

class FakeShell final : public ShellOpen {
 public:
  std::intptr_t Open(WindowHandle owner, const Text& verb, const Text& file,
                     const OptionalText& parameters, const OptionalText& directory,
                     int showCommand) override {
    calls.push_back({owner, verb, file, parameters, directory, showCommand});
    return result;
  }
  std::vector<ShellCall> calls;
  std::intptr_t result = 42;
};

class FakeMessages final : public MessageBoxService {
 public:
  void Show(const Text& prompt) override { shown.push_back(prompt); }
  std::vector<Text> shown;
};

class FakeProcess final : public Process {
 public:
  Text CommandLine() const override { return commandLine; }
  void EndNow(int exitCode) override { endedWith = exitCode; }
  Text ProgramFolder() const override { return folder; }
  Text ProgramName() const override { return name; }
  std::uint32_t FileAttributes(const Text& path) const override {
    if (!existing.contains(path)) throw Error(2, u"The system cannot find the file specified.");
    return 0x20;
  }

  Text commandLine = u"Brindlework.exe";
  std::optional<int> endedWith;
  Text folder = u"C:\\Programs\\Brindlework";
  Text name = u"Brindlework";
  std::set<Text> existing;
};

}  // namespace brindlework::testing
