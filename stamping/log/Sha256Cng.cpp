// The product's SHA-256: Windows' own cryptography (CNG), which every
// supported Windows has; no library of ours to ship or keep up to date.
#include <windows.h>

#include <bcrypt.h>

#include <limits>
#include <stdexcept>

#include "Sha256.h"

namespace {

bool Succeeded(NTSTATUS status) { return status >= 0; }

struct AlgorithmHandle {
  BCRYPT_ALG_HANDLE handle = nullptr;
  ~AlgorithmHandle() {
    if (handle) BCryptCloseAlgorithmProvider(handle, 0);
  }
};

struct HashHandle {
  BCRYPT_HASH_HANDLE handle = nullptr;
  ~HashHandle() {
    if (handle) BCryptDestroyHash(handle);
  }
};

}  // namespace

Sha256Digest Sha256(std::string_view bytes) {
  AlgorithmHandle algorithm;
  HashHandle hash;
  if (!Succeeded(BCryptOpenAlgorithmProvider(&algorithm.handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
      !Succeeded(BCryptCreateHash(algorithm.handle, &hash.handle, nullptr, 0, nullptr, 0, 0)))
    throw std::runtime_error("SHA-256 is not available");
  // BCryptHashData takes at most 4 GiB a call.
  auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
  std::size_t left = bytes.size();
  while (left > 0) {
    const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(left, std::numeric_limits<ULONG>::max()));
    if (!Succeeded(BCryptHashData(hash.handle, data, chunk, 0))) throw std::runtime_error("SHA-256 failed");
    data += chunk;
    left -= chunk;
  }
  Sha256Digest digest{};
  if (!Succeeded(BCryptFinishHash(hash.handle, digest.data(), static_cast<ULONG>(digest.size()), 0)))
    throw std::runtime_error("SHA-256 failed");
  return digest;
}
