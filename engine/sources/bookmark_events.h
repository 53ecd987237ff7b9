#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/sources/bookmark_record.h"

namespace velkora {

// What a bookmark file's grammar finds, in file order. Both grammars hand the run these
// events, so that writing, progress and the report do not depend on the file's format.
class BookmarkEvents {
 public:
  virtual ~BookmarkEvents() = default;
  // A folder opens one level below the current one. name is the name as the file gives
  // it, before the file-name rules; the handler may take its contents. dates are those of
  // its heading.
  virtual void OpenFolder(std::u16string& name, const BookmarkDates& dates) = 0;
  virtual void CloseFolder() = 0;
  // A bookmark of the current folder.
  virtual void Bookmark(const BookmarkRecord& bookmark) = 0;
  // A bookmark that could not be read, first seen on line lineNumber (1-based), and why.
  // reason outlives the run.
  virtual void MalformedBookmark(std::int32_t lineNumber, std::u16string_view reason) = 0;
  // A bookmark that was not read, though its title and URL are known, and why; a handler
  // that needs no more takes it as a malformed bookmark.
  virtual void UnreadBookmark(const BookmarkRecord& bookmark, std::u16string_view reason) {
    MalformedBookmark(bookmark.lineNumber, reason);
  }
  // A bookmark deliberately not written: a saved query that only its own browser opens.
  virtual void SkippedQuery() = 0;
  // An item of the file's list that holds no bookmark, though the file counts it among
  // its bookmarks: it is counted, and nothing else.
  virtual void ItemWithoutBookmark() = 0;
  // Whether the run asks the source to stop: a source polls it between two bookmarks and,
  // once it is true, reports nothing more.
  virtual bool StopRequested() const { return false; }
  // Returns once every event reported so far has been handled: a source that must stay
  // open until the last shortcut is written calls it before it lets go. Events are
  // handled as they come unless the run reads ahead.
  virtual void WaitUntilHandled() {}
};

}  // namespace velkora
