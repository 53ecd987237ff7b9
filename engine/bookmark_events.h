#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velkora {

// What a bookmark file's grammar finds, in file order. Both grammars hand the run these
// events, so that writing, progress and the report do not depend on the file's format.
class BookmarkEvents {
 public:
  virtual ~BookmarkEvents() = default;
  // A folder opens one level below the current one. name is the name as the file gives
  // it, before the file-name rules; the handler may take its contents.
  virtual void OpenFolder(std::u16string& name) = 0;
  virtual void CloseFolder() = 0;
  // A bookmark of the current folder; title as the file gives it, before the file-name
  // rules.
  virtual void Bookmark(std::u16string_view url, std::u16string_view title) = 0;
  // A bookmark that could not be read, first seen on line lineNumber (1-based), and why.
  virtual void MalformedBookmark(std::int32_t lineNumber, std::u16string_view reason) = 0;
  // A bookmark deliberately not written: a saved query that only its own browser opens.
  virtual void SkippedQuery() = 0;
};

}  // namespace velkora
