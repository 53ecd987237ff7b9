#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velkora {

// 0-based position of the first unit c in text at or after from, or npos.
std::size_t FindUnit(std::u16string_view text, char16_t c, std::size_t from = 0);

// Whether a and b hold the same units, and whether text starts with prefix: compared as
// bytes at once rather than unit by unit, as paths are for every bookmark.
bool SameText(std::u16string_view a, std::u16string_view b);
bool StartsWithText(std::u16string_view text, std::u16string_view prefix);

// 1-based position of the first occurrence of pattern in text, or 0 when absent.
std::int32_t Find(std::u16string_view text, std::u16string_view pattern);

// 1-based position of the first occurrence of pattern at or after start, or 0.
std::int32_t FindFrom(std::u16string_view text, std::int32_t start, std::u16string_view pattern);

// Up to length characters from 1-based start; empty past the end or for length <= 0.
std::u16string Mid(std::u16string_view text, std::int32_t start, std::int32_t length);

// The first n characters, or the whole text when shorter.
std::u16string Left(std::u16string_view text, std::int32_t n);

// path without the double quotes around it, as Explorer's "copy as path" gives it; any
// other path as it is. Windows names cannot hold '"', so nothing is lost.
std::u16string WithoutEnclosingQuotes(std::u16string_view path);

}  // namespace velkora
