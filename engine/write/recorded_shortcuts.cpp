#include "engine/write/recorded_shortcuts.h"

#include <cstdint>
#include <limits>
#include <utility>

namespace velkora {
namespace {

void Increment(std::int32_t& count) {
  if (count < std::numeric_limits<std::int32_t>::max()) ++count;
}

}  // namespace

RecordedShortcuts::RecordedShortcuts(FileSystemObject& fileSystem, const Sha256& sha256,
                                     const FolderHandle& target, RecordedTarget& record,
                                     const RunOptions& options, ConversionObserver* observer,
                                     TargetChangeCounts& counts)
    : fileSystem_(fileSystem),
      sha256_(sha256),
      target_(target),
      record_(record),
      options_(options),
      observer_(observer),
      counts_(counts) {}

RecordedShortcuts::Step RecordedShortcuts::Decide(const FolderHandle* folder,
                                                  std::u16string_view name,
                                                  std::u16string_view path,
                                                  std::u16string_view identity,
                                                  std::string_view bytes, const FileTimes& times) {
  hashed_ = sha256_.Hash(bytes, digest_);
  Step step;
  std::size_t index = record_.Find(path);
  // A path the record does not hold is a shortcut added (whatever stands there unrecorded is
  // written over, as ever): only a run that may move the bookmark's old file here asks the
  // system whether anything does.
  if (index == RecordedTarget::kNone &&
      (!options_.removeGone || record_.FindIdentity(identity) == RecordedTarget::kNone)) {
    step.added = true;
    return step;
  }
  FileStamp stamp;
  const IoResult here = folder ? fileSystem_.StampAt(*folder, name, stamp) : IoResult::Missing({});
  step.added = !here && here.missing;
  if (index != RecordedTarget::kNone && here) {
    const RecordEntry& entry = record_.Entry(index);
    if (entry.kind == RecordEntryKind::kFile &&
        record_.StateOf(index) == RecordedTarget::State::kNotMet && hashed_ &&
        entry.size == bytes.size() && entry.sha256 == digest_ &&
        stamp.size == static_cast<std::int64_t>(entry.size) && stamp.modified == entry.modified) {
      KeepTimes(index, folder, name, path, times, false);
      return {false, false, false};
    }
  }
  // Nothing stands here: the bookmark's file may stand where the record had it before.
  if (!options_.removeGone || !step.added) return step;
  index = MoveHere(folder, name, path, identity);
  if (index == RecordedTarget::kNone) return step;
  const RecordEntry& moved = record_.Entry(index);
  if (hashed_ && moved.size == bytes.size() && moved.sha256 == digest_) {
    KeepTimes(index, folder, name, path, times, true);
    return {false, false, true};
  }
  return {true, false, true};
}

std::size_t RecordedShortcuts::MoveHere(const FolderHandle* folder, std::u16string_view name,
                                        std::u16string_view path, std::u16string_view identity) {
  const std::size_t index = record_.FindIdentity(identity);
  if (index == RecordedTarget::kNone || record_.StateOf(index) != RecordedTarget::State::kNotMet) {
    return RecordedTarget::kNone;
  }
  const RecordEntry& entry = record_.Entry(index);
  const std::u16string_view oldName = RecordNameOf(entry.path);
  FileStamp stamp;
  // Only a file that still stands as the record has it is taken along: one edited, or
  // replaced by another, stays where it is.
  if (!from_.Open(fileSystem_, target_, RecordFolderOf(entry.path)) ||
      !fileSystem_.StampAt(from_.Folder(), oldName, stamp) ||
      stamp.size != static_cast<std::int64_t>(entry.size) || stamp.modified != entry.modified) {
    return RecordedTarget::kNone;
  }
  // A move that fails (a name taken meanwhile, the file gone) leaves the old file to the
  // end of the run; this one is written as new.
  if (!options_.dryRun &&
      (folder == nullptr || !fileSystem_.MoveFileAt(from_.Folder(), oldName, *folder, name))) {
    return RecordedTarget::kNone;
  }
  Increment(counts_.moved);
  TellChange(observer_, TargetChange::Kind::kMove, path, entry.path);
  record_.Drop(index);
  return index;
}

void RecordedShortcuts::KeepTimes(std::size_t index, const FolderHandle* folder,
                                  std::u16string_view name, std::u16string_view path,
                                  const FileTimes& times, bool moved) {
  const RecordEntry& recorded = record_.Entry(index);
  const bool differ =
      times.created != recorded.givenCreated || times.modified != recorded.givenModified;
  if (differ) {
    RecordEntry& entry = record_.ChangedEntry(index);
    if (!times.Empty() && !options_.dryRun && folder != nullptr) {
      if (IoResult set = fileSystem_.SetFileTimesAt(*folder, name, times); !set && observer_) {
        observer_->TimesNotSet(path, set.reason);
      }
      if (FileStamp stamp; fileSystem_.StampAt(*folder, name, stamp)) {
        entry.modified = stamp.modified;
      }
    }
    entry.givenCreated = times.created;
    entry.givenModified = times.modified;
  }
  if (moved) {
    // The entry as it stands now, with the dates just set, goes under its new path.
    RecordEntry there = record_.Entry(index);
    there.path = path;
    record_.Add(std::move(there));
    return;
  }
  if (differ && !times.Empty()) {
    Increment(counts_.updated);
    if (options_.dryRun) TellChange(observer_, TargetChange::Kind::kUpdate, path);
  } else {
    Increment(counts_.unchanged);
  }
  record_.Meet(index, differ);
}

void RecordedShortcuts::Written(const Step& step, const FolderHandle* folder,
                                std::u16string_view name, std::u16string_view path,
                                std::u16string_view identity, std::size_t size,
                                const FileTimes& times, const std::optional<FileStamp>& stamp) {
  if (!step.moved) Increment(step.added ? counts_.added : counts_.updated);
  if (options_.dryRun) {
    if (!step.moved)
      TellChange(observer_, step.added ? TargetChange::Kind::kAdd : TargetChange::Kind::kUpdate,
                 path);
    // What the record has here would be written over: not gone.
    if (const std::size_t index = record_.Find(path); index != RecordedTarget::kNone) {
      record_.Drop(index);
    }
    return;
  }
  RecordEntry entry;
  entry.path = path;
  entry.size = size;
  // Without its digest a file is never taken for the one recorded: never removed.
  if (hashed_) entry.sha256 = digest_;
  entry.identity = identity;
  entry.givenCreated = times.created;
  entry.givenModified = times.modified;
  if (stamp) {
    entry.modified = stamp->modified;
  } else if (FileStamp seen; folder != nullptr && fileSystem_.StampAt(*folder, name, seen)) {
    entry.modified = seen.modified;
  }
  record_.Add(std::move(entry));
}

void RecordedShortcuts::NotWritten(std::u16string_view path) {
  const std::size_t index = record_.Find(path);
  if (index != RecordedTarget::kNone && record_.StateOf(index) == RecordedTarget::State::kNotMet) {
    record_.Meet(index, false);
  }
}

void RecordedShortcuts::FolderMet(std::u16string_view path) { record_.MeetFolder(path); }

}  // namespace velkora
