// A seal stamped on a PDF file by the program's Win32 side, as the user and
// other programs meet it: files written beside the PDF or appended to it
// (checked by qpdf on the host), every refusal with its message and the file
// untouched, vrnctl's "pdf" command and VrnCtl's _PdfStampW answered by the
// running program, and the dialog "PDFに押印".

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "PdfControl.h"
#include "ProgramFolder.h"
#include "PdfStampDialog.h"
#include "PdfTestFiles.h"
#include "Text.h"
#include "harness/ConsoleProgram.h"
#include "harness/Dialogs.h"
#include "harness/HostPath.h"
#include "harness/Pixels.h"
#include "harness/Process.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

const std::wstring kFixtures = harness::HostPath(VARNEL_PDF_FIXTURES_UNIX);
const std::wstring kOutputUnix = std::wstring(VARNEL_OUTPUT_UNIX) + L"/pdf";
const std::wstring kOutput = harness::HostPath(kOutputUnix);

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
  std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << bytes;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A fresh copy of a fixture in the output folder.
std::wstring Fresh(const std::wstring& fixture, const std::wstring& name) {
  CreateDirectoryW(harness::HostPath(VARNEL_OUTPUT_UNIX).c_str(), nullptr);
  CreateDirectoryW(kOutput.c_str(), nullptr);
  const std::wstring path = kOutput + L"\\" + name;
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(StampedCopyName(path).c_str());
  WriteAll(path, ReadAll(kFixtures + L"\\" + fixture));
  return path;
}

PdfAppearance RedBlock() {
  PdfAppearance a;
  a.width = 144;
  a.height = 72;
  a.content = "1 0 0 rg 0 0 144 72 re f";
  a.text = "test";
  a.author = "Varnel";
  return a;
}

void ExpectQpdfFindsItSound(const std::wstring& name) {
  EXPECT_EQ(harness::RunHostShell(L"qpdf --check '" + kOutputUnix + L"/" + name + L"' >/dev/null"), 0) << name.c_str();
}

// The stamped ink's box on page 1, in pixels of a rendering at 254 dpi
// (10 pixels a millimetre): "width height left top", by poppler and
// ImageMagick on the host.
std::string InkBox(const std::wstring& name) {
  const std::wstring png = kOutputUnix + L"/ink-box";
  const std::wstring command = L"pdftoppm -r 254 -f 1 -l 1 -png '" + kOutputUnix + L"/" + name + L"' '" + png +
                               L"' && convert '" + png + L"-1.png' -fuzz 35% -fill white +opaque red -trim " +
                               L"-format '%w %h %X %Y' info: > '" + png + L".txt'";
  if (harness::RunHostShell(command) != 0) return {};
  return harness::ReadWholeFile(harness::HostPath(png + L".txt")).value_or("");
}

// "2026-12", the month of the stamp log's file.
std::wstring MonthStamp() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t text[16];
  swprintf(text, 16, L"%04d-%02d", now.wYear, now.wMonth);
  return text;
}

}  // namespace

TEST(PdfStampFile, CopyBesideThePdfAndAppendInPlaceKeepTheOriginalsBytes) {
  const std::wstring pdf = Fresh(L"objstreams.pdf", L"quote.pdf");
  const std::string original = ReadAll(pdf);
  PdfStampRequest request;
  request.pdf = pdf;
  const PdfStampOutcome copy = StampSealOnPdf(request, RedBlock());
  ASSERT_EQ(copy.result, PdfStampResult::Stamped) << copy.message.c_str();
  EXPECT_EQ(copy.output, kOutput + L"\\quote_押印.pdf");
  EXPECT_NE(copy.message.find(L"PDFに押印しました（2ページ）"), std::wstring::npos);
  const std::string stamped = ReadAll(copy.output);
  EXPECT_TRUE(stamped.substr(0, original.size()) == original) << "the copy does not start with the original";
  EXPECT_GT(stamped.size(), original.size());
  EXPECT_TRUE(ReadAll(pdf) == original) << "the original changed";
  ExpectQpdfFindsItSound(L"quote_押印.pdf");

  request.mode = PdfWriteMode::InPlace;
  request.flatten = true;
  const PdfStampOutcome inPlace = StampSealOnPdf(request, RedBlock());
  ASSERT_EQ(inPlace.result, PdfStampResult::Stamped) << inPlace.message.c_str();
  const std::string appended = ReadAll(pdf);
  EXPECT_TRUE(appended.substr(0, original.size()) == original) << "the original's bytes changed";
  EXPECT_GT(appended.size(), original.size());
  ExpectQpdfFindsItSound(L"quote.pdf");
}

TEST(PdfStampFile, EveryRefusalSaysWhyAndLeavesTheFileAsItWas) {
  TestPdf encrypted = FivePages();
  struct Case {
    const char* name;
    std::string bytes;  // the file's content; empty: the fixture
    PdfWriteMode mode;
    PdfPageChoice page;
    bool readOnly;
    bool copyExists;
    PdfStampResult result;
    const wchar_t* says;
  };
  const Case cases[] = {
      {"encrypted", encrypted.Build(TestXref::Table, "/Encrypt<</Filter/Standard>>"), PdfWriteMode::Copy, {},
       false, false, PdfStampResult::Encrypted, L"暗号化"},
      {"not a PDF", "ただのテキスト\r\n", PdfWriteMode::InPlace, {}, false, false, PdfStampResult::NotPdf,
       L"PDFファイルではありません"},
      {"broken", "%PDF-1.4\n1 0 obj\n<<>>\nendobj\nstartxref\n9\n%%EOF\n", PdfWriteMode::InPlace, {}, false, false,
       PdfStampResult::BrokenXref, L"修復"},
      {"page 9", "", PdfWriteMode::InPlace, {PdfPageChoice::Kind::Number, 9}, false, false,
       PdfStampResult::PageOutOfRange, L"このPDFは2ページです"},
      {"read-only", "", PdfWriteMode::InPlace, {}, true, false, PdfStampResult::CannotWrite, L"保存できませんでした"},
      {"copy exists", "", PdfWriteMode::Copy, {}, false, true, PdfStampResult::OutputExists, L"同じ名前"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring pdf = Fresh(L"libreoffice.pdf", L"refused.pdf");
    if (!c.bytes.empty()) WriteAll(pdf, c.bytes);
    const std::wstring copy = StampedCopyName(pdf);
    if (c.copyExists) WriteAll(copy, "an older copy");
    if (c.readOnly) SetFileAttributesW(pdf.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string before = ReadAll(pdf);
    PdfStampRequest request;
    request.pdf = pdf;
    request.mode = c.mode;
    request.page = c.page;
    const PdfStampOutcome outcome = StampSealOnPdf(request, RedBlock());
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_NE(outcome.message.find(c.says), std::wstring::npos) << Narrow(outcome.message);
    EXPECT_TRUE(ReadAll(pdf) == before) << "the PDF changed";
    EXPECT_EQ(Exists(copy) ? ReadAll(copy) : "", c.copyExists ? "an older copy" : "");
    SetFileAttributesW(pdf.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  PdfStampRequest missing;
  missing.pdf = kOutput + L"\\no-such.pdf";
  EXPECT_EQ(StampSealOnPdf(missing, RedBlock()).result, PdfStampResult::CannotOpen);
  missing.pdf = Fresh(L"libreoffice.pdf", L"refused.pdf");
  missing.output = kOutput + L"\\no-such-folder\\out.pdf";
  EXPECT_EQ(StampSealOnPdf(missing, RedBlock()).result, PdfStampResult::CannotWrite);
}

// vrnctl pdf and _PdfStampW reach the running program, which stamps its
// own name seal at its printed size where asked, keeps the stamp in its log,
// and answers every refusal with its own code.
TEST(PdfStampControl, VrnctlAndTheLibraryReachTheProgramAndReportTheOutcome) {
  const std::wstring vrnctl = harness::DistPath(L"vrnctl.exe");
  const std::wstring pdf = Fresh(L"rotate90.pdf", L"order.pdf");
  const auto run = [&](const std::wstring& arguments) { return harness::RunConsoleProgram(vrnctl, arguments, 60000); };
  EXPECT_EQ(run(L"pdf \"" + pdf + L"\"").exitCode, 1u);  // nobody to answer
  harness::WriteQuietSettings();
  harness::WriteString(harness::kRoot, L"Bitmap1", L"0");
  harness::WriteString(harness::kRoot, L"StampLog", L"1");
  const std::wstring log = UserFile(L"stamp-log-" + MonthStamp() + L".jsonl");
  DeleteFileW(log.c_str());
  harness::VarnelRun varnel;
  ASSERT_TRUE(varnel.Start());
  DeleteFileW((kOutput + L"\\order-out.pdf").c_str());
  const harness::ConsoleResult stamped =
      run(L"pdf \"" + pdf + L"\" --page 1 --corner bottom-left --margin 12 --out \"" + kOutput + L"\\order-out.pdf\"");
  EXPECT_EQ(stamped.exitCode, 0u) << stamped.err;
  EXPECT_NE(stamped.out.find("order-out.pdf"), std::string::npos) << stamped.out;
  ExpectQpdfFindsItSound(L"order-out.pdf");
  // The name seal of 9.30 mm, 12 mm from the left of the page as shown.
  int width = 0, height = 0, left = 0, top = 0;
  std::istringstream(InkBox(L"order-out.pdf")) >> width >> height >> left >> top;
  EXPECT_NEAR(width, 93, 2) << "the designed size, 10 pixels a millimetre";
  EXPECT_NEAR(height, 93, 2);
  EXPECT_NEAR(left, 120, 3);
  const std::string logged = harness::ReadWholeFile(log).value_or("");
  EXPECT_NE(logged.find(R"("trigger":"vrnctl")"), std::string::npos) << logged;
  EXPECT_NE(logged.find(R"("picture":"file-pdf")"), std::string::npos) << logged;
  struct Case {
    const wchar_t* arguments;
    DWORD exitCode;
  };
  const Case cases[] = {
      {L"--page 7", 15},          {L"--out order-out.pdf --in-place", 2}, {L"--at 10,10 --corner top-left", 2},
      {L"--seal slot 11", 2},     {L"--frobnicate", 2},         {L"--seal bmp", 21},
      {L"--at 400,10", 18},
  };
  for (const Case& c : cases) {
    const harness::ConsoleResult result = run(L"pdf \"" + pdf + L"\" " + c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode) << Narrow(c.arguments) << ": " << result.err;
    EXPECT_FALSE(result.err.empty()) << Narrow(c.arguments);
  }
  EXPECT_EQ(run(L"pdf \"" + kOutput + L"\\no-such.pdf\"").exitCode, 10u);
  const harness::ConsoleResult exists = run(L"pdf \"" + pdf + L"\" --out \"" + kOutput + L"\\order-out.pdf\"");
  EXPECT_EQ(exists.exitCode, 19u);
  EXPECT_NE(exists.err.find(Narrow(L"同じ名前のファイルがあります")), std::string::npos) << exists.err;

  HMODULE library = LoadLibraryW(harness::DistPath(L"VrnCtl.dll").c_str());
  ASSERT_TRUE(library);
  using PdfStampW = int(__cdecl*)(const wchar_t*, const wchar_t*);
  const auto stamp = reinterpret_cast<PdfStampW>(reinterpret_cast<void*>(GetProcAddress(library, "_PdfStampW")));
  ASSERT_TRUE(stamp);
  EXPECT_EQ(stamp(pdf.c_str(), L"--in-place --corner top-left"), 0);
  EXPECT_EQ(stamp(pdf.c_str(), L"--seal bmp"), 21);
  FreeLibrary(library);
  ExpectQpdfFindsItSound(L"order.pdf");
  varnel.Stop();
  DeleteFileW(log.c_str());
  harness::DeleteTree(L"Software\\Qdx");
}

TEST(PdfStampDialog, FillsTheRequestFromTheUsersChoices) {
  const std::wstring pdf = Fresh(L"rotate90.pdf", L"dialog.pdf");
  struct Driver {
    std::wstring pdf;
    std::wstring facts;
    static DWORD WINAPI Run(void* self) {
      auto* d = static_cast<Driver*>(self);
      HWND dialog = harness::WaitForWindow(L"PDFに押印", 10000);
      if (!dialog) return 1;
      harness::SetControlText(dialog, IDC_PDF_FILE, d->pdf);
      harness::Click(dialog, IDC_PDF_PAGE_NUMBER);
      harness::SetControlText(dialog, IDC_PDF_PAGE_EDIT, L"2");
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_PDF_FILE, EN_KILLFOCUS), 0);
      harness::Click(dialog, IDC_PDF_AT_POINT);
      harness::SetControlText(dialog, IDC_PDF_X, L"25");
      harness::SetControlText(dialog, IDC_PDF_Y, L"30.5");
      harness::Click(dialog, IDC_PDF_FLATTEN);
      Sleep(500);
      d->facts = harness::ControlText(dialog, IDC_PDF_FACTS);
      harness::WriteBmp(harness::CaptureWindow(dialog), kOutput + L"\\pdf-stamp-dialog.bmp");
      harness::Click(dialog, IDOK);
      return 0;
    }
  } driver{pdf, {}};
  HANDLE thread = CreateThread(nullptr, 0, Driver::Run, &driver, 0, nullptr);
  PdfStampRequest request;
  PdfStampSeals seals;
  seals.slotNames = {L"", L"受付印"};
  const bool accepted = AskPdfStamp(nullptr, seals, request);
  WaitForSingleObject(thread, 10000);
  CloseHandle(thread);
  ASSERT_TRUE(accepted);
  EXPECT_EQ(request.pdf, pdf);
  EXPECT_EQ(request.page.kind, PdfPageChoice::Kind::Number);
  EXPECT_EQ(request.page.number, 2);
  EXPECT_FALSE(request.position.atCorner);
  EXPECT_EQ(request.position.xMm, 25);
  EXPECT_EQ(request.position.yMm, 30.5);
  EXPECT_TRUE(request.flatten);
  EXPECT_EQ(request.mode, PdfWriteMode::Copy);
  // The second page is shown turned: A4 across.
  EXPECT_NE(driver.facts.find(L"全2ページ。このページは横 297.0 mm × 縦 210.0 mm です。"), std::wstring::npos)
      << Narrow(driver.facts);
}
