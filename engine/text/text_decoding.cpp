#include "engine/text/text_decoding.h"

#include <cstdint>
#include <cstring>

#include "engine/text/surrogates.h"

namespace velkora {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// Widens the ASCII bytes at the start of bytes into out, eight at a time while eight
// remain; returns how many it took (at least one when bytes starts with ASCII).
std::size_t WidenAscii(std::string_view bytes, char16_t* out) {
  std::size_t done = 0;
  for (std::uint64_t eight = 0; bytes.size() - done >= sizeof eight; done += sizeof eight) {
    std::memcpy(&eight, bytes.data() + done, sizeof eight);
    if ((eight & 0x8080808080808080u) != 0) break;
    for (std::size_t k = 0; k < sizeof eight; ++k) {
      out[done + k] = static_cast<unsigned char>(bytes[done + k]);
    }
  }
  while (done < bytes.size() && static_cast<unsigned char>(bytes[done]) < 0x80) {
    out[done] = static_cast<unsigned char>(bytes[done]);
    ++done;
  }
  return done;
}

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

char32_t CharacterOfSequence(std::string_view sequence) {
  const auto lead = static_cast<std::uint8_t>(sequence[0]);
  // The lead byte's bits: all of an ASCII byte, else those below its length marker.
  constexpr std::uint8_t kLeadBits[] = {0x7F, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t c = lead & kLeadBits[sequence.size()];
  for (const char byte : sequence.substr(1)) c = c << 6 | (static_cast<std::uint8_t>(byte) & 0x3F);
  return c;
}

void DecodeUtf8(std::string_view bytes, std::u16string& out) {
  out.clear();
  AppendDecodedUtf8(bytes, out);
}

void AppendDecodedUtf8(std::string_view bytes, std::u16string& out) {
  // At most one unit per byte; written through a pointer, trimmed at the end.
  const std::size_t start = out.size();
  out.resize(start + bytes.size());
  char16_t* const end = DecodeUtf8Into(bytes, out.data() + start, IllFormedUtf8::kReplaced);
  out.resize(static_cast<std::size_t>(end - out.data()));
}

char16_t* DecodeUtf8Into(std::string_view bytes, char16_t* next, IllFormedUtf8 illFormed) {
  for (std::size_t i = 0; i < bytes.size();) {
    // Performance-critical: runs of ASCII, eight bytes at a time, and the three-byte
    // characters of kana and kanji skip the general checks, which cost 7% more
    // instructions per bookmark of a Japanese export.
    if (static_cast<std::uint8_t>(bytes[i]) < 0x80) {
      const std::size_t ascii = WidenAscii(bytes.substr(i), next);
      next += ascii;
      i += ascii;
      continue;
    }
    if (IsCommonThreeByteSequence(bytes, i)) {
      const auto byte = [bytes, i](std::size_t k) {
        return static_cast<std::uint8_t>(bytes[i + k]);
      };
      *next++ =
          static_cast<char16_t>((byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F));
      i += 3;
      continue;
    }
    bool valid = false;
    const std::size_t length = Utf8SequenceAt(bytes, i, valid);
    if (valid) {
      PutCodePoint(CharacterOfSequence(bytes.substr(i, length)), next);
      i += length;
    } else if (illFormed == IllFormedUtf8::kReplaced) {
      *next++ = kReplacement;
      i += length;
    } else {
      *next++ = static_cast<char16_t>(kEscapedBytes + static_cast<std::uint8_t>(bytes[i]));
      ++i;
    }
  }
  return next;
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
