#pragma once

namespace velkora {

// A folder the platform holds open, so that names are made in it and not along a path: it
// stays the folder that was opened whatever its path names meanwhile. What it holds is the
// platform's own; only the platform that opened it takes it back.
class FolderHandle {
 public:
  virtual ~FolderHandle() = default;
};

}  // namespace velkora
