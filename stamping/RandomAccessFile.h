#pragma once
// A file read at any offset without reading the whole of it: the PDF reader
// sees the file only through this, so a 100 MB document costs what the few
// parts it needs cost. The Win32 side reads a file handle; tests and the
// fuzzer read bytes in memory.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

class RandomAccessFile {
 public:
  virtual ~RandomAccessFile() = default;
  virtual std::uint64_t Size() const = 0;
  // Reads up to n bytes at offset into buffer; the count read, which is less
  // than n only at the end of the file or when the read failed.
  virtual std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t n) = 0;
};

class MemoryFile final : public RandomAccessFile {
 public:
  explicit MemoryFile(std::string_view bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t n) override {
    if (offset >= bytes_.size()) return 0;
    const std::size_t count = std::min<std::uint64_t>(n, bytes_.size() - offset);
    std::memcpy(buffer, bytes_.data() + offset, count);
    return count;
  }

 private:
  std::string_view bytes_;
};
