#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velkora {

// bytes in base64 with padding, for making the data: URIs of icons in tests, fuzz seeds
// and benchmark files. The program itself only decodes base64.
inline std::string EncodeBase64(std::string_view bytes) {
  constexpr std::string_view kLetters =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t group = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    if (i + 1 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 2]);
    for (std::size_t letter = 0; letter < 4; ++letter) {
      text += i + letter <= bytes.size() ? kLetters[(group >> (18 - 6 * letter)) & 63] : '=';
    }
  }
  return text;
}

}  // namespace velkora
