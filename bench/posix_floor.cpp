#include "bench/posix_floor.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <stdexcept>
#include <system_error>

#include "engine/text/utf8.h"
#include "platform/database_snapshots.h"
#include "platform/posix/code_page_932.h"
#include "platform/posix/openssl_sha256.h"
#include "platform/posix/posix_file_streams.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_file_times.h"

namespace velkora::bench {
namespace {

// Passes the bytes on and notes them in the step of their file.
class RecordingOutput final : public OutputStream {
 public:
  RecordingOutput(std::unique_ptr<OutputStream> real, std::vector<FloorStep>& steps)
      : real_(std::move(real)), steps_(steps), step_(steps.size() - 1) {}

  IoResult Write(std::string_view bytes) override {
    steps_[step_].bytes += bytes;
    return real_->Write(bytes);
  }
  IoResult Close() override { return real_->Close(); }
  IoResult CloseWithTimes(const FileTimes& times, IoResult& timesSet) override {
    steps_[step_].times = times;
    return real_->CloseWithTimes(times, timesSet);
  }

 private:
  std::unique_ptr<OutputStream> real_;
  std::vector<FloorStep>& steps_;
  std::size_t step_;
};

// Throws the error of the failed call on path.
[[noreturn]] void Fail(const char* call, const std::string& path) {
  throw std::system_error(errno, std::generic_category(), std::string(call) + " " + path);
}

}  // namespace

class FloorRecorder::Streams final : public FileStreams {
 public:
  Streams(std::vector<FloorStep>& steps, const std::map<const FolderHandle*, std::string>& folders)
      : steps_(steps), folders_(folders) {}

  IoResult OpenInput(std::u16string_view path, std::unique_ptr<InputStream>& stream) override {
    return real_.OpenInput(path, stream);
  }
  IoResult OpenOutputIn(const FolderHandle& folder, std::u16string_view name,
                        std::unique_ptr<OutputStream>& stream) override {
    IoResult result = real_.OpenOutputIn(folder, name, stream);
    if (!result) return result;
    steps_.push_back({false, folders_.at(&folder) + '/' + ToUtf8(name), {}, {}});
    stream = std::make_unique<RecordingOutput>(std::move(stream), steps_);
    return result;
  }

 private:
  PosixFileStreams real_;
  std::vector<FloorStep>& steps_;
  const std::map<const FolderHandle*, std::string>& folders_;
};

class FloorRecorder::FileSystem final : public FileSystemObject {
 public:
  FileSystem(std::vector<FloorStep>& steps, std::map<const FolderHandle*, std::string>& folders)
      : steps_(steps), folders_(folders) {}

  IoResult CheckFolder(std::u16string_view path) const override { return real_.CheckFolder(path); }
  IoResult OpenTarget(std::u16string_view path, std::unique_ptr<FolderHandle>& folder) override {
    IoResult result = real_.OpenTarget(path, folder);
    if (result) folders_[folder.get()] = ToUtf8(path);
    return result;
  }
  IoResult LockTarget(const FolderHandle& target, std::unique_ptr<FolderLock>& lock) override {
    return real_.LockTarget(target, lock);
  }
  IoResult OpenOrMakeFolder(const FolderHandle& parent, std::u16string_view name,
                            std::unique_ptr<FolderHandle>& folder) override {
    const std::string path = folders_.at(&parent) + '/' + ToUtf8(name);
    struct stat status {};
    const bool existed = ::lstat(path.c_str(), &status) == 0;
    IoResult result = real_.OpenOrMakeFolder(parent, name, folder);
    if (!result) return result;
    if (!existed) steps_.push_back({true, path, {}, {}});
    folders_[folder.get()] = path;
    return result;
  }
  IoResult SetFolderTimes(const FolderHandle& folder, const FileTimes& times) override {
    IoResult result = real_.SetFolderTimes(folder, times);
    if (result) steps_.push_back({true, folders_.at(&folder), {}, times});
    return result;
  }
  IoResult HideFolder(const FolderHandle& folder) override { return real_.HideFolder(folder); }
  bool HoldsFile(const FolderHandle& folder, std::u16string_view name,
                 std::string_view bytes) const override {
    return real_.HoldsFile(folder, name, bytes);
  }
  bool FolderRemoved(const FolderHandle& folder) const override {
    return real_.FolderRemoved(folder);
  }
  IoResult OpenFolderIn(const FolderHandle& parent, std::u16string_view name,
                        std::unique_ptr<FolderHandle>& folder) override {
    IoResult result = real_.OpenFolderIn(parent, name, folder);
    if (result) folders_[folder.get()] = folders_.at(&parent) + '/' + ToUtf8(name);
    return result;
  }
  IoResult StampAt(const FolderHandle& folder, std::u16string_view name,
                   FileStamp& stamp) const override {
    return real_.StampAt(folder, name, stamp);
  }
  IoResult ReadFileAt(const FolderHandle& folder, std::u16string_view name, std::size_t limit,
                      std::string& bytes) const override {
    return real_.ReadFileAt(folder, name, limit, bytes);
  }
  IoResult SetFileTimesAt(const FolderHandle& folder, std::u16string_view name,
                          const FileTimes& times) override {
    return real_.SetFileTimesAt(folder, name, times);
  }
  IoResult MoveFileAt(const FolderHandle& from, std::u16string_view name, const FolderHandle& to,
                      std::u16string_view newName) override {
    return real_.MoveFileAt(from, name, to, newName);
  }
  IoResult RemoveFileAt(const FolderHandle& folder, std::u16string_view name, std::size_t limit,
                        const std::function<bool(std::string_view bytes)>& isOurs,
                        bool& removed) override {
    return real_.RemoveFileAt(folder, name, limit, isOurs, removed);
  }
  IoResult RemoveEmptyFolderAt(const FolderHandle& parent, std::u16string_view name,
                               bool& removed) override {
    return real_.RemoveEmptyFolderAt(parent, name, removed);
  }
  std::u16string GetSpecialFolder(int selector) const override {
    return real_.GetSpecialFolder(selector);
  }

 private:
  PosixFileSystem real_;
  std::vector<FloorStep>& steps_;
  std::map<const FolderHandle*, std::string>& folders_;
};

namespace {

const OpenSslSha256 sha256;
NativeDatabaseSnapshots snapshots;

}  // namespace

FloorRecorder::FloorRecorder()
    : streams_(std::make_unique<Streams>(steps_, folders_)),
      services_(std::make_unique<PlatformServices>(PlatformServices{
          CodePage932::Instance(),
          *streams_,
          [this] { return std::make_unique<FileSystem>(steps_, folders_); },
          PathConventions{u'/', 255},
          sha256,
          snapshots,
      })) {}

FloorRecorder::~FloorRecorder() = default;

std::vector<FloorStep> FloorRecorder::Steps(const std::string& from, const std::string& to) const {
  // The run's own folder holds its icons, which are part of what it makes, and its record,
  // which a converter that keeps none need not write: the floor leaves out the record,
  // and the folder too when no icon needs it.
  const std::string own = from + "/.velkora";
  const std::string icons = own + "/icons";
  const auto below = [](const std::string& path, const std::string& folder) {
    return path == folder || path.starts_with(folder + '/');
  };
  bool iconsMade = false;
  for (const FloorStep& step : steps_) iconsMade = iconsMade || below(step.path, icons);
  std::vector<FloorStep> steps;
  for (FloorStep step : steps_) {
    if (!step.path.starts_with(from))
      throw std::runtime_error("made outside the target: " + step.path);
    const bool record = below(step.path, own) && !below(step.path, icons);
    if (record && !(iconsMade && step.path == own && step.folder)) continue;
    step.path.replace(0, from.size(), to);
    steps.push_back(std::move(step));
  }
  return steps;
}

void RunFloor(const std::vector<FloorStep>& steps) {
  for (const FloorStep& step : steps) {
    const std::array<timespec, 2> times = PosixFileTimes(step.times);
    if (step.folder && !step.times.Empty()) {
      if (::utimensat(AT_FDCWD, step.path.c_str(), times.data(), 0) != 0) {
        Fail("utimensat", step.path);
      }
      continue;
    }
    if (step.folder) {
      if (::mkdir(step.path.c_str(), 0777) != 0) Fail("mkdir", step.path);
      continue;
    }
    // What a writer must do at least to leave either the old file or the whole new one:
    // write a new file beside the name, close it, rename it over the name.
    const std::string temporary = step.path.substr(0, step.path.rfind('/') + 1) + ".floor.tmp";
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) Fail("open", temporary);
    const ssize_t count = ::write(fd, step.bytes.data(), step.bytes.size());
    if (count != static_cast<ssize_t>(step.bytes.size())) {
      ::close(fd);
      Fail("write", temporary);
    }
    if (step.times.Empty()) {
      if (::close(fd) != 0) Fail("close", temporary);
      if (::rename(temporary.c_str(), step.path.c_str()) != 0) Fail("rename", step.path);
      continue;
    }
    if (::rename(temporary.c_str(), step.path.c_str()) != 0) Fail("rename", step.path);
    if (::futimens(fd, times.data()) != 0) Fail("futimens", step.path);
    if (::close(fd) != 0) Fail("close", step.path);
  }
}

}  // namespace velkora::bench
