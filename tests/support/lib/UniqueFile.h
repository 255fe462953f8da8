#pragma once
// A file handle's owner, for the tests and the recorder: the program itself opens no file.

#include <windows.h>

#include "platform/win32/Handles.h"

namespace brindlework::testing {

// CreateFileW's handles, whose failure is INVALID_HANDLE_VALUE rather than null.
struct FileTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) { CloseHandle(handle); }
};

using UniqueFile = win32::UniqueAny<FileTraits>;

}  // namespace brindlework::testing
