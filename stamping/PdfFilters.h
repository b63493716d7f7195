#pragma once
// The stream filters the reader needs for cross-reference and object
// streams (Flate, with the PNG and TIFF predictors), and Flate compression
// for what the writer appends. zlib does the Flate work.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "PdfObject.h"

enum class DecodeStatus { Ok, Unsupported, Bad, TooLarge };

struct DecodeResult {
  DecodeStatus status = DecodeStatus::Bad;
  std::string data;
};

// Decodes a stream's data by its /Filter and /DecodeParms (direct objects:
// the reader resolves references first). Output beyond maxBytes is refused.
DecodeResult DecodePdfStream(std::string_view encoded, const PdfObject& filter, const PdfObject& parms,
                             std::size_t maxBytes);

std::string FlateCompress(std::string_view data);
