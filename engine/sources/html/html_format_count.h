#pragma once

#include <cstdint>

#include "engine/interfaces/ansi_code_page.h"
#include "engine/sources/html/bookmark_file.h"
#include "engine/text/text_encoding.h"

namespace velkora {

// The two formats of a bookmark HTML file: the Pomerek browser's list-item file and a
// browser's export in the Netscape bookmark file format; kNone when neither shows.
enum class HtmlFormat { kNone, kPomerek, kNetscape };

// What one reading of a bookmark HTML file found.
struct HtmlFormatCount {
  HtmlFormat format = HtmlFormat::kNone;
  // The bookmarks of its format, with the lines too long to be read.
  std::int32_t bookmarks = 0;
  // The bookmarks of the other format, which reading it as its format leaves out.
  std::int32_t otherFormatBookmarks = 0;
};

// Reads file, in encoding, to its end, to decide its format and count the bookmarks of
// both; findItems: its lines are searched for "<LI>", which a browser export lacks.
IoResult CountBothFormats(BookmarkFile& file, TextEncoding encoding, const AnsiCodePage& codePage,
                          bool findItems, HtmlFormatCount& count);

}  // namespace velkora
