// Throwaway calls for the record's runs until the platform's own are in.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "engine/run/refusal_reasons.h"
#include "engine/text/utf8.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_file_times.h"
#include "platform/posix/posix_folder.h"

namespace velkora {
namespace {

IoResult Errno(int error) {
  if (error == ENOENT) return IoResult::Missing(ErrnoText(error));
  if (error == ELOOP) return IoResult::Failure(std::u16string(kLinkInTheWay));
  return ErrnoFailure(error);
}

IoResult StatFile(int at, const std::string& name, struct stat& status) {
  if (::fstatat(at, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return Errno(errno);
  if (S_ISLNK(status.st_mode)) return IoResult::Failure(std::u16string(kLinkInTheWay));
  if (!S_ISREG(status.st_mode)) return IoResult::Failure(u"not a file");
  return IoResult::Success();
}

IoResult ReadAll(int at, const std::string& name, std::size_t limit, std::string& bytes) {
  bytes.clear();
  UniqueFd fd(::openat(at, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
  if (!fd.valid()) return Errno(errno);
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) return ErrnoFailure(errno);
  if (!S_ISREG(status.st_mode)) return IoResult::Failure(u"not a file");
  if (static_cast<std::uint64_t>(status.st_size) > limit) return IoResult::Failure(u"too large");
  std::array<char, 65536> buffer{};
  while (true) {
    const ssize_t count = ::read(fd.get(), buffer.data(), buffer.size());
    if (count < 0) return ErrnoFailure(errno);
    if (count == 0) break;
    bytes.append(buffer.data(), static_cast<std::size_t>(count));
    if (bytes.size() > limit) {
      bytes.clear();
      return IoResult::Failure(u"too large");
    }
  }
  return IoResult::Success();
}

}  // namespace

IoResult PosixFileSystem::OpenFolderIn(const FolderHandle& parent, std::u16string_view name,
                                       std::unique_ptr<FolderHandle>& folder) {
  UniqueFd fd(::openat(FolderDescriptor(parent), ToUtf8(name).c_str(),
                       O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd.valid()) return Errno(errno == ENOTDIR ? ELOOP : errno);
  folder = std::make_unique<PosixFolder>(std::move(fd));
  return IoResult::Success();
}
IoResult PosixFileSystem::StampAt(const FolderHandle& folder, std::u16string_view name,
                                  FileStamp& stamp) const {
  struct stat status {};
  if (IoResult r = StatFile(FolderDescriptor(folder), ToUtf8(name), status); !r) return r;
  stamp = {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
           status.st_size, status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec};
  return IoResult::Success();
}
IoResult PosixFileSystem::ReadFileAt(const FolderHandle& folder, std::u16string_view name,
                                     std::size_t limit, std::string& bytes) const {
  return ReadAll(FolderDescriptor(folder), ToUtf8(name), limit, bytes);
}
IoResult PosixFileSystem::SetFileTimesAt(const FolderHandle& folder, std::u16string_view name,
                                         const FileTimes& times) {
  const std::array<timespec, 2> set = PosixFileTimes(times);
  if (::utimensat(FolderDescriptor(folder), ToUtf8(name).c_str(), set.data(),
                  AT_SYMLINK_NOFOLLOW) != 0) {
    return Errno(errno);
  }
  return IoResult::Success();
}
IoResult PosixFileSystem::MoveFileAt(const FolderHandle& from, std::u16string_view name,
                                     const FolderHandle& to, std::u16string_view newName) {
  const std::string n = ToUtf8(newName);
  struct stat status {};
  if (::fstatat(FolderDescriptor(to), n.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
    return IoResult::Taken(u"taken");
  }
  if (::renameat(FolderDescriptor(from), ToUtf8(name).c_str(), FolderDescriptor(to), n.c_str()) !=
      0) {
    return Errno(errno);
  }
  return IoResult::Success();
}
IoResult PosixFileSystem::RemoveFileAt(const FolderHandle& folder, std::u16string_view name,
                                       std::size_t limit,
                                       const std::function<bool(std::string_view)>& isOurs,
                                       bool& removed) {
  removed = false;
  const std::string n = ToUtf8(name);
  struct stat status {};
  if (IoResult r = StatFile(FolderDescriptor(folder), n, status); !r) return r;
  std::string bytes;
  IoResult read = ReadAll(FolderDescriptor(folder), n, limit, bytes);
  if (!read) return read.missing ? read : IoResult::Success();
  if (!isOurs(bytes)) return IoResult::Success();
  if (::unlinkat(FolderDescriptor(folder), n.c_str(), 0) != 0) return Errno(errno);
  removed = true;
  return IoResult::Success();
}
IoResult PosixFileSystem::RemoveEmptyFolderAt(const FolderHandle& parent, std::u16string_view name,
                                              bool& removed) {
  removed = false;
  if (::unlinkat(FolderDescriptor(parent), ToUtf8(name).c_str(), AT_REMOVEDIR) != 0) {
    if (errno == ENOTEMPTY || errno == EEXIST) return IoResult::Success();
    return Errno(errno);
  }
  removed = true;
  return IoResult::Success();
}

}  // namespace velkora
