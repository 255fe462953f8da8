// A window that moves to a screen of another DPI lays itself out again, frees what it replaced,
// and scales every size. WM_DPICHANGED is sent as the system sends it, to a window of this
// process, so that its GDI objects can be looked at. (GetGuiResources cannot count them: it is
// a stub under Wine that always gives 0.)
#include <gtest/gtest.h>

#include "LiveForms.h"

namespace brindlework {
namespace {

constexpr UINT kNewDpi = 144;

// The system's message, with the window's rectangle scaled as it suggests one.
void MoveToDpi(HWND window, UINT dpi) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const UINT old = GetDpiForWindow(window);
  rect.right = rect.left + MulDiv(rect.right - rect.left, static_cast<int>(dpi), static_cast<int>(old));
  rect.bottom = rect.top + MulDiv(rect.bottom - rect.top, static_cast<int>(dpi), static_cast<int>(old));
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&rect));
}

RECT ClientRectOf(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

HFONT FontOf(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
}

bool IsIcon(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return true;
}

TEST(DpiChange, TheMainWindowsControlsTakeTheirSizesAtTheNewDpi) {
  testing::LiveForms forms;
  forms.windows.Show(forms.main);
  const HWND main = testing::LiveForms::Find(L"Brindlework to windows taskbar!");
  ASSERT_NE(main, nullptr);
  MoveToDpi(main, kNewDpi);

  const HWND go = FindWindowExW(main, nullptr, L"Button", L"GO!");
  ASSERT_NE(go, nullptr);
  const RECT rect = ClientRectOf(go);
  EXPECT_EQ(rect.left, 720);  // 7200 x 3000 twips
  EXPECT_EQ(rect.top, 300);
  EXPECT_EQ(rect.right - rect.left, 146);  // 1455 x 375 twips, rounded
  EXPECT_EQ(rect.bottom - rect.top, 38);

  // The list alone is 120 pixels high at 96 DPI, so 180 at 144. The rectangle holds the list and
  // the control's own box (Windows) or part of it (Wine).
  const HWND combo = FindWindowExW(main, nullptr, L"ComboBox", nullptr);
  ASSERT_NE(combo, nullptr);
  RECT dropped{};
  SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  EXPECT_GE(dropped.bottom - dropped.top, 180);
}

TEST(DpiChange, TheFontsAndTheIconThatWereReplacedAreFreed) {
  testing::LiveForms forms;
  forms.windows.Show(forms.about);
  const HWND about = testing::LiveForms::Find(L"About Brindlework");
  ASSERT_NE(about, nullptr);
  const HWND ok = FindWindowExW(about, nullptr, L"Button", L"OK");
  const HWND link = FindWindowExW(about, nullptr, L"Static", L"https://brindle.work");
  HWND picture = nullptr;  // the one static control that shows an icon
  for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (SendMessageW(child, STM_GETICON, 0, 0)) picture = child;
  }
  ASSERT_TRUE(ok && link && picture);
  const HFONT defaultFont = FontOf(ok);
  const HFONT linkFont = FontOf(link);
  const auto icon = reinterpret_cast<HICON>(SendMessageW(picture, STM_GETICON, 0, 0));
  ASSERT_EQ(GetObjectType(defaultFont), static_cast<DWORD>(OBJ_FONT));
  ASSERT_EQ(GetObjectType(linkFont), static_cast<DWORD>(OBJ_FONT));
  ASSERT_TRUE(IsIcon(icon));

  MoveToDpi(about, kNewDpi);

  EXPECT_EQ(GetObjectType(defaultFont), 0u);
  EXPECT_EQ(GetObjectType(linkFont), 0u);
  EXPECT_FALSE(IsIcon(icon));
  // What the controls use now is alive.
  EXPECT_EQ(GetObjectType(FontOf(ok)), static_cast<DWORD>(OBJ_FONT));
  EXPECT_EQ(GetObjectType(FontOf(link)), static_cast<DWORD>(OBJ_FONT));
  EXPECT_TRUE(IsIcon(reinterpret_cast<HICON>(SendMessageW(picture, STM_GETICON, 0, 0))));
}

}  // namespace
}  // namespace brindlework
