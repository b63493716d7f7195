// A thousand name stamps through VrnCtl.dll into the running program, the
// seal edited before each, every one checked on the clipboard. A leak of memory or GDI objects per stamp shows
// as growth between the 50th and the 1000th stamp (Windows stops a process
// at 10000 GDI objects).

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <optional>

#include "harness/Clipboard.h"
#include "harness/Process.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"

namespace {

using harness::kRoot;

constexpr int kStamps = 1000;
constexpr int kSettledAfter = 50;
constexpr SIZE_T kMemoryBound = 4 * 1024 * 1024;
constexpr DWORD kGdiBound = 50;

void PrintUsage(int stamps, const harness::ProcessUsage& usage) {
  std::printf("soak: after %d stamps: working set %llu KiB, private %llu KiB, GDI objects %lu\n", stamps,
              static_cast<unsigned long long>(usage.workingSet / 1024),
              static_cast<unsigned long long>(usage.privateBytes / 1024), static_cast<unsigned long>(usage.gdiObjects));
}

class Soak : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::WriteQuietSettings();
    harness::WriteString(kRoot, L"ShowMessage", L"0");
  }
  void TearDown() override {
    if (program && program->Running()) {
      PostMessageW(tray, WM_USER, 5, 0);
      if (HWND box = harness::WaitForBox(L"Varnel印鑑", 5000)) harness::PressButton(box, IDOK);
      EXPECT_EQ(program->WaitForExit(10000), 0u);
    }
    harness::DeleteTree(L"Software\\Qdx");
  }
  // One stamp through the library, complete on the clipboard with the seal's size.
  ::testing::AssertionResult Stamp(const char* request, LONG& width, LONG& height) {
    const DWORD before = GetClipboardSequenceNumber();
    if (ctl.Call(request) == 0) return ::testing::AssertionFailure() << "VrnCtl did not post the request";
    if (!harness::WaitForStampFormats(before, 10000))
      return ::testing::AssertionFailure() << "the clipboard did not get the three formats";
    BITMAPINFOHEADER header{};
    if (!harness::ReadDibHeader(header)) return ::testing::AssertionFailure() << "CF_DIB unreadable";
    width = header.biWidth;
    height = header.biHeight;
    return ::testing::AssertionSuccess();
  }

  std::optional<harness::RunningProgram> program;
  HWND tray = nullptr;
  harness::VrnCtlLibrary ctl;
};

TEST_F(Soak, AThousandNameStampsKeepMemoryAndGdiObjectsBounded) {
  program.emplace(harness::DistPath(L"Varnel.exe"));
  tray = harness::WaitForWindow(L"VarnelMain", 20000);
  ASSERT_NE(tray, nullptr);

  LONG firstWidth = 0, firstHeight = 0;
  ASSERT_TRUE(Stamp("_NameStamp", firstWidth, firstHeight));
  ASSERT_GT(firstWidth, 0);
  harness::ProcessUsage settled;
  const ULONGLONG started = GetTickCount64();
  for (int i = 2; i <= kStamps; ++i) {
    // The seal changes before every stamp, so that each one reads the
    // settings and draws the picture anew rather than copying the last one.
    harness::WriteString(harness::Section(L"NameStamp"), L"StampColor", i % 2 == 0 ? L"254" : L"255");
    LONG width = 0, height = 0;
    ASSERT_TRUE(Stamp("_NameStamp", width, height)) << "stamp " << i;
    ASSERT_EQ(width, firstWidth) << "stamp " << i;
    ASSERT_EQ(height, firstHeight) << "stamp " << i;
    if (i == kSettledAfter) settled = harness::UsageOf(program->Id());
  }
  const ULONGLONG elapsed = GetTickCount64() - started;
  const harness::ProcessUsage last = harness::UsageOf(program->Id());
  ASSERT_TRUE(settled.valid && last.valid) << "the program's usage can be read";

  std::printf("soak: %d stamps in %llu ms\n", kStamps, elapsed);
  PrintUsage(kSettledAfter, settled);
  PrintUsage(kStamps, last);
  EXPECT_LT(last.privateBytes, settled.privateBytes + kMemoryBound);
  EXPECT_LT(last.workingSet, settled.workingSet + kMemoryBound);
  // Wine does not count a process's GDI objects and answers 0.
  if (settled.gdiObjects > 0) {
    EXPECT_LT(last.gdiObjects, settled.gdiObjects + kGdiBound);
  }

  LONG width = 0, height = 0;
  EXPECT_TRUE(Stamp("_NameStamp", width, height)) << "still stamps afterwards";
  EXPECT_EQ(width, firstWidth);
  EXPECT_TRUE(Stamp("_DateStamp", width, height)) << "and the date seal too";
}

}  // namespace
