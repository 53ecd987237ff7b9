#pragma once

namespace velkora {

// A folder the platform holds open, so that names are made in it and not along a path: it
// stays the folder that was opened whatever its path names meanwhile. What it holds is the
// platform's own; only the platform that opened it takes it back.
class FolderHandle {
 public:
  virtual ~FolderHandle() = default;
};

// A lock the platform holds on a target folder for one run: while it lives, no other run,
// in this process or another, can take it. Only the platform that took it lets it go.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

}  // namespace velkora
