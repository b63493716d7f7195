#pragma once
// A seal's drawing as a PDF form: the content stream at the designed size in
// points, y up, with the pictures it paints.

#include "PdfAppearance.h"
#include "VectorDrawing.h"

// The drawing of width x height pixels at pixelsPerMetre, filling the form's
// box [0 0 width height] in points (its designed size, as the stamps compute
// it). Pictures are named Im1, Im2, ... in the order they are painted. The
// text and author are left for the caller.
PdfAppearance SealPdfAppearance(const VectorDrawing& drawing, int pixelsPerMetre);
