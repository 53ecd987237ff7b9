#include "engine/sources/icon_data_uri.h"

#include <cstdint>

namespace velkora {
namespace {

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);
constexpr std::string_view kIcoSignature("\0\0\1\0", 4);

void AppendBase64(std::string_view bytes, std::u16string& out) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  out.reserve(out.size() + (bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t count = bytes.size() - i < 3 ? bytes.size() - i : 3;
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      const auto byte = k < count ? static_cast<unsigned char>(bytes[i + k]) : 0u;
      group = group << 8 | byte;
    }
    for (std::size_t k = 0; k < 4; ++k) {
      out += k <= count ? kDigits[group >> (18 - 6 * k) & 0x3f] : '=';
    }
  }
}

}  // namespace

std::u16string IconDataUri(std::string_view imageBytes) {
  std::u16string uri;
  if (imageBytes.starts_with(kPngSignature)) {
    uri = u"data:image/png;base64,";
  } else if (imageBytes.starts_with(kIcoSignature)) {
    uri = u"data:image/x-icon;base64,";
  } else {
    return uri;
  }
  AppendBase64(imageBytes, uri);
  return uri;
}

}  // namespace velkora
