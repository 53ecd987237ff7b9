#pragma once

#include "engine/interfaces/io_result.h"
#include "engine/sources/bookmark_events.h"
#include "engine/sources/bookmark_source.h"

namespace velkora {

// Reads source into events as BookmarkSource::Read does, with the reading on a thread of
// its own: while the run writes the shortcuts of some bookmarks, the next ones are read
// and taken apart. Events reach events on the calling thread, in the source's order, some
// at a time; the source polls a stop that follows events.StopRequested() after each batch.
// Where no thread can be started, the source is read on the calling thread.
IoResult ReadAhead(BookmarkSource& source, BookmarkEvents& events);

}  // namespace velkora
