#include "engine/bookmark_dates.h"

#include <limits>

namespace velkora {

std::optional<std::int64_t> ParseBookmarkDate(std::u16string_view value) {
  constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();
  if (value.empty()) return std::nullopt;
  std::int64_t number = 0;
  for (const char16_t c : value) {
    if (c < u'0' || c > u'9') return std::nullopt;
    const std::int64_t digit = c - u'0';
    if (number > (kMost - digit) / 10) return std::nullopt;
    number = number * 10 + digit;
  }
  constexpr std::int64_t kMillisecondsFrom = 100'000'000'000;      // 10^11
  constexpr std::int64_t kMicrosecondsFrom = 100'000'000'000'000;  // 10^14
  if (number > kMicrosecondsFrom) return number;
  if (number > kMillisecondsFrom) return number * 1'000;
  return number * 1'000'000;
}

}  // namespace velkora
