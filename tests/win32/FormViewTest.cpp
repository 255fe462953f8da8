// A real window's controls as its handlers reach them.
#include <gtest/gtest.h>

#include "platform/Error.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32Windows.h"

namespace brindlework {
namespace {

constexpr ControlSpec kOneField[] = {{ControlKind::TextBox, 1, u"Field", u"text", {0, 0, 600, 300}}};

// Asks, while it loads, for a control that its table does not hold.
class UnknownControlForm final : public Form {
 public:
  const FormSpec& Spec() const override { return spec_; }
  void Form_Load() override {
    try {
      View().GetText(0);
    } catch (const Error&) {
      refused = true;
    }
    View().Unload();
  }
  void Click(int) override {}

  bool refused = false;

 private:
  FormSpec spec_{.caption = u"Form view test", .clientWidth = 1200, .clientHeight = 600,
                 .controls = kOneField};
};

// An id outside the table is a failure, never another window's text (such as the caption).
TEST(FormView, AnIdOutsideTheTableIsRefused) {
  win32::Win32MessageBox messages;
  win32::Win32WindowSystem windows(GetModuleHandleW(nullptr), messages);
  UnknownControlForm form;
  windows.Show(form);
  EXPECT_TRUE(form.refused);
}

// A window class that could not be registered is tried again with the next window, never taken
// as registered. Classes are per module: the test's own class of that name, made while no other
// window system is alive, makes the first registration fail.
TEST(FormView, AFailedClassRegistrationIsTriedAgain) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const WNDCLASSEXW taken{.cbSize = sizeof(WNDCLASSEXW),
                          .lpfnWndProc = DefWindowProcW,
                          .hInstance = instance,
                          .lpszClassName = L"Brindlework.Form"};
  ASSERT_NE(RegisterClassExW(&taken), 0);
  win32::Win32MessageBox messages;
  win32::Win32WindowSystem windows(instance, messages);
  UnknownControlForm form;
  EXPECT_THROW(windows.Show(form), Error);
  ASSERT_TRUE(UnregisterClassW(L"Brindlework.Form", instance));
  windows.Show(form);
  EXPECT_TRUE(form.refused);  // loaded in a window of the program's own class
}

}  // namespace
}  // namespace brindlework
