#include "launcher/ModShellExec.h"

#include "platform/Error.h"

namespace brindlework::ModShellExec {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// ShellExecute's results up to this one are failures; above it, success.
constexpr std::intptr_t kLastShellFailure = 32;

}  // namespace

Text CommandLineItem(TextView commandLine) {
  std::size_t pos = 0;
  if (!commandLine.empty() && commandLine.front() == u'"') {
    const auto close = commandLine.find(u'"', 1);
    pos = close == TextView::npos ? commandLine.size() : close + 1;
  } else {
    while (pos < commandLine.size() && !IsBlank(commandLine[pos])) ++pos;
  }
  while (pos < commandLine.size() && IsBlank(commandLine[pos])) ++pos;
  return Text(commandLine.substr(pos));
}

void Main(Process& process, ShellOpen& shell, const std::function<void()>& showMainWindow) {
  const Text item = CommandLineItem(process.CommandLine());
  if (!item.empty()) {
    const auto result = shell.Open(kNoWindow, u"open", item, std::nullopt, std::nullopt, kShowCommand);
    process.EndNow(result > kLastShellFailure ? 0 : 1);
    return;
  }
  showMainWindow();
}

bool FileExists(const Process& process, const Text& path) {
  try {
    process.FileAttributes(path);
    return true;
  } catch (const Error&) {
    return false;
  }
}

}  // namespace brindlework::ModShellExec
