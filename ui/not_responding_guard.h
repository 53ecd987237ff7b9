#pragma once

#include <windows.h>

namespace velkora {

// Keeps Windows from marking a window as not responding while its thread works through a
// long run without dispatching messages. Windows takes a thread that has not looked at
// its message queue for a few seconds as hung; a look that removes and dispatches nothing
// is enough to show it is alive, and leaves every click and key press where it is.
class NotRespondingGuard {
 public:
  // Looks at the queue when the last look is long enough ago.
  void Tick() {
    const ULONGLONG now = GetTickCount64();
    if (now - lastLook_ < kInterval) return;
    lastLook_ = now;
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  }

 private:
  static constexpr ULONGLONG kInterval = 100;
  ULONGLONG lastLook_ = 0;
};

}  // namespace velkora
