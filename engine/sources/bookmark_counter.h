#pragma once

#include <cstdint>
#include <limits>

#include "engine/sources/bookmark_events.h"

namespace velkora {

// Counts the bookmarks of a source's events as a run counts them for its progress: every
// bookmark, read or not, and every item the source counts among its bookmarks.
class BookmarkCounter final : public BookmarkEvents {
 public:
  std::int32_t count = 0;

  void OpenFolder(std::u16string&, const BookmarkDates&) override {}
  void CloseFolder() override {}
  void Bookmark(const BookmarkRecord&) override { Add(); }
  void MalformedBookmark(std::int32_t, std::u16string_view) override { Add(); }
  void SkippedQuery() override { Add(); }
  void ItemWithoutBookmark() override { Add(); }

 private:
  void Add() {
    if (count < std::numeric_limits<std::int32_t>::max()) ++count;
  }
};

}  // namespace velkora
