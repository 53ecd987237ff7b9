#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velkora {

// 0-based position of the first unit c in text at or after from, or npos.
std::size_t FindUnit(std::u16string_view text, char16_t c, std::size_t from = 0);

// Four UTF-16 units read as one word, tested at once: the high bit of each unit below
// limit (at most 0x8000) is set in the result, which is 0 when none is. A unit below limit
// borrows into its own high bit, which is clear in the unit itself; the unit after it may
// be marked too (a borrow), so a marked unit must be checked before it is taken.
constexpr std::uint64_t MarkUnitsBelow(std::uint64_t word, char16_t limit) {
  constexpr std::uint64_t kOnes = 0x0001000100010001u;
  constexpr std::uint64_t kHighBits = 0x8000800080008000u;
  return (word - kOnes * limit) & ~word & kHighBits;
}

// As above, for the units equal to c: they are the units of word ^ c below 1.
constexpr std::uint64_t MarkUnits(std::uint64_t word, char16_t c) {
  return MarkUnitsBelow(word ^ (0x0001000100010001u * c), 1);
}

// Whether text holds a unit below limit, which is at most 0x8000. Units are tested eight
// at a time, since few texts hold one.
bool HoldsUnitBelow(std::u16string_view text, char16_t limit);

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
