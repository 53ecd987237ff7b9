#pragma once

#include <algorithm>
#include <mutex>
#include <vector>

namespace velkora {

// The files open for reading through one FileStreams, by their identity on the system
// (device and inode, or volume and file index): a shortcut must never take the place of
// one of them. A source opens and closes its files on its own thread while the run's
// thread replaces shortcuts: each call holds the lock.
template <typename Identity>
class OpenInputs {
 public:
  void Add(const Identity& identity) {
    const std::lock_guard lock(mutex_);
    open_.push_back(identity);
  }
  void Remove(const Identity& identity) {
    const std::lock_guard lock(mutex_);
    const auto it = std::find(open_.begin(), open_.end(), identity);
    if (it != open_.end()) open_.erase(it);
  }
  bool Contains(const Identity& identity) const {
    const std::lock_guard lock(mutex_);
    return std::find(open_.begin(), open_.end(), identity) != open_.end();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Identity> open_;
};

}  // namespace velkora
