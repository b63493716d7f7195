#pragma once
// The round name seal: a ring (circle, ellipse or rounded square) with up to
// four centred lines and an optional second block of lines over it.

#include "Canvas.h"
#include "Records.h"
#include "SealForm.h"

// The printed scale: the date seal's 15249 pixels per metre for Resolution 1,
// else the name seal's own 26000.
int NameSealPixelsPerMetre(const NameSealRecord& seal = NameSealSettings);

// Draws the seal of the record centred on a width x height canvas (a stamp's
// picture is square; the editor's preview is not).
void DrawNameSeal(Canvas& canvas, int width, int height, const NameSealRecord& seal);
int NameSealSide(const NameSealRecord& seal);

// The raster form into form.WorkImage's bitmap, tilted as the options ask.
void DrawNameSealBitmap(SealForm& form);
// The vector form into form.WorkImage's metafile; never tilted.
void DrawNameSealMetafile(SealForm& form);
