#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "engine/interfaces/io_result.h"

namespace velkora {

// A private copy of a database file that another program may hold locked while it runs,
// taken with the companions SQLite keeps beside it (its -wal and -journal; not -shm, which
// the copy makes anew). The copy and its folder are removed when this object goes.
class DatabaseSnapshot {
 public:
  virtual ~DatabaseSnapshot() = default;
  // The copy's path in UTF-8, as SQLite opens files.
  virtual const std::string& Utf8Path() const = 0;
};

// Takes snapshots into new temporary folders of the platform, readable by the user only.
class DatabaseSnapshots {
 public:
  virtual ~DatabaseSnapshots() = default;
  // Copies the database at path (and those companions that exist) into a new folder, into
  // snapshot. When there is no file at path the result is a success and snapshot is empty;
  // the file left alone is never written to.
  virtual IoResult Take(std::u16string_view path, std::unique_ptr<DatabaseSnapshot>& snapshot) = 0;
};

}  // namespace velkora
