// The least a stamping program can do, for comparison: a hidden window that
// on WM_USER draws one circle and puts it on the clipboard as an enhanced
// metafile, a Windows metafile and a DIB, the formats Varnel writes.

#include <windows.h>

#include <vector>

namespace {

constexpr int kSide = 242;

void DrawCircle(HDC dc) {
  HPEN pen = CreatePen(PS_SOLID, 6, RGB(230, 0, 0));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Ellipse(dc, 3, 3, kSide - 3, kSide - 3);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

HENHMETAFILE CircleMetafile() {
  HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  DrawCircle(dc);
  return CloseEnhMetaFile(dc);
}

HGLOBAL MetafilePict(HENHMETAFILE metafile) {
  HDC screen = GetDC(nullptr);
  const UINT size = GetWinMetaFileBits(metafile, 0, nullptr, MM_ANISOTROPIC, screen);
  std::vector<BYTE> bits(size);
  GetWinMetaFileBits(metafile, size, bits.data(), MM_ANISOTROPIC, screen);
  ReleaseDC(nullptr, screen);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
  auto* pict = static_cast<METAFILEPICT*>(GlobalLock(block));
  *pict = {MM_ANISOTROPIC, kSide * 26, kSide * 26, SetMetaFileBitsEx(size, bits.data())};
  GlobalUnlock(block);
  return block;
}

HGLOBAL CircleDib() {
  BITMAPINFOHEADER info{sizeof info, kSide, kSide, 1, 24, BI_RGB, 0, 3780, 3780, 0, 0};
  void* pixels = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap =
      CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, kSide, kSide, WHITENESS);
  DrawCircle(dc);
  GdiFlush();
  const DWORD imageBytes = (kSide * 3 + 3) / 4 * 4 * kSide;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof info + imageBytes);
  auto* out = static_cast<BYTE*>(GlobalLock(block));
  info.biSizeImage = imageBytes;
  CopyMemory(out, &info, sizeof info);
  CopyMemory(out + sizeof info, pixels, imageBytes);
  GlobalUnlock(block);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return block;
}

void Stamp(HWND owner) {
  HENHMETAFILE metafile = CircleMetafile();
  HGLOBAL pict = MetafilePict(metafile);
  HGLOBAL dib = CircleDib();
  if (!OpenClipboard(owner)) return;
  EmptyClipboard();
  SetClipboardData(CF_ENHMETAFILE, metafile);
  SetClipboardData(CF_METAFILEPICT, pict);
  SetClipboardData(CF_DIB, dib);
  CloseClipboard();
}

LRESULT CALLBACK BaselineProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_USER: Stamp(hwnd); return 0;
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = BaselineProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"VarnelBaseline";
  RegisterClassW(&wc);
  CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"VarnelBaseline", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                  instance, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
