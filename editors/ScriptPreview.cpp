#include "ScriptPreview.h"

#include <algorithm>

namespace {

// The area around the picture, darker than it so a white picture's edges show.
HBRUSH AreaBrush() { return GetSysColorBrush(COLOR_APPWORKSPACE); }

}  // namespace

bool ScriptImage::Create(HWND parent, int id, int x, int y) {
  return CreateWindowOf(L"VarnelScriptImage", 0, WS_CHILD | WS_VISIBLE, L"", x, y, picture_.Width(),
                        picture_.Height(), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void ScriptImage::Refresh() {
  SetWindowPos(hwnd_, nullptr, 0, 0, std::max(picture_.Width(), picture_.BitmapWidth()),
               std::max(picture_.Height(), picture_.BitmapHeight()), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void ScriptImage::Paint() {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd_, &ps);
  RECT client;
  GetClientRect(hwnd_, &client);
  FillRect(hdc, &client, AreaBrush());
  if (HDC picture = picture_.BitmapDc())
    BitBlt(hdc, 0, 0, picture_.BitmapWidth(), picture_.BitmapHeight(), picture, 0, 0, SRCCOPY);
  EndPaint(hwnd_, &ps);
}

LRESULT ScriptImage::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
  }
  return Default(message, wParam, lParam);
}

bool ScriptScrollBox::Create(HWND parent, int id) {
  return CreateWindowOf(L"VarnelScriptScrollBox", WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT,
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL, L"", 0, 0, 10, 10, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

ScriptImage& ScriptScrollBox::NewImage(int id) {
  image_.reset();
  image_ = std::make_unique<ScriptImage>();
  image_->Create(hwnd_, id, kPreviewMargin - scrollX_, kPreviewMargin - scrollY_);
  return *image_;
}

void ScriptScrollBox::PlaceImage() {
  if (image_ && image_->Handle())
    SetWindowPos(image_->Handle(), nullptr, kPreviewMargin - scrollX_, kPreviewMargin - scrollY_, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ScriptScrollBox::UpdateScrollBars() {
  RECT client;
  GetClientRect(hwnd_, &client);
  SIZE content{0, 0};
  if (image_ && image_->Handle()) {
    RECT r;
    GetClientRect(image_->Handle(), &r);
    content = {r.right + 2 * kPreviewMargin, r.bottom + 2 * kPreviewMargin};
  }
  const struct {
    int bar;
    LONG size, page;
    int& position;
  } bars[] = {{SB_HORZ, content.cx, client.right, scrollX_}, {SB_VERT, content.cy, client.bottom, scrollY_}};
  for (const auto& b : bars) {
    b.position = std::clamp(b.position, 0, static_cast<int>(std::max<LONG>(0, b.size - b.page)));
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = std::max<LONG>(0, b.size - 1);
    info.nPage = static_cast<UINT>(std::max<LONG>(0, b.page));
    info.nPos = b.position;
    SetScrollInfo(hwnd_, b.bar, &info, TRUE);
  }
  PlaceImage();
}

void ScriptScrollBox::Scroll(int bar, int request) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(hwnd_, bar, &info);
  int& position = bar == SB_HORZ ? scrollX_ : scrollY_;
  switch (request) {
    case SB_LINEUP: position -= 16; break;
    case SB_LINEDOWN: position += 16; break;
    case SB_PAGEUP: position -= static_cast<int>(info.nPage); break;
    case SB_PAGEDOWN: position += static_cast<int>(info.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = info.nMax; break;
  }
  UpdateScrollBars();
}

LRESULT ScriptScrollBox::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(hwnd_, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, AreaBrush());
      return 1;
    }
    case WM_SIZE:
      UpdateScrollBars();
      return 0;
    case WM_HSCROLL:
      Scroll(SB_HORZ, LOWORD(wParam));
      return 0;
    case WM_VSCROLL:
      Scroll(SB_VERT, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      Scroll(SB_VERT, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? SB_LINEUP : SB_LINEDOWN);
      return 0;
  }
  return Default(message, wParam, lParam);
}
