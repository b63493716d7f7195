#pragma once
// The seal editor's preview: a 321 x 357 picture in which the seal being
// edited is drawn, centred and upright, by the renderers the stamps use,
// with their hand-pressed ink when the options ask for it.

#include <windows.h>

#include <string_view>

#include "InkImpression.h"
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
  // The ink shown in every picture from now on: the impression a preview
  // shows (PreviewImpression), upright and the same each time.
  void SetInk(const InkImpression& impression, int rezoHosei);
  void ShowNameSeal(const NameSealRecord& seal);
  void ShowDateSeal(const DateSealRecord& seal, std::string_view middle);
  // WM_DRAWITEM of the picture control.
  void Paint(const DRAWITEMSTRUCT& item) const;

  // Whether the date seal is shown scaled (only the double-A ring is).
  static bool DateSealScaled(const DateSealMain& seal);

 private:
  // Presses the drawn seal as a stamp of base pixels per metre would be.
  void Press(GdiWorkImage& image, int base) const;
  // Copies the picture's middle, or all of it shrunk to fit when scaled.
  void Present(GdiWorkImage& image, bool scaled);

  HWND picture_ = nullptr;
  InkImpression ink_;
  int rezoHosei_ = 100;
  UniqueHbitmap bitmap_;
};
