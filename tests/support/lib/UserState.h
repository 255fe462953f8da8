#pragma once
// The per-user state that the pinning tests point elsewhere or read from outside: the desktop
// folder, the settings key, and the output of the system's own tools. Every wait has a bound.

#include <windows.h>

#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "platform/win32/ComApartment.h"

namespace brindlework::testing {

// COM on the test's thread, as the program has it.
using win32::ComApartment;

// Points the user's desktop folder (User Shell Folders\Desktop) at a fresh scratch folder, and
// back to what it was at the end.
class TestDesktop {
 public:
  TestDesktop();
  ~TestDesktop();
  TestDesktop(const TestDesktop&) = delete;
  TestDesktop& operator=(const TestDesktop&) = delete;

  const std::filesystem::path& Path() const { return folder_.Path(); }
  std::wstring operator/(const std::wstring& name) const { return folder_ / name; }
  // Points the desktop somewhere else: a file, a missing folder.
  void PointAt(const std::wstring& path);
  // The names of the files in the desktop folder.
  std::vector<std::wstring> Files() const;

 private:
  ScratchFolder folder_;
  std::optional<std::wstring> previous_;
};

// Runs a command line to its end (at most `limit`) and gives what it wrote to its standard
// output and error, as the bytes it wrote.
std::string RunCommand(const std::wstring& commandLine, Milliseconds limit = 20s);

// What a Linux program (lnkinfo, icotool -l) writes to its standard output and error about a
// file, given the file's Unix path after `program`'s own words. Wine only.
std::string LinuxToolReport(const std::wstring& program, const std::wstring& path);

// Removes HKEY_CURRENT_USER\Software\<application> with everything under it.
void DeleteSettings(const std::wstring& application);

}  // namespace brindlework::testing
