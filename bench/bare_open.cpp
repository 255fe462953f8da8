// Baseline for launch mode as a sound program must do it: COM entered as the program enters it,
// then the shell's open with NOASYNC (it ends right after), the shell's messages allowed. Nothing
// else: no C++ objects, no window of its own.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR item, int) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return 1;
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC;
  info.lpVerb = L"open";
  info.lpFile = item;
  info.nShow = SW_SHOW;
  const BOOL opened = ShellExecuteExW(&info);
  CoUninitialize();
  return opened ? 0 : 1;
}
