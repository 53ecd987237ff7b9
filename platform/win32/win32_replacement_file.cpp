#include "platform/win32/win32_replacement_file.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/refusal_reasons.h"
#include "platform/replacement_file.h"
#include "platform/win32/interrupt_lock.h"
#include "platform/win32/relative_files.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_file_times.h"
#include "platform/win32/win32_folder.h"
#include "platform/win32/win32_identity.h"
#include "platform/win32/win32_paths.h"

namespace velkora {
namespace {

constexpr int kNameAttempts = 100;
// WriteFile counts in DWORD; larger requests go through in pieces.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

// The temporary file: written, renamed, removed and given times through its handle, and
// made anew, never through a link (FILE_CREATE).
constexpr RelativeOpen kTemporaryFile{
    GENERIC_WRITE | DELETE | SYNCHRONIZE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
    FILE_SHARE_READ, FILE_CREATE,
    FILE_NON_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT};

// What stands at a name, opened to be looked at only: a link itself, a folder too, and
// shared with everyone.
constexpr RelativeOpen kLookAt{FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN,
                               FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT};

// A temporary name that no shortcut can have.
std::wstring TemporaryName() {
  static std::minstd_rand random(std::random_device{}() ^ ::GetCurrentProcessId());
  static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
  std::wstring name = L".velkora-";
  for (int i = 0; i < 6; ++i) name += kLetters[random() % (std::size(kLetters) - 1)];
  name += L".tmp";
  return name;
}

IoResult ErrorFailure(DWORD error) { return IoResult::Failure(SystemErrorText(error)); }

// True when the entry open as file has a long name other than name: name is then its
// short (8.3) alias. Names that differ in case only are the same name. path is where the
// entry is, for a system that does not tell a handle's name.
bool IsAnotherLongName(HANDLE file, std::wstring_view name, const std::wstring& path) {
  // FILE_NAME_INFO: the path from the volume's root, of up to 32,767 units.
  std::vector<DWORD> buffer((sizeof(FILE_NAME_INFO) + 32768 * sizeof(WCHAR)) / sizeof(DWORD));
  auto* information = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
  std::wstring held;
  if (::GetFileInformationByHandleEx(file, FileNameInfo, information,
                                     static_cast<DWORD>(buffer.size() * sizeof(DWORD)))) {
    held.assign(information->FileName, information->FileNameLength / sizeof(WCHAR));
  } else {
    // Where the system does not tell a handle's name, the long form of the path does.
    std::wstring full(32768, L'\0');
    const DWORD size =
        ::GetLongPathNameW(path.c_str(), full.data(), static_cast<DWORD>(full.size()));
    if (size == 0 || size >= full.size()) return false;
    held.assign(full.data(), size);
  }
  const std::wstring_view found = std::wstring_view(held).substr(held.find_last_of(L"\\/") + 1);
  return ::CompareStringOrdinal(name.data(), static_cast<int>(name.size()), found.data(),
                                static_cast<int>(found.size()), TRUE) != CSTR_EQUAL;
}

// Why the entry at name in folder may not be replaced: it is a file being read, or name is
// another file's short name. Success when it may be, or when nothing stands there now.
IoResult MayReplace(HANDLE folder, std::wstring_view name, const std::wstring& path,
                    const Win32OpenInputs& inputs) {
  UniqueHandle file;
  if (OpenRelative(folder, name, kLookAt, file) != ERROR_SUCCESS) return IoResult::Success();
  Win32Identity identity;
  if (IdentityOf(file.get(), identity) && inputs.Contains(identity)) {
    return IoResult::Failure(std::u16string(kBookmarkFileInTheWay));
  }
  if (IsAnotherLongName(file.get(), name, path)) {
    return IoResult::Taken(std::u16string(kNameIsShortNameOfAnother));
  }
  return IoResult::Success();
}

// Gives file the name name in folder, unless name is a file being read or another file's
// short name. An entry already there is replaced only after it was found to be neither.
IoResult MoveOver(HANDLE file, HANDLE folder, std::wstring_view name, const std::wstring& path,
                  const Win32OpenInputs& inputs) {
  // Most names are new: then a single call, and nothing stood there to compare.
  DWORD error = RenameRelative(file, folder, name, false);
  if (error == ERROR_SUCCESS) return IoResult::Success();
  if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return ErrorFailure(error);
  if (IoResult allowed = MayReplace(folder, name, path, inputs); !allowed) return allowed;
  error = RenameRelative(file, folder, name, true);
  if (error != ERROR_SUCCESS) return ErrorFailure(error);
  return IoResult::Success();
}

// The folder a replacement file is made in: held by the caller, or by the file itself
// when it was named by a path.
struct ReplacementFolder {
  HANDLE handle;
  UniqueHandle owned;
};

// The temporary file of a replacement, for ReplacementStream. It is made, renamed and
// removed in its folder's handle and through its own, never by a path, so that no change of
// what a path names leads it elsewhere. Its handle stays open until the rename.
class Win32ReplacementFile {
 public:
  Win32ReplacementFile(ReplacementFolder folder, std::wstring name, std::wstring path,
                       UniqueHandle file, std::unique_ptr<HeldAgainstInterrupt> held,
                       std::shared_ptr<const Win32OpenInputs> inputs)
      : folder_(std::move(folder)),
        name_(std::move(name)),
        path_(std::move(path)),
        file_(std::move(file)),
        held_(std::move(held)),
        inputs_(std::move(inputs)) {}

  IoResult Write(std::string_view bytes) {
    while (!bytes.empty()) {
      DWORD count = 0;
      const auto wanted = static_cast<DWORD>(std::min(bytes.size(), kLargestTransfer));
      if (!::WriteFile(file_.get(), bytes.data(), wanted, &count, nullptr)) {
        return LastErrorFailure();
      }
      if (count == 0) return IoResult::Failure(u"ファイルに書き込めませんでした");
      bytes.remove_prefix(count);
    }
    return IoResult::Success();
  }

  // The handle stays open: the file is renamed through it, and its times are set through
  // it after the rename when there are any. Windows reports no delayed write error on
  // closing a handle, so nothing is lost by closing it later.
  IoResult Close(const FileTimes& times) {
    keepForTimes_ = !times.Empty();
    return IoResult::Success();
  }

  // A time of last write set through a handle is one the file system no longer changes
  // when the handle closes: the stamp read then is the one the name shows afterwards. A
  // file left its own time of last write may still have it changed at the close.
  IoResult SetTimes(const FileTimes& times) {
    IoResult result = SetWin32FileTimes(file_.get(), times);
    if (FileStamp stamp; result && times.modified && StampOf(file_.get(), stamp)) stamp_ = stamp;
    if (!::CloseHandle(file_.Release()) && result) {
      stamp_.reset();
      return LastErrorFailure();
    }
    return result;
  }

  std::optional<FileStamp> Stamp() const { return stamp_; }

  // Still held against an interrupt: the file is counted before one can see it on disk.
  IoResult Rename() {
    IoResult result = MoveOver(file_.get(), folder_.handle, name_, path_, *inputs_);
    if (!result) return result;
    if (IsShortcutName(std::wstring_view(name_))) CountPlacedFile();
    if (!keepForTimes_) file_ = UniqueHandle();
    return result;
  }

  IoResult Remove() {
    if (!file_.valid()) return IoResult::Failure(SystemErrorText(ERROR_INVALID_HANDLE));
    const DWORD error = DeleteByHandle(file_.get());
    file_ = UniqueHandle();  // the file goes with its last handle
    if (error != ERROR_SUCCESS) return ErrorFailure(error);
    return IoResult::Success();
  }

  void Withdraw() { held_.reset(); }

 private:
  ReplacementFolder folder_;
  std::wstring name_;
  std::wstring path_;
  UniqueHandle file_;
  bool keepForTimes_ = false;
  std::optional<FileStamp> stamp_;
  std::unique_ptr<HeldAgainstInterrupt> held_;
  std::shared_ptr<const Win32OpenInputs> inputs_;
};

// Creates the temporary file of a replacement for name in folder; path is folder's path
// followed by name.
IoResult CreateReplacement(ReplacementFolder folder, std::wstring_view name, std::wstring path,
                           std::shared_ptr<const Win32OpenInputs> inputs,
                           std::unique_ptr<OutputStream>& stream) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    auto held = std::make_unique<HeldAgainstInterrupt>();
    UniqueHandle file;
    const DWORD error = OpenRelative(folder.handle, TemporaryName(), kTemporaryFile, file);
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) continue;
    if (error != ERROR_SUCCESS) return ErrorFailure(error);
    stream = std::make_unique<ReplacementStream<Win32ReplacementFile>>(
        Win32ReplacementFile(std::move(folder), std::wstring(name), std::move(path),
                             std::move(file), std::move(held), std::move(inputs)));
    return IoResult::Success();
  }
  return IoResult::Failure(u"一時ファイルを作成できませんでした");
}

}  // namespace

IoResult OpenReplacementIn(const Win32Folder& folder, std::u16string_view name,
                           std::shared_ptr<const Win32OpenInputs> inputs,
                           std::unique_ptr<OutputStream>& stream) {
  std::u16string path = folder.Path();
  path += u'\\';
  path += name;
  return CreateReplacement({folder.Handle(), UniqueHandle()}, Wide(name), ExtendedPath(path),
                           std::move(inputs), stream);
}

}  // namespace velkora
