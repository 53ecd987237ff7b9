#pragma once

#include <string>
#include <string_view>

#include "engine/io_result.h"

namespace velkora {

// Folder tests and creation, and the whereabouts of the Windows directory.
class FileSystemObject {
 public:
  virtual ~FileSystemObject() = default;
  // True when path names an existing directory.
  virtual bool FolderExists(std::u16string_view path) const = 0;
  // Creates one folder whose parent exists.
  virtual IoResult CreateFolder(std::u16string_view path) = 0;
  // Selector 0 is the Windows directory.
  virtual std::u16string GetSpecialFolder(int selector) const = 0;
};

}  // namespace velkora
