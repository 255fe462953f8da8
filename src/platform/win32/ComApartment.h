#pragma once
// COM on the calling thread for the life of the object: the single-threaded apartment that the
// shell's extensions and the shortcut objects expect. The program makes one, at start-up.

#include <objbase.h>
#include <windows.h>

#include "platform/win32/Win32Error.h"

namespace brindlework::win32 {

class ComApartment {
 public:
  ComApartment() {
    Check(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  }
  ~ComApartment() { CoUninitialize(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

}  // namespace brindlework::win32
