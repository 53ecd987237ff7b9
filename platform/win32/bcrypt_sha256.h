#pragma once

#include "engine/interfaces/sha256.h"

namespace velkora {

// SHA-256 through the system's BCrypt.
class BcryptSha256 final : public Sha256 {
 public:
  BcryptSha256();
  ~BcryptSha256() override;
  BcryptSha256(const BcryptSha256&) = delete;
  BcryptSha256& operator=(const BcryptSha256&) = delete;

  bool Hash(std::string_view bytes, Digest& digest) const override;

 private:
  // The provider (a BCRYPT_ALG_HANDLE), opened once: opening it for every digest cost more
  // than hashing a shortcut. Null when it could not be opened.
  void* algorithm_ = nullptr;
};

}  // namespace velkora
