#include "platform/win32/bcrypt_sha256.h"

#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include <limits>

namespace velkora {
namespace {

// The owner of a hash's handle.
struct HashObject {
  BCRYPT_HASH_HANDLE handle = nullptr;
  ~HashObject() {
    if (handle != nullptr) ::BCryptDestroyHash(handle);
  }
};

}  // namespace

BcryptSha256::BcryptSha256() {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (BCRYPT_SUCCESS(
          ::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
    algorithm_ = algorithm;
  }
}

BcryptSha256::~BcryptSha256() {
  if (algorithm_ != nullptr) ::BCryptCloseAlgorithmProvider(algorithm_, 0);
}

bool BcryptSha256::Hash(std::string_view bytes, Digest& digest) const {
  if (algorithm_ == nullptr || bytes.size() > std::numeric_limits<ULONG>::max()) return false;
  // The hash object's memory is BCrypt's own when none is given.
  HashObject hash;
  if (!BCRYPT_SUCCESS(::BCryptCreateHash(algorithm_, &hash.handle, nullptr, 0, nullptr, 0, 0))) {
    return false;
  }
  auto* input = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
  return BCRYPT_SUCCESS(
             ::BCryptHashData(hash.handle, input, static_cast<ULONG>(bytes.size()), 0)) &&
         BCRYPT_SUCCESS(
             ::BCryptFinishHash(hash.handle, digest.data(), static_cast<ULONG>(digest.size()), 0));
}

}  // namespace velkora
