// The seal editor and the options dialog in the real program: opened from
// their menu items, driven by control ID, read back from the registry, the
// screen and the next stamp.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>

#include "MenuIds.h"
#include "harness/Clipboard.h"
#include "harness/Forms.h"
#include "harness/Pixels.h"
#include "harness/Process.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

using harness::kRoot;
using harness::ReadString;
using harness::Section;
using harness::WriteString;

const std::wstring kName = Section(L"NameStamp");
const std::wstring kDate = Section(L"DateStamp");

class Editors : public ::testing::Test {
 protected:
  void SetUp() override { harness::WriteQuietSettings(); }
  void TearDown() override {
    // A test that stopped half-way may leave a dialog open, which would keep the program busy.
    for (const wchar_t* caption : {L"フォントの指定", L"印影編集", L"オプション設定"})
      if (HWND open = harness::WaitForBox(caption, 0)) PostMessageW(open, WM_CLOSE, 0, 0);
    if (program && program->Running()) EndProgram();
    harness::DeleteTree(L"Software\\Qdx");
  }
  void Start() {
    program.emplace(harness::DistPath(L"Varnel.exe"));
    tray = harness::WaitForWindow(L"VarnelMain", 20000);
    ASSERT_NE(tray, nullptr);
    for (int i = 0; i < 100 && !pad; ++i, Sleep(20)) pad = FindWindowW(L"TForm1", nullptr);
  }
  void EndProgram() {
    PostMessageW(tray, WM_USER, 5, 0);
    if (HWND box = harness::WaitForBox(L"Varnel印鑑", 5000)) harness::PressButton(box, IDOK);
    EXPECT_EQ(program->WaitForExit(10000), 0u);
  }
  // What the menu item sends; a disabled item must do nothing with it.
  HWND Open(HWND window, UINT command, const wchar_t* caption, DWORD timeoutMs = 10000) {
    PostMessageW(window, WM_COMMAND, command, 0);
    return harness::WaitForBox(caption, timeoutMs);
  }
  HWND OpenEditor() { return Open(pad, IDM_S1, L"印影編集"); }
  HWND OpenOptions() { return Open(pad, IDM_OPTION1, L"オプション設定"); }
  // Presses a finish button and answers nothing: true when the dialog closed.
  static bool Finish(HWND dialog, int id) {
    harness::PostClickIn(dialog, id);
    for (int i = 0; i < 250 && IsWindow(dialog); ++i) Sleep(20);
    return !IsWindow(dialog);
  }
  // The question before a changed design is thrown away: its text, after
  // pressing the button given.
  static std::wstring DiscardQuestion(int button) {
    HWND box = harness::WaitForBox(L"Varnel印鑑", 5000);
    if (!box) return L"(none)";
    const std::wstring text = harness::BoxText(box);
    harness::PressButton(box, button);
    return text;
  }
  // The validation message the finish button brings up, answered with OK.
  static std::wstring Refusal(HWND dialog) {
    harness::PostClickIn(dialog, IDC_OPTIONS_FINISH);
    HWND box = harness::WaitForBox(L"", 5000);
    if (!box) return L"(none)";
    const std::wstring text = harness::BoxText(box);
    harness::PressButton(box, IDOK);
    return text;
  }
  std::wstring Stored(const std::wstring& key, const wchar_t* name) const {
    return ReadString(key, name).value_or(L"(missing)");
  }
  PackedDib Stamp(const char* request) {
    const DWORD before = GetClipboardSequenceNumber();
    ctl.Call(request);
    EXPECT_TRUE(harness::WaitForStampFormats(before, 10000));
    const auto bytes = harness::ClipboardBytes(CF_DIB);
    return bytes ? PackedDib(bytes->begin(), bytes->end()) : PackedDib{};
  }

  std::optional<harness::RunningProgram> program;
  HWND tray = nullptr, pad = nullptr;
  harness::VrnCtlLibrary ctl;
};

bool IsRed(const harness::Rgb& p) { return p.r > 150 && p.g < 120 && p.b < 120; }

// Rows of the box around the centre of a stamped DIB that hold red.
int RedRows(const PackedDib& dib, int halfWidth, int halfHeight) {
  const int cx = harness::DibWidth(dib) / 2, cy = harness::DibHeight(dib) / 2;
  int rows = 0;
  for (int y = cy - halfHeight; y <= cy + halfHeight; ++y)
    for (int x = cx - halfWidth; x <= cx + halfWidth; ++x)
      if (IsRed(harness::IndexedPixelAt(dib, x, y))) {
        ++rows;
        break;
      }
  return rows;
}

// The leftmost red column in the rows around the centre, inside the ring.
int LeftmostRed(const PackedDib& dib, int inside) {
  const int cx = harness::DibWidth(dib) / 2, cy = harness::DibHeight(dib) / 2;
  for (int x = cx - inside; x < cx; ++x)
    for (int y = cy - 8; y <= cy + 8; ++y)
      if (IsRed(harness::IndexedPixelAt(dib, x, y))) return x;
  return cx;
}

// The first and last red column of a row of a 24-bit picture.
std::pair<int, int> RedSpan(const PackedDib& picture, int y) {
  int first = -1, last = -1;
  for (int x = 0; x < harness::DibWidth(picture); ++x)
    if (IsRed(harness::PixelAt(picture, x, y))) {
      if (first < 0) first = x;
      last = x;
    }
  return {first, last};
}

TEST_F(Editors, EditorShowsTheSizesAndKeepsStoredValuesItHasNoChoiceFor) {
  WriteString(kName, L"LineWidth", L"7");
  WriteString(kName, L"StampColor", L"128");
  Start();
  HWND editor = OpenEditor();
  ASSERT_NE(editor, nullptr) << "the pad's menu item opens the editor";
  EXPECT_EQ(harness::TextIn(editor, IDC_NAME_SIZE_MM), L"9.0 mm");
  EXPECT_EQ(harness::TextIn(editor, IDC_DATE_SIZE_MM), L"15.1 mm");
  EXPECT_EQ(harness::ChoiceIn(editor, IDC_NAME_LINE, 6), -1) << "no thickness for 7";
  EXPECT_EQ(harness::ChoiceIn(editor, IDC_NAME_COLOR, 4), 3) << "128 is 他";

  const wchar_t* expected[] = {L"11.0 mm", L"10.0 mm", L"9.0 mm", L"8.0 mm"};
  for (int i = 0; i < 4; ++i) {
    harness::ClickIn(editor, IDC_NAME_SIZE_XL + i);
    EXPECT_EQ(harness::TextIn(editor, IDC_NAME_SIZE_MM), expected[i]);
  }
  harness::ClickIn(editor, IDC_NAME_SIZE_M);
  EXPECT_EQ(harness::UpDownIn(editor, IDC_NAME_SIZE), 117) << "a preset moves the up-down";
  harness::ClickIn(editor, IDC_NAME_RESOLUTION + 1);
  EXPECT_EQ(harness::TextIn(editor, IDC_NAME_SIZE_MM), L"15.3 mm") << "the date seal's scale";
  harness::SelectPage(editor, IDC_EDITOR_TABS, 2);
  harness::ClickIn(editor, IDC_DATE_SIZE_S);
  EXPECT_EQ(harness::TextIn(editor, IDC_DATE_SIZE_MM), L"13.0 mm");

  ASSERT_TRUE(Finish(editor, IDC_EDITOR_FINISH));
  EXPECT_EQ(Stored(kName, L"LineWidth"), L"7");
  EXPECT_EQ(Stored(kName, L"StampColor"), L"128");
  EXPECT_EQ(Stored(kName, L"StampSize"), L"117");
  EXPECT_EQ(Stored(kName, L"Resolution"), L"1");
  EXPECT_EQ(Stored(kDate, L"StampSize"), L"99");
}

TEST_F(Editors, TheFontDialogChoosesTheSizeAndTheUpDownHasTheLastWord) {
  Start();
  HWND editor = OpenEditor();
  ASSERT_NE(editor, nullptr);
  harness::SelectPage(editor, IDC_EDITOR_TABS, 1);
  EXPECT_EQ(harness::UpDownIn(editor, IDC_NAME_FONTSIZE), 76);
  harness::PostClickIn(editor, IDC_NAME_FONT);
  HWND fonts = harness::WaitForBox(L"フォントの指定", 10000);
  ASSERT_NE(fonts, nullptr) << "the font dialog";
  SendMessageW(GetDlgItem(fonts, 0x472), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"20"));  // size box
  harness::PressButton(fonts, IDOK);
  EXPECT_EQ(harness::UpDownIn(editor, IDC_NAME_FONTSIZE), 20) << "the chosen size moves the up-down";
  harness::SetUpDownIn(editor, IDC_NAME_FONTSIZE, 30);
  ASSERT_TRUE(Finish(editor, IDC_EDITOR_FINISH));
  EXPECT_EQ(Stored(kName, L"FontSize"), L"30");
  EXPECT_NE(Stored(kName, L"FontName"), L"") << "a face came from the dialog";
}

TEST_F(Editors, ClosingTheEditorWithoutFinishingChangesNothingEvenAtExit) {
  Start();
  HWND editor = OpenEditor();
  ASSERT_NE(editor, nullptr);
  harness::SelectPage(editor, IDC_EDITOR_TABS, 1);
  harness::SetTextIn(editor, IDC_NAME_TEXT1, L"");
  harness::TypeInto(editor, IDC_NAME_TEXT1, L"山田太郎花");
  EXPECT_EQ(harness::TextIn(editor, IDC_NAME_TEXT1), L"山田太郎") << "8 bytes at most";
  harness::SelectPage(editor, IDC_EDITOR_TABS, 0);  // previews the edited design
  PostMessageW(editor, WM_CLOSE, 0, 0);
  EXPECT_EQ(DiscardQuestion(IDOK), L"編集内容を破棄しますか？");
  ASSERT_TRUE(harness::WaitForWindowGone(L"印影編集", 5000));
  EndProgram();
  EXPECT_EQ(Stored(kName, L"Text1"), L"名") << "the save at exit does not write the abandoned design";
}

TEST_F(Editors, AFinishedDesignIsWhatTheNextStampShows) {
  Start();
  const PackedDib nameBefore = Stamp("_NameStamp");
  const PackedDib dateBefore = Stamp("_DateStamp");
  HWND editor = OpenEditor();
  ASSERT_NE(editor, nullptr);
  harness::SelectPage(editor, IDC_EDITOR_TABS, 1);
  harness::SetTextIn(editor, IDC_NAME_TEXT1, L"一");
  harness::SetTextIn(editor, IDC_NAME_TEXT1 + 1, L"");
  harness::SelectPage(editor, IDC_EDITOR_TABS, 2);
  harness::ClickIn(editor, IDC_DATE_YEARS + 2);  // 西暦４桁
  ASSERT_TRUE(Finish(editor, IDC_EDITOR_FINISH));
  EXPECT_EQ(Stored(kName, L"Text1"), L"一");
  EXPECT_EQ(Stored(kName, L"Text2"), L"_");
  EXPECT_EQ(Stored(kDate, L"Years"), L"2");

  const PackedDib nameAfter = Stamp("_NameStamp");
  // 名 over 字 fill most rows of the middle; a single 一 only a narrow band.
  EXPECT_GT(RedRows(nameBefore, 20, 70), 90);
  EXPECT_LT(RedRows(nameAfter, 20, 70), 40);
  const PackedDib dateAfter = Stamp("_DateStamp");
  EXPECT_LT(LeftmostRed(dateAfter, 111), LeftmostRed(dateBefore, 111) - 10) << "four year digits are wider";
}

TEST_F(Editors, ThePreviewIsCentredAndAWideDoubleRingIsShownWhole) {
  Start();
  HWND editor = OpenEditor();
  ASSERT_NE(editor, nullptr);
  Sleep(500);
  HWND preview = harness::FindControl(editor, IDC_EDITOR_PREVIEW);
  const PackedDib name = harness::CaptureWindow(preview);
  ASSERT_EQ(harness::DibWidth(name), 321);
  ASSERT_EQ(harness::DibHeight(name), 357);
  const auto [left, right] = RedSpan(name, 178);
  EXPECT_NEAR(left + right, 320, 2) << "the ring is centred";
  EXPECT_NEAR(right - left, 2 * 117 + 4, 3);

  harness::SelectPage(editor, IDC_EDITOR_TABS, 2);
  harness::ClickIn(editor, IDC_DATE_SIZE_XL);   // 145
  harness::ClickIn(editor, IDC_DATE_LINE);      // 太4
  harness::ClickIn(editor, IDC_DATE_RING + 1);  // ２重Ａ: 2 x 145 + 5 x 10 + 4 = 344 pixels, rings 320 across
  Sleep(500);
  const PackedDib date = harness::CaptureWindow(preview);
  const auto [dateLeft, dateRight] = RedSpan(date, 178);
  EXPECT_GT(dateLeft, 0) << "scaled so that the whole ring shows";
  EXPECT_LT(dateRight, 320);
  EXPECT_NEAR(dateRight - dateLeft, 320 * 297 / 344, 6);
  PostMessageW(editor, WM_CLOSE, 0, 0);
  EXPECT_EQ(DiscardQuestion(IDOK), L"編集内容を破棄しますか？");
}

// Red ink of any depth, as the pressed seal's pixels are: the red full,
// green and blue raised alike toward white.
bool IsRedInk(const harness::Rgb& p) { return p.r >= 200 && p.g <= 235 && p.g == p.b; }

// Of the preview's red pixels, the share that is pale: thin ink.
double PaleShare(const PackedDib& preview) {
  int red = 0, pale = 0;
  for (int y = 0; y < harness::DibHeight(preview); ++y)
    for (int x = 0; x < harness::DibWidth(preview); ++x) {
      const harness::Rgb p = harness::PixelAt(preview, x, y);
      red += IsRedInk(p);
      pale += IsRedInk(p) && p.g >= 96;
    }
  return red ? static_cast<double>(pale) / red : 0;
}

// The first and last column holding red ink.
std::pair<int, int> InkColumns(const PackedDib& preview) {
  int first = -1, last = -1;
  for (int x = 0; x < harness::DibWidth(preview); ++x)
    for (int y = 0; y < harness::DibHeight(preview); ++y)
      if (IsRedInk(harness::PixelAt(preview, x, y))) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

TEST_F(Editors, ThePreviewShowsTheHandPressedInkOfTheStamps) {
  Start();
  double paleShare[2] = {};
  for (int pressed : {0, 1}) {
    SCOPED_TRACE(pressed ? "pressed" : "clean");
    WriteString(kRoot, L"InkEffect", pressed ? L"3" : L"0");  // the editor loads every setting when it opens
    WriteString(kRoot, L"InkSeed", L"7");
    HWND editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    Sleep(500);
    const PackedDib preview = harness::CaptureWindow(harness::FindControl(editor, IDC_EDITOR_PREVIEW));
    const auto [left, right] = InkColumns(preview);
    EXPECT_NEAR(left + right, 320, 3) << "centred as ever";
    paleShare[pressed] = PaleShare(preview);
    PostMessageW(editor, WM_CLOSE, 0, 0);
    ASSERT_TRUE(harness::WaitForWindowGone(L"印影編集", 5000)) << "unchanged, it closes at once";
  }
  EXPECT_GT(paleShare[1], paleShare[0] + 0.2) << "pale where the pressure was light, " << paleShare[0]
                                               << " of the drawn seal's edges";
}

// A whole design session is not lost to a stray Esc: a changed design is
// thrown away only when the user agrees; an unchanged one closes at once.
TEST_F(Editors, EscAndTheCloseBoxAskBeforeAChangedDesignIsThrownAway) {
  Start();
  HWND editor = OpenEditor();
  ASSERT_NE(editor, nullptr);
  PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);  // Esc
  EXPECT_TRUE(harness::WaitForWindowGone(L"印影編集", 5000)) << "nothing changed: closed at once";
  EXPECT_EQ(harness::WaitForBox(L"Varnel印鑑", 500), nullptr);

  editor = OpenEditor();
  ASSERT_NE(editor, nullptr);
  harness::SelectPage(editor, IDC_EDITOR_TABS, 1);
  harness::SetTextIn(editor, IDC_NAME_TEXT1, L"山");
  PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(DiscardQuestion(IDCANCEL), L"編集内容を破棄しますか？");
  Sleep(300);
  ASSERT_TRUE(IsWindow(editor)) << "Cancel returns to the editor";
  EXPECT_EQ(harness::TextIn(editor, IDC_NAME_TEXT1), L"山") << "with the change";

  harness::SetTextIn(editor, IDC_NAME_TEXT1, L"名");  // back as it was
  PostMessageW(editor, WM_CLOSE, 0, 0);
  EXPECT_TRUE(harness::WaitForWindowGone(L"印影編集", 5000)) << "changed back: closed at once";
  EXPECT_EQ(harness::WaitForBox(L"Varnel印鑑", 500), nullptr);

  editor = OpenEditor();
  ASSERT_NE(editor, nullptr);
  harness::SelectPage(editor, IDC_EDITOR_TABS, 2);
  harness::ClickIn(editor, IDC_DATE_SIZE_S);
  PostMessageW(editor, WM_CLOSE, 0, 0);  // the close box
  EXPECT_EQ(DiscardQuestion(IDOK), L"編集内容を破棄しますか？");
  EXPECT_TRUE(harness::WaitForWindowGone(L"印影編集", 5000));
  EXPECT_EQ(Stored(kName, L"Text1"), L"名");
  EXPECT_EQ(Stored(kDate, L"StampSize"), L"115") << "thrown away";
}

TEST_F(Editors, ThePolicyAndTheLockGateTheEditorInBothMenus) {
  WriteString(kRoot, L"adm", L"1");
  WriteString(kRoot, L"Policy01", L"tt");
  Start();
  EXPECT_EQ(Open(pad, IDM_S1, L"印影編集", 1500), nullptr) << "positions 0 and 1: not from the pad";
  EXPECT_EQ(Open(tray, IDM_TRAY_IMAGEEDIT, L"印影編集", 1500), nullptr) << "nor from the tray";
  EndProgram();

  WriteString(kRoot, L"Policy01", L"t");
  Start();
  HWND editor = Open(tray, IDM_TRAY_IMAGEEDIT, L"印影編集");
  ASSERT_NE(editor, nullptr) << "position 0 alone leaves the menus alone";
  EXPECT_EQ(SendMessageW(harness::FindControl(editor, IDC_EDITOR_TABS), TCM_GETITEMCOUNT, 0, 0), 2)
      << "only the date pages";
  EXPECT_TRUE(IsWindowVisible(harness::FindControl(editor, IDC_DATE_TEXT1))) << "the upper and lower texts";
  PostMessageW(editor, WM_CLOSE, 0, 0);
  ASSERT_TRUE(harness::WaitForWindowGone(L"印影編集", 5000));
  EndProgram();

  WriteString(kRoot, L"adm", L"0");
  WriteString(kRoot, L"EditorLock", L"0");
  Start();
  EXPECT_EQ(Open(pad, IDM_S1, L"印影編集", 1500), nullptr) << "EditorLock 0";
}

TEST_F(Editors, OptionsAreRefusedInTheOrderOfTheChecksAndStoredOnlyWhenAllPass) {
  Start();
  HWND options = OpenOptions();
  ASSERT_NE(options, nullptr);
  harness::SetTextIn(options, IDC_OPT_PASSWORD1, L"abc");
  harness::SetTextIn(options, IDC_OPT_PASSWORD2, L"abd");
  harness::ClickIn(options, IDC_OPT_PASSWORDCHECK);  // 行う
  harness::ClickIn(options, IDC_OPT_CLIPBOARDPNG);
  EXPECT_TRUE(harness::CheckedIn(options, IDC_OPT_CLIPBOARDPNG));
  harness::ClickIn(options, IDC_OPT_COPYGUARD + 1);  // 使用する
  EXPECT_FALSE(harness::CheckedIn(options, IDC_OPT_CLIPBOARDPNG)) << "a PNG would carry no security marks";
  harness::SetTextIn(options, IDC_OPT_KEY1, L"1234");
  harness::SetTextIn(options, IDC_OPT_KEY2, L"5678");
  harness::SetTextIn(options, IDC_OPT_ERADATE1 + 2, L"2019/13/01");
  harness::SetTextIn(options, IDC_OPT_ERADATE1 + 3, L"1/2/3");
  EXPECT_EQ(Refusal(options), L"パスワードの設定が一致していません。\n２つの入力エリアに同じパスワードを設定してください。");
  harness::SetTextIn(options, IDC_OPT_PASSWORD1, L"a+c");
  harness::SetTextIn(options, IDC_OPT_PASSWORD2, L"a+c");
  EXPECT_NE(Refusal(options).find(L"「+」以外"), std::wstring::npos) << "a password the prompt could not take";
  harness::SetTextIn(options, IDC_OPT_PASSWORD1, L"");
  harness::SetTextIn(options, IDC_OPT_PASSWORD2, L"");
  EXPECT_EQ(Refusal(options), L"起動時パスワード入力要を設定していますが、パスワードが登録されていません。");
  harness::ClickIn(options, IDC_OPT_PASSWORDCHECK + 1);
  harness::ClickIn(options, IDC_OPT_PASSWORDONSTAMP);
  EXPECT_EQ(Refusal(options), L"押印時パスワード入力要を設定していますが、パスワードが登録されていません。");
  harness::TypeInto(options, IDC_OPT_PASSWORD1, L"abcdefghijklmnopqrs");
  harness::TypeInto(options, IDC_OPT_PASSWORD2, L"abcdefghijklmnopqr");
  EXPECT_EQ(Refusal(options), L"ユーザー認証コード生成用キーの設定が一致していません。\n２つの入力エリアに同じパスワードを設定してください。")
      << "18 characters are all the password edits take";
  harness::SetTextIn(options, IDC_OPT_KEY1, L"");
  harness::SetTextIn(options, IDC_OPT_KEY2, L"");
  EXPECT_EQ(Refusal(options), L"ユーザー認証コード生成用キーを設定してください。");
  harness::SetTextIn(options, IDC_OPT_KEY1, L"12345678");
  harness::SetTextIn(options, IDC_OPT_KEY2, L"12345678");
  EXPECT_EQ(Refusal(options), L"和暦3の開始年月日が不正です。") << "era 4 is not looked at yet";
  harness::SetTextIn(options, IDC_OPT_ERADATE1 + 2, L"2019/12/1");
  EXPECT_EQ(Refusal(options), L"和暦4の開始年月日が不正です。") << "a year must have four digits";
  EXPECT_EQ(Stored(kRoot, L"CopyGuard"), L"0") << "nothing stored while refused";
  EXPECT_EQ(Stored(kRoot, L"UserPassword"), L"");

  harness::SetTextIn(options, IDC_OPT_ERADATE1 + 3, L"");
  harness::SetTextIn(options, IDC_OPT_ERANAME1 + 4, L"新");
  ASSERT_TRUE(Finish(options, IDC_OPTIONS_FINISH));
  EXPECT_EQ(Stored(kRoot, L"PasswordCheck"), L"1");
  EXPECT_EQ(Stored(kRoot, L"PasswordOnStamp"), L"0");
  std::wstring scrambled;
  for (wchar_t c : std::wstring(L"abcdefghijklmnopqr")) scrambled += static_cast<wchar_t>(c ^ 0x2B);
  EXPECT_EQ(Stored(kRoot, L"UserPassword"), scrambled);
  EXPECT_EQ(Stored(kRoot, L"CopyGuard"), L"1");
  EXPECT_EQ(Stored(kRoot, L"ClipboardFormat"), L"EnhancedMetafile") << "forced by the security marks";
  EXPECT_EQ(Stored(kRoot, L"ClipboardPng"), L"0");
  EXPECT_EQ(Stored(kRoot, L"WarekiDate3"), L"2019/12/1");
  EXPECT_EQ(Stored(kRoot, L"WarekiName5"), L"新");
}

TEST_F(Editors, OptionsFollowTheirRulesAndThePadAppliesThem) {
  WriteString(kRoot, L"CopyGuard", L"1");
  WriteString(kRoot, L"ColorBits", L"0");
  WriteString(kRoot, L"ClipboardPng", L"1");
  WriteString(kRoot, L"UIDK", L"\x1a\x19\x18\x1f");  // "1234" scrambled
  Start();
  HWND options = OpenOptions();
  ASSERT_NE(options, nullptr);
  EXPECT_TRUE(harness::CheckedIn(options, IDC_OPT_CLIPBOARDPNG)) << "the stored choice shows, as the format's does";
  EXPECT_EQ(harness::ChoiceIn(options, IDC_OPT_COLORBITS, 3), 2) << "full colour while guarded";
  EXPECT_EQ(harness::ChoiceIn(options, IDC_OPT_CLIPBOARDFORMAT, 3), 2) << "the stored format still shows";
  EXPECT_TRUE(IsWindowEnabled(harness::FindControl(options, IDC_OPT_KEY1)));
  harness::SetSliderIn(options, IDC_OPT_REZOHOSEI, 150);
  harness::ClickIn(options, IDC_OPT_REZOHOSEI_RESET);
  EXPECT_EQ(harness::TextIn(options, IDC_OPT_REZOHOSEI_TEXT), L"100 %");
  harness::SetTextIn(options, IDC_OPT_ROTATEANGLE, L"-12abc");
  harness::ClickIn(options, IDC_OPT_HIDEMENU + 1);    // メニューを隠す
  harness::ClickIn(options, IDC_OPT_EDITORLOCK);      // 行う: locked
  ASSERT_TRUE(Finish(options, IDC_OPTIONS_FINISH));
  EXPECT_EQ(Stored(kRoot, L"ColorBits"), L"2");
  EXPECT_EQ(Stored(kRoot, L"ClipboardPng"), L"1");
  EXPECT_EQ(Stored(kRoot, L"RotateAngle"), L"-12");
  EXPECT_EQ(Stored(kRoot, L"UIDK"), L"\x1a\x19\x18\x1f");
  for (int i = 0; i < 50 && GetMenu(pad); ++i) Sleep(20);
  EXPECT_EQ(GetMenu(pad), nullptr) << "HideMenu applied after the dialog";
  EXPECT_EQ(Open(tray, IDM_TRAY_IMAGEEDIT, L"印影編集", 1500), nullptr) << "EditorLock applied after the dialog";
}

TEST_F(Editors, TheHandPressedInkIsChosenOnTheOutputPageAndStored) {
  WriteString(kRoot, L"ColorBits", L"0");
  Start();
  HWND options = OpenOptions();
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(harness::ChoiceIn(options, IDC_OPT_INKEFFECT, 4), 0) << "off by default";
  EXPECT_FALSE(harness::CheckedIn(options, IDC_OPT_INKTILT));
  EXPECT_EQ(harness::ChoiceIn(options, IDC_OPT_COLORBITS, 3), 0);
  harness::ClickIn(options, IDC_OPT_INKEFFECT + 2);  // 中
  EXPECT_EQ(harness::ChoiceIn(options, IDC_OPT_COLORBITS, 3), 2) << "pale ink needs full colour";
  harness::ClickIn(options, IDC_OPT_INKTILT);
  ASSERT_TRUE(Finish(options, IDC_OPTIONS_FINISH));
  EXPECT_EQ(Stored(kRoot, L"InkEffect"), L"2");
  EXPECT_EQ(Stored(kRoot, L"InkTilt"), L"1");
  EXPECT_EQ(Stored(kRoot, L"InkSeed"), L"0") << "a new impression every stamp";
  EXPECT_EQ(Stored(kRoot, L"ColorBits"), L"2");

  options = OpenOptions();
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(harness::ChoiceIn(options, IDC_OPT_INKEFFECT, 4), 2);
  EXPECT_TRUE(harness::CheckedIn(options, IDC_OPT_INKTILT));
  harness::ClickIn(options, IDC_OPT_INKEFFECT);  // なし
  harness::ClickIn(options, IDC_OPT_INKTILT);
  ASSERT_TRUE(Finish(options, IDC_OPTIONS_FINISH));
  EXPECT_EQ(Stored(kRoot, L"InkEffect"), L"0");
  EXPECT_EQ(Stored(kRoot, L"InkTilt"), L"0");
}

TEST_F(Editors, OptionsAskThePasswordFirstAndTheCloseBoxDiscards) {
  WriteString(kRoot, L"PasswordOnStamp", L"0");
  WriteString(kRoot, L"UserPassword", L"JIH");  // "abc" scrambled
  Start();
  HWND prompt = Open(tray, IDM_TRAY_OPTION, L"Varnel印鑑");
  ASSERT_NE(prompt, nullptr);
  ASSERT_NE(GetDlgItem(prompt, IDC_PASSWORD_EDIT1), nullptr) << "the password prompt comes first";
  harness::SetTextIn(prompt, IDC_PASSWORD_EDIT1, L"abc");
  harness::PressButton(prompt, IDOK);
  HWND options = harness::WaitForBox(L"オプション設定");
  ASSERT_NE(options, nullptr);
  harness::ClickIn(options, IDC_OPT_SHOWMESSAGE);
  PostMessageW(options, WM_CLOSE, 0, 0);
  ASSERT_TRUE(harness::WaitForWindowGone(L"オプション設定", 5000));
  EndProgram();
  EXPECT_EQ(Stored(kRoot, L"ShowMessage"), L"1") << "the close box discards";
}

}  // namespace
