#pragma once
// The seal editor's preview: a 321 x 357 picture in which the seal being
// edited is drawn, centred and upright, by the renderers the stamps use.

#include <windows.h>

#include <string_view>

#include "Records.h"
#include "UniqueHandle.h"

class GdiWorkImage;

class SealPreview {
 public:
  static constexpr int kWidth = 321;
  static constexpr int kHeight = 357;
  // A double-A ring wider than this is shown scaled down to it.
  static constexpr int kScaleAbove = 297;

  // The owner-drawn picture control, sized and centred in its panel.
  void Attach(HWND picture, HWND panel);
  void ShowNameSeal(const NameSealRecord& seal);
  void ShowDateSeal(const DateSealRecord& seal, std::string_view middle);
  // WM_DRAWITEM of the picture control.
  void Paint(const DRAWITEMSTRUCT& item) const;

  // Whether the date seal is shown scaled (only the double-A ring is).
  static bool DateSealScaled(const DateSealMain& seal);

 private:
  void Present(GdiWorkImage& image);

  HWND picture_ = nullptr;
  UniqueHbitmap bitmap_;
};
