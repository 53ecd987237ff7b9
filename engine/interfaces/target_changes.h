#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velkora {

// What a run asks of the target's record beside writing the shortcuts.
struct RunOptions {
  // Shortcuts and folders that the record lists and the bookmarks no longer hold are
  // removed, and a bookmark that moved or was renamed takes its old shortcut along.
  bool removeGone = false;
  // Only works out what a run would do and tells it; nothing on disk changes.
  bool dryRun = false;
  // With removeGone, the window is shown the changes first and may cancel the run.
  bool preview = false;
  // With removeGone, a record made from another bookmark file is taken as this one's
  // without asking.
  bool replaceSource = false;
};

// One change a run makes, or would make, to a file or folder of its target.
struct TargetChange {
  enum class Kind {
    kAdd,     // a new shortcut or folder: 追加
    kUpdate,  // a shortcut whose bytes or dates change: 更新
    kMove,    // a shortcut moved or renamed to follow its bookmark: 移動
    kRemove,  // a shortcut or folder whose bookmark is gone: 削除
    kKeep,    // one whose bookmark is gone, left in place, with reason: 残す
  };
  Kind kind = Kind::kAdd;
  // The path of the file or folder (for kMove, where it goes), below the target.
  std::u16string path;
  // kMove: where it was. kKeep: why it stays.
  std::u16string from;
  std::u16string reason;
};

// How many of each change a run made or would make.
struct TargetChangeCounts {
  std::int32_t added = 0;
  std::int32_t updated = 0;
  std::int32_t moved = 0;
  std::int32_t removed = 0;
  std::int32_t kept = 0;
  // Shortcuts whose bytes are those on disk already: not written again.
  std::int32_t unchanged = 0;
  // Shortcuts the record lists whose bookmarks are gone, left because removal was not
  // asked for (counted among kept too).
  std::int32_t gone = 0;
};

// What the window is shown before a run that removes: the counts and the first changes.
struct TargetChangePreview {
  TargetChangeCounts counts;
  std::vector<TargetChange> firstChanges;
  // The record was made from this other bookmark file (empty when it was not).
  std::u16string otherSource;
};

inline constexpr std::size_t kPreviewChangeLines = 20;

}  // namespace velkora
