#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/interfaces/file_streams.h"
#include "engine/sources/bookmark_source.h"
#include "engine/sources/chromium/chromium_names.h"
#include "engine/sources/chromium/node_headings.h"
#include "engine/sources/page_icons.h"

namespace velkora {

// The bookmarks of a Chromium browser's profile: its "Bookmarks" file (JSON), and the
// "AccountBookmarks" file beside it, when there is one, below a top folder of its own.
// Each root of a file is a top folder named as the browser of family shows it; a root it
// does not name keeps its stored name, and an empty root makes no folder. A bookmark's
// icon is the one icons keeps for its URL, when icons is given.
//
// The files are read in chunks, each twice (see BookmarksJsonWalker): whatever their size
// or nesting, a read holds the values of one node, a few bytes for each level it is down,
// and the heading of each node that has children. Counting a file is its first reading:
// a file read unchanged since it was counted is then read once more, not twice.
class ChromiumBookmarks final : public BookmarkSource {
 public:
  ChromiumBookmarks(FileStreams& streams, std::u16string bookmarksPath,
                    ChromiumFamily family = ChromiumFamily::kChrome, PageIcons* icons = nullptr);

  IoResult Count(SourceCount& count) override;
  IoResult Read(BookmarkEvents& events) override;
  bool ChangedSinceCounted() const override { return changed_; }

 private:
  // What counting a file found for its reading: the headings of its nodes, which serve
  // while the file keeps the stamp it had.
  struct CountedFile {
    bool counted = false;
    FileStamp stamp;
    NodeHeadings headings;
  };

  IoResult CountFile(InputStream& stream, CountedFile& counted, std::int32_t& bookmarks);
  IoResult ReadFile(std::u16string_view path, std::unique_ptr<InputStream> first,
                    CountedFile& counted, BookmarkEvents& events);

  FileStreams& streams_;
  const std::u16string path_;
  const ChromiumFamily family_;
  PageIcons* const icons_;
  CountedFile bookmarks_;
  CountedFile account_;
  bool changed_ = false;
};

// The path of the file name in the folder of the file at path.
std::u16string SiblingPath(std::u16string_view path, std::u16string_view name);

}  // namespace velkora
