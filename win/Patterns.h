#pragma once
// The background patterns laid under a guarded seal: 布１, 布２ and 砂地.

#include "WorkImage.h"

// The pattern for a BackImage value as a packed DIB (header, 256-entry colour
// table, rows): 1 Shitaji, 2 Shitaji2, 3 Shitaji3; empty for any other value.
PackedDib BackgroundPattern(int backImage);
