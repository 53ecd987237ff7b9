#pragma once

#include <cstddef>
#include <cstring>
#include <functional>
#include <string_view>

namespace velkora {

// Hashing and comparing of UTF-16 texts for the unordered maps keyed by std::u16string that
// are looked up by a view, without making a string for each lookup.
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::u16string_view text) const {
    return std::hash<std::u16string_view>{}(text);
  }
};

// Performance-critical: an ICON value runs to hundreds of units and is compared for every
// bookmark that has one. char_traits<char16_t> compares unit by unit; memcmp compares the
// same bytes many at a time (about 5% of a run's instructions).
struct TextEqual {
  using is_transparent = void;
  bool operator()(std::u16string_view a, std::u16string_view b) const {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
  }
};

}  // namespace velkora
