#include "SealSvgFile.h"

#include <new>

#include "FileSave.h"
#include "ImageCodec.h"
#include "SvgWriter.h"
#include "Text.h"

DWORD SaveSealSvg(const std::wstring& path, const VectorDrawing& drawing, int pixelsPerMetre,
                  std::string_view titleCp932) {
  std::optional<std::string> svg;
  try {
    svg = SealSvg(drawing, pixelsPerMetre, Utf8FromCp932(titleCp932),
                  [](const std::uint8_t* bgra, int width, int height, int resolution) {
                    return EncodePngBytes(bgra, width, height, resolution);
                  });
  } catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
  if (!svg) return ERROR_NOT_ENOUGH_MEMORY;  // a picture the codec could not encode
  return SaveWholeFile(path, *svg);
}
