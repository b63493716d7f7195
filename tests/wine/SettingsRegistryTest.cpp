// The settings store against the real registry: what a first start leaves in
// HKEY_CURRENT_USER, value by value, compared as UTF-16 with the Japanese
// defaults, so the code-page-932 conversion is checked too.

#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "FileSystem.h"
#include "ProgramFolder.h"
#include "Records.h"
#include "RegistryStore.h"
#include "Settings.h"
#include "harness/Registry.h"

namespace {

using harness::Section;

const std::map<std::wstring, std::wstring> kNameStamp = {
    {L"Text1", L"名"}, {L"Text2", L"字"}, {L"Text3", L""}, {L"Text4", L""},
    {L"FontName", L"ＭＳ 明朝"}, {L"FontSize", L"76"}, {L"StampSize", L"117"}, {L"TextSpace", L"0"},
    {L"StampColor", L"255"}, {L"LineWidth", L"4"}, {L"CircleParameter", L"100"}, {L"OffsetX", L"0"},
    {L"OffsetY", L"0"}, {L"Resolution", L"0"}, {L"FontStyleBold", L"1"}, {L"FontStyleItalic", L"0"},
    {L"UseNameEX", L"0"}, {L"ExText1", L""}, {L"ExText2", L""}, {L"ExText3", L""}, {L"ExText4", L""},
    {L"ExFontName", L"ＭＳ 明朝"}, {L"ExFontSize", L"76"}, {L"ExTextSpace", L"0"},
    {L"ExOffsetX", L"0"}, {L"ExOffsetY", L"0"}, {L"ExFontStyleBold", L"1"},
    {L"ExFontStyleItalic", L"0"},
};

const std::map<std::wstring, std::wstring> kDateStamp = {
    {L"Text1", L"組織"}, {L"Text2", L"名字"}, {L"FontNameU", L"ＭＳ 明朝"},
    {L"FontNameM", L"ＭＳ 明朝"}, {L"FontNameL", L"ＭＳ 明朝"}, {L"FontSizeU", L"46"},
    {L"FontSizeM", L"36"}, {L"FontSizeL", L"48"}, {L"StampSize", L"115"}, {L"StampColor", L"255"},
    {L"LineWidth", L"4"}, {L"SpaceM", L"0"}, {L"PositionU", L"2"}, {L"PositionL", L"-2"},
    {L"Years", L"0"}, {L"Header", L""}, {L"TwinRing", L"0"}, {L"FontStyleUBold", L"1"},
    {L"FontStyleUItalic", L"0"}, {L"FontStyleMBold", L"1"}, {L"FontStyleMItalic", L"0"},
    {L"FontStyleLBold", L"1"}, {L"FontStyleLItalic", L"0"}, {L"Text3", L"_"}, {L"Text4", L"_"},
    {L"U_T2Space", L"0"}, {L"L_T2FontSize", L"0"}, {L"L_T2Space", L"0"}, {L"Text5", L"_"},
    {L"L_T3Space", L"0"}, {L"DateNZ", L"0"},
};

const std::map<std::wstring, std::wstring> kRootValues = {
    {L"Version", L"126"}, {L"PasswordCheck", L"1"}, {L"EditorLock", L"1"}, {L"CheckDate", L"1"},
    {L"Wx", L"0"}, {L"Wy", L"0"}, {L"Bitmap1Resolution", L"15294"}, {L"UserPassword", L""},
    {L"ClipboardFormat", L"EMF+DIB"}, {L"DocumentFilter", L"Transparent"}, {L"ShowMessage", L"1"},
    {L"Bitmap1", L"0"}, {L"ColorBits", L"2"}, {L"FocusGet", L"0"}, {L"HideMenu", L"0"},
    {L"PasswordOnStamp", L"1"}, {L"ShowExBar", L"1"}, {L"CopyGuard", L"0"}, {L"BackImage", L"1"},
    {L"UIDK", L""}, {L"RezoHosei", L"100"}, {L"Rotate", L"0"}, {L"RotateSz", L"0"},
    {L"RotateAngle", L"0"}, {L"TaskTrayIconDoubleClick", L"0"}, {L"StayOnTaskTray", L"0"},
    {L"MainToolBar", L"0"}, {L"TerminateAsStamped", L"0"}, {L"NoDispCopyGuardTitle", L"1"},
    {L"ClipBrdClear", L"0"}, {L"GenMetafile", L"0"}, {L"SecTextColor", L"255"},
    {L"SecLineColor", L"16776960"}, {L"ClipboardPng", L"0"}, {L"InkEffect", L"0"}, {L"InkTilt", L"0"},
    {L"InkSeed", L"0"}, {L"StampLog", L"0"}, {L"WarekiName1", L"昭和"},
    {L"WarekiDate1", L"1926/12/25"},
    {L"WarekiName2", L"平成"}, {L"WarekiDate2", L"1989/01/08"}, {L"WarekiName3", L"令和"},
    {L"WarekiDate3", L"2019/05/01"}, {L"WarekiName4", L""}, {L"WarekiDate4", L""},
    {L"WarekiName5", L""}, {L"WarekiDate5", L""},
};

void ExpectKeyHolds(const std::wstring& key, const std::map<std::wstring, std::wstring>& expected) {
  for (const auto& [name, text] : expected) {
    const auto stored = harness::ReadString(key, name);
    ASSERT_TRUE(stored.has_value()) << "missing string value " << testing::PrintToString(name);
    EXPECT_EQ(*stored, text) << testing::PrintToString(name);
  }
  EXPECT_EQ(harness::ValueNames(key).size(), expected.size());
}

class RegistrySettings : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::DeleteTree(L"Software\\Qdx");
    NameSealSettings = {};
    DateSealSettings = {};
    OptionSettings = {};
  }
  void TearDown() override { harness::DeleteTree(L"Software\\Qdx"); }
  void FirstStart() {
    RunVersionCheck(store, [&](std::string_view) { ++messages; });
    LoadAllSettings(store, FileExists);
  }
  RegistryStore store;
  int messages = 0;
};

TEST_F(RegistrySettings, FirstStartLeavesEveryDefaultInTheRegistry) {
  FirstStart();
  EXPECT_EQ(messages, 0);
  ExpectKeyHolds(Section(L"NameStamp"), kNameStamp);
  ExpectKeyHolds(Section(L"DateStamp"), kDateStamp);
  ExpectKeyHolds(harness::kRoot, kRootValues);
  EXPECT_STREQ(NameSealSettings.Main.FontName, "ＭＳ 明朝");
  EXPECT_STREQ(OptionSettings.WarekiName[2], "令和");
}

TEST_F(RegistrySettings, SavingWritesTheSameTreeBackWithItsOwnSpellings) {
  FirstStart();
  SaveAllSettings(store);
  auto root = kRootValues;
  root[L"DocumentFilter"] = L"TransParent";
  auto name = kNameStamp;
  for (const wchar_t* empty : {L"Text3", L"Text4", L"ExText1", L"ExText2", L"ExText3", L"ExText4"})
    name[empty] = L"_";  // empty seal texts are saved as the marker
  ExpectKeyHolds(Section(L"NameStamp"), name);
  ExpectKeyHolds(Section(L"DateStamp"), kDateStamp);
  ExpectKeyHolds(harness::kRoot, root);
  // The era dates are written as "Warekidate<n>": still the same value.
  EXPECT_EQ(harness::ReadString(harness::kRoot, L"WarekiDate1"), L"1926/12/25");
}

// A first start takes "varnel.bmp" as the bitmap seal where the program
// looks for its files (the user's folder, then the program folder), never
// in whatever folder happens to be current.
TEST_F(RegistrySettings, BitmapSealDefaultsToAVarnelBmpOfTheUserOrTheProgram) {
  wchar_t temp[MAX_PATH], folder[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  GetTempFileNameW(temp, L"vrn", 0, folder);
  DeleteFileW(folder);
  ASSERT_TRUE(CreateDirectoryW(folder, nullptr));
  const std::wstring inCurrent = std::wstring(folder) + L"\\varnel.bmp", inUser = UserFile(L"varnel.bmp");
  ASSERT_EQ(MakeUserFolder(), static_cast<DWORD>(ERROR_SUCCESS));
  const struct {
    const std::wstring* file;
    const wchar_t* expected;
  } cases[] = {{&inCurrent, L"0"}, {&inUser, L"varnel.bmp"}};
  for (const auto& c : cases) {
    const KeepCurrentDirectory keep;
    SetCurrentDirectoryW(folder);
    CloseHandle(CreateFileW(c.file->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    harness::DeleteTree(L"Software\\Qdx");
    RunVersionCheck(store, [&](std::string_view) { ++messages; });
    LoadAllSettings(store, ProgramFileExists);
    EXPECT_EQ(harness::ReadString(harness::kRoot, L"Bitmap1"), c.expected) << (c.file == &inUser ? "in the user's folder" : "in the current folder only");
    DeleteFileW(c.file->c_str());
  }
  RemoveDirectoryW(folder);
}

TEST_F(RegistrySettings, VersionResetHappensOnceForAnOlderGeneration) {
  FirstStart();
  harness::WriteString(harness::kRoot, L"Version", L"125");
  ASSERT_TRUE(SetUserPassword("secret"));
  SaveAllSettings(store);
  FirstStart();
  EXPECT_EQ(messages, 1);
  EXPECT_EQ(harness::ReadString(harness::kRoot, L"UserPassword"), L"");
  EXPECT_TRUE(CheckUserPassword(""));
  EXPECT_EQ(harness::ReadString(harness::kRoot, L"Version"), L"126");
  FirstStart();
  EXPECT_EQ(messages, 1);
}

TEST_F(RegistrySettings, ForeignTypesAndHugeValuesLoadSafelyAndAreRepaired) {
  FirstStart();
  harness::WriteDword(Section(L"NameStamp"), L"StampSize", 300);
  harness::WriteBinary(Section(L"NameStamp"), L"FontName", {1, 2, 3, 0});
  harness::WriteString(Section(L"NameStamp"), L"Text1", std::wstring(100000, L'印'));
  harness::WriteString(Section(L"NameStamp"), L"Text2", L"\U0001F600");  // not in code page 932
  harness::WriteString(harness::kRoot, L"Bitmap1", std::wstring(5000, L'a') + L".bmp");
  LoadAllSettings(store, FileExists);
  EXPECT_EQ(NameSealSettings.Main.StampSize, 117) << "a DWORD reads as missing: the default returns";
  EXPECT_EQ(harness::ReadString(Section(L"NameStamp"), L"StampSize"), L"117");
  EXPECT_STREQ(NameSealSettings.Main.FontName, "ＭＳ 明朝");
  EXPECT_STREQ(NameSealSettings.Main.Text1, "印印印印印印印印印") << "cut to 18 bytes, whole characters";
  EXPECT_STREQ(NameSealSettings.Main.Text2, "字");
  EXPECT_EQ(strlen(OptionSettings.Bitmap1), 63u);
}

}  // namespace
