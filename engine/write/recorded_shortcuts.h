#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/interfaces/file_system_object.h"
#include "engine/interfaces/file_times.h"
#include "engine/interfaces/sha256.h"
#include "engine/interfaces/target_changes.h"
#include "engine/record/recorded_target.h"
#include "engine/run/conversion_observer.h"
#include "engine/write/recorded_places.h"

namespace velkora {

// What becomes of one shortcut, given the target's record: its bytes are already on disk
// (left as they are, its times set when its bookmark's dates changed), its file moves along
// from where its bookmark was, or it is written, as a new file or over what stands there.
class RecordedShortcuts {
 public:
  // What the writer is to do with a shortcut.
  struct Step {
    bool write = true;
    // The record holds no shortcut at its path, or its recorded file is gone: written, it is added.
    bool added = true;
    // Its file came from another path of the record: moved, it counts as moved only.
    bool moved = false;
  };

  RecordedShortcuts(FileSystemObject& fileSystem, const Sha256& sha256, const FolderHandle& target,
                    RecordedTarget& record, const RunOptions& options, ConversionObserver* observer,
                    TargetChangeCounts& counts);

  bool DryRun() const { return options_.dryRun; }
  // Decides for the shortcut of identity whose bytes are bytes, to be named name in folder
  // (null in a dry run when that folder does not stand yet) at path below the target, with
  // times from its bookmark; moves its old file here, or gives it times, when that is all.
  Step Decide(const FolderHandle* folder, std::u16string_view name, std::u16string_view path,
              std::u16string_view identity, std::string_view bytes, const FileTimes& times);
  // The shortcut of the last Decide was written (or, in a dry run, would be), with stamp
  // when its stream knew it; the file system is asked for it otherwise.
  void Written(const Step& step, const FolderHandle* folder, std::u16string_view name,
               std::u16string_view path, std::u16string_view identity, std::size_t size,
               const FileTimes& times, const std::optional<FileStamp>& stamp);
  // The shortcut at path could not be written: what the record has there stays in it.
  void NotWritten(std::u16string_view path);
  // The folder at path holds a shortcut of this run.
  void FolderMet(std::u16string_view path);

 private:
  // Moves the file of identity here from where the record has it, when it still stands
  // there as recorded and nothing stands here; the index of its entry, or kNone.
  std::size_t MoveHere(const FolderHandle* folder, std::u16string_view name,
                       std::u16string_view path, std::u16string_view identity);
  // The entry at index, met with its bytes unchanged: its times follow the bookmark's.
  void KeepTimes(std::size_t index, const FolderHandle* folder, std::u16string_view name,
                 std::u16string_view path, const FileTimes& times, bool moved);

  FileSystemObject& fileSystem_;
  const Sha256& sha256_;
  const FolderHandle& target_;
  RecordedTarget& record_;
  const RunOptions& options_;
  ConversionObserver* observer_;
  TargetChangeCounts& counts_;
  Sha256::Digest digest_{};
  bool hashed_ = false;
  RecordedFolder from_;
};

}  // namespace velkora
