#pragma once

#include <memory>
#include <string_view>

#include "engine/interfaces/database_snapshot.h"
#include "engine/interfaces/file_streams.h"
#include "engine/sources/bookmark_source.h"

namespace velkora {

// What a bookmark file is, told by its first bytes and never by its name: a browser's
// own store (Chromium's Bookmarks, JSON; Firefox's places.sqlite, an SQLite database) or
// text, which the HTML grammars read.
enum class SourceKind { kText, kChromiumBookmarks, kFirefoxPlaces };
SourceKind SourceKindOf(std::string_view start);

// The source of the browser's store at path, of kind (not kText), with the icons the
// browser keeps beside it: Chromium's Favicons, Firefox's favicons.sqlite. A Chromium
// file below an Edge profile gets Edge's names for its roots.
std::unique_ptr<BookmarkSource> BrowserSource(SourceKind kind, std::u16string_view path,
                                              FileStreams& streams, DatabaseSnapshots& snapshots);

}  // namespace velkora
