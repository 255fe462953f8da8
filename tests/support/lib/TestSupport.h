#pragma once
// What the Windows-side tests share: the programs under test, scratch folders, the recorder's
// output, child processes and their windows, and screenshots. Every wait has a bound.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/Handles.h"

namespace brindlework::testing {

using namespace std::chrono_literals;
using Milliseconds = std::chrono::milliseconds;

// True under Wine, false on Windows: where Wine lacks a behaviour, a test accepts exactly that
// gap under Wine and demands the real result everywhere else. Wine's ntdll exports
// wine_get_version; Windows' does not.
bool RunningUnderWine();

// Programs built beside the test programs.
std::wstring BuiltProgram(const wchar_t* fileName);
inline std::wstring BrindleworkExe() { return BuiltProgram(L"Brindlework.exe"); }
inline std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// A fresh folder under the temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return (path_ / name).wstring(); }

 private:
  std::filesystem::path path_;
};

// Writes a small file with the given content.
void CreateTestFile(const std::wstring& path, std::string_view content = "x");
// The file's bytes.
std::string FileBytes(const std::wstring& path);
// The names in a folder; none while it does not exist.
std::vector<std::wstring> FileNames(const std::filesystem::path& folder);

// The recorder's output: every command line that the shell handed to the recorder. Child
// processes started after construction inherit the file's name.
class Recording {
 public:
  Recording();
  ~Recording();
  std::vector<std::wstring> Lines() const;
  // Waits until at least `count` lines are there, at most `limit`.
  std::vector<std::wstring> WaitForLines(std::size_t count, Milliseconds limit = 10s) const;
  // The line the recorder writes for an item: its own quoted path, then the quoted item.
  static std::wstring LineFor(const std::wstring& item);

 private:
  ScratchFolder folder_;
  std::wstring file_;
};

// A program started with an exact command line.
class ChildProcess {
 public:
  // `folder`: the program's current folder; empty: this process's.
  explicit ChildProcess(const std::wstring& commandLine, const std::wstring& folder = L"");
  ~ChildProcess();  // ends the program if it still runs
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_.get(); }
  std::optional<DWORD> WaitForExit(Milliseconds limit) const;
  // The visible top-level windows of the process right now.
  std::vector<HWND> VisibleWindows() const;
  // Waits for a visible top-level window of the process with this caption.
  HWND WaitForWindow(const std::wstring& caption, Milliseconds limit = 20s) const;

 private:
  win32::UniqueHandle process_;
  DWORD id_ = 0;
};

// The visible top-level windows of a process, this one included.
std::vector<HWND> VisibleWindowsOfProcess(DWORD processId);

// UTF-16 as UTF-8, and back.
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
SIZE ClientSize(HWND window);

// An icon's colour pixels as 32-bit BGRA, top row first; none when it is not of that size. When
// asked, also where its AND mask is set, in the same order.
std::vector<RGBQUAD> IconPixels(HICON icon, int size, std::vector<bool>* masked = nullptr);

// Saves what the screen shows of the window as <name>.bmp in the run's screenshot folder.
void SaveScreenshot(HWND window, const std::wstring& name);

}  // namespace brindlework::testing
