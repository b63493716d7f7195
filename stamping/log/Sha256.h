#pragma once
// SHA-256, from the platform: Windows' own cryptography (CNG) in the
// product, the system's libcrypto in the native build.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest Sha256(std::string_view bytes);
// The digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);
std::string HexOf(const Sha256Digest& digest);
