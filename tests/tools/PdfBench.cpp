// Figures of stamping a seal on a large PDF (scripts/bench): a 1000-page,
// 100 MB file made here, stamped into a copy against a plain copy of the
// file, and appended to in place against only reading what stamping reads;
// the bytes appended for a name-seal-sized appearance; and the process's
// peak memory after stamping the large file against a small one.
// Usage: pdf_bench.exe <work folder>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "PdfStampFile.h"
#include "UniqueHandle.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Pages of about 100 KB of content each, with a classic cross-reference table.
bool MakePdf(const std::wstring& path, int pages, std::size_t contentBytes) {
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (!out) return false;
  std::uint64_t offset = 0;
  std::vector<std::uint64_t> offsets(3 + 2 * static_cast<std::size_t>(pages), 0);
  auto put = [&](const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), out);
    offset += text.size();
  };
  put("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n");
  offsets[1] = offset;
  put("1 0 obj\n<</Type/Catalog/Pages 2 0 R>>\nendobj\n");
  std::string kids;
  for (int i = 0; i < pages; ++i) kids += std::to_string(3 + 2 * i) + " 0 R ";
  offsets[2] = offset;
  put("2 0 obj\n<</Type/Pages/Count " + std::to_string(pages) + "/MediaBox[0 0 595 842]/Kids[" + kids + "]>>\nendobj\n");
  std::string content;
  for (unsigned i = 0; content.size() < contentBytes; ++i)
    content += "0.5 g " + std::to_string(50 + i % 400) + " " + std::to_string(50 + i * 7 % 700) + " 40 2 re f\n";
  for (int i = 0; i < pages; ++i) {
    const int page = 3 + 2 * i;
    offsets[page] = offset;
    put(std::to_string(page) + " 0 obj\n<</Type/Page/Parent 2 0 R/Contents " + std::to_string(page + 1) +
        " 0 R>>\nendobj\n");
    offsets[page + 1] = offset;
    put(std::to_string(page + 1) + " 0 obj\n<</Length " + std::to_string(content.size()) + ">>stream\n" + content +
        "\nendstream\nendobj\n");
  }
  const std::uint64_t xref = offset;
  put("xref\n0 " + std::to_string(offsets.size()) + "\n0000000000 65535 f\r\n");
  char line[32];
  for (std::size_t n = 1; n < offsets.size(); ++n) {
    std::snprintf(line, sizeof line, "%010llu 00000 n\r\n", static_cast<unsigned long long>(offsets[n]));
    put(line);
  }
  put("trailer\n<</Size " + std::to_string(offsets.size()) + "/Root 1 0 R>>\nstartxref\n" + std::to_string(xref) +
      "\n%%EOF\n");
  return std::fclose(out) == 0;
}

// About what a name seal's outlines weigh: a ring and a few hundred curves.
PdfAppearance NameSealSized() {
  PdfAppearance a;
  a.width = a.height = 26.4;  // 9.3 mm
  a.content = "0.85 0.1 0.1 rg 0.85 0.1 0.1 RG 1 w 13.2 1 m 19.9 1 25.4 6.5 25.4 13.2 c S\n";
  for (int i = 0; i < 600; ++i)
    a.content += std::to_string(5 + i % 16) + ".25 " + std::to_string(4 + i % 18) + ".5 m " +
                 std::to_string(6 + i % 15) + ".1 " + std::to_string(5 + i % 17) + ".9 " +
                 std::to_string(7 + i % 13) + ".3 " + std::to_string(6 + i % 16) + ".2 " +
                 std::to_string(8 + i % 12) + ".7 " + std::to_string(7 + i % 15) + ".4 c f\n";
  a.text = "山田";
  a.author = "Varnel";
  return a;
}

std::uint64_t FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

double PeakMegabytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize / 1048576.0;
}

template <typename F>
double Best(int runs, F&& work) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    if (!work()) return -1;
    best = std::min(best, Seconds(start));
  }
  return best;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring folder = argv[1];
  const std::wstring small = folder + L"\\small.pdf", large = folder + L"\\large.pdf";
  const std::wstring copy = folder + L"\\copy.pdf", stamped = folder + L"\\stamped.pdf";
  const std::wstring inPlace = folder + L"\\in-place.pdf";
  if (!MakePdf(small, 10, 100 * 1024) || !MakePdf(large, 1000, 100 * 1024)) {
    std::fputs("pdf bench: cannot write the test files\n", stderr);
    return 1;
  }
  const PdfAppearance seal = NameSealSized();
  PdfStampRequest request;
  request.pdf = small;
  request.output = stamped;
  request.replaceOutput = true;
  const double peakBefore = PeakMegabytes();
  if (StampSealOnPdf(request, seal).result != PdfStampResult::Stamped) return 1;
  const double peakSmall = PeakMegabytes();
  const std::uint64_t smallAppended = FileSize(stamped) - FileSize(small);

  request.pdf = large;
  const double copySeconds = Best(3, [&] { return CopyFileW(large.c_str(), copy.c_str(), FALSE) != 0; });
  // The same copy made sure on the disk, as every save of the program makes
  // its file before it takes the target's place.
  const double flushedCopySeconds = Best(3, [&] {
    if (!CopyFileW(large.c_str(), copy.c_str(), FALSE)) return false;
    const UniqueFile file(CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return file && FlushFileBuffers(file.get());
  });
  const double stampSeconds =
      Best(3, [&] { return StampSealOnPdf(request, seal).result == PdfStampResult::Stamped; });
  const double peakLarge = PeakMegabytes();
  const std::uint64_t largeAppended = FileSize(stamped) - FileSize(large);

  CopyFileW(large.c_str(), inPlace.c_str(), FALSE);
  PdfStampRequest append = request;
  append.pdf = inPlace;
  append.mode = PdfWriteMode::InPlace;
  const double appendSeconds =
      Best(3, [&] { return StampSealOnPdf(append, seal).result == PdfStampResult::Stamped; });
  const double readSeconds = Best(3, [&] { return ReadPdfFacts(large, {PdfPageChoice::Kind::Last, 0}).result ==
                                                  PdfStampResult::Stamped; });

  std::printf("pdf: %.1f MB, 1000 pages\n", FileSize(large) / 1048576.0);
  std::printf("pdf: plain copy %.3f s, flushed to the disk %.3f s; stamped copy (flushed) %.3f s: %.2fx the flushed "
              "copy (target 1.5x), %.2fx the plain one\n",
              copySeconds, flushedCopySeconds, stampSeconds, stampSeconds / flushedCopySeconds,
              stampSeconds / copySeconds);
  std::printf("pdf: reading what stamping reads %.3f s, stamped in place %.3f s (target under 1 s)\n", readSeconds,
              appendSeconds);
  std::printf("pdf: bytes appended for a name seal: %llu on 10 pages (1 MB), %llu on 1000 pages (100 MB) (target under 64 KB)\n",
              static_cast<unsigned long long>(smallAppended), static_cast<unsigned long long>(largeAppended));
  std::printf("pdf: peak working set %.1f MB before, %.1f MB after the 1 MB file, %.1f MB after the 100 MB file\n",
              peakBefore, peakSmall, peakLarge);
  for (const std::wstring& file : {small, large, copy, stamped, inPlace}) DeleteFileW(file.c_str());
  return 0;
}
