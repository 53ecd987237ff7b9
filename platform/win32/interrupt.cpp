// The interrupt handler of the console tool. Windows runs it on a thread of its own while
// the conversion goes on, so it takes the lock a temporary shortcut is written under:
// once it holds it no temporary shortcut exists, none is begun before the process ends,
// and every shortcut renamed into place has been counted. The copy of standard input is
// opened to be deleted on close, so ending the process removes it. While the conversion
// runs, the first interrupt only asks it to stop.

#include "platform/interrupt.h"

#include <windows.h>

#include <atomic>
#include <string>

#include "engine/run/messages.h"
#include "platform/console.h"
#include "platform/win32/interrupt_lock.h"

namespace velkora {
namespace {

constexpr UINT kInterruptedStatus = 130;
// The system ends a process a few seconds (five for a closed console) after the events that
// close it, whatever its handler does; a run asked to stop gets most of them.
constexpr DWORD kCloseGraceMilliseconds = 3000;

SRWLOCK lock = SRWLOCK_INIT;
// Guarded by lock: the text in two parts, made once and never freed; whether the number
// of files placed stands between them; that number; whether the run's end wrote the text.
std::u16string* before = nullptr;
std::u16string* after = nullptr;
bool counted = false;
long long placedFiles = 0;
bool textWritten = false;

// While the conversion runs (StopOnFirstInterrupt), the first interrupt only sets
// stopRequested.
std::atomic<bool> stopOnFirst{false};
std::atomic<bool> stopRequested{false};

// Under lock.
void WriteShownText() {
  if (before == nullptr || textWritten) return;
  std::u16string text = *before;
  if (counted) text += DecimalText(placedFiles);
  text += *after;
  WriteStandardError(text);
  textWritten = true;
}

[[noreturn]] void ExitInterrupted() {
  // Never released: the conversion waits for it before its next temporary file.
  ::AcquireSRWLockExclusive(&lock);
  WriteShownText();
  ::ExitProcess(kInterruptedStatus);
}

// Whether this is the first interrupt while the conversion runs, the one that only asks
// it to stop.
bool TakenAsStop() { return stopOnFirst.load() && !stopRequested.exchange(true); }

BOOL WINAPI OnControl(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      if (TakenAsStop()) return TRUE;
      ExitInterrupted();
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      // The run stops between two bookmarks and the process ends from its main thread
      // meanwhile, as a rule; if not, it ends here, before the system ends it.
      if (TakenAsStop()) ::Sleep(kCloseGraceMilliseconds);
      ExitInterrupted();
    default:
      return FALSE;
  }
}

void ShowText(std::u16string_view newBefore, std::u16string_view newAfter, bool newCounted) {
  HeldAgainstInterrupt held;
  static std::u16string beforeStorage;
  static std::u16string afterStorage;
  beforeStorage.assign(newBefore);
  afterStorage.assign(newAfter);
  before = &beforeStorage;
  after = &afterStorage;
  counted = newCounted;
}

}  // namespace

HeldAgainstInterrupt::HeldAgainstInterrupt() { ::AcquireSRWLockExclusive(&lock); }
HeldAgainstInterrupt::~HeldAgainstInterrupt() { ::ReleaseSRWLockExclusive(&lock); }

void CountPlacedFile() { ++placedFiles; }

long long PlacedFileCount() {
  HeldAgainstInterrupt held;
  return placedFiles;
}

StopOnFirstInterrupt::StopOnFirstInterrupt() { stopOnFirst.store(true); }

StopOnFirstInterrupt::~StopOnFirstInterrupt() { stopOnFirst.store(false); }

bool InterruptStopRequested() { return stopRequested.load(); }

void WriteInterruptText() {
  HeldAgainstInterrupt held;
  WriteShownText();
}

void SetInterruptText(std::u16string_view text) { ShowText(text, {}, false); }

void SetInterruptText(std::u16string_view textBefore, std::u16string_view textAfter) {
  ShowText(textBefore, textAfter, true);
}

void ExitOnInterrupt() { ::SetConsoleCtrlHandler(OnControl, TRUE); }

}  // namespace velkora
