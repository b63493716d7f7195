#pragma once
// The receiving side of a PDF stamp request from another program: the tray
// window passes WM_COPYDATA here and returns the answer.
//
//   case WM_COPYDATA:
//     if (!Ready) return PdfAnswer(PdfStampResult::Busy);  // or 0 when not ours
//     return ServePdfRequest(*reinterpret_cast<const COPYDATASTRUCT*>(lParam), makeSeal);

#include <windows.h>

#include <functional>

#include "PdfAppearance.h"
#include "PdfControlClient.h"
#include "PdfStampFile.h"

// A seal drawn for a PDF, or why there is none (NoSeal: no bitmap seal or
// an empty slot; Cancelled: the password prompt was cancelled).
struct PdfSealDrawing {
  PdfStampResult result = PdfStampResult::NoSeal;
  PdfAppearance appearance;
};
using PdfSealMaker = std::function<PdfSealDrawing(const PdfSealChoice&)>;

// Whether the copy data is a PDF stamp request at all.
bool IsPdfRequest(const COPYDATASTRUCT& data);

// Reads the request, has the seal drawn and stamps it; the answer for
// WM_COPYDATA (0 when the data is no PDF stamp request). No message box:
// the sender shows the outcome. Never throws.
LRESULT ServePdfRequest(const COPYDATASTRUCT& data, const PdfSealMaker& makeSeal);

// The request as StampSealOnPdf takes it; nullopt when a path is no UTF-8.
std::optional<PdfStampRequest> StampRequestOf(const PdfControlRequest& request);
