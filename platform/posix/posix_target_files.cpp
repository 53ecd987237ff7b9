// The calls that keep a target in step with its record: every one is made in a folder
// held by its descriptor, on one name in it, and never through a link standing there.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>
#include <string_view>

#include "engine/run/refusal_reasons.h"
#include "engine/text/utf8.h"
#include "platform/posix/interrupt_cleanup.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_file_times.h"
#include "platform/posix/posix_folder.h"
#include "platform/posix/posix_identity.h"
#include "platform/posix/posix_temporary_file.h"
#include "platform/target_file_reasons.h"

namespace velkora {
namespace {

// The UTF-8 form of name, one name in a folder; false when it is empty, "." or "..", or
// holds a slash or a NUL, which would lead out of the folder or end the name early.
bool OneName(std::u16string_view name, std::string& utf8) {
  utf8.clear();
  if (name.empty() || name == u"." || name == u".." ||
      name.find_first_of(std::u16string_view(u"/\0", 2)) != std::u16string_view::npos) {
    return false;
  }
  AppendUtf8(name, utf8);
  return true;
}

IoResult NotOneName() { return IoResult::Failure(std::u16string(kNotOneName)); }

// The failure of a call at name in folder that failed with error: Missing when nothing
// stands there, kLinkInTheWay for a link, otherwise the system's reason.
IoResult EntryFailure(int folder, const char* name, int error) {
  if (error == ENOENT) return IoResult::Missing(ErrnoText(error));
  if (error == ELOOP) return IoResult::Failure(std::u16string(kLinkInTheWay));
  // O_NOFOLLOW with O_DIRECTORY tells a link by ENOTDIR: what stands there says.
  struct stat status {};
  if (::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(status.st_mode)) {
    return IoResult::Failure(std::u16string(kLinkInTheWay));
  }
  return ErrnoFailure(error);
}

// Why the entry of status is not taken for a regular file; empty when it is one.
std::u16string_view NotRegularReason(const struct stat& status) {
  if (S_ISREG(status.st_mode)) return {};
  if (S_ISLNK(status.st_mode)) return kLinkInTheWay;
  if (S_ISDIR(status.st_mode)) return kEntryIsFolder;
  return kInputIsNotAFile;
}

// Looks at what stands at name in folder, not following a link: success for a regular file.
IoResult RegularEntryAt(int folder, const char* name, struct stat& status) {
  if (::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
    return EntryFailure(folder, name, errno);
  }
  if (const std::u16string_view why = NotRegularReason(status); !why.empty()) {
    return IoResult::Failure(std::u16string(why));
  }
  return IoResult::Success();
}

// Opens the regular file at name in folder with access, never through a link, and gives
// its status as the descriptor sees it. What stands there is looked at first, so that no
// device is opened, and without waiting, so that a FIFO put there meanwhile holds nothing up.
IoResult OpenRegularAt(int folder, const char* name, int access, UniqueFd& fd,
                       struct stat& status) {
  if (IoResult seen = RegularEntryAt(folder, name, status); !seen) return seen;
  fd = UniqueFd(::openat(folder, name, access | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd.valid()) return EntryFailure(folder, name, errno);
  if (::fstat(fd.get(), &status) != 0) return ErrnoFailure(errno);
  if (const std::u16string_view why = NotRegularReason(status); !why.empty()) {
    return IoResult::Failure(std::u16string(why));
  }
  return IoResult::Success();
}

// Reads from fd into bytes until its end, or until it has read one byte more than limit,
// which tells a file too large.
IoResult ReadAtMost(int fd, std::size_t limit, std::size_t expected, std::string& bytes) {
  constexpr std::size_t kPiece = std::size_t{1} << 16;
  bytes.clear();
  bytes.reserve(std::min(expected, limit) + 1);
  while (bytes.size() <= limit) {
    const std::size_t left = limit - bytes.size();
    // The whole file the size said in one read, then a piece more to see its end.
    const std::size_t piece = std::max(kPiece, std::min(expected, limit) + 1 - bytes.size());
    const std::size_t wanted = left >= piece ? piece : left + 1;
    const std::size_t held = bytes.size();
    bytes.resize(held + wanted);
    const ssize_t count = ::read(fd, bytes.data() + held, wanted);
    bytes.resize(held + static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return ErrnoFailure(errno);
    if (count == 0) break;
  }
  return IoResult::Success();
}

bool SameFile(const struct stat& one, const struct stat& other) {
  return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

// As SameFile, and unchanged: of the same size and written last at the same time.
bool SameState(const struct stat& one, const struct stat& other) {
  return SameFile(one, other) && one.st_size == other.st_size &&
         one.st_mtim.tv_sec == other.st_mtim.tv_sec && one.st_mtim.tv_nsec == other.st_mtim.tv_nsec;
}

// Renames from to to, both in folder, never replacing what stands at to: false with
// errno EEXIST when something does. Where the file system has no such rename, to is
// looked at first, which leaves a moment in which a name made there would be replaced.
bool RenameNoReplace(int folder, const char* from, const char* to) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
#endif
  struct stat status {};
  if (::fstatat(folder, to, &status, AT_SYMLINK_NOFOLLOW) == 0) {
    errno = EEXIST;
    return false;
  }
  if (errno != ENOENT) return false;
  return ::renameat(folder, from, folder, to) == 0;
}

// Moves the file at name in folder, found to be the file of read (open and unchanged
// since), aside to a fresh name, and removes it there if it is still that file; a file put
// at name meanwhile is given its name back. Under BlockedInterrupts: no interrupt sees
// the file under its temporary name.
IoResult RemoveTheFileRead(int folder, const char* name, const struct stat& read, bool& removed) {
  BlockedInterrupts blocked;
  std::string aside;
  for (int attempt = 0;; ++attempt) {
    aside = AsideName();
    if (RenameNoReplace(folder, name, aside.c_str())) break;
    if (errno != EEXIST || attempt == 100) return EntryFailure(folder, name, errno);
  }
  struct stat status {};
  if (::fstatat(folder, aside.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
    const int error = errno;
    if (RenameNoReplace(folder, aside.c_str(), name)) return ErrnoFailure(error);
    return IoResult::Failure(NotPutBackReason(FromUtf8(aside)));
  }
  if (SameState(status, read)) {
    if (::unlinkat(folder, aside.c_str(), 0) == 0) {
      removed = true;
      return IoResult::Success();
    }
    const int error = errno;
    if (RenameNoReplace(folder, aside.c_str(), name)) return ErrnoFailure(error);
    return IoResult::Failure(NotPutBackReason(FromUtf8(aside)));
  }
  // Another file, or the same one written meanwhile: it stays, under its own name.
  if (RenameNoReplace(folder, aside.c_str(), name)) return IoResult::Success();
  return IoResult::Failure(NotPutBackReason(FromUtf8(aside)));
}

}  // namespace

IoResult PosixFileSystem::OpenFolderIn(const FolderHandle& parent, std::u16string_view name,
                                       std::unique_ptr<FolderHandle>& folder) {
  std::string utf8;
  if (!OneName(name, utf8)) return NotOneName();
  const int at = FolderDescriptor(parent);
  UniqueFd fd = OpenFolderAt(at, utf8.c_str());
  if (!fd.valid()) {
    const int error = errno;
    IoResult failure = EntryFailure(at, utf8.c_str(), error);
    if (error == ENOTDIR && failure.reason != kLinkInTheWay) {
      failure.reason = std::u16string(kNotAFolder);
    }
    return failure;
  }
  // A file system mounted there is not the folder that was made there.
  struct stat inside {
  }, outside{};
  if (::fstat(fd.get(), &inside) != 0 || ::fstat(at, &outside) != 0) return ErrnoFailure(errno);
  if (inside.st_dev != outside.st_dev) {
    return IoResult::Failure(std::u16string(kMountPointInTheWay));
  }
  folder = std::make_unique<PosixFolder>(std::move(fd));
  return IoResult::Success();
}

IoResult PosixFileSystem::StampAt(const FolderHandle& folder, std::u16string_view name,
                                  FileStamp& stamp) const {
  std::string utf8;
  if (!OneName(name, utf8)) return NotOneName();
  // The same stamp as an open stream's: fstatat gives what fstat would.
  struct stat status {};
  if (IoResult seen = RegularEntryAt(FolderDescriptor(folder), utf8.c_str(), status); !seen) {
    return seen;
  }
  stamp = StampOf(status);
  return IoResult::Success();
}

IoResult PosixFileSystem::ReadFileAt(const FolderHandle& folder, std::u16string_view name,
                                     std::size_t limit, std::string& bytes) const {
  bytes.clear();
  std::string utf8;
  if (!OneName(name, utf8)) return NotOneName();
  UniqueFd fd;
  struct stat status {};
  IoResult result = OpenRegularAt(FolderDescriptor(folder), utf8.c_str(), O_RDONLY, fd, status);
  if (!result) return result;
  const auto size = static_cast<std::uint64_t>(status.st_size);
  if (size > limit) return IoResult::Failure(FileTooLargeReason(limit));
  result = ReadAtMost(fd.get(), limit, static_cast<std::size_t>(size), bytes);
  if (result && bytes.size() > limit) result = IoResult::Failure(FileTooLargeReason(limit));
  if (!result) bytes.clear();
  return result;
}

IoResult PosixFileSystem::SetFileTimesAt(const FolderHandle& folder, std::u16string_view name,
                                         const FileTimes& times) {
  std::string utf8;
  if (!OneName(name, utf8)) return NotOneName();
  const std::array<timespec, 2> set = PosixFileTimes(times);
  UniqueFd fd;
  struct stat status {};
#ifdef O_PATH
  // A descriptor of O_PATH needs no right to read the file, as the name did not; the
  // empty path names the file it holds.
  IoResult result = OpenRegularAt(FolderDescriptor(folder), utf8.c_str(), O_PATH, fd, status);
  if (!result) return result;
  if (::utimensat(fd.get(), "", set.data(), AT_EMPTY_PATH) != 0) return ErrnoFailure(errno);
#else
  IoResult result = OpenRegularAt(FolderDescriptor(folder), utf8.c_str(), O_RDONLY, fd, status);
  if (!result) return result;
  if (::futimens(fd.get(), set.data()) != 0) return ErrnoFailure(errno);
#endif
  return IoResult::Success();
}

IoResult PosixFileSystem::MoveFileAt(const FolderHandle& from, std::u16string_view name,
                                     const FolderHandle& to, std::u16string_view newName) {
  std::string source, target;
  if (!OneName(name, source) || !OneName(newName, target)) return NotOneName();
  const int fromFd = FolderDescriptor(from);
  const int toFd = FolderDescriptor(to);
  struct stat status {};
  if (IoResult seen = RegularEntryAt(fromFd, source.c_str(), status); !seen) return seen;
#ifdef RENAME_NOREPLACE
  if (::renameat2(fromFd, source.c_str(), toFd, target.c_str(), RENAME_NOREPLACE) == 0) {
    return IoResult::Success();
  }
  if (errno == EEXIST) return IoResult::Taken(ErrnoText(EEXIST));
  if (errno != EINVAL && errno != ENOSYS) return EntryFailure(fromFd, source.c_str(), errno);
#endif
  // A file system without that rename: a second name made exclusively, then the first
  // removed while it still names the same file.
  if (::linkat(fromFd, source.c_str(), toFd, target.c_str(), 0) != 0) {
    if (errno == EEXIST) return IoResult::Taken(ErrnoText(EEXIST));
    return EntryFailure(fromFd, source.c_str(), errno);
  }
  struct stat still {};
  if (::fstatat(fromFd, source.c_str(), &still, AT_SYMLINK_NOFOLLOW) != 0 ||
      !SameFile(still, status) || ::unlinkat(fromFd, source.c_str(), 0) != 0) {
    const int error = errno;
    ::unlinkat(toFd, target.c_str(), 0);
    return ErrnoFailure(error);
  }
  return IoResult::Success();
}

IoResult PosixFileSystem::RemoveFileAt(const FolderHandle& folder, std::u16string_view name,
                                       std::size_t limit,
                                       const std::function<bool(std::string_view)>& isOurs,
                                       bool& removed) {
  removed = false;
  std::string utf8;
  if (!OneName(name, utf8)) return NotOneName();
  const int at = FolderDescriptor(folder);
  UniqueFd fd;
  struct stat read {};
  if (IoResult opened = OpenRegularAt(at, utf8.c_str(), O_RDONLY, fd, read); !opened) {
    return opened;
  }
  // Removing one name of a file with others would leave its bytes where they are.
  if (read.st_nlink != 1) return IoResult::Failure(std::u16string(kFileHasOtherNames));
  if (static_cast<std::uint64_t>(read.st_size) > limit) return IoResult::Success();
  std::string bytes;
  if (IoResult result = ReadAtMost(fd.get(), limit, static_cast<std::size_t>(read.st_size), bytes);
      !result) {
    return result;
  }
  if (bytes.size() > limit || !isOurs(bytes)) return IoResult::Success();
  // Read whole and unchanged since it was opened, or it is not what was asked about.
  struct stat now {};
  if (::fstat(fd.get(), &now) != 0) return ErrnoFailure(errno);
  if (!SameState(now, read)) return IoResult::Success();
  return RemoveTheFileRead(at, utf8.c_str(), read, removed);
}

IoResult PosixFileSystem::RemoveEmptyFolderAt(const FolderHandle& parent, std::u16string_view name,
                                              bool& removed) {
  removed = false;
  std::string utf8;
  if (!OneName(name, utf8)) return NotOneName();
  const int at = FolderDescriptor(parent);
  struct stat status {};
  if (::fstatat(at, utf8.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
    return EntryFailure(at, utf8.c_str(), errno);
  }
  if (S_ISLNK(status.st_mode)) return IoResult::Failure(std::u16string(kLinkInTheWay));
  if (!S_ISDIR(status.st_mode)) return IoResult::Failure(std::u16string(kNotAFolder));
  // A link put there meanwhile is no folder to AT_REMOVEDIR: ENOTDIR, and it stays.
  if (::unlinkat(at, utf8.c_str(), AT_REMOVEDIR) == 0) {
    removed = true;
    return IoResult::Success();
  }
  const int error = errno;
  if (error == ENOTEMPTY || error == EEXIST) return IoResult::Success();
  IoResult failure = EntryFailure(at, utf8.c_str(), error);
  if (error == ENOTDIR && failure.reason != kLinkInTheWay) {
    failure.reason = std::u16string(kNotAFolder);
  }
  return failure;
}

}  // namespace velkora
