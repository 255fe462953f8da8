#include "ShortcutFiles.h"

#include <shlobj.h>
// After shlobj.h, which declares the property key type.
#include <propkey.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "UserState.h"
#include "platform/win32/Handles.h"

namespace brindlework::testing {
namespace {

// The Unix path of a file, for Linux programs that Wine starts.
std::wstring UnixPath(const std::wstring& path) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (!unixName) throw std::runtime_error("not running under Wine");
  char* name = unixName(path.c_str());
  if (!name) throw std::runtime_error("no Unix name for a file");
  std::wstring unixPath = FromUtf8(name);
  HeapFree(GetProcessHeap(), 0, name);
  return unixPath;
}

}  // namespace

ShortcutFields ReadShortcut(const std::wstring& path) {
  win32::ComPtr<IShellLinkW> link;
  win32::ComPtr<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.put_void())) ||
      FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) ||
      FAILED(file->Load(path.c_str(), STGM_READ))) {
    throw std::runtime_error("the shortcut could not be loaded");
  }
  ShortcutFields fields;
  std::wstring text(32768, L'\0');
  // SLGP_RAWPATH: the target as stored, not resolved against the file system.
  if (SUCCEEDED(link->GetPath(text.data(), 32768, nullptr, SLGP_RAWPATH))) {
    fields.target = text.c_str();
  }
  if (SUCCEEDED(link->GetArguments(text.data(), 32768))) fields.arguments = text.c_str();
  if (SUCCEEDED(link->GetIconLocation(text.data(), 32768, &fields.iconIndex))) {
    fields.iconPath = text.c_str();
  }
  link->GetHotkey(&fields.hotkey);
  win32::ComPtr<IPropertyStore> properties;
  fields.appUserModelIdRead = link->QueryInterface(IID_IPropertyStore, properties.put_void());
  if (SUCCEEDED(fields.appUserModelIdRead)) {
    PROPVARIANT value{};
    fields.appUserModelIdRead = properties->GetValue(PKEY_AppUserModel_ID, &value);
    if (SUCCEEDED(fields.appUserModelIdRead) && value.vt == VT_LPWSTR)
      fields.appUserModelId = value.pwszVal;
    PropVariantClear(&value);
  }
  return fields;
}

std::string FileBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

WORD HeaderHotkey(const std::wstring& path) {
  const std::string bytes = FileBytes(path);
  if (bytes.size() < 0x4C) throw std::runtime_error("no shortcut header");
  return static_cast<WORD>(static_cast<unsigned char>(bytes[0x40]) |
                           static_cast<unsigned char>(bytes[0x41]) << 8);
}

std::string LnkInfo(const std::wstring& path) {
  // lnkinfo is a Linux program. Wine starts it, but the handle it gives back does not wait for
  // it: the report is written under another name and renamed when complete.
  ScratchFolder folder;
  const std::wstring report = folder / L"lnkinfo.txt";
  const std::wstring script =
      L"lnkinfo \\\"$0\\\" >\\\"$1.part\\\" 2>&1; mv \\\"$1.part\\\" \\\"$1\\\"";
  RunCommand(L"Z:\\bin\\sh -c \"" + script + L"\" " + Quoted(UnixPath(path)) + L" " +
             Quoted(UnixPath(report)));
  const auto end = std::chrono::steady_clock::now() + 20s;
  while (GetFileAttributesW(report.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (std::chrono::steady_clock::now() > end) throw std::runtime_error("lnkinfo gave no report");
    std::this_thread::sleep_for(20ms);
  }
  return FileBytes(report);
}

std::string LnkInfoField(const std::string& report, const std::string& label) {
  std::istringstream lines(report);
  std::string line;
  while (std::getline(lines, line)) {
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, label.size(), label) != 0) continue;
    const auto colon = line.find(':', start + label.size());
    if (colon == std::string::npos) continue;
    const auto value = line.find_first_not_of(" \t", colon + 1);
    std::string text = value == std::string::npos ? "" : line.substr(value);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
  }
  return "<no " + label + ">";
}

}  // namespace brindlework::testing
