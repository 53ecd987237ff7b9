#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/interfaces/file_system_object.h"
#include "engine/sources/bookmark_dates.h"
#include "engine/write/held_target.h"

namespace velkora {

// The names of the open folders, one slot per nesting level 1 to 128.
class FolderNames {
 public:
  static constexpr std::int32_t kLevels = 128;

  static bool HasSlot(std::int32_t level) { return level >= 1 && level <= kLevels; }
  std::u16string& operator[](std::int32_t level) { return slots_.at(level - 1); }
  const std::u16string& operator[](std::int32_t level) const { return slots_.at(level - 1); }

 private:
  std::array<std::u16string, kLevels> slots_;
};

// The dates of the open folders' headings, one per nesting level as in FolderNames.
using FolderDates = std::array<BookmarkDates, FolderNames::kLevels>;

// What the window keeps of conversion runs: the folder names of the last run and its
// nesting level, the shortcut's file number, the bookmark count of the last run (which
// scaled its progress and which a stopped run's message gives), and the file system
// object. They live as long as the window and are not cleared between runs; the bookmark
// file is the run's own, open only while the run reads it.
struct ConversionState {
  FolderNames folderNames;
  std::int32_t depth = 0;
  std::int32_t outputFile = 0;
  std::int32_t entryCount = 0;
  std::unique_ptr<FileSystemObject> fileSystem;
  // The target as the front end's check held and locked it for the run that follows,
  // which takes it over and lets it go at its end; not kept between runs.
  HeldTarget target;
};

}  // namespace velkora
