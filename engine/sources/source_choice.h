#pragma once

#include <memory>
#include <string_view>

#include "engine/interfaces/platform_services.h"
#include "engine/sources/bookmark_source.h"
#include "engine/sources/browser_source.h"

namespace velkora {

// The source a run reads the bookmark file at path from, chosen by the file's first bytes
// and never by its name: an SQLite database is Firefox's places, JSON text Chromium's
// Bookmarks, other text a bookmark HTML file. A file that is not text gets no source, and
// nonTextReason says why; a failure says why the file could not be opened. kind says which
// it chose.
IoResult ChooseSource(std::u16string_view path, const PlatformServices& platform,
                      std::unique_ptr<BookmarkSource>& source, std::u16string_view& nonTextReason,
                      SourceKind& kind);

}  // namespace velkora
