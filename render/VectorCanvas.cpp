#include "VectorCanvas.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "Dib.h"

namespace {

constexpr Color kColourBits = 0xFFFFFF;
// Widths beyond this the GDI canvas does not draw either.
constexpr int kMaxPenWidth = 1000;

// A pen of one pixel or less is GDI's cosmetic pen: exactly one pixel wide,
// through the pixel centres, and the only kind that draws dashes (a wider
// dashed pen draws solid). Wider pens have round ends and joins.
bool Cosmetic(const PenSpec& pen) { return pen.width <= 1; }

double StrokeWidth(const PenSpec& pen) { return Cosmetic(pen) ? 1.0 : std::min(pen.width, kMaxPenWidth); }

// GDI's dash patterns of a cosmetic pen, in pixels.
std::vector<double> Dashes(const PenSpec& pen) {
  if (!Cosmetic(pen)) return {};
  switch (pen.style) {
    case PenStyle::Dash: return {18, 6};
    case PenStyle::Dot: return {3, 3};
    case PenStyle::DashDot: return {9, 6, 3, 6};
    case PenStyle::DashDotDot: return {9, 3, 3, 3, 3, 3};
    case PenStyle::Solid: break;
  }
  return {};
}

VectorStroke StrokeOf(const PenSpec& pen) {
  return {pen.color & kColourBits, StrokeWidth(pen), Dashes(pen), !Cosmetic(pen)};
}

// NOT(pen XOR ink): what a NOT-XOR pen makes of a colour beneath it.
Color NotXor(Color pen, Color ink) { return ~(pen ^ ink) & kColourBits; }

bool Overlap(const BoxD& a, const BoxD& b) {
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

// Whether any of an item's ink can lie within the area: its outline's box
// (with the pen's reach) and every clip's box meet the area's box.
bool MayReach(const VectorItem& item, const BoxD& area) {
  const auto& shape = std::get<VectorShape>(item.content);
  BoxD b = shape.path.Transformed(item.transform).ControlBounds();
  if (shape.stroke) {
    const Affine& t = item.transform;
    const double reach = shape.stroke->width * std::max(std::abs(t.a) + std::abs(t.c), std::abs(t.b) + std::abs(t.d));
    b = b.Grown(reach);
  }
  if (!Overlap(b, area)) return false;
  for (const VectorPath& clip : item.clips)
    if (!Overlap(clip.ControlBounds(), area)) return false;
  return true;
}

}  // namespace

VectorCanvas::VectorCanvas(VectorDrawing& drawing, GlyphSource& glyphs, PictureInk ink)
    : drawing_(drawing), glyphs_(glyphs), ink_(std::move(ink)) {}

void VectorCanvas::Add(VectorShape shape, const Affine& transform) {
  drawing_.items.push_back({std::move(shape), transform, {}});
}

void VectorCanvas::AddShape(Shape shape, const Rect& r, double cornerWidth, double cornerHeight) {
  // GDI puts the corners of a box in order itself.
  const BoxD box{static_cast<double>(std::min(r.left, r.right)), static_cast<double>(std::min(r.top, r.bottom)),
                 static_cast<double>(std::max(r.left, r.right)), static_cast<double>(std::max(r.top, r.bottom))};
  if (box.right == box.left || box.bottom == box.top) return;
  auto outline = [&](const BoxD& b, double grownBy) {
    switch (shape) {
      case Shape::Ellipse: return EllipsePath(b);
      case Shape::RoundRect: return RoundRectPath(b, cornerWidth / 2 + grownBy, cornerHeight / 2 + grownBy);
      case Shape::Rectangle: break;
    }
    return RectanglePath(b);
  };
  const bool filled = Brush.style == BrushStyle::Solid;
  const double width = StrokeWidth(Pen);
  // The inside is the box; a one-pixel outline runs through the centres of
  // the box's outermost pixels, a wider one is centred on the box.
  const BoxD strokeBox = Cosmetic(Pen) ? box.Grown(-0.5) : box;
  VectorShape stroke{outline(strokeBox, 0), std::nullopt, StrokeOf(Pen)};
  if (Pen.mode == PenMode::NotXor) {
    if (filled) Add({outline(box, 0), Brush.color & kColourBits, std::nullopt});
    const VectorPath area = RingPath(outline(strokeBox.Grown(width / 2), width / 2),
                                     outline(strokeBox.Grown(-width / 2), -width / 2));
    AddNotXorStroke(std::move(stroke), area);
    return;
  }
  if (filled && Cosmetic(Pen)) Add({outline(box, 0), Brush.color & kColourBits, std::nullopt});
  if (filled && !Cosmetic(Pen)) stroke.fill = Brush.color & kColourBits;  // one path: the box
  Add(std::move(stroke));
}

void VectorCanvas::Ellipse(const Rect& box) { AddShape(Shape::Ellipse, box, 0, 0); }
void VectorCanvas::Rectangle(const Rect& box) { AddShape(Shape::Rectangle, box, 0, 0); }
void VectorCanvas::RoundRect(const Rect& box, int cornerWidth, int cornerHeight) {
  AddShape(Shape::RoundRect, box, std::abs(static_cast<double>(cornerWidth)),
           std::abs(static_cast<double>(cornerHeight)));
}

void VectorCanvas::MoveTo(int x, int y) { position_ = {static_cast<double>(x), static_cast<double>(y)}; }

void VectorCanvas::LineTo(int x, int y) {
  const PointD from = position_, to{static_cast<double>(x), static_cast<double>(y)};
  position_ = to;
  if (from == to) return;  // GDI draws nothing: the end point is never drawn
  const double centre = Cosmetic(Pen) ? 0.5 : 0;
  const PointD a{from.x + centre, from.y + centre}, b{to.x + centre, to.y + centre};
  VectorShape line;
  line.path.MoveTo(a);
  line.path.LineTo(b);
  line.stroke = StrokeOf(Pen);
  if (Pen.mode == PenMode::NotXor)
    AddNotXorStroke(std::move(line), LineAreaPath(a, b, StrokeWidth(Pen), !Cosmetic(Pen)));
  else
    Add(std::move(line));
}

// Over the paper, which is white where it is not transparent, a NOT-XOR pen
// shows its own colour (nothing when that is white). Where it crosses ink
// drawn before, the ink takes the colour NOT(pen XOR ink): copies of the
// earlier shapes in that colour, shown only inside the stroke. Pictures
// beneath keep their colours.
void VectorCanvas::AddNotXorStroke(VectorShape stroke, const VectorPath& area) {
  const Color pen = stroke.stroke->color;
  const std::size_t earlier = drawing_.items.size();
  const BoxD reach = area.ControlBounds();
  if (pen != kWhite) Add(std::move(stroke));
  for (std::size_t i = 0; i < earlier; ++i) {
    if (!std::holds_alternative<VectorShape>(drawing_.items[i].content) || !MayReach(drawing_.items[i], reach))
      continue;
    VectorItem copy = drawing_.items[i];
    VectorShape& shape = std::get<VectorShape>(copy.content);
    bool changed = false;
    auto recolour = [&](Color ink) {
      changed = changed || NotXor(pen, ink) != ink;
      return NotXor(pen, ink);
    };
    if (shape.fill) shape.fill = recolour(*shape.fill);
    if (shape.stroke) shape.stroke->color = recolour(shape.stroke->color);
    if (!changed) continue;
    copy.clips.push_back(area);
    drawing_.items.push_back(std::move(copy));
  }
}

void VectorCanvas::TextOut(int x, int y, std::string_view text) {
  if (text.empty()) return;
  FontSpec upright = Font;
  upright.escapement = 0;
  // The text turns about its reference point, the top-left of its cell.
  const Affine place =
      Affine::Turn(Font.escapement).Then(Affine::Translation(static_cast<double>(x), static_cast<double>(y)));
  if (Brush.style == BrushStyle::Solid) {
    const Extent cell = glyphs_.Measure(upright, text);
    Add({RectanglePath({0, 0, static_cast<double>(cell.cx), static_cast<double>(cell.cy)}),
         Brush.color & kColourBits, std::nullopt},
        place);
  }
  VectorPath glyphs = glyphs_.Outline(upright, text);
  if (!glyphs.Empty()) Add({std::move(glyphs), Font.color & kColourBits, std::nullopt}, place);
}

Extent VectorCanvas::TextExtent(std::string_view text) {
  FontSpec upright = Font;
  upright.escapement = 0;
  return glyphs_.Measure(upright, text);
}

void VectorCanvas::StretchDraw(const Rect& dest, WorkImage& source) {
  const BoxD box{static_cast<double>(dest.left), static_cast<double>(dest.top), static_cast<double>(dest.right),
                 static_cast<double>(dest.bottom)};
  if (auto* vector = dynamic_cast<VectorWorkImage*>(&source)) {
    if (vector->HasDrawing()) DrawDrawing(vector->Drawing(), box);
    return;
  }
  const PackedDib picture = source.BitmapAsDib24();
  if (!picture.empty()) DrawPicture(picture, box);
}

void VectorCanvas::DrawDrawing(const VectorDrawing& source, const BoxD& dest) {
  if (source.width <= 0 || source.height <= 0) return;
  const Affine place = Affine::Scaling((dest.right - dest.left) / source.width, (dest.bottom - dest.top) / source.height)
                           .Then(Affine::Translation(dest.left, dest.top));
  std::vector<VectorItem> items = source.items;  // the source may be this drawing
  for (VectorItem& item : items) {
    item.transform = item.transform.Then(place);
    for (VectorPath& clip : item.clips) clip = clip.Transformed(place);
    drawing_.items.push_back(std::move(item));
  }
}

void VectorCanvas::DrawPicture(const PackedDib& onWhite, const BoxD& dest) {
  const DibView view(onWhite);
  if (!view.Valid() || view.PixelCount() > VectorWorkImage::kMaxPixels || !ink_) return;
  std::vector<std::uint8_t> bgra;
  try {
    bgra = ink_(onWhite);
  } catch (const std::bad_alloc&) {
    return;  // too large to convert: the picture is left out, as a refused bitmap draws nothing
  }
  if (bgra.size() != static_cast<std::size_t>(view.PixelCount()) * 4) return;
  VectorPicture picture{dest.left,    dest.top,      dest.right - dest.left, dest.bottom - dest.top,
                        view.Width(), view.Height(), std::make_shared<const std::vector<std::uint8_t>>(std::move(bgra))};
  drawing_.items.push_back({std::move(picture), {}, {}});
}

VectorWorkImage::VectorWorkImage(GlyphSource& glyphs, PictureInk ink) : glyphs_(glyphs), ink_(std::move(ink)) {}

void VectorWorkImage::SetSize(int width, int height) {
  width_ = width;
  height_ = height;
}

Canvas& VectorWorkImage::Start(int width, int height) {
  drawing_ = {width, height, {}};
  picture_.clear();
  canvas_ = std::make_unique<VectorCanvas>(drawing_, glyphs_, ink_);
  return *canvas_;
}

Canvas& VectorWorkImage::BitmapCanvas() {
  if (!canvas_) Start(width_, height_);
  return *canvas_;
}

Canvas& VectorWorkImage::BeginMetafile(int width, int height) {
  width_ = width;
  height_ = height;
  metafile_ = false;
  return Start(width, height);
}

PackedDib VectorWorkImage::BitmapAsDib24() {
  return drawing_.items.size() == 1 ? picture_ : PackedDib();
}

void VectorWorkImage::SetBitmapFromDib(const PackedDib& dib) {
  const DibView view(dib);
  const int width = view.Width(), height = view.Height();
  if (!view.Valid() || view.PixelCount() > kMaxPixels) {
    Start(0, 0);
    return;
  }
  width_ = width;
  height_ = height;
  auto& canvas = static_cast<VectorCanvas&>(Start(width, height));
  canvas.DrawPicture(dib, {0, 0, static_cast<double>(width), static_cast<double>(height)});
  // Kept only when the drawing holds it: for turning it, while nothing else is drawn.
  if (drawing_.items.size() == 1) picture_ = dib;
}
