#include "GdiCanvas.h"

#include <algorithm>

#include "GdiWorkImage.h"
#include "Text.h"

GdiCanvas::GdiCanvas(HDC hdc)
    : hdc_(hdc), onBitmap_(GetObjectType(hdc) == OBJ_MEMDC), savedState_(SaveDC(hdc)) {}

GdiCanvas::~GdiCanvas() {
  // Restoring the DC deselects our pen, brush and font before they are deleted.
  RestoreDC(hdc_, savedState_);
}

namespace {
int GdiPenStyle(PenStyle style) {
  switch (style) {
    case PenStyle::Dash: return PS_DASH;
    case PenStyle::Dot: return PS_DOT;
    case PenStyle::DashDot: return PS_DASHDOT;
    case PenStyle::DashDotDot: return PS_DASHDOTDOT;
    case PenStyle::Solid: break;
  }
  return PS_SOLID;
}

DWORD RasterOperation(CopyMode mode) {
  switch (mode) {
    case CopyMode::SrcAnd: return SRCAND;
    case CopyMode::SrcPaint: return SRCPAINT;
    case CopyMode::SrcCopy: break;
  }
  return SRCCOPY;
}

// Widths beyond this make GDI refuse the pen; a seal never needs them.
constexpr int kMaxPenWidth = 1000;

// Shapes far outside any picture are pulled in to this range: some GDI
// implementations walk every point of a huge ellipse or fail on it.
constexpr int kMaxCoordinate = 32767;
int C(int v) { return v > kMaxCoordinate ? kMaxCoordinate : (v < -kMaxCoordinate ? -kMaxCoordinate : v); }
}  // namespace

void GdiCanvas::RealisePen() {
  if (penRealised_ && realisedPen_ == Pen) return;
  const int width = Pen.width < 0 ? 0 : (Pen.width > kMaxPenWidth ? kMaxPenWidth : Pen.width);
  UniqueHpen pen(CreatePen(GdiPenStyle(Pen.style), width, Pen.color & 0xFFFFFF));
  if (!pen) pen.reset(CreatePen(PS_SOLID, 1, Pen.color & 0xFFFFFF));
  SelectObject(hdc_, pen.get());
  pen_ = std::move(pen);  // the previous pen is deselected by now
  SetROP2(hdc_, Pen.mode == PenMode::NotXor ? R2_NOTXORPEN : R2_COPYPEN);
  realisedPen_ = Pen;
  penRealised_ = true;
}

void GdiCanvas::RealiseBrush() {
  if (brushRealised_ && realisedBrush_ == Brush) return;
  if (Brush.style == BrushStyle::Clear) {
    SelectObject(hdc_, GetStockObject(NULL_BRUSH));
    brush_.reset();
  } else {
    UniqueHbrush brush(CreateSolidBrush(Brush.color & 0xFFFFFF));
    SelectObject(hdc_, brush.get());
    brush_ = std::move(brush);
  }
  realisedBrush_ = Brush;
  brushRealised_ = true;
}

UniqueHfont CreateCanvasFont(const FontSpec& font) {
  LOGFONTW lf{};
  // A negative height asks for the character height, as a size in points does.
  lf.lfHeight = -FontPixelHeight(font.size);
  lf.lfEscapement = lf.lfOrientation = font.escapement;
  lf.lfWeight = (font.style & 1) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (font.style & 2) ? TRUE : FALSE;
  lf.lfUnderline = (font.style & 4) ? TRUE : FALSE;
  lf.lfStrikeOut = (font.style & 8) ? TRUE : FALSE;
  lf.lfCharSet = static_cast<BYTE>(font.charset);
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  const std::wstring face = WideShowingInvalid(font.name);
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  return UniqueHfont(CreateFontIndirectW(&lf));
}

void GdiCanvas::RealiseFont() {
  if (!fontRealised_ || !(realisedFont_ == Font)) {
    if (UniqueHfont font = CreateCanvasFont(Font)) {
      SelectObject(hdc_, font.get());
      if (measuringDc_) SelectObject(measuringDc_.get(), font.get());
      font_ = std::move(font);  // the previous font is deselected by now
    }
    realisedFont_ = Font;
    fontRealised_ = true;
  }
  SetTextColor(hdc_, Font.color & 0xFFFFFF);
}

// A solid outline wider than a pixel on a bitmap is painted as the region
// between the shape grown and shrunk by half the pen: the platform's
// wide-pen ellipse costs milliseconds a ring on some systems, the regions a
// small fraction of that, for the same ring. Recordings keep the real call,
// so a metafile still holds an ellipse.
bool GdiCanvas::OutlinesByRegions() const {
  return onBitmap_ && Pen.width > 1 && Pen.style == PenStyle::Solid && Pen.mode == PenMode::Copy;
}

namespace {
int C64(long long v) { return static_cast<int>(std::clamp<long long>(v, -kMaxCoordinate, kMaxCoordinate)); }

UniqueHrgn ShapeRegion(bool rounded, long long left, long long top, long long right, long long bottom,
                       long long cornerWidth, long long cornerHeight) {
  if (right <= left || bottom <= top) return {};
  return UniqueHrgn(rounded ? CreateRoundRectRgn(C64(left), C64(top), C64(right), C64(bottom), C64(cornerWidth),
                                                 C64(cornerHeight))
                            : CreateEllipticRgn(C64(left), C64(top), C64(right), C64(bottom)));
}
}  // namespace

void GdiCanvas::WideOutline(const Rect& box, bool rounded, int cornerWidth, int cornerHeight) {
  RealisePen();  // the mix mode
  const long long width = Pen.width > kMaxPenWidth ? kMaxPenWidth : Pen.width;
  const long long inward = width / 2, outward = width - inward;
  const long long l = box.left, t = box.top, r = box.right, b = box.bottom;
  if (Brush.style != BrushStyle::Clear) {
    RealiseBrush();
    if (UniqueHrgn inside = ShapeRegion(rounded, l, t, r, b, cornerWidth, cornerHeight)) PaintRgn(hdc_, inside.get());
  }
  UniqueHrgn ring = ShapeRegion(rounded, l - inward, t - inward, r + outward, b + outward,
                                cornerWidth + width, cornerHeight + width);
  if (!ring) return;
  if (UniqueHrgn hole = ShapeRegion(rounded, l + outward, t + outward, r - inward, b - inward,
                                    std::max(0LL, cornerWidth - width), std::max(0LL, cornerHeight - width)))
    CombineRgn(ring.get(), ring.get(), hole.get(), RGN_DIFF);
  const UniqueHbrush ink(CreateSolidBrush(Pen.color & 0xFFFFFF));
  if (ink) FillRgn(hdc_, ring.get(), ink.get());
}

void GdiCanvas::Ellipse(const Rect& box) {
  if (OutlinesByRegions()) return WideOutline(box, false, 0, 0);
  RealiseShapeState();
  ::Ellipse(hdc_, C(box.left), C(box.top), C(box.right), C(box.bottom));
}

void GdiCanvas::Rectangle(const Rect& box) {
  RealiseShapeState();
  ::Rectangle(hdc_, C(box.left), C(box.top), C(box.right), C(box.bottom));
}

void GdiCanvas::RoundRect(const Rect& box, int cornerWidth, int cornerHeight) {
  if (OutlinesByRegions()) return WideOutline(box, true, cornerWidth, cornerHeight);
  RealiseShapeState();
  ::RoundRect(hdc_, C(box.left), C(box.top), C(box.right), C(box.bottom), C(cornerWidth), C(cornerHeight));
}

void GdiCanvas::MoveTo(int x, int y) { MoveToEx(hdc_, C(x), C(y), nullptr); }

void GdiCanvas::LineTo(int x, int y) {
  RealisePen();
  ::LineTo(hdc_, C(x), C(y));
}

void GdiCanvas::TextOut(int x, int y, std::string_view text) {
  RealiseFont();
  RealiseBrush();
  if (Brush.style == BrushStyle::Clear) {
    SetBkMode(hdc_, TRANSPARENT);
  } else {
    SetBkMode(hdc_, OPAQUE);
    SetBkColor(hdc_, Brush.color & 0xFFFFFF);
  }
  const std::wstring wide = WideShowingInvalid(text);
  ::TextOutW(hdc_, C(x), C(y), wide.c_str(), static_cast<int>(wide.size()));
}

Extent GdiCanvas::TextExtent(std::string_view text) {
  RealiseFont();
  const std::wstring wide = WideShowingInvalid(text);
  SIZE size{};
  GetTextExtentPoint32W(MeasuringDc(), wide.c_str(), static_cast<int>(wide.size()), &size);
  return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

// A recording lays its pixels onto the screen at the screen's scale, where
// the font is made larger or smaller and measures differently: text is
// measured at one device pixel a logical unit, so a layout is the same on
// every screen.
HDC GdiCanvas::MeasuringDc() {
  if (GetMapMode(hdc_) == MM_TEXT || !font_) return hdc_;
  if (!measuringDc_) {
    measuringDc_.reset(CreateCompatibleDC(nullptr));
    if (!measuringDc_) return hdc_;
    SelectObject(measuringDc_.get(), font_.get());
  }
  return measuringDc_.get();
}

void GdiCanvas::StretchDraw(const Rect& dest, WorkImage& source) {
  auto* gdiSource = dynamic_cast<GdiWorkImage*>(&source);
  if (!gdiSource) return;
  if (HENHMETAFILE emf = gdiSource->Metafile()) {
    const RECT r{dest.left, dest.top, dest.right, dest.bottom};
    PlayEnhMetaFile(hdc_, emf, &r);
    return;
  }
  if (HDC sourceDc = gdiSource->BitmapDc())
    StretchBlt(hdc_, dest.left, dest.top, dest.Width(), dest.Height(), sourceDc, 0, 0,
               gdiSource->BitmapWidth(), gdiSource->BitmapHeight(), RasterOperation(Mode));
}

void GdiCanvas::StretchDrawPhysical(POINT origin, SIZE size, WorkImage& source) {
  LPtoDP(hdc_, &origin, 1);  // the viewport origin below is in device pixels
  const int saved = SaveDC(hdc_);
  // One logical unit is a hundredth of a millimetre of the device.
  SetMapMode(hdc_, MM_ANISOTROPIC);
  SetWindowExtEx(hdc_, GetDeviceCaps(hdc_, HORZSIZE) * 100, GetDeviceCaps(hdc_, VERTSIZE) * 100, nullptr);
  SetViewportExtEx(hdc_, GetDeviceCaps(hdc_, HORZRES), GetDeviceCaps(hdc_, VERTRES), nullptr);
  SetViewportOrgEx(hdc_, origin.x, origin.y, nullptr);
  StretchDraw({0, 0, static_cast<int>(size.cx), static_cast<int>(size.cy)}, source);
  RestoreDC(hdc_, saved);
}
