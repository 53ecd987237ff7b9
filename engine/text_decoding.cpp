#include "engine/text_decoding.h"

#include <cstdint>
#include <cstring>

#include "engine/surrogates.h"

namespace velkora {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

}  // namespace

std::size_t Utf8SequenceAt(std::string_view bytes, std::size_t at, bool& valid) {
  const auto lead = static_cast<std::uint8_t>(bytes[at]);
  valid = true;
  if (lead < 0x80) return 1;
  // The range of the second byte depends on the lead byte; every later one is 80-BF.
  std::size_t length = 0;
  std::uint8_t low = 0x80;
  std::uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    valid = false;
    return 1;
  }
  for (std::size_t k = 1; k < length; ++k) {
    if (at + k >= bytes.size()) {
      valid = false;
      return k;
    }
    const auto next = static_cast<std::uint8_t>(bytes[at + k]);
    if (next < low || next > high) {
      valid = false;
      return k;
    }
    low = 0x80;
    high = 0xBF;
  }
  return length;
}

std::size_t WidenAscii(std::string_view bytes, char16_t* out) {
  std::size_t done = 0;
  std::uint64_t eight = 0;
  while (bytes.size() - done >= sizeof eight) {
    std::memcpy(&eight, bytes.data() + done, sizeof eight);
    if ((eight & 0x8080808080808080u) != 0) break;
    // Written out, so that compilers turn the eight into one vector store.
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data() + done);
    char16_t* to = out + done;
    to[0] = in[0];
    to[1] = in[1];
    to[2] = in[2];
    to[3] = in[3];
    to[4] = in[4];
    to[5] = in[5];
    to[6] = in[6];
    to[7] = in[7];
    done += sizeof eight;
  }
  return done;
}

void DecodeUtf8(std::string_view bytes, std::u16string& out) {
  out.clear();
  AppendDecodedUtf8(bytes, out);
}

void AppendDecodedUtf8(std::string_view bytes, std::u16string& out) {
  // At most one unit per byte; written through a pointer, trimmed at the end.
  const std::size_t start = out.size();
  out.resize(start + bytes.size());
  char16_t* next = out.data() + start;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    if (lead < 0x80) {
      const std::size_t ascii = bytes.size() - i >= 8 ? WidenAscii(bytes.substr(i), next) : 0;
      next += ascii;
      i += ascii;
      if (ascii == 0) {
        *next++ = lead;
        ++i;
      }
      continue;
    }
    if (lead >= 0xE1 && lead != 0xED && lead <= 0xEF && bytes.size() - i > 2) {
      // Kana and kanji, most of Japanese text: three bytes whose second may be any
      // continuation byte, decoded without the general checks.
      const auto second = static_cast<std::uint8_t>(bytes[i + 1]);
      const auto third = static_cast<std::uint8_t>(bytes[i + 2]);
      if ((second & 0xC0) == 0x80 && (third & 0xC0) == 0x80) {
        *next++ =
            static_cast<char16_t>((lead & 0x0F) << 12 | (second & 0x3F) << 6 | (third & 0x3F));
        i += 3;
        continue;
      }
    }
    bool valid = false;
    const std::size_t length = Utf8SequenceAt(bytes, i, valid);
    if (!valid) {
      *next++ = kReplacement;
    } else {
      char32_t c = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
      for (std::size_t k = 1; k < length; ++k) {
        c = c << 6 | (static_cast<std::uint8_t>(bytes[i + k]) & 0x3F);
      }
      if (c >= 0x10000) {
        *next++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        *next++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      } else {
        *next++ = static_cast<char16_t>(c);
      }
    }
    i += length;
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
}

void DecodeUtf16(std::string_view bytes, bool bigEndian, std::u16string& out) {
  const std::size_t units = bytes.size() / 2;
  out.resize(units + bytes.size() % 2);
  const int first = bigEndian ? 0 : 1;  // index of the high byte of each unit
  for (std::size_t i = 0; i < units; ++i) {
    out[i] = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i + first]) << 8 |
                                   static_cast<std::uint8_t>(bytes[2 * i + 1 - first]));
  }
  for (std::size_t i = 0; i < units; ++i) {
    if (IsHighSurrogate(out[i]) && i + 1 < units && IsLowSurrogate(out[i + 1])) {
      ++i;
    } else if (IsHighSurrogate(out[i]) || IsLowSurrogate(out[i])) {
      out[i] = kReplacement;
    }
  }
  if (bytes.size() % 2 != 0) out[units] = kReplacement;
}

}  // namespace velkora
