#pragma once
// A stamp on a PDF asked of the running Varnel by another program: the
// request travels as WM_COPYDATA (its text in UTF-8) sent to the window
// titled "VarnelMain", which answers with the outcome. vrnctl.exe and
// VrnCtl.dll send; the tray window receives (PdfControl.h).

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "PdfRequest.h"
#include "PdfStampResult.h"

// COPYDATASTRUCT::dwData of a PDF stamp request: "VPDF".
inline constexpr ULONG_PTR kPdfStampCopyData = 0x56504446;
// Answers are this plus the result's number, so the 0 (FALSE) that any
// window gives for copy data it does not know is never taken for success.
inline constexpr LRESULT kPdfAnswerBase = 0x7600;
// Stamping may wait for the user (the password, the date change): the
// client waits as long.
inline constexpr DWORD kPdfAnswerTimeoutMs = 10 * 60 * 1000;

LRESULT PdfAnswer(PdfStampResult result);

// "見積書.pdf" -> "見積書_押印.pdf", in the same folder: where a copy goes
// when no other name is given.
std::wstring StampedCopyName(const std::wstring& pdf);

// Parses the words (file names made absolute, since Varnel's current folder
// is its own), sends the request and returns Varnel's answer. A request
// whose words are wrong is not sent: Usage, with what is wrong in error.
// fromVrnctl: vrnctl.exe sends it (VrnCtl.dll otherwise), as the stamp log
// records. sent, when given, is the request as it went.
PdfStampResult SendPdfStampWords(const std::vector<std::wstring>& words, PdfArgumentError& error,
                                 bool fromVrnctl = false, PdfControlRequest* sent = nullptr);
PdfStampResult SendPdfRequest(const PdfControlRequest& request);
