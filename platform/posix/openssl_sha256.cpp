#include "platform/posix/openssl_sha256.h"

#include <openssl/evp.h>

namespace velkora {

bool OpenSslSha256::Hash(std::string_view bytes, Digest& digest) const {
  unsigned int length = 0;
  return EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr) ==
             1 &&
         length == digest.size();
}

}  // namespace velkora
