#pragma once
// What the user reads about a stamp on a PDF: one Japanese message for each
// outcome, in the program's voice. The program shows it under the caption
// "Varnel印鑑"; vrnctl prints it.

#include <windows.h>

#include <string>

#include "PdfStampResult.h"

struct PdfMessageFacts {
  std::wstring pdf;      // the PDF asked for
  std::wstring output;   // the file written (or refused as existing)
  int pageNumber = 0;    // the page stamped
  int pageCount = 0;     // the PDF's pages, when it could be read
  DWORD error = 0;       // the platform's error, for files that could not be opened or written
};

std::wstring PdfStampMessage(PdfStampResult result, const PdfMessageFacts& facts);
