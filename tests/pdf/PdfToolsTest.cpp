// Seals stamped on PDFs of several producers, checked by PDF tools nobody
// here wrote: qpdf finds the result sound, poppler's pdftoppm shows the
// seal's ink where it was asked at its designed size, and a signature made
// by poppler's pdfsig still verifies after the stamp.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "PdfDocument.h"
#include "PdfUpdate.h"

namespace {

namespace fs = std::filesystem;

constexpr int kDpi = 144;
constexpr double kPixelsPerMm = kDpi / 25.4;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

struct ShellRun {
  int status;
  std::string output;
};

ShellRun Shell(const std::string& command) {
  ShellRun run{-1, {}};
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
  run.status = pclose(pipe);
  return run;
}

fs::path OutputFolder() {
  const fs::path folder = fs::path(VARNEL_PDF_TEST_OUTPUT);
  fs::create_directories(folder);
  return folder;
}

// The seal stand-in: a red block 2 inches wide and 1 high, with a white
// notch at its top-left corner that tells which way is up.
PdfAppearance RedBlock() {
  PdfAppearance a;
  a.width = 144;
  a.height = 72;
  a.content = "1 0 0 rg 0 0 144 72 re f 1 1 1 rg 0 54 18 18 re f";
  a.text = "test seal";
  a.author = "Varnel";
  return a;
}

// The box of the red pixels of a page rendered by pdftoppm, in pixels.
struct Ink {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  int pageWidth = 0, pageHeight = 0;
  std::string pixels;  // RGB rows
  bool RedAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= pageWidth || y >= pageHeight) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(pixels.data()) + 3 * (std::size_t(y) * pageWidth + x);
    return p[0] > 200 && p[1] < 60 && p[2] < 60;
  }
};

Ink RenderedInk(const fs::path& pdf, int pageNumber) {
  Ink ink;
  const fs::path prefix = pdf.parent_path() / (pdf.stem().string() + "-page");
  const ShellRun run = Shell("pdftoppm -cropbox -r " + std::to_string(kDpi) + " -f " + std::to_string(pageNumber) +
                        " -l " + std::to_string(pageNumber) + " -singlefile '" + pdf.string() + "' '" +
                        prefix.string() + "'");
  EXPECT_EQ(run.status, 0) << run.output;
  const std::string ppm = ReadAll(prefix.string() + ".ppm");
  std::istringstream header(ppm);
  std::string magic;
  int maxValue = 0;
  header >> magic >> ink.pageWidth >> ink.pageHeight >> maxValue;
  EXPECT_EQ(magic, "P6");
  const std::size_t start = static_cast<std::size_t>(header.tellg()) + 1;
  if (magic != "P6" || ppm.size() < start + std::size_t(3) * ink.pageWidth * ink.pageHeight) return ink;
  ink.pixels = ppm.substr(start);
  for (int y = 0; y < ink.pageHeight; ++y) {
    for (int x = 0; x < ink.pageWidth; ++x) {
      if (ink.RedAt(x, y)) {
        ink.left = std::min(ink.left, x);
        ink.top = std::min(ink.top, y);
        ink.right = std::max(ink.right, x + 1);
        ink.bottom = std::max(ink.bottom, y + 1);
      }
    }
  }
  return ink;
}

PdfUpdate Stamp(const fs::path& in, const fs::path& out, const PdfStampSpec& spec) {
  const std::string original = ReadAll(in);
  MemoryFile file(original);
  PdfUpdate update = MakePdfUpdate(file, spec, RedBlock());
  if (update.result == PdfStampResult::Stamped) WriteAll(out, original + update.appended);
  return update;
}

PdfStampSpec SpecFor(PdfPageChoice page, PdfSealPosition position, bool flatten) {
  PdfStampSpec spec;
  spec.page = page;
  spec.position = position;
  spec.flatten = flatten;
  spec.annotationName = "varnel-tools-test";
  spec.date = PdfDate(2024, 3, 1, 9, 30, 0, 540);
  return spec;
}

// Where the seal's ink must stand on the page as shown, in pixels.
void ExpectInkWhereAsked(const fs::path& pdf, const PdfUpdate& update, const PdfSealPosition& position) {
  const Ink ink = RenderedInk(pdf, update.pageNumber);
  const double w = 2 * kDpi, h = kDpi;  // 2 x 1 inches
  double x = position.xMm * kPixelsPerMm, y = position.yMm * kPixelsPerMm;
  if (position.atCorner) {
    const double margin = position.marginMm * kPixelsPerMm;
    const bool right = position.corner == PdfCorner::TopRight || position.corner == PdfCorner::BottomRight;
    const bool bottom = position.corner == PdfCorner::BottomLeft || position.corner == PdfCorner::BottomRight;
    x = right ? ink.pageWidth - margin - w : margin;
    y = bottom ? ink.pageHeight - margin - h : margin;
  }
  EXPECT_NEAR(ink.right - ink.left, w, w * 0.01) << "ink width";
  EXPECT_NEAR(ink.bottom - ink.top, h, h * 0.01) << "ink height";
  EXPECT_NEAR(ink.left, x, 2) << "ink left";
  EXPECT_NEAR(ink.top, y, 2) << "ink top";
  // Upright: the notch at the top-left, none at the top-right.
  const int probeY = ink.top + static_cast<int>(h * 0.1);
  EXPECT_FALSE(ink.RedAt(ink.left + static_cast<int>(w * 0.05), probeY)) << "no notch at the top-left";
  EXPECT_TRUE(ink.RedAt(ink.right - 1 - static_cast<int>(w * 0.05), probeY)) << "a notch at the top-right";
}

void ExpectQpdfFindsItSound(const fs::path& pdf) {
  const ShellRun run = Shell("qpdf --check '" + pdf.string() + "'");
  EXPECT_EQ(run.status, 0) << run.output;
}

struct Case {
  const char* fixture;
  PdfPageChoice page;
  PdfSealPosition position;
  bool flatten;
};

}  // namespace

TEST(PdfTools, SealOnPdfsOfEveryProducerIsSoundAndWhereAsked) {
  const Case cases[] = {
      {"libreoffice", {PdfPageChoice::Kind::Last}, {true, PdfCorner::TopRight, 15}, false},
      {"libreoffice", {PdfPageChoice::Kind::First}, {false, PdfCorner::TopLeft, 0, 30, 40}, true},
      {"ghostscript", {PdfPageChoice::Kind::Number, 2}, {true, PdfCorner::BottomLeft, 12}, false},
      {"ghostscript", {PdfPageChoice::Kind::Last}, {true, PdfCorner::BottomRight, 5}, true},
      {"objstreams", {PdfPageChoice::Kind::First}, {true, PdfCorner::TopRight, 10}, false},
      {"objstreams", {PdfPageChoice::Kind::Last}, {false, PdfCorner::TopLeft, 0, 100, 150}, true},
      {"rotate90", {PdfPageChoice::Kind::Last}, {true, PdfCorner::TopRight, 10}, false},
      {"rotate90", {PdfPageChoice::Kind::Last}, {false, PdfCorner::TopLeft, 0, 20, 30}, true},
      {"pdf20", {PdfPageChoice::Kind::Last}, {true, PdfCorner::BottomRight, 20}, false},
      {"pdf20", {PdfPageChoice::Kind::First}, {true, PdfCorner::TopLeft, 8}, true},
  };
  int n = 0;
  for (const Case& c : cases) {
    const fs::path in = fs::path(VARNEL_PDF_FIXTURES) / (std::string(c.fixture) + ".pdf");
    const fs::path out = OutputFolder() / (std::string(c.fixture) + "-" + std::to_string(++n) + ".pdf");
    SCOPED_TRACE(out.string());
    const PdfUpdate update = Stamp(in, out, SpecFor(c.page, c.position, c.flatten));
    ASSERT_EQ(update.result, PdfStampResult::Stamped);
    ExpectQpdfFindsItSound(out);
    ExpectInkWhereAsked(out, update, c.position);
  }
}

TEST(PdfTools, SignatureStillVerifiesAfterTheStamp) {
  const fs::path folder = OutputFolder();
  const fs::path signedPdf = folder / "signed.pdf";
  const ShellRun sign = Shell(std::string("'") + VARNEL_PDF_TEST_SCRIPTS + "/sign-pdf' '" + VARNEL_PDF_FIXTURES +
                         "/ghostscript.pdf' '" + signedPdf.string() + "' '" + folder.string() + "'");
  ASSERT_EQ(sign.status, 0) << sign.output;
  ASSERT_NE(Shell("pdfsig '" + signedPdf.string() + "'").output.find("Signature is Valid"), std::string::npos);

  const PdfSealPosition corner{true, PdfCorner::TopRight, 10};
  const fs::path stamped = folder / "signed-stamped.pdf";
  const PdfUpdate update = Stamp(signedPdf, stamped, SpecFor({PdfPageChoice::Kind::Last}, corner, false));
  ASSERT_EQ(update.result, PdfStampResult::Stamped);
  const ShellRun check = Shell("pdfsig '" + stamped.string() + "'");
  EXPECT_NE(check.output.find("Signature is Valid"), std::string::npos) << check.output;
  ExpectQpdfFindsItSound(stamped);
  ExpectInkWhereAsked(stamped, update, corner);
  // Drawing into the signed page's content is refused.
  EXPECT_EQ(Stamp(signedPdf, folder / "signed-flat.pdf", SpecFor({PdfPageChoice::Kind::Last}, corner, true)).result,
            PdfStampResult::ChangesNotAllowed);
}
