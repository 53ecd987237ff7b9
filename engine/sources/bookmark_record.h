#pragma once

#include <cstdint>
#include <string_view>

#include "engine/sources/bookmark_dates.h"

namespace velkora {

// What a grammar finds for one bookmark, handed from the grammar through the run to the
// shortcut writer as one value. Its texts belong to whoever handed it on, and stay valid
// only for the call that receives it.
struct BookmarkRecord {
  // The URL as the shortcut is to hold it.
  std::u16string_view url;
  // The title as the file gives it, before the file-name rules.
  std::u16string_view title;
  // The line (1-based) on which the bookmark starts.
  std::int32_t lineNumber = 0;
  // The value of its ICON attribute as written, references decoded; empty when there is
  // none, or when it was longer than any icon taken (iconTooLong).
  std::u16string_view icon;
  bool iconTooLong = false;
  // Its ADD_DATE and LAST_MODIFIED.
  BookmarkDates dates;
  // The browser's own identity of the bookmark (Chromium's and Firefox's guid); empty for
  // a file that has none.
  std::u16string_view guid;
};

}  // namespace velkora
