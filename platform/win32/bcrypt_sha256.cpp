#include "platform/win32/bcrypt_sha256.h"

#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include <limits>

namespace velkora {
namespace {

// Owners of BCrypt's handles.
struct Algorithm {
  BCRYPT_ALG_HANDLE handle = nullptr;
  ~Algorithm() {
    if (handle != nullptr) ::BCryptCloseAlgorithmProvider(handle, 0);
  }
};
struct HashObject {
  BCRYPT_HASH_HANDLE handle = nullptr;
  ~HashObject() {
    if (handle != nullptr) ::BCryptDestroyHash(handle);
  }
};

}  // namespace

bool BcryptSha256::Hash(std::string_view bytes, Digest& digest) const {
  if (bytes.size() > std::numeric_limits<ULONG>::max()) return false;
  Algorithm algorithm;
  if (!BCRYPT_SUCCESS(
          ::BCryptOpenAlgorithmProvider(&algorithm.handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
    return false;
  }
  // The hash object's memory is BCrypt's own when none is given.
  HashObject hash;
  if (!BCRYPT_SUCCESS(
          ::BCryptCreateHash(algorithm.handle, &hash.handle, nullptr, 0, nullptr, 0, 0))) {
    return false;
  }
  auto* input = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
  return BCRYPT_SUCCESS(
             ::BCryptHashData(hash.handle, input, static_cast<ULONG>(bytes.size()), 0)) &&
         BCRYPT_SUCCESS(
             ::BCryptFinishHash(hash.handle, digest.data(), static_cast<ULONG>(digest.size()), 0));
}

}  // namespace velkora
