#pragma once
// Where a seal goes on a page, as the user sees the page: the page's visible
// region (crop box within media box) turned by its /Rotate and measured in
// its /UserUnit. The seal stands upright on the shown page at its designed
// size.

#include "PdfDocument.h"

enum class PdfCorner { TopLeft, TopRight, BottomLeft, BottomRight };

struct PdfSealPosition {
  // A corner of the shown page with the margin from both its edges, or the
  // seal's top-left corner at x, y from the shown page's top-left corner.
  bool atCorner = true;
  PdfCorner corner = PdfCorner::TopRight;
  double marginMm = 10;
  double xMm = 0;
  double yMm = 0;
};

struct PdfPlacement {
  PdfBox rect;               // the seal's box in the page's default space
  double formMatrix[6] = {};  // the appearance's /Matrix: the turn that makes it upright
  double drawMatrix[6] = {};  // for drawing into the content: form space to page space
  bool insidePage = false;    // the whole seal lies on the visible page
};

// The visible page as shown, in millimetres.
struct PdfShownSize {
  double widthMm = 0;
  double heightMm = 0;
};

PdfShownSize ShownPageSize(const PdfPage& page);
PdfPlacement PlaceSeal(const PdfPage& page, double widthPt, double heightPt, const PdfSealPosition& position);
