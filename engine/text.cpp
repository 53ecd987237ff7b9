#include "engine/text.h"

#include <algorithm>
#include <cstring>

namespace velkora {

std::size_t FindUnit(std::u16string_view text, char16_t c, std::size_t from) {
  // Every line is searched several times: four units at a time.
  const char16_t* data = text.data();
  std::size_t at = from;
  for (; text.size() >= 4 && at <= text.size() - 4; at += 4) {
    std::uint64_t word = 0;
    std::memcpy(&word, data + at, sizeof word);
    if (MarkUnits(word, c) != 0) break;
  }
  for (; at < text.size(); ++at) {
    if (data[at] == c) return at;
  }
  return std::u16string_view::npos;
}

bool HoldsUnitBelow(std::u16string_view text, char16_t limit) {
  std::size_t at = 0;
  for (; text.size() - at >= 8; at += 8) {
    std::uint64_t words[2];
    std::memcpy(words, text.data() + at, sizeof words);
    if ((MarkUnitsBelow(words[0], limit) | MarkUnitsBelow(words[1], limit)) != 0) return true;
  }
  for (; at < text.size(); ++at) {
    if (text[at] < limit) return true;
  }
  return false;
}

bool SameText(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

bool StartsWithText(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

std::int32_t Find(std::u16string_view text, std::u16string_view pattern) {
  return FindFrom(text, 1, pattern);
}

std::int32_t FindFrom(std::u16string_view text, std::int32_t start, std::u16string_view pattern) {
  if (start < 1) start = 1;
  const auto from = static_cast<std::size_t>(start - 1);
  if (pattern.empty()) return from <= text.size() ? start : 0;
  if (pattern.size() > text.size() || from > text.size() - pattern.size()) return 0;
  // The pattern can start no later than last.
  const std::u16string_view starts = text.substr(0, text.size() - pattern.size() + 1);
  for (std::size_t at = FindUnit(starts, pattern.front(), from); at != std::u16string_view::npos;
       at = FindUnit(starts, pattern.front(), at + 1)) {
    if (text.substr(at + 1, pattern.size() - 1) == pattern.substr(1)) {
      return static_cast<std::int32_t>(at + 1);
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
