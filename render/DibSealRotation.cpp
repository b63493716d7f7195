#include <climits>
#include <new>

#include "Clock.h"
#include "Dib.h"
#include "Random.h"
#include "Records.h"

namespace {

// -INT_MIN does not exist; the nearest angle does as well as any.
int Negated(int degrees) { return degrees == INT_MIN ? INT_MAX : -degrees; }

// An integer from -15 to 14.
int RandomTilt(const Clock& clock) {
  CrtSrand(static_cast<std::uint32_t>(clock.Now()));
  return CrtRand() % 30 - 15;
}

}  // namespace

void RotateWorkImage(WorkImage& image, int degrees) {
  try {
    const PackedDib rotated = RotateDib(image.BitmapAsDib24(), degrees, OptionSettings.RotateSz);
    if (!rotated.empty()) image.SetBitmapFromDib(rotated);
  } catch (const std::bad_alloc&) {
    // Short of memory the seal is stamped upright.
  }
}

void ApplySealRotation(WorkImage& image, const Clock& clock) {
  switch (OptionSettings.Rotate) {
    case 0:
      return;
    case 1:
      RotateWorkImage(image, Negated(OptionSettings.RotateAngle));
      return;
    default:
      RotateWorkImage(image, RandomTilt(clock));
  }
}
