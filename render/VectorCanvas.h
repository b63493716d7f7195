#pragma once
// The canvas that keeps what the renderers draw as a vector drawing, and the
// work image of that kind, so every renderer draws a seal as outlines
// unchanged. The geometry is GDI's: shapes on a wide pen are stroked on
// their box, a one-pixel pen runs through the pixel centres, text is placed
// by the same measurement as on a bitmap. Pictures keep their pixels, their
// white paper made transparent.

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "Canvas.h"
#include "GlyphSource.h"
#include "VectorDrawing.h"
#include "WorkImage.h"

// A picture drawn on white paper as ink on transparent paper: 32-bit BGRA
// rows from the top, straight alpha (the transparent PNG export's rule).
// Empty when it cannot be made.
using PictureInk = std::function<std::vector<std::uint8_t>(const PackedDib& onWhite)>;

class VectorCanvas : public Canvas {
 public:
  VectorCanvas(VectorDrawing& drawing, GlyphSource& glyphs, PictureInk ink);

  void Ellipse(const Rect& box) override;
  void Rectangle(const Rect& box) override;
  void RoundRect(const Rect& box, int cornerWidth, int cornerHeight) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, std::string_view text) override;
  Extent TextExtent(std::string_view text) override;
  // A vector source is laid in as outlines, a bitmap as a picture. The copy
  // mode plays no part: a drawing's paper is always transparent.
  void StretchDraw(const Rect& dest, WorkImage& source) override;

  // Lays another drawing over dest, scaled to it.
  void DrawDrawing(const VectorDrawing& source, const BoxD& dest);
  // Lays a picture drawn on white over dest, its paper made transparent.
  void DrawPicture(const PackedDib& onWhite, const BoxD& dest);

 private:
  enum class Shape { Rectangle, Ellipse, RoundRect };
  void AddShape(Shape shape, const Rect& box, double cornerWidth, double cornerHeight);
  void Add(VectorShape shape, const Affine& transform = {});
  void AddNotXorStroke(VectorShape stroke, const VectorPath& area);

  VectorDrawing& drawing_;
  GlyphSource& glyphs_;
  PictureInk ink_;
  PointD position_;
};

class VectorWorkImage : public WorkImage {
 public:
  VectorWorkImage(GlyphSource& glyphs, PictureInk ink);

  void SetSize(int width, int height) override;
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  // Starts the drawing at the control's size on first use.
  Canvas& BitmapCanvas() override;
  Canvas& BeginMetafile(int width, int height) override;
  void EndMetafile() override { metafile_ = true; }
  bool HoldsMetafile() const override { return metafile_; }
  // The picture the image was given, while the drawing is that picture
  // alone (so a bitmap seal can be tilted); else empty: a drawing has no
  // pixels.
  PackedDib BitmapAsDib24() override;
  // The drawing becomes the picture, the image its size; a picture that is
  // no valid DIB or beyond kMaxPixels leaves an empty drawing.
  void SetBitmapFromDib(const PackedDib& dib) override;

  // Whether anything was drawn or given: a drawing was started.
  bool HasDrawing() const { return canvas_ != nullptr; }
  const VectorDrawing& Drawing() const { return drawing_; }

  static constexpr long long kMaxPixels = 40'000'000;

 private:
  Canvas& Start(int width, int height);

  GlyphSource& glyphs_;
  PictureInk ink_;
  int width_ = 105, height_ = 105;
  VectorDrawing drawing_;
  std::unique_ptr<VectorCanvas> canvas_;
  bool metafile_ = false;
  PackedDib picture_;
};

class VectorWorkImageFactory : public WorkImageFactory {
 public:
  VectorWorkImageFactory(GlyphSource& glyphs, PictureInk ink) : glyphs_(glyphs), ink_(std::move(ink)) {}
  std::unique_ptr<WorkImage> Create() override { return std::make_unique<VectorWorkImage>(glyphs_, ink_); }

 private:
  GlyphSource& glyphs_;
  PictureInk ink_;
};
