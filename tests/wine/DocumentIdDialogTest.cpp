// The document-ID prompt of a guarded stamp, answered from a second thread.

#include <gtest/gtest.h>

#include <windows.h>

#include "Docidform.h"
#include "harness/Dialogs.h"
#include "harness/Prompts.h"
#include "resource.h"

namespace {

// The prompt has no caption bar; its window text is its label.
const std::wstring kTitle = L"押印先文書の文書ID";

DocumentIdAnswer Ask(const std::function<void(HWND)>& user, bool* found = nullptr) {
  harness::DialogDriver driver(kTitle, user);
  DocumentIdAnswer answer = AskDocumentId(nullptr);
  if (found) *found = driver.Found();
  return answer;
}

TEST(DocumentIdPrompt, OkTakesTheTextInCodePage932) {
  bool found = false;
  LONG style = 0;
  const DocumentIdAnswer answer = Ask(
      [&](HWND prompt) {
        style = GetWindowLongW(prompt, GWL_STYLE);
        harness::TypeText(prompt, IDC_DOCID_DID, L"契約-0042");
        harness::Click(prompt, IDOK);
      },
      &found);
  ASSERT_TRUE(found);
  EXPECT_TRUE(answer.Accepted);
  EXPECT_EQ(answer.Text, "契約-0042");
  EXPECT_EQ(style & WS_CAPTION, 0) << "captionless";
  EXPECT_EQ(style & WS_SYSMENU, 0) << "without border icons";
}

TEST(DocumentIdPrompt, EnterAcceptsEscAndCancelDoNot) {
  const DocumentIdAnswer entered = Ask([](HWND prompt) {
    harness::TypeText(prompt, IDC_DOCID_DID, L"A1");
    harness::PressKey(prompt, IDC_DOCID_DID, VK_RETURN);
  });
  EXPECT_TRUE(entered.Accepted);
  EXPECT_EQ(entered.Text, "A1");
  const DocumentIdAnswer escaped = Ask([](HWND prompt) {
    harness::TypeText(prompt, IDC_DOCID_DID, L"A1");
    harness::PressKey(prompt, IDC_DOCID_DID, VK_ESCAPE);
  });
  EXPECT_FALSE(escaped.Accepted);
  const DocumentIdAnswer cancelled = Ask([](HWND prompt) {
    harness::TypeText(prompt, IDC_DOCID_DID, L"A1");
    harness::Click(prompt, IDCANCEL);
  });
  EXPECT_FALSE(cancelled.Accepted);
}

TEST(DocumentIdPrompt, TenCharactersEvenWhenEachTakesTwoBytes) {
  const DocumentIdAnswer ascii = Ask([](HWND prompt) {
    harness::TypeText(prompt, IDC_DOCID_DID, L"0123456789X");
    harness::Click(prompt, IDOK);
  });
  EXPECT_EQ(ascii.Text, "0123456789");
  const DocumentIdAnswer wide = Ask([](HWND prompt) {
    harness::TypeText(prompt, IDC_DOCID_DID, L"一二三四五六七八九十百");
    harness::Click(prompt, IDOK);
  });
  EXPECT_EQ(wide.Text, "一二三四五六七八九十");
  EXPECT_EQ(wide.Text.size(), 20u);
}

TEST(DocumentIdPrompt, TextOutsideCodePage932KeepsThePromptOpen) {
  bool stillShown = false;
  const DocumentIdAnswer answer = Ask([&](HWND prompt) {
    harness::TypeText(prompt, IDC_DOCID_DID, L"é");
    harness::Click(prompt, IDOK);
    stillShown = IsWindowVisible(prompt) != FALSE;
    harness::SetControlText(prompt, IDC_DOCID_DID, L"e");
    harness::Click(prompt, IDOK);
  });
  EXPECT_TRUE(stillShown);
  EXPECT_TRUE(answer.Accepted);
  EXPECT_EQ(answer.Text, "e");
}

}  // namespace
