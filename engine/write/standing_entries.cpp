#include "engine/write/standing_entries.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/record/record_text.h"
#include "engine/run/both_at_once.h"
#include "engine/write/recorded_places.h"

namespace velkora {
namespace {

// The folders from the target down to one folder of a record, each opened in the one
// above it, name by name, never through a link. Entries sorted by path visit a folder's
// subfolders next to it: going to the next folder opens only the names that differ.
class FolderChain {
 public:
  FolderChain(FileSystemObject& fileSystem, const FolderHandle& target)
      : fileSystem_(fileSystem), target_(target) {}

  // The folder at folderPath ('/'-separated below the target), or null when it cannot be
  // opened.
  const FolderHandle* Open(std::u16string_view folderPath) {
    // Keep the open folders whose names begin folderPath.
    std::size_t kept = 0;
    std::size_t at = 0;
    while (kept < names_.size()) {
      const std::size_t end = std::min(folderPath.find(u'/', at), folderPath.size());
      if (at > folderPath.size() || folderPath.substr(at, end - at) != names_[kept]) break;
      ++kept;
      at = end + 1;
    }
    names_.resize(kept);
    folders_.resize(kept);
    while (at <= folderPath.size() && !folderPath.empty()) {
      const std::size_t end = std::min(folderPath.find(u'/', at), folderPath.size());
      const std::u16string_view name = folderPath.substr(at, end - at);
      std::unique_ptr<FolderHandle> next;
      if (!fileSystem_.OpenFolderIn(Top(), name, next)) return nullptr;
      names_.emplace_back(name);
      folders_.push_back(std::move(next));
      at = end + 1;
    }
    return &Top();
  }

 private:
  const FolderHandle& Top() const { return folders_.empty() ? target_ : *folders_.back(); }

  FileSystemObject& fileSystem_;
  const FolderHandle& target_;
  std::vector<std::u16string> names_;
  std::vector<std::unique_ptr<FolderHandle>> folders_;
};

// Whether the entries of lines stand as recorded, as EntriesStandAsRecorded tells; gives up
// once failed is set.
bool StandAsRecorded(FileSystemObject& fileSystem, const FolderHandle& target,
                     std::span<const std::string_view> lines, std::atomic<bool>& failed,
                     std::int64_t& files) {
  files = 0;
  FolderChain chain(fileSystem, target);
  std::u16string open;
  const FolderHandle* folder = chain.Open(open);
  const bool stand = ForEachRecordedStamp(lines, [&](const RecordedStamp& entry) {
    if (failed.load(std::memory_order_relaxed)) return false;
    const std::u16string_view folderPath = entry.folder ? entry.path : RecordFolderOf(entry.path);
    if (folderPath != open) {
      folder = chain.Open(folderPath);
      if (folder == nullptr) return false;
      open.assign(folderPath);
    }
    if (entry.folder) return true;
    FileStamp stamp;
    if (!fileSystem.StampAt(*folder, RecordNameOf(entry.path), stamp)) return false;
    ++files;
    return stamp.size == static_cast<std::int64_t>(entry.size) && stamp.modified == entry.modified;
  });
  if (!stand) failed = true;
  return stand;
}

}  // namespace

bool EntriesStandAsRecorded(FileSystemObject& fileSystem, const FolderHandle& target,
                            std::string_view record, std::int32_t& files) {
  const std::vector<std::string_view> lines = RecordEntryLines(record);
  const std::span<const std::string_view> all(lines);
  std::atomic<bool> failed = false;
  std::int64_t halves[2] = {};
  // A large record's two halves are looked up at once, each folder by folder.
  InTwoHalves(all.size(), [&](int half, std::size_t from, std::size_t to) {
    StandAsRecorded(fileSystem, target, all.subspan(from, to - from), failed, halves[half]);
  });
  if (failed || halves[0] + halves[1] > std::numeric_limits<std::int32_t>::max()) return false;
  files = static_cast<std::int32_t>(halves[0] + halves[1]);
  return true;
}

}  // namespace velkora
