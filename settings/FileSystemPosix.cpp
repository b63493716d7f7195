// Host build: paths are used as they are.
#include <cstdio>
#include <memory>

#include "FileSystem.h"

namespace {
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
}  // namespace

std::optional<std::string> ReadFileBytes(std::string_view path, std::size_t maxBytes) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(std::string(path).c_str(), "rb"));
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    if (bytes.size() + n > maxBytes) return std::nullopt;
    bytes.append(buffer, n);
  }
  if (std::ferror(file.get())) return std::nullopt;
  return bytes;
}

bool FileExists(std::string_view path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(std::string(path).c_str(), "rb"));
  return file != nullptr;
}
