#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/interfaces/file_streams.h"
#include "engine/interfaces/file_system_object.h"
#include "engine/interfaces/io_result.h"
#include "engine/record/record_path.h"
#include "engine/record/target_record.h"
#include "engine/text/text_hash.h"

namespace velkora {

// A run's view of its target's record: the entries an earlier run left, found by path (as
// Windows compares names) and by bookmark identity, each marked as the run meets it, and
// the entries of what this run wrote; at the end, the record the run leaves.
class RecordedTarget {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  // What became of an earlier entry in this run.
  enum class State : unsigned char {
    kNotMet,   // not met (yet): still stands as recorded, or is gone
    kMet,      // met and left as it was: its entry stays, with what changed in it
    kDropped,  // replaced by an entry of this run, moved, removed or found missing
  };

  // Reads the record in target's kVelkoraFolderName. A target without one has an empty
  // record; one that cannot be read or is refused gives the reason (empty otherwise) and
  // counts as none: nothing is removed or moved on its word.
  // When inStep, given the header read and the record's text, says that the target stands
  // as the record has it, the entries are not read at all: see InStep.
  std::u16string Read(
      FileSystemObject& fileSystem, const FolderHandle& target,
      const std::function<bool(const TargetRecord& header, std::string_view text)>& inStep = {});
  // Whether a record was read (and not refused).
  bool Exists() const { return exists_; }
  // Whether Read found the target in step with its record, which then holds no entries:
  // a run has nothing to do, and leaves the record as it is.
  bool InStep() const { return inStep_; }
  const RecordSource& Source() const { return old_.source; }
  // Whether source is the record's, its path compared as Windows compares names.
  bool IsSource(const RecordSource& source) const;

  // The earlier entry at path ('/'-separated, below the target), or kNone.
  std::size_t Find(std::u16string_view path);
  // The earlier file entry of identity, or kNone (also for one that two files share).
  std::size_t FindIdentity(std::u16string_view identity);
  const RecordEntry& Entry(std::size_t index) const { return old_.entries[index]; }
  // The earlier entry at index, to be changed: its line is written afresh when saved.
  RecordEntry& ChangedEntry(std::size_t index);
  const std::vector<RecordEntry>& Entries() const { return old_.entries; }
  State StateOf(std::size_t index) const { return states_[index]; }
  // The entry stays: met unchanged (changed says whether what it holds changed).
  void Meet(std::size_t index, bool changed);
  // The entry leaves the record.
  void Drop(std::size_t index);
  // An entry of what this run wrote, replacing any earlier one at its path.
  void Add(RecordEntry entry);
  // The folder at path holds a shortcut of this run.
  void MeetFolder(std::u16string_view path);

  // Writes the record the run leaves, naming source, into the target's kVelkoraFolderName
  // as a file that takes its name once written whole: this run's entries and the earlier
  // ones that still stand, and sourceDigest when they are exactly what it made of the
  // source. Nothing is written when its text would be the one read. Once saved, the record
  // holds none of its entries: it is saved at the end of its run.
  IoResult Save(FileSystemObject& fileSystem, FileStreams& streams, const FolderHandle& target,
                const RecordSource& source,
                const std::optional<std::array<std::uint8_t, 32>>& sourceDigest);

 private:
  using Index = RecordPathIndex;

  TargetRecord old_;
  std::string oldText_;
  // Where the line of each earlier entry stands in oldText_ (none once the entry changes):
  // written again as it stands, so that a re-run that changes a few entries serializes only
  // theirs. Kept as places, not views, a copy of the record has its own.
  struct LinePlace {
    std::size_t start = 0;
    std::size_t length = 0;
  };
  std::vector<LinePlace> oldLines_;
  bool exists_ = false;
  bool inStep_ = false;
  // Whether the record to leave differs from the one read.
  bool changed_ = false;
  std::vector<State> states_;
  Index byPath_;
  Index byIdentity_;
  bool identitiesIndexed_ = false;
  std::u16string key_;
  std::vector<RecordEntry> fresh_;
  // The folded paths of this run's folders that the earlier record did not hold.
  Index freshFolders_;
};

}  // namespace velkora
