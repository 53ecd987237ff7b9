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

}  // namespace velkora
