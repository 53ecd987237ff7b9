// The interrupt handler of the console tool. It runs as a signal handler, so it only reads
// what was published into fixed buffers beforehand, sets lock-free atomics and calls
// unlinkat, write, pthread_self, pthread_kill and _exit, which are safe there.

#include "platform/interrupt.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>

#include "engine/text/utf8.h"
#include "platform/posix/interrupt_cleanup.h"

namespace velkora {
namespace {

constexpr int kInterruptedStatus = 130;
constexpr std::array kInterrupts = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Room for a shortcut being written and the copy of standard input, and some to spare.
// A path is taken in its folder, a descriptor held while the slot is used (AT_FDCWD for a
// path from the working directory).
struct Slot {
  std::atomic<bool> used{false};
  int folder = AT_FDCWD;
  char path[PATH_MAX] = {};
};
std::array<Slot, 4> slots;

// The text, twice: SetInterruptText fills the one not shown, then shows it. A counted
// text has the number of files placed written between its two parts.
constexpr std::size_t kTextRoom = 1024;
struct Text {
  char before[kTextRoom];
  std::size_t beforeSize = 0;
  char after[kTextRoom];
  std::size_t afterSize = 0;
  bool counted = false;
};
Text texts[2];
std::atomic<int> shownText{0};

// Changed only while the interrupts are held back (BlockedInterrupts).
std::atomic<long long> placedFiles{0};

// Performance-critical: interrupts are held back around every rename. Masking them costs
// two system calls a file (about 5% of a run on tmpfs); instead the handler, while a step
// is under way, only notes its signal, and the step's end handles it.
std::atomic<int> stepsUnderWay{0};
std::atomic<int> heldBackSignal{0};

// While the conversion runs (StopOnFirstInterrupt), the first interrupt only sets
// stopRequested. textWritten: the run's end wrote the text already.
std::atomic<bool> stopOnFirst{false};
std::atomic<bool> stopRequested{false};
std::atomic<bool> textWritten{false};

// The thread that runs the conversion, and every step the handler waits for. A source is
// read on a thread of its own, which an interrupt may reach: it is sent on to this one.
pthread_t runningThread;

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free &&
                  std::atomic<long long>::is_always_lock_free,
              "the signal handler reads these without locks");

void WriteError(const char* text, std::size_t left) {
  while (left > 0) {
    const ssize_t count = ::write(STDERR_FILENO, text, left);
    if (count <= 0) break;
    text += count;
    left -= static_cast<std::size_t>(count);
  }
}

// Writes the text shown, with the number of files placed in it when it is counted.
void WriteShownText() {
  const Text& text = texts[shownText.load()];
  WriteError(text.before, text.beforeSize);
  if (text.counted) {
    // Decimal digits from the end, without the library.
    char digits[24];
    std::size_t start = sizeof digits;
    for (long long left = placedFiles.load();;) {
      digits[--start] = static_cast<char>('0' + left % 10);
      left /= 10;
      if (left == 0) break;
    }
    WriteError(digits + start, sizeof digits - start);
  }
  WriteError(text.after, text.afterSize);
}

extern "C" void OnInterrupt(int signal) {
  if (!::pthread_equal(::pthread_self(), runningThread)) {
    ::pthread_kill(runningThread, signal);
    return;
  }
  // The first while the conversion runs only asks it to stop.
  if (stopOnFirst.load() && !stopRequested.exchange(true)) return;
  if (stepsUnderWay.load() > 0) {
    heldBackSignal.store(signal);
    return;
  }
  for (Slot& slot : slots) {
    if (slot.used.load()) ::unlinkat(slot.folder, slot.path, 0);
  }
  if (!textWritten.load()) WriteShownText();
  ::_exit(kInterruptedStatus);
}

sigset_t InterruptSet() {
  sigset_t set;
  ::sigemptyset(&set);
  for (const int signal : kInterrupts) ::sigaddset(&set, signal);
  return set;
}

std::size_t CopyText(std::u16string_view text, char (&room)[kTextRoom]) {
  const std::string bytes = ToUtf8(text);
  const std::size_t size = std::min(bytes.size(), kTextRoom);
  std::memcpy(room, bytes.data(), size);
  return size;
}

void ShowText(std::u16string_view before, std::u16string_view after, bool counted) {
  const int next = 1 - shownText.load();
  Text& text = texts[next];
  text.beforeSize = CopyText(before, text.before);
  text.afterSize = CopyText(after, text.after);
  text.counted = counted;
  shownText.store(next);
}

}  // namespace

RemovedOnInterrupt::RemovedOnInterrupt(std::string_view path, int folder) {
  if (path.size() >= PATH_MAX) return;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    if (slots[i].used.load()) continue;
    std::memcpy(slots[i].path, path.data(), path.size());
    slots[i].path[path.size()] = '\0';
    slots[i].folder = folder;
    slots[i].used.store(true);
    slot_ = static_cast<int>(i);
    return;
  }
}

void RemovedOnInterrupt::Withdraw() {
  if (slot_ >= 0) slots[static_cast<std::size_t>(slot_)].used.store(false);
  slot_ = -1;
}

BlockedInterrupts::BlockedInterrupts() { stepsUnderWay.fetch_add(1); }

BlockedInterrupts::~BlockedInterrupts() {
  if (stepsUnderWay.fetch_sub(1) != 1) return;
  if (const int signal = heldBackSignal.load(); signal != 0) {
    // Handled here as its handler would have: with the interrupts masked, so that another
    // one cannot run the handler a second time meanwhile. It does not return.
    const sigset_t set = InterruptSet();
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
    OnInterrupt(signal);
  }
}

void CountPlacedFile() { placedFiles.fetch_add(1); }

long long PlacedFileCount() { return placedFiles.load(); }

StopOnFirstInterrupt::StopOnFirstInterrupt() { stopOnFirst.store(true); }

StopOnFirstInterrupt::~StopOnFirstInterrupt() { stopOnFirst.store(false); }

bool InterruptStopRequested() { return stopRequested.load(); }

void WriteInterruptText() {
  // Written whole: an interrupt meanwhile waits, then ends the process without writing it
  // again.
  const sigset_t set = InterruptSet();
  sigset_t before;
  ::pthread_sigmask(SIG_BLOCK, &set, &before);
  if (!textWritten.exchange(true)) WriteShownText();
  ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

void SetInterruptText(std::u16string_view text) { ShowText(text, {}, false); }

void SetInterruptText(std::u16string_view before, std::u16string_view after) {
  ShowText(before, after, true);
}

void ExitOnInterrupt() {
  runningThread = ::pthread_self();
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  action.sa_mask = InterruptSet();
  // The handler returns from the stop it asks for: a call it interrupted goes on.
  action.sa_flags = SA_RESTART;
  for (const int signal : kInterrupts) ::sigaction(signal, &action, nullptr);
  struct sigaction ignored {};
  ignored.sa_handler = SIG_IGN;
  ::sigemptyset(&ignored.sa_mask);
  ::sigaction(SIGPIPE, &ignored, nullptr);
}

}  // namespace velkora
