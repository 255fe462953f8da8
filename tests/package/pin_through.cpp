// Pins an item through a given Brindlework.exe as a user does, for the package test: starts the
// program, types the item and the shortcut's title, presses "Remember all" and GO!, answers the
// message and closes the window. Usage: pin_through EXE ITEM TITLE. Exits 0 when GO! said "done!".
#include <windows.h>

#include <cstdio>
#include <stdexcept>

#include "TestSupport.h"
#include "Ui.h"

using namespace brindlework::testing;

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fputs("usage: pin_through EXE ITEM TITLE\n", stderr);
    return 2;
  }
  try {
    const ChildProcess program(Quoted(argv[1]));
    const HWND window = program.WaitForWindow(L"Brindlework to windows taskbar!");
    if (!window) throw std::runtime_error("the main window did not show");
    // The item and title fields where the window's table puts them (twips / 15 at 96 DPI).
    SetText(ControlAt(window, L"Edit", 1440 / 15, 240 / 15), argv[2]);
    SetText(ControlAt(window, L"Edit", 1440 / 15, 1680 / 15), argv[3]);
    DWORD_PTR ignored = 0;  // "Remember all" shows no message: the sent click returns when handled
    SendMessageTimeoutW(FindControl(window, L"Button", L"Remember all"), BM_CLICK, 0, 0,
                        SMTO_ABORTIFHUNG, 5000, &ignored);
    Click(FindControl(window, L"Button", L"GO!"));
    const std::wstring answer = AnswerMessageBox(program);
    PostMessageW(window, WM_CLOSE, 0, 0);
    program.WaitForExit(10s);
    if (answer != L"done!") throw std::runtime_error("GO! answered: " + ToUtf8(answer));
    return 0;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "%s\n", failure.what());
    return 1;
  }
}
