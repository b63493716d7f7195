#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "MemoryStore.h"
#include "Settings.h"
#include "Sjis.h"

namespace {

const std::string kName = VarnelKeyPath("NameStamp");
const std::string kDate = VarnelKeyPath("DateStamp");
const std::string kRoot = VarnelKeyPath("");

const FileExistsFn kNoFiles = [](std::string_view) { return false; };

// Stored text of every value after a first load in an empty store.
const std::map<std::string, std::string> kNameDefaults = {
    {"Text1", "名"}, {"Text2", "字"}, {"Text3", ""}, {"Text4", ""}, {"FontName", "ＭＳ 明朝"},
    {"FontSize", "76"}, {"StampSize", "117"}, {"TextSpace", "0"}, {"StampColor", "255"},
    {"LineWidth", "4"}, {"CircleParameter", "100"}, {"OffsetX", "0"}, {"OffsetY", "0"},
    {"Resolution", "0"}, {"FontStyleBold", "1"}, {"FontStyleItalic", "0"}, {"UseNameEX", "0"},
    {"ExText1", ""}, {"ExText2", ""}, {"ExText3", ""}, {"ExText4", ""}, {"ExFontName", "ＭＳ 明朝"},
    {"ExFontSize", "76"}, {"ExTextSpace", "0"}, {"ExOffsetX", "0"}, {"ExOffsetY", "0"},
    {"ExFontStyleBold", "1"}, {"ExFontStyleItalic", "0"},
};

const std::map<std::string, std::string> kDateDefaults = {
    {"Text1", "組織"}, {"Text2", "名字"}, {"FontNameU", "ＭＳ 明朝"}, {"FontNameM", "ＭＳ 明朝"},
    {"FontNameL", "ＭＳ 明朝"}, {"FontSizeU", "46"}, {"FontSizeM", "36"}, {"FontSizeL", "48"},
    {"StampSize", "115"}, {"StampColor", "255"}, {"LineWidth", "4"}, {"SpaceM", "0"},
    {"PositionU", "2"}, {"PositionL", "-2"}, {"Years", "0"}, {"Header", ""}, {"TwinRing", "0"},
    {"FontStyleUBold", "1"}, {"FontStyleUItalic", "0"}, {"FontStyleMBold", "1"},
    {"FontStyleMItalic", "0"}, {"FontStyleLBold", "1"}, {"FontStyleLItalic", "0"},
    {"Text3", "_"}, {"Text4", "_"}, {"U_T2Space", "0"}, {"L_T2FontSize", "0"},
    {"L_T2Space", "0"}, {"Text5", "_"}, {"L_T3Space", "0"}, {"DateNZ", "0"},
};

class SealSettings : public ::testing::Test {
 protected:
  MemoryStore store;
  NameSealRecord name{};
  DateSealRecord date{};
};

TEST_F(SealSettings, FirstLoadWritesEveryDefaultAndFillsTheRecords) {
  LoadNameSealSettings(store, name);
  LoadDateSealSettings(store, date);
  for (const auto& [value, text] : kNameDefaults)
    EXPECT_EQ(store.Get(kName, value), text) << "NameStamp\\" << value;
  for (const auto& [value, text] : kDateDefaults)
    EXPECT_EQ(store.Get(kDate, value), text) << "DateStamp\\" << value;
  EXPECT_EQ(store.ValueNames(kName).size(), kNameDefaults.size());
  EXPECT_EQ(store.ValueNames(kDate).size(), kDateDefaults.size());

  EXPECT_STREQ(name.Main.Text1, "名");
  EXPECT_STREQ(name.Main.Text2, "字");
  EXPECT_EQ(name.Main.StampColor, 255);
  EXPECT_EQ(name.Main.StampSize, 117);
  EXPECT_EQ(name.Main.FontStyle, kStyleBold);
  EXPECT_STREQ(date.Ext.Text3, "") << "the stored marker loads as an empty text";
  EXPECT_EQ(date.Main.PositionL, -2);
  EXPECT_EQ(date.Main.FontStyleM, kStyleBold);
}

TEST_F(SealSettings, EmptyMarkerRoundTripsAndStoredEmptyMeansDefault) {
  LoadNameSealSettings(store, name);
  name.Main.Text2[0] = '\0';
  SaveNameSealSettings(store, name);
  EXPECT_EQ(store.Get(kName, "Text2"), "_");
  LoadNameSealSettings(store, name);
  EXPECT_STREQ(name.Main.Text2, "");

  store.Set(kName, "Text2", "");
  LoadNameSealSettings(store, name);
  EXPECT_STREQ(name.Main.Text2, "字");
  EXPECT_EQ(store.Get(kName, "Text2"), "字");
}

TEST_F(SealSettings, StyleFlagsAreTrueOnlyForExactlyOne) {
  store.Set(kName, "FontStyleBold", " 1");
  store.Set(kName, "FontStyleItalic", "1");
  LoadNameSealSettings(store, name);
  EXPECT_EQ(name.Main.FontStyle, kStyleItalic);
  store.Set(kName, "FontStyleBold", "yes");
  store.Set(kName, "FontStyleItalic", "0");
  LoadNameSealSettings(store, name);
  EXPECT_EQ(name.Main.FontStyle, 0);
  store.Set(kName, "FontStyleBold", "1");
  store.Set(kName, "FontStyleItalic", "1");
  name.Main.FontStyle = kStyleUnderline | kStyleStrikeOut;
  LoadNameSealSettings(store, name);
  EXPECT_EQ(name.Main.FontStyle, kStyleBold | kStyleItalic) << "underline and strike-out are cleared";
}

TEST_F(SealSettings, StyleWithOtherBitsSavesNeitherValue) {
  LoadNameSealSettings(store, name);
  store.Set(kName, "FontStyleBold", "0");
  store.Set(kName, "FontStyleItalic", "1");
  name.Main.FontStyle = kStyleBold | kStyleUnderline;
  SaveNameSealSettings(store, name);
  EXPECT_EQ(store.Get(kName, "FontStyleBold"), "0");
  EXPECT_EQ(store.Get(kName, "FontStyleItalic"), "1");
  name.Main.FontStyle = kStyleBold | kStyleItalic;
  SaveNameSealSettings(store, name);
  EXPECT_EQ(store.Get(kName, "FontStyleBold"), "1");
  EXPECT_EQ(store.Get(kName, "FontStyleItalic"), "1");
}

TEST_F(SealSettings, NumbersParseLikeAtol) {
  store.Set(kName, "FontSize", "12pt");
  store.Set(kName, "StampSize", "abc");
  store.Set(kName, "StampColor", "16711680");
  store.Set(kName, "OffsetX", "-1");
  store.Set(kName, "OffsetY", "  +7");
  store.Set(kName, "TextSpace", "99999999999");
  LoadNameSealSettings(store, name);
  EXPECT_EQ(name.Main.FontSize, 12);
  EXPECT_EQ(name.Main.StampSize, 0);
  EXPECT_EQ(store.Get(kName, "StampSize"), "abc") << "an unparsable text stays until the next save";
  EXPECT_EQ(name.Main.StampColor, 16711680);
  EXPECT_EQ(name.Main.OffsetX, -1);
  EXPECT_EQ(name.Main.OffsetY, 7);
  EXPECT_EQ(name.Main.TextSpace, 2147483647) << "out-of-range numbers saturate";
  EXPECT_EQ(ParseDecimal("-99999999999"), -2147483647 - 1);
  EXPECT_EQ(ParseDecimal("\t\n-0012x"), -12);
  EXPECT_EQ(ParseDecimal("- 5"), 0);
}

TEST_F(SealSettings, FlagsTextsAndSaveOrderFollowTheStoredForm) {
  LoadDateSealSettings(store, date);
  date.Ext.DateNZ = 5;
  date.Main.FontNameU[0] = '\0';
  date.Main.Header[0] = '\0';
  store.ClearWriteLog();
  SaveDateSealSettings(store, date);
  EXPECT_EQ(store.Get(kDate, "DateNZ"), "1");
  EXPECT_EQ(store.Get(kDate, "FontNameU"), "");
  EXPECT_EQ(store.Get(kDate, "Header"), "");

  const auto& log = store.WriteLog();
  ASSERT_EQ(log.size(), kDateDefaults.size());
  EXPECT_EQ(log[10], "LineWidth=4");
  EXPECT_EQ(log[11], "TwinRing=0") << "TwinRing is saved right after LineWidth";
  EXPECT_EQ(log[12], "SpaceM=0");
  EXPECT_EQ(log.back(), "DateNZ=1");

  LoadDateSealSettings(store, date);
  EXPECT_STREQ(date.Main.FontNameU, "ＭＳ 明朝") << "an empty font name comes back as its default";
  EXPECT_STREQ(date.Main.Header, "") << "the header's default is empty";
}

TEST_F(SealSettings, OverLongTextsAreCutAtACharacterBoundaryAndNothingElseIsTouched) {
  std::memset(&name, 0xA5, sizeof name);
  // 'a' and ten double-byte characters: 21 bytes for a 20-byte field.
  store.Set(kName, "Text1", "a名名名名名名名名名名");
  store.Set(kName, "Text2", std::string(300, 'x'));
  store.Set(kName, "FontName", "ＭＳＭＳＭＳＭＳＭＳＭＳＭＳＭＳＭＳＭＳＭＳ");
  LoadNameSealSettings(store, name);
  EXPECT_STREQ(name.Main.Text1, "a名名名名名名名名名");
  EXPECT_EQ(std::strlen(name.Main.Text2), 19u);
  EXPECT_EQ(std::strlen(name.Main.FontName), 38u) << "a double-byte character is never split";
  for (unsigned char b : name.Main.reserved) EXPECT_EQ(b, 0xA5) << "reserved bytes are never written";
  for (unsigned char b : name.Ext.reserved) ASSERT_EQ(b, 0xA5);
  EXPECT_EQ(name.Main.padding1[0], 0xA5);
}

class Options : public ::testing::Test {
 protected:
  MemoryStore store;
  OptionRecord options{};
  void Load(bool bitmapExists = false) {
    LoadOptionSettings(store, [&](std::string_view n) { return bitmapExists && n == "varnel.bmp"; },
                       options);
  }
};

TEST_F(Options, FirstLoadWritesEveryDefault) {
  Load();
  const std::map<std::string, std::string> expected = {
      {"PasswordCheck", "1"}, {"EditorLock", "1"}, {"CheckDate", "1"}, {"Wx", "0"}, {"Wy", "0"},
      {"Bitmap1Resolution", "15294"}, {"UserPassword", ""}, {"ClipboardFormat", "EMF+DIB"},
      {"DocumentFilter", "Transparent"}, {"ShowMessage", "1"}, {"Bitmap1", "0"}, {"ColorBits", "2"},
      {"FocusGet", "0"}, {"HideMenu", "0"}, {"PasswordOnStamp", "1"}, {"ShowExBar", "1"},
      {"CopyGuard", "0"}, {"BackImage", "1"}, {"UIDK", ""}, {"RezoHosei", "100"}, {"Rotate", "0"},
      {"RotateSz", "0"}, {"RotateAngle", "0"}, {"TaskTrayIconDoubleClick", "0"},
      {"StayOnTaskTray", "0"}, {"MainToolBar", "0"}, {"TerminateAsStamped", "0"},
      {"NoDispCopyGuardTitle", "1"}, {"ClipBrdClear", "0"}, {"GenMetafile", "0"},
      {"SecTextColor", "255"}, {"SecLineColor", "16776960"}, {"ClipboardPng", "0"}, {"InkEffect", "0"},
      {"InkTilt", "0"}, {"InkSeed", "0"}, {"StampLog", "0"}, {"WarekiName1", "昭和"},
      {"WarekiDate1", "1926/12/25"}, {"WarekiName2", "平成"}, {"WarekiDate2", "1989/01/08"},
      {"WarekiName3", "令和"}, {"WarekiDate3", "2019/05/01"}, {"WarekiName4", ""},
      {"WarekiDate4", ""}, {"WarekiName5", ""}, {"WarekiDate5", ""},
  };
  for (const auto& [value, text] : expected) EXPECT_EQ(store.Get(kRoot, value), text) << value;
  EXPECT_EQ(store.ValueNames(kRoot).size(), expected.size());
  EXPECT_EQ(options.ClipboardFormat, kClipboardBoth);
  EXPECT_EQ(options.DocumentFilter, kFilterTransparent);
  EXPECT_EQ(options.SecLineColor, 0xFFFF00);
  EXPECT_EQ(options.ClipboardPng, 0) << "no PNG unless the user asks for it";
  EXPECT_EQ(options.StampLog, 0) << "no stamp log unless the user or the administrator asks for it";
  EXPECT_STREQ(options.WarekiDate[2], "2019/05/01");
}

TEST_F(Options, ThePngChoiceIsKeptAcrossSaveAndLoad) {
  store.Set(kRoot, "ClipboardPng", "1");
  Load();
  EXPECT_EQ(options.ClipboardPng, 1);
  options.ClipboardPng = 0;
  SaveOptionSettings(store, options);
  EXPECT_EQ(store.Get(kRoot, "ClipboardPng"), "0");
  options.ClipboardPng = 1;
  SaveOptionSettings(store, options);
  OptionRecord reloaded{};
  LoadOptionSettings(store, kNoFiles, reloaded);
  EXPECT_EQ(reloaded.ClipboardPng, 1);
}

TEST_F(Options, InkChoicesThisProgramNeverWroteReadAsOff) {
  struct Case {
    const char *effect, *tilt, *seed;
    int wantEffect, wantTilt, wantSeed;
  };
  for (const Case& c : {Case{"2", "1", "123456", 2, 1, 123456}, Case{"3", "0", "-7", 3, 0, -7},
                        Case{"4", "2", "abc", 0, 0, 0}, Case{"-1", "-1", "99999999999", 0, 0, 2147483647},
                        Case{"medium", "yes", "0", 0, 0, 0}}) {
    SCOPED_TRACE(c.effect);
    store.Set(kRoot, "InkEffect", c.effect);
    store.Set(kRoot, "InkTilt", c.tilt);
    store.Set(kRoot, "InkSeed", c.seed);
    Load();
    EXPECT_EQ(options.InkEffect, c.wantEffect);
    EXPECT_EQ(options.InkTilt, c.wantTilt);
    EXPECT_EQ(options.InkSeed, c.wantSeed);
    SaveOptionSettings(store, options);
    OptionRecord reloaded{};
    LoadOptionSettings(store, kNoFiles, reloaded);
    EXPECT_EQ(reloaded.InkEffect, c.wantEffect);
    EXPECT_EQ(reloaded.InkSeed, c.wantSeed);
  }
}

TEST_F(Options, Bitmap1DefaultDependsOnTheFile) {
  Load(true);
  EXPECT_EQ(store.Get(kRoot, "Bitmap1"), "varnel.bmp");
  EXPECT_STREQ(options.Bitmap1, "varnel.bmp");
  store.Set(kRoot, "Bitmap1", "");
  Load(false);
  EXPECT_STREQ(options.Bitmap1, "0");
}

TEST_F(Options, KeywordsLoadWithoutCaseAndSaveInTheirOwnSpelling) {
  store.Set(kRoot, "ClipboardFormat", "dibitmap");
  store.Set(kRoot, "DocumentFilter", "Transparent");
  Load();
  EXPECT_EQ(options.ClipboardFormat, kClipboardDib);
  EXPECT_EQ(options.DocumentFilter, kFilterTransparent);
  SaveOptionSettings(store, options);
  EXPECT_EQ(store.Get(kRoot, "ClipboardFormat"), "DIBitmap");
  EXPECT_EQ(store.Get(kRoot, "DocumentFilter"), "TransParent");
  Load();
  EXPECT_EQ(options.DocumentFilter, kFilterTransparent);

  store.Set(kRoot, "ClipboardFormat", "Bitmap");
  store.Set(kRoot, "DocumentFilter", "INVERT");
  Load();
  EXPECT_EQ(options.ClipboardFormat, kClipboardBoth);
  EXPECT_EQ(options.DocumentFilter, kFilterInvert);
  options.ClipboardFormat = 7;
  options.DocumentFilter = 3;
  SaveOptionSettings(store, options);
  EXPECT_EQ(store.Get(kRoot, "ClipboardFormat"), "EMF+DIB");
  EXPECT_EQ(store.Get(kRoot, "DocumentFilter"), "INVERT") << "an out-of-range filter writes nothing";
}

TEST_F(Options, EraDatesAreSavedUnderTheLowerCaseNameAsTheSameValue) {
  Load();
  const std::size_t values = store.ValueNames(kRoot).size();
  CopyToField(options.WarekiDate[3], "2100/01/01");
  SaveOptionSettings(store, options);
  EXPECT_EQ(store.Get(kRoot, "WarekiDate4"), "2100/01/01");
  EXPECT_EQ(store.ValueNames(kRoot).size(), values) << "Warekidate4 is not a second value";
  EXPECT_EQ(store.Get(kRoot, "WarekiName5"), "");
  Load();
  EXPECT_STREQ(options.WarekiDate[3], "2100/01/01");
  EXPECT_STREQ(options.WarekiName[4], "");
  EXPECT_STREQ(options.WarekiDate[4], "");

  store.Set(kRoot, "WarekiName1", "昭和昭和");
  Load();
  EXPECT_STREQ(options.WarekiName[0], "昭和") << "era names keep at most 5 bytes";
}

TEST_F(Options, AuthenticationKeyIsScrambledOnDiskAndKeepsEightBytes) {
  Load();
  CopyToField(options.UIDK, "ABC");
  SaveOptionSettings(store, options);
  EXPECT_EQ(store.Get(kRoot, "UIDK"), std::string("\x6A\x69\x68"));
  std::string tenScrambled;
  for (char c : std::string("0123456789")) tenScrambled += static_cast<char>(c ^ 0x2B);
  store.Set(kRoot, "UIDK", tenScrambled);
  Load();
  EXPECT_STREQ(options.UIDK, "01234567");

  // Scrambled Japanese text is not a key the options could have stored:
  // it loads as none, and the next save replaces it.
  store.Set(kRoot, "UIDK", "\xA9\x8B\xA9\x8B\xA9\x8B\xA9\x8B\xA9\x8B");
  Load();
  EXPECT_STREQ(options.UIDK, "");
  SaveOptionSettings(store, options);
  EXPECT_EQ(store.Get(kRoot, "UIDK"), "");
}

TEST_F(Options, PasswordIsStoredScrambledAndCheckedOverItsWholeLength) {
  const std::string password = "abcdefghijklmnopqr";  // 18 characters
  ASSERT_TRUE(SetUserPassword(password, options));
  EXPECT_EQ(std::strlen(options.UserPassword), 18u);
  EXPECT_EQ(static_cast<unsigned char>(options.UserPassword[0]), 'a' ^ 0x2B);
  EXPECT_TRUE(CheckUserPassword(password, options));
  EXPECT_FALSE(CheckUserPassword(password + "s", options));
  EXPECT_FALSE(CheckUserPassword(password.substr(0, 17), options));
  EXPECT_EQ(GetUserPassword(options), password);

  SaveOptionSettings(store, options);
  OptionRecord reloaded{};
  LoadOptionSettings(store, kNoFiles, reloaded);
  EXPECT_TRUE(CheckUserPassword(password, reloaded));

  ASSERT_TRUE(SetUserPassword("", options));
  EXPECT_TRUE(CheckUserPassword("", options));
  EXPECT_FALSE(CheckUserPassword("a", options));

  ASSERT_TRUE(SetUserPassword("123456789012345678901234", options));
  EXPECT_EQ(GetUserPassword(options), "12345678901234567890") << "at most 20 bytes are kept";
}

TEST_F(Options, PasswordsThatCannotBeStoredAreRefused) {
  ASSERT_TRUE(SetUserPassword("secret", options));
  EXPECT_FALSE(SetUserPassword("a+b", options)) << "'+' would scramble to NUL";
  EXPECT_FALSE(SetUserPassword("パス", options));
  EXPECT_TRUE(CheckUserPassword("secret", options)) << "a refused password leaves the old one";
  EXPECT_TRUE(SetUserPassword(std::string(20, 'x') + "+", options)) << "bytes past 20 are not stored";
}

class VersionCheck : public ::testing::Test {
 protected:
  MemoryStore store;
  int messages = 0;
  void Run() {
    RunVersionCheck(store, [&](std::string_view text) {
      ++messages;
      EXPECT_EQ(text.substr(0, 16), std::string_view("バージョンアップ"));
    });
  }
};

TEST_F(VersionCheck, NewTreeIsStampedWithoutMessage) {
  Run();
  EXPECT_EQ(store.Get(kRoot, "Version"), "126");
  EXPECT_EQ(messages, 0);
  EXPECT_EQ(store.ValueNames(kRoot).size(), 1u);
}

TEST_F(VersionCheck, OlderGenerationResetsPasswordsOnce) {
  store.Set(kRoot, "Version", "125");
  store.Set(kRoot, "PasswordCheck", "0");
  store.Set(kRoot, "PasswordOnStamp", "0");
  store.Set(kRoot, "UserPassword", "JIH");
  store.Set(kRoot, "UIDK", "JIH");
  Run();
  EXPECT_EQ(messages, 1);
  EXPECT_EQ(store.Get(kRoot, "PasswordCheck"), "1");
  EXPECT_EQ(store.Get(kRoot, "PasswordOnStamp"), "1");
  EXPECT_EQ(store.Get(kRoot, "UserPassword"), "");
  EXPECT_EQ(store.Get(kRoot, "UIDK"), "");
  EXPECT_EQ(store.Get(kRoot, "Version"), "126");
  Run();
  EXPECT_EQ(messages, 1) << "a second start shows nothing";
}

TEST_F(VersionCheck, UnknownGenerationsAreNotReset) {
  for (const char* version : {"0", "letters", "126", "500", "-3"}) {
    store.Set(kRoot, "Version", version);
    store.Set(kRoot, "UserPassword", "JIH");
    Run();
    EXPECT_EQ(store.Get(kRoot, "UserPassword"), "JIH") << version;
    EXPECT_EQ(store.Get(kRoot, "Version"), "126") << version;
  }
  store.Remove(kRoot, "Version");
  Run();
  EXPECT_EQ(store.Get(kRoot, "UserPassword"), "JIH") << "missing Version under an existing tree";
  EXPECT_EQ(messages, 0);
}

TEST(Sjis, CutsNeverSplitDoubleByteCharactersEvenWithBackslashTrailBytes) {
  // 表 is 95 5C: its trail byte looks like a backslash.
  EXPECT_EQ(SjisPrefix("表表", 3), "表");
  EXPECT_EQ(SjisPrefix("a表", 2), "a");
  EXPECT_EQ(SjisPrefix("\x82", 5), "") << "a lone lead byte at the end is dropped";
  EXPECT_EQ(SjisPrefix(std::string_view("ab\0cd", 5), 5), "ab");
  EXPECT_TRUE(SjisEqualsNoCase("TwinRing", "twinring"));
  EXPECT_FALSE(SjisEqualsNoCase("\x83\x41", "\x83\x61")) << "trail bytes are not letters";
  EXPECT_EQ(SjisLowerAscii("A\x83\x41Z"), "a\x83\x41z");
}

TEST(MemoryStoreTest, OpeningWithoutCreateFindsOnlyExistingLevels) {
  MemoryStore store;
  EXPECT_EQ(store.Open("Software\\Qdx", false), nullptr);
  ASSERT_NE(store.Open("Software\\Qdx", true), nullptr);
  EXPECT_NE(store.Open("software\\QDX", false), nullptr);
  EXPECT_EQ(store.Open("Software\\Qdx\\Varnel", false), nullptr);
}

}  // namespace
