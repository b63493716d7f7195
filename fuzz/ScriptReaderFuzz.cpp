// The script reader over arbitrary file bytes, asked for every token of
// every line and for tokens past the ends.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ScriptReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ScriptReader script;
  script.LoadBytes({reinterpret_cast<const char*>(data), size});
  std::size_t total = 0;
  for (int line = -1; line <= script.Count(); ++line) {
    // Every token up to the first missing one, and the indices at the edges.
    for (int n = -1; n <= kScriptMaxTokens + 1; ++n) {
      const std::string token = script.Token(line, n);
      total += token.size() + (static_cast<unsigned>(script.TokenInt(line, n)) & 1u);
      if (token.empty() && n >= 0 && n < kScriptMaxTokens - 1) n = kScriptMaxTokens - 1;
    }
  }
  return total == static_cast<std::size_t>(-1);
}
