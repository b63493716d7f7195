#pragma once
// A seal as a PDF page sees it: the content stream of a Form XObject drawn
// at the seal's designed size, and the pictures it paints. The vector
// drawing of a seal is turned into one of these; the PDF writer places it on
// a page, as a stamp annotation's appearance or in the page's content.

#include <cstdint>
#include <string>
#include <vector>

// A picture the content paints with "/<name> Do": 8-bit RGB samples, row by
// row from the top, and an optional 8-bit alpha of the same size (written as
// its soft mask; empty when the picture is opaque).
struct PdfImage {
  std::string name;  // the resource name, without the slash: "Im1"
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;    // width * height * 3
  std::vector<std::uint8_t> alpha;  // width * height, or empty
};

struct PdfAppearance {
  // The designed size in points (1/72 inch): the Form XObject's BBox is
  // [0 0 width height].
  double width = 0;
  double height = 0;
  // Content stream operators in the form's own space: points, origin at the
  // bottom-left, y up. Uncompressed; the writer compresses it.
  std::string content;
  std::vector<PdfImage> images;
  // What the annotation says of itself (UTF-8): the seal's text, for
  // /Contents, and the author, for /T.
  std::string text;
  std::string author;
};
