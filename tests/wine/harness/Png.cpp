#include "Png.h"

#include <cstring>
#include <string>

namespace harness {
namespace {

long long BigEndian(const std::uint8_t* p) {
  return (static_cast<long long>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

}  // namespace

PngFacts ReadPngFacts(const std::vector<std::uint8_t>& bytes) {
  PngFacts facts;
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (bytes.size() < 8 || std::memcmp(bytes.data(), kSignature, 8) != 0) return facts;
  // Each chunk: a length, a type, the data, a checksum.
  for (std::size_t at = 8; at + 12 <= bytes.size();) {
    const long long length = BigEndian(&bytes[at]);
    if (length < 0 || at + 12 + static_cast<std::size_t>(length) > bytes.size()) break;
    const std::string type(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
    const std::uint8_t* data = &bytes[at + 8];
    if (at == 8 && type != "IHDR") return facts;
    if (type == "IHDR" && length >= 13) {
      facts.valid = true;
      facts.width = static_cast<int>(BigEndian(data));
      facts.height = static_cast<int>(BigEndian(data + 4));
      facts.bitDepth = data[8];
      facts.colourType = data[9];
    } else if (type == "pHYs" && length >= 9) {
      facts.hasPhysicalSize = true;
      facts.pixelsPerUnitX = BigEndian(data);
      facts.pixelsPerUnitY = BigEndian(data + 4);
      facts.unit = data[8];
    } else if (type == "IEND") {
      break;
    }
    at += 12 + static_cast<std::size_t>(length);
  }
  return facts;
}

}  // namespace harness
