#pragma once
// The dialog "PDFに押印…": which PDF, which page, which seal, where on the
// page and how to save. The pad's and the tray's menu items call it, then
// have the seal drawn and call StampSealOnPdf with the request.

#include <windows.h>

#include <string>
#include <vector>

#include "PdfStampFile.h"

struct PdfStampSeals {
  bool hasBitmapSeal = false;
  // The toolbar's ten slots: a stamp's caption, or empty for a slot that
  // holds no picture stamp.
  std::vector<std::wstring> slotNames;
};

// Shows the dialog filled from request (the last choices, kept by the
// caller); true with request filled when the user chose "押印". Before that
// the user has been asked whether an existing copy may be replaced.
bool AskPdfStamp(HWND owner, const PdfStampSeals& seals, PdfStampRequest& request);
