#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "engine/run/refusal_reasons.h"
#include "platform/win32/relative_files.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_file_times.h"
#include "platform/win32/win32_folder.h"
#include "platform/win32/win32_paths.h"

namespace velkora {
namespace {

// A folder below the target, opened in its parent's handle and held as HoldFolder holds
// one: made when nothing stands there, a reparse point standing there opened itself.
// Its handle may set the folder's times.
constexpr RelativeOpen kFolderBelow{
    FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES |
        SYNCHRONIZE,
    FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_OPEN_IF,
    FILE_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT};
// The same for a folder whose times may not be changed: it is still used, and setting its
// times fails then.
constexpr RelativeOpen kFolderBelowKeepingTimes{
    FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, kFolderBelow.share,
    kFolderBelow.disposition, kFolderBelow.options};

// What stands at a name where no folder could be opened, opened only to be looked at.
constexpr RelativeOpen kEntry{FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN,
                              FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT};

// The lock file of a run in its target: held without sharing, so that a second run's
// opening fails, and removed when the run lets it go, whatever ends the run. What stands
// at the name is opened itself, a reparse point too, never what it leads to.
constexpr std::wstring_view kLockName = L".velkora-lock";
constexpr RelativeOpen kLockFile{FILE_READ_DATA | FILE_WRITE_DATA | DELETE | SYNCHRONIZE, 0,
                                 FILE_OPEN_IF,
                                 FILE_NON_DIRECTORY_FILE | FILE_DELETE_ON_CLOSE |
                                     FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT,
                                 FILE_ATTRIBUTE_HIDDEN};

// A target locked by its open lock file.
class Win32FolderLock final : public FolderLock {
 public:
  explicit Win32FolderLock(UniqueHandle file) : file_(std::move(file)) {}

 private:
  UniqueHandle file_;
};

// The reason for a folder that could not be opened: the system calls a folder that is
// not there a file not found, which names the wrong thing.
IoResult FolderFailure(DWORD error) {
  return IoResult::Failure(
      SystemErrorText(error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error));
}
// A file opened in its folder to be read, whoever else has it open; a reparse point there
// is opened itself, and a folder is refused.
constexpr RelativeOpen kFileToRead{
    FILE_READ_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN,
    FILE_NON_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT};

// As LeadsElsewhere for the reparse point at name.
bool PathLeadsElsewhere(const std::wstring& name) {
  WIN32_FIND_DATAW data{};
  const HANDLE find = ::FindFirstFileW(name.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return true;
  ::FindClose(find);
  const DWORD tag = data.dwReserved0;
  return tag == 0 || IsReparseTagNameSurrogate(tag);
}

}  // namespace

IoResult Win32FileSystem::OpenTarget(std::u16string_view path,
                                     std::unique_ptr<FolderHandle>& folder) {
  // The target itself may be a link or junction: it is followed, once, here.
  UniqueHandle handle = HoldFolder(ExtendedPath(path), false);
  if (!handle.valid()) return FolderFailure(::GetLastError());
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(handle.get(), &information)) return LastErrorFailure();
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return IoResult::Failure(SystemErrorText(ERROR_DIRECTORY));
  }
  folder = std::make_unique<Win32Folder>(std::move(handle), std::u16string(path));
  return IoResult::Success();
}

IoResult Win32FileSystem::LockTarget(const FolderHandle& target,
                                     std::unique_ptr<FolderLock>& lock) {
  const Win32Folder& held = AsWin32Folder(target);
  // A link standing at the name is refused: closing the lock would remove it, or, under
  // Wine, which follows a Linux symbolic link, what it leads to.
  const std::u16string path = held.Path() + u'\\' + FromWide(kLockName);
  if (IsLinkAt(path)) return IoResult::Failure(std::u16string(kLinkInTheWay));
  UniqueHandle file;
  const DWORD error = OpenRelative(held.Handle(), kLockName, kLockFile, file);
  if (error == ERROR_SHARING_VIOLATION) return IoResult::Failure(std::u16string(kTargetBusy));
  if (error != ERROR_SUCCESS) return IoResult::Failure(SystemErrorText(error));
  lock = std::make_unique<Win32FolderLock>(std::move(file));
  return IoResult::Success();
}

IoResult Win32FileSystem::OpenOrMakeFolder(const FolderHandle& parent, std::u16string_view name,
                                           std::unique_ptr<FolderHandle>& folder) {
  const Win32Folder& held = AsWin32Folder(parent);
  std::u16string path = held.Path();
  path += u'\\';
  path += name;
  const std::wstring wideName = Wide(name);
  UniqueHandle handle;
  DWORD error = OpenRelative(held.Handle(), wideName, kFolderBelow, handle);
  if (error == ERROR_ACCESS_DENIED) {
    error = OpenRelative(held.Handle(), wideName, kFolderBelowKeepingTimes, handle);
  }
  if (error == ERROR_DIRECTORY || error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
    // No folder stands there: a link to a file, or a file, which no folder can replace.
    UniqueHandle entry;
    if (OpenRelative(held.Handle(), wideName, kEntry, entry) == ERROR_SUCCESS &&
        LeadsElsewhere(entry.get())) {
      return IoResult::Failure(std::u16string(kLinkInTheWay));
    }
    return IoResult::Failure(SystemErrorText(ERROR_ALREADY_EXISTS));
  }
  if (error != ERROR_SUCCESS) return IoResult::Failure(SystemErrorText(error));
  // Held now, the entry cannot change: its name tells what the handle holds, also where
  // the system opened a link it could not leave unfollowed (Wine, a Linux symbolic link).
  if (LeadsElsewhere(handle.get()) || IsLinkAt(path)) {
    return IoResult::Failure(std::u16string(kLinkInTheWay));
  }
  folder = std::make_unique<Win32Folder>(std::move(handle), std::move(path));
  return IoResult::Success();
}

IoResult Win32FileSystem::CheckFolder(std::u16string_view path) const {
  const DWORD attributes = ::GetFileAttributesW(ExtendedPath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FolderFailure(::GetLastError());
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return IoResult::Failure(std::u16string(kNotAFolder));
  }
  return IoResult::Success();
}

bool Win32FileSystem::IsLinkAt(std::u16string_view path) {
  const std::wstring name = ExtendedPath(path);
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && PathLeadsElsewhere(name);
}

IoResult Win32FileSystem::SetFolderTimes(const FolderHandle& folder, const FileTimes& times) {
  return SetWin32FileTimes(AsWin32Folder(folder).Handle(), times);
}

IoResult Win32FileSystem::HideFolder(const FolderHandle& folder) {
  // Through the handle held, which may write the folder's attributes: whatever its path
  // leads to meanwhile, the folder made is the one hidden.
  const HANDLE handle = AsWin32Folder(folder).Handle();
  FILE_BASIC_INFO information{};
  if (!::GetFileInformationByHandleEx(handle, FileBasicInfo, &information, sizeof information)) {
    return LastErrorFailure();
  }
  if ((information.FileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0) return IoResult::Success();
  information.FileAttributes |= FILE_ATTRIBUTE_HIDDEN;
  // Zero times are left as they are.
  information.CreationTime.QuadPart = 0;
  information.LastAccessTime.QuadPart = 0;
  information.LastWriteTime.QuadPart = 0;
  information.ChangeTime.QuadPart = 0;
  if (!::SetFileInformationByHandle(handle, FileBasicInfo, &information, sizeof information)) {
    return LastErrorFailure();
  }
  return IoResult::Success();
}

bool Win32FileSystem::HoldsFile(const FolderHandle& folder, std::u16string_view name,
                                std::string_view bytes) const {
  // What stands at the name itself, opened in the folder held to be read: a reparse point
  // there is not followed, and is no file of ours.
  UniqueHandle entry;
  if (OpenRelative(AsWin32Folder(folder).Handle(), Wide(name), kFileToRead, entry) !=
      ERROR_SUCCESS) {
    return false;
  }
  BY_HANDLE_FILE_INFORMATION data{};
  if (!::GetFileInformationByHandle(entry.get(), &data)) return false;
  constexpr DWORD kNotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  const std::uint64_t size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  if ((data.dwFileAttributes & kNotAFile) != 0 || data.nNumberOfLinks != 1 ||
      size != bytes.size()) {
    return false;
  }
  // One byte more than expected tells a file that grew meanwhile; icons are far below the
  // DWORD a read counts in.
  std::string held(bytes.size() + 1, '\0');
  std::size_t received = 0;
  DWORD count = 0;
  while (received < held.size() &&
         ::ReadFile(entry.get(), held.data() + received, static_cast<DWORD>(held.size() - received),
                    &count, nullptr) &&
         count > 0) {
    received += count;
  }
  return std::string_view(held).substr(0, received) == bytes;
}

bool Win32FileSystem::FolderRemoved(const FolderHandle& folder) const {
  // Windows lets no one remove a folder held without sharing its deletion, but a folder
  // may be marked to go; under Wine a Linux program can remove it, and no link is left.
  FILE_STANDARD_INFO information{};
  return ::GetFileInformationByHandleEx(AsWin32Folder(folder).Handle(), FileStandardInfo,
                                        &information, sizeof information) &&
         (information.DeletePending || information.NumberOfLinks == 0);
}

std::u16string Win32FileSystem::GetSpecialFolder(int /*selector*/) const {
  std::wstring folder(MAX_PATH, L'\0');
  for (;;) {
    const UINT size = ::GetWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (size == 0) return u"C:\\Windows";  // never expected; the usual place stands in
    if (size < folder.size()) {
      folder.resize(size);
      return FromWide(folder);
    }
    folder.resize(size);  // too small: size is what it needs, with the terminator
  }
}

}  // namespace velkora
