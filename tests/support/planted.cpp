// Stands in for a DLL that someone dropped beside the program under a system DLL's name: once
// loaded, it leaves "<its own file name>.ran" beside itself. It exports nothing.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size())));
    std::ofstream(std::filesystem::path(path + L".ran")) << "ran\n";
  }
  return TRUE;
}
