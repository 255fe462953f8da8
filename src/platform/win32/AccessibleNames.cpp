#include "platform/win32/AccessibleNames.h"

#include "platform/win32/WinText.h"

namespace brindlework::win32 {

HRESULT AccessibleNames::Set(HWND control, TextView name) {
  if (!service_) {
    const HRESULT created = CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IAccPropServices, service_.put_void());
    if (FAILED(created)) return created;
  }
  const HRESULT result = service_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT),
                                                  CHILDID_SELF, PROPID_ACC_NAME,
                                                  ToWide(name).c_str());
  if (SUCCEEDED(result)) named_.push_back(control);
  return result;
}

void AccessibleNames::Clear() {
  // While the controls still exist: a later window may be given the same handle.
  for (const HWND control : named_) {
    service_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                             &PROPID_ACC_NAME, 1);
  }
  named_.clear();
}

}  // namespace brindlework::win32
