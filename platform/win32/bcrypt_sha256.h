#pragma once

#include "engine/interfaces/sha256.h"

namespace velkora {

// SHA-256 through the system's BCrypt.
class BcryptSha256 final : public Sha256 {
 public:
  bool Hash(std::string_view bytes, Digest& digest) const override;
};

}  // namespace velkora
