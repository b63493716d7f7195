#include "SealPreview.h"

#include <algorithm>
#include <cstdint>

#include "DateSeal.h"
#include "GdiWorkImage.h"
#include "NameSeal.h"
#include "SealGeometry.h"

void SealPreview::Attach(HWND picture, HWND panel) {
  picture_ = picture;
  if (!picture_ || !panel) return;
  RECT r;
  GetWindowRect(panel, &r);
  MapWindowPoints(nullptr, GetParent(picture_), reinterpret_cast<POINT*>(&r), 2);
  // Below the panel's caption line.
  const int top = r.top + 8;
  SetWindowPos(picture_, nullptr, r.left + (r.right - r.left - kWidth) / 2, top + (r.bottom - top - kHeight) / 2,
               kWidth, kHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool SealPreview::DateSealScaled(const DateSealMain& seal) {
  return seal.TwinRing == 1 && 2 * std::int64_t{seal.StampSize} + 5 * std::int64_t{seal.LineWidth} + 4 > kScaleAbove;
}

void SealPreview::SetInk(const InkImpression& impression, int rezoHosei) {
  ink_ = impression;
  rezoHosei_ = rezoHosei;
}

void SealPreview::Press(GdiWorkImage& image, int base) const {
  ApplyInkEffect(image, StampResolution(base, rezoHosei_), ink_);
}

void SealPreview::ShowNameSeal(const NameSealRecord& seal) {
  GdiWorkImage image;
  image.SetSize(kWidth, kHeight);
  DrawNameSeal(image.BitmapCanvas(), kWidth, kHeight, seal);
  Press(image, NameSealPixelsPerMetre(seal));
  Present(image, false);
}

void SealPreview::ShowDateSeal(const DateSealRecord& seal, std::string_view middle) {
  int width = kWidth, height = kHeight;
  if (DateSealScaled(seal.Main)) {
    // Drawn on a larger picture of the same proportions, so that the ring
    // comes out kScaleAbove pixels wide once shrunk to the preview.
    const std::int64_t side = 2 * std::int64_t{seal.Main.StampSize} + 5 * std::int64_t{seal.Main.LineWidth} + 4;
    width = static_cast<int>(std::min<std::int64_t>(kWidth * side / kScaleAbove, GdiWorkImage::kMaxSide));
    height = static_cast<int>(std::min<std::int64_t>(kHeight * side / kScaleAbove, GdiWorkImage::kMaxSide));
  }
  GdiWorkImage image;
  image.SetSize(width, height);
  DrawDateSeal(image.BitmapCanvas(), width, height, seal, middle);
  Press(image, kDateSealPixelsPerMetre);
  Present(image, DateSealScaled(seal.Main));
}

// A pressed seal has grown by its margin on every side: its middle is the
// preview.
void SealPreview::Present(GdiWorkImage& image, bool scaled) {
  UniqueHbitmap picture = CreateWhiteBitmap(kWidth, kHeight);
  HDC source = image.BitmapDc();
  if (picture && source) {
    UniqueMemDc target(CreateCompatibleDC(source));
    const HGDIOBJ old = SelectObject(target.get(), picture.get());
    if (!scaled) {
      BitBlt(target.get(), 0, 0, kWidth, kHeight, source, (image.BitmapWidth() - kWidth) / 2,
             (image.BitmapHeight() - kHeight) / 2, SRCCOPY);
    } else {
      SetStretchBltMode(target.get(), HALFTONE);
      SetBrushOrgEx(target.get(), 0, 0, nullptr);
      StretchBlt(target.get(), 0, 0, kWidth, kHeight, source, 0, 0, image.BitmapWidth(), image.BitmapHeight(),
                 SRCCOPY);
    }
    SelectObject(target.get(), old);
  }
  bitmap_ = std::move(picture);
  if (picture_) InvalidateRect(picture_, nullptr, FALSE);
}

void SealPreview::Paint(const DRAWITEMSTRUCT& item) const {
  const RECT& r = item.rcItem;
  if (!bitmap_) {
    FillRect(item.hDC, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return;
  }
  UniqueMemDc source(CreateCompatibleDC(item.hDC));
  const HGDIOBJ old = SelectObject(source.get(), bitmap_.get());
  BitBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, source.get(), 0, 0, SRCCOPY);
  SelectObject(source.get(), old);
}
