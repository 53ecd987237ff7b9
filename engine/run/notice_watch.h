#pragma once

#include <string_view>

#include "engine/run/conversion_observer.h"

namespace velkora {

// Passes everything a run tells on to the observer it watches (if any), and notes whether
// the run told anything beyond shortcuts written and changes made: a name cut short, a
// failure, a bookmark unread, dates not given, an icon left out, a file kept.
class NoticeWatch final : public ConversionObserver {
 public:
  explicit NoticeWatch(ConversionObserver* watched) : watched_(watched) {}

  bool Noticed() const { return noticed_; }

  void ShortcutWritten(std::u16string_view path) override {
    if (watched_) watched_->ShortcutWritten(path);
  }
  void ShortcutShortened(const BookmarkRecord& bookmark, std::u16string_view name) override {
    noticed_ = true;
    if (watched_) watched_->ShortcutShortened(bookmark, name);
  }
  void ShortcutFailed(const BookmarkRecord& bookmark, std::u16string_view path,
                      std::u16string_view reason) override {
    noticed_ = true;
    if (watched_) watched_->ShortcutFailed(bookmark, path, reason);
  }
  void LineUnreadable(const BookmarkRecord& bookmark, std::u16string_view reason) override {
    noticed_ = true;
    if (watched_) watched_->LineUnreadable(bookmark, reason);
  }
  void TimesNotSet(std::u16string_view path, std::u16string_view reason) override {
    noticed_ = true;
    if (watched_) watched_->TimesNotSet(path, reason);
  }
  void TargetChanged(const TargetChange& change) override {
    if (change.kind == TargetChange::Kind::kKeep) noticed_ = true;
    if (watched_) watched_->TargetChanged(change);
  }
  void IconFailed(std::u16string_view path, std::u16string_view reason) override {
    noticed_ = true;
    if (watched_) watched_->IconFailed(path, reason);
  }
  void IconNotTaken(const BookmarkRecord& bookmark, std::u16string_view reason) override {
    noticed_ = true;
    if (watched_) watched_->IconNotTaken(bookmark, reason);
  }

 private:
  ConversionObserver* watched_;
  bool noticed_ = false;
};

}  // namespace velkora
