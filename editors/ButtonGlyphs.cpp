#include "ButtonGlyphs.h"

#include <initializer_list>

#include "GdiWorkImage.h"

namespace {

// Pen and brush for one shape, put back when it is drawn.
class Paint {
 public:
  Paint(HDC hdc, COLORREF line, COLORREF fill, int width = 1)
      : hdc_(hdc),
        pen_(CreatePen(PS_SOLID, width, line)),
        brush_(CreateSolidBrush(fill)),
        oldPen_(SelectObject(hdc, pen_.get())),
        oldBrush_(SelectObject(hdc, brush_.get())) {}
  ~Paint() {
    SelectObject(hdc_, oldPen_);
    SelectObject(hdc_, oldBrush_);
  }
  Paint(const Paint&) = delete;
  Paint& operator=(const Paint&) = delete;

 private:
  HDC hdc_;
  UniqueHpen pen_;
  UniqueHbrush brush_;
  HGDIOBJ oldPen_, oldBrush_;
};

constexpr COLORREF kOutline = RGB(40, 40, 40);
constexpr COLORREF kPaper = RGB(255, 255, 255);

void Polygon(HDC hdc, std::initializer_list<POINT> points) {
  ::Polygon(hdc, points.begin(), static_cast<int>(points.size()));
}

void Page(HDC hdc, int left, int top, int right, int bottom) {
  Paint paint(hdc, kOutline, kPaper);
  Polygon(hdc, {{left, top}, {right - 4, top}, {right, top + 4}, {right, bottom}, {left, bottom}});
  MoveToEx(hdc, right - 4, top, nullptr);
  LineTo(hdc, right - 4, top + 4);
  LineTo(hdc, right + 1, top + 4);
}

void DrawNew(HDC hdc) {
  Page(hdc, 3, 1, 13, 15);
  Paint star(hdc, RGB(230, 170, 0), RGB(255, 220, 60));
  Polygon(hdc, {{1, 3}, {4, 2}, {5, -1}, {6, 2}, {9, 3}, {6, 4}, {5, 7}, {4, 4}});
}

void DrawOpen(HDC hdc) {
  Paint paint(hdc, RGB(150, 110, 20), RGB(250, 210, 90));
  Polygon(hdc, {{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 14}, {1, 14}});
  Paint front(hdc, RGB(150, 110, 20), RGB(255, 235, 150));
  Polygon(hdc, {{1, 14}, {4, 8}, {16, 8}, {14, 14}});
}

void DrawSave(HDC hdc) {
  {
    Paint body(hdc, RGB(20, 40, 110), RGB(50, 80, 170));
    Rectangle(hdc, 1, 1, 15, 15);
  }
  {
    Paint label(hdc, kOutline, kPaper);
    Rectangle(hdc, 4, 2, 12, 8);
  }
  Paint shutter(hdc, RGB(90, 90, 90), RGB(190, 190, 190));
  Rectangle(hdc, 5, 10, 11, 15);
}

void DrawRefresh(HDC hdc) {
  {
    Paint ring(hdc, RGB(20, 130, 40), RGB(20, 130, 40), 2);
    Arc(hdc, 2, 2, 14, 14, 14, 4, 12, 14);
  }
  Paint head(hdc, RGB(20, 130, 40), RGB(20, 130, 40));
  Polygon(hdc, {{9, 0}, {15, 1}, {13, 7}});
}

void DrawCopy(HDC hdc) {
  Page(hdc, 1, 1, 9, 11);
  Page(hdc, 6, 5, 14, 15);
}

void DrawPaste(HDC hdc) {
  {
    Paint board(hdc, RGB(110, 70, 20), RGB(190, 140, 70));
    Rectangle(hdc, 1, 2, 12, 15);
  }
  {
    Paint clip(hdc, kOutline, RGB(200, 200, 200));
    Rectangle(hdc, 4, 0, 9, 4);
  }
  Page(hdc, 6, 6, 15, 15);
}

void DrawFinish(HDC hdc) {
  {
    Paint door(hdc, RGB(100, 60, 20), RGB(170, 110, 50));
    Rectangle(hdc, 2, 1, 10, 15);
  }
  Paint arrow(hdc, RGB(190, 20, 20), RGB(220, 40, 40));
  Polygon(hdc, {{7, 6}, {11, 6}, {11, 3}, {15, 8}, {11, 13}, {11, 10}, {7, 10}});
}

void DrawBuilder(HDC hdc) {
  Paint panel(hdc, kOutline, RGB(230, 230, 240));
  Rectangle(hdc, 1, 2, 15, 14);
  Paint field(hdc, kOutline, kPaper);
  Rectangle(hdc, 3, 5, 13, 8);
  Rectangle(hdc, 3, 9, 13, 12);
}

}  // namespace

UniqueHbitmap MakeButtonGlyph(Glyph glyph) {
  // A bitmap of the screen's format: version 6 of the buttons draws a
  // 24-bit DIB section as black under Wine.
  HDC screen = GetDC(nullptr);
  UniqueHbitmap bitmap(CreateCompatibleBitmap(screen, kGlyphSide, kGlyphSide));
  ReleaseDC(nullptr, screen);
  UniqueMemDc dc(CreateCompatibleDC(nullptr));
  if (!bitmap || !dc) return {};
  const HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
  const RECT all{0, 0, kGlyphSide, kGlyphSide};
  FillRect(dc.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
  switch (glyph) {
    case Glyph::New: DrawNew(dc.get()); break;
    case Glyph::Open: DrawOpen(dc.get()); break;
    case Glyph::Save: DrawSave(dc.get()); break;
    case Glyph::Refresh: DrawRefresh(dc.get()); break;
    case Glyph::Copy: DrawCopy(dc.get()); break;
    case Glyph::Paste: DrawPaste(dc.get()); break;
    case Glyph::Finish: DrawFinish(dc.get()); break;
    case Glyph::Builder: DrawBuilder(dc.get()); break;
  }
  SelectObject(dc.get(), old);
  return bitmap;
}
