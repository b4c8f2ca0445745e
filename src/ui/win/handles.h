// Owners of the Win32 handles the program creates: each frees its handle when it goes, and
// can be moved but not copied.
#pragma once

#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <utility>

namespace lumatrove::win {

template <typename Handle, auto Free>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle h) : h_(h) {}
  ~Owned() { Reset(); }
  Owned(Owned&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.h_, nullptr));
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void Reset(Handle h = nullptr) {
    if (h_ != nullptr) Free(h_);
    h_ = h;
  }

 private:
  Handle h_ = nullptr;
};

inline void FreeIcon(HICON h) {
  DestroyIcon(h);
}
inline void FreeImageList(HIMAGELIST h) {
  ImageList_Destroy(h);
}
inline void FreeGdiObject(HGDIOBJ h) {
  DeleteObject(h);
}
inline void FreeMenu(HMENU h) {
  DestroyMenu(h);
}

using Icon = Owned<HICON, FreeIcon>;
using ImageList = Owned<HIMAGELIST, FreeImageList>;
using Bitmap = Owned<HBITMAP, FreeGdiObject>;
using Brush = Owned<HBRUSH, FreeGdiObject>;
using Font = Owned<HFONT, FreeGdiObject>;

// An icon of this module's resources at the given size.
inline Icon LoadIconResource(UINT id, int width, int height) {
  return Icon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                            IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
}

// A bitmap of this module's resources as a DIB section.
inline Bitmap LoadBitmapResource(UINT id) {
  return Bitmap(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

// `source` drawn at `width` x `height` with halftone smoothing (a new DIB section); none when
// it cannot be made.
Bitmap StretchedBitmap(HBITMAP source, int width, int height);

}  // namespace lumatrove::win
