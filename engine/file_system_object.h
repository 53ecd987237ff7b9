#pragma once

#include <string>
#include <string_view>

#include "engine/io_result.h"

namespace velkora {

// What a path names, its last name taken as it is: a link there is not followed.
enum class EntryKind { kNothing, kFolder, kLink, kOther };

// Folder tests and creation, and the whereabouts of the Windows directory.
class FileSystemObject {
 public:
  virtual ~FileSystemObject() = default;
  // Success when path names a folder that can be used (through links, if any); otherwise
  // the system's reason, or that it is not a folder.
  virtual IoResult CheckFolder(std::u16string_view path) const = 0;
  // What stands at path. kLink is a symbolic link or, on Windows, any reparse point (a
  // junction too); kNothing also when the system cannot say.
  virtual EntryKind EntryAt(std::u16string_view path) const = 0;
  // Creates one folder whose parent exists.
  virtual IoResult CreateFolder(std::u16string_view path) = 0;
  // Selector 0 is the Windows directory.
  virtual std::u16string GetSpecialFolder(int selector) const = 0;
};

}  // namespace velkora
