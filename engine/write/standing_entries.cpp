#include "engine/write/standing_entries.h"

#include <limits>
#include <string>

#include "engine/record/record_text.h"
#include "engine/write/recorded_places.h"

namespace velkora {

bool EntriesStandAsRecorded(FileSystemObject& fileSystem, const FolderHandle& target,
                            std::string_view record, std::int32_t& files) {
  files = 0;
  RecordedFolder folder;
  // The folder open in folder: sorted by path, a folder's entries mostly follow it.
  std::u16string open;
  if (!folder.Open(fileSystem, target, open)) return false;
  return ForEachRecordedStamp(record, [&](const RecordedStamp& entry) {
    const std::u16string_view folderPath = entry.folder ? entry.path : RecordFolderOf(entry.path);
    if (folderPath != open) {
      if (!folder.Open(fileSystem, target, folderPath)) return false;
      open.assign(folderPath);
    }
    if (entry.folder) return true;
    FileStamp stamp;
    if (files == std::numeric_limits<std::int32_t>::max() ||
        !fileSystem.StampAt(folder.Folder(), RecordNameOf(entry.path), stamp)) {
      return false;
    }
    ++files;
    return stamp.size == static_cast<std::int64_t>(entry.size) && stamp.modified == entry.modified;
  });
}

}  // namespace velkora
