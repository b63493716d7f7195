#pragma once
// The forged-seal identification marks: the stamper's authentication code
// derived from the user's key, and the block of document ID and code with
// its watermark lines.

#include <string>
#include <string_view>

#include "Canvas.h"
#include "WorkImage.h"

inline constexpr std::string_view kAuthCodeAlphabet =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-";

// Eight characters that depend on the key's numeric value alone (as atol
// reads it), drawn from the process-wide generator seeded with it.
std::string MakeAuthCode(std::string_view key);

// The two lines (labelled "DOC[...]" and "UID[...]" when the option asks for
// it) with their watermark lines, drawn on a white block and stretched into
// the band below the seal: left 0, top `top` + 5, right width - 1, bottom
// height - 1, with the canvas's current copy mode.
void DrawSecurityBlock(Canvas& canvas, std::string_view documentId, std::string_view authCode, int top, int width,
                       int height, WorkImageFactory& factory);
