#include "Preview.h"

#include "GdiWorkImage.h"

bool PreviewImage::Create(HWND parent, int id, int x, int y, int size) {
  return CreateWindowOf(L"VarnelPreview", 0, WS_CHILD | WS_VISIBLE, L"", x, y, size, size, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void PreviewImage::SetPicture(GdiWorkImage& image) {
  Clear();
  HDC source = image.BitmapDc();
  if (!source) return;
  const int w = image.BitmapWidth(), h = image.BitmapHeight();
  UniqueHbitmap copy = CreateWhiteBitmap(w, h);
  if (!copy) return;
  HDC target = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(target, copy.get());
  BitBlt(target, 0, 0, w, h, source, 0, 0, SRCCOPY);
  SelectObject(target, old);
  DeleteDC(target);
  picture_ = std::move(copy);
  pictureWidth_ = w;
  pictureHeight_ = h;
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void PreviewImage::Clear() {
  picture_.reset();
  pictureWidth_ = pictureHeight_ = 0;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void PreviewImage::Paint() {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd_, &ps);
  RECT client;
  GetClientRect(hwnd_, &client);
  FillRect(hdc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (picture_) {
    HDC source = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(source, picture_.get());
    SetStretchBltMode(hdc, HALFTONE);
    SetBrushOrgEx(hdc, 0, 0, nullptr);
    StretchBlt(hdc, 0, 0, client.right, client.bottom, source, 0, 0, pictureWidth_, pictureHeight_, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  }
  EndPaint(hwnd_, &ps);
}

void PreviewImage::Press(bool down) {
  if (pressed_ == down) return;
  pressed_ = down;
  RECT r;
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  const int step = down ? 1 : -1;
  SetWindowPos(hwnd_, nullptr, r.left + step, r.top + step, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT PreviewImage::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_LBUTTONDOWN:
      SetCapture(hwnd_);
      Press(true);
      return 0;
    case WM_LBUTTONUP: {
      const bool wasPressed = pressed_;
      ReleaseCapture();
      Press(false);
      RECT client;
      GetClientRect(hwnd_, &client);
      const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (wasPressed && PtInRect(&client, p) && OnClick) OnClick();
      return 0;
    }
    case WM_CAPTURECHANGED:
      Press(false);
      return 0;
  }
  return Default(message, wParam, lParam);
}
