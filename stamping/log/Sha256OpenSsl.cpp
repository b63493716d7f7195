// The native build's SHA-256: the system's libcrypto.
#include <openssl/evp.h>

#include <stdexcept>

#include "Sha256.h"

Sha256Digest Sha256(std::string_view bytes) {
  Sha256Digest digest{};
  unsigned int size = 0;
  if (!EVP_Digest(bytes.data(), bytes.size(), digest.data(), &size, EVP_sha256(), nullptr) ||
      size != digest.size())
    throw std::runtime_error("SHA-256 is not available");
  return digest;
}
