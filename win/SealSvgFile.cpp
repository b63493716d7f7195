#include "SealSvgFile.h"

#include <new>

#include "FileSave.h"
#include "ImageCodec.h"
#include "SvgWriter.h"
#include "Text.h"
#include "UniqueHandle.h"

namespace {

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace

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
  return SaveReplacing(path, [&](const std::wstring& temporary) { return WriteBytes(temporary, *svg); });
}
