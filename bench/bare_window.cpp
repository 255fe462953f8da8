// Baseline for editor mode: one empty top-level window of the main window's size, shown, and the
// message loop until it closes.
#include "BareWindow.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The main window's client area at 96 DPI.
  if (!ShowBareWindow(instance, L"BareWindow", QuitOnDestroy, L"Bare window", 593, 261)) return 1;
  return RunMessageLoop();
}
