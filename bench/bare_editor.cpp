// Baseline for editor mode that looks like the main window: the same caption, menu and
// controls, common controls v6 (bare_editor.rc embeds the program's manifest), one font and
// COM; written straight against Win32, without tables, services or checks.
#include <windows.h>
#include <objbase.h>

#include "BareWindow.h"

namespace {

struct Control {
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  DWORD exStyle;
  int x, y, width, height;  // pixels at 96 DPI
};

constexpr DWORD kEdit = WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
constexpr DWORD kButton = WS_TABSTOP | BS_MULTILINE | BS_PUSHBUTTON;
constexpr DWORD kLabel = SS_LEFT | SS_NOTIFY;
constexpr DWORD kCombo = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;

// The main window's controls in its tab order, in pixels at 96 DPI; the combo box's height
// includes its drop-down list.
constexpr Control kControls[] = {
    {L"Button", L"GO!", WS_TABSTOP | BS_MULTILINE | BS_DEFPUSHBUTTON, 0, 480, 200, 97, 25},
    {L"Button", L"Clear all", kButton, 0, 480, 168, 97, 25},
    {L"Edit", L"", kEdit, WS_EX_CLIENTEDGE, 96, 16, 369, 33},
    {L"Edit", L"", kEdit, WS_EX_CLIENTEDGE, 96, 112, 369, 33},
    {L"Static", L"Shortcut title (required)", kLabel, 0, 16, 112, 105, 25},
    {L"Edit", L"", kEdit, WS_EX_CLIENTEDGE, 96, 64, 369, 33},
    {L"Static", L"Shortcut icon      (can be blank)", kLabel, 0, 16, 64, 97, 33},
    {L"Button", L"Choose icon (.ico)", kButton, 0, 480, 64, 97, 33},
    {L"ComboBox", L"", kCombo, 0, 96, 168, 113, 141},
    {L"Edit", L"", kEdit, WS_EX_CLIENTEDGE, 232, 168, 33, 19},
    {L"Edit", L"", kEdit, WS_EX_CLIENTEDGE, 96, 200, 169, 27},
    {L"Static", L"CTRL+", kLabel, 0, 40, 168, 41, 17},
    {L"Static", L"+", kLabel, 0, 216, 168, 9, 17},
    {L"Button", L"Set hotkey", kButton, 0, 280, 168, 81, 25},
    {L"Static", L"or just type in a web address", kLabel, 0, 480, 16, 81, 25},
    {L"Button", L"Remember all", kButton, 0, 480, 112, 97, 33},
    {L"Button", L"Pin  :>     (select file)", kButton, 0, 8, 16, 73, 33},
    {L"Button", L"Delete hotkey", kButton, 0, 280, 200, 81, 25},
};

HMENU MainMenu() {
  const HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, 201, L"E&xit");
  const HMENU help = CreatePopupMenu();
  AppendMenuW(help, MF_STRING, 203, L"Help");
  AppendMenuW(help, MF_STRING, 204, L"About");
  AppendMenuW(help, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(help, MF_STRING, 206, L"Support us");
  const HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(file), L"File");
  AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(help), L"Help");
  return bar;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return 1;
  const HWND window = CreateBareWindow(instance, L"BareEditor", QuitOnDestroy,
                                       L"Brindlework to windows taskbar!", 593, 261, MainMenu());
  if (!window) return 1;
  LOGFONTW logFont{};
  logFont.lfHeight = -11;  // 8 points at 96 DPI
  logFont.lfCharSet = DEFAULT_CHARSET;
  logFont.lfQuality = CLEARTYPE_QUALITY;
  lstrcpynW(logFont.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
  const HFONT font = CreateFontIndirectW(&logFont);
  for (const Control& c : kControls) {
    const HWND control = CreateWindowExW(c.exStyle, c.className, c.text,
                                         WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | c.style,
                                         c.x, c.y, c.width, c.height, window, nullptr, instance,
                                         nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (c.style == kCombo) {
      SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"SHIFT"));
      SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"ALT"));
    }
  }
  ShowWindow(window, SW_SHOW);
  const int exitCode = RunMessageLoop();
  DeleteObject(font);
  CoUninitialize();
  return exitCode;
}
