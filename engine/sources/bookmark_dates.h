#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/interfaces/file_times.h"

namespace velkora {

// The dates a browser's export gives a bookmark (its <A>) or a folder (its <H3>), in
// microseconds since 1970-01-01 UTC; empty when the file gives none, or none that reads
// as a number.
struct BookmarkDates {
  std::optional<std::int64_t> added;     // ADD_DATE
  std::optional<std::int64_t> modified;  // LAST_MODIFIED
};

// An ADD_DATE or LAST_MODIFIED value, in microseconds: decimal digits only, read as seconds
// since 1970, or as milliseconds above 10^11 and as microseconds above 10^14, as some
// exporters write them. Anything else (empty, a sign, spaces, other characters, a number
// too large for microseconds) is no date.
std::optional<std::int64_t> ParseBookmarkDate(std::u16string_view value);

// The times a file is given for dates, in a run that started at runStart (microseconds
// since 1970): ADD_DATE is its creation time, LAST_MODIFIED its modification time, or
// ADD_DATE when there is none. A date before 1990 or more than a day after the run's start
// is no date: a clock set wrong or a value of another kind wrote it.
FileTimes TimesOfDates(const BookmarkDates& dates, std::int64_t runStart);

}  // namespace velkora
