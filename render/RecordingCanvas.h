#pragma once
// A canvas that records every primitive with the drawing state in force, for
// exact layout tests and fuzzing. Text is measured with a fixed metric:
// height = FontPixelHeight(size); a single-byte character is height / 2
// wide, a double-byte character height wide.

#include <string>
#include <vector>

#include "Canvas.h"
#include "WorkImage.h"

struct DrawCall {
  enum class Op { Ellipse, Rectangle, RoundRect, MoveTo, LineTo, TextOut, StretchDraw };
  Op op;
  Rect box;         // shapes and StretchDraw
  int x = 0, y = 0; // MoveTo, LineTo, TextOut; corner size of RoundRect
  std::string text;
  PenSpec pen;
  BrushSpec brush;
  FontSpec font;
  CopyMode mode = CopyMode::SrcCopy;
};

Extent FixedTextExtent(const FontSpec& font, std::string_view text);

class RecordingCanvas : public Canvas {
 public:
  void Ellipse(const Rect& box) override;
  void Rectangle(const Rect& box) override;
  void RoundRect(const Rect& box, int cornerWidth, int cornerHeight) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, std::string_view text) override;
  Extent TextExtent(std::string_view text) override;
  void StretchDraw(const Rect& dest, WorkImage& source) override;

  std::vector<DrawCall> calls;
  std::vector<DrawCall> Only(DrawCall::Op op) const;

 private:
  DrawCall& Record(DrawCall::Op op);
};

// A work image for tests: recording canvases for the bitmap and the
// metafile, and a stored DIB for rotation.
class MemoryWorkImage : public WorkImage {
 public:
  void SetSize(int width, int height) override;
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  Canvas& BitmapCanvas() override;
  Canvas& BeginMetafile(int width, int height) override;
  void EndMetafile() override;
  bool HoldsMetafile() const override { return metafileDone_; }
  PackedDib BitmapAsDib24() override;
  void SetBitmapFromDib(const PackedDib& dib) override;

  bool HasBitmap() const { return bitmapCreated_; }
  int BitmapWidth() const { return bitmapWidth_; }
  int BitmapHeight() const { return bitmapHeight_; }
  int MetafileWidth() const { return metaWidth_; }
  int MetafileHeight() const { return metaHeight_; }
  int MetafileRecordings() const { return metaRecordings_; }
  RecordingCanvas bitmap;
  RecordingCanvas metafile;
  PackedDib dib;  // what BitmapAsDib24 returns; a white picture when empty

 private:
  int width_ = 105, height_ = 105;
  bool bitmapCreated_ = false;
  int bitmapWidth_ = 0, bitmapHeight_ = 0;
  int metaWidth_ = 0, metaHeight_ = 0, metaRecordings_ = 0;
  bool metafileDone_ = false;
};

class MemoryWorkImageFactory : public WorkImageFactory {
 public:
  std::unique_ptr<WorkImage> Create() override { return std::make_unique<MemoryWorkImage>(); }
};
