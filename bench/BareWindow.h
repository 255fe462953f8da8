#pragma once
// What the windowed baselines share: one plain top-level window, shown, and the message loop.
#include <windows.h>

// A window procedure that ends the message loop when the window goes; the others end in it.
inline LRESULT CALLBACK QuitOnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Registers `className` with `procedure` and creates a hidden window of it whose client area is
// `width` x `height` pixels below the menu bar, if any; null on failure.
inline HWND CreateBareWindow(HINSTANCE instance, const wchar_t* className, WNDPROC procedure,
                             const wchar_t* caption, int width, int height, HMENU menu = nullptr) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = className;
  if (!RegisterClassExW(&windowClass)) return nullptr;
  RECT outer{0, 0, width, height};
  AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, menu != nullptr);
  return CreateWindowExW(0, className, caption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                         CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                         outer.bottom - outer.top, nullptr, menu, instance, nullptr);
}

// The same, shown.
inline HWND ShowBareWindow(HINSTANCE instance, const wchar_t* className, WNDPROC procedure,
                           const wchar_t* caption, int width, int height) {
  const HWND window = CreateBareWindow(instance, className, procedure, caption, width, height);
  if (window) ShowWindow(window, SW_SHOW);
  return window;
}

// Until the window's procedure posts WM_QUIT; gives its exit code.
inline int RunMessageLoop() {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
