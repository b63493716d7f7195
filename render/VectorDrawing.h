#pragma once
// A picture as outlines: what the renderers drew, kept as paths of lines and
// cubic Bezier curves with their paint, and pictures laid as ink on
// transparent paper. Coordinates are the picture's own pixels (origin at the
// top-left, y down), continuous: pixel (x, y) covers x..x+1, y..y+1. Files
// and PDF pages are written from it at the picture's designed size.

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "Canvas.h"

struct PointD {
  double x = 0, y = 0;
  bool operator==(const PointD&) const = default;
};

// x' = a x + c y + e, y' = b x + d y + f: the order SVG and PDF write it in.
struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  bool operator==(const Affine&) const = default;
  PointD Apply(PointD p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  // This transform followed by outer.
  Affine Then(const Affine& outer) const;
  bool IsIdentity() const { return *this == Affine{}; }
  static Affine Translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
  static Affine Scaling(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
  // Counter-clockwise on screen (y down) by tenths of a degree, as a font's escapement turns.
  static Affine Turn(int tenthsOfDegree);
};

struct PathSegment {
  enum class Verb : std::uint8_t { Move, Line, Curve, Close };
  Verb verb = Verb::Move;
  PointD p[3];  // Move and Line: p[0]; Curve: two control points and the end
};

// Boxes in continuous coordinates.
struct BoxD {
  double left = 0, top = 0, right = 0, bottom = 0;
  BoxD Grown(double by) const { return {left - by, top - by, right + by, bottom + by}; }
};

class VectorPath {
 public:
  void MoveTo(PointD p) { segments_.push_back({PathSegment::Verb::Move, {p, {}, {}}}); }
  void LineTo(PointD p) { segments_.push_back({PathSegment::Verb::Line, {p, {}, {}}}); }
  void CurveTo(PointD c1, PointD c2, PointD p) { segments_.push_back({PathSegment::Verb::Curve, {c1, c2, p}}); }
  void Close() { segments_.push_back({PathSegment::Verb::Close, {}}); }
  void Append(const VectorPath& other);
  VectorPath Transformed(const Affine& t) const;

  bool Empty() const { return segments_.empty(); }
  const std::vector<PathSegment>& Segments() const { return segments_; }
  // The box of the end and control points (which holds the curves); all
  // zero for an empty path.
  BoxD ControlBounds() const;

 private:
  std::vector<PathSegment> segments_;
};

// Closed outlines, each drawn clockwise on screen, with cubic curves for the
// quarter ellipses.
VectorPath RectanglePath(const BoxD& box);
VectorPath EllipsePath(const BoxD& box);
// Corners are quarter ellipses of radii rx, ry (at most half the box each).
VectorPath RoundRectPath(const BoxD& box, double rx, double ry);
// The area a pen of this width covers along a straight line: a band with
// half circles at the ends for round caps, else cut square at the ends.
VectorPath LineAreaPath(PointD from, PointD to, double width, bool roundCaps);
// The area between two nested outlines (the inner one reversed, so the
// nonzero rule leaves it empty).
VectorPath RingPath(const VectorPath& outer, const VectorPath& inner);

struct VectorStroke {
  Color color = kBlack;
  double width = 1;
  std::vector<double> dashes;  // on and off lengths in pixels; empty: solid
  bool round = true;           // round caps and joins; else butt caps and mitred joins
  bool operator==(const VectorStroke&) const = default;
};

// A filled and/or stroked path; fills use the nonzero rule, as GDI and
// the glyph outlines do.
struct VectorShape {
  VectorPath path;
  std::optional<Color> fill;
  std::optional<VectorStroke> stroke;
};

// A picture laid over x, y, width, height: 32-bit BGRA rows from the top,
// straight alpha, transparent where it has no ink.
struct VectorPicture {
  double x = 0, y = 0, width = 0, height = 0;
  int pixelWidth = 0, pixelHeight = 0;
  std::shared_ptr<const std::vector<std::uint8_t>> bgra;
};

struct VectorItem {
  std::variant<VectorShape, VectorPicture> content;
  Affine transform;  // from the item's own space to the drawing's
  // Areas in the drawing's space outside which the item is not shown (all
  // of them apply).
  std::vector<VectorPath> clips;
};

struct VectorDrawing {
  int width = 0, height = 0;  // the picture's pixels
  std::vector<VectorItem> items;
};

// A picture of this many pixels at this resolution measures this many
// hundredths of a millimetre: the stamps' own rule (integer division).
long long DesignedHundredthsOfMm(int pixels, int pixelsPerMetre);
