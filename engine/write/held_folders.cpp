#include "engine/write/held_folders.h"

#include <utility>

namespace velkora {

HeldFolders::HeldFolders(FileSystemObject& fileSystem, const FolderHandle& target)
    : fileSystem_(fileSystem), target_(target) {}

HeldFolders::~HeldFolders() = default;

void HeldFolders::KeepDates(std::int64_t runStart, ConversionObserver* observer) {
  keepDates_ = true;
  runStart_ = runStart;
  observer_ = observer;
}

// A folder is let go when its folder closes, so the folders held are always the first
// levels of the path: only the levels past them are opened.
IoResult HeldFolders::Hold(const FolderPath& path, std::u16string& failedPath) {
  const std::vector<FolderPath::Level>& levels = path.Levels();
  keptFolders_ = !held_.empty();
  absent_ = false;
  for (std::size_t level = held_.size(); level < levels.size(); ++level) {
    const FolderHandle& parent = level == 0 ? target_ : *held_[level - 1].handle;
    Held folder;
    folder.path = path.Chain().substr(0, levels[level].end);
    IoResult result = onlyOpen_
                          ? fileSystem_.OpenFolderIn(parent, levels[level].name, folder.handle)
                          : fileSystem_.OpenOrMakeFolder(parent, levels[level].name, folder.handle);
    // Only opening, a folder missing is one a run would make: nothing below it stands.
    if (!result && onlyOpen_ && result.missing) {
      absent_ = true;
      return IoResult::Success();
    }
    if (!result) {
      failedPath = std::move(folder.path);
      return result;
    }
    folder.depth = levels[level].depth;
    held_.push_back(std::move(folder));
  }
  // Only a path held whole gives its folders times: the folders made on the way to one that
  // could not be are let go without them, unless a later shortcut holds them again.
  for (auto folder = held_.rbegin(); folder != held_.rend() && !folder->timed; ++folder) {
    if (keepDates_ && !onlyOpen_)
      folder->times = TimesOfDates(path.DatesAt(folder->depth), runStart_);
    folder->timed = true;
  }
  return IoResult::Success();
}

void HeldFolders::LetGoFrom(std::int32_t depth) {
  // Innermost first: setting a folder's times changes nothing of the folder it lies in.
  while (!held_.empty() && held_.back().depth >= depth) {
    Held& folder = held_.back();
    if (!folder.times.Empty()) {
      const IoResult result = fileSystem_.SetFolderTimes(*folder.handle, folder.times);
      if (!result && observer_ != nullptr) observer_->TimesNotSet(folder.path, result.reason);
    }
    held_.pop_back();
  }
}

}  // namespace velkora
