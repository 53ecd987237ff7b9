#pragma once

#include <string>
#include <string_view>

#include "engine/sources/bookmark_events.h"

namespace velkora {

// Passes events on below a folder of their own, which opens with the first of them: a
// file that reports nothing makes no folder. Close closes it, if it opened.
class FolderBelow final : public BookmarkEvents {
 public:
  FolderBelow(BookmarkEvents& events, std::u16string_view name) : events_(events), name_(name) {}

  void Close() {
    if (opened_) events_.CloseFolder();
    opened_ = false;
  }

  void OpenFolder(std::u16string& name, const BookmarkDates& dates) override {
    Open();
    events_.OpenFolder(name, dates);
  }
  void CloseFolder() override { events_.CloseFolder(); }
  void Bookmark(const BookmarkRecord& bookmark) override {
    Open();
    events_.Bookmark(bookmark);
  }
  void MalformedBookmark(std::int32_t lineNumber, std::u16string_view reason) override {
    Open();
    events_.MalformedBookmark(lineNumber, reason);
  }
  void SkippedQuery() override {
    Open();
    events_.SkippedQuery();
  }
  void ItemWithoutBookmark() override {
    Open();
    events_.ItemWithoutBookmark();
  }
  bool StopRequested() const override { return events_.StopRequested(); }

 private:
  void Open() {
    if (opened_) return;
    opened_ = true;
    std::u16string name(name_);
    events_.OpenFolder(name, {});
  }

  BookmarkEvents& events_;
  const std::u16string_view name_;
  bool opened_ = false;
};

}  // namespace velkora
