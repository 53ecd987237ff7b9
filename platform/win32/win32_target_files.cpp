// The calls that keep a target in step with its record: every one opens the entry at one
// name in a held folder through that folder's handle, the reparse point itself if one
// stands there, and refuses it when it leads elsewhere; what is done is done through the
// entry's own handle.
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "engine/run/refusal_reasons.h"
#include "platform/target_file_reasons.h"
#include "platform/win32/relative_files.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_file_times.h"
#include "platform/win32/win32_folder.h"
#include "platform/win32/win32_identity.h"

namespace velkora {
namespace {

constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr ULONG kOpenItself = FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT;

// What stands at a name, a folder too, opened only to be looked at.
constexpr RelativeOpen kLookAt{FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll, FILE_OPEN,
                               kOpenItself};
// A file to be read, whoever else has it open.
constexpr RelativeOpen kFileToRead{FILE_READ_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll,
                                   FILE_OPEN, FILE_NON_DIRECTORY_FILE | kOpenItself};
// A file to be given times.
constexpr RelativeOpen kFileToTime{FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE,
                                   kShareAll, FILE_OPEN, FILE_NON_DIRECTORY_FILE | kOpenItself};
// A file to be renamed through its handle.
constexpr RelativeOpen kFileToMove{DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll,
                                   FILE_OPEN, FILE_NON_DIRECTORY_FILE | kOpenItself};
// A file to be read and removed: while it is open no one else may write, rename or remove
// it, so that the bytes read are the bytes removed.
constexpr RelativeOpen kFileToRemove{DELETE | FILE_READ_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                     FILE_SHARE_READ, FILE_OPEN,
                                     FILE_NON_DIRECTORY_FILE | kOpenItself};
// A folder to be removed if it is empty.
constexpr RelativeOpen kFolderToRemove{DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_OPEN,
                                       FILE_DIRECTORY_FILE | kOpenItself};
// A folder to be held, as OpenOrMakeFolder holds one, but never made; and the same for a
// folder whose times may not be changed.
constexpr RelativeOpen kFolderToHold{FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES |
                                         FILE_WRITE_ATTRIBUTES | SYNCHRONIZE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_OPEN,
                                     FILE_DIRECTORY_FILE | kOpenItself};
constexpr RelativeOpen kFolderToHoldKeepingTimes{
    FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, kFolderToHold.share,
    FILE_OPEN, kFolderToHold.options};

// ReadFile counts in DWORD; larger requests go through in pieces.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

IoResult ErrorFailure(DWORD error) { return IoResult::Failure(SystemErrorText(error)); }

// True when name is one name in a folder: not empty, "." or "..", and without a separator,
// a drive's or a stream's colon, or a NUL.
bool IsOneName(std::u16string_view name) {
  return !name.empty() && name != u"." && name != u".." &&
         name.find_first_of(std::u16string_view(u"\\/:\0", 4)) == std::u16string_view::npos;
}

// What is done at one name in a held folder, and the entry opened there.
class Entry {
 public:
  Entry(const FolderHandle& folder, std::u16string_view name)
      : folder_(AsWin32Folder(folder)), name_(name), wide_(Wide(name)) {}

  bool Named() const { return IsOneName(name_); }
  HANDLE Handle() const { return handle_.get(); }
  UniqueHandle& Held() { return handle_; }

  // Opens the entry as how asks; when a file was asked for and folder is false, or a
  // folder and folder is true. A link standing there is refused, not followed.
  IoResult Open(const RelativeOpen& how, bool folder) {
    const DWORD error = OpenRelative(folder_.Handle(), wide_, how, handle_);
    if (error != ERROR_SUCCESS) return Failure(error, folder);
    if (LeadsElsewhere(handle_.get()) || PathIsLink()) {
      handle_ = UniqueHandle();
      return IoResult::Failure(std::u16string(kLinkInTheWay));
    }
    return IoResult::Success();
  }

 private:
  // Under Wine a symbolic link of the Linux file system is opened as what it leads to,
  // whatever was asked: its path still tells it.
  bool PathIsLink() const {
    std::u16string path = folder_.Path();
    path += u'\\';
    path += name_;
    return Win32FileSystem::IsLinkAt(path);
  }

  // Why the entry could not be opened: nothing there, a link, a folder where a file was
  // asked for or a file where a folder was, or the system's reason.
  IoResult Failure(DWORD error, bool folder) const {
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      return IoResult::Missing(SystemErrorText(error));
    }
    UniqueHandle entry;
    BY_HANDLE_FILE_INFORMATION information{};
    if (OpenRelative(folder_.Handle(), wide_, kLookAt, entry) != ERROR_SUCCESS ||
        !::GetFileInformationByHandle(entry.get(), &information)) {
      return ErrorFailure(error);
    }
    if (LeadsElsewhere(entry.get()) || PathIsLink()) {
      return IoResult::Failure(std::u16string(kLinkInTheWay));
    }
    const bool isFolder = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder && !folder) return IoResult::Failure(std::u16string(kEntryIsFolder));
    if (!isFolder && folder) return IoResult::Failure(std::u16string(kNotAFolder));
    return ErrorFailure(error);
  }

  const Win32Folder& folder_;
  std::u16string_view name_;
  std::wstring wide_;
  UniqueHandle handle_;
};

IoResult NotOneName() { return IoResult::Failure(std::u16string(kNotOneName)); }

// The size and count of names of the file open as file.
bool SizeAndLinks(HANDLE file, std::uint64_t& size, DWORD& links) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(file, &information)) return false;
  size = (std::uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow;
  links = information.nNumberOfLinks;
  return true;
}

// Reads from file into bytes until its end, or until it has read one byte more than
// limit, which tells a file too large.
IoResult ReadAtMost(HANDLE file, std::size_t limit, std::uint64_t expected, std::string& bytes) {
  constexpr std::size_t kPiece = std::size_t{1} << 16;
  bytes.clear();
  bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(expected, limit)) + 1);
  while (bytes.size() <= limit) {
    const std::size_t left = limit - bytes.size();
    const std::size_t wanted = std::min(left >= kPiece ? kPiece : left + 1, kLargestTransfer);
    const std::size_t held = bytes.size();
    bytes.resize(held + wanted);
    DWORD count = 0;
    const BOOL read =
        ::ReadFile(file, bytes.data() + held, static_cast<DWORD>(wanted), &count, nullptr);
    bytes.resize(held + count);
    if (!read) return LastErrorFailure();
    if (count == 0) break;
  }
  return IoResult::Success();
}

}  // namespace

IoResult Win32FileSystem::OpenFolderIn(const FolderHandle& parent, std::u16string_view name,
                                       std::unique_ptr<FolderHandle>& folder) {
  Entry entry(parent, name);
  if (!entry.Named()) return NotOneName();
  IoResult result = entry.Open(kFolderToHold, true);
  if (!result && !result.missing && result.reason != kLinkInTheWay &&
      result.reason != kNotAFolder) {
    result = entry.Open(kFolderToHoldKeepingTimes, true);
  }
  if (!result) return result;
  std::u16string path = AsWin32Folder(parent).Path();
  path += u'\\';
  path += name;
  folder = std::make_unique<Win32Folder>(std::move(entry.Held()), std::move(path));
  return IoResult::Success();
}

IoResult Win32FileSystem::StampAt(const FolderHandle& folder, std::u16string_view name,
                                  FileStamp& stamp) const {
  Entry entry(folder, name);
  if (!entry.Named()) return NotOneName();
  if (IoResult opened = entry.Open(kLookAt, false); !opened) return opened;
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(entry.Handle(), &information)) return LastErrorFailure();
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return IoResult::Failure(std::u16string(kEntryIsFolder));
  }
  // The same stamp as an open stream's, from the same call.
  if (!StampOf(entry.Handle(), stamp)) return LastErrorFailure();
  return IoResult::Success();
}

IoResult Win32FileSystem::ReadFileAt(const FolderHandle& folder, std::u16string_view name,
                                     std::size_t limit, std::string& bytes) const {
  bytes.clear();
  Entry entry(folder, name);
  if (!entry.Named()) return NotOneName();
  if (IoResult opened = entry.Open(kFileToRead, false); !opened) return opened;
  std::uint64_t size = 0;
  DWORD links = 0;
  if (!SizeAndLinks(entry.Handle(), size, links)) return LastErrorFailure();
  if (size > limit) return IoResult::Failure(FileTooLargeReason(limit));
  IoResult result = ReadAtMost(entry.Handle(), limit, size, bytes);
  if (result && bytes.size() > limit) result = IoResult::Failure(FileTooLargeReason(limit));
  if (!result) bytes.clear();
  return result;
}

IoResult Win32FileSystem::SetFileTimesAt(const FolderHandle& folder, std::u16string_view name,
                                         const FileTimes& times) {
  Entry entry(folder, name);
  if (!entry.Named()) return NotOneName();
  if (IoResult opened = entry.Open(kFileToTime, false); !opened) return opened;
  return SetWin32FileTimes(entry.Handle(), times);
}

IoResult Win32FileSystem::MoveFileAt(const FolderHandle& from, std::u16string_view name,
                                     const FolderHandle& to, std::u16string_view newName) {
  Entry entry(from, name);
  if (!entry.Named() || !IsOneName(newName)) return NotOneName();
  if (IoResult opened = entry.Open(kFileToMove, false); !opened) return opened;
  // Never replacing: a name taken, also as another file's short name, fails.
  const DWORD error =
      RenameRelative(entry.Handle(), AsWin32Folder(to).Handle(), Wide(newName), false);
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
    return IoResult::Taken(SystemErrorText(error));
  }
  if (error != ERROR_SUCCESS) return ErrorFailure(error);
  return IoResult::Success();
}

IoResult Win32FileSystem::RemoveFileAt(const FolderHandle& folder, std::u16string_view name,
                                       std::size_t limit,
                                       const std::function<bool(std::string_view)>& isOurs,
                                       bool& removed) {
  removed = false;
  Entry entry(folder, name);
  if (!entry.Named()) return NotOneName();
  if (IoResult opened = entry.Open(kFileToRemove, false); !opened) return opened;
  std::uint64_t size = 0;
  DWORD links = 0;
  if (!SizeAndLinks(entry.Handle(), size, links)) return LastErrorFailure();
  // Removing one name of a file with others would leave its bytes where they are.
  if (links != 1) return IoResult::Failure(std::u16string(kFileHasOtherNames));
  if (size > limit) return IoResult::Success();
  std::string bytes;
  if (IoResult read = ReadAtMost(entry.Handle(), limit, size, bytes); !read) return read;
  if (bytes.size() > limit || !isOurs(bytes)) return IoResult::Success();
  // Held without sharing its writing or deletion since it was opened: it is the file read.
  if (const DWORD error = DeleteByHandle(entry.Handle()); error != ERROR_SUCCESS) {
    return ErrorFailure(error);
  }
  // It goes when its last handle closes.
  if (!::CloseHandle(entry.Held().Release())) return LastErrorFailure();
  removed = true;
  return IoResult::Success();
}

IoResult Win32FileSystem::RemoveEmptyFolderAt(const FolderHandle& parent, std::u16string_view name,
                                              bool& removed) {
  removed = false;
  Entry entry(parent, name);
  if (!entry.Named()) return NotOneName();
  if (IoResult opened = entry.Open(kFolderToRemove, true); !opened) return opened;
  const DWORD error = DeleteByHandle(entry.Handle());
  if (error == ERROR_DIR_NOT_EMPTY) return IoResult::Success();
  if (error != ERROR_SUCCESS) return ErrorFailure(error);
  if (!::CloseHandle(entry.Held().Release())) return LastErrorFailure();
  removed = true;
  return IoResult::Success();
}

}  // namespace velkora
