#pragma once
// Takes a fuzz input apart: fixed-size fields from the front, then the rest.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

  // Missing bytes read as zero, so every input is usable.
  template <typename T>
  T Take() {
    T value{};
    const std::size_t n = std::min(sizeof value, bytes_.size());
    std::memcpy(&value, bytes_.data(), n);
    bytes_ = bytes_.subspan(n);
    return value;
  }
  void TakeInto(void* target, std::size_t size) {
    std::memset(target, 0, size);
    const std::size_t n = std::min(size, bytes_.size());
    std::memcpy(target, bytes_.data(), n);
    bytes_ = bytes_.subspan(n);
  }
  std::span<const std::uint8_t> Rest() const { return bytes_; }
  std::string_view RestText() const {
    return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

// The text split at every occurrence of separator.
inline std::vector<std::string_view> SplitText(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t end = text.find(separator);
    parts.push_back(text.substr(0, end));
    if (end == std::string_view::npos) return parts;
    text.remove_prefix(end + 1);
  }
}
