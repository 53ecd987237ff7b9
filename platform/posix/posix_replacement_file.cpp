#include "platform/posix/posix_replacement_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string_view>

#include "engine/refusal_reasons.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_temporary_file.h"

namespace velkora {
namespace {

// The start of the name of a temporary file in folder (with its slash, or nothing for the
// working directory): ".velkora-", with room for the rest of the name.
std::string TemporaryPrefix(std::string_view folder) {
  constexpr std::string_view kStart = ".velkora-";
  constexpr std::size_t kRest = 6 + 4;  // random letters, ".tmp"
  std::string prefix;
  prefix.reserve(folder.size() + kStart.size() + kRest);
  prefix.append(folder);
  prefix += kStart;
  return prefix;
}

// Renames from over to, unless to is a file being read. An entry already at to is
// replaced only after it was found not to be one.
IoResult RenameOver(const std::string& from, const std::string& to, const PosixOpenInputs& inputs) {
#ifdef RENAME_NOREPLACE
  // Most names are new: then a single call, and nothing stood there to compare.
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return IoResult::Success();
  }
  if (errno != EEXIST && errno != EINVAL && errno != ENOSYS) return ErrnoFailure(errno);
#endif
  struct stat status {};
  if (::lstat(to.c_str(), &status) == 0 && inputs.Contains({status.st_dev, status.st_ino})) {
    return IoResult::Failure(std::u16string(kBookmarkFileInTheWay));
  }
  if (::rename(from.c_str(), to.c_str()) != 0) return ErrnoFailure(errno);
  return IoResult::Success();
}

class PosixReplacementStream final : public OutputStream {
 public:
  PosixReplacementStream(std::string_view path, TemporaryFile file,
                         std::shared_ptr<const PosixOpenInputs> inputs)
      : path_(path),
        temporary_(std::move(file.path)),
        fd_(std::move(file.fd)),
        published_(std::move(file.published)),
        inputs_(std::move(inputs)) {}

  ~PosixReplacementStream() override {
    if (!temporary_.empty()) Discard();
  }

  IoResult Write(std::string_view bytes) override {
    if (failed_) return *failed_;
    while (!bytes.empty()) {
      const ssize_t count = ::write(fd_.get(), bytes.data(), bytes.size());
      if (count < 0) {
        if (errno == EINTR) continue;
        failed_ = ErrnoFailure(errno);
        return *failed_;
      }
      bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return IoResult::Success();
  }

  IoResult Close() override {
    if (temporary_.empty()) return IoResult::Failure(u"file is not open");
    IoResult result = failed_ ? *failed_ : IoResult::Success();
    // close() reports delayed write errors (NFS, quotas); its descriptor is gone either way.
    if (::close(fd_.Release()) != 0 && errno != EINTR && result) result = ErrnoFailure(errno);
    if (result) result = RenameOver(temporary_, path_, *inputs_);
    if (result) {
      temporary_.clear();
      published_.Withdraw();
      return result;
    }
    if (IoResult removed = Discard(); !removed) {
      result.reason += u"（一時ファイルも削除できませんでした: " + removed.reason + u"）";
    }
    return result;
  }

 private:
  IoResult Discard() {
    fd_ = UniqueFd();
    IoResult result = IoResult::Success();
    if (::unlink(temporary_.c_str()) != 0) result = ErrnoFailure(errno);
    temporary_.clear();
    published_.Withdraw();
    return result;
  }

  std::string path_;
  std::string temporary_;
  UniqueFd fd_;
  RemovedOnInterrupt published_;
  std::shared_ptr<const PosixOpenInputs> inputs_;
  std::optional<IoResult> failed_;
};

}  // namespace

IoResult OpenReplacement(std::string_view path, std::size_t folderLength,
                         std::shared_ptr<const PosixOpenInputs> inputs,
                         std::unique_ptr<OutputStream>& stream) {
  // Its name ends in ".tmp", so that a file left by a crash is never taken for a shortcut.
  TemporaryFile file;
  IoResult result =
      CreateTemporaryFile(TemporaryPrefix(path.substr(0, folderLength)), ".tmp", 0666, file);
  if (!result) return result;
  stream = std::make_unique<PosixReplacementStream>(path, std::move(file), std::move(inputs));
  return result;
}

}  // namespace velkora
