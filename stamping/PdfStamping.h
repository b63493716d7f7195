#pragma once
// A seal stamped on a page of a PDF, for the dialog "PDFに押印…" and for
// other programs (vrnctl pdf, _PdfStamp): busy, the password, the seal drawn
// as outlines (with the copy guard's marks when the options ask for them),
// the file written, the stamp kept in the stamp log.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "PdfStampFile.h"
#include "SealVectors.h"
#include "StampDesk.h"

// A seal as outlines, ready for a file.
struct SealOutline {
  VectorDrawing drawing;
  int resolution = 0;  // pixels per metre
  StampSeal seal = StampSeal::kName;
  std::string words;  // what it says, code page 932
};
// Draws the chosen seal; nullopt when there is no such seal.
using SealOutliner = std::function<std::optional<SealOutline>(const PdfSealChoice&, const VectorTools&)>;

PdfStampOutcome StampPdf(StampDesk& desk, HWND owner, const PdfStampRequest& request, const SealOutliner& outline);
