#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include "engine/refusal_reasons.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_folder.h"
#include "platform/win32/win32_paths.h"

namespace velkora {
namespace {

// True unless the reparse point at name is known to stand for the entry itself, as a
// folder synchronised with a cloud drive does: junctions and symbolic links, the name
// surrogates, lead elsewhere, and so does any reparse point whose tag cannot be read.
bool LeadsElsewhere(const std::wstring& name) {
  WIN32_FIND_DATAW data{};
  const HANDLE find = ::FindFirstFileW(name.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return true;
  ::FindClose(find);
  const DWORD tag = data.dwReserved0;
  return tag == 0 || IsReparseTagNameSurrogate(tag);
}

// Opens the folder at name to hold it: shared for reading and writing, never for deleting.
// With reparse, a reparse point standing there is opened itself, not followed.
UniqueHandle HoldFolder(const std::wstring& name, bool reparse) {
  const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (reparse ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  return UniqueHandle(::CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    flags, nullptr));
}

}  // namespace

IoResult Win32FileSystem::OpenTarget(std::u16string_view path,
                                     std::unique_ptr<FolderHandle>& folder) {
  // The target itself may be a link or junction: it is followed, once, here.
  UniqueHandle handle = HoldFolder(ExtendedPath(path), false);
  if (!handle.valid()) return LastErrorFailure();
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(handle.get(), &information)) return LastErrorFailure();
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return IoResult::Failure(SystemErrorText(ERROR_DIRECTORY));
  }
  folder = std::make_unique<Win32Folder>(std::move(handle), std::u16string(path));
  return IoResult::Success();
}

IoResult Win32FileSystem::OpenOrMakeFolder(const FolderHandle& parent, std::u16string_view name,
                                           std::unique_ptr<FolderHandle>& folder) {
  std::u16string path = AsWin32Folder(parent).Path();
  path += u'\\';
  path += name;
  const std::wstring extended = ExtendedPath(path);
  UniqueHandle handle = HoldFolder(extended, true);
  if (!handle.valid() && ::GetLastError() == ERROR_FILE_NOT_FOUND) {
    // Nothing stands there: make the folder, then hold what stands there now, which
    // another process may have put in its place meanwhile.
    if (!::CreateDirectoryW(extended.c_str(), nullptr) &&
        ::GetLastError() != ERROR_ALREADY_EXISTS) {
      return LastErrorFailure();
    }
    handle = HoldFolder(extended, true);
  }
  if (!handle.valid()) return LastErrorFailure();
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(handle.get(), &information)) return LastErrorFailure();
  // Held now, the entry cannot change: its name tells what the handle holds, also where
  // the system opened a link it could not leave unfollowed.
  const bool reparse = (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  if ((reparse && LeadsElsewhere(extended)) || EntryAt(path) == EntryKind::kLink) {
    return IoResult::Failure(std::u16string(kLinkInTheWay));
  }
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    // A file standing there: the system says why no folder can be made, as before.
    handle = UniqueHandle();
    if (!::CreateDirectoryW(extended.c_str(), nullptr)) return LastErrorFailure();
    return IoResult::Failure(std::u16string(kNotAFolder));
  }
  folder = std::make_unique<Win32Folder>(std::move(handle), std::move(path));
  return IoResult::Success();
}

IoResult Win32FileSystem::CheckFolder(std::u16string_view path) const {
  const DWORD attributes = ::GetFileAttributesW(ExtendedPath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastErrorFailure();
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return IoResult::Failure(std::u16string(kNotAFolder));
  }
  return IoResult::Success();
}

EntryKind Win32FileSystem::EntryAt(std::u16string_view path) const {
  const std::wstring name = ExtendedPath(path);
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return EntryKind::kNothing;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && LeadsElsewhere(name)) {
    return EntryKind::kLink;
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::kFolder : EntryKind::kOther;
}

IoResult Win32FileSystem::CreateFolder(std::u16string_view path) {
  if (!::CreateDirectoryW(ExtendedPath(path).c_str(), nullptr)) return LastErrorFailure();
  return IoResult::Success();
}

IoResult Win32FileSystem::HideFolder(const FolderHandle& folder) {
  // Held without sharing its deletion, the folder keeps its path.
  const std::wstring name = ExtendedPath(AsWin32Folder(folder).Path());
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastErrorFailure();
  if ((attributes & FILE_ATTRIBUTE_HIDDEN) != 0) return IoResult::Success();
  if (!::SetFileAttributesW(name.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN)) {
    return LastErrorFailure();
  }
  return IoResult::Success();
}

bool Win32FileSystem::HoldsFile(const FolderHandle& folder, std::u16string_view name,
                                std::uint64_t size) const {
  std::u16string path = AsWin32Folder(folder).Path();
  path += u'\\';
  path += name;
  // The attributes of what stands at the name itself: a reparse point there is not
  // followed, and is no file of ours.
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(ExtendedPath(path).c_str(), GetFileExInfoStandard, &data)) {
    return false;
  }
  constexpr DWORD kNotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  const std::uint64_t held = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  return (data.dwFileAttributes & kNotAFile) == 0 && held == size;
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
