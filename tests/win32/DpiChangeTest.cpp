// A window that moves to a screen of another DPI lays itself out again, scales every size and
// frees what it replaced once no control uses it. WM_DPICHANGED is sent as the system sends it,
// to windows of this process, whose GDI objects can be looked at: GetGuiResources cannot count
// them (a stub that gives 0 under Wine).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "LiveForms.h"
#include "TestSupport.h"

namespace brindlework {
namespace {

// The system's message, with the window's rectangle scaled from 96 DPI as it suggests one.
void MoveTo144Dpi(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  rect.right = rect.left + (rect.right - rect.left) * 3 / 2;
  rect.bottom = rect.top + (rect.bottom - rect.top) * 3 / 2;
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&rect));
}

HFONT FontOf(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
}

// Counts each font that reaches a control while the one it still uses is already freed: the
// control may paint with that one until the new font arrives.
LRESULT CALLBACK CountFreedFonts(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR, DWORD_PTR count) {
  if (message == WM_SETFONT) {
    const HFONT current = FontOf(control);  // null before its first font, and then no object
    if (current && GetObjectType(current) == 0) ++*reinterpret_cast<int*>(count);
  }
  return DefSubclassProc(control, message, wParam, lParam);
}

bool IsIcon(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return true;
}

TEST(DpiChange, ControlsTakeTheirNewSizes) {
  testing::LiveForms forms;
  const HWND main = forms.Show(forms.main, L"Brindlework to windows taskbar!");
  ASSERT_NE(main, nullptr);
  MoveTo144Dpi(main);

  const HWND go = FindWindowExW(main, nullptr, L"Button", L"GO!");
  RECT rect{};
  GetWindowRect(go, &rect);
  MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 720);  // 7200, 3000, 1455 x 375 twips
  EXPECT_EQ(rect.top, 300);
  EXPECT_EQ(rect.right - rect.left, 146);
  EXPECT_EQ(rect.bottom - rect.top, 38);

  // The list alone is 120 pixels high at 96 DPI, 180 at 144; the rectangle also holds the
  // control's own box. Wine's holds only a part of that box.
  const HWND combo = FindWindowExW(main, nullptr, L"ComboBox", nullptr);
  RECT box{};
  GetWindowRect(combo, &box);
  SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&rect));
  const int ownBox = testing::RunningUnderWine() ? 0 : box.bottom - box.top;
  EXPECT_GE(rect.bottom - rect.top, 180 + ownBox);
}

TEST(DpiChange, TheReplacedFontsAndIconAreFreed) {
  testing::LiveForms forms;
  const HWND about = forms.Show(forms.about, L"About Brindlework");
  ASSERT_NE(about, nullptr);
  const HWND ok = FindWindowExW(about, nullptr, L"Button", L"OK");
  const HWND link = FindWindowExW(about, nullptr, L"Static", L"https://brindle.work");
  HWND picture = nullptr;  // the one static control that shows an icon
  for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (SendMessageW(child, STM_GETICON, 0, 0)) picture = child;
  }
  ASSERT_TRUE(ok && link && picture);
  const HFONT fonts[] = {FontOf(ok), FontOf(link)};  // the default one and the link's own
  const auto icon = reinterpret_cast<HICON>(SendMessageW(picture, STM_GETICON, 0, 0));
  ASSERT_TRUE(IsIcon(icon));
  int freedInUse = 0;
  for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    SetWindowSubclass(child, CountFreedFonts, 0, reinterpret_cast<DWORD_PTR>(&freedInUse));
  }

  MoveTo144Dpi(about);

  EXPECT_EQ(freedInUse, 0);  // the old fonts go only once the controls have the new ones
  for (const HFONT font : fonts) EXPECT_EQ(GetObjectType(font), 0u);
  EXPECT_FALSE(IsIcon(icon));
  EXPECT_EQ(GetObjectType(FontOf(link)), static_cast<DWORD>(OBJ_FONT));  // the new ones live
  EXPECT_TRUE(IsIcon(reinterpret_cast<HICON>(SendMessageW(picture, STM_GETICON, 0, 0))));
}

}  // namespace
}  // namespace brindlework
