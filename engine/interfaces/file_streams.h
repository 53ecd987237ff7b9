#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "engine/interfaces/file_times.h"
#include "engine/interfaces/folder_handle.h"
#include "engine/interfaces/io_result.h"

namespace velkora {

// What tells one state of a file from another: which file it is (device and inode on
// POSIX, volume serial number and file index on Windows), its size and the time it was
// last written, in the system's own units. Two readings of the same unchanged file have
// equal stamps.
struct FileStamp {
  std::uint64_t volume = 0;
  std::uint64_t file = 0;
  std::int64_t size = 0;
  std::int64_t modified = 0;
  bool operator==(const FileStamp&) const = default;
};

// A file opened for reading bytes from its start.
class InputStream {
 public:
  virtual ~InputStream() = default;
  // Reads up to capacity bytes into buffer; received is 0 at the end of the file.
  virtual IoResult Read(char* buffer, std::size_t capacity, std::size_t& received) = 0;
  // The open file's stamp as it is now. A stream that is no file of the system (one made
  // in memory) gives the same empty stamp every time.
  virtual IoResult Stamp(FileStamp& stamp) const {
    stamp = {};
    return IoResult::Success();
  }
};

// A new file that takes a name only once it is written whole. Its bytes go to a temporary
// file beside the name; a stream destroyed before a successful Close removes that file,
// and whatever stood at the name stays as it was.
class OutputStream {
 public:
  virtual ~OutputStream() = default;
  virtual IoResult Write(std::string_view bytes) = 0;
  // Flushes and closes the temporary file and renames it over the name: an entry standing
  // there, a link too, is replaced itself and nothing it points to is touched. On failure
  // the temporary file is gone and the name holds what it held before.
  virtual IoResult Close() = 0;
  // As Close, then, unless times is empty, gives the file those times by its handle, on
  // Windows once it has its name (a file system may otherwise hand the replaced file's
  // creation time to the new one). timesSet says whether they were set; the file stands
  // at its name either way. A stream that is no file of the system sets none.
  virtual IoResult CloseWithTimes(const FileTimes& /*times*/, IoResult& timesSet) {
    timesSet = IoResult::Success();
    return Close();
  }
  // After a successful Close or CloseWithTimes, the stamp of the file as it stands at its
  // name: what FileSystemObject::StampAt gives there until someone changes the file. Empty
  // when the stream cannot be sure of it (it is then to be asked by name), as a stream
  // that is no file of the system never is.
  virtual std::optional<FileStamp> PlacedStamp() const { return std::nullopt; }
};

// Opens files by path for the sequential file layer.
class FileStreams {
 public:
  virtual ~FileStreams() = default;
  // Opens a regular file; a folder, a pipe or a device is refused with a reason saying
  // which it is. A path at which nothing stands fails as IoResult::missing.
  virtual IoResult OpenInput(std::u16string_view path, std::unique_ptr<InputStream>& stream) = 0;
  // Creates, exclusively and never through a link, a temporary file in folder, a handle of
  // the file system object, that is to take the name name there: the temporary file is
  // made, renamed and removed in that folder itself, wherever its path leads meanwhile. A
  // name that is a file open through OpenInput is never replaced: Close refuses it. folder
  // must outlive the stream.
  virtual IoResult OpenOutputIn(const FolderHandle& folder, std::u16string_view name,
                                std::unique_ptr<OutputStream>& stream) = 0;
};

}  // namespace velkora
