#pragma once

#include "engine/interfaces/io_result.h"
#include "engine/sources/bookmark_events.h"

namespace velkora {

// Where a run's bookmarks come from: a file of one format, read whole as events in the
// order of its folders. Reading it again reads it from the start and, while it is
// unchanged, reports the same events: a run reads it once to count and once to write.
class BookmarkSource {
 public:
  virtual ~BookmarkSource() = default;
  // Reports every folder and bookmark of the source to events. A failure says why the
  // source could not be read (in Japanese, for the end message); the events reported
  // before it stand.
  virtual IoResult Read(BookmarkEvents& events) = 0;
};

}  // namespace velkora
