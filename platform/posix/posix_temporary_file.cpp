#include "platform/posix/posix_temporary_file.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "platform/posix/posix_errors.h"

namespace velkora {
namespace {

constexpr int kNameAttempts = 100;

}  // namespace

IoResult CreateTemporaryFile(const std::string& prefix, const char* suffix, mode_t mode,
                             TemporaryFile& file) {
  static std::minstd_rand random(std::random_device{}());
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string path;
    path.reserve(prefix.size() + 6 + std::strlen(suffix));
    path += prefix;
    for (int i = 0; i < 6; ++i) path += kLetters[random() % (sizeof kLetters - 1)];
    path += suffix;
    auto published = std::make_unique<RemovedOnInterrupt>(path);
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
