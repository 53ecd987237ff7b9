#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "engine/run/refusal_reasons.h"
#include "engine/text/utf8.h"
#include "platform/database_snapshots.h"
#include "platform/snapshot_folder_name.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_paths.h"

namespace velkora {
namespace {

// The database itself first, then what SQLite keeps beside it that the copy needs.
constexpr std::array<std::wstring_view, 3> kCompanions = {L"", L"-wal", L"-journal"};
constexpr std::wstring_view kCopyName = L"database";
constexpr int kNameAttempts = 100;

struct FindTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Free(HANDLE find) { ::FindClose(find); }
};

// Removes the folder and, unless emptyOnly, every file in it first (a snapshot's folder
// holds no folders).
void RemoveFolder(const std::wstring& folder, bool emptyOnly = false) {
  WIN32_FIND_DATAW found{};
  if (UniqueResource<FindTraits> find(
          emptyOnly ? INVALID_HANDLE_VALUE : ::FindFirstFileW((folder + L"\\*").c_str(), &found));
      find) {
    do {
      const std::wstring_view name = found.cFileName;
      if (name != L"." && name != L"..") ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (::FindNextFileW(find.get(), &found));
  }
  ::RemoveDirectoryW(folder.c_str());
}

// Whether the process of that id has ended: no process has the id, or the one that has
// it has exited (its id is still held by a handle to it).
bool ProcessGone(std::uint32_t id) {
  UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  if (!process) return ::GetLastError() == ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  return ::GetExitCodeProcess(process.get(), &code) && code != STILL_ACTIVE;
}

// Removes the snapshot folders in temporary (which ends in a backslash) that runs left
// behind when they were killed: those whose process is gone. The temporary folder is the
// user's own. A folder without its marker is only removed when it is empty, as one is
// when its run was killed before the marker was made.
void RemoveLeftSnapshots(const std::wstring& temporary) {
  const std::wstring pattern = temporary + AsciiText<wchar_t>(kSnapshotFolderPrefix) + L"*";
  WIN32_FIND_DATAW found{};
  UniqueResource<FindTraits> find(::FindFirstFileW(pattern.c_str(), &found));
  if (!find) return;
  do {
    const std::optional<std::uint32_t> owner =
        SnapshotFolderOwner(std::wstring_view(found.cFileName));
    const DWORD attributes = found.dwFileAttributes;
    if (!owner || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !ProcessGone(*owner)) {
      continue;
    }
    const std::wstring folder = temporary + found.cFileName;
    const DWORD marker =
        ::GetFileAttributesW((folder + L"\\" + AsciiText<wchar_t>(kSnapshotMarkerName)).c_str());
    RemoveFolder(folder, marker == INVALID_FILE_ATTRIBUTES || (marker & FILE_ATTRIBUTE_DIRECTORY));
  } while (::FindNextFileW(find.get(), &found));
}

class Win32Snapshot final : public DatabaseSnapshot {
 public:
  explicit Win32Snapshot(std::wstring folder)
      : folder_(std::move(folder)),
        path_(ToUtf8(FromWide(folder_ + L"\\" + std::wstring(kCopyName)))) {}
  ~Win32Snapshot() override { RemoveFolder(folder_); }
  Win32Snapshot(const Win32Snapshot&) = delete;
  Win32Snapshot& operator=(const Win32Snapshot&) = delete;

  const std::string& Utf8Path() const override { return path_; }
  const std::wstring& Folder() const { return folder_; }

 private:
  std::wstring folder_;
  std::string path_;
};

// The file at path, open to be read while its browser goes on using it; missing when
// there is none.
IoResult OpenSource(const std::wstring& path, UniqueHandle& file, bool& missing) {
  file.Reset(::CreateFileW(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  const DWORD error = file ? ERROR_SUCCESS : ::GetLastError();
  missing = error == ERROR_FILE_NOT_FOUND;
  if (!file) return missing ? IoResult::Success() : IoResult::Failure(SystemErrorText(error));
  if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
    return IoResult::Failure(std::u16string(kInputIsNotAFile));
  }
  return IoResult::Success();
}

// Copies every byte of from into the new file path.
IoResult CopyInto(HANDLE from, const std::wstring& path) {
  UniqueHandle to(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!to) return LastErrorFailure();
  std::array<char, 64 * 1024> buffer;
  for (;;) {
    DWORD count = 0;
    if (!::ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &count, nullptr)) {
      return LastErrorFailure();
    }
    if (count == 0) break;
    DWORD written = 0;
    if (!::WriteFile(to.get(), buffer.data(), count, &written, nullptr) || written != count) {
      return LastErrorFailure();
    }
  }
  if (!::CloseHandle(to.Release())) return LastErrorFailure();
  return IoResult::Success();
}

// A new folder of this process and a random name below the user's temporary folder, with
// its marker, into folder; the folders killed runs left there are removed first.
IoResult CreateSnapshotFolder(std::wstring& folder) {
  std::array<wchar_t, MAX_PATH + 1> buffer{};
  const DWORD length = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) return LastErrorFailure();
  const std::wstring temporary(buffer.data(), length);
  RemoveLeftSnapshots(temporary);
  static std::minstd_rand random(std::random_device{}() ^ ::GetCurrentProcessId());
  static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    folder = temporary + SnapshotFolderStart<wchar_t>(::GetCurrentProcessId());
    for (std::size_t i = 0; i < kSnapshotRandomLetters; ++i) {
      folder += kLetters[random() % (std::size(kLetters) - 1)];
    }
    if (::CreateDirectoryW(folder.c_str(), nullptr)) {
      const std::wstring marker = folder + L"\\" + AsciiText<wchar_t>(kSnapshotMarkerName);
      UniqueHandle made(::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
      if (made) return IoResult::Success();
      const IoResult failure = LastErrorFailure();
      RemoveFolder(folder, true);
      return failure;
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return LastErrorFailure();
  }
  return IoResult::Failure(SystemErrorText(ERROR_ALREADY_EXISTS));
}

}  // namespace

IoResult NativeDatabaseSnapshots::Take(std::u16string_view path,
                                       std::unique_ptr<DatabaseSnapshot>& snapshot) {
  snapshot.reset();
  const std::wstring source = ExtendedPath(path);
  UniqueHandle database;
  bool missing = false;
  if (IoResult opened = OpenSource(source, database, missing); !opened || missing) return opened;
  std::wstring folder;
  if (IoResult created = CreateSnapshotFolder(folder); !created) return created;
  auto taken = std::make_unique<Win32Snapshot>(std::move(folder));
  for (const std::wstring_view companion : kCompanions) {
    UniqueHandle file;
    if (companion.empty()) {
      file = std::move(database);
    } else if (IoResult opened = OpenSource(source + std::wstring(companion), file, missing);
               !opened) {
      return opened;
    } else if (missing) {
      continue;
    }
    const std::wstring copy =
        taken->Folder() + L"\\" + std::wstring(kCopyName) + std::wstring(companion);
    if (IoResult copied = CopyInto(file.get(), copy); !copied) return copied;
  }
  snapshot = std::move(taken);
  return IoResult::Success();
}

}  // namespace velkora
