#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <utility>

#include "engine/refusal_reasons.h"
#include "engine/utf8.h"
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

EntryKind PosixFileSystem::EntryAt(std::u16string_view path) const {
  struct stat status {};
  if (::lstat(ToUtf8(path).c_str(), &status) != 0) return EntryKind::kNothing;
  if (S_ISDIR(status.st_mode)) return EntryKind::kFolder;
  return S_ISLNK(status.st_mode) ? EntryKind::kLink : EntryKind::kOther;
}

IoResult PosixFileSystem::CreateFolder(std::u16string_view path) {
  if (::mkdir(ToUtf8(path).c_str(), 0777) != 0) return ErrnoFailure(errno);
  return IoResult::Success();
}

namespace {

// A folder is held only to make names in it: O_PATH needs no right to read it, as paths
// did not. Where there is no O_PATH, the folder is opened for reading.
#ifdef O_PATH
constexpr int kFolderAccess = O_PATH;
#else
constexpr int kFolderAccess = O_RDONLY;
#endif
constexpr int kFolderFlags = kFolderAccess | O_DIRECTORY | O_CLOEXEC;

// A target locked with flock, for as long as its descriptor is open.
class PosixFolderLock final : public FolderLock {
 public:
  explicit PosixFolderLock(UniqueFd fd) : fd_(std::move(fd)) {}

 private:
  UniqueFd fd_;
};

// Opens the folder name in parent, never through a link.
UniqueFd OpenFolderAt(int parent, const char* name) {
  return UniqueFd(::openat(parent, name, kFolderFlags | O_NOFOLLOW));
}

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

bool PosixFileSystem::HoldsFile(const FolderHandle& folder, std::u16string_view name,
                                std::uint64_t size) const {
  struct stat status {};
  return ::fstatat(FolderDescriptor(folder), ToUtf8(name).c_str(), &status, AT_SYMLINK_NOFOLLOW) ==
             0 &&
         S_ISREG(status.st_mode) && static_cast<std::uint64_t>(status.st_size) == size;
}

std::u16string PosixFileSystem::GetSpecialFolder(int /*selector*/) const { return u"/"; }

}  // namespace velkora
