#include "platform/posix/openssl_sha256.h"

#include <openssl/evp.h>

namespace velkora {

OpenSslSha256::OpenSslSha256() : algorithm_(EVP_MD_fetch(nullptr, "SHA256", nullptr)) {}

OpenSslSha256::~OpenSslSha256() { EVP_MD_free(algorithm_); }

bool OpenSslSha256::Hash(std::string_view bytes, Digest& digest) const {
  unsigned int length = 0;
  return algorithm_ != nullptr &&
         EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, algorithm_, nullptr) == 1 &&
         length == digest.size();
}

}  // namespace velkora
