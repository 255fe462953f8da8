#include "platform/win32/Files.h"

#include <windows.h>

#include <atomic>

#include "platform/win32/Win32Error.h"
#include "platform/win32/WinText.h"

namespace brindlework::win32 {

std::wstring Expanded(const Text& path) {
  std::wstring expanded(ExpandEnvironmentStringsW(W(path), nullptr, 0), L'\0');
  const DWORD length = expanded.empty()
                           ? 0
                           : ExpandEnvironmentStringsW(W(path), expanded.data(),
                                                       static_cast<DWORD>(expanded.size()));
  if (length == 0) throw LastError();
  expanded.resize(length - 1);  // the count holds the NUL
  return expanded;
}

Text TemporaryBeside(const Text& target) {
  static std::atomic<unsigned> counter{0};
  const auto slash = target.find_last_of(u"\\/");
  const Text folder = slash == Text::npos ? Text() : target.substr(0, slash + 1);
  return folder + u"~brindlework-" + DecimalText(GetCurrentProcessId()) + u"-" +
         DecimalText(static_cast<std::int64_t>(GetTickCount64())) + u"-" + DecimalText(++counter) +
         u".tmp";
}

TemporaryFile::~TemporaryFile() {
  if (!moved_) DeleteFileW(W(path_));
}

}  // namespace brindlework::win32
