#pragma once
// The picture holder every renderer draws into: like an image control, it
// has a size and either a bitmap (24-bit, white when fresh) or an enhanced
// metafile, and hands out a canvas for it.

#include <cstdint>
#include <memory>
#include <vector>

#include "Canvas.h"

// A packed DIB: a 40-byte BITMAPINFOHEADER followed by the rows, bottom-up.
using PackedDib = std::vector<std::uint8_t>;

class WorkImage {
 public:
  virtual ~WorkImage() = default;

  // The control's size. A bitmap is created at the size in force when its
  // canvas is first asked for; a later SetSize leaves that bitmap as it is.
  virtual void SetSize(int width, int height) = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;

  // The bitmap's canvas, creating a white bitmap of the control's size on
  // first use.
  virtual Canvas& BitmapCanvas() = 0;

  // Starts a new metafile recording of width x height pixels (ending and
  // discarding any recording in progress) and returns its canvas.
  virtual Canvas& BeginMetafile(int width, int height) = 0;
  // Completes the recording; the picture then holds the metafile.
  virtual void EndMetafile() = 0;
  virtual bool HoldsMetafile() const = 0;

  // The bitmap as a 24-bit packed DIB (empty when there is no bitmap), and
  // replacing the bitmap by one (the control takes its size).
  virtual PackedDib BitmapAsDib24() = 0;
  virtual void SetBitmapFromDib(const PackedDib& dib) = 0;
};

// Makes fresh work images of the platform's kind (a bitmap the security block
// is drawn on before it is stretched, a picture for a script run).
class WorkImageFactory {
 public:
  virtual ~WorkImageFactory() = default;
  virtual std::unique_ptr<WorkImage> Create() = 0;
};
