// The date-change dialog, shown modally and driven by control ID.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "Datechng.h"
#include "MemoryStore.h"
#include "Settings.h"
#include "harness/Dialogs.h"
#include "resource.h"

namespace {

class DateDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    MemoryStore store;
    LoadAllSettings(store, [](std::string_view) { return false; });
  }
  std::wstring shown;
};

TEST_F(DateDialog, ArrowsStepWholeDaysFromTodayAndOkReturnsTheField) {
  FixedClock clock({2020, 3, 1});
  std::string result;
  {
    harness::DialogDriver user(L"Varnel印鑑", [&](HWND dialog) {
      shown = harness::ControlText(dialog, IDC_DATE_EDIT1);
      harness::SetControlText(dialog, IDC_DATE_EDIT1, L"typed over");
      harness::Click(dialog, IDC_DATE_BUTTON2);
      harness::Click(dialog, IDC_DATE_BUTTON2);
      harness::Click(dialog, IDC_DATE_BUTTON3);
      harness::Click(dialog, IDOK);
    });
    result = AskDateChange(nullptr, "20.03.01", clock);
    EXPECT_TRUE(user.Found());
  }
  EXPECT_EQ(shown, L"20.03.01");
  EXPECT_EQ(result, "20.02.29") << "two days back and one forward from today, whatever was typed";
}

TEST_F(DateDialog, EnterClosesAndTheHeaderAndYearStyleApply) {
  DateSealSettings.Main.Years = 1;
  std::memcpy(DateSealSettings.Main.Header, "令和", 5);
  FixedClock clock({2019, 4, 30});
  std::string result;
  {
    harness::DialogDriver user(L"Varnel印鑑", [&](HWND dialog) {
      harness::Click(dialog, IDC_DATE_BUTTON3);
      harness::PressKey(dialog, IDC_DATE_EDIT1, VK_RETURN);
    });
    result = AskDateChange(nullptr, "令和31.04.30", clock);
  }
  EXPECT_EQ(result, "令和01.05.01") << "the era year steps at the era's first day";
}

TEST_F(DateDialog, ClosingByTheWindowStillTakesTheField) {
  std::string result;
  {
    harness::DialogDriver user(L"Varnel印鑑", [&](HWND dialog) {
      harness::SetControlText(dialog, IDC_DATE_EDIT1, L"手書き");
      PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    result = AskDateChange(nullptr, "19.05.01");
  }
  EXPECT_EQ(result, "手書き");
}

}  // namespace
