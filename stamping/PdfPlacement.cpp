#include "PdfPlacement.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

bool Turned(int rotate) { return rotate == 90 || rotate == 270; }

// A point of the shown page (from its top-left corner, x right, y down, in
// page units) in the page's default space. The viewer turns the page
// clockwise by /Rotate, so the shown top-left corner is the visible box's
// top-left (0), bottom-left (90), bottom-right (180) or top-right (270).
void ShownToPage(const PdfBox& box, int rotate, double x, double y, double& px, double& py) {
  switch (rotate) {
    case 90:
      px = box.left + y;
      py = box.bottom + x;
      break;
    case 180:
      px = box.right - x;
      py = box.bottom + y;
      break;
    case 270:
      px = box.right - y;
      py = box.top - x;
      break;
    default:
      px = box.left + x;
      py = box.top - y;
      break;
  }
}

}  // namespace

PdfShownSize ShownPageSize(const PdfPage& page) {
  const PdfBox box = VisibleBox(page);
  const double unitMm = page.userUnit / kPointsPerMm;
  const double w = box.Width() * unitMm, h = box.Height() * unitMm;
  return Turned(page.rotate) ? PdfShownSize{h, w} : PdfShownSize{w, h};
}

PdfPlacement PlaceSeal(const PdfPage& page, double widthPt, double heightPt, const PdfSealPosition& position) {
  PdfPlacement placement;
  const PdfBox box = VisibleBox(page);
  const double unit = page.userUnit;
  const double perMm = kPointsPerMm / unit;  // page units in a millimetre
  const double sealW = widthPt / unit, sealH = heightPt / unit;
  const double shownW = Turned(page.rotate) ? box.Height() : box.Width();
  const double shownH = Turned(page.rotate) ? box.Width() : box.Height();
  double x = position.xMm * perMm, y = position.yMm * perMm;
  if (position.atCorner) {
    const double margin = position.marginMm * perMm;
    const bool right = position.corner == PdfCorner::TopRight || position.corner == PdfCorner::BottomRight;
    const bool bottom = position.corner == PdfCorner::BottomLeft || position.corner == PdfCorner::BottomRight;
    x = right ? shownW - margin - sealW : margin;
    y = bottom ? shownH - margin - sealH : margin;
  }
  const double slack = 1e-6 * (shownW + shownH);
  placement.insidePage = x >= -slack && y >= -slack && x + sealW <= shownW + slack && y + sealH <= shownH + slack;
  double x0, y0, x1, y1;
  ShownToPage(box, page.rotate, x, y, x0, y0);
  ShownToPage(box, page.rotate, x + sealW, y + sealH, x1, y1);
  placement.rect = {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
  // Turned back against the viewer's clockwise turn: counter-clockwise by /Rotate.
  const double angle = page.rotate * 3.14159265358979323846 / 180;
  const double c = std::round(std::cos(angle)), s = std::round(std::sin(angle));
  const double turn[6] = {c, s, -s, c, 0, 0};
  std::copy(turn, turn + 6, placement.formMatrix);
  // The form's box [0 0 w h] turned and scaled to page units lands with its
  // lowest corner on the rectangle's.
  const double a = c / unit, b = s / unit, cc = -s / unit, d = c / unit;
  const double xs[4] = {0, a * widthPt, cc * heightPt, a * widthPt + cc * heightPt};
  const double ys[4] = {0, b * widthPt, d * heightPt, b * widthPt + d * heightPt};
  const double minX = *std::min_element(xs, xs + 4), minY = *std::min_element(ys, ys + 4);
  const double draw[6] = {a, b, cc, d, placement.rect.left - minX, placement.rect.bottom - minY};
  std::copy(draw, draw + 6, placement.drawMatrix);
  return placement;
}
