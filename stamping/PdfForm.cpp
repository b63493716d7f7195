#include "PdfForm.h"

#include <variant>

#include "Decimal.h"

namespace {

constexpr int kDecimals = 4;

class ContentWriter {
 public:
  explicit ContentWriter(PdfAppearance& form) : form_(form), out_(form.content) {}

  void Numbers(std::initializer_list<double> values, const char* op) {
    for (double v : values) {
      AppendDecimal(out_, v, kDecimals);
      out_ += ' ';
    }
    out_ += op;
    out_ += '\n';
  }

  void Path(const VectorPath& path) {
    for (const PathSegment& s : path.Segments()) {
      switch (s.verb) {
        case PathSegment::Verb::Move: Numbers({s.p[0].x, s.p[0].y}, "m"); break;
        case PathSegment::Verb::Line: Numbers({s.p[0].x, s.p[0].y}, "l"); break;
        case PathSegment::Verb::Curve:
          Numbers({s.p[0].x, s.p[0].y, s.p[1].x, s.p[1].y, s.p[2].x, s.p[2].y}, "c");
          break;
        case PathSegment::Verb::Close: out_ += "h\n"; break;
      }
    }
  }

  void Colour(Color c, const char* op) {
    Numbers({(c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0}, op);
  }

  void Item(const VectorItem& item) {
    out_ += "q\n";
    for (const VectorPath& clip : item.clips) {
      Path(clip);
      out_ += "W n\n";
    }
    const Affine& t = item.transform;
    if (!t.IsIdentity()) Numbers({t.a, t.b, t.c, t.d, t.e, t.f}, "cm");
    if (const auto* shape = std::get_if<VectorShape>(&item.content))
      Shape(*shape);
    else
      Picture(std::get<VectorPicture>(item.content));
    out_ += "Q\n";
  }

 private:
  void Shape(const VectorShape& shape) {
    if (shape.fill) Colour(*shape.fill, "rg");
    if (const auto& s = shape.stroke) {
      Colour(s->color, "RG");
      Numbers({s->width}, "w");
      out_ += s->round ? "1 J 1 j\n" : "0 J 0 j\n";
      if (!s->dashes.empty()) {
        out_ += '[';
        for (double d : s->dashes) {
          AppendDecimal(out_, d, kDecimals);
          out_ += ' ';
        }
        out_.back() = ']';
        out_ += " 0 d\n";
      }
    }
    Path(shape.path);
    out_ += shape.fill && shape.stroke ? "B\n" : shape.fill ? "f\n" : shape.stroke ? "S\n" : "n\n";
  }

  void Picture(const VectorPicture& picture) {
    if (!picture.bgra || picture.pixelWidth <= 0 || picture.pixelHeight <= 0) return;
    PdfImage image;
    image.name = "Im" + std::to_string(form_.images.size() + 1);
    image.width = picture.pixelWidth;
    image.height = picture.pixelHeight;
    const std::vector<std::uint8_t>& bgra = *picture.bgra;
    const std::size_t pixels = static_cast<std::size_t>(image.width) * image.height;
    if (bgra.size() < pixels * 4) return;
    image.rgb.resize(pixels * 3);
    image.alpha.resize(pixels);
    bool opaque = true;
    for (std::size_t i = 0; i < pixels; ++i) {
      image.rgb[3 * i] = bgra[4 * i + 2];
      image.rgb[3 * i + 1] = bgra[4 * i + 1];
      image.rgb[3 * i + 2] = bgra[4 * i];
      image.alpha[i] = bgra[4 * i + 3];
      opaque = opaque && image.alpha[i] == 255;
    }
    if (opaque) image.alpha.clear();
    // The image's unit square, its first row at the top, onto the box in
    // the drawing's y-down space.
    Numbers({picture.width, 0, 0, -picture.height, picture.x, picture.y + picture.height}, "cm");
    out_ += "/" + image.name + " Do\n";
    form_.images.push_back(std::move(image));
  }

  PdfAppearance& form_;
  std::string& out_;
};

}  // namespace

PdfAppearance SealPdfAppearance(const VectorDrawing& drawing, int pixelsPerMetre) {
  PdfAppearance form;
  // Hundredths of a millimetre to points.
  form.width = DesignedHundredthsOfMm(drawing.width, pixelsPerMetre) * 72.0 / 2540.0;
  form.height = DesignedHundredthsOfMm(drawing.height, pixelsPerMetre) * 72.0 / 2540.0;
  if (drawing.width <= 0 || drawing.height <= 0) return form;
  ContentWriter writer(form);
  form.content += "q\n";
  // The drawing's pixels, y down, onto the box in points, y up.
  writer.Numbers({form.width / drawing.width, 0, 0, -form.height / drawing.height, 0, form.height}, "cm");
  for (const VectorItem& item : drawing.items) writer.Item(item);
  form.content += "Q\n";
  return form;
}
