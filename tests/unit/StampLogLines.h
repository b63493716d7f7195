#pragma once
// A stamp log file's lines as tests edit them: split, changed, joined again.

#include <string>
#include <string_view>
#include <vector>

#include "StampLog.h"

inline std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  for (std::string_view line : LogLines(bytes)) lines.emplace_back(line);
  return lines;
}

inline std::string Joined(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\n";
  return bytes;
}
