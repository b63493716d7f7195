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
  // A width of 0 stands for 256.
  for (WORD i = 0; i < group->count; ++i) sizes.insert(group->entries[i].width ? group->entries[i].width : 256);
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

// The small icon at 100, 125 and 150 % scaling, the large one, and
// Explorer's largest view: none of them shrunk from another size.
const std::set<int> kSizes{16, 20, 24, 32, 48, 256};

TEST(ApplicationIcon, HasAnImageForEverySizeWindowsAsksFor) { EXPECT_EQ(IconSizes(), kSizes); }

TEST(ApplicationIcon, IsARedRingOnATransparentGround) {
  for (int size : kSizes) {
    EXPECT_TRUE(Reddish(PixelOfIconOnWhite(size, 1, size / 2))) << size << ": the ring's left edge";
    EXPECT_EQ(PixelOfIconOnWhite(size, 0, 0), RGB(255, 255, 255)) << size << ": the corner shows through";
  }
}

}  // namespace
