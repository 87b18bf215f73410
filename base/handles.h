// Move-only owners for system handles, so that no path leaks one.
#ifndef CORVANTA_BASE_HANDLES_H
#define CORVANTA_BASE_HANDLES_H

#include <windows.h>
#include <objbase.h>
#include <prsht.h>
#include <shtypes.h>

// A handle described by Traits (its type, its "none" value, how to close it).
template <typename Traits>
class ScopedHandle {
 public:
  using H = typename Traits::Handle;
  ScopedHandle() = default;
  explicit ScopedHandle(H handle) : handle_(handle) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  H Get() const { return handle_; }
  bool Valid() const { return handle_ != Traits::Invalid(); }
  H Release() {
    H handle = handle_;
    handle_ = Traits::Invalid();
    return handle;
  }
  void Reset(H handle = Traits::Invalid()) {
    if (handle_ != Traits::Invalid()) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  H handle_ = Traits::Invalid();
};

namespace handles_detail {
template <typename T, BOOL(WINAPI* CloseFunction)(T)>
struct NullTraits {
  using Handle = T;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { CloseFunction(h); }
};
struct FindTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { FindClose(h); }
};
struct FileTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};
struct LocalMemoryTraits {
  using Handle = HLOCAL;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { LocalFree(h); }
};
struct IdListTraits {
  using Handle = LPITEMIDLIST;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { CoTaskMemFree(h); }
};
}  // namespace handles_detail

// FindFirstFileW searches.
using FindHandle = ScopedHandle<handles_detail::FindTraits>;
// CreateFileW results (INVALID_HANDLE_VALUE when none).
using FileHandle = ScopedHandle<handles_detail::FileTraits>;
// Processes, threads, mutexes and other kernel objects that are null when absent.
using KernelHandle = ScopedHandle<handles_detail::NullTraits<HANDLE, CloseHandle>>;
using IconHandle = ScopedHandle<handles_detail::NullTraits<HICON, DestroyIcon>>;
using MenuHandle = ScopedHandle<handles_detail::NullTraits<HMENU, DestroyMenu>>;
// Memory the system allocated with LocalAlloc for the caller (FormatMessageW).
using LocalMemoryHandle = ScopedHandle<handles_detail::LocalMemoryTraits>;
// Shell item ID lists (SHBrowseForFolderW, ParseDisplayName), freed with the
// shell's allocator, which is the COM task allocator.
using IdListHandle = ScopedHandle<handles_detail::IdListTraits>;
// Brushes, pens, fonts and bitmaps.
using GdiObjectHandle = ScopedHandle<handles_detail::NullTraits<HGDIOBJ, DeleteObject>>;
// Device contexts made with CreateCompatibleDC (never those of GetDC).
using MemoryDcHandle = ScopedHandle<handles_detail::NullTraits<HDC, DeleteDC>>;
// A property sheet page not (yet) handed to PropertySheetW, which then owns it.
using PropertySheetPageHandle =
    ScopedHandle<handles_detail::NullTraits<HPROPSHEETPAGE, DestroyPropertySheetPage>>;

// A COM interface pointer, released exactly once.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = other.p_;
      other.p_ = nullptr;
    }
    return *this;
  }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For functions that hand out a new reference through void**.
  void** ReceiveVoid() {
    Reset();
    return reinterpret_cast<void**>(&p_);
  }
  void Reset() {
    if (p_ != nullptr) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

#endif
