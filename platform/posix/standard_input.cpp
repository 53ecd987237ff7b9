#include "platform/standard_input.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "engine/text/utf8.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_temporary_file.h"

namespace velkora {

struct StandardInputCopy::Held {
  TemporaryFile file;
  ~Held() {
    if (!file.path.empty()) ::unlink(file.path.c_str());
  }
};

StandardInputCopy::StandardInputCopy() = default;
StandardInputCopy::~StandardInputCopy() = default;

IoResult StandardInputCopy::Make() {
  const char* directory = std::getenv("TMPDIR");
  const std::string prefix =
      std::string(directory != nullptr && *directory != '\0' ? directory : "/tmp") +
      "/velkora-input-";
  held_ = std::make_unique<Held>();
  IoResult result = CreateTemporaryFile(prefix, ".tmp", 0600, held_->file);
  if (!result) return result;
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      return ErrnoFailure(errno);
    }
    for (ssize_t done = 0; done < count;) {
      const ssize_t written =
          ::write(held_->file.fd.get(), buffer + done, static_cast<std::size_t>(count - done));
      if (written < 0) {
        if (errno == EINTR) continue;
        return ErrnoFailure(errno);
      }
      done += written;
    }
  }
  if (::close(held_->file.fd.Release()) != 0 && errno != EINTR) return ErrnoFailure(errno);
  path_ = FromUtf8(held_->file.path);
  return IoResult::Success();
}

}  // namespace velkora
