#include "engine/text/ansi_encoding.h"

#include <cstdint>
#include <cstring>

#include "engine/text/surrogates.h"
#include "engine/text/utf8.h"

namespace velkora {
void AppendUnencodable(std::u16string_view character, Unencodable policy, std::string& out) {
  if (policy == Unencodable::kQuestionMark) {
    out += '?';
    return;
  }
  // A lone surrogate has no UTF-8 form; it is written as the replacement character.
  const bool pair = character.size() == 2;
  const bool lone = !pair && (IsHighSurrogate(character[0]) || IsLowSurrogate(character[0]));
  const std::string bytes = ToUtf8(lone ? std::u16string_view(u"\uFFFD") : character);
  constexpr char kHex[] = "0123456789ABCDEF";
  for (const char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    out += '%';
    out += kHex[b >> 4];
    out += kHex[b & 0x0F];
  }
}

std::string EncodeWithTable(std::u16string_view text, const std::uint16_t* codes,
                            Unencodable policy) {
  std::string out;
  AppendEncodedWithTable(text, codes, policy, out);
  return out;
}

void AppendEncodedWithTable(std::u16string_view text, const std::uint16_t* codes,
                            Unencodable policy, std::string& out) {
  // At most two bytes per unit but for percent-encoded characters; written through a
  // pointer, trimmed at the end.
  std::size_t length = out.size();
  out.resize(length + text.size() * 2);
  char* next = out.data() + length;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Most of a shortcut is its URL, in ASCII: four units at a time while they are.
    for (std::uint64_t four = 0; text.size() - i >= 4; i += 4) {
      std::memcpy(&four, text.data() + i, sizeof four);
      if ((four & 0xFF80FF80FF80FF80u) != 0) break;
      next[0] = static_cast<char>(text[i]);
      next[1] = static_cast<char>(text[i + 1]);
      next[2] = static_cast<char>(text[i + 2]);
      next[3] = static_cast<char>(text[i + 3]);
      next += 4;
    }
    if (i == text.size()) break;
    const char16_t c = text[i];
    if (c < 0x80) {
      *next++ = static_cast<char>(c);
      continue;
    }
    const std::uint16_t code = codes[c];  // no code for either half of a pair
    if (code == kNoAnsiCode) {
      const std::size_t units =
          IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
      if (policy == Unencodable::kQuestionMark) {
        *next++ = '?';
      } else {
        out.resize(static_cast<std::size_t>(next - out.data()));
        AppendUnencodable(text.substr(i, units), policy, out);
        length = out.size();
        out.resize(length + (text.size() - i) * 2);
        next = out.data() + length;
      }
      i += units - 1;
    } else if (code > 0xFF) {
      *next++ = static_cast<char>(code >> 8);
      *next++ = static_cast<char>(code & 0xFF);
    } else {
      *next++ = static_cast<char>(code);
    }
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
}

}  // namespace velkora
