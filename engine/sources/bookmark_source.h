#pragma once

#include <cstdint>

#include "engine/interfaces/io_result.h"
#include "engine/sources/bookmark_counter.h"
#include "engine/sources/bookmark_events.h"

namespace velkora {

// What counting a source found, before it is read.
struct SourceCount {
  // The bookmarks its reading will report, as BookmarkCounter counts them: they scale the
  // progress, and a reading that reports another number met a source that changed.
  std::int32_t bookmarks = 0;
  // Bookmarks the source holds in a form it is not read as, reported and not written.
  std::int32_t otherFormatBookmarks = 0;
};

// Where a run's bookmarks come from: a file of one format, read whole as events in the
// order of its folders. A run counts it once and then reads it; reading it again reads it
// from the start and, while it is unchanged, reports the same events.
class BookmarkSource {
 public:
  virtual ~BookmarkSource() = default;
  // Counts the bookmarks Read will report, and learns what reading needs to know of the
  // source. This one reads the source into a counter.
  virtual IoResult Count(SourceCount& count) {
    BookmarkCounter counter;
    IoResult result = Read(counter);
    count = {counter.count, 0};
    return result;
  }
  // Reports every folder and bookmark of the source to events, and stops early, with
  // success, once events.StopRequested() says so. A failure says why the source could not
  // be read (in Japanese, for the end message); the events reported before it stand.
  virtual IoResult Read(BookmarkEvents& events) = 0;
  // Whether the source was seen to change between its count and the end of its reading,
  // which the count of bookmarks alone would not tell.
  virtual bool ChangedSinceCounted() const { return false; }
};

}  // namespace velkora
