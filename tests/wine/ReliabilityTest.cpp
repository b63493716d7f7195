// The real program under faults and bad input: a clipboard held by another
// process, registry values of the wrong type or absurd length, broken
// bitmap seal files and a flood of control messages.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "harness/Clipboard.h"
#include "harness/Process.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"

namespace {

using harness::kRoot;

constexpr DWORD kStartMs = 20000;
const std::wstring kCaption = L"Varnel印鑑";
const std::wstring kSealFile = L"reliability-seal.bmp";

// The keys read at start and at stamping, and what a clean run leaves in them.
const std::vector<std::wstring> kReadKeys = {kRoot, harness::Section(L"NameStamp"), harness::Section(L"DateStamp"),
                                             harness::Section(L"SimpleStamp")};
using RegistrySnapshot = std::map<std::pair<std::wstring, std::wstring>, std::wstring>;

// Values that decide whether the program asks or stamps at all: kept valid
// where a test wants to see a stamp.
bool IsGate(const std::wstring& key, const std::wstring& name) {
  return key == kRoot && (name == L"Version" || name == L"PasswordCheck" || name == L"PasswordOnStamp" ||
                          name == L"CopyGuard");
}

std::vector<std::uint8_t> BitmapFile(int width, int height) {
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> bytes(14 + 40 + stride * height, 0xFF);
  // A dark square in the middle, so the seal is not blank.
  for (int y = height / 4; y < height * 3 / 4; ++y)
    std::memset(bytes.data() + 54 + y * stride + width / 4 * 3, 0x20, static_cast<std::size_t>(width / 2) * 3);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(bytes.size()), 0, 0, 54};
  BITMAPINFOHEADER info{40, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::memcpy(bytes.data(), &file, 14);
  std::memcpy(bytes.data() + 14, &info, 40);
  return bytes;
}

// Only the headers of a picture that would need 30 GB.
std::vector<std::uint8_t> HugeBitmapHeader() {
  std::vector<std::uint8_t> bytes = BitmapFile(4, 4);
  BITMAPINFOHEADER info{40, 100000, 100000, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::memcpy(bytes.data() + 14, &info, 40);
  return bytes;
}

class Reliability : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::WriteQuietSettings();
    harness::PutClipboardText("before");
  }
  void TearDown() override {
    if (program && program->Running()) EndProgram();
    harness::DeleteTree(L"Software\\Qdx");
    DeleteFileW(harness::DistPath(kSealFile).c_str());
  }
  void Start() {
    program.emplace(harness::DistPath(L"Varnel.exe"));
    tray = harness::WaitForWindow(L"VarnelMain", kStartMs);
    ASSERT_NE(tray, nullptr) << "the hidden main window appears";
  }
  // Ends the program through control code 5 and its confirmation.
  void EndProgram(DWORD boxTimeoutMs = 5000) {
    PostMessageW(tray, WM_USER, 5, 0);
    if (HWND box = harness::WaitForBox(kCaption, boxTimeoutMs)) harness::PressButton(box, IDOK);
    EXPECT_EQ(program->WaitForExit(10000), 0u) << "the program ends normally";
  }
  // Presses OK on every box of the program that shows up now, returning their texts.
  // A box that is expected may take longer on a busy machine: the first is
  // waited for up to firstMs.
  std::vector<std::wstring> AcknowledgeBoxes(DWORD quietMs, DWORD firstMs = 0) {
    std::vector<std::wstring> texts;
    while (HWND box = harness::WaitForBox(kCaption, texts.empty() ? std::max(quietMs, firstMs) : quietMs)) {
      texts.push_back(harness::BoxText(box));
      harness::PressButton(box, IDOK);
    }
    return texts;
  }
  bool NameStampArrives() {
    const DWORD before = GetClipboardSequenceNumber();
    return ctl.Call("_NameStamp") != 0 && harness::WaitForStampFormats(before, 10000);
  }
  bool ClipboardStillHoldsTheText() {
    auto text = harness::ClipboardBytes(CF_TEXT);
    return text && std::string(reinterpret_cast<const char*>(text->data())) == "before";
  }
  static RegistrySnapshot Snapshot() {
    RegistrySnapshot values;
    for (const auto& key : kReadKeys)
      for (const auto& name : harness::ValueNames(key))
        if (auto text = harness::ReadString(key, name)) values[{key, name}] = *text;
    return values;
  }
  // What a run from an empty tree leaves behind: every value the program reads, at its default.
  RegistrySnapshot CleanRun() {
    Start();
    EXPECT_TRUE(NameStampArrives());
    EndProgram();
    return Snapshot();
  }

  std::optional<harness::RunningProgram> program;
  HWND tray = nullptr;
  harness::VrnCtlLibrary ctl;
};

TEST_F(Reliability, AClipboardHeldByAnotherProcessIsReportedAndNothingIsStamped) {
  Start();
  ASSERT_TRUE(OpenClipboard(nullptr));
  const ULONGLONG posted = GetTickCount64();
  ctl.Call("_NameStamp");
  HWND box = harness::WaitForBox(kCaption, 10000);
  const ULONGLONG waited = GetTickCount64() - posted;
  CloseClipboard();
  ASSERT_NE(box, nullptr) << "the failure is reported";
  EXPECT_EQ(harness::BoxText(box), L"クリップボードを開けませんでした。");
  EXPECT_GE(waited, 500u) << "it retried for a while before giving up";
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
  EXPECT_TRUE(ClipboardStillHoldsTheText()) << "the other program's contents are untouched";
  harness::PressButton(box, IDOK);
  EXPECT_EQ(harness::WaitForBox(kCaption, 1000), nullptr) << "reported once, and no success shown";
  EXPECT_TRUE(NameStampArrives()) << "the next stamp works once the clipboard is free";
}

TEST_F(Reliability, WrongTypedRegistryValuesAreReplacedByTheirDefaults) {
  harness::DeleteTree(L"Software\\Qdx");
  harness::WriteString(kRoot, L"Version", L"126");
  const RegistrySnapshot clean = CleanRun();
  ASSERT_GT(clean.size(), 60u) << "the clean run wrote the program's values";

  for (const DWORD type : {DWORD{REG_DWORD}, DWORD{REG_BINARY}}) {
    SCOPED_TRACE(type == REG_DWORD ? "REG_DWORD" : "REG_BINARY");
    harness::DeleteTree(L"Software\\Qdx");
    harness::WriteString(kRoot, L"Version", L"126");
    for (const auto& [where, text] : clean) {
      if (where.second == L"Version") continue;
      if (type == REG_DWORD)
        harness::WriteDword(where.first, where.second, 1);
      else
        harness::WriteBinary(where.first, where.second, {0x31, 0x00, 0xFF, 0x82});
    }
    Start();
    EXPECT_EQ(AcknowledgeBoxes(1500), std::vector<std::wstring>{}) << "defaults ask nothing";
    EXPECT_TRUE(NameStampArrives());
    EndProgram();
    for (const auto& [where, text] : clean) {
      EXPECT_EQ(harness::ValueType(where.first, where.second), DWORD{REG_SZ}) << where.first << L"\\" << where.second;
      EXPECT_EQ(harness::ReadString(where.first, where.second), text) << where.first << L"\\" << where.second;
    }
  }
}

TEST_F(Reliability, OverLongRegistryStringsAreCutNotOverrun) {
  harness::DeleteTree(L"Software\\Qdx");
  harness::WriteString(kRoot, L"Version", L"126");
  const RegistrySnapshot clean = CleanRun();

  harness::DeleteTree(L"Software\\Qdx");
  const std::wstring overLong(100000, L'あ');
  for (const auto& [where, text] : clean)
    harness::WriteString(where.first, where.second, IsGate(where.first, where.second) ? text : overLong);
  Start();
  EXPECT_EQ(AcknowledgeBoxes(1500, kStartMs), std::vector<std::wstring>{L"ﾋﾞｯﾄﾏｯﾌﾟ印画像が見つかりません"})
      << "a bitmap seal name cut to its field names no file";
  EXPECT_TRUE(NameStampArrives());
  EndProgram();
  EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1"), L"0");
  // Everything saved at exit comes from fixed-width fields.
  for (const auto& name : harness::ValueNames(kRoot)) {
    const auto text = harness::ReadString(kRoot, name);
    EXPECT_LT(text ? text->size() : 0, 256u) << name;
  }
}

TEST_F(Reliability, BrokenBitmapSealFilesAreReportedAndLeaveTheClipboardEmpty) {
  const std::wstring path = harness::DistPath(kSealFile);
  const std::vector<std::uint8_t> good = BitmapFile(100, 100);
  ASSERT_TRUE(harness::WriteWholeFile(path, good.data(), good.size()));
  harness::WriteString(kRoot, L"Bitmap1", kSealFile);
  harness::WriteString(kRoot, L"ShowMessage", L"0");
  Start();
  ASSERT_EQ(AcknowledgeBoxes(1000), std::vector<std::wstring>{});
  DWORD before = GetClipboardSequenceNumber();
  ctl.Call("_BmpStamp");
  ASSERT_TRUE(harness::WaitForStampFormats(before, 10000)) << "a sound bitmap seal stamps";

  const std::string text = "not a picture, only named like one\r\n";
  const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> broken = {
      {"empty", {}},
      {"truncated in the pixels", {good.begin(), good.begin() + 54 + 3000}},
      {"truncated in the header", {good.begin(), good.begin() + 30}},
      {"not a BMP", {text.begin(), text.end()}},
      {"100000 x 100000 header", HugeBitmapHeader()},
  };
  for (const auto& [name, bytes] : broken) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(harness::WriteWholeFile(path, bytes.data(), bytes.size()));
    harness::PutClipboardText("before");
    ctl.Call("_BmpStamp");
    HWND box = harness::WaitForBox(L"", 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(harness::BoxText(box), L"画像ファイルを読み込めません");
    EXPECT_TRUE(harness::ClipboardFormats().empty()) << "emptied, and nothing put on it";
    harness::PressButton(box, IDOK);
    EXPECT_TRUE(program->Running());
  }
  DeleteFileW(path.c_str());
  ctl.Call("_BmpStamp");
  HWND box = harness::WaitForBox(L"", 10000);
  ASSERT_NE(box, nullptr) << "a seal file deleted while running";
  EXPECT_EQ(harness::BoxText(box), L"画像ファイルを読み込めません");
  harness::PressButton(box, IDOK);
  EXPECT_TRUE(NameStampArrives()) << "the other seals still stamp";
  EndProgram();

  // At start a seal file that is there but cannot be read is not missing:
  // the setting stays and the stamp says why it cannot stamp.
  const auto huge = HugeBitmapHeader();
  ASSERT_TRUE(harness::WriteWholeFile(path, huge.data(), huge.size()));
  Start();
  EXPECT_EQ(AcknowledgeBoxes(3000), std::vector<std::wstring>{});
  EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1"), kSealFile);
  ctl.Call("_BmpStamp");
  box = harness::WaitForBox(L"", 10000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(harness::BoxText(box), L"画像ファイルを読み込めません");
  harness::PressButton(box, IDOK);
  EXPECT_TRUE(NameStampArrives());
}

TEST_F(Reliability, AFloodOfStampRequestsLeavesTheProgramResponsiveAndEndingNormally) {
  harness::WriteString(kRoot, L"ShowMessage", L"0");
  Start();
  const DWORD before = GetClipboardSequenceNumber();
  const ULONGLONG started = GetTickCount64();
  int posted = 0;
  for (int i = 0; i < 1000; ++i) posted += PostMessageW(tray, WM_USER, 1, 0) ? 1 : 0;
  EXPECT_EQ(posted, 1000);

  DWORD_PTR result = 0;
  const ULONGLONG asked = GetTickCount64();
  EXPECT_NE(SendMessageTimeoutW(tray, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result), 0)
      << "a sent message is answered while the requests queue";
  const ULONGLONG answeredMs = GetTickCount64() - asked;

  PostMessageW(tray, WM_USER, 5, 0);
  HWND box = harness::WaitForBox(kCaption, 120000);
  ASSERT_NE(box, nullptr) << "the exit request behind the flood is reached";
  const ULONGLONG workedOffMs = GetTickCount64() - started;
  EXPECT_TRUE(harness::WaitForStampFormats(before, 1000)) << "the flood stamped";
  harness::PressButton(box, IDOK);
  EXPECT_EQ(program->WaitForExit(10000), 0u);
  std::printf("flood: 1000 requests worked off in %llu ms; a sent message answered in %llu ms\n", workedOffMs,
              answeredMs);
}

}  // namespace
