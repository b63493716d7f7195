#pragma once
// A seal on a page of a PDF file: the file read through its handle, the
// update appended to a copy beside it (through the same safe save as every
// other file) or to the file itself. Nothing is written when stamping is
// refused, and a failure half-way leaves the original byte for byte.

#include <windows.h>

#include <string>

#include "PdfAppearance.h"
#include "PdfControlClient.h"
#include "PdfRequest.h"
#include "PdfStampMessages.h"
#include "PdfUpdate.h"

enum class PdfWriteMode { Copy, InPlace };

struct PdfStampRequest {
  std::wstring pdf;
  // Copy: where the copy goes; empty: "…_押印.pdf" beside the PDF.
  std::wstring output;
  PdfWriteMode mode = PdfWriteMode::Copy;
  bool replaceOutput = false;  // the caller asked the user before replacing
  PdfSealChoice seal;          // which seal the caller draws as the appearance
  PdfPageChoice page;
  PdfSealPosition position;
  bool flatten = false;
};

struct PdfStampOutcome {
  PdfStampResult result = PdfStampResult::CannotOpen;
  std::wstring message;  // Japanese, for the user
  std::wstring output;   // the file written
  int pageNumber = 0;
  int pageCount = 0;
};

PdfStampOutcome StampSealOnPdf(const PdfStampRequest& request, const PdfAppearance& appearance);

// What the dialog shows of a PDF before stamping: its pages and the size of
// one page as shown, or why it cannot be stamped.
struct PdfPreviewFacts {
  PdfStampResult result = PdfStampResult::CannotOpen;
  int pageCount = 0;
  PdfShownSize shown;  // of the page asked for
};
PdfPreviewFacts ReadPdfFacts(const std::wstring& pdf, const PdfPageChoice& page);
