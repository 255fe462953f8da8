#pragma once
#include <cstdint>

#include "platform/Text.h"

namespace brindlework {

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
};

}  // namespace brindlework
