#include "engine/sources/bookmark_dates.h"

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

FileTimes TimesOfDates(const BookmarkDates& dates, std::int64_t runStart) {
  constexpr std::int64_t kEarliest = std::int64_t{631'152'000} * 1'000'000;  // 1990-01-01
  constexpr std::int64_t kDay = std::int64_t{86'400} * 1'000'000;
  const auto usable = [&](const std::optional<std::int64_t>& date) -> std::optional<std::int64_t> {
    if (!date || *date < kEarliest || *date > runStart + kDay) return std::nullopt;
    return date;
  };
  FileTimes times{usable(dates.added), usable(dates.modified)};
  if (!times.modified) times.modified = times.created;
  return times;
}

}  // namespace velkora
