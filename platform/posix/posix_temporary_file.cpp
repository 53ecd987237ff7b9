#include "platform/posix/posix_temporary_file.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdint>
#include <random>
#include <utility>

#include "platform/posix/posix_errors.h"

namespace velkora {
namespace {

constexpr int kNameAttempts = 100;
constexpr std::size_t kRandomLetters = 6;

// Six letters and digits from one draw of 64 bits.
std::string LettersOf(std::uint64_t draw) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  constexpr std::size_t kLetterCount = sizeof kLetters - 1;
  std::string letters;
  for (std::size_t i = 0; i < kRandomLetters; ++i, draw /= kLetterCount) {
    letters += kLetters[draw % kLetterCount];
  }
  return letters;
}

// The draws of the process, seeded once.
std::mt19937_64& Random() {
  static std::mt19937_64 random(std::random_device{}());
  return random;
}

}  // namespace

std::string AsideName() { return ".velkora-" + LettersOf(Random()()) + ".tmp"; }

IoResult CreateTemporaryFile(std::string prefix, std::string_view suffix, mode_t mode,
                             TemporaryFile& file, std::size_t nameStart, int folder) {
  // The first name tried is drawn once for the process: each shortcut's file is renamed
  // away before the next is made, and a name used again costs the file system less than a
  // new one for every file (about 2% of a conversion on tmpfs). A name that is taken (a
  // file left by a crash, another process) gives way to fresh letters.
  static const std::string firstLetters = LettersOf(Random()());
  std::string& path = prefix;
  const std::size_t prefixSize = path.size();
  path.reserve(prefixSize + kRandomLetters + suffix.size());
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    path.resize(prefixSize);
    if (attempt == 0) {
      path += firstLetters;
    } else {
      path += LettersOf(Random()());
    }
    path += suffix;
    const std::string_view name = std::string_view(path).substr(nameStart);
    RemovedOnInterrupt published(name, folder);
    UniqueFd fd(
        ::openat(folder, name.data(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (fd.get() < 0) {
      if (errno == EEXIST) continue;
      return ErrnoFailure(errno);
    }
    file = {std::move(path), nameStart, std::move(fd), std::move(published), folder};
    return IoResult::Success();
  }
  return ErrnoFailure(EEXIST);
}

}  // namespace velkora
