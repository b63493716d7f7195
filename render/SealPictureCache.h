#pragma once
// The last bitmap drawn of each seal, kept with everything it was drawn
// from. Stamping the same seal again copies that picture instead of drawing
// it anew: a ring stroked with a wide pen is slow to rasterise on some
// platforms, and a stamp is usually the same seal as the one before.

#include <functional>
#include <string>

#include "Canvas.h"
#include "WorkImage.h"

class SealPictureCache {
 public:
  enum class Seal { Name, Date };

  // Leaves in image, already sized, the picture that draw makes on its
  // bitmap canvas. When inputs (every byte the drawing depends on) equal
  // those of the last picture of this seal, that picture is copied instead.
  void Draw(WorkImage& image, Seal seal, std::string inputs, const std::function<void(Canvas&)>& draw);

  // Forgets every picture: after a change the inputs do not show, such as
  // fonts installed or removed.
  void Clear();
  bool Holds(Seal seal) const { return !kept_[Index(seal)].picture.empty(); }

  // Pictures larger than this are drawn every time rather than held.
  static constexpr long long kMaxKeptPixels = 1'000'000;

 private:
  struct Kept {
    std::string inputs;
    PackedDib picture;
  };
  static int Index(Seal seal) { return seal == Seal::Name ? 0 : 1; }
  Kept kept_[2];
};

// The bytes of a record, as inputs of a drawing.
template <typename Record>
std::string RecordBytes(const Record& record) {
  return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}
