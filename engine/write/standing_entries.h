#pragma once

#include <cstdint>
#include <string_view>

#include "engine/interfaces/file_system_object.h"
#include "engine/interfaces/folder_handle.h"

namespace velkora {

// Whether every entry of the record text (sorted by path) stands below target as recorded:
// each file a regular file of its recorded size and modification time, each folder a
// folder, none reached through a link. Looks no further than the first that does not;
// files counts the files met.
bool EntriesStandAsRecorded(FileSystemObject& fileSystem, const FolderHandle& target,
                            std::string_view record, std::int32_t& files);

}  // namespace velkora
