#include "PdfFilters.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

DecodeResult Inflate(std::string_view encoded, std::size_t maxBytes) {
  DecodeResult result;
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return result;
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(encoded.data()));
  stream.avail_in = static_cast<uInt>(encoded.size());
  char buffer[16384];
  int status = Z_OK;
  while (status == Z_OK) {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    status = inflate(&stream, Z_NO_FLUSH);
    result.data.append(buffer, sizeof buffer - stream.avail_out);
    if (result.data.size() > maxBytes) {
      inflateEnd(&stream);
      result.status = DecodeStatus::TooLarge;
      result.data.clear();
      return result;
    }
    if (status == Z_BUF_ERROR && stream.avail_in == 0) break;  // data ends without its end mark
  }
  inflateEnd(&stream);
  // Many producers cut the end mark or add bytes after it; what inflated is
  // kept, as other readers keep it.
  result.status = status == Z_STREAM_END || status == Z_BUF_ERROR || !result.data.empty() ? DecodeStatus::Ok
                                                                                           : DecodeStatus::Bad;
  return result;
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

DecodeResult Unpredict(std::string data, const PdfObject& parms) {
  DecodeResult result;
  const std::int64_t predictor = IntegerOr(parms.Find("Predictor"), 1);
  if (predictor <= 1) {
    result.status = DecodeStatus::Ok;
    result.data = std::move(data);
    return result;
  }
  const std::int64_t colors = IntegerOr(parms.Find("Colors"), 1);
  const std::int64_t bits = IntegerOr(parms.Find("BitsPerComponent"), 8);
  const std::int64_t columns = IntegerOr(parms.Find("Columns"), 1);
  if (colors < 1 || colors > 32 || columns < 1 || columns > (1 << 24) ||
      (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16)) {
    result.status = DecodeStatus::Unsupported;
    return result;
  }
  const std::size_t rowBytes = static_cast<std::size_t>((colors * bits * columns + 7) / 8);
  const std::size_t pixelBytes = static_cast<std::size_t>(std::max<std::int64_t>(1, colors * bits / 8));
  if (predictor == 2) {
    if (bits != 8) {
      result.status = DecodeStatus::Unsupported;
      return result;
    }
    for (std::size_t row = 0; row + rowBytes <= data.size(); row += rowBytes)
      for (std::size_t i = pixelBytes; i < rowBytes; ++i)
        data[row + i] = static_cast<char>(data[row + i] + data[row + i - pixelBytes]);
    result.status = DecodeStatus::Ok;
    result.data = std::move(data);
    return result;
  }
  if (predictor < 10 || predictor > 15) {
    result.status = DecodeStatus::Unsupported;
    return result;
  }
  // PNG: each row starts with its own filter type.
  std::vector<unsigned char> previous(rowBytes, 0), current(rowBytes);
  result.data.reserve(data.size());
  for (std::size_t at = 0; at < data.size(); at += rowBytes + 1) {
    const int type = static_cast<unsigned char>(data[at]);
    const std::size_t available = std::min(rowBytes, data.size() - at - 1);
    std::fill(current.begin(), current.end(), 0);
    for (std::size_t i = 0; i < available; ++i) current[i] = static_cast<unsigned char>(data[at + 1 + i]);
    for (std::size_t i = 0; i < rowBytes; ++i) {
      const int left = i >= pixelBytes ? current[i - pixelBytes] : 0;
      const int up = previous[i];
      const int upLeft = i >= pixelBytes ? previous[i - pixelBytes] : 0;
      int add = 0;
      switch (type) {
        case 0: break;
        case 1: add = left; break;
        case 2: add = up; break;
        case 3: add = (left + up) / 2; break;
        case 4: add = Paeth(left, up, upLeft); break;
        default:
          result.status = DecodeStatus::Bad;
          result.data.clear();
          return result;
      }
      current[i] = static_cast<unsigned char>(current[i] + add);
    }
    result.data.append(reinterpret_cast<const char*>(current.data()), available);
    previous.swap(current);
  }
  result.status = DecodeStatus::Ok;
  return result;
}

}  // namespace

DecodeResult DecodePdfStream(std::string_view encoded, const PdfObject& filter, const PdfObject& parms,
                             std::size_t maxBytes) {
  std::vector<std::string> filters;
  std::vector<const PdfObject*> parameters;
  static const PdfObject kNoParms = PdfObject::MakeDictionary();
  if (filter.Is(PdfKind::Name)) {
    filters.push_back(filter.text);
    parameters.push_back(parms.Is(PdfKind::Dictionary) ? &parms : &kNoParms);
  } else if (filter.Is(PdfKind::Array)) {
    for (std::size_t i = 0; i < filter.items.size(); ++i) {
      if (!filter.items[i].Is(PdfKind::Name)) return {DecodeStatus::Bad, {}};
      filters.push_back(filter.items[i].text);
      const PdfObject* p = parms.Is(PdfKind::Array) && i < parms.items.size() ? &parms.items[i] : nullptr;
      parameters.push_back(p && p->Is(PdfKind::Dictionary) ? p : &kNoParms);
    }
  } else if (!filter.Is(PdfKind::Null)) {
    return {DecodeStatus::Bad, {}};
  }
  if (filters.empty()) {
    if (encoded.size() > maxBytes) return {DecodeStatus::TooLarge, {}};
    return {DecodeStatus::Ok, std::string(encoded)};
  }
  DecodeResult result;
  for (std::size_t i = 0; i < filters.size(); ++i) {
    if (filters[i] != "FlateDecode" && filters[i] != "Fl") return {DecodeStatus::Unsupported, {}};
    result = Inflate(i == 0 ? encoded : std::string_view(result.data), maxBytes);
    if (result.status != DecodeStatus::Ok) return result;
    result = Unpredict(std::move(result.data), *parameters[i]);
    if (result.status != DecodeStatus::Ok) return result;
  }
  return result;
}

std::string FlateCompress(std::string_view data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK)
    return {};
  out.resize(size);
  return out;
}
