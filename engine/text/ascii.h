#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace velkora {

// ASCII letter case, white space and hex digits, for the markup of bookmark files, for
// names that Windows compares and for digests written out. Unit is char (bytes of UTF-8 or
// of the code page) or char16_t.

template <typename Unit>
constexpr bool IsAsciiLetter(Unit c) {
  return (c >= Unit{'a'} && c <= Unit{'z'}) || (c >= Unit{'A'} && c <= Unit{'Z'});
}

template <typename Unit>
constexpr Unit AsciiLower(Unit c) {
  return c >= Unit{'A'} && c <= Unit{'Z'} ? static_cast<Unit>(c + ('a' - 'A')) : c;
}

template <typename Unit>
constexpr Unit AsciiUpper(Unit c) {
  return c >= Unit{'a'} && c <= Unit{'z'} ? static_cast<Unit>(c - ('a' - 'A')) : c;
}

// White space as HTML counts it: space, tab, line feed, form feed and carriage return.
template <typename Unit>
constexpr bool IsHtmlWhiteSpace(Unit c) {
  return c == Unit{' '} || c == Unit{'\t'} || c == Unit{'\n'} || c == Unit{'\f'} || c == Unit{'\r'};
}

// True when text starts with lowerPattern, an ASCII text in lower case, in any letter case.
template <typename Unit>
constexpr bool StartsWithAsciiIgnoringCase(std::basic_string_view<Unit> text,
                                           std::string_view lowerPattern) {
  if (text.size() < lowerPattern.size()) return false;
  for (std::size_t i = 0; i < lowerPattern.size(); ++i) {
    if (AsciiLower(text[i]) != static_cast<Unit>(lowerPattern[i])) return false;
  }
  return true;
}

template <typename Unit>
constexpr bool EqualsAsciiIgnoringCase(std::basic_string_view<Unit> text,
                                       std::string_view lowerPattern) {
  return text.size() == lowerPattern.size() && StartsWithAsciiIgnoringCase(text, lowerPattern);
}

// The value of a hex digit of either case, or -1 for any other character.
template <typename Unit>
constexpr int AsciiHexValue(Unit c) {
  if (c >= Unit{'0'} && c <= Unit{'9'}) return static_cast<int>(c - Unit{'0'});
  if (c >= Unit{'a'} && c <= Unit{'f'}) return static_cast<int>(c - Unit{'a'}) + 10;
  if (c >= Unit{'A'} && c <= Unit{'F'}) return static_cast<int>(c - Unit{'A'}) + 10;
  return -1;
}

inline constexpr std::string_view kLowerHexDigits = "0123456789abcdef";

// Appends bytes to text as lower-case hex, two digits a byte.
template <typename Text>
void AppendLowerHex(std::span<const std::uint8_t> bytes, Text& text) {
  for (const std::uint8_t byte : bytes) {
    text += static_cast<typename Text::value_type>(kLowerHexDigits[byte >> 4]);
    text += static_cast<typename Text::value_type>(kLowerHexDigits[byte & 0xF]);
  }
}

}  // namespace velkora
