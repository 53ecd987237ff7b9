#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/file_system_object.h"

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

// The window-level variables a conversion run works in. They live as long as the
// window and are not cleared between runs.
struct ConversionState {
  std::u16string currentLine;
  std::int32_t startPos = 0;
  std::int32_t endPos = 0;
  FolderNames folderNames;
  std::int32_t depth = 0;
  std::u16string targetPath;
  std::u16string entryTitle;
  std::u16string entryUrl;
  std::int32_t inputFile = 0;
  std::int32_t outputFile = 0;
  std::int32_t entryCount = 0;
  std::unique_ptr<FileSystemObject> fileSystem;
};

}  // namespace velkora
