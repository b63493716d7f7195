#include "OnePagePdf.h"

#include <cstdio>
#include <vector>

namespace harness {

namespace {

class PdfFile {
 public:
  PdfFile() { bytes_ = "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n"; }
  // Objects are numbered in the order they are added, from 1.
  void Add(const std::string& dictionary, const std::string* stream = nullptr) {
    offsets_.push_back(bytes_.size());
    bytes_ += std::to_string(offsets_.size()) + " 0 obj\n" + dictionary;
    if (stream) bytes_ += "\nstream\n" + *stream + "\nendstream";
    bytes_ += "\nendobj\n";
  }
  std::string Finish() {
    const std::size_t xref = bytes_.size();
    bytes_ += "xref\n0 " + std::to_string(offsets_.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t offset : offsets_) {
      char line[24];
      std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
      bytes_ += line;
    }
    bytes_ += "trailer\n<< /Size " + std::to_string(offsets_.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
              std::to_string(xref) + "\n%%EOF\n";
    return bytes_;
  }
  static std::string Ref(std::size_t n) { return std::to_string(n) + " 0 R"; }

 private:
  std::string bytes_;
  std::vector<std::size_t> offsets_;
};

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", v);
  return text;
}

}  // namespace

std::string OnePagePdf(const PdfAppearance& form) {
  const std::string box = "[0 0 " + Number(form.width) + " " + Number(form.height) + "]";
  // 1 catalog, 2 pages, 3 page, 4 page content, 5 the form, then per
  // picture its image and its mask.
  PdfFile pdf;
  pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  pdf.Add("<< /Type /Page /Parent 2 0 R /MediaBox " + box + " /Resources << /XObject << /Seal 5 0 R >> >> "
          "/Contents 4 0 R >>");
  const std::string page = "q /Seal Do Q";
  pdf.Add("<< /Length " + std::to_string(page.size()) + " >>", &page);
  std::string pictures;
  std::size_t next = 6;
  for (const PdfImage& image : form.images) {
    pictures += " /" + image.name + " " + PdfFile::Ref(next);
    next += image.alpha.empty() ? 1 : 2;
  }
  pdf.Add("<< /Type /XObject /Subtype /Form /BBox " + box + " /Resources << /XObject <<" + pictures +
              " >> >> /Length " + std::to_string(form.content.size()) + " >>",
          &form.content);
  next = 6;
  for (const PdfImage& image : form.images) {
    const std::string size = " /Width " + std::to_string(image.width) + " /Height " + std::to_string(image.height) +
                             " /BitsPerComponent 8";
    const std::string rgb(image.rgb.begin(), image.rgb.end());
    const std::string mask = image.alpha.empty() ? "" : " /SMask " + PdfFile::Ref(next + 1);
    pdf.Add("<< /Type /XObject /Subtype /Image" + size + " /ColorSpace /DeviceRGB" + mask + " /Length " +
                std::to_string(rgb.size()) + " >>",
            &rgb);
    if (!image.alpha.empty()) {
      const std::string alpha(image.alpha.begin(), image.alpha.end());
      pdf.Add("<< /Type /XObject /Subtype /Image" + size + " /ColorSpace /DeviceGray /Length " +
                  std::to_string(alpha.size()) + " >>",
              &alpha);
    }
    next += image.alpha.empty() ? 1 : 2;
  }
  return pdf.Finish();
}

}  // namespace harness
