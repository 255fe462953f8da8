#pragma once
// A shell link for the shortcut writer's seam: it passes every call to a real link, counts the
// probes alive, and can change one value that the writer reads back.

#include <windows.h>

#include <shobjidl.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32ShortcutWriter.h"

namespace brindlework::testing {

class LinkProbe final : public IShellLinkW, public IPersistFile {
 public:
  enum class Change {
    None,
    Target,
    IconPath,
    IconIndex,
    Arguments,        // the item's first 10 units
    LongerArguments,  // the item and more
    Hotkey,
    PathCase,  // the target and icon as set, in upper case
  };

  // Counts itself in `alive` until its last reference is released.
  LinkProbe(int& alive, Change change) : alive_(alive), change_(change) {
    ++alive_;
    inner_ = win32::NewShellLink();
    win32::Check(inner_->QueryInterface(IID_IPersistFile, innerFile_.put_void()));
  }
  LinkProbe(const LinkProbe&) = delete;
  LinkProbe& operator=(const LinkProbe&) = delete;

  // A new probe, with the one reference that its receiver owns.
  static win32::ComPtr<IShellLinkW> New(int& alive, Change change = Change::None) {
    win32::ComPtr<IShellLinkW> link;
    *link.put() = new LinkProbe(alive, change);
    return link;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IShellLinkW) {
      *out = static_cast<IShellLinkW*>(this);
    } else if (iid == IID_IPersist || iid == IID_IPersistFile) {
      *out = static_cast<IPersistFile*>(this);
    } else {
      return inner_->QueryInterface(iid, out);  // the property store: the real link's own
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // What the writer reads back, changed as asked.
  HRESULT STDMETHODCALLTYPE GetPath(LPWSTR file, int size, WIN32_FIND_DATAW* data,
                                    DWORD flags) override {
    if (change_ == Change::Target) return Put(L"C:\\Other\\Program.exe", file, size);
    const HRESULT result = inner_->GetPath(file, size, data, flags);
    if (change_ == Change::PathCase) CharUpperW(file);
    return result;
  }
  HRESULT STDMETHODCALLTYPE GetIconLocation(LPWSTR path, int size, int* index) override {
    const HRESULT result = inner_->GetIconLocation(path, size, index);
    if (change_ == Change::IconPath) return Put(L"C:\\Other\\icon.ico", path, size);
    if (change_ == Change::IconIndex) *index = 1;
    if (change_ == Change::PathCase) CharUpperW(path);
    return result;
  }
  HRESULT STDMETHODCALLTYPE GetArguments(LPWSTR arguments, int size) override {
    if (change_ == Change::LongerArguments) {
      std::wstring kept(32768, L'\0');
      const HRESULT result = inner_->GetArguments(kept.data(), static_cast<int>(kept.size()));
      if (FAILED(result)) return result;
      return Put((kept.c_str() + std::wstring(L" and more")).c_str(), arguments, size);
    }
    const HRESULT result = inner_->GetArguments(arguments, size);
    if (change_ == Change::Arguments) arguments[std::min(size - 1, 10)] = L'\0';  // cut to 10
    return result;
  }
  HRESULT STDMETHODCALLTYPE GetHotkey(WORD* hotkey) override {
    const HRESULT result = inner_->GetHotkey(hotkey);
    if (change_ == Change::Hotkey) *hotkey = 0;
    return result;
  }

  // Everything else as the real link does it.
  HRESULT STDMETHODCALLTYPE GetIDList(PIDLIST_ABSOLUTE* list) override {
    return inner_->GetIDList(list);
  }
  HRESULT STDMETHODCALLTYPE SetIDList(PCIDLIST_ABSOLUTE list) override {
    return inner_->SetIDList(list);
  }
  HRESULT STDMETHODCALLTYPE GetDescription(LPWSTR text, int size) override {
    return inner_->GetDescription(text, size);
  }
  HRESULT STDMETHODCALLTYPE SetDescription(LPCWSTR text) override {
    return inner_->SetDescription(text);
  }
  HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPWSTR dir, int size) override {
    return inner_->GetWorkingDirectory(dir, size);
  }
  HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCWSTR dir) override {
    return inner_->SetWorkingDirectory(dir);
  }
  HRESULT STDMETHODCALLTYPE SetArguments(LPCWSTR arguments) override {
    return inner_->SetArguments(arguments);
  }
  HRESULT STDMETHODCALLTYPE SetHotkey(WORD hotkey) override { return inner_->SetHotkey(hotkey); }
  HRESULT STDMETHODCALLTYPE GetShowCmd(int* show) override { return inner_->GetShowCmd(show); }
  HRESULT STDMETHODCALLTYPE SetShowCmd(int show) override { return inner_->SetShowCmd(show); }
  HRESULT STDMETHODCALLTYPE SetIconLocation(LPCWSTR path, int index) override {
    return inner_->SetIconLocation(path, index);
  }
  HRESULT STDMETHODCALLTYPE SetRelativePath(LPCWSTR path, DWORD reserved) override {
    return inner_->SetRelativePath(path, reserved);
  }
  HRESULT STDMETHODCALLTYPE Resolve(HWND window, DWORD flags) override {
    return inner_->Resolve(window, flags);
  }
  HRESULT STDMETHODCALLTYPE SetPath(LPCWSTR file) override { return inner_->SetPath(file); }

  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override { return innerFile_->GetClassID(id); }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return innerFile_->IsDirty(); }
  HRESULT STDMETHODCALLTYPE Load(LPCOLESTR file, DWORD mode) override {
    return innerFile_->Load(file, mode);
  }
  HRESULT STDMETHODCALLTYPE Save(LPCOLESTR file, WINBOOL remember) override {
    return innerFile_->Save(file, remember);
  }
  HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR file) override {
    return innerFile_->SaveCompleted(file);
  }
  HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR* file) override {
    return innerFile_->GetCurFile(file);
  }

 private:
  ~LinkProbe() { --alive_; }

  // Cut to the buffer, silently, as the real link does.
  static HRESULT Put(const wchar_t* text, LPWSTR buffer, int size) {
    const errno_t copied = wcsncpy_s(buffer, size, text, _TRUNCATE);
    return copied == 0 || copied == STRUNCATE ? S_OK : E_FAIL;
  }

  int& alive_;
  Change change_;
  ULONG references_ = 1;
  win32::ComPtr<IShellLinkW> inner_;
  win32::ComPtr<IPersistFile> innerFile_;
};

}  // namespace brindlework::testing
