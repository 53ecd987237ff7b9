#include "engine/write/gone_entries.h"

#include <algorithm>
#include <vector>

#include "engine/run/change_messages.h"

namespace velkora {
namespace {

std::size_t Depth(std::u16string_view path) {
  return static_cast<std::size_t>(std::count(path.begin(), path.end(), u'/'));
}

void Increment(std::int32_t& count) {
  if (count < INT32_MAX) ++count;
}

}  // namespace

GoneEntries::GoneEntries(FileSystemObject& fileSystem, const Sha256& sha256,
                         const FolderHandle& target, RecordedTarget& record,
                         ConversionObserver* observer, TargetChangeCounts& counts)
    : fileSystem_(fileSystem),
      sha256_(sha256),
      target_(target),
      record_(record),
      observer_(observer),
      counts_(counts) {}

void GoneEntries::Settle(bool remove, bool dryRun, const std::function<bool()>& stopRequested) {
  const std::vector<RecordEntry>& entries = record_.Entries();
  std::vector<std::size_t> folders;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (record_.StateOf(i) != RecordedTarget::State::kNotMet) continue;
    if (entries[i].kind == RecordEntryKind::kFolder) {
      folders.push_back(i);
      continue;
    }
    if (remove && stopRequested()) return;
    SettleFile(i, remove, dryRun);
  }
  if (!remove) return;
  // Deepest first: a folder is empty only once the gone ones in it are removed.
  std::stable_sort(folders.begin(), folders.end(), [&entries](std::size_t a, std::size_t b) {
    return Depth(entries[a].path) > Depth(entries[b].path);
  });
  for (const std::size_t index : folders) {
    if (stopRequested()) return;
    SettleFolder(index, dryRun);
  }
}

void GoneEntries::SettleFile(std::size_t index, bool remove, bool dryRun) {
  const RecordEntry& entry = record_.Entry(index);
  const std::u16string_view name = RecordNameOf(entry.path);
  IoResult result = folder_.Open(fileSystem_, target_, RecordFolderOf(entry.path));
  bool ours = false;
  if (result && (!remove || dryRun)) {
    // Only looked at: whether it stands and, when it is to be removed, whether it is ours.
    std::string bytes;
    FileStamp stamp;
    result = remove ? fileSystem_.ReadFileAt(folder_.Folder(), name, entry.size, bytes)
                    : fileSystem_.StampAt(folder_.Folder(), name, stamp);
    ours = remove && result && IsRecorded(index, bytes);
    if (!result && !result.missing && remove) result = IoResult::Success();  // larger: edited
  } else if (result) {
    result = fileSystem_.RemoveFileAt(
        folder_.Folder(), name, entry.size,
        [this, index](std::string_view bytes) { return IsRecorded(index, bytes); }, ours);
  }
  if (!result && result.missing) {
    record_.Drop(index);
    return;
  }
  if (!remove) {
    Increment(counts_.gone);
    Increment(counts_.kept);
    TellChange(observer_, TargetChange::Kind::kKeep, entry.path, {}, kKeptNotAsked);
  } else if (!result || !ours) {
    Increment(counts_.kept);
    TellChange(observer_, TargetChange::Kind::kKeep, entry.path, {},
               result ? kKeptEdited : result.reason);
  } else {
    Increment(counts_.removed);
    TellChange(observer_, TargetChange::Kind::kRemove, entry.path);
    if (!dryRun) record_.Drop(index);
  }
}

void GoneEntries::SettleFolder(std::size_t index, bool dryRun) {
  const RecordEntry& entry = record_.Entry(index);
  IoResult result = folder_.Open(fileSystem_, target_, RecordFolderOf(entry.path));
  bool removed = false;
  if (result && dryRun) {
    // Whether it would be empty cannot be told without removing: it is told as removed
    // when it still stands.
    std::unique_ptr<FolderHandle> folder;
    result = fileSystem_.OpenFolderIn(folder_.Folder(), RecordNameOf(entry.path), folder);
    removed = result.ok;
  } else if (result) {
    result = fileSystem_.RemoveEmptyFolderAt(folder_.Folder(), RecordNameOf(entry.path), removed);
  }
  if (!result && result.missing) {
    if (!dryRun) record_.Drop(index);
    return;
  }
  if (result && removed) {
    Increment(counts_.removed);
    TellChange(observer_, TargetChange::Kind::kRemove, entry.path);
    if (!dryRun) record_.Drop(index);
    return;
  }
  Increment(counts_.kept);
  TellChange(observer_, TargetChange::Kind::kKeep, entry.path, {},
             result ? kKeptFolderNotEmpty : result.reason);
}

bool GoneEntries::IsRecorded(std::size_t index, std::string_view bytes) const {
  const RecordEntry& entry = record_.Entry(index);
  Sha256::Digest digest{};
  return bytes.size() == entry.size && sha256_.Hash(bytes, digest) && digest == entry.sha256;
}

}  // namespace velkora
