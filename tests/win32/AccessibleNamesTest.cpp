// The main window's input controls as a screen reader names them, read inside the process that
// owns them.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <map>
#include <memory>

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

// Stands in for the system's annotation service while it lives: the one that CoCreateInstance
// finds in this process. It keeps the names given, and takes one off only while its window
// exists, since a later window may be given the same handle.
class NameRecorder final : public IClassFactory, public IAccPropServices {
 public:
  NameRecorder() {
    EXPECT_EQ(CoRegisterClassObject(CLSID_AccPropServices, static_cast<IClassFactory*>(this),
                                    CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_),
              S_OK);
  }
  ~NameRecorder() { CoRevokeClassObject(cookie_); }

  std::map<HWND, std::wstring> names;

  // Lives on the test's stack, longer than any reference to it.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) *out = static_cast<IClassFactory*>(this);
    if (iid == IID_IAccPropServices) *out = static_cast<IAccPropServices*>(this);
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    return outer ? CLASS_E_NOAGGREGATION : QueryInterface(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND window, DWORD object, DWORD child,
                                           MSAAPROPID property, LPCWSTR text) override {
    if (!IsClientName(object, child, property)) return E_INVALIDARG;
    names[window] = text;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND window, DWORD object, DWORD child,
                                           const MSAAPROPID* properties, int count) override {
    if (count != 1 || !IsClientName(object, child, *properties)) return E_INVALIDARG;
    if (IsWindow(window)) names.erase(window);
    return S_OK;
  }

  // What the program does not use.
  HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int,
                                          IAccPropServer*, AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int,
                                              IAccPropServer*, AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*,
                                                        DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int,
                                               IAccPropServer*, AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*,
                                                         DWORD*) override {
    return E_NOTIMPL;
  }

 private:
  static bool IsClientName(DWORD object, DWORD child, const MSAAPROPID& property) {
    return object == static_cast<DWORD>(OBJID_CLIENT) && child == CHILDID_SELF &&
           property == PROPID_ACC_NAME;
  }

  DWORD cookie_ = 0;
};

TEST(AccessibleNames, EachInputGetsItsOwnNameAndLosesItWhileItExists) {
  const win32::ComApartment com;
  NameRecorder service;
  auto forms = std::make_unique<testing::LiveForms>();
  // Closed by the user, then still open when the program ends.
  for (const bool userCloses : {true, false}) {
    SCOPED_TRACE(userCloses ? "closed" : "open at the end");
    const HWND window = forms->Show(forms->main, L"Brindlework to windows taskbar!");
    ASSERT_NE(window, nullptr);
    std::map<HWND, std::wstring> expected;
    for (const ControlSpec& control : forms->main.Spec().controls) {
      if (control.accessibleName.empty()) continue;
      const HWND input = GetDlgItem(window, control.id);
      ASSERT_NE(input, nullptr);
      expected[input] = win32::ToWide(control.accessibleName);
    }
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(service.names, expected);
    if (userCloses) {
      DestroyWindow(window);
      MSG quit;  // the last window closed ends the loop: no later test may meet that
      PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    } else {
      forms.reset();
    }
    EXPECT_TRUE(service.names.empty());
  }
}

// The system's own service, where it has one.
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
    if (testing::RunningUnderWine() && result == E_NOTIMPL) {
      GTEST_SKIP() << "Wine 8 has no dynamic annotation (SetHwndPropStr)";
    }
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
