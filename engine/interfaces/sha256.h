#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace velkora {

// SHA-256 from the platform's own library (BCrypt on Windows, libcrypto on POSIX).
class Sha256 {
 public:
  using Digest = std::array<std::uint8_t, 32>;
  virtual ~Sha256() = default;
  // The digest of bytes; false when the library could not make it.
  virtual bool Hash(std::string_view bytes, Digest& digest) const = 0;
};

}  // namespace velkora
