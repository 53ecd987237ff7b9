#pragma once

#include <utility>

#include "engine/interfaces/folder_handle.h"
#include "platform/posix/unique_fd.h"

namespace velkora {

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
