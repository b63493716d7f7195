// What the stamp desk promises whatever the order: every way out of a stamp
// ends idle with another program's request served, a refused password
// leaves the clipboard alone, a new stamp ends the retries of an earlier
// clearing, and a clear asked for by another program stops the clear timer.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <stdexcept>

#include "Shell.h"
#include "RegistryStore.h"
#include "Settings.h"
#include "harness/Clipboard.h"
#include "harness/Dialogs.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"

namespace {

// A put that places a text, as a stamp places its pictures.
StampPut PutText(ClipboardWriter& clipboard) {
  UniqueHglobal block(GlobalAlloc(GMEM_MOVEABLE, 6));
  std::memcpy(GlobalLockGuard(block.get()).get(), "stamp", 6);
  clipboard.PutGlobal(CF_TEXT, std::move(block));
  return {};
}

bool ClipboardHasText(const char* text) {
  const auto bytes = harness::ClipboardBytes(CF_TEXT);
  return bytes && std::strcmp(reinterpret_cast<const char*>(bytes->data()), text) == 0;
}

class Desk : public ::testing::Test {
 protected:
  void SetUp() override {
    OptionSettings.PasswordOnStamp = 1;
    OptionSettings.ShowMessage = 0;
    OptionSettings.TerminateAsStamped = 0;
    OptionSettings.ClipBrdClear = 0;
    ASSERT_TRUE(desk.Create());
    ASSERT_TRUE(harness::PutClipboardText("previous contents"));
  }

  std::uint8_t ready = 1;
  SealForm seal;
  StampDesk desk{ready, seal};
};

TEST_F(Desk, EveryWayOutOfAStampEndsIdleWithTheRequestServed) {
  const struct {
    const char* way;
    bool refusePassword;
    std::function<StampPut(ClipboardWriter&)> put;
  } ways[] = {
      {"placed", false, PutText},
      {"reported", false, [](ClipboardWriter&) { return StampPut{true, L"", false, std::nullopt}; }},
      {"thrown", false, [](ClipboardWriter&) -> StampPut { throw std::runtime_error("failed half-way"); }},
      {"password refused", true, PutText},
  };
  for (const auto& way : ways) {
    harness::PutClipboardText("previous contents");
    OptionSettings.PasswordOnStamp = way.refusePassword ? 0 : 1;
    bool ran = false, busyWhileRunning = false, externalWhileRunning = false;
    StampOrder order;
    order.put = [&](ClipboardWriter& clipboard) {
      ran = true;
      busyWhileRunning = desk.Busy();
      externalWhileRunning = seal.ExternalRequest;
      return way.put(clipboard);
    };
    harness::DialogDriver user(L"Varnel印鑑", [](HWND prompt) { harness::Click(prompt, IDCANCEL); });
    desk.Serve({StampTrigger::kVrnCtl, true}, [&] {
      try {
        desk.Stamp(order);
      } catch (const std::runtime_error&) {
      }
    });
    EXPECT_EQ(ready, 1) << way.way;
    EXPECT_FALSE(seal.ExternalRequest) << way.way;
    EXPECT_EQ(ran, !way.refusePassword) << way.way;
    EXPECT_EQ(busyWhileRunning && externalWhileRunning, !way.refusePassword) << way.way;
    if (way.refusePassword) {
      EXPECT_TRUE(ClipboardHasText("previous contents")) << "the clipboard is left alone";
    }
  }
}

TEST_F(Desk, ANewStampEndsTheRetriesOfAnEarlierClearing) {
  {
    const harness::ClipboardHeld elsewhere;
    desk.Clearing().ClearClipboardAutomatically();
    EXPECT_TRUE(desk.Clearing().ClearRetryPending()) << "held by another program: tried again later";
  }
  desk.Stamp(StampOrder{nullptr, false, AfterStamp::HideStampPadAndToolbar, false, PutText});
  EXPECT_FALSE(desk.Clearing().ClearRetryPending()) << "the retries were for the seal the stamp replaced";
  EXPECT_TRUE(ClipboardHasText("stamp"));
}

TEST(DeskShell, AClearAskedForByAnotherProgramStopsTheClearTimer) {
  harness::WriteQuietSettings();
  harness::WriteString(harness::kRoot, L"ClipBrdClear", L"2");
  harness::WriteString(harness::kRoot, L"ShowMessage", L"0");
  RegistryStore store;
  TTaskTrayForm tray{store};
  TForm1 pad{store, tray.Ready};
  TSimpleStamp toolbar{store, pad.Desk()};
  ASSERT_TRUE(tray.Create() && pad.Create(tray.Handle()) && toolbar.Create(tray.Handle()));
  ConnectShell(store, tray, pad, toolbar, nullptr);
  ASSERT_TRUE(pad.FormCreate(tray));
  SendMessageW(tray.Handle(), kControlMessage, 1, 0);
  ASSERT_TRUE(pad.Desk().Clearing().ClearTimerEnabled()) << "the name seal arms the clear timer";
  SendMessageW(tray.Handle(), kControlMessage, 4, 0);
  EXPECT_TRUE(harness::ClipboardFormats().empty()) << "code 4 empties the clipboard";
  EXPECT_FALSE(pad.Desk().Clearing().ClearTimerEnabled())
      << "and stops the timer, which would later empty what the user copies next";
  harness::DeleteTree(L"Software\\Qdx");
}

}  // namespace
