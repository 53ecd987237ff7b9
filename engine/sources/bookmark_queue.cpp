#include "engine/sources/bookmark_queue.h"

#include "engine/text/text.h"

namespace velkora {

void BookmarkQueue::OpenFolder(std::u16string& name, const BookmarkDates& dates) {
  events_.push_back({Kind::kOpenFolder, 0, text_.size(), name.size(), 0, 0, 0, false, dates, {}});
  text_ += name;
}

void BookmarkQueue::CloseFolder() {
  events_.push_back({Kind::kCloseFolder, 0, 0, 0, 0, 0, 0, false, {}, {}});
}

void BookmarkQueue::Bookmark(const BookmarkRecord& bookmark) {
  events_.push_back({Kind::kBookmark,
                     bookmark.lineNumber,
                     text_.size(),
                     bookmark.url.size(),
                     bookmark.title.size(),
                     bookmark.icon.size(),
                     bookmark.guid.size(),
                     bookmark.iconTooLong,
                     bookmark.dates,
                     {}});
  text_ += bookmark.url;
  text_ += bookmark.title;
  text_ += bookmark.icon;
  text_ += bookmark.guid;
}

void BookmarkQueue::MalformedBookmark(std::int32_t lineNumber, std::u16string_view reason) {
  events_.push_back({Kind::kMalformed, lineNumber, 0, 0, 0, 0, 0, false, {}, reason});
}

void BookmarkQueue::UnreadBookmark(const BookmarkRecord& bookmark, std::u16string_view reason) {
  events_.push_back({Kind::kUnread,
                     bookmark.lineNumber,
                     text_.size(),
                     bookmark.url.size(),
                     bookmark.title.size(),
                     0,
                     0,
                     false,
                     {},
                     reason});
  text_ += bookmark.url;
  text_ += bookmark.title;
}

void BookmarkQueue::SkippedQuery() {
  events_.push_back({Kind::kQuery, 0, 0, 0, 0, 0, 0, false, {}, {}});
}

void BookmarkQueue::ItemWithoutBookmark() {
  events_.push_back({Kind::kItemWithoutBookmark, 0, 0, 0, 0, 0, 0, false, {}, {}});
}

void BookmarkQueue::HandOn(BookmarkEvents& events) {
  const std::u16string_view text = text_;
  for (const Event& event : events_) {
    switch (event.kind) {
      case Kind::kOpenFolder:
        name_.assign(text.substr(event.start, event.firstLength));
        events.OpenFolder(name_, event.dates);
        break;
      case Kind::kCloseFolder:
        events.CloseFolder();
        break;
      case Kind::kBookmark: {
        const std::size_t iconStart = event.start + event.firstLength + event.secondLength;
        events.Bookmark({text.substr(event.start, event.firstLength),
                         text.substr(event.start + event.firstLength, event.secondLength),
                         event.lineNumber, text.substr(iconStart, event.thirdLength),
                         event.iconTooLong, event.dates,
                         text.substr(iconStart + event.thirdLength, event.fourthLength)});
        break;
      }
      case Kind::kMalformed:
        events.MalformedBookmark(event.lineNumber, event.reason);
        break;
      case Kind::kUnread: {
        BookmarkRecord bookmark;
        bookmark.url = text.substr(event.start, event.firstLength);
        bookmark.title = text.substr(event.start + event.firstLength, event.secondLength);
        bookmark.lineNumber = event.lineNumber;
        events.UnreadBookmark(bookmark, event.reason);
        break;
      }
      case Kind::kQuery:
        events.SkippedQuery();
        break;
      case Kind::kItemWithoutBookmark:
        events.ItemWithoutBookmark();
        break;
    }
  }
  events_.clear();
  // A hostile folder name or title passed through here once: its memory goes back.
  ReleaseIfLarge(text_);
  ReleaseIfLarge(name_);
}

}  // namespace velkora
