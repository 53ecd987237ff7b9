#pragma once

#include <cstdint>
#include <string_view>

namespace velkora {

// Whether a grammar reads a file to write it, or only to count its bookmarks.
enum class GrammarMode {
  // Every event, with the texts of folders and bookmarks.
  kRead,
  // Only as much as tells how many bookmarks there are: one Bookmark event, with an empty
  // record, for each bookmark, malformed bookmark, query or item without a bookmark that
  // kRead would report, and no other event. The two modes count the same for the same
  // bytes.
  kCount,
};

// One format of bookmark file, read a line at a time and told to BookmarkEvents.
class BookmarkGrammar {
 public:
  virtual ~BookmarkGrammar() = default;
  // Reads the bytes of one line, without its line end, in the file's encoding; lineNumber
  // is 1-based. A line too long to be held is fed as an empty one.
  virtual void Feed(std::string_view bytes, std::int32_t lineNumber) = 0;
  // The end of the file.
  virtual void Finish() = 0;
};

}  // namespace velkora
