// The application icon as Windows finds it in a program's resources.

#include <gtest/gtest.h>

#include <windows.h>

#include <set>

#include "resource.h"

namespace {

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct GroupIconHeader {
  WORD reserved, type, count;
  GroupIconEntry entries[1];
};
#pragma pack(pop)

std::set<int> IconSizes() {
  std::set<int> sizes;
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDI_VARNEL), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  if (!found) return sizes;
  auto* group = static_cast<const GroupIconHeader*>(LockResource(LoadResource(module, found)));
  for (WORD i = 0; i < group->count; ++i) sizes.insert(group->entries[i].width);
  return sizes;
}

COLORREF PixelOfIconOnWhite(int size, int x, int y) {
  HICON icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VARNEL), IMAGE_ICON, size, size, 0));
  if (!icon) return CLR_INVALID;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, size, size};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  const COLORREF pixel = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  DestroyIcon(icon);
  return pixel;
}

bool Reddish(COLORREF c) { return GetRValue(c) > 150 && GetGValue(c) < 120 && GetBValue(c) < 120; }

TEST(ApplicationIcon, HasSixteenThirtyTwoAndFortyEightPixelImages) {
  EXPECT_EQ(IconSizes(), (std::set<int>{16, 32, 48}));
}

TEST(ApplicationIcon, IsARedRingOnATransparentGround) {
  for (int size : {16, 32, 48}) {
    EXPECT_TRUE(Reddish(PixelOfIconOnWhite(size, 1, size / 2))) << size << ": the ring's left edge";
    EXPECT_EQ(PixelOfIconOnWhite(size, 0, 0), RGB(255, 255, 255)) << size << ": the corner shows through";
  }
}

}  // namespace
