#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>

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

// The value of each ASCII character as a hex digit of either case, -1 for a non-digit.
inline constexpr std::array<std::int8_t, 128> kAsciiHexValues = [] {
  std::array<std::int8_t, 128> values{};
  values.fill(-1);
  for (int i = 0; i < 10; ++i) values['0' + i] = static_cast<std::int8_t>(i);
  for (int i = 0; i < 6; ++i) {
    values['a' + i] = static_cast<std::int8_t>(10 + i);
    values['A' + i] = static_cast<std::int8_t>(10 + i);
  }
  return values;
}();

// The value of a hex digit of either case, or -1 for any other character. Looked up, not
// compared: the digits of a digest are as often letters as not, which no branch predicts.
template <typename Unit>
constexpr int AsciiHexValue(Unit c) {
  const auto unit = static_cast<std::make_unsigned_t<Unit>>(c);
  return unit < kAsciiHexValues.size() ? kAsciiHexValues[unit] : -1;
}

inline constexpr std::string_view kLowerHexDigits = "0123456789abcdef";

// Appends bytes to text as lower-case hex, two digits a byte.
template <typename Text>
void AppendLowerHex(std::span<const std::uint8_t> bytes, Text& text) {
  // Made room for first, then written through a pointer: no check of the room per digit.
  const std::size_t start = text.size();
  text.resize(start + 2 * bytes.size());
  auto* next = text.data() + start;
  for (const std::uint8_t byte : bytes) {
    *next++ = static_cast<typename Text::value_type>(kLowerHexDigits[byte >> 4]);
    *next++ = static_cast<typename Text::value_type>(kLowerHexDigits[byte & 0xF]);
  }
}

}  // namespace velkora
