#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/run/refusal_reasons.h"
#include "engine/text/utf8.h"
#include "platform/database_snapshots.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/unique_fd.h"

namespace velkora {
namespace {

// The database itself first, then what SQLite keeps beside it that the copy needs.
constexpr std::array<std::string_view, 3> kCompanions = {"", "-wal", "-journal"};
constexpr std::string_view kCopyName = "database";

// Removes the folder and every file in it (a snapshot's folder holds no folders).
void RemoveFolder(const std::string& folder) {
  struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
  };
  if (const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str())); dir) {
    while (const dirent* entry = ::readdir(dir.get())) {
      const std::string_view name = entry->d_name;
      if (name != "." && name != "..") ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
  }
  ::rmdir(folder.c_str());
}

class PosixSnapshot final : public DatabaseSnapshot {
 public:
  explicit PosixSnapshot(std::string folder)
      : folder_(std::move(folder)), path_(folder_ + "/" + std::string(kCopyName)) {}
  ~PosixSnapshot() override { RemoveFolder(folder_); }
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
  const char* temporary = std::getenv("TMPDIR");
  std::string folder =
      std::string(temporary != nullptr && *temporary != '\0' ? temporary : "/tmp") +
      "/velkora-snapshot-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) return ErrnoFailure(errno);
  auto taken = std::make_unique<PosixSnapshot>(std::move(folder));
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
