#include "platform/posix/posix_file_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "engine/utf8.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/unique_fd.h"

namespace velkora {
namespace {

class PosixInputStream final : public InputStream {
 public:
  explicit PosixInputStream(UniqueFd fd) : fd_(std::move(fd)) {}

  IoResult Read(char* buffer, std::size_t capacity, std::size_t& received) override {
    received = 0;
    for (;;) {
      const ssize_t count = ::read(fd_.get(), buffer, capacity);
      if (count >= 0) {
        received = static_cast<std::size_t>(count);
        return IoResult::Success();
      }
      if (errno != EINTR) return ErrnoFailure(errno);
    }
  }

 private:
  UniqueFd fd_;
};

class PosixOutputStream final : public OutputStream {
 public:
  explicit PosixOutputStream(UniqueFd fd) : fd_(std::move(fd)) {}

  IoResult Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t count = ::write(fd_.get(), bytes.data(), bytes.size());
      if (count < 0) {
        if (errno == EINTR) continue;
        return ErrnoFailure(errno);
      }
      bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return IoResult::Success();
  }

  IoResult Close() override {
    // close() reports delayed write errors (NFS, quotas); its descriptor is gone either way.
    if (::close(fd_.Release()) != 0 && errno != EINTR) return ErrnoFailure(errno);
    return IoResult::Success();
  }

 private:
  UniqueFd fd_;
};

}  // namespace

IoResult PosixFileStreams::OpenInput(std::u16string_view path,
                                     std::unique_ptr<InputStream>& stream) {
  UniqueFd fd(::open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return ErrnoFailure(errno);
  stream = std::make_unique<PosixInputStream>(std::move(fd));
  return IoResult::Success();
}

IoResult PosixFileStreams::OpenOutput(std::u16string_view path,
                                      std::unique_ptr<OutputStream>& stream) {
  UniqueFd fd(::open(ToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (fd.get() < 0) return ErrnoFailure(errno);
  stream = std::make_unique<PosixOutputStream>(std::move(fd));
  return IoResult::Success();
}

IoResult PosixFileStreams::Remove(std::u16string_view path) {
  if (::unlink(ToUtf8(path).c_str()) != 0) return ErrnoFailure(errno);
  return IoResult::Success();
}

}  // namespace velkora
