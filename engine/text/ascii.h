#pragma once

#include <cstddef>
#include <string_view>

namespace velkora {

// ASCII letter case and white space, for the markup of bookmark files and for names that
// Windows compares. Unit is char (bytes of UTF-8 or of the code page) or char16_t.

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

}  // namespace velkora
