#include "SealPictureCache.h"

#include "Dib.h"

void SealPictureCache::Draw(WorkImage& image, Seal seal, std::string inputs,
                            const std::function<void(Canvas&)>& draw) {
  Kept& kept = kept_[Index(seal)];
  if (!kept.picture.empty() && kept.inputs == inputs) {
    image.SetBitmapFromDib(kept.picture);
    return;
  }
  kept = {};
  draw(image.BitmapCanvas());
  if (static_cast<long long>(image.Width()) * image.Height() > kMaxKeptPixels) return;
  PackedDib picture = image.BitmapAsDib24();
  const DibView view(picture);
  // Only a complete picture of the drawn size is worth keeping.
  if (!view.Valid() || view.Width() != image.Width() || view.Height() != image.Height()) return;
  kept = {std::move(inputs), std::move(picture)};
}

void SealPictureCache::Clear() {
  for (Kept& kept : kept_) kept = {};
}
