#pragma once
// Small PDF files written by hand for the reader's and writer's tests: each
// object as text, and the cross-reference as a table, as a stream (with the
// PNG "Up" predictor and the objects chosen put in an object stream), or as
// a hybrid: a table whose /XRefStm stream lists the compressed objects.

#include <map>
#include <set>
#include <string>

#include "PdfFilters.h"

enum class TestXref { Table, Stream, Hybrid };

class TestPdf {
 public:
  void Set(int number, std::string body) { objects_[number] = std::move(body); }
  void Compress(int number) { compressed_.insert(number); }

  std::string Build(TestXref kind, const std::string& trailerExtra = "") const {
    std::string out = "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n";
    std::map<int, std::size_t> offsets;
    int size = objects_.empty() ? 1 : objects_.rbegin()->first + 1;
    const bool packs = kind != TestXref::Table && !compressed_.empty();
    const int stream = size;  // the object stream's number
    const int xrefNumber = size + 1;
    if (packs || kind != TestXref::Table) size += 2;
    std::map<int, int> index;  // compressed object -> index in the stream
    std::string header, body;
    for (const auto& [number, text] : objects_) {
      if (packs && compressed_.count(number)) {
        index[number] = static_cast<int>(index.size());
        header += std::to_string(number) + ' ' + std::to_string(body.size()) + ' ';
        body += text + '\n';
        continue;
      }
      offsets[number] = out.size();
      out += std::to_string(number) + " 0 obj\n" + text + "\nendobj\n";
    }
    if (packs) {
      const std::string data = FlateCompress(header + body);
      offsets[stream] = out.size();
      out += std::to_string(stream) + " 0 obj\n<</Type/ObjStm/N " + std::to_string(index.size()) + "/First " +
             std::to_string(header.size()) + "/Filter/FlateDecode/Length " + std::to_string(data.size()) +
             ">>stream\n" + data + "\nendstream\nendobj\n";
    }
    const std::string trailer = "/Size " + std::to_string(size) + "/Root 1 0 R" + trailerExtra;
    std::string xrefStream;
    std::size_t xrefStreamOffset = 0;
    if (kind != TestXref::Table) {
      // Rows of 1 + 4 + 2 bytes, each after the PNG filter byte 2 (Up).
      std::string rows;
      std::string previous(7, '\0');
      auto row = [&](int type, std::uint32_t second, int third) {
        std::string r{static_cast<char>(type), static_cast<char>(second >> 24), static_cast<char>(second >> 16),
                      static_cast<char>(second >> 8), static_cast<char>(second), static_cast<char>(third >> 8),
                      static_cast<char>(third)};
        rows += '\x02';
        for (int i = 0; i < 7; ++i) rows += static_cast<char>(r[i] - previous[i]);
        previous = r;
      };
      xrefStreamOffset = out.size();
      for (int n = 0; n < size; ++n) {
        if (n == xrefNumber) row(1, static_cast<std::uint32_t>(xrefStreamOffset), 0);
        else if (index.count(n)) row(2, static_cast<std::uint32_t>(stream), index.at(n));
        else if (offsets.count(n) && (kind == TestXref::Stream || n == stream)) row(1, static_cast<std::uint32_t>(offsets.at(n)), 0);
        else row(0, 0, n == 0 ? 65535 : 0);
      }
      const std::string data = FlateCompress(rows);
      out += std::to_string(xrefNumber) + " 0 obj\n<</Type/XRef" + trailer +
             "/W[1 4 2]/Filter/FlateDecode/DecodeParms<</Predictor 12/Columns 7>>/Length " +
             std::to_string(data.size()) + ">>stream\n" + data + "\nendstream\nendobj\n";
    }
    if (kind == TestXref::Stream) return out + "startxref\n" + std::to_string(xrefStreamOffset) + "\n%%EOF\n";
    const std::size_t xref = out.size();
    out += "xref\n0 " + std::to_string(size) + "\n";
    for (int n = 0; n < size; ++n) {
      char line[24];
      if (offsets.count(n) && !(kind == TestXref::Hybrid && n == stream))
        std::snprintf(line, sizeof line, "%010zu 00000 n\r\n", offsets.at(n));
      else
        std::snprintf(line, sizeof line, "%010d %05d f\r\n", 0, n == 0 ? 65535 : 0);
      out += line;
    }
    if (kind == TestXref::Hybrid) {
      // The stream's own object is listed in the stream only.
      return out + "trailer\n<<" + trailer + "/XRefStm " + std::to_string(xrefStreamOffset) + ">>\nstartxref\n" +
             std::to_string(xref) + "\n%%EOF\n";
    }
    return out + "trailer\n<<" + trailer + ">>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  }

 private:
  std::map<int, std::string> objects_;
  std::set<int> compressed_;
};

// A document of five pages in two levels: the tree's root gives the media
// box and /Rotate 90, the inner node a crop box; page 4 has its own media
// box, /Rotate 180 and /UserUnit 2; page 5 has an indirect /Annots array.
inline TestPdf FivePages() {
  TestPdf pdf;
  pdf.Set(1, "<</Type/Catalog/Pages 2 0 R>>");
  pdf.Set(2, "<</Type/Pages/Kids[3 0 R 4 0 R 5 0 R]/Count 5/MediaBox[0 0 595 842]/Rotate 90/Resources<</ProcSet[/PDF]>>>>");
  pdf.Set(3, "<</Type/Page/Parent 2 0 R/Contents 10 0 R>>");
  pdf.Set(4, "<</Type/Pages/Parent 2 0 R/Kids[6 0 R 7 0 R 8 0 R]/Count 3/CropBox[10 20 400 600]>>");
  pdf.Set(5, "<</Type/Page/Parent 2 0 R/Annots 11 0 R>>");
  pdf.Set(6, "<</Type/Page/Parent 4 0 R>>");
  pdf.Set(7, "<</Type/Page/Parent 4 0 R>>");
  pdf.Set(8, "<</Type/Page/Parent 4 0 R/MediaBox[0 0 300 200]/Rotate -180/UserUnit 2/Contents[10 0 R 10 0 R]>>");
  pdf.Set(10, "<</Length 8>>stream\n0 0 m S\n\nendstream");
  pdf.Set(11, "[]");
  for (int n : {2, 4, 6, 7, 8, 11}) pdf.Compress(n);
  return pdf;
}
