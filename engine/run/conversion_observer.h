#pragma once

#include <cstdint>
#include <string_view>

#include "engine/interfaces/target_changes.h"
#include "engine/sources/bookmark_record.h"

namespace velkora {

// Hears of each bookmark as a run deals with it, for a caller that names every failure
// as it happens; the end message still sums them up. The bookmark's texts are valid only
// for the call.
class ConversionObserver {
 public:
  virtual ~ConversionObserver() = default;
  virtual void ShortcutWritten(std::u16string_view path) = 0;
  // bookmark was written as name (its file name, with ".url"), cut shorter than its title.
  virtual void ShortcutShortened(const BookmarkRecord& bookmark, std::u16string_view name) = 0;
  virtual void ShortcutFailed(const BookmarkRecord& bookmark, std::u16string_view path,
                              std::u16string_view reason) = 0;
  // A bookmark that could not be read: bookmark holds its line, and the title and URL
  // when they were read (a bookmark whose URL is empty); else they are empty.
  virtual void LineUnreadable(const BookmarkRecord& bookmark, std::u16string_view reason) = 0;
  // The shortcut or folder at path was written, but the dates of its bookmark or heading
  // could not be given to it; it keeps the time of its writing.
  virtual void TimesNotSet(std::u16string_view /*path*/, std::u16string_view /*reason*/) {}
  // A change to the target beside a shortcut written (moved, removed, kept) or, in a run
  // that only works out what it would do, every change it would make.
  virtual void TargetChanged(const TargetChange& /*change*/) {}
  // An icon file that could not be written, once for each icon; its shortcuts are written
  // without it.
  virtual void IconFailed(std::u16string_view /*path*/, std::u16string_view /*reason*/) {}
  // The icon of bookmark could not be taken at all (it is too large), once for each icon;
  // its shortcut is written without it.
  virtual void IconNotTaken(const BookmarkRecord& /*bookmark*/, std::u16string_view /*reason*/) {}
};

// Tells observer, when there is one, of the change kind to path (from: where a moved one
// was; reason: why a kept one stays).
inline void TellChange(ConversionObserver* observer, TargetChange::Kind kind,
                       std::u16string_view path, std::u16string_view from = {},
                       std::u16string_view reason = {}) {
  if (observer == nullptr) return;
  TargetChange change;
  change.kind = kind;
  change.path = path;
  change.from = from;
  change.reason = reason;
  observer->TargetChanged(change);
}

}  // namespace velkora
