#include "SvgWriter.h"

#include <algorithm>
#include <cstdio>
#include <variant>

#include "Decimal.h"
#include "Utf8.h"

namespace {

constexpr int kDecimals = 3;

void Number(std::string& out, double v) { AppendDecimal(out, v, kDecimals); }

void Point(std::string& out, PointD p) {
  Number(out, p.x);
  out += ' ';
  Number(out, p.y);
}

std::string PathData(const VectorPath& path) {
  std::string d;
  for (const PathSegment& s : path.Segments()) {
    if (!d.empty()) d += ' ';
    switch (s.verb) {
      case PathSegment::Verb::Move:
        d += "M";
        Point(d, s.p[0]);
        break;
      case PathSegment::Verb::Line:
        d += "L";
        Point(d, s.p[0]);
        break;
      case PathSegment::Verb::Curve:
        d += "C";
        Point(d, s.p[0]);
        d += ' ';
        Point(d, s.p[1]);
        d += ' ';
        Point(d, s.p[2]);
        break;
      case PathSegment::Verb::Close:
        d += "Z";
        break;
    }
  }
  return d;
}

std::string Hex(Color c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<unsigned>(c & 0xFF),
                static_cast<unsigned>((c >> 8) & 0xFF), static_cast<unsigned>((c >> 16) & 0xFF));
  return text;
}

// Only the characters XML allows, from well-formed UTF-8; markup escaped.
std::string XmlText(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto [c, length] = DecodeUtf8(utf8, i);
    if (length == 0) {
      ++i;
      continue;
    }
    const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c != 0xFFFE && c != 0xFFFF);
    if (allowed) {
      switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out.append(utf8.substr(i, length));
      }
    }
    i += length;
  }
  return out;
}

std::string Base64(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::uint32_t n = std::uint32_t{bytes[i]} << 16 | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0) |
                            (i + 2 < bytes.size() ? bytes[i + 2] : 0);
    out += kDigits[n >> 18];
    out += kDigits[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
  }
  return out;
}

std::string Millimetres(int pixels, int pixelsPerMetre) {
  std::string out;
  AppendDecimal(out, DesignedHundredthsOfMm(pixels, pixelsPerMetre) / 100.0, 2);
  return out + "mm";
}

class Writer {
 public:
  Writer(std::string& out, int pixelsPerMetre, const PngEncoder& png)
      : out_(out), pixelsPerMetre_(pixelsPerMetre), png_(png) {}

  bool Item(const VectorItem& item) {
    for (const VectorPath& clip : item.clips) {
      const std::string id = "clip" + std::to_string(++clips_);
      out_ += "<clipPath id=\"" + id + "\"><path d=\"" + PathData(clip) + "\"/></clipPath>\n";
      out_ += "<g clip-path=\"url(#" + id + ")\">\n";
    }
    if (!item.transform.IsIdentity()) {
      const Affine& t = item.transform;
      out_ += "<g transform=\"matrix(";
      const double values[] = {t.a, t.b, t.c, t.d, t.e, t.f};
      for (std::size_t i = 0; i < 6; ++i) {
        if (i > 0) out_ += ' ';
        AppendDecimal(out_, values[i], 6);
      }
      out_ += ")\">\n";
    }
    const bool written = std::holds_alternative<VectorShape>(item.content)
                             ? Shape(std::get<VectorShape>(item.content))
                             : Picture(std::get<VectorPicture>(item.content));
    if (!item.transform.IsIdentity()) out_ += "</g>\n";
    for (std::size_t i = 0; i < item.clips.size(); ++i) out_ += "</g>\n";
    return written;
  }

 private:
  bool Shape(const VectorShape& shape) {
    out_ += "<path d=\"" + PathData(shape.path) + "\" fill=\"" + (shape.fill ? Hex(*shape.fill) : "none") + "\"";
    if (const auto& s = shape.stroke) {
      out_ += " stroke=\"" + Hex(s->color) + "\" stroke-width=\"";
      Number(out_, s->width);
      out_ += s->round ? "\" stroke-linecap=\"round\" stroke-linejoin=\"round\""
                       : "\" stroke-linecap=\"butt\" stroke-linejoin=\"miter\"";
      if (!s->dashes.empty()) {
        out_ += " stroke-dasharray=\"";
        for (std::size_t i = 0; i < s->dashes.size(); ++i) {
          if (i > 0) out_ += ' ';
          Number(out_, s->dashes[i]);
        }
        out_ += '"';
      }
    }
    out_ += "/>\n";
    return true;
  }

  bool Picture(const VectorPicture& picture) {
    if (!picture.bgra) return false;
    const std::vector<std::uint8_t> bytes =
        png_ ? png_(picture.bgra->data(), picture.pixelWidth, picture.pixelHeight, pixelsPerMetre_)
             : std::vector<std::uint8_t>();
    if (bytes.empty()) return false;
    out_ += "<image x=\"";
    Number(out_, picture.x);
    out_ += "\" y=\"";
    Number(out_, picture.y);
    out_ += "\" width=\"";
    Number(out_, picture.width);
    out_ += "\" height=\"";
    Number(out_, picture.height);
    out_ += "\" preserveAspectRatio=\"none\" xlink:href=\"data:image/png;base64," + Base64(bytes) + "\"/>\n";
    return true;
  }

  std::string& out_;
  int pixelsPerMetre_;
  const PngEncoder& png_;
  int clips_ = 0;
};

}  // namespace

std::optional<std::string> SealSvg(const VectorDrawing& drawing, int pixelsPerMetre, std::string_view titleUtf8,
                                   const PngEncoder& png) {
  // A picture of no size (a script's absurd one) is an empty picture, not an invalid file.
  const int width = std::max(0, drawing.width), height = std::max(0, drawing.height);
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.1\"";
  out += " width=\"" + Millimetres(width, pixelsPerMetre) + "\" height=\"" + Millimetres(height, pixelsPerMetre) +
         "\" viewBox=\"0 0 " + std::to_string(width) + " " + std::to_string(height) + "\">\n";
  const std::string title = XmlText(titleUtf8);
  if (!title.empty()) out += "<title>" + title + "</title>\n";
  Writer writer(out, pixelsPerMetre, png);
  for (const VectorItem& item : drawing.items)
    if (!writer.Item(item)) return std::nullopt;
  out += "</svg>\n";
  return out;
}
