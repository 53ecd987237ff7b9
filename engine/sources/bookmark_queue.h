#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/sources/bookmark_events.h"

namespace velkora {

// Holds a source's events back and hands them on later, in the same order. A run reads and
// takes apart many lines, then writes their shortcuts: each kind of work then runs many
// times in a row, with its code and data still at hand, rather than once between two files
// of the other. Reasons must be texts that outlive the queue.
class BookmarkQueue final : public BookmarkEvents {
 public:
  void OpenFolder(std::u16string& name, const BookmarkDates& dates) override;
  void CloseFolder() override;
  void Bookmark(const BookmarkRecord& bookmark) override;
  void MalformedBookmark(std::int32_t lineNumber, std::u16string_view reason) override;
  void UnreadBookmark(const BookmarkRecord& bookmark, std::u16string_view reason) override;
  void SkippedQuery() override;
  void ItemWithoutBookmark() override;

  // True when enough events wait to be handed on.
  bool Full() const { return events_.size() >= kEvents || text_.size() >= kTextUnits; }
  bool Empty() const { return events_.empty(); }
  // Hands every waiting event on to events, in order, and forgets them.
  void HandOn(BookmarkEvents& events);

 private:
  // About as many as fit the caches beside the work of writing them, and a bound on memory.
  static constexpr std::size_t kEvents = 256;
  static constexpr std::size_t kTextUnits = 64 * 1024;

  enum class Kind : unsigned char {
    kOpenFolder,
    kCloseFolder,
    kBookmark,
    kMalformed,
    kUnread,
    kQuery,
    kItemWithoutBookmark,
  };
  struct Event {
    Kind kind;
    std::int32_t lineNumber;
    std::size_t start;         // of its texts in text_
    std::size_t firstLength;   // a folder's name, a bookmark's URL
    std::size_t secondLength;  // a bookmark's title
    std::size_t thirdLength;   // a bookmark's icon
    std::size_t fourthLength;  // a bookmark's guid
    bool iconTooLong;
    BookmarkDates dates;  // a folder's or a bookmark's
    std::u16string_view reason;
  };

  std::vector<Event> events_;
  // The texts of the events, one after the other.
  std::u16string text_;
  std::u16string name_;
};

}  // namespace velkora
