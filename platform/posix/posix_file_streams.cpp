#include "platform/posix/posix_file_streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "engine/run/refusal_reasons.h"
#include "engine/text/utf8.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_folder.h"
#include "platform/posix/posix_replacement_file.h"
#include "platform/posix/unique_fd.h"

namespace velkora {
namespace {

class PosixInputStream final : public InputStream {
 public:
  PosixInputStream(UniqueFd fd, std::shared_ptr<PosixOpenInputs> inputs, PosixIdentity identity)
      : fd_(std::move(fd)), inputs_(std::move(inputs)), identity_(identity) {
    inputs_->Add(identity_);
  }
  ~PosixInputStream() override { inputs_->Remove(identity_); }

  IoResult Stamp(FileStamp& stamp) const override {
    struct stat status {};
    if (::fstat(fd_.get(), &status) != 0) return ErrnoFailure(errno);
    stamp = StampOf(status);
    return IoResult::Success();
  }

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
  std::shared_ptr<PosixOpenInputs> inputs_;
  PosixIdentity identity_;
};

// Why a file of mode cannot be read as a bookmark file.
std::u16string_view NotRegularReason(mode_t mode) {
  if (S_ISDIR(mode)) return kInputIsFolder;
  if (S_ISFIFO(mode)) return kInputIsPipe;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return kInputIsDevice;
  return kInputIsNotAFile;
}

}  // namespace

IoResult PosixFileStreams::OpenInput(std::u16string_view path,
                                     std::unique_ptr<InputStream>& stream) {
  // Only a regular file is read, the same bytes in both passes. It is looked at before it is
  // opened, since opening a device may do something, and opened without waiting, so that a
  // FIFO put in its place meanwhile does not hold the run up.
  const std::string name = ToUtf8(path);
  struct stat status {};
  if (::stat(name.c_str(), &status) != 0) {
    const int error = errno;
    if (error == ENOENT) return IoResult::Missing(ErrnoText(error));
    return ErrnoFailure(error);
  }
  if (!S_ISREG(status.st_mode)) {
    return IoResult::Failure(std::u16string(NotRegularReason(status.st_mode)));
  }
  UniqueFd fd(::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) return ErrnoFailure(errno);
  if (::fstat(fd.get(), &status) != 0) return ErrnoFailure(errno);
  if (!S_ISREG(status.st_mode)) {
    return IoResult::Failure(std::u16string(NotRegularReason(status.st_mode)));
  }
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return ErrnoFailure(errno);
  stream = std::make_unique<PosixInputStream>(std::move(fd), inputs_,
                                              PosixIdentity{status.st_dev, status.st_ino});
  return IoResult::Success();
}

IoResult PosixFileStreams::OpenOutputIn(const FolderHandle& folder, std::u16string_view name,
                                        std::unique_ptr<OutputStream>& stream) {
  path_.clear();
  AppendUtf8(name, path_);
  return OpenReplacement(FolderDescriptor(folder), path_, 0, inputs_, stream);
}

}  // namespace velkora
