#pragma once

#include <fcntl.h>
#include <signal.h>

#include <string_view>
#include <utility>

namespace velkora {

// Names a file that an interrupt removes, for as long as this object lives: path, taken in
// the folder held by the descriptor folder (AT_FDCWD: from the working directory), which
// must stay open as long. The name is
// published in a fixed slot that the signal handler reads without allocating; a name too
// long for a slot, or one more than the slots hold, is not published.
class RemovedOnInterrupt {
 public:
  RemovedOnInterrupt() = default;
  explicit RemovedOnInterrupt(std::string_view path, int folder = AT_FDCWD);
  ~RemovedOnInterrupt() { Withdraw(); }
  RemovedOnInterrupt(RemovedOnInterrupt&& other) noexcept : slot_(std::exchange(other.slot_, -1)) {}
  RemovedOnInterrupt& operator=(RemovedOnInterrupt&& other) noexcept {
    if (this != &other) {
      Withdraw();
      slot_ = std::exchange(other.slot_, -1);
    }
    return *this;
  }

  // From now on an interrupt leaves the file alone.
  void Withdraw();

 private:
  int slot_ = -1;
};

// Holds the interrupts back while it lives, so that their handler sees a step such as
// renaming a file into place and counting it either not begun or done. An interrupt that
// came meanwhile is handled when this object goes. For the thread that runs the steps.
class BlockedInterrupts {
 public:
  BlockedInterrupts();
  ~BlockedInterrupts();
  BlockedInterrupts(const BlockedInterrupts&) = delete;
  BlockedInterrupts& operator=(const BlockedInterrupts&) = delete;
};

// Counts a shortcut renamed into place, for the number an interrupt writes. Call it under
// BlockedInterrupts, in the step that renamed the file.
void CountPlacedFile();

}  // namespace velkora
