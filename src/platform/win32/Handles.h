#pragma once
// One owner template for every Windows handle, and one COM pointer.

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <utility>

namespace brindlework::win32 {

// A handle's type, its close function and its invalid value, as one traits struct: some
// handles' invalid value is INVALID_HANDLE_VALUE, which no template argument can hold (a cast).
template <typename T, auto CloseFunction>
struct NullHandleTraits {
  using Type = T;
  static constexpr T Invalid() { return T{}; }
  static void Close(T handle) { CloseFunction(handle); }
};

template <typename Traits>
class UniqueAny {
 public:
  using T = typename Traits::Type;

  UniqueAny() = default;
  explicit UniqueAny(T handle) : handle_(handle) {}
  UniqueAny(UniqueAny&& other) noexcept : handle_(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    reset(other.release());
    return *this;
  }
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  ~UniqueAny() { reset(); }

  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Invalid(); }
  // For out-parameters: closes what is held and hands out the slot.
  T* put() {
    reset();
    return &handle_;
  }
  T release() { return std::exchange(handle_, Traits::Invalid()); }
  void reset(T handle = Traits::Invalid()) {
    if (handle_ != Traits::Invalid()) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  T handle_ = Traits::Invalid();
};

// The common case: a handle whose failure value is null.
template <typename T, auto Close>
using Unique = UniqueAny<NullHandleTraits<T, Close>>;

// CreateFileW's handles, whose failure is INVALID_HANDLE_VALUE rather than null.
struct FileTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) { CloseHandle(handle); }
};
using UniqueFile = UniqueAny<FileTraits>;

inline void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }
inline void CloseKernelHandle(HANDLE handle) { CloseHandle(handle); }
inline void CloseRegistryKey(HKEY key) { RegCloseKey(key); }
inline void ReleaseScreenDc(HDC dc) { ReleaseDC(nullptr, dc); }
inline void FreeLocal(HLOCAL memory) { LocalFree(memory); }
inline void FinishDrop(HDROP drop) { DragFinish(drop); }

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
// The shell's description of dropped files (WM_DROPFILES), which the receiver frees.
using UniqueDrop = Unique<HDROP, FinishDrop>;
// Memory that the system allocated for the caller with LocalAlloc (FormatMessageW,
// CommandLineToArgvW, security descriptors).
template <typename T = void>
using UniqueLocal = Unique<T*, FreeLocal>;

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
