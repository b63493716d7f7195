// The stamp log's reader on arbitrary files: a flags byte (bit 0: check a
// file alone, from its first record), then the log's files separated by form
// feeds. Besides memory safety it holds the reader to its promises: an intact
// chain has every line readable, and every text read back is written and
// read again unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "Json.h"
#include "StampLog.h"

namespace {

void Require(bool holds) {
  if (!holds) std::abort();
}

void CheckJsonRoundTrip(std::string_view line) {
  const std::optional<JsonObject> object = ParseJsonObject(line);
  if (!object) return;
  std::string again = "{";
  for (const auto& [name, value] : *object) {
    if (again.size() > 1) again += ',';
    AppendJsonString(again, name);
    again += ':';
    if (value.isString)
      AppendJsonString(again, value.text);
    else
      again += value.text;
  }
  again += '}';
  const std::optional<JsonObject> back = ParseJsonObject(again);
  Require(back && back->size() == object->size());
  for (const auto& [name, value] : *object) {
    const auto found = back->find(name);
    Require(found != back->end() && found->second.text == value.text && found->second.isString == value.isString);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const auto flags = input.Take<std::uint8_t>();
  std::vector<StampLogFile> files;
  for (std::string_view part : SplitText(input.RestText(), '\f'))
    files.push_back({"stamp-log-2026-" + std::to_string(files.size() + 1) + ".jsonl", std::string(part)});

  const ChainReport report = VerifyChain(files, flags & 1 ? ChainFrom::kFirstRecord : ChainFrom::kLogStart);
  const std::vector<LoggedStamp> stamps = ReadStamps(files);
  std::size_t lines = 0;
  for (const StampLogFile& file : files) {
    for (std::string_view line : LogLines(file.bytes)) {
      ++lines;
      CheckJsonRoundTrip(line);
    }
  }
  if (report.status == ChainStatus::kIntact) Require(stamps.size() == lines && report.records == lines);
  ReportText(report);

  StampLogFilter filter;
  if (!stamps.empty()) {
    filter.from = FilterDate(stamps.front().record.time.substr(0, 10)).value_or("");
    filter.text = stamps.back().record.text.substr(0, 4);
  }
  std::size_t matching = 0;
  for (const LoggedStamp& stamp : stamps) matching += Matches(stamp.record, filter) ? 1 : 0;
  Require(matching <= stamps.size());
  const std::string csv = StampLogCsv(stamps);
  Require(IsUtf8(csv));
  NextPrev(files.empty() ? std::string() : files.back().bytes);
  return 0;
}
