#pragma once
// The round date seal: a ring (single, double or thick), two band lines, an
// upper and a lower band of text and today's date in the middle.

#include <string>

#include "Canvas.h"
#include "Records.h"
#include "SealForm.h"

inline constexpr int kDateSealPixelsPerMetre = 15249;
// The middle band holds at most this many bytes of text.
inline constexpr std::size_t kMiddleTextMaxBytes = 63;

// The picture side for the ring style; 0 for an unknown style.
int DateSealSide(const DateSealRecord& seal);

// Draws the seal onto a width x height canvas with the given middle text.
void DrawDateSeal(Canvas& canvas, int width, int height, const DateSealRecord& seal, std::string_view middle);

// Header and today's date in the seal's year style.
std::string DateSealMiddleText(const SealForm& form, const DateSealRecord& seal = DateSealSettings);

// The middle text the bitmap form draws: today's, confirmed or changed in
// the date-change dialog when the options ask for it, mayAsk is set, the
// request is not another program's and the policy does not lock the date.
std::string StampedDateSealMiddleText(const SealForm& form, bool mayAsk);

// mayAsk: stamping and export pass true, previews false.
void DrawDateSealBitmap(SealForm& form, bool mayAsk);
void DrawDateSealMetafile(SealForm& form, bool mayAsk);
