// The password prompt, shown modally and answered from a second thread.

#include <gtest/gtest.h>

#include <windows.h>

#include "MemoryStore.h"
#include "Password.h"
#include "Settings.h"
#include "harness/Dialogs.h"
#include "harness/Prompts.h"
#include "resource.h"

namespace {

using harness::ControlText;

const std::wstring kWrong = L"パスワードが違います";

class PasswordPrompt : public ::testing::Test {
 protected:
  void SetUp() override {
    MemoryStore store;
    LoadAllSettings(store, [](std::string_view) { return false; });
  }
  // Shows the prompt, lets user answer it, and returns AskPassword's result.
  bool Ask(const std::function<void(HWND)>& user) {
    harness::DialogDriver driver(L"Varnel印鑑", user);
    const bool result = AskPassword(nullptr);
    found = driver.Found();
    return result;
  }
  bool found = false;
};

TEST_F(PasswordPrompt, RightPasswordByButtonOrEnter) {
  ASSERT_TRUE(SetUserPassword("secret"));
  EXPECT_TRUE(Ask([](HWND prompt) {
    harness::TypeText(prompt, IDC_PASSWORD_EDIT1, L"secret");
    harness::Click(prompt, IDOK);
  }));
  EXPECT_TRUE(found);
  EXPECT_TRUE(Ask([](HWND prompt) {
    harness::TypeText(prompt, IDC_PASSWORD_EDIT1, L"secret");
    harness::PressKey(prompt, IDC_PASSWORD_EDIT1, VK_RETURN);
  }));
}

TEST_F(PasswordPrompt, WrongPasswordIsReportedAndThePromptStaysForAnotherTry) {
  ASSERT_TRUE(SetUserPassword("secret"));
  bool reported = false, reportedAgain = false;
  std::wstring kept;
  const bool result = Ask([&](HWND prompt) {
    harness::TypeText(prompt, IDC_PASSWORD_EDIT1, L"Secret");
    harness::PostClick(prompt, IDOK);
    reported = harness::AnswerMessageBox(L"Varnel印鑑", kWrong);
    kept = ControlText(prompt, IDC_PASSWORD_EDIT1);
    harness::PressKey(prompt, IDC_PASSWORD_EDIT1, VK_RETURN);
    reportedAgain = harness::AnswerMessageBox(L"Varnel印鑑", kWrong);
    harness::SetControlText(prompt, IDC_PASSWORD_EDIT1, L"secret");
    harness::PostClick(prompt, IDOK);
  });
  EXPECT_TRUE(reported) << "no message box reported the wrong password";
  EXPECT_TRUE(reportedAgain) << "a second wrong try is reported too";
  EXPECT_EQ(kept, L"Secret") << "the text stays as typed";
  EXPECT_TRUE(result) << "the prompt stayed open and took the right password";
}

TEST_F(PasswordPrompt, EighteenCharactersAreTakenTheNineteenthIsRefused) {
  ASSERT_TRUE(SetUserPassword("abcdefghijklmnopqr"));
  std::wstring typed;
  LRESULT maskCharacter = 0;
  EXPECT_TRUE(Ask([&](HWND prompt) {
    harness::TypeText(prompt, IDC_PASSWORD_EDIT1, L"abcdefghijklmnopqrs");
    typed = ControlText(prompt, IDC_PASSWORD_EDIT1);
    maskCharacter = SendDlgItemMessageW(prompt, IDC_PASSWORD_EDIT1, EM_GETPASSWORDCHAR, 0, 0);
    harness::Click(prompt, IDOK);
  }));
  EXPECT_EQ(typed, L"abcdefghijklmnopqr");
  EXPECT_EQ(maskCharacter, L'X');
}

TEST_F(PasswordPrompt, CancelEscAndClosingRefuseEvenTheRightPassword) {
  ASSERT_TRUE(SetUserPassword("secret"));
  auto typeThen = [](auto finish) {
    return [finish](HWND prompt) {
      harness::TypeText(prompt, IDC_PASSWORD_EDIT1, L"secret");
      finish(prompt);
    };
  };
  EXPECT_FALSE(Ask(typeThen([](HWND prompt) { harness::Click(prompt, IDCANCEL); })));
  EXPECT_TRUE(found);
  EXPECT_FALSE(Ask(typeThen([](HWND prompt) { harness::PressKey(prompt, IDC_PASSWORD_EDIT1, VK_ESCAPE); })));
  EXPECT_FALSE(Ask(typeThen([](HWND prompt) { PostMessageW(prompt, WM_CLOSE, 0, 0); })));
}

TEST_F(PasswordPrompt, EmptyStoredPasswordAcceptsAnEmptyEntryOnly) {
  EXPECT_TRUE(Ask([](HWND prompt) { harness::Click(prompt, IDOK); }));
  bool reported = false;
  EXPECT_FALSE(Ask([&](HWND prompt) {
    harness::TypeText(prompt, IDC_PASSWORD_EDIT1, L"x");
    harness::PostClick(prompt, IDOK);
    reported = harness::AnswerMessageBox(L"Varnel印鑑", kWrong);
    harness::Click(prompt, IDCANCEL);
  }));
  EXPECT_TRUE(reported);
}

TEST_F(PasswordPrompt, CharacterOutsideCodePage932IsAWrongPasswordNotAQuestionMark) {
  ASSERT_TRUE(SetUserPassword("?"));
  bool reported = false;
  // Not inside an assertion: its stringified text could not be code page 932.
  const bool accepted = Ask([&](HWND prompt) {
    harness::TypeText(prompt, IDC_PASSWORD_EDIT1, L"é");
    harness::PostClick(prompt, IDOK);
    reported = harness::AnswerMessageBox(L"Varnel印鑑", kWrong);
    harness::Click(prompt, IDCANCEL);
  });
  EXPECT_FALSE(accepted);
  EXPECT_TRUE(reported);
}

// The bold label keeps its weight and takes the size of a new monitor's DPI,
// as the dialog manager gives the other controls theirs.
TEST_F(PasswordPrompt, TheBoldLabelIsMadeAnewAtANewDpi) {
  auto labelFont = [](HWND prompt) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(prompt, IDC_PASSWORD_LABEL, WM_GETFONT, 0, 0)),
               sizeof font, &font);
    return font;
  };
  auto moveTo = [](HWND prompt, UINT dpi) {
    RECT r{};
    GetWindowRect(prompt, &r);
    SendMessageW(prompt, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r));
  };
  Ask([&](HWND prompt) {
    const LOGFONTW before = labelFont(prompt);
    EXPECT_EQ(before.lfWeight, FW_BOLD);
    moveTo(prompt, 192);
    const LOGFONTW doubled = labelFont(prompt);
    EXPECT_EQ(doubled.lfWeight, FW_BOLD);
    EXPECT_EQ(doubled.lfHeight, 2 * before.lfHeight);
    EXPECT_STREQ(doubled.lfFaceName, before.lfFaceName);
    moveTo(prompt, 96);
    EXPECT_EQ(labelFont(prompt).lfHeight, before.lfHeight);
    harness::Click(prompt, IDCANCEL);
  });
  EXPECT_TRUE(found);
}

}  // namespace
