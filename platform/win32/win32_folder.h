#pragma once

#include <string>
#include <utility>

#include "engine/folder_handle.h"
#include "platform/win32/unique_handle.h"

namespace velkora {

// A folder held open without FILE_SHARE_DELETE: while it is held, Windows lets no one
// rename, replace or remove it, nor so any folder it lies in up to the target, which is
// held too. Its path therefore keeps naming it, and names are made in it by that path.
class Win32Folder final : public FolderHandle {
 public:
  Win32Folder(UniqueHandle handle, std::u16string path)
      : handle_(std::move(handle)), path_(std::move(path)) {}
  const std::u16string& Path() const { return path_; }
  HANDLE Handle() const { return handle_.get(); }

 private:
  UniqueHandle handle_;
  std::u16string path_;
};

// The folder behind a handle that Win32FileSystem opened.
inline const Win32Folder& AsWin32Folder(const FolderHandle& folder) {
  return static_cast<const Win32Folder&>(folder);
}

}  // namespace velkora
