#include "TestRegistry.h"

#include <sddl.h>

#include <stdexcept>

namespace brindlework::testing {
namespace {

void Check(LSTATUS status, const char* what) {
  if (status != ERROR_SUCCESS) {
    throw std::runtime_error(std::string(what) + " failed: " + std::to_string(status));
  }
}

LSTATUS SetDacl(HKEY key, const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return static_cast<LSTATUS>(GetLastError());
  }
  const win32::UniqueLocal<> owner(descriptor);
  return RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
}

}  // namespace

TemporaryKey::TemporaryKey(std::string path) : path_(std::move(path)) {
  DWORD disposition = 0;
  Check(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        key_.put(), &disposition),
        "RegCreateKeyExA");
  created_ = disposition == REG_CREATED_NEW_KEY;
}

TemporaryKey::~TemporaryKey() {
  if (restricted_) SetDacl(key_.get(), L"D:P(A;;KA;;;WD)");
  if (created_) {
    key_.reset();
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, path_.c_str());
    return;
  }
  for (const auto& [name, value] : saved_) {
    if (value) {
      RegSetValueExA(key_.get(), name.c_str(), 0, value->type,
                     reinterpret_cast<const BYTE*>(value->data.data()),
                     static_cast<DWORD>(value->data.size()));
    } else {
      RegDeleteValueA(key_.get(), name.c_str());
    }
  }
}

void TemporaryKey::Save(const std::string& name) {
  if (created_ || saved_.contains(name)) return;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    saved_[name] = std::nullopt;
    return;
  }
  std::string data(size, '\0');
  RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                   &size);
  data.resize(size);
  saved_[name] = Value{type, std::move(data)};
}

void TemporaryKey::Set(const std::string& name, DWORD type, const std::string& data) {
  Save(name);
  // The registry adds a NUL to a string when the byte after the given ones is a NUL; a byte
  // other than NUL there keeps the data exactly as given.
  const std::string buffer = data + 'X';
  Check(
      RegSetValueExA(key_.get(), name.c_str(), 0, type,
                     reinterpret_cast<const BYTE*>(buffer.data()), static_cast<DWORD>(data.size())),
      "RegSetValueExA");
}

void TemporaryKey::Remove(const std::string& name) {
  Save(name);
  RegDeleteValueA(key_.get(), name.c_str());
}

void TemporaryKey::AllowOnlyReading() {
  Check(SetDacl(key_.get(), L"D:P(A;;KR;;;WD)"), "RegSetKeySecurity");
  restricted_ = true;
}

std::string DwordBytes(DWORD number) {
  return {static_cast<char>(number), static_cast<char>(number >> 8),
          static_cast<char>(number >> 16), static_cast<char>(number >> 24)};
}

}  // namespace brindlework::testing
