#include "engine/write/data_uri.h"

#include <cstdint>

#include "engine/text/ascii.h"

namespace velkora {
namespace {

constexpr int kNotBase64 = -1;

// The six bits of a base64 letter, or kNotBase64.
int Base64Value(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c - u'A';
  if (c >= u'a' && c <= u'z') return c - u'a' + 26;
  if (c >= u'0' && c <= u'9') return c - u'0' + 52;
  if (c == u'+') return 62;
  if (c == u'/') return 63;
  return kNotBase64;
}

std::u16string_view TrimWhiteSpace(std::u16string_view text) {
  while (!text.empty() && IsHtmlWhiteSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsHtmlWhiteSpace(text.back())) text.remove_suffix(1);
  return text;
}

// The kind of image the part of a data: URI before its comma names, when it is one of
// ours and ends in ";base64".
bool ReadHeader(std::u16string_view header, IconKind& kind) {
  const std::size_t lastSemicolon = header.rfind(u';');
  if (lastSemicolon == std::u16string_view::npos) return false;
  if (!EqualsAsciiIgnoringCase(TrimWhiteSpace(header.substr(lastSemicolon + 1)), "base64")) {
    return false;
  }
  // The media type ends at the first ";": what lies between is parameters, such as a
  // charset or a name, that say nothing of the bytes.
  const std::u16string_view type = TrimWhiteSpace(header.substr(0, header.find(u';')));
  if (EqualsAsciiIgnoringCase(type, "image/png")) {
    kind = IconKind::kPng;
    return true;
  }
  if (EqualsAsciiIgnoringCase(type, "image/x-icon") ||
      EqualsAsciiIgnoringCase(type, "image/vnd.microsoft.icon")) {
    kind = IconKind::kIco;
    return true;
  }
  return false;
}

// Decodes base64 as browsers do (white space skipped, the closing "=" optional), with
// percent-escapes of the URI decoded first.
IconDecoding DecodeBase64(std::u16string_view payload, std::size_t maxBytes, std::string& bytes) {
  std::uint32_t bits = 0;
  int pending = 0;  // letters in bits
  int padding = 0;
  for (std::size_t i = 0; i < payload.size(); ++i) {
    char16_t c = payload[i];
    if (c == u'%' && i + 2 < payload.size() && AsciiHexValue(payload[i + 1]) >= 0 &&
        AsciiHexValue(payload[i + 2]) >= 0) {
      c = static_cast<char16_t>(AsciiHexValue(payload[i + 1]) * 16 + AsciiHexValue(payload[i + 2]));
      i += 2;
    }
    if (IsHtmlWhiteSpace(c)) continue;
    if (c == u'=') {
      ++padding;
      continue;
    }
    const int value = Base64Value(c);
    // A letter after "=" is no base64.
    if (value == kNotBase64 || padding > 0) return IconDecoding::kNone;
    bits = (bits << 6) | static_cast<std::uint32_t>(value);
    if (++pending == 4) {
      if (bytes.size() + 3 > maxBytes) return IconDecoding::kTooLarge;
      bytes += static_cast<char>(bits >> 16);
      bytes += static_cast<char>(bits >> 8);
      bytes += static_cast<char>(bits);
      bits = 0;
      pending = 0;
    }
  }
  // One letter left over carries no whole byte; "=" makes the letters up to a group of
  // four, or is left out altogether.
  if (pending == 1 || (padding > 0 && (pending < 2 || pending + padding != 4))) {
    return IconDecoding::kNone;
  }
  if (pending == 0) return IconDecoding::kDone;
  if (bytes.size() + static_cast<std::size_t>(pending - 1) > maxBytes) {
    return IconDecoding::kTooLarge;
  }
  bits <<= 6 * (4 - pending);
  bytes += static_cast<char>(bits >> 16);
  if (pending == 3) bytes += static_cast<char>(bits >> 8);
  return IconDecoding::kDone;
}

}  // namespace

IconDecoding DecodeIconDataUri(std::u16string_view uri, std::size_t maxBytes, IconKind& kind,
                               std::string& bytes) {
  bytes.clear();
  uri = TrimWhiteSpace(uri);
  if (!StartsWithAsciiIgnoringCase(uri, "data:")) return IconDecoding::kNone;
  uri.remove_prefix(5);
  const std::size_t comma = uri.find(u',');
  if (comma == std::u16string_view::npos || !ReadHeader(uri.substr(0, comma), kind)) {
    return IconDecoding::kNone;
  }
  const IconDecoding decoded = DecodeBase64(uri.substr(comma + 1), maxBytes, bytes);
  if (decoded != IconDecoding::kDone) bytes.clear();
  return decoded;
}

}  // namespace velkora
