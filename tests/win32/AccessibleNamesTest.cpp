// The main window's input controls as a screen reader names them, read inside the process that
// owns them.
#include <gtest/gtest.h>
#include <oleacc.h>

#include "LiveForms.h"
#include "TestSupport.h"
#include "platform/win32/ComApartment.h"
#include "platform/win32/AccessibleNames.h"
#include "platform/win32/WinText.h"

namespace brindlework {
namespace {

// The name that Active Accessibility reports for the control; "" for none.
std::wstring AccessibleName(HWND control) {
  win32::ComPtr<IAccessible> accessible;
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                        accessible.put_void()))) {
    return L"";
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  if (accessible->get_accName(self, &name) != S_OK) return L"";
  std::wstring text(name, SysStringLen(name));
  SysFreeString(name);
  return text;
}

TEST(AccessibleNames, EachInputOfTheMainWindowIsAnnouncedByItsName) {
  const win32::ComApartment com;  // the annotation service is a COM object
  testing::LiveForms forms;
  const HWND window = forms.Show(forms.main, L"Brindlework to windows taskbar!");
  ASSERT_NE(window, nullptr);
  {
    // Whether the system annotates at all, tried on a control of the test's own.
    const win32::UniqueWindow probe(CreateWindowExW(0, L"Edit", L"", WS_CHILD, 0, 0, 10, 10,
                                                    window, nullptr, nullptr, nullptr));
    win32::AccessibleNames names;
    const HRESULT result = names.Set(probe.get(), u"probe");
    if (testing::RunningUnderWine() && result == E_NOTIMPL) GTEST_SKIP() << "Wine 8 has no dynamic annotation (SetHwndPropStr)";
    ASSERT_EQ(result, S_OK);
  }
  for (const ControlSpec& control : forms.main.Spec().controls) {
    if (control.accessibleName.empty()) continue;
    EXPECT_EQ(AccessibleName(GetDlgItem(window, control.id)),
              win32::ToWide(control.accessibleName));
  }
}

}  // namespace
}  // namespace brindlework
