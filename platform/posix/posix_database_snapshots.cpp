#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "engine/run/refusal_reasons.h"
#include "engine/text/utf8.h"
#include "platform/database_snapshots.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/unique_fd.h"
#include "platform/snapshot_folder_name.h"

namespace velkora {
namespace {

// The database itself first, then what SQLite keeps beside it that the copy needs.
constexpr std::array<std::string_view, 3> kCompanions = {"", "-wal", "-journal"};
constexpr std::string_view kCopyName = "database";

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

// Removes the folder name of the folder parent (or the current one) and, unless emptyOnly,
// every file in it first (a snapshot's folder holds no folders). A link in its place is
// not followed.
void RemoveFolder(int parent, const char* name, bool emptyOnly = false) {
  if (!emptyOnly) {
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (const std::unique_ptr<DIR, DirCloser> dir(fd >= 0 ? ::fdopendir(fd) : nullptr); dir) {
      while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view entryName = entry->d_name;
        if (entryName != "." && entryName != "..") ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
      }
    } else if (fd >= 0) {
      ::close(fd);
    }
  }
  ::unlinkat(parent, name, AT_REMOVEDIR);
}

// Removes the snapshot folders in temporary that runs of this user left behind when they
// were killed: those whose process is gone. A folder without its marker is only removed
// when it is empty, as one is when its run was killed before the marker was made.
void RemoveLeftSnapshots(const std::string& temporary) {
  const std::unique_ptr<DIR, DirCloser> dir(::opendir(temporary.c_str()));
  if (!dir) return;
  const int parent = ::dirfd(dir.get());
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::optional<std::uint32_t> owner = SnapshotFolderOwner(std::string_view(entry->d_name));
    if (!owner) continue;
    struct stat status {};
    if (::fstatat(parent, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISDIR(status.st_mode) || status.st_uid != ::geteuid()) {
      continue;
    }
    // ESRCH alone says the process is gone: EPERM is a live process of another user.
    if (*owner > static_cast<std::uint32_t>(std::numeric_limits<pid_t>::max()) ||
        ::kill(static_cast<pid_t>(*owner), 0) == 0 || errno != ESRCH) {
      continue;
    }
    const std::string marker = std::string(entry->d_name) + "/" + std::string(kSnapshotMarkerName);
    struct stat markerStatus {};
    const bool marked =
        ::fstatat(parent, marker.c_str(), &markerStatus, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(markerStatus.st_mode);
    RemoveFolder(parent, entry->d_name, !marked);
  }
}

class PosixSnapshot final : public DatabaseSnapshot {
 public:
  explicit PosixSnapshot(std::string folder)
      : folder_(std::move(folder)), path_(folder_ + "/" + std::string(kCopyName)) {}
  ~PosixSnapshot() override { RemoveFolder(AT_FDCWD, folder_.c_str()); }
  PosixSnapshot(const PosixSnapshot&) = delete;
  PosixSnapshot& operator=(const PosixSnapshot&) = delete;

  const std::string& Utf8Path() const override { return path_; }
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
  std::string path_;
};

// The file at path, open to be read; missing when there is none.
IoResult OpenSource(const std::string& path, UniqueFd& fd, bool& missing) {
  // Not blocked by a pipe in the file's place: it is refused below.
  fd.Reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  missing = !fd && errno == ENOENT;
  if (!fd) return missing ? IoResult::Success() : ErrnoFailure(errno);
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) return ErrnoFailure(errno);
  if (!S_ISREG(status.st_mode)) return IoResult::Failure(std::u16string(kInputIsNotAFile));
  return IoResult::Success();
}

// Copies every byte of from into the new file name of folder.
IoResult CopyInto(int from, const std::string& folder, const std::string& name) {
  const std::string path = folder + "/" + name;
  UniqueFd to(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!to) return ErrnoFailure(errno);
  std::array<char, 64 * 1024> buffer;
  for (;;) {
    const ssize_t count = ::read(from, buffer.data(), buffer.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return ErrnoFailure(errno);
    if (count == 0) break;
    for (ssize_t written = 0; written < count;) {
      const ssize_t step = ::write(to.get(), buffer.data() + written, count - written);
      if (step < 0 && errno == EINTR) continue;
      if (step < 0) return ErrnoFailure(errno);
      written += step;
    }
  }
  if (::close(to.Release()) != 0) return ErrnoFailure(errno);
  return IoResult::Success();
}

}  // namespace

IoResult NativeDatabaseSnapshots::Take(std::u16string_view path,
                                       std::unique_ptr<DatabaseSnapshot>& snapshot) {
  snapshot.reset();
  const std::string source = ToUtf8(path);
  UniqueFd database;
  bool missing = false;
  if (IoResult opened = OpenSource(source, database, missing); !opened || missing) return opened;
  const char* variable = std::getenv("TMPDIR");
  const std::string temporary(variable != nullptr && *variable != '\0' ? variable : "/tmp");
  RemoveLeftSnapshots(temporary);
  std::string folder = temporary + "/" +
                       SnapshotFolderStart<char>(static_cast<std::uint32_t>(::getpid())) +
                       std::string(kSnapshotRandomLetters, 'X');
  if (::mkdtemp(folder.data()) == nullptr) return ErrnoFailure(errno);
  auto taken = std::make_unique<PosixSnapshot>(std::move(folder));
  const std::string marker = taken->Folder() + "/" + std::string(kSnapshotMarkerName);
  if (UniqueFd made(
          ::open(marker.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
      !made) {
    return ErrnoFailure(errno);
  }
  for (const std::string_view companion : kCompanions) {
    UniqueFd file;
    if (companion.empty()) {
      file = std::move(database);
    } else if (IoResult opened = OpenSource(source + std::string(companion), file, missing);
               !opened) {
      return opened;
    } else if (missing) {
      continue;
    }
    const std::string name = std::string(kCopyName) + std::string(companion);
    if (IoResult copied = CopyInto(file.get(), taken->Folder(), name); !copied) return copied;
  }
  snapshot = std::move(taken);
  return IoResult::Success();
}

}  // namespace velkora
