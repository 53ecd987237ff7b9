#pragma once

#include <string>

namespace velkora {

// Names a file that an interrupt removes, for as long as this object lives. The name is
// published in a fixed slot that the signal handler reads without allocating; a name too
// long for a slot, or one more than the slots hold, is not published.
class RemovedOnInterrupt {
 public:
  explicit RemovedOnInterrupt(const std::string& path);
  ~RemovedOnInterrupt();
  RemovedOnInterrupt(const RemovedOnInterrupt&) = delete;
  RemovedOnInterrupt& operator=(const RemovedOnInterrupt&) = delete;

 private:
  int slot_ = -1;
};

}  // namespace velkora
