#include "platform/posix/posix_temporary_file.h"

#include <fcntl.h>

#include <cerrno>
#include <random>
#include <utility>

#include "platform/posix/posix_errors.h"

namespace velkora {
namespace {

constexpr int kNameAttempts = 100;

}  // namespace

IoResult CreateTemporaryFile(std::string prefix, std::string_view suffix, mode_t mode,
                             TemporaryFile& file) {
  static std::minstd_rand random(std::random_device{}());
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  constexpr std::size_t kRandomLetters = 6;
  std::string& path = prefix;
  const std::size_t prefixSize = path.size();
  path.reserve(prefixSize + kRandomLetters + suffix.size());
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    path.resize(prefixSize);
    for (std::size_t i = 0; i < kRandomLetters; ++i) {
      path += kLetters[random() % (sizeof kLetters - 1)];
    }
    path += suffix;
    RemovedOnInterrupt published(path);
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (fd.get() < 0) {
      if (errno == EEXIST) continue;
      return ErrnoFailure(errno);
    }
    file = {std::move(path), std::move(fd), std::move(published)};
    return IoResult::Success();
  }
  return ErrnoFailure(EEXIST);
}

}  // namespace velkora
