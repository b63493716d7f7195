#pragma once
// A seal's drawing as an SVG file: its designed size in millimetres, the
// picture in its own pixels through the viewBox, transparent paper, text as
// outlines so no font is needed, pictures embedded as PNG; UTF-8.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "VectorDrawing.h"

// 32-bit BGRA rows from the top, straight alpha, as PNG bytes carrying the
// resolution (the platform's codec); empty when it cannot encode.
using PngEncoder = std::function<std::vector<std::uint8_t>(const std::uint8_t* bgraTopDown, int width, int height,
                                                           int pixelsPerMetre)>;

// The whole file. The title (UTF-8, say the seal's text) names the picture
// for readers that show one; nullopt when a picture cannot be encoded.
std::optional<std::string> SealSvg(const VectorDrawing& drawing, int pixelsPerMetre, std::string_view titleUtf8,
                                   const PngEncoder& png);
