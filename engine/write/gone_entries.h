#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "engine/interfaces/file_system_object.h"
#include "engine/interfaces/sha256.h"
#include "engine/interfaces/target_changes.h"
#include "engine/record/recorded_target.h"
#include "engine/run/conversion_observer.h"
#include "engine/write/recorded_places.h"

namespace velkora {

// The end of a run: the entries of the earlier record that the run did not meet are gone.
// With removal asked for, a gone file is removed when its bytes are still those recorded
// (else kept: edited), then gone folders deepest first when empty; without it, gone
// shortcuts are counted and kept. One found missing just leaves the record; one kept stays
// in it.
class GoneEntries {
 public:
  GoneEntries(FileSystemObject& fileSystem, const Sha256& sha256, const FolderHandle& target,
              RecordedTarget& record, ConversionObserver* observer, TargetChangeCounts& counts);

  // Settles every gone entry, until stopRequested says to stop (checked before each
  // removal): the entries not reached stay in the record. dryRun: the same decisions, and
  // nothing removed.
  void Settle(bool remove, bool dryRun, const std::function<bool()>& stopRequested);

 private:
  void SettleFile(std::size_t index, bool remove, bool dryRun);
  void SettleFolder(std::size_t index, bool dryRun);
  // Whether bytes are those the entry at index recorded.
  bool IsRecorded(std::size_t index, std::string_view bytes) const;

  FileSystemObject& fileSystem_;
  const Sha256& sha256_;
  const FolderHandle& target_;
  RecordedTarget& record_;
  ConversionObserver* observer_;
  TargetChangeCounts& counts_;
  RecordedFolder folder_;
};

}  // namespace velkora
