#pragma once

#include <cstddef>
#include <string_view>

namespace velkora {

// The two halves that make one character beyond the Basic Multilingual Plane in UTF-16.
constexpr bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
constexpr bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// True when text[at] and text[at + 1] are the two halves of one character. A lone half is
// a character of its own.
constexpr bool StartsSurrogatePair(std::u16string_view text, std::size_t at) {
  return at + 1 < text.size() && IsHighSurrogate(text[at]) && IsLowSurrogate(text[at + 1]);
}

// The character that a high and a low half make.
constexpr char32_t CombineSurrogates(char16_t high, char16_t low) {
  return 0x10000 + ((char32_t{high} - 0xD800) << 10) + (char32_t{low} - 0xDC00);
}

// The halves of a character from U+10000 to U+10FFFF.
constexpr char16_t HighSurrogateOf(char32_t c) {
  return static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
}
constexpr char16_t LowSurrogateOf(char32_t c) {
  return static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
}

// Writes c (any code point up to U+10FFFF) at next as one unit or two halves, and moves
// next past them.
constexpr void PutCodePoint(char32_t c, char16_t*& next) {
  if (c < 0x10000) {
    *next++ = static_cast<char16_t>(c);
  } else {
    *next++ = HighSurrogateOf(c);
    *next++ = LowSurrogateOf(c);
  }
}

}  // namespace velkora
