#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "engine/interfaces/file_system_object.h"
#include "engine/interfaces/folder_handle.h"
#include "engine/interfaces/io_result.h"

namespace velkora {

// The path of full, a path below the target whose own path takes its first targetLength
// units, as a record names it: relative, its names parted by '/'.
void RecordPathOf(std::u16string_view full, std::size_t targetLength, char16_t separator,
                  std::u16string& relative);

// The folder part of a record's path (empty at the top of the target) and its last name.
std::u16string_view RecordFolderOf(std::u16string_view path);
std::u16string_view RecordNameOf(std::u16string_view path);

// The folder at a record's folder path below target, opened name by name as it stands,
// never made, never through a link.
class RecordedFolder {
 public:
  IoResult Open(FileSystemObject& fileSystem, const FolderHandle& target,
                std::u16string_view folderPath);
  const FolderHandle& Folder() const { return *folder_; }

 private:
  std::unique_ptr<FolderHandle> held_;
  const FolderHandle* folder_ = nullptr;
};

}  // namespace velkora
