// Each window as its table describes it, built by the real window system at 96 DPI: every
// control of the kind, place and size the table gives (twips / 15), made in tab order, and the
// window's client size, frame and place on the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "LiveForms.h"
#include "TestSupport.h"

namespace brindlework {
namespace {

const wchar_t* ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::TextBox: return L"Edit";
    case ControlKind::Button: return L"Button";
    case ControlKind::ComboBox: return L"ComboBox";
    case ControlKind::Label:
    case ControlKind::Picture: return L"Static";
  }
  return L"";
}

int Pixels(int twips) {
  return twips / 15;
}

void ExpectAsItsTable(HWND window, const FormSpec& spec) {
  ASSERT_NE(window, nullptr);
  const SIZE client = testing::ClientSize(window);
  EXPECT_EQ(client.cx, Pixels(spec.clientWidth));
  EXPECT_EQ(client.cy, Pixels(spec.clientHeight));
  EXPECT_EQ((GetWindowLongW(window, GWL_STYLE) & WS_THICKFRAME) != 0, spec.frame == Frame::Sizable);
  EXPECT_EQ((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0, spec.acceptsFiles);
  if (spec.screenPosition) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    EXPECT_EQ(origin.x, Pixels(spec.screenPosition->x));
    EXPECT_EQ(origin.y, Pixels(spec.screenPosition->y));
  }

  std::vector<const ControlSpec*> inTabOrder;
  for (const ControlSpec& control : spec.controls) inTabOrder.push_back(&control);
  std::sort(inTabOrder.begin(), inTabOrder.end(),
            [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
  HWND child = GetWindow(window, GW_CHILD);
  for (const ControlSpec* control : inTabOrder) {
    SCOPED_TRACE(testing::ToUtf8(std::wstring(control->name.begin(), control->name.end())));
    EXPECT_EQ(child, GetDlgItem(window, control->id)) << "not made in tab order";
    const HWND hwnd = GetDlgItem(window, control->id);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(CompareStringOrdinal(testing::ClassName(hwnd).c_str(), -1, ClassOf(control->kind), -1,
                                   TRUE),
              CSTR_EQUAL);
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, Pixels(control->rect.left));
    EXPECT_EQ(rect.top, Pixels(control->rect.top));
    EXPECT_EQ(rect.right - rect.left, Pixels(control->rect.width));
    // A closed combo box is as high as its font.
    if (control->kind != ControlKind::ComboBox) {
      EXPECT_EQ(rect.bottom - rect.top, Pixels(control->rect.height));
    }
    child = GetWindow(child, GW_HWNDNEXT);
  }
}

TEST(WindowLayout, EveryWindowIsBuiltAsItsTableSays) {
  testing::LiveForms forms;
  ExpectAsItsTable(forms.Show(forms.main, L"Brindlework to windows taskbar!"), forms.main.Spec());
  const HWND about = forms.Show(forms.about, L"About Brindlework");
  ExpectAsItsTable(about, forms.about.Spec());
  // The version as the build gives it, filled in at load.
  EXPECT_NE(FindWindowExW(about, nullptr, L"Static", L"Version 1.0.0"), nullptr);
  testing::SaveScreenshot(about, L"about");
  const HWND support = forms.Show(forms.support, L"Support us");
  ExpectAsItsTable(support, forms.support.Spec());
  testing::SaveScreenshot(support, L"support");
}

}  // namespace
}  // namespace brindlework
