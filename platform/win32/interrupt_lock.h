#pragma once

namespace velkora {

// Held while a temporary file exists that an interrupt must not leave behind. The console
// tool's interrupt handler runs on a thread of its own and waits for it, so that it ends
// the process only between two files, when no temporary shortcut exists. Not reentrant:
// a thread holds one at a time.
class HeldAgainstInterrupt {
 public:
  HeldAgainstInterrupt();
  ~HeldAgainstInterrupt();
  HeldAgainstInterrupt(const HeldAgainstInterrupt&) = delete;
  HeldAgainstInterrupt& operator=(const HeldAgainstInterrupt&) = delete;
};

// Counts a shortcut renamed into place, for the number an interrupt writes. Call it while a
// HeldAgainstInterrupt is held, in the step that renamed the file, so that the interrupt
// counts exactly the files on disk.
void CountPlacedFile();

}  // namespace velkora
