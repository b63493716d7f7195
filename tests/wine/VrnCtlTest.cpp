// VrnCtl.dll, its 64-bit twin and vrnctl.exe, called as other programs call
// them, against a stand-in for Varnel's hidden window "VarnelMain".

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "Text.h"
#include "harness/ConsoleProgram.h"
#include "harness/HostPath.h"
#include "harness/Process.h"
#include "harness/RecordingWindow.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"

namespace {

using ControlExport = int(__cdecl*)();

struct Export {
  const char* name;
  WORD ordinal;
  WPARAM code;
};

// The ordinals follow the order of the exports, not the request codes.
constexpr Export kExports[] = {
    {"_NameStamp", 1, 1},      {"_DateStamp", 2, 2}, {"_DateStampEx", 3, 7}, {"_BmpStamp", 4, 3},
    {"_ClearClipboard", 5, 4}, {"_ExitVarnel", 6, 5}, {"_ChangeUser", 7, 6},
};
const std::vector<WPARAM> kCodesInOrdinalOrder = {1, 2, 7, 3, 4, 5, 6};

constexpr DWORD kArrivalMs = 5000;
constexpr DWORD kProgramMs = 30000;

class Library {
 public:
  explicit Library(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {}
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  HMODULE Module() const { return module_; }
  ControlExport ByName(const char* name) const {
    return reinterpret_cast<ControlExport>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  ControlExport ByOrdinal(WORD ordinal) const { return ByName(MAKEINTRESOURCEA(ordinal)); }

 private:
  HMODULE module_;
};

const IMAGE_EXPORT_DIRECTORY& ExportDirectory(HMODULE module) {
  auto* base = reinterpret_cast<const BYTE*>(module);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  return *reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
}

// Requests that ended up in this thread's own queue, as a post to no window does.
std::vector<WPARAM> StrayRequestsInOwnQueue() {
  std::vector<WPARAM> stray;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE)) stray.push_back(msg.wParam);
  return stray;
}

std::wstring Decoded(const std::string& cp932) {
  return WideFromCp932(cp932).value_or(L"<not code page 932>");
}

class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(harness::WaitForWindowGone(L"VarnelMain", 5000)) << "a Varnel is still running";
    // Gives this thread a message queue, where a post to no window would land.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    StrayRequestsInOwnQueue();
  }
};

class VrnCtl : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    ASSERT_TRUE(library.Module()) << "dist\\VrnCtl.dll does not load";
  }
  Library library{harness::DistPath(L"VrnCtl.dll")};
};

TEST_F(VrnCtl, ExportsTheSevenUndecoratedNamesAndThePdfStampAtTheirOrdinals) {
  for (const Export& e : kExports) {
    ControlExport byName = library.ByName(e.name);
    EXPECT_NE(byName, nullptr) << e.name;
    EXPECT_EQ(byName, library.ByOrdinal(e.ordinal)) << e.name << " is not ordinal " << e.ordinal;
  }
  EXPECT_EQ(library.ByName("NameStamp"), nullptr) << "the name keeps its leading underscore";
  EXPECT_EQ(library.ByName("_NameStamp@0"), nullptr) << "no stdcall decoration";
  EXPECT_EQ(library.ByName("DllMain"), nullptr);
  const IMAGE_EXPORT_DIRECTORY& directory = ExportDirectory(library.Module());
  EXPECT_EQ(directory.Base, 1u);
  // After the seven, the PDF stamp in its two character sets.
  EXPECT_EQ(directory.NumberOfFunctions, 9u);
  EXPECT_EQ(directory.NumberOfNames, 9u);
  EXPECT_NE(library.ByName("_PdfStamp"), nullptr);
  EXPECT_EQ(library.ByName("_PdfStamp"), library.ByOrdinal(8));
  EXPECT_EQ(library.ByName("_PdfStampW"), library.ByOrdinal(9));
}

TEST_F(VrnCtl, WithoutVarnelEveryExportReturnsZeroAndPostsNothingToTheCaller) {
  for (const Export& e : kExports) EXPECT_EQ(library.ByName(e.name)(), 0) << e.name;
  EXPECT_EQ(StrayRequestsInOwnQueue(), std::vector<WPARAM>{}) << "a post to no window lands in the caller's queue";
}

TEST_F(VrnCtl, EachExportPostsItsCodeToVarnelMainInCallOrder) {
  harness::RecordingWindow varnel(L"VarnelMain");
  for (const Export& e : kExports) EXPECT_NE(library.ByName(e.name)(), 0) << e.name;
  const std::vector<harness::PostedMessage> received = varnel.WaitForMessages(7, kArrivalMs);
  std::vector<WPARAM> codes;
  for (const harness::PostedMessage& message : received) {
    codes.push_back(message.wParam);
    EXPECT_EQ(message.lParam, 0) << "code " << message.wParam;
  }
  EXPECT_EQ(codes, kCodesInOrdinalOrder) << "_DateStampEx posts 7, _BmpStamp 3";
  EXPECT_EQ(StrayRequestsInOwnQueue(), std::vector<WPARAM>{});
}

class VrnCtl64 : public ControlTest {
 protected:
  // Bit n-1 of the exit code: the export of ordinal n returned non-zero; bit 7:
  // a request landed in the caller's own queue (see CtlProbe.c).
  DWORD CallAllSevenFrom64Bits() {
    return harness::RunConsoleProgram(harness::HostPath(VARNEL_CTLPROBE64_UNIX),
                                      L"\"" + harness::DistPath(VARNEL_CTL64_RELATIVE) + L"\"", kProgramMs)
        .exitCode;
  }
};

TEST_F(VrnCtl64, WithoutVarnelEveryExportReturnsZeroAndPostsNothingToTheCaller) {
  const DWORD exitCode = CallAllSevenFrom64Bits();
  EXPECT_NE(exitCode, 1000u) << VARNEL_CTL64_RELATIVE " does not load in a 64-bit process";
  EXPECT_NE(exitCode, 1001u) << "an export is missing or not at its ordinal";
  EXPECT_EQ(exitCode, 0u);
}

TEST_F(VrnCtl64, EachExportPostsItsCodeToVarnelMain) {
  harness::RecordingWindow varnel(L"VarnelMain");
  EXPECT_EQ(CallAllSevenFrom64Bits(), 0x7Fu) << "all seven posted, nothing in the caller's queue";
  EXPECT_EQ(varnel.WaitForCodes(7, kArrivalMs), kCodesInOrdinalOrder);
}

class Vrnctl : public ControlTest {
 protected:
  static harness::ConsoleResult Run(const std::wstring& arguments) {
    return harness::RunConsoleProgram(harness::DistPath(L"vrnctl.exe"), arguments, kProgramMs);
  }
};

TEST_F(Vrnctl, WithoutVarnelExitsWithOneAndSaysSoOnStandardError) {
  const harness::ConsoleResult result = Run(L"name");
  EXPECT_EQ(result.exitCode, 1u);
  EXPECT_EQ(Decoded(result.err), L"Varnel印鑑が起動していません。\r\n");
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(StrayRequestsInOwnQueue(), std::vector<WPARAM>{});
}

TEST_F(Vrnctl, EachWordPostsItsCodeInAnyLetterCase) {
  harness::RecordingWindow varnel(L"VarnelMain");
  const wchar_t* const words[] = {L"name", L"date", L"date-ex", L"bmp", L"clear", L"exit", L"user", L"Date-EX"};
  for (const wchar_t* word : words) {
    const harness::ConsoleResult result = Run(word);
    EXPECT_EQ(result.exitCode, 0u) << Narrow(word) << ": " << Narrow(Decoded(result.err));
    EXPECT_EQ(result.err, "") << Narrow(word);
  }
  const std::vector<harness::PostedMessage> posted = varnel.WaitForMessages(8, kArrivalMs);
  std::vector<WPARAM> codes;
  for (const harness::PostedMessage& message : posted) {
    codes.push_back(message.wParam);
    EXPECT_EQ(message.lParam, 1) << "vrnctl.exe names itself as the sender, code " << message.wParam;
  }
  EXPECT_EQ(codes, (std::vector<WPARAM>{1, 2, 7, 3, 4, 5, 6, 7}));
}

TEST_F(Vrnctl, AWrongArgumentExitsWithTwoShowsTheUsageAndPostsNothing) {
  harness::RecordingWindow varnel(L"VarnelMain");
  for (const wchar_t* arguments : {L"", L"stamp", L"date_ex", L"name date", L"1"}) {
    const harness::ConsoleResult result = Run(arguments);
    EXPECT_EQ(result.exitCode, 2u) << '"' << Narrow(arguments) << '"';
    EXPECT_NE(Decoded(result.err).find(L"使い方: vrnctl"), std::wstring::npos) << Narrow(arguments);
  }
  const harness::ConsoleResult help = Run(L"/?");
  EXPECT_EQ(help.exitCode, 0u);
  EXPECT_NE(Decoded(help.out).find(L"date-ex"), std::wstring::npos) << "the usage goes to standard output";
  EXPECT_EQ(varnel.WaitForCodes(1, 300), std::vector<WPARAM>{});
}

// What an installer runs before it replaces the program: the running Varnel
// ends at once, without its question, and keeps its settings.
TEST_F(Vrnctl, CloseEndsVarnelUnaskedKeepingItsSettingsAndWaitsForIt) {
  EXPECT_EQ(Run(L"close").exitCode, 1u) << "no Varnel to close";
  harness::WriteQuietSettings();
  harness::RunningProgram varnel(harness::DistPath(L"Varnel.exe"));
  ASSERT_NE(harness::WaitForWindow(L"VarnelMain", 20000), nullptr);
  harness::DeleteTree(L"Software\\Qdx\\Varnel\\NameStamp");  // written again as the program ends
  const harness::ConsoleResult result = Run(L"CLOSE");
  EXPECT_EQ(result.exitCode, 0u) << Narrow(Decoded(result.err));
  EXPECT_FALSE(varnel.Running()) << "ended before vrnctl returned";
  EXPECT_EQ(varnel.WaitForExit(0), 0u);
  EXPECT_TRUE(harness::ReadString(harness::Section(L"NameStamp"), L"Text1").has_value()) << "its settings saved";
  harness::DeleteTree(L"Software\\Qdx");
}

}  // namespace
