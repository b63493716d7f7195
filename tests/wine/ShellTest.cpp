// The program's windows in this process, wired as the program wires them:
// every item of the stamp pad's menu and the tray menu, found by its caption
// in the real menus, sent its command; and a stamp that fails half-way.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "DateSeal.h"
#include "FileSystem.h"
#include "Mainform.h"
#include "Message.h"
#include "Shell.h"
#include "NameSeal.h"
#include "RegistryStore.h"
#include "Settings.h"
#include "Smpstamp.h"
#include "Tasktray.h"
#include "harness/Clipboard.h"
#include "harness/Dialogs.h"
#include "harness/Pixels.h"
#include "harness/Process.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "MenuIds.h"
#include "resource.h"

namespace {

const std::wstring kCaption = L"Varnel印鑑";
const wchar_t kSealFile[] = L"shell-test-seal.bmp";
constexpr int kBitmapSealSide = 150;

// The command of the item with this caption, anywhere in the menu; 0 when none.
UINT ItemByCaption(HMENU menu, const std::wstring& caption) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      if (const UINT id = ItemByCaption(sub, caption)) return id;
      continue;
    }
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
    if (caption == text) return GetMenuItemID(menu, i);
  }
  return 0;
}

bool Enabled(HMENU menu, UINT id) { return !(GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)); }

class Shell : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::WriteQuietSettings();
    const std::string seal = harness::WhiteBmpFile(kBitmapSealSide);
    ASSERT_TRUE(harness::WriteWholeFile(kSealFile, seal.data(), seal.size()));
    harness::WriteString(harness::kRoot, L"Bitmap1", kSealFile);
    ASSERT_TRUE(tray.Create());
    ASSERT_TRUE(pad.Create(tray.Handle()));
    ASSERT_TRUE(toolbar.Create(tray.Handle()));
    ConnectShell(store, tray, pad, toolbar, nullptr);
    pad.Desk().ShowInformation = [this](const StampNotice&) { ++informationShown; };
    ASSERT_TRUE(pad.FormCreate(tray));
  }
  void TearDown() override {
    harness::DeleteTree(L"Software\\Qdx");
    DeleteFileW(kSealFile);
  }

  HMENU PadMenu() const { return GetMenu(pad.Handle()); }
  // Sends a menu command; a box or dialog it opens is answered by `answer`.
  void Command(HWND window, UINT id, const std::wstring& dialogCaption = L"", int answer = IDOK) {
    ASSERT_NE(id, 0u);
    if (dialogCaption.empty()) {
      SendMessageW(window, WM_COMMAND, id, 0);
    } else {
      harness::DialogDriver user(dialogCaption, [this, answer](HWND box) {
        dialogText = harness::BoxText(box);
        harness::PressButton(box, answer);
      });
      SendMessageW(window, WM_COMMAND, id, 0);
      EXPECT_TRUE(user.Found()) << "the command opens \"" << dialogCaption << "\"";
    }
  }
  // Which seal the clipboard's DIB is, by its width; 0 when none.
  static int StampedWidth() {
    const auto bytes = harness::ClipboardBytes(CF_DIB);
    if (!bytes || bytes->size() < sizeof(BITMAPINFOHEADER)) return 0;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes->data(), sizeof header);
    return header.biWidth;
  }
  int StampedBy(HWND window, UINT id) {
    harness::PutClipboardText("before");
    Command(window, id);
    return StampedWidth();
  }

  RegistryStore store;
  TTaskTrayForm tray{store};
  TForm1 pad{store, tray.Ready};
  TSimpleStamp toolbar{store, pad.Desk()};
  int informationShown = 0;
  std::wstring dialogText;
};

TEST_F(Shell, EveryStampPadMenuItemDoesWhatItsCaptionSays) {
  const int name = NameSealSide(NameSealSettings), date = DateSealSide(DateSealSettings);
  ASSERT_NE(name, date);
  HWND padWindow = pad.Handle();
  HMENU menu = PadMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(StampedBy(padWindow, ItemByCaption(menu, L"認印を押印(&N)")), name);
  EXPECT_EQ(StampedBy(padWindow, ItemByCaption(menu, L"日付印を押印(&D)")), date);
  ASSERT_TRUE(Enabled(menu, ItemByCaption(menu, L"ビットマップ印を押印(&B)"))) << "the bitmap seal file exists";
  EXPECT_EQ(StampedBy(padWindow, ItemByCaption(menu, L"ビットマップ印を押印(&B)")), kBitmapSealSide);
  EXPECT_EQ(informationShown, 3);

  Command(padWindow, ItemByCaption(menu, L"バージョン情報((&V)"), L"ﾊﾞｰｼﾞｮﾝ情報");
  EXPECT_EQ(tray.Ready, 1);

  Command(padWindow, ItemByCaption(menu, L"PDFに押印…"), L"PDFに押印", IDCANCEL);
  Command(padWindow, ItemByCaption(menu, L"押印履歴…"), L"押印履歴", IDCANCEL);

  const bool toolbarShown = toolbar.Visible();
  Command(padWindow, ItemByCaption(menu, L"角印ツールバー表示ON/OFF (&T)"));
  EXPECT_NE(toolbar.Visible(), toolbarShown);

  Command(padWindow, ItemByCaption(menu, L"Varnel印鑑を終了(&X)"), kCaption, IDCANCEL);
  EXPECT_EQ(dialogText, L"Varnel印鑑を終了します");
  // Closing the pad hides it, then asks whether to end the program.
  Command(padWindow, ItemByCaption(menu, L"このスタンプ台を閉じる(&C)"), kCaption, IDCANCEL);
  EXPECT_EQ(dialogText, L"Varnel印鑑を終了します");
  EXPECT_FALSE(pad.Visible());
  EXPECT_TRUE(IsWindow(tray.Handle())) << "cancelled: the program goes on";
  EXPECT_FALSE(Enabled(menu, ItemByCaption(menu, L"ユーザー切替(&U)"))) << "no user-selection program runs";
}

TEST_F(Shell, EveryTrayMenuItemDoesWhatItsCaptionSays) {
  const int name = NameSealSide(NameSealSettings), date = DateSealSide(DateSealSettings);
  HWND trayWindow = tray.Handle();
  HMENU menu = tray.PopupMenu1;
  EXPECT_EQ(StampedBy(trayWindow, ItemByCaption(menu, L"認印を押印")), name);
  EXPECT_EQ(StampedBy(trayWindow, ItemByCaption(menu, L"日付印を押印")), date);
  EXPECT_EQ(StampedBy(trayWindow, ItemByCaption(menu, L"ビットマップ印を押印")), kBitmapSealSide);

  Command(trayWindow, ItemByCaption(menu, L"Varnel印鑑について"), L"ﾊﾞｰｼﾞｮﾝ情報");
  Command(trayWindow, ItemByCaption(menu, L"PDFに押印…"), L"PDFに押印", IDCANCEL);
  Command(trayWindow, ItemByCaption(menu, L"押印履歴…"), L"押印履歴", IDCANCEL);

  const bool toolbarShown = toolbar.Visible();
  Command(trayWindow, ItemByCaption(menu, L"角印ツールバー表示/非表示"));
  EXPECT_NE(toolbar.Visible(), toolbarShown);

  ASSERT_TRUE(pad.Visible());
  Command(trayWindow, ItemByCaption(menu, L"スタンプ台表示/非表示"), kCaption, IDCANCEL);
  EXPECT_FALSE(pad.Visible()) << "a shown pad is closed";
  Command(trayWindow, ItemByCaption(menu, L"スタンプ台表示/非表示"));
  EXPECT_TRUE(pad.Visible()) << "a closed pad is shown";
  ShowWindow(pad.Handle(), SW_MINIMIZE);
  Command(trayWindow, ItemByCaption(menu, L"スタンプ台表示/非表示"));
  EXPECT_TRUE(pad.Visible() && !IsIconic(pad.Handle())) << "a minimised pad is restored, not closed";

  Command(trayWindow, ItemByCaption(menu, L"Varnel印鑑の終了"), kCaption, IDCANCEL);
  EXPECT_EQ(dialogText, L"Varnel印鑑を終了します");
  EXPECT_TRUE(IsWindow(trayWindow));
  EXPECT_FALSE(Enabled(menu, ItemByCaption(menu, L"ユーザー切替")));
}

TEST_F(Shell, AStampThatFailsHalfWayLeavesTheProgramAnsweringRequests) {
  OptionSettings.CheckDate = 1;
  pad.Seal.AskDate = [](std::string_view) -> std::string { throw std::runtime_error("the date prompt failed"); };
  harness::VrnCtlLibrary ctl;
  {
    harness::DialogDriver user(kCaption, [this](HWND box) {
      dialogText = harness::BoxText(box);
      harness::PressButton(box, IDOK);
    });
    ASSERT_NE(ctl.Call("_DateStampEx"), 0);
    for (int i = 0; i < 200 && dialogText.empty(); ++i) harness::PumpFor(20);
  }
  EXPECT_EQ(dialogText, L"the date prompt failed") << "the failure is shown to the user";
  EXPECT_EQ(tray.Ready, 1) << "idle again";
  EXPECT_FALSE(pad.Seal.ExternalRequest);
  EXPECT_TRUE(Enabled(tray.PopupMenu1, IDM_TRAY_NAMESTAMP)) << "the tray menu is usable";
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(pad.Handle(), IDC_IMAGE1))) << "and the previews";

  harness::PutClipboardText("before");
  ASSERT_NE(ctl.Call("_NameStamp"), 0);
  for (int i = 0; i < 200 && StampedWidth() == 0; ++i) harness::PumpFor(20);
  EXPECT_EQ(StampedWidth(), NameSealSide(NameSealSettings)) << "the next request is served";
}

}  // namespace
