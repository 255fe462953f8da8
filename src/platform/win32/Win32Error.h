#pragma once
// Converts Win32 error codes and HRESULTs into the program's one failure type.

#include <windows.h>

#include "platform/Error.h"

namespace brindlework::win32 {

// A Win32 error code with the system's description of it.
Error Win32Error(DWORD code);
// GetLastError() as an Error; ERROR_SUCCESS becomes a generic failure, never a success.
Error LastError();
// An HRESULT: one that wraps a Win32 error becomes that code, any other stays a signed number.
Error HresultError(HRESULT hr);

// Throws the HRESULT's Error when it is a failure.
inline void Check(HRESULT hr) {
  if (FAILED(hr)) throw HresultError(hr);
}

// Throws the registry status's Error when it is not ERROR_SUCCESS. Not an overload of Check:
// LSTATUS and HRESULT are both `long`.
inline void CheckStatus(LSTATUS status) {
  if (status != ERROR_SUCCESS) throw Win32Error(static_cast<DWORD>(status));
}

}  // namespace brindlework::win32
