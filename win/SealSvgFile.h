#pragma once
// Saving a seal's drawing as an SVG file, through the safe save.

#include <windows.h>

#include <string>
#include <string_view>

#include "VectorDrawing.h"

// Writes the drawing of pixelsPerMetre as an SVG file at path (replacing a
// file there only once the new one is complete), its pictures as PNG by the
// platform's codec and titled with the seal's text (code page 932). 0 on
// success, else the platform's error code for ReportSaveFailure.
DWORD SaveSealSvg(const std::wstring& path, const VectorDrawing& drawing, int pixelsPerMetre,
                  std::string_view titleCp932);
