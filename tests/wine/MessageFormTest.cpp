// The information message after a stamp: a non-modal form on this thread,
// driven through its controls and through the message loop's key handling.

#include <gtest/gtest.h>

#include <windows.h>

#include "MemoryStore.h"
#include "Message.h"
#include "harness/Dialogs.h"
#include "Settings.h"
#include "resource.h"

namespace {

class MessageForm : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadAllSettings(store, [](std::string_view) { return false; });
    store.ClearWriteLog();
    ASSERT_TRUE(form.Create(nullptr));
  }

  HWND Form() const { return form.Handle(); }
  bool Ticked(int id) const { return IsDlgButtonChecked(Form(), id) == BST_CHECKED; }
  // The four format boxes as a string of 0s and 1s.
  std::string Boxes() const {
    std::string boxes;
    for (int id = IDC_MESSAGE_CHECKBOX1; id <= IDC_MESSAGE_CHECKBOX4; ++id) boxes += Ticked(id) ? '1' : '0';
    return boxes;
  }
  void Click(int id) { SendMessageW(GetDlgItem(Form(), id), BM_CLICK, 0, 0); }
  // A key pressed in one of the form's controls, through the program's loop.
  void PressKey(int id, UINT key) {
    PostMessageW(GetDlgItem(Form(), id), WM_KEYDOWN, key, 1);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (form.IsDialogMessage(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  bool Shown() const { return IsWindowVisible(Form()) != FALSE; }

  MemoryStore store;
  int exits = 0;
  int hides = 0;
  TMessageForm form{store, {[this] { ++exits; }, [this] { ++hides; }}};
};

TEST_F(MessageForm, BoxesShowTheClipboardFormatsOfTheLatestStamp) {
  const std::pair<int, std::string> cases[] = {{0, "1001"}, {1, "0110"}, {2, "1111"}};
  for (const auto& [format, boxes] : cases) {
    OptionSettings.ClipboardFormat = format;
    form.ShowMessage();
    EXPECT_EQ(Boxes(), boxes) << "ClipboardFormat " << format;
  }
  EXPECT_TRUE(Shown());

  form.MetafileOnly = 1;
  form.ShowMessage();
  EXPECT_EQ(Boxes(), "1001") << "metafile only, whatever ClipboardFormat says";
  EXPECT_EQ(form.MetafileOnly, 0);
  form.ShowMessage();
  EXPECT_EQ(Boxes(), "1111") << "MetafileOnly holds for one showing";

  OptionSettings.ClipboardFormat = 1;
  form.ShowMessage();
  OptionSettings.ClipboardFormat = 7;
  form.ShowMessage();
  EXPECT_EQ(Boxes(), "0110") << "an unknown format leaves the boxes";

  Click(IDC_MESSAGE_CHECKBOX1);
  Click(IDC_MESSAGE_CHECKBOX2);
  EXPECT_EQ(Boxes(), "0110") << "the user cannot change them";

  // A format the platform refused is not claimed.
  OptionSettings.ClipboardFormat = 2;
  form.ShowMessage({true, true, false});
  EXPECT_EQ(Boxes(), "1001") << "the DIB (and the bitmap made of it) was not placed";
  form.ShowMessage({false, false, true});
  EXPECT_EQ(Boxes(), "0110");
}

TEST_F(MessageForm, ThePngIsNamedWhenItWasAskedForAndPlaced) {
  OptionSettings.ClipboardFormat = 2;
  OptionSettings.ClipboardPng = 1;
  form.ShowMessage({true, true, true, true});
  EXPECT_TRUE(Ticked(IDC_MESSAGE_CHECKBOX5));
  EXPECT_EQ(Boxes(), "1111");
  form.ShowMessage({true, true, true, false});
  EXPECT_FALSE(Ticked(IDC_MESSAGE_CHECKBOX5)) << "refused by the platform: not claimed";
  form.ShowNotice({{true, true, true, false}, false, true, L""});
  EXPECT_FALSE(Ticked(IDC_MESSAGE_CHECKBOX5));
  EXPECT_NE(harness::ControlText(form.Handle(), IDC_MESSAGE_CHECKBOX5).find(L"コピーガード"), std::wstring::npos)
      << "left out for the copy guard: the message says so";
  form.ShowMessage({true, true, true, true});
  EXPECT_EQ(harness::ControlText(form.Handle(), IDC_MESSAGE_CHECKBOX5), L"ＰＮＧ画像（透過）");
  form.MetafileOnly = 1;
  form.ShowMessage({true, true, false, true});
  EXPECT_TRUE(Ticked(IDC_MESSAGE_CHECKBOX5)) << "a text stamp's PNG";
  EXPECT_EQ(Boxes(), "1001");
  OptionSettings.ClipboardPng = 0;
  form.ShowMessage();
  EXPECT_FALSE(Ticked(IDC_MESSAGE_CHECKBOX5)) << "not asked for";
}

TEST_F(MessageForm, DontShowAgainSavesShowMessageAndSkipsTheActionOnce) {
  OptionSettings.TerminateAsStamped = 1;
  form.ShowMessage();
  Click(IDC_MESSAGE_NONDISP);
  ASSERT_TRUE(Ticked(IDC_MESSAGE_NONDISP));
  Click(IDOK);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(OptionSettings.ShowMessage, 0);
  EXPECT_EQ(store.Get("Software\\Qdx\\Varnel", "ShowMessage"), "0");
  EXPECT_EQ(exits, 0);
  EXPECT_EQ(hides, 0);
}

TEST_F(MessageForm, ShowingClearsTheDontShowAgainBox) {
  form.ShowMessage();
  Click(IDC_MESSAGE_NONDISP);
  form.ShowMessage();
  EXPECT_FALSE(Ticked(IDC_MESSAGE_NONDISP));
}

TEST_F(MessageForm, ClosingCarriesOutTheAfterStampActionOnce) {
  OptionSettings.TerminateAsStamped = 1;
  form.ShowMessage();
  Click(IDOK);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(hides, 0);

  OptionSettings.TerminateAsStamped = 2;
  form.ShowMessage();
  PressKey(IDOK, VK_RETURN);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(hides, 1);

  form.ShowMessage();
  PressKey(IDC_MESSAGE_NONDISP, VK_ESCAPE);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(hides, 2) << "Esc closes from any control";

  form.ShowMessage();
  SendMessageW(Form(), WM_CLOSE, 0, 0);
  EXPECT_EQ(hides, 3) << "the close box is a close like the others";
  SendMessageW(Form(), WM_CLOSE, 0, 0);
  EXPECT_EQ(hides, 3) << "a hidden message is not closed again";

  OptionSettings.TerminateAsStamped = 0;
  form.ShowMessage();
  Click(IDOK);
  EXPECT_EQ(exits + hides, 4);
  EXPECT_TRUE(store.WriteLog().empty()) << "nothing is saved unless the box is ticked";
}

TEST_F(MessageForm, OneWindowReusedAcrossShowings) {
  HWND first = Form();
  form.ShowMessage();
  Click(IDOK);
  EXPECT_TRUE(form.Create(nullptr));
  form.ShowMessage();
  EXPECT_EQ(Form(), first);
  EXPECT_TRUE(Shown());
}

}  // namespace
