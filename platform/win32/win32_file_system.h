#pragma once

#include "engine/interfaces/file_system_object.h"

namespace velkora {

// Folders through GetFileAttributesW and handles.
class Win32FileSystem final : public FileSystemObject {
 public:
  IoResult CheckFolder(std::u16string_view path) const override;
  IoResult OpenTarget(std::u16string_view path, std::unique_ptr<FolderHandle>& folder) override;
  // A hidden file .velkora-lock in the target, open without sharing and removed when it
  // closes.
  IoResult LockTarget(const FolderHandle& target, std::unique_ptr<FolderLock>& lock) override;
  IoResult OpenOrMakeFolder(const FolderHandle& parent, std::u16string_view name,
                            std::unique_ptr<FolderHandle>& folder) override;
  IoResult HideFolder(const FolderHandle& folder) override;
  bool HoldsFile(const FolderHandle& folder, std::u16string_view name,
                 std::string_view bytes) const override;
  bool FolderRemoved(const FolderHandle& folder) const override;
  // The Windows directory for any selector, as GetWindowsDirectoryW gives it.
  IoResult SetFolderTimes(const FolderHandle& folder, const FileTimes& times) override;
  IoResult OpenFolderIn(const FolderHandle& parent, std::u16string_view name,
                        std::unique_ptr<FolderHandle>& folder) override;
  IoResult StampAt(const FolderHandle& folder, std::u16string_view name,
                   FileStamp& stamp) const override;
  IoResult ReadFileAt(const FolderHandle& folder, std::u16string_view name, std::size_t limit,
                      std::string& bytes) const override;
  IoResult SetFileTimesAt(const FolderHandle& folder, std::u16string_view name,
                          const FileTimes& times) override;
  IoResult MoveFileAt(const FolderHandle& from, std::u16string_view name, const FolderHandle& to,
                      std::u16string_view newName) override;
  IoResult RemoveFileAt(const FolderHandle& folder, std::u16string_view name, std::size_t limit,
                        const std::function<bool(std::string_view bytes)>& isOurs,
                        bool& removed) override;
  IoResult RemoveEmptyFolderAt(const FolderHandle& parent, std::u16string_view name,
                               bool& removed) override;
  std::u16string GetSpecialFolder(int selector) const override;

  // True when path names a reparse point that leads elsewhere (a link or a junction).
  static bool IsLinkAt(std::u16string_view path);
};

}  // namespace velkora
