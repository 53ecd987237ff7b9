#pragma once

#include <sys/types.h>

#include <algorithm>
#include <vector>

namespace velkora {

// The files open for reading through one PosixFileStreams, by device and inode: a
// shortcut must never take the place of one of them.
class OpenInputs {
 public:
  struct Identity {
    dev_t device;
    ino_t inode;
    bool operator==(const Identity&) const = default;
  };

  void Add(Identity identity) { open_.push_back(identity); }
  void Remove(Identity identity) {
    const auto it = std::find(open_.begin(), open_.end(), identity);
    if (it != open_.end()) open_.erase(it);
  }
  bool Contains(Identity identity) const {
    return std::find(open_.begin(), open_.end(), identity) != open_.end();
  }

 private:
  std::vector<Identity> open_;
};

}  // namespace velkora
