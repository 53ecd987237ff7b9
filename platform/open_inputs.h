#pragma once

#include <algorithm>
#include <vector>

namespace velkora {

// The files open for reading through one FileStreams, by their identity on the system
// (device and inode, or volume and file index): a shortcut must never take the place of
// one of them. For one thread at a time.
template <typename Identity>
class OpenInputs {
 public:
  void Add(const Identity& identity) { open_.push_back(identity); }
  void Remove(const Identity& identity) {
    const auto it = std::find(open_.begin(), open_.end(), identity);
    if (it != open_.end()) open_.erase(it);
  }
  bool Contains(const Identity& identity) const {
    return std::find(open_.begin(), open_.end(), identity) != open_.end();
  }

 private:
  std::vector<Identity> open_;
};

}  // namespace velkora
