#pragma once
// One owner template for every Windows handle, and one COM pointer.

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace brindlework::win32 {

template <typename T, auto Close, T Invalid = T{}>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T handle) : handle_(handle) {}
  Unique(Unique&& other) noexcept : handle_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    reset(other.release());
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  ~Unique() { reset(); }

  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != Invalid; }
  // For out-parameters: closes what is held and hands out the slot.
  T* put() {
    reset();
    return &handle_;
  }
  T release() { return std::exchange(handle_, Invalid); }
  void reset(T handle = Invalid) {
    if (handle_ != Invalid) Close(handle_);
    handle_ = handle;
  }

 private:
  T handle_ = Invalid;
};

inline void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }
inline void CloseKernelHandle(HANDLE handle) { CloseHandle(handle); }
inline void CloseRegistryKey(HKEY key) { RegCloseKey(key); }
inline void ReleaseScreenDc(HDC dc) { ReleaseDC(nullptr, dc); }

using UniqueKey = Unique<HKEY, CloseRegistryKey>;
using UniqueHandle = Unique<HANDLE, CloseKernelHandle>;
using UniqueWindow = Unique<HWND, DestroyWindow>;
using UniqueMenu = Unique<HMENU, DestroyMenu>;
using UniqueIcon = Unique<HICON, DestroyIcon>;
using UniqueFont = Unique<HFONT, DeleteGdiObject>;
using UniquePen = Unique<HPEN, DeleteGdiObject>;
using UniqueBitmap = Unique<HBITMAP, DeleteGdiObject>;
using UniqueDc = Unique<HDC, DeleteDC>;
using UniqueScreenDc = Unique<HDC, ReleaseScreenDc>;
using UniqueCoMem = Unique<wchar_t*, CoTaskMemFree>;

template <typename I>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }

  I* get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  I** put() {
    reset();
    return &p_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }
  void reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }

 private:
  I* p_ = nullptr;
};

}  // namespace brindlework::win32
