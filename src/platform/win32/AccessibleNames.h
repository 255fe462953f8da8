#pragma once
// Names that screen readers announce for controls, given through dynamic annotation
// (IAccPropServices::SetHwndPropStr with PROPID_ACC_NAME). A reader otherwise names an edit
// control after the label just before it in z-order, which the tab order decides.

#include <windows.h>
#include <oleacc.h>

#include <vector>

#include "platform/Text.h"
#include "platform/win32/Handles.h"

namespace brindlework::win32 {

// Needs COM on the calling thread. The names only help: a failure is returned, never thrown.
class AccessibleNames {
 public:
  AccessibleNames() = default;
  ~AccessibleNames() { Clear(); }
  AccessibleNames(const AccessibleNames&) = delete;
  AccessibleNames& operator=(const AccessibleNames&) = delete;

  // Gives the control its name; the service's result (S_OK when the name is set).
  HRESULT Set(HWND control, TextView name);
  // Takes every name given here off again; call while the controls still exist.
  void Clear();

 private:
  ComPtr<IAccPropServices> service_;
  std::vector<HWND> named_;
};

}  // namespace brindlework::win32
