#pragma once

#include <string>
#include <utility>

#include "engine/interfaces/folder_handle.h"
#include "platform/win32/unique_handle.h"

namespace velkora {

// Opens the folder at path to hold it: shared for reading and writing, never for deleting.
// With reparse, a reparse point standing there is opened itself, not followed. Windows
// weighs the sharing of a handle only when it has access to the data (a handle with
// FILE_READ_ATTRIBUTES alone holds nothing), hence FILE_LIST_DIRECTORY and FILE_TRAVERSE.
inline UniqueHandle HoldFolder(const std::wstring& path, bool reparse) {
  const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (reparse ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  return UniqueHandle(::CreateFileW(
      path.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags, nullptr));
}

// A folder held open without FILE_SHARE_DELETE: while it is held, Windows lets no one
// rename, replace or remove it, nor so any folder it lies in up to the target, which is
// held too. Files are made, renamed and removed in it through its handle.
class Win32Folder final : public FolderHandle {
 public:
  Win32Folder(UniqueHandle handle, std::u16string path)
      : handle_(std::move(handle)), path_(std::move(path)) {}
  HANDLE Handle() const { return handle_.get(); }
  const std::u16string& Path() const { return path_; }

 private:
  UniqueHandle handle_;
  std::u16string path_;
};

// The folder behind a handle that Win32FileSystem opened.
inline const Win32Folder& AsWin32Folder(const FolderHandle& folder) {
  return static_cast<const Win32Folder&>(folder);
}

}  // namespace velkora
