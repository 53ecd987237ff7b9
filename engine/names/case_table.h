#pragma once

#include <cstdint>
#include <iterator>

namespace velkora {
namespace case_table {

// Generated from the Unicode Character Database (engine/names/case_table.cpp).
extern const std::uint8_t kBlockOf[256];
extern const std::uint16_t kDeltas[][256];

struct SupplementaryRun {
  char32_t first;
  char32_t last;
  std::int32_t delta;
};
extern const SupplementaryRun kSupplementary[10];

}  // namespace case_table

// The simple upper-case mapping of c, or c itself: the form in which Windows compares the
// characters of names. Two table reads, no branch.
inline char16_t UpperCase(char16_t c) {
  return static_cast<char16_t>(c + case_table::kDeltas[case_table::kBlockOf[c >> 8]][c & 0xFF]);
}

// The same for a character beyond the Basic Multilingual Plane.
inline char32_t UpperCase(char32_t c) {
  for (const case_table::SupplementaryRun& run : case_table::kSupplementary) {
    if (c >= run.first && c <= run.last) return static_cast<char32_t>(c + run.delta);
  }
  return c;
}

}  // namespace velkora
