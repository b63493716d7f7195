#include "RecordingCanvas.h"

#include <algorithm>

#include "SealGeometry.h"
#include "Sjis.h"

Extent FixedTextExtent(const FontSpec& font, std::string_view text) {
  const int height = FontPixelHeight(font.size);
  std::int64_t width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      width += height;
      ++i;
    } else {
      width += height / 2;
    }
  }
  return {ClampToInt(width), height};
}

DrawCall& RecordingCanvas::Record(DrawCall::Op op) {
  DrawCall call{op, {}, 0, 0, {}, Pen, Brush, Font, Mode};
  calls.push_back(call);
  return calls.back();
}

void RecordingCanvas::Ellipse(const Rect& box) { Record(DrawCall::Op::Ellipse).box = box; }
void RecordingCanvas::Rectangle(const Rect& box) { Record(DrawCall::Op::Rectangle).box = box; }
void RecordingCanvas::RoundRect(const Rect& box, int cornerWidth, int cornerHeight) {
  DrawCall& call = Record(DrawCall::Op::RoundRect);
  call.box = box;
  call.x = cornerWidth;
  call.y = cornerHeight;
}
void RecordingCanvas::MoveTo(int x, int y) {
  DrawCall& call = Record(DrawCall::Op::MoveTo);
  call.x = x;
  call.y = y;
}
void RecordingCanvas::LineTo(int x, int y) {
  DrawCall& call = Record(DrawCall::Op::LineTo);
  call.x = x;
  call.y = y;
}
void RecordingCanvas::TextOut(int x, int y, std::string_view text) {
  DrawCall& call = Record(DrawCall::Op::TextOut);
  call.x = x;
  call.y = y;
  call.text = text;
}
Extent RecordingCanvas::TextExtent(std::string_view text) { return FixedTextExtent(Font, text); }
void RecordingCanvas::StretchDraw(const Rect& dest, WorkImage&) { Record(DrawCall::Op::StretchDraw).box = dest; }

std::vector<DrawCall> RecordingCanvas::Only(DrawCall::Op op) const {
  std::vector<DrawCall> out;
  for (const DrawCall& call : calls)
    if (call.op == op) out.push_back(call);
  return out;
}

void MemoryWorkImage::SetSize(int width, int height) {
  width_ = width;
  height_ = height;
}

Canvas& MemoryWorkImage::BitmapCanvas() {
  if (!bitmapCreated_) {
    bitmapCreated_ = true;
    bitmapWidth_ = width_;
    bitmapHeight_ = height_;
  }
  return bitmap;
}

Canvas& MemoryWorkImage::BeginMetafile(int width, int height) {
  metafile = RecordingCanvas();
  metaWidth_ = width;
  metaHeight_ = height;
  width_ = width;
  height_ = height;
  ++metaRecordings_;
  metafileDone_ = false;
  return metafile;
}

void MemoryWorkImage::EndMetafile() { metafileDone_ = true; }

namespace {
void PutLe32(PackedDib& dib, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) dib[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::int32_t GetLe32(const PackedDib& dib, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= std::uint32_t{dib[at + i]} << (8 * i);
  return static_cast<std::int32_t>(v);
}
}  // namespace

PackedDib MemoryWorkImage::BitmapAsDib24() {
  if (!dib.empty()) return dib;
  if (!bitmapCreated_ || bitmapWidth_ <= 0 || bitmapHeight_ <= 0) return {};
  const std::size_t stride = (static_cast<std::size_t>(bitmapWidth_) * 3 + 3) / 4 * 4;
  PackedDib white(40, 0);
  white.resize(40 + stride * bitmapHeight_, 0xFF);
  PutLe32(white, 0, 40);
  PutLe32(white, 4, static_cast<std::uint32_t>(bitmapWidth_));
  PutLe32(white, 8, static_cast<std::uint32_t>(bitmapHeight_));
  white[12] = 1;
  white[14] = 24;
  PutLe32(white, 20, static_cast<std::uint32_t>(stride * bitmapHeight_));
  return white;
}

void MemoryWorkImage::SetBitmapFromDib(const PackedDib& newDib) {
  dib = newDib;
  if (dib.size() >= 40) {
    bitmapCreated_ = true;
    bitmapWidth_ = width_ = GetLe32(dib, 4);
    bitmapHeight_ = height_ = GetLe32(dib, 8);
  }
}
