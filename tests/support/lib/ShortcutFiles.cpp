#include "ShortcutFiles.h"

#include <shlobj.h>
// After shlobj.h, which declares the property key type.
#include <propkey.h>

#include <sstream>
#include <stdexcept>

#include "UserState.h"
#include "platform/win32/Handles.h"

namespace brindlework::testing {

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

WORD HeaderHotkey(const std::wstring& path) {
  const std::string bytes = FileBytes(path);
  if (bytes.size() < 0x4C) throw std::runtime_error("no shortcut header");
  return static_cast<WORD>(static_cast<unsigned char>(bytes[0x40]) |
                           static_cast<unsigned char>(bytes[0x41]) << 8);
}

std::string LnkInfo(const std::wstring& path) {
  return LinuxToolReport(L"lnkinfo", path);
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
