// The windows built from pixel coordinates on a monitor of another DPI:
// Windows tells them with WM_DPICHANGED (Wine's one DPI never changes, so
// the message is sent here as Windows sends it), and every control goes to
// its place at the new DPI while the stamp stays as it was.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "FileSystem.h"
#include "Shell.h"
#include "MenuIds.h"
#include "NameSeal.h"
#include "RegistryStore.h"
#include "Settings.h"
#include "Smpstamp.h"
#include "Tasktray.h"
#include "harness/Clipboard.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

RECT ChildRect(HWND parent, int id) {
  RECT r{};
  HWND child = GetDlgItem(parent, id);
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// WM_DPICHANGED as Windows sends it: the new DPI and the window's rectangle
// scaled to it.
void MoveToDpi(HWND window, UINT from, UINT to) {
  RECT r;
  GetWindowRect(window, &r);
  RECT suggested{r.left, r.top, r.left + MulDiv(r.right - r.left, to, from), r.top + MulDiv(r.bottom - r.top, to, from)};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
}

int FontHeight(HWND control) {
  LOGFONTW font{};
  const HFONT handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  return handle && GetObjectW(handle, sizeof font, &font) ? std::abs(font.lfHeight) : 0;
}

class Dpi : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::WriteQuietSettings();
    ASSERT_TRUE(tray.Create());
    ASSERT_TRUE(pad.Create(tray.Handle()));
    ASSERT_TRUE(toolbar.Create(tray.Handle()));
    ConnectShell(store, tray, pad, toolbar, nullptr);
    ASSERT_TRUE(pad.FormCreate(tray));
  }
  void TearDown() override { harness::DeleteTree(L"Software\\Qdx"); }

  RegistryStore store;
  TTaskTrayForm tray{store};
  TForm1 pad{store, tray.Ready};
  TSimpleStamp toolbar{store, pad.Desk()};
};

TEST_F(Dpi, TheStampPadMovesEveryPreviewAndLabelToTheNewDpiAndStampsAsBefore) {
  const RECT name = ChildRect(pad.Handle(), IDC_IMAGE1), date = ChildRect(pad.Handle(), IDC_IMAGE2);
  ASSERT_EQ(name.right - name.left, 49) << "this test runs at 96 dpi";
  MoveToDpi(pad.Handle(), 96, 192);
  const RECT name2 = ChildRect(pad.Handle(), IDC_IMAGE1), date2 = ChildRect(pad.Handle(), IDC_IMAGE2);
  EXPECT_EQ(name2.left, 2 * name.left);
  EXPECT_EQ(name2.right - name2.left, 98);
  EXPECT_EQ(date2.top, 2 * date.top);
  EXPECT_EQ(date2.bottom - date2.top, 138);
  RECT client;
  GetClientRect(pad.Handle(), &client);
  EXPECT_GE(client.bottom, date2.bottom) << "the window holds the previews";

  // The seal itself does not change with the display.
  harness::PutClipboardText("before");
  SendMessageW(pad.Handle(), WM_COMMAND, IDM_N2, 0);
  const auto bytes = harness::ClipboardBytes(CF_DIB);
  ASSERT_TRUE(bytes && bytes->size() >= sizeof(BITMAPINFOHEADER));
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes->data(), sizeof header);
  EXPECT_EQ(header.biWidth, NameSealSide(NameSealSettings));

  MoveToDpi(pad.Handle(), 192, 96);
  const RECT back = ChildRect(pad.Handle(), IDC_IMAGE1);
  EXPECT_TRUE(EqualRect(&name, &back)) << "back on the first monitor, as it was";
}

TEST_F(Dpi, TheToolbarPlacesItsButtonsAndTheirFontAtTheNewDpi) {
  HWND bar = toolbar.Handle();
  const RECT first = ChildRect(bar, IDC_SS_BUTTON1), last = ChildRect(bar, IDC_SS_EDITMODE);
  const int font = FontHeight(GetDlgItem(bar, IDC_SS_BUTTON1));
  ASSERT_GT(font, 0);
  MoveToDpi(bar, 96, 144);
  const RECT first2 = ChildRect(bar, IDC_SS_BUTTON1), last2 = ChildRect(bar, IDC_SS_EDITMODE);
  EXPECT_EQ(first2.bottom - first2.top, MulDiv(first.bottom - first.top, 3, 2));
  EXPECT_EQ(last2.top, MulDiv(last.top, 3, 2));
  EXPECT_EQ(FontHeight(GetDlgItem(bar, IDC_SS_BUTTON1)), MulDiv(font, 3, 2));
  RECT client;
  GetClientRect(bar, &client);
  EXPECT_GE(client.bottom, last2.bottom) << "the edit button is not cut off";
}

}  // namespace
