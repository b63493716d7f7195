#pragma once
// The canvas over a GDI device context: a bitmap's memory DC or an
// enhanced-metafile recording DC. The DC is borrowed; everything the canvas
// selects into it is put back when the canvas goes.

#include <windows.h>

#include "Canvas.h"
#include "UniqueHandle.h"

// The GDI font of a canvas's font: its size in points at the screen's 96
// dpi, escapement, style and charset.
UniqueHfont CreateCanvasFont(const FontSpec& font);

class GdiCanvas : public Canvas {
 public:
  explicit GdiCanvas(HDC hdc);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  void Ellipse(const Rect& box) override;
  void Rectangle(const Rect& box) override;
  void RoundRect(const Rect& box, int cornerWidth, int cornerHeight) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, std::string_view text) override;
  Extent TextExtent(std::string_view text) override;
  void StretchDraw(const Rect& dest, WorkImage& source) override;
  // Draws source over size hundredths of a millimetre from the pixel origin,
  // on the scale of the DC's device: a picture of a set physical size keeps
  // it to a fraction of a pixel instead of whole pixels.
  void StretchDrawPhysical(POINT origin, SIZE size, WorkImage& source);

  HDC Dc() const { return hdc_; }

 private:
  void RealisePen();
  void RealiseBrush();
  void RealiseFont();
  void RealiseShapeState() {
    RealisePen();
    RealiseBrush();
  }
  bool OutlinesByRegions() const;
  void WideOutline(const Rect& box, bool rounded, int cornerWidth, int cornerHeight);
  HDC MeasuringDc();

  HDC hdc_;
  bool onBitmap_;
  int savedState_;
  UniqueHpen pen_;
  UniqueHbrush brush_;
  UniqueHfont font_;
  UniqueMemDc measuringDc_;  // declared after font_: it lets go of the font first
  PenSpec realisedPen_;
  BrushSpec realisedBrush_;
  FontSpec realisedFont_;
  bool penRealised_ = false, brushRealised_ = false, fontRealised_ = false;
};
