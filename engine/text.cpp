#include "engine/text.h"

#include <algorithm>

namespace velkora {

std::int32_t Find(std::u16string_view text, std::u16string_view pattern) {
  return FindFrom(text, 1, pattern);
}

std::int32_t FindFrom(std::u16string_view text, std::int32_t start, std::u16string_view pattern) {
  if (start < 1) start = 1;
  const auto from = static_cast<std::size_t>(start - 1);
  if (pattern.empty()) return from <= text.size() ? start : 0;
  if (pattern.size() > text.size() || from > text.size() - pattern.size()) return 0;
  // Every line is searched several times; std::find looks for the first character in an
  // unrolled loop, faster than the character-by-character loop of string_view::find.
  const auto last = text.end() - static_cast<std::ptrdiff_t>(pattern.size() - 1);
  for (auto at = text.begin() + static_cast<std::ptrdiff_t>(from);
       (at = std::find(at, last, pattern.front())) != last; ++at) {
    if (std::equal(pattern.begin() + 1, pattern.end(), at + 1)) {
      return static_cast<std::int32_t>(at - text.begin() + 1);
    }
  }
  return 0;
}

std::u16string Mid(std::u16string_view text, std::int32_t start, std::int32_t length) {
  if (start < 1 || length <= 0 || static_cast<std::size_t>(start) > text.size()) return {};
  return std::u16string(
      text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length)));
}

std::u16string Left(std::u16string_view text, std::int32_t n) {
  if (n <= 0) return {};
  return std::u16string(text.substr(0, static_cast<std::size_t>(n)));
}

std::u16string WithoutEnclosingQuotes(std::u16string_view path) {
  if (path.size() >= 2 && path.front() == u'"' && path.back() == u'"') {
    path = path.substr(1, path.size() - 2);
  }
  return std::u16string(path);
}

}  // namespace velkora
