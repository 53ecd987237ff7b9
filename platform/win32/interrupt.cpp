// The interrupt handler of the console tool. Windows runs it on a thread of its own while
// the conversion goes on, so it takes the lock a temporary shortcut is written under:
// once it holds it no temporary shortcut exists, and none is begun before the process
// ends. The copy of standard input is opened to be deleted on close, so ending the
// process removes it.

#include "platform/interrupt.h"

#include <windows.h>

#include <string>

#include "platform/console.h"
#include "platform/win32/interrupt_lock.h"

namespace velkora {
namespace {

constexpr UINT kInterruptedStatus = 130;

SRWLOCK lock = SRWLOCK_INIT;
std::u16string* text = nullptr;  // guarded by lock; made once, never freed

BOOL WINAPI OnControl(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      ::AcquireSRWLockExclusive(&lock);
      if (text != nullptr) WriteStandardError(*text);
      ::ExitProcess(kInterruptedStatus);
    default:
      return FALSE;
  }
}

}  // namespace

HeldAgainstInterrupt::HeldAgainstInterrupt() { ::AcquireSRWLockExclusive(&lock); }
HeldAgainstInterrupt::~HeldAgainstInterrupt() { ::ReleaseSRWLockExclusive(&lock); }

void SetInterruptText(std::u16string_view newText) {
  HeldAgainstInterrupt held;
  static std::u16string storage;
  storage.assign(newText);
  text = &storage;
}

void ExitOnInterrupt() { ::SetConsoleCtrlHandler(OnControl, TRUE); }

}  // namespace velkora
