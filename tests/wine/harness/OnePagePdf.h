#pragma once
// A seal's PDF form on a page of its own size: the smallest whole PDF that
// shows it, for PDF readers to check and render.

#include <string>

#include "PdfAppearance.h"

namespace harness {

// A PDF 1.7 file: one page whose media box is the form's box, painting the
// form as a Form XObject; its pictures as RGB images with their alpha as
// soft masks; streams uncompressed, a cross-reference table.
std::string OnePagePdf(const PdfAppearance& form);

}  // namespace harness
