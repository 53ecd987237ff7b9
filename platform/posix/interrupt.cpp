// The interrupt handler of the console tool. It runs as a signal handler, so it only reads
// what was published into fixed buffers beforehand and calls unlinkat, write and _exit,
// which are safe there.

#include "platform/interrupt.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>

#include "engine/utf8.h"
#include "platform/posix/interrupt_cleanup.h"

namespace velkora {
namespace {

constexpr int kInterruptedStatus = 130;

// Room for a shortcut being written and the copy of standard input, and some to spare.
// A path is taken in its folder, a descriptor held while the slot is used (AT_FDCWD for a
// path from the working directory).
struct Slot {
  std::atomic<bool> used{false};
  int folder = AT_FDCWD;
  char path[PATH_MAX] = {};
};
std::array<Slot, 4> slots;

// The text, twice: SetInterruptText fills the one not shown, then shows it.
constexpr std::size_t kTextRoom = 1024;
char texts[2][kTextRoom];
std::size_t textSizes[2];
std::atomic<int> shownText{0};

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "the signal handler reads these without locks");

extern "C" void OnInterrupt(int) {
  for (Slot& slot : slots) {
    if (slot.used.load()) ::unlinkat(slot.folder, slot.path, 0);
  }
  const int shown = shownText.load();
  const char* text = texts[shown];
  std::size_t left = textSizes[shown];
  while (left > 0) {
    const ssize_t count = ::write(STDERR_FILENO, text, left);
    if (count <= 0) break;
    text += count;
    left -= static_cast<std::size_t>(count);
  }
  ::_exit(kInterruptedStatus);
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

void SetInterruptText(std::u16string_view text) {
  const std::string bytes = ToUtf8(text);
  const int next = 1 - shownText.load();
  const std::size_t size = std::min(bytes.size(), kTextRoom);
  std::memcpy(texts[next], bytes.data(), size);
  textSizes[next] = size;
  shownText.store(next);
}

void ExitOnInterrupt() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  ::sigemptyset(&action.sa_mask);
  const int signals[] = {SIGINT, SIGTERM, SIGHUP};
  for (const int signal : signals) ::sigaddset(&action.sa_mask, signal);
  for (const int signal : signals) ::sigaction(signal, &action, nullptr);
}

}  // namespace velkora
