#include "PdfRequest.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr std::string_view kMagic = "VarnelPdfStamp 1";
constexpr std::size_t kMaxRequest = 65536;
constexpr double kMaxMm = 10000;
constexpr int kMaxPage = 10'000'000;

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return out;
}

bool ParseInt(std::string_view text, int low, int high, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

bool ParsePage(std::string_view text, PdfPageChoice& page) {
  const std::string word = Lower(text);
  if (word == "first") page = {PdfPageChoice::Kind::First, 0};
  else if (word == "last") page = {PdfPageChoice::Kind::Last, 0};
  else if (int n = 0; ParseInt(word, 1, kMaxPage, n)) page = {PdfPageChoice::Kind::Number, n};
  else return false;
  return true;
}

bool ParseSeal(std::string_view text, PdfSealChoice& seal) {
  const std::string word = Lower(text);
  if (word == "name") seal = {PdfSealKind::Name, 0};
  else if (word == "date") seal = {PdfSealKind::Date, 0};
  else if (word == "bmp") seal = {PdfSealKind::Bitmap, 0};
  else if (word.starts_with("slot:") && ParseInt(std::string_view(word).substr(5), 1, 10, seal.slot))
    seal.kind = PdfSealKind::Slot;
  else return false;
  return true;
}

constexpr std::pair<std::string_view, PdfCorner> kCorners[] = {{"top-left", PdfCorner::TopLeft},
                                                               {"top-right", PdfCorner::TopRight},
                                                               {"bottom-left", PdfCorner::BottomLeft},
                                                               {"bottom-right", PdfCorner::BottomRight}};

bool ParseCorner(std::string_view text, PdfCorner& corner) {
  const std::string word = Lower(text);
  for (const auto& [name, value] : kCorners) {
    if (word == name) {
      corner = value;
      return true;
    }
  }
  return false;
}

std::string_view CornerName(PdfCorner corner) {
  for (const auto& [name, value] : kCorners)
    if (value == corner) return name;
  return "top-right";
}

bool ParseAt(std::string_view text, PdfSealPosition& position) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return false;
  position.atCorner = false;
  return ParseMm(text.substr(0, comma), position.xMm) && ParseMm(text.substr(comma + 1), position.yMm);
}

// No path holds control characters; the request's text is one line a value.
bool IsPathText(std::string_view text) {
  return !text.empty() &&
         std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::string MmText(double value) { return PdfNumberText(value); }

std::string SealText(const PdfSealChoice& seal) {
  switch (seal.kind) {
    case PdfSealKind::Date: return "date";
    case PdfSealKind::Bitmap: return "bmp";
    case PdfSealKind::Slot: return "slot:" + std::to_string(seal.slot);
    case PdfSealKind::Name: break;
  }
  return "name";
}

std::string PageText(const PdfPageChoice& page) {
  switch (page.kind) {
    case PdfPageChoice::Kind::First: return "first";
    case PdfPageChoice::Kind::Number: return std::to_string(page.number);
    case PdfPageChoice::Kind::Last: break;
  }
  return "last";
}

}  // namespace

PdfArgumentError ParsePdfArguments(const std::vector<std::string>& words, PdfControlRequest& request) {
  request = PdfControlRequest{};
  bool at = false, corner = false, margin = false, out = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string option = Lower(words[i]);
    if (!option.starts_with("--")) {
      if (!request.pdf.empty()) return {PdfArgumentError::Kind::ExtraFile, words[i]};
      if (!IsPathText(words[i])) return {PdfArgumentError::Kind::BadValue, words[i]};
      request.pdf = words[i];
      continue;
    }
    if (option == "--flatten") {
      request.flatten = true;
      continue;
    }
    if (option == "--in-place") {
      request.inPlace = true;
      continue;
    }
    if (option == "--replace") {
      request.replace = true;
      continue;
    }
    static constexpr std::string_view kWithValue[] = {"--seal", "--page", "--at", "--corner", "--margin", "--out"};
    if (std::find(std::begin(kWithValue), std::end(kWithValue), option) == std::end(kWithValue))
      return {PdfArgumentError::Kind::UnknownOption, words[i]};
    if (i + 1 >= words.size()) return {PdfArgumentError::Kind::MissingValue, words[i]};
    const std::string typed = words[i];
    std::string value = words[++i];
    bool good = false;
    if (option == "--seal") {
      // "--seal slot N", as the words are typed.
      if (Lower(value) == "slot") {
        if (i + 1 >= words.size()) return {PdfArgumentError::Kind::MissingValue, typed + " " + value};
        value += ":" + words[++i];
      }
      good = ParseSeal(value, request.seal);
    } else if (option == "--page") {
      good = ParsePage(value, request.page);
    } else if (option == "--at") {
      good = ParseAt(value, request.position);
      at = true;
    } else if (option == "--corner") {
      good = ParseCorner(value, request.position.corner);
      corner = true;
    } else if (option == "--margin") {
      good = ParseMm(value, request.position.marginMm);
      margin = true;
    } else if (option == "--out") {
      good = IsPathText(value);
      request.output = value;
      out = true;
    }
    if (!good) return {PdfArgumentError::Kind::BadValue, typed + " " + value};
  }
  if (request.pdf.empty()) return {PdfArgumentError::Kind::NoFile, {}};
  if (at && (corner || margin)) return {PdfArgumentError::Kind::Conflict, "--at --corner"};
  if (out && request.inPlace) return {PdfArgumentError::Kind::Conflict, "--out --in-place"};
  request.position.atCorner = !at;
  return {};
}

bool ParseMm(std::string_view text, double& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && std::isfinite(value) && value >= 0 &&
         value <= kMaxMm;
}

std::vector<std::string> SplitOptionWords(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (const char c : text) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t' || c == '\r' || c == '\n') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

std::string SerializePdfRequest(const PdfControlRequest& r) {
  std::string text(kMagic);
  text += "\nfile=" + r.pdf;
  text += "\nout=" + r.output;
  text += std::string("\nmode=") + (r.inPlace ? "in-place" : "copy");
  text += std::string("\nreplace=") + (r.replace ? "1" : "0");
  text += std::string("\nflatten=") + (r.flatten ? "1" : "0");
  text += "\nseal=" + SealText(r.seal);
  text += "\npage=" + PageText(r.page);
  if (r.position.atCorner) {
    text += "\ncorner=" + std::string(CornerName(r.position.corner));
    text += "\nmargin=" + MmText(r.position.marginMm);
  } else {
    text += "\nat=" + MmText(r.position.xMm) + "," + MmText(r.position.yMm);
  }
  if (r.fromVrnctl) text += "\nclient=vrnctl";
  return text + "\n";
}

std::optional<PdfControlRequest> ParsePdfRequest(std::string_view text) {
  if (text.size() > kMaxRequest || !text.starts_with(kMagic)) return std::nullopt;
  text.remove_prefix(kMagic.size());
  PdfControlRequest r;
  bool file = false, at = false, corner = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty()) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
    bool good = true;
    if (key == "file") {
      r.pdf = value;
      file = !value.empty();
    } else if (key == "out") {
      r.output = value;
    } else if (key == "mode") {
      good = value == "copy" || value == "in-place";
      r.inPlace = value == "in-place";
    } else if (key == "replace" || key == "flatten") {
      good = value == "0" || value == "1";
      (key == "replace" ? r.replace : r.flatten) = value == "1";
    } else if (key == "seal") {
      good = ParseSeal(value, r.seal);
    } else if (key == "page") {
      good = ParsePage(value, r.page);
    } else if (key == "corner") {
      good = ParseCorner(value, r.position.corner);
      corner = true;
    } else if (key == "margin") {
      good = ParseMm(value, r.position.marginMm);
    } else if (key == "at") {
      good = ParseAt(value, r.position);
      at = true;
    } else if (key == "client") {
      good = value == "vrnctl" || value == "VrnCtl";
      r.fromVrnctl = value == "vrnctl";
    } else {
      good = false;
    }
    if (!good) return std::nullopt;
  }
  if (!file || (at && corner)) return std::nullopt;
  r.position.atCorner = !at;
  return r;
}
