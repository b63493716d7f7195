#pragma once
// Move-only owners for Win32 handles, named for what they free.

#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;
  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : h_(h) {}
  UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    reset(o.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::Invalid(); }
  Handle release() { return std::exchange(h_, Traits::Invalid()); }
  void reset(Handle h = Traits::Invalid()) {
    if (h_ != Traits::Invalid()) Traits::Close(h_);
    h_ = h;
  }
  // For out-parameters: frees the old handle first.
  Handle* put() {
    reset();
    return &h_;
  }

 private:
  Handle h_ = Traits::Invalid();
};

#define VARNEL_HANDLE_TRAITS(Name, Type, Null, CloseCall) \
  struct Name##Traits {                                  \
    using Handle = Type;                                 \
    static Handle Invalid() { return Null; }             \
    static void Close(Handle h) { CloseCall; }           \
  };                                                     \
  using Name = UniqueHandle<Name##Traits>;

VARNEL_HANDLE_TRAITS(UniqueHkey, HKEY, nullptr, RegCloseKey(h))
VARNEL_HANDLE_TRAITS(UniqueHandleObject, HANDLE, nullptr, CloseHandle(h))
VARNEL_HANDLE_TRAITS(UniqueHglobal, HGLOBAL, nullptr, GlobalFree(h))
VARNEL_HANDLE_TRAITS(UniqueHbitmap, HBITMAP, nullptr, DeleteObject(h))
VARNEL_HANDLE_TRAITS(UniqueHfont, HFONT, nullptr, DeleteObject(h))
VARNEL_HANDLE_TRAITS(UniqueHpen, HPEN, nullptr, DeleteObject(h))
VARNEL_HANDLE_TRAITS(UniqueHbrush, HBRUSH, nullptr, DeleteObject(h))
VARNEL_HANDLE_TRAITS(UniqueHrgn, HRGN, nullptr, DeleteObject(h))
VARNEL_HANDLE_TRAITS(UniqueMemDc, HDC, nullptr, DeleteDC(h))
VARNEL_HANDLE_TRAITS(UniqueHenhmetafile, HENHMETAFILE, nullptr, DeleteEnhMetaFile(h))
VARNEL_HANDLE_TRAITS(UniqueHicon, HICON, nullptr, DestroyIcon(h))
// The screen's DC from GetDC(nullptr).
VARNEL_HANDLE_TRAITS(UniqueScreenDc, HDC, nullptr, ReleaseDC(nullptr, h))


// A file from CreateFileW, whose failure value is INVALID_HANDLE_VALUE.
struct UniqueFileTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};
using UniqueFile = UniqueHandle<UniqueFileTraits>;

#undef VARNEL_HANDLE_TRAITS
