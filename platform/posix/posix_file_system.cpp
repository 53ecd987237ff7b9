#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <string>
#include <string_view>
#include <utility>

#include "engine/run/refusal_reasons.h"
#include "engine/text/utf8.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_file_times.h"
#include "platform/posix/posix_folder.h"

namespace velkora {

IoResult PosixFileSystem::CheckFolder(std::u16string_view path) const {
  struct stat status {};
  if (::stat(ToUtf8(path).c_str(), &status) != 0) return ErrnoFailure(errno);
  if (!S_ISDIR(status.st_mode)) return IoResult::Failure(std::u16string(kNotAFolder));
  return IoResult::Success();
}

namespace {

// A target locked with flock, for as long as its descriptor is open.
class PosixFolderLock final : public FolderLock {
 public:
  explicit PosixFolderLock(UniqueFd fd) : fd_(std::move(fd)) {}

 private:
  UniqueFd fd_;
};

}  // namespace

IoResult PosixFileSystem::OpenTarget(std::u16string_view path,
                                     std::unique_ptr<FolderHandle>& folder) {
  // The target itself may be a link: it is followed, once, here.
  UniqueFd fd(::open(ToUtf8(path).c_str(), kFolderFlags));
  if (fd.get() < 0) return ErrnoFailure(errno);
  folder = std::make_unique<PosixFolder>(std::move(fd));
  return IoResult::Success();
}

IoResult PosixFileSystem::LockTarget(const FolderHandle& target,
                                     std::unique_ptr<FolderLock>& lock) {
  // flock takes no O_PATH descriptor: the folder held is opened once more, for reading.
  UniqueFd fd(::openat(FolderDescriptor(target), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0) {
    // A folder that may be written but not read runs unlocked, as it did before locks.
    if (errno == EACCES) return IoResult::Success();
    return ErrnoFailure(errno);
  }
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) return IoResult::Failure(std::u16string(kTargetBusy));
    // A file system without locks (ENOLCK, EOPNOTSUPP...) cannot keep a second run out.
    if (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL) return IoResult::Success();
    return ErrnoFailure(errno);
  }
  lock = std::make_unique<PosixFolderLock>(std::move(fd));
  return IoResult::Success();
}

IoResult PosixFileSystem::OpenOrMakeFolder(const FolderHandle& parent, std::u16string_view name,
                                           std::unique_ptr<FolderHandle>& folder) {
  const int at = FolderDescriptor(parent);
  const std::string utf8 = ToUtf8(name);
  // What stands at the name may change between calls: a folder made, removed or swapped
  // for a link by another process. The opening alone decides; what is seen after a failed
  // one only says why, and a folder seen there is tried once more.
  constexpr int kAttempts = 4;
  int error = 0;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    UniqueFd fd = OpenFolderAt(at, utf8.c_str());
    if (fd.get() >= 0) {
      folder = std::make_unique<PosixFolder>(std::move(fd));
      return IoResult::Success();
    }
    error = errno;
    if (error == ENOENT) {
      // Nothing stands there: make the folder, then open what stands there now.
      if (::mkdirat(at, utf8.c_str(), 0777) != 0 && errno != EEXIST) return ErrnoFailure(errno);
      continue;
    }
    struct stat status {};
    if (::fstatat(at, utf8.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISLNK(status.st_mode)) return IoResult::Failure(std::u16string(kLinkInTheWay));
    if (S_ISDIR(status.st_mode)) continue;
    // A file standing there: the system says why no folder can be made.
    if (::mkdirat(at, utf8.c_str(), 0777) != 0) return ErrnoFailure(errno);
    error = ENOTDIR;  // gone meanwhile, and a folder made in its place
  }
  // Changing at every look: what refused the opening was no folder, most likely a link.
  if (error == ENOTDIR || error == ELOOP) return IoResult::Failure(std::u16string(kLinkInTheWay));
  return ErrnoFailure(error);
}

IoResult PosixFileSystem::SetFolderTimes(const FolderHandle& folder, const FileTimes& times) {
  const std::array<timespec, 2> set = PosixFileTimes(times);
#ifdef O_PATH
  // A folder held by O_PATH is no open file to futimens; the empty path names it itself.
  if (::utimensat(FolderDescriptor(folder), "", set.data(), AT_EMPTY_PATH) != 0) {
    return ErrnoFailure(errno);
  }
#else
  if (::futimens(FolderDescriptor(folder), set.data()) != 0) return ErrnoFailure(errno);
#endif
  return IoResult::Success();
}

IoResult PosixFileSystem::HideFolder(const FolderHandle& /*folder*/) { return IoResult::Success(); }

namespace {

// A regular file of size bytes and one link, whose owner may read it: a file of mode 000
// is of no use to the shortcuts that name it, even where this process could read it as root.
bool IsOwnFileOfSize(const struct stat& status, std::size_t size) {
  return S_ISREG(status.st_mode) && status.st_nlink == 1 && (status.st_mode & S_IRUSR) != 0 &&
         static_cast<std::uint64_t>(status.st_size) == size;
}

}  // namespace

bool PosixFileSystem::HoldsFile(const FolderHandle& folder, std::u16string_view name,
                                std::string_view bytes) const {
  const int parent = FolderDescriptor(folder);
  const std::string utf8 = ToUtf8(name);
  // Looked at before it is opened, so that no device or FIFO standing there is opened.
  struct stat status {};
  if (::fstatat(parent, utf8.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
      !IsOwnFileOfSize(status, bytes.size())) {
    return false;
  }
  const UniqueFd file(
      ::openat(parent, utf8.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!file.valid() || ::fstat(file.get(), &status) != 0 ||
      !IsOwnFileOfSize(status, bytes.size())) {
    return false;
  }
  // One byte more than expected tells a file that grew meanwhile.
  std::string held(bytes.size() + 1, '\0');
  std::size_t received = 0;
  while (received < held.size()) {
    const ssize_t count = ::read(file.get(), held.data() + received, held.size() - received);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    received += static_cast<std::size_t>(count);
  }
  return std::string_view(held).substr(0, received) == bytes;
}

bool PosixFileSystem::FolderRemoved(const FolderHandle& folder) const {
  // A folder removed is still held by its descriptor, but no name leads to it any more.
  struct stat status {};
  return ::fstat(FolderDescriptor(folder), &status) == 0 && status.st_nlink == 0;
}

std::u16string PosixFileSystem::GetSpecialFolder(int /*selector*/) const { return u"/"; }

}  // namespace velkora
