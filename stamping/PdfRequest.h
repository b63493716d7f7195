#pragma once
// A request to stamp a seal on a PDF, as another program sends it to the
// running Varnel (vrnctl's "pdf" command, VrnCtl's _PdfStamp): its words,
// and the text that carries it between the programs. Paths are UTF-8 here;
// the Windows side converts them at its edge.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "PdfPlacement.h"
#include "PdfUpdate.h"

enum class PdfSealKind { Name, Date, Bitmap, Slot };

struct PdfSealChoice {
  PdfSealKind kind = PdfSealKind::Name;
  int slot = 0;  // 1 to 10, the toolbar's slot, for Slot
};

struct PdfControlRequest {
  std::string pdf;
  std::string output;  // empty: "…_押印.pdf" beside the PDF (or the PDF itself when inPlace)
  bool inPlace = false;
  bool replace = false;  // an existing output may be replaced
  bool flatten = false;
  PdfSealChoice seal;
  PdfPageChoice page;
  PdfSealPosition position;
  bool fromVrnctl = false;  // sent by vrnctl.exe rather than VrnCtl.dll
};

// What is wrong with a request's words, and the word.
struct PdfArgumentError {
  enum class Kind { None, UnknownOption, MissingValue, BadValue, NoFile, ExtraFile, Conflict } kind = Kind::None;
  std::string word;
};

// vrnctl's words after "pdf": FILE.pdf [--seal name|date|bmp|slot N]
// [--page N|first|last] [--at X,Y | --corner top-left|top-right|bottom-left|
// bottom-right] [--margin MM] [--out OUT.pdf | --in-place] [--replace]
// [--flatten]. Options are matched without regard to case.
PdfArgumentError ParsePdfArguments(const std::vector<std::string>& words, PdfControlRequest& request);

// A length in millimetres as the user writes it ("12.5"), from 0 to 10000.
bool ParseMm(std::string_view text, double& value);

// The words of one option string, as a command line splits them: blanks
// separate, double quotes keep blanks inside a word.
std::vector<std::string> SplitOptionWords(std::string_view text);

// The text that travels: "VarnelPdfStamp 1" and one key=value a line.
std::string SerializePdfRequest(const PdfControlRequest& request);
std::optional<PdfControlRequest> ParsePdfRequest(std::string_view text);
