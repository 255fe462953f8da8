// Baseline for "GO!": one window with a "GO!" button; each press saves one shortcut through
// IShellLinkW, as "<title>.lnk" in the desktop folder, with Brindlework.exe beside this program as
// the target, the item as the arguments and Brindlework.exe's first icon: the shortcut that
// Brindlework writes for the same fields, without its checks, its temporary file and its message.
// After each save it sets the event that bench_timer waits on.
//
//   bare_shortcut TITLE ITEM
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "BareWindow.h"

namespace {

constexpr int kGoButton = 1;
HANDLE saved = nullptr;
std::wstring title;
std::wstring item;

template <typename T>
struct Released {
  T* p = nullptr;
  ~Released() {
    if (p) p->Release();
  }
};

HRESULT SaveShortcut() {
  PWSTR desktop = nullptr;
  HRESULT hr = SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &desktop);
  if (FAILED(hr)) return hr;
  const std::wstring path = std::wstring(desktop) + L"\\" + title + L".lnk";
  CoTaskMemFree(desktop);

  std::wstring target(32768, L'\0');
  target.resize(GetModuleFileNameW(nullptr, target.data(), static_cast<DWORD>(target.size())));
  target = target.substr(0, target.find_last_of(L'\\') + 1) + L"Brindlework.exe";

  Released<IShellLinkW> link;
  hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                        reinterpret_cast<void**>(&link.p));
  if (FAILED(hr)) return hr;
  if (FAILED(hr = link.p->SetPath(target.c_str()))) return hr;
  if (FAILED(hr = link.p->SetIconLocation(target.c_str(), 0))) return hr;
  if (FAILED(hr = link.p->SetArguments(item.c_str()))) return hr;
  Released<IPersistFile> file;
  hr = link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p));
  if (FAILED(hr)) return hr;
  return file.p->Save(path.c_str(), TRUE);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == kGoButton && HIWORD(wParam) == BN_CLICKED) {
    if (FAILED(SaveShortcut())) {
      PostQuitMessage(1);
    } else {
      SetEvent(saved);
    }
    return 0;
  }
  return QuitOnDestroy(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args || count != 3) return 2;
  title = args[1];
  item = args[2];
  LocalFree(args);
  saved = CreateEventW(nullptr, FALSE, FALSE, L"Local\\BrindleworkBareShortcutSaved");
  if (!saved) return 1;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return 1;

  const HWND window =
      ShowBareWindow(instance, L"BareShortcut", Procedure, L"Bare shortcut", 300, 100);
  if (!window) return 1;
  CreateWindowExW(0, L"Button", L"GO!", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 100, 40, 97, 25,
                  window, reinterpret_cast<HMENU>(kGoButton), instance, nullptr);
  const int exitCode = RunMessageLoop();
  CoUninitialize();
  CloseHandle(saved);
  return exitCode;
}
