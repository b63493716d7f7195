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

// Stamps as the program does for its own dialog: the seal drawn, the file
// written, the stamp kept in the log.
using PdfStamper = std::function<PdfStampResult(const PdfStampRequest&, bool fromVrnctl)>;

// Whether the copy data is a PDF stamp request at all.
bool IsPdfRequest(const COPYDATASTRUCT& data);

// Reads the request and has it stamped; the answer for WM_COPYDATA (0 when
// the data is no PDF stamp request). No message box: the sender shows the
// outcome. Never throws.
LRESULT ServePdfRequest(const COPYDATASTRUCT& data, const PdfStamper& stamp);

// The request as StampSealOnPdf takes it; nullopt when a path is no UTF-8.
std::optional<PdfStampRequest> StampRequestOf(const PdfControlRequest& request);
