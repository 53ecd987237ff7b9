#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/interfaces/file_streams.h"
#include "engine/interfaces/file_times.h"
#include "engine/interfaces/folder_handle.h"
#include "engine/interfaces/io_result.h"

namespace velkora {

// Folder tests and creation, and the whereabouts of the Windows directory.
class FileSystemObject {
 public:
  virtual ~FileSystemObject() = default;
  // Success when path names a folder that can be used (through links, if any); otherwise
  // the system's reason, or that it is not a folder.
  virtual IoResult CheckFolder(std::u16string_view path) const = 0;
  // Opens the folder at path, through links if it is one, and holds it.
  virtual IoResult OpenTarget(std::u16string_view path, std::unique_ptr<FolderHandle>& folder) = 0;
  // Locks the folder held as target (by OpenTarget) for a run, for as long as lock lives.
  // kTargetBusy while another run holds it.
  virtual IoResult LockTarget(const FolderHandle& target, std::unique_ptr<FolderLock>& lock) = 0;
  // Opens the folder name in parent, making it first when nothing stands there, and holds
  // it. A link or junction standing there is not followed: kLinkInTheWay.
  virtual IoResult OpenOrMakeFolder(const FolderHandle& parent, std::u16string_view name,
                                    std::unique_ptr<FolderHandle>& folder) = 0;
  // Gives a folder held by OpenOrMakeFolder the times that are not empty, by its handle.
  virtual IoResult SetFolderTimes(const FolderHandle& folder, const FileTimes& times) = 0;
  // Makes the folder held as folder hidden in the file manager (Windows); elsewhere a name
  // that starts with a dot hides it, and nothing is done.
  virtual IoResult HideFolder(const FolderHandle& folder) = 0;
  // True when the entry at name in folder is a file that holds exactly bytes, read through
  // folder: a regular file itself (not a link or a folder), of one link only (no hard link
  // to a file elsewhere), that can be read. Reads at most one byte more than bytes.
  virtual bool HoldsFile(const FolderHandle& folder, std::u16string_view name,
                         std::string_view bytes) const = 0;
  // What a run needs to keep a target in step with its record. Every name is one name in
  // the folder held as folder (no separator), and nothing is done through a link,
  // junction or mount point standing at it: such an entry is refused with kLinkInTheWay
  // (or the platform's own reason), never followed. A name at which nothing stands fails
  // as IoResult::missing.

  // Opens the folder name in parent when one stands there, without making it, and holds
  // it.
  virtual IoResult OpenFolderIn(const FolderHandle& parent, std::u16string_view name,
                                std::unique_ptr<FolderHandle>& folder) = 0;
  // The stamp of the regular file name in folder; a folder or anything else that is not a
  // regular file is refused with a reason saying what it is.
  virtual IoResult StampAt(const FolderHandle& folder, std::u16string_view name,
                           FileStamp& stamp) const = 0;
  // Reads the regular file name in folder whole into bytes; a file of more than limit
  // bytes is refused (bytes then holds nothing).
  virtual IoResult ReadFileAt(const FolderHandle& folder, std::u16string_view name,
                              std::size_t limit, std::string& bytes) const = 0;
  // Gives the regular file name in folder the times that are not empty, by its handle.
  virtual IoResult SetFileTimesAt(const FolderHandle& folder, std::u16string_view name,
                                  const FileTimes& times) = 0;
  // Gives the regular file name in from the name newName in to (which may be from), never
  // replacing what stands at newName: that fails with nameTaken set.
  virtual IoResult MoveFileAt(const FolderHandle& from, std::u16string_view name,
                              const FolderHandle& to, std::u16string_view newName) = 0;
  // Removes the regular file name in folder if isOurs, given its bytes (at most limit of
  // them: a larger file is never ours), says it may: the file read is the file removed,
  // even if its name is given to another file meanwhile. removed says whether it was;
  // a file that is not ours is left as it is, and that is a success.
  virtual IoResult RemoveFileAt(const FolderHandle& folder, std::u16string_view name,
                                std::size_t limit,
                                const std::function<bool(std::string_view bytes)>& isOurs,
                                bool& removed) = 0;
  // Removes the folder name in parent if it is empty; removed is false (and that is a
  // success) when it still holds anything.
  virtual IoResult RemoveEmptyFolderAt(const FolderHandle& parent, std::u16string_view name,
                                       bool& removed) = 0;

  // True when the folder held as folder was removed after it was opened (or, on Windows,
  // is to be once its last handle closes); false where that cannot be told.
  virtual bool FolderRemoved(const FolderHandle& /*folder*/) const { return false; }
  // Selector 0 is the Windows directory.
  virtual std::u16string GetSpecialFolder(int selector) const = 0;
};

}  // namespace velkora
