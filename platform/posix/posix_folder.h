#pragma once

#include <fcntl.h>

#include <utility>

#include "engine/interfaces/folder_handle.h"
#include "platform/posix/unique_fd.h"

namespace velkora {

// A folder is held only to make names in it: O_PATH needs no right to read it, as paths
// did not. Where there is no O_PATH, the folder is opened for reading.
#ifdef O_PATH
inline constexpr int kFolderAccess = O_PATH;
#else
inline constexpr int kFolderAccess = O_RDONLY;
#endif
inline constexpr int kFolderFlags = kFolderAccess | O_DIRECTORY | O_CLOEXEC;

// Opens the folder name in parent, never through a link.
inline UniqueFd OpenFolderAt(int parent, const char* name) {
  return UniqueFd(::openat(parent, name, kFolderFlags | O_NOFOLLOW));
}

// A folder held by its descriptor, for the *at calls.
class PosixFolder final : public FolderHandle {
 public:
  explicit PosixFolder(UniqueFd fd) : fd_(std::move(fd)) {}
  int Descriptor() const { return fd_.get(); }

 private:
  UniqueFd fd_;
};

// The descriptor of a folder that PosixFileSystem opened.
inline int FolderDescriptor(const FolderHandle& folder) {
  return static_cast<const PosixFolder&>(folder).Descriptor();
}

}  // namespace velkora
