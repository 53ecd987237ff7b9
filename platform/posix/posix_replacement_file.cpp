#include "platform/posix/posix_replacement_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/run/refusal_reasons.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_file_times.h"
#include "platform/posix/posix_identity.h"
#include "platform/posix/posix_temporary_file.h"
#include "platform/replacement_file.h"

namespace velkora {
namespace {

constexpr std::string_view kTemporaryStart = ".velkora-";
constexpr std::size_t kTemporaryRest = 6 + 4;  // random letters, ".tmp"

// Renames from over to, both in folder, unless to is a file being read. An entry already
// at to is replaced only after it was found not to be one.
IoResult RenameOver(int folder, const char* from, const char* to, const PosixOpenInputs& inputs) {
#ifdef RENAME_NOREPLACE
  // Most names are new: then a single call, and nothing stood there to compare.
  if (::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0) {
    return IoResult::Success();
  }
  if (errno != EEXIST && errno != EINVAL && errno != ENOSYS) return ErrnoFailure(errno);
#endif
  struct stat status {};
  if (::fstatat(folder, to, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
      inputs.Contains({status.st_dev, status.st_ino})) {
    return IoResult::Failure(std::u16string(kBookmarkFileInTheWay));
  }
  if (::renameat(folder, from, folder, to) != 0) return ErrnoFailure(errno);
  return IoResult::Success();
}

// The temporary file of a replacement, for ReplacementStream.
class PosixReplacementFile {
 public:
  // file's path holds the path to replace, a NUL, then the temporary file's name.
  PosixReplacementFile(TemporaryFile file, std::shared_ptr<const PosixOpenInputs> inputs)
      : names_(std::move(file.path)),
        temporaryStart_(file.nameStart),
        folder_(file.folder),
        fd_(std::move(file.fd)),
        published_(std::move(file.published)),
        inputs_(std::move(inputs)) {}

  IoResult Write(std::string_view bytes) {
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

  // The times go to the file by its descriptor, before the rename: no link can stand in
  // for it, and a rename changes no modification time. A file system that flushes on
  // close flushes first when times are set (NFS, CIFS), so the stamp read then is the one
  // its name shows after the rename. Closing reports delayed write errors (NFS, quotas)
  // before the rename, as every close(2) flushes; the descriptor is gone either way.
  IoResult Close(const FileTimes& times) {
    if (!times.Empty()) {
      const std::array<timespec, 2> set = PosixFileTimes(times);
      timesSet_ =
          ::futimens(fd_.get(), set.data()) == 0 ? IoResult::Success() : ErrnoFailure(errno);
    }
    struct stat status {};
    if (::fstat(fd_.get(), &status) == 0) stamp_ = StampOf(status);
    if (::close(fd_.Release()) != 0 && errno != EINTR) return ErrnoFailure(errno);
    return IoResult::Success();
  }

  // The times were set at Close.
  IoResult SetTimes(const FileTimes& /*times*/) { return timesSet_; }

  std::optional<FileStamp> Stamp() const { return stamp_; }

  IoResult Rename() {
    // An interrupt between the rename and its count would name one shortcut fewer than
    // stand on disk, and remove a temporary name no longer ours.
    BlockedInterrupts blocked;
    IoResult result = RenameOver(folder_, Temporary(), names_.c_str(), *inputs_);
    if (result) {
      published_.Withdraw();
      if (IsShortcutName(std::string_view(names_.c_str()))) CountPlacedFile();
    }
    return result;
  }

  IoResult Remove() {
    fd_ = UniqueFd();
    if (::unlinkat(folder_, Temporary(), 0) != 0) return ErrnoFailure(errno);
    return IoResult::Success();
  }

  void Withdraw() { published_.Withdraw(); }

 private:
  const char* Temporary() const { return names_.c_str() + temporaryStart_; }

  // The path to replace and the temporary file's name, in one piece of memory.
  std::string names_;
  std::size_t temporaryStart_;
  int folder_;  // held by the caller of OpenReplacement, AT_FDCWD for paths
  UniqueFd fd_;
  RemovedOnInterrupt published_;
  std::shared_ptr<const PosixOpenInputs> inputs_;
  IoResult timesSet_ = IoResult::Success();
  std::optional<FileStamp> stamp_;
};

}  // namespace

IoResult OpenReplacement(int folder, std::string_view path, std::size_t folderLength,
                         std::shared_ptr<const PosixOpenInputs> inputs,
                         std::unique_ptr<OutputStream>& stream) {
  // Its name ends in ".tmp", so that a file left by a crash is never taken for a shortcut.
  std::string names;
  names.reserve(path.size() + 1 + folderLength + kTemporaryStart.size() + kTemporaryRest);
  names.append(path);
  names += '\0';
  const std::size_t temporaryStart = names.size();
  names.append(path.substr(0, folderLength));
  names += kTemporaryStart;
  TemporaryFile file;
  IoResult result =
      CreateTemporaryFile(std::move(names), ".tmp", 0666, file, temporaryStart, folder);
  if (!result) return result;
  stream = std::make_unique<ReplacementStream<PosixReplacementFile>>(
      PosixReplacementFile(std::move(file), std::move(inputs)));
  return result;
}

}  // namespace velkora
