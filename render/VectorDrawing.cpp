#include "VectorDrawing.h"

#include <algorithm>
#include <cmath>

namespace {

// The control-point distance that makes a cubic curve follow a quarter circle.
constexpr double kKappa = 0.5522847498307936;
constexpr double kPi = 3.14159265358979323846;

// A quarter ellipse about centre c from the point at angle `from` (0 right,
// 1 down, 2 left, 3 up, clockwise on screen) to the next one.
void QuarterArc(VectorPath& path, PointD c, double rx, double ry, int from) {
  static constexpr int dx[] = {1, 0, -1, 0}, dy[] = {0, 1, 0, -1};
  const int to = (from + 1) % 4;
  const PointD start{c.x + dx[from] * rx, c.y + dy[from] * ry};
  const PointD end{c.x + dx[to] * rx, c.y + dy[to] * ry};
  path.CurveTo({start.x + dx[to] * kKappa * rx, start.y + dy[to] * kKappa * ry},
               {end.x + dx[from] * kKappa * rx, end.y + dy[from] * kKappa * ry}, end);
}

}  // namespace

Affine Affine::Then(const Affine& o) const {
  return {o.a * a + o.c * b, o.b * a + o.d * b, o.a * c + o.c * d, o.b * c + o.d * d, o.a * e + o.c * f + o.e,
          o.b * e + o.d * f + o.f};
}

Affine Affine::Turn(int tenthsOfDegree) {
  const double angle = tenthsOfDegree % 3600 * kPi / 1800;
  const double cosine = std::cos(angle), sine = std::sin(angle);
  return {cosine, -sine, sine, cosine, 0, 0};
}

void VectorPath::Append(const VectorPath& other) {
  segments_.insert(segments_.end(), other.segments_.begin(), other.segments_.end());
}

VectorPath VectorPath::Transformed(const Affine& t) const {
  VectorPath out = *this;
  for (PathSegment& s : out.segments_)
    for (PointD& p : s.p) p = t.Apply(p);
  return out;
}

BoxD VectorPath::ControlBounds() const {
  BoxD b;
  bool first = true;
  auto take = [&](PointD p) {
    if (first) {
      b = {p.x, p.y, p.x, p.y};
      first = false;
    }
    b.left = std::min(b.left, p.x);
    b.top = std::min(b.top, p.y);
    b.right = std::max(b.right, p.x);
    b.bottom = std::max(b.bottom, p.y);
  };
  for (const PathSegment& s : segments_) {
    if (s.verb == PathSegment::Verb::Close) continue;
    take(s.p[0]);
    if (s.verb == PathSegment::Verb::Curve) {
      take(s.p[1]);
      take(s.p[2]);
    }
  }
  return b;
}

VectorPath RectanglePath(const BoxD& box) {
  VectorPath path;
  path.MoveTo({box.left, box.top});
  path.LineTo({box.right, box.top});
  path.LineTo({box.right, box.bottom});
  path.LineTo({box.left, box.bottom});
  path.Close();
  return path;
}

VectorPath EllipsePath(const BoxD& box) {
  const PointD c{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  const double rx = (box.right - box.left) / 2, ry = (box.bottom - box.top) / 2;
  VectorPath path;
  path.MoveTo({c.x + rx, c.y});
  for (int quarter = 0; quarter < 4; ++quarter) QuarterArc(path, c, rx, ry, quarter);
  path.Close();
  return path;
}

VectorPath RoundRectPath(const BoxD& box, double rx, double ry) {
  rx = std::clamp(rx, 0.0, (box.right - box.left) / 2);
  ry = std::clamp(ry, 0.0, (box.bottom - box.top) / 2);
  if (rx <= 0 || ry <= 0) return RectanglePath(box);
  const double l = box.left, t = box.top, r = box.right, b = box.bottom;
  VectorPath path;
  path.MoveTo({r, t + ry});
  path.LineTo({r, b - ry});
  QuarterArc(path, {r - rx, b - ry}, rx, ry, 0);
  path.LineTo({l + rx, b});
  QuarterArc(path, {l + rx, b - ry}, rx, ry, 1);
  path.LineTo({l, t + ry});
  QuarterArc(path, {l + rx, t + ry}, rx, ry, 2);
  path.LineTo({r - rx, t});
  QuarterArc(path, {r - rx, t + ry}, rx, ry, 3);
  path.Close();
  return path;
}

VectorPath LineAreaPath(PointD from, PointD to, double width, bool roundCaps) {
  const double half = width / 2;
  const double dx = to.x - from.x, dy = to.y - from.y, length = std::hypot(dx, dy);
  if (length == 0) {
    if (!roundCaps) return {};
    return EllipsePath({from.x - half, from.y - half, from.x + half, from.y + half});
  }
  // u along the line, n to its right on screen.
  const PointD u{dx / length, dy / length}, n{-u.y, u.x};
  auto at = [&](PointD p, double along, double across) {
    return PointD{p.x + u.x * along + n.x * across, p.y + u.y * along + n.y * across};
  };
  VectorPath path;
  path.MoveTo(at(from, 0, -half));
  path.LineTo(at(to, 0, -half));
  if (roundCaps) {
    // Two quarter circles around the end, from the left side to the right.
    path.CurveTo(at(to, kKappa * half, -half), at(to, half, -kKappa * half), at(to, half, 0));
    path.CurveTo(at(to, half, kKappa * half), at(to, kKappa * half, half), at(to, 0, half));
  } else {
    path.LineTo(at(to, 0, half));
  }
  path.LineTo(at(from, 0, half));
  if (roundCaps) {
    path.CurveTo(at(from, -kKappa * half, half), at(from, -half, kKappa * half), at(from, -half, 0));
    path.CurveTo(at(from, -half, -kKappa * half), at(from, -kKappa * half, -half), at(from, 0, -half));
  }
  path.Close();
  return path;
}

namespace {
// The same outline run the other way round.
VectorPath Reversed(const VectorPath& path) {
  VectorPath out;
  const auto& s = path.Segments();
  std::size_t begin = 0;
  while (begin < s.size()) {
    std::size_t end = begin + 1;
    while (end < s.size() && s[end].verb != PathSegment::Verb::Move) ++end;
    // Points of the subpath: each segment ends at its last point.
    auto endPoint = [&](std::size_t i) { return s[i].verb == PathSegment::Verb::Curve ? s[i].p[2] : s[i].p[0]; };
    std::size_t last = end;
    while (last > begin + 1 && s[last - 1].verb == PathSegment::Verb::Close) --last;
    out.MoveTo(endPoint(last - 1));
    for (std::size_t i = last - 1; i > begin; --i) {
      const PointD target = endPoint(i - 1);
      if (s[i].verb == PathSegment::Verb::Curve)
        out.CurveTo(s[i].p[1], s[i].p[0], target);
      else
        out.LineTo(target);
    }
    out.Close();
    begin = end;
  }
  return out;
}
}  // namespace

VectorPath RingPath(const VectorPath& outer, const VectorPath& inner) {
  VectorPath ring = outer;
  ring.Append(Reversed(inner));
  return ring;
}

long long DesignedHundredthsOfMm(int pixels, int pixelsPerMetre) {
  if (pixelsPerMetre <= 0) return 0;
  return static_cast<long long>(pixels) * 100000 / pixelsPerMetre;
}
