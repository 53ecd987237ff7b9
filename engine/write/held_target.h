#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "engine/interfaces/file_system_object.h"
#include "engine/interfaces/folder_handle.h"
#include "engine/interfaces/io_result.h"

namespace velkora {

// The target folder of a run, opened and locked from the run's start to its end, so that
// no second run writes into it meanwhile.
struct HeldTarget {
  std::u16string path;
  std::unique_ptr<FolderHandle> folder;
  // Empty where the platform cannot lock that folder (a file system without locks).
  std::unique_ptr<FolderLock> lock;

  // Opens the folder at target and locks it; on failure, holds nothing.
  IoResult Hold(FileSystemObject& fileSystem, std::u16string_view target);
  // True when it holds the folder at target.
  bool Holds(std::u16string_view target) const { return folder && path == target; }
};

}  // namespace velkora
