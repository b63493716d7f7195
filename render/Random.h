#pragma once
// The process-wide pseudo-random generator, of the C runtime's kind: the
// seal tilt and the authentication code must draw the same numbers the C
// runtime would for the same seed.

#include <cstdint>

// Sets the state to seed and advances it once, discarding that value.
void CrtSrand(std::uint32_t seed);

// Advances the state (state * 22695477 + 1, modulo 2^32) and returns bits
// 16..30 of it: 0..32767.
int CrtRand();
