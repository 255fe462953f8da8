#pragma once
#include <cstdint>

#include "platform/Text.h"

namespace brindlework {

inline constexpr int kShowNormal = 1;  // SW_SHOWNORMAL: a normal-sized, activated window
inline constexpr std::uint32_t kFolderAttribute = 0x10;  // FILE_ATTRIBUTE_DIRECTORY

struct AppVersion {
  int major = 0;
  int minor = 0;
  int revision = 0;
};

// What the program asks of its own process and of the file system.
class Process {
 public:
  virtual ~Process() = default;

  // The whole command line, the program's own name included, as the system keeps it.
  virtual Text CommandLine() const = 0;

  // Ends the process at once, without window events. Fakes return; callers must not go on.
  virtual void EndNow(int exitCode) = 0;

  // The folder of the running program's file (no trailing separator unless it is a root)
  // and that file's name without its extension.
  virtual Text ProgramFolder() const = 0;
  virtual Text ProgramName() const = 0;

  // The file-system attributes of a path; throws Error when they cannot be read.
  virtual std::uint32_t FileAttributes(const Text& path) const = 0;

  // The text with its environment strings (%NAME%) replaced by their values, as the system
  // expands them; a name that is not defined stays as it is. A text that cannot be expanded
  // comes back unchanged.
  virtual Text ExpandedEnvironmentStrings(const Text& text) const = 0;

  // True when an ordinary file (not a folder, not hidden, not a system file) is at the path.
  virtual bool IsOrdinaryFile(const Text& path) const = 0;

  // Starts the program at the path as a new process with the window style (SW_*), without
  // waiting for it. The path is the program to run, never split at blanks. Throws Error.
  virtual void StartProgram(const Text& path, int windowStyle) = 0;

  // The application's title and version, from the one place that feeds the version resource.
  virtual Text AppTitle() const = 0;
  virtual AppVersion Version() const = 0;
};

}  // namespace brindlework
