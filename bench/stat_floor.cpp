#include "bench/stat_floor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <system_error>

namespace velkora::bench {
namespace {

namespace fs = std::filesystem;

// Closes a descriptor when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }

 private:
  int fd_;
};

[[noreturn]] void Fail(const char* call, const std::string& path) {
  throw std::system_error(errno, std::generic_category(), std::string(call) + " " + path);
}

}  // namespace

int StatFloor::Files() const {
  int files = 0;
  for (const auto& folder : folders) files += static_cast<int>(folder.second.size());
  return files;
}

StatFloor ListFiles(const fs::path& target) {
  std::map<std::string, std::vector<std::string>> byFolder;
  for (auto entry = fs::recursive_directory_iterator(target);
       entry != fs::recursive_directory_iterator(); ++entry) {
    const fs::path& path = entry->path();
    if (entry.depth() == 0 && entry->is_directory() &&
        (path.filename() == ".velkora" || path.filename() == ".velkora-icons")) {
      entry.disable_recursion_pending();
      continue;
    }
    if (!entry->is_symlink() && entry->is_regular_file()) {
      byFolder[path.parent_path().string()].push_back(path.filename().string());
    }
  }
  StatFloor floor;
  for (auto& [folder, names] : byFolder) floor.folders.emplace_back(folder, std::move(names));
  return floor;
}

void RunStatFloor(const StatFloor& floor) {
  for (const auto& [path, names] : floor.folders) {
    const Descriptor folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) Fail("open", path);
    for (const std::string& name : names) {
      struct stat status {};
      if (::fstatat(folder.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        Fail("fstatat", path + '/' + name);
      }
    }
  }
}

}  // namespace velkora::bench
