// Baseline for writing a shortcut: one IShellLinkW saved as "Brindlework bench.lnk" in the desktop
// folder, with this program as the target, the item after its own name as the arguments and
// this program's first icon, then the end.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

namespace {

template <typename T>
struct Released {
  T* p = nullptr;
  ~Released() {
    if (p) p->Release();
  }
};

HRESULT SaveShortcut(const wchar_t* item) {
  PWSTR desktop = nullptr;
  HRESULT hr = SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &desktop);
  if (FAILED(hr)) return hr;
  const std::wstring path = std::wstring(desktop) + L"\\Brindlework bench.lnk";
  CoTaskMemFree(desktop);

  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));

  Released<IShellLinkW> link;
  hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                        reinterpret_cast<void**>(&link.p));
  if (FAILED(hr)) return hr;
  if (FAILED(hr = link.p->SetPath(self.c_str()))) return hr;
  if (FAILED(hr = link.p->SetArguments(item))) return hr;
  if (FAILED(hr = link.p->SetIconLocation(self.c_str(), 0))) return hr;
  Released<IPersistFile> file;
  hr = link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p));
  if (FAILED(hr)) return hr;
  return file.p->Save(path.c_str(), TRUE);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR item, int) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return 1;
  const HRESULT hr = SaveShortcut(item);
  CoUninitialize();
  return SUCCEEDED(hr) ? 0 : 1;
}
