#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/interfaces/file_system_object.h"
#include "engine/interfaces/file_times.h"
#include "engine/interfaces/folder_handle.h"
#include "engine/interfaces/io_result.h"
#include "engine/run/conversion_observer.h"
#include "engine/write/folder_path.h"

namespace velkora {

// The folders of the current folder path, held from the target down, each opened (or made)
// in the one before it only once a shortcut goes into it. A folder is let go, and given its
// heading's times, when its folder closes, or at the end of the run: nothing is written
// into it after that, for now. Only the current path is held, so a run holds at most one
// handle per nesting level.
class HeldFolders {
 public:
  HeldFolders(FileSystemObject& fileSystem, const FolderHandle& target);
  ~HeldFolders();
  HeldFolders(const HeldFolders&) = delete;
  HeldFolders& operator=(const HeldFolders&) = delete;

  // From now on, folders let go get the times of their headings' dates, as read in a run
  // that started at runStart (microseconds since 1970). A time that cannot be set is told
  // to observer, when given.
  void KeepDates(std::int64_t runStart, ConversionObserver* observer);

  // Opens or makes each level of path not held yet. On failure, failedPath is the path of
  // the folder that could not be opened or made.
  IoResult Hold(const FolderPath& path, std::u16string& failedPath);
  // From now on folders are only opened where they stand, never made, and get no times.
  void OnlyOpen() { onlyOpen_ = true; }
  // The folder of the latest Hold: its innermost level, else the target.
  const FolderHandle& Innermost() const { return held_.empty() ? target_ : *held_.back().handle; }
  // Innermost(), or null when, only opening, the latest Hold found a level missing.
  const FolderHandle* Standing() const { return absent_ ? nullptr : &Innermost(); }
  // True when the latest Hold kept a folder held for an earlier shortcut.
  bool KeptFolders() const { return keptFolders_; }
  // Lets go the folders of nesting level depth and below, innermost first, with their times.
  void LetGoFrom(std::int32_t depth);
  // Lets go every folder, without their times: they are opened afresh for the next shortcut.
  void Drop() { held_.clear(); }

 private:
  struct Held {
    std::unique_ptr<FolderHandle> handle;
    std::u16string path;
    std::int32_t depth = 0;
    FileTimes times;
    bool timed = false;  // times given, once a shortcut's whole path was held
  };

  FileSystemObject& fileSystem_;
  const FolderHandle& target_;
  std::vector<Held> held_;
  bool keptFolders_ = false;
  bool onlyOpen_ = false;
  bool absent_ = false;
  bool keepDates_ = false;
  std::int64_t runStart_ = 0;
  ConversionObserver* observer_ = nullptr;
};

}  // namespace velkora
