#pragma once
// The work image on GDI: a 24-bit DIB section in a memory DC, or an enhanced
// metafile recorded against the screen in reference pixels (96 to the inch).

#include <windows.h>

#include <memory>

#include "GdiCanvas.h"
#include "UniqueHandle.h"
#include "WorkImage.h"

class GdiWorkImage : public WorkImage {
 public:
  GdiWorkImage() = default;
  ~GdiWorkImage() override;
  GdiWorkImage(const GdiWorkImage&) = delete;
  GdiWorkImage& operator=(const GdiWorkImage&) = delete;

  void SetSize(int width, int height) override;
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  Canvas& BitmapCanvas() override;
  // A recording of width x height reference pixels, framed at their size.
  Canvas& BeginMetafile(int width, int height) override;
  // A recording of width x height reference pixels whose frame is frameSize
  // hundredths of a millimetre, for a picture of a set physical size.
  Canvas& BeginMetafile(int width, int height, SIZE frameSize);
  void EndMetafile() override;
  bool HoldsMetafile() const override { return static_cast<bool>(metafile_); }
  PackedDib BitmapAsDib24() override;
  void SetBitmapFromDib(const PackedDib& dib) override;

  // The bitmap as a packed DIB of 1, 4, 8 or 24 bits per pixel (with the
  // colour table GDI chooses for the depth), fetched through the screen DC;
  // empty when there is no bitmap. A picture of few colours comes to 4 bits
  // with each colour mapped once, the same result as the conversion of
  // every pixel below at a fraction of its cost.
  PackedDib BitmapAsDib(int bitCount);
  PackedDib BitmapAsDibPixelByPixel(int bitCount);
  // Replaces the bitmap with the same picture at 4, 8 or 24 bits per pixel.
  bool ChangeDepth(int bitCount);

  // For the output code: the finished pictures.
  HBITMAP Bitmap() const { return bitmap_.get(); }
  HDC BitmapDc() const { return bitmap_ ? bitmapDc_.get() : nullptr; }
  int BitmapWidth() const { return bitmapWidth_; }
  int BitmapHeight() const { return bitmapHeight_; }
  HENHMETAFILE Metafile() const { return metafile_.get(); }
  // Hands the metafile over (to the clipboard, say); the image then holds none.
  UniqueHenhmetafile TakeMetafile() { return std::move(metafile_); }

  // A recording's pixels have one fixed size, 0.2646 mm (96 to the inch),
  // whatever the screen it is made against: a picture defined in pixels
  // prints at the same size on every monitor.
  static constexpr int kReferencePixelsPerInch = 96;
  // The reference pixels nearest to a physical size.
  static SIZE PixelsFor(SIZE hundredthsOfMm);
  // The frame of width x height reference pixels, in hundredths of a millimetre.
  static SIZE FrameFor(int width, int height);
  // Reference pixels per metre (3780).
  static int ReferencePixelsPerMetre();

  // Pictures beyond this many pixels a side are refused: drawing then goes
  // to an empty canvas instead of exhausting memory.
  static constexpr int kMaxSide = 16000;
  static constexpr long long kMaxPixels = 40'000'000;

 private:
  void SelectBitmap(UniqueHbitmap bitmap, int width, int height);
  void AdoptBitmap(UniqueHbitmap bitmap, int width, int height);
  void DropBitmap();
  void DropRecording();

  int width_ = 105, height_ = 105;
  UniqueMemDc bitmapDc_;
  HGDIOBJ originalBitmap_ = nullptr;
  UniqueHbitmap bitmap_;
  int bitmapWidth_ = 0, bitmapHeight_ = 0;
  std::unique_ptr<Canvas> bitmapCanvas_;

  HDC recordingDc_ = nullptr;
  std::unique_ptr<Canvas> recordingCanvas_;
  UniqueHenhmetafile metafile_;
};

// A fresh 24-bit DIB section of width x height, white; none when refused.
UniqueHbitmap CreateWhiteBitmap(int width, int height);

class GdiWorkImageFactory : public WorkImageFactory {
 public:
  std::unique_ptr<WorkImage> Create() override { return std::make_unique<GdiWorkImage>(); }
};
