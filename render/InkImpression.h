#pragma once
// Seals that look pressed by hand: uneven ink (low-frequency pressure), the
// paper's grain, a worn and slightly spread edge, and a small tilt and offset
// per stamp. Worked on the seal's own pixels, in integer arithmetic, so a
// seed gives the same picture on every machine and in every build.

#include <cstdint>

#include "Records.h"
#include "WorkImage.h"

class Clock;

struct InkImpression {
  int strength = kInkOff;  // InkEffect: 0 off, 1 light, 2 medium, 3 strong
  bool tilt = false;       // InkTilt
  std::uint32_t seed = 0;

  // Off, the seal stays exactly as drawn.
  bool Any() const { return strength != kInkOff || tilt; }
};

// New seeds, one per stamp: the time mixed with a count of this source's
// stamps, so two stamps within the same second differ too. Not the
// process-wide generator: the authentication code and the random tilt
// reseed that with fixed or coarse values.
class InkSeedSource {
 public:
  // Never 0.
  std::uint32_t Next(const Clock& clock);

 private:
  std::uint32_t stamps_ = 0;
};

// The impression the options ask for: strength and tilt as stored (anything
// unknown is off), the seed InkSeed when it is set, else a new one from
// seeds (drawn only when the effect is on).
InkImpression StampImpression(const OptionRecord& options, InkSeedSource& seeds, const Clock& clock);
// The impression a preview shows: the strength the options ask for, upright,
// always the same one (InkSeed's, or a fixed one), so it stays still.
InkImpression PreviewImpression(const OptionRecord& options);

// The tilt and offset of an impression: hundredths of a degree (-200..200)
// and micrometres on the paper (-300..300 each way); all 0 without tilt.
struct InkTiltOffset {
  int hundredthsOfDegree = 0;
  int offsetX = 0, offsetY = 0;
};
InkTiltOffset TiltOf(const InkImpression& impression);

// Pictures beyond this many pixels are left clean rather than held several
// times over in memory; a seal is far smaller.
inline constexpr std::int64_t kMaxInkPixels = 4'000'000;

// The seal drawn on white (a 24-bit packed DIB; other depths are converted)
// pressed with the impression's ink at pixelsPerMetre, the stamp resolution,
// which sets the physical scale of grain, wear and offset. The result is
// 24-bit on white and a few pixels larger on every side, so a spread or
// shifted edge is never cut; its ink is paler where thin, so the transparent
// PNG made from it lets the text beneath show through there. Off, the bytes
// come back unchanged. Empty when the source is invalid, too large or the
// memory is not there.
PackedDib PressInk(const PackedDib& sealOnWhite, int pixelsPerMetre, const InkImpression& impression);

// Replaces the seal's bitmap with its pressed impression; off, or on any
// failure, the seal stays exactly as drawn.
void ApplyInkEffect(WorkImage& seal, int pixelsPerMetre, const InkImpression& impression);
