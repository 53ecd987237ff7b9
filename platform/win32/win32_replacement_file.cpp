#include "platform/win32/win32_replacement_file.h"

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/refusal_reasons.h"
#include "platform/replacement_file.h"
#include "platform/win32/interrupt_lock.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_file_times.h"
#include "platform/win32/win32_paths.h"

namespace velkora {
namespace {

constexpr int kNameAttempts = 100;
// WriteFile counts in DWORD; larger requests go through in pieces.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

// A temporary name in the folder of path that no shortcut can have.
std::wstring TemporaryName(const std::wstring& path) {
  static std::minstd_rand random(std::random_device{}() ^ ::GetCurrentProcessId());
  static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
  const std::size_t separator = path.find_last_of(L"\\/");
  std::wstring name = separator == std::wstring::npos ? L"" : path.substr(0, separator + 1);
  name += L".velkora-";
  for (int i = 0; i < 6; ++i) name += kLetters[random() % (std::size(kLetters) - 1)];
  name += L".tmp";
  return name;
}

// True when path names one of inputs itself (a link there is not followed).
bool IsOpenInput(const std::wstring& path, const Win32OpenInputs& inputs) {
  UniqueHandle file(::CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  Win32Identity identity;
  return file.valid() && IdentityOf(file.get(), identity) && inputs.Contains(identity);
}

// True when the entry that to opens has a long name other than to's own last name: to is
// then its short (8.3) alias. Names that differ in case only are the same name.
bool IsAnotherLongName(const std::wstring& to) {
  UniqueHandle file(::CreateFileW(
      to.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return false;
  // FILE_NAME_INFO: the path from the volume's root, of up to 32,767 units.
  std::vector<DWORD> buffer((sizeof(FILE_NAME_INFO) + 32768 * sizeof(WCHAR)) / sizeof(DWORD));
  auto* information = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
  std::wstring held;
  if (::GetFileInformationByHandleEx(file.get(), FileNameInfo, information,
                                     static_cast<DWORD>(buffer.size() * sizeof(DWORD)))) {
    held.assign(information->FileName, information->FileNameLength / sizeof(WCHAR));
  } else {
    // Where the system does not tell a handle's name, the long form of the path does.
    std::wstring full(32768, L'\0');
    const DWORD size = ::GetLongPathNameW(to.c_str(), full.data(), static_cast<DWORD>(full.size()));
    if (size == 0 || size >= full.size()) return false;
    held.assign(full.data(), size);
  }
  const std::wstring_view asked = std::wstring_view(to).substr(to.find_last_of(L"\\/") + 1);
  const std::wstring_view found = std::wstring_view(held).substr(held.find_last_of(L"\\/") + 1);
  return ::CompareStringOrdinal(asked.data(), static_cast<int>(asked.size()), found.data(),
                                static_cast<int>(found.size()), TRUE) != CSTR_EQUAL;
}

// Moves from over to, unless to is a file being read or another file's short name. An
// entry already at to is replaced only after it was found to be neither.
IoResult MoveOver(const std::wstring& from, const std::wstring& to, const Win32OpenInputs& inputs) {
  // Most names are new: then a single call, and nothing stood there to compare.
  if (::MoveFileExW(from.c_str(), to.c_str(), 0)) return IoResult::Success();
  const DWORD error = ::GetLastError();
  if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return LastErrorFailure();
  if (IsOpenInput(to, inputs)) return IoResult::Failure(std::u16string(kBookmarkFileInTheWay));
  if (IsAnotherLongName(to)) return IoResult::Taken(std::u16string(kNameIsShortNameOfAnother));
  if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    return LastErrorFailure();
  }
  return IoResult::Success();
}

// The temporary file of a replacement, for ReplacementStream.
class Win32ReplacementFile {
 public:
  Win32ReplacementFile(std::wstring path, std::wstring temporary, UniqueHandle file,
                       std::unique_ptr<HeldAgainstInterrupt> held,
                       std::shared_ptr<const Win32OpenInputs> inputs)
      : path_(std::move(path)),
        temporary_(std::move(temporary)),
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

  // Kept for the times, the handle stays open through the rename, which the file's
  // sharing for deletion allows; it is closed once they are set.
  IoResult Close(bool keepForTimes) {
    if (keepForTimes) return IoResult::Success();
    // The handle is gone whether or not CloseHandle reports a failure.
    if (!::CloseHandle(file_.Release())) return LastErrorFailure();
    return IoResult::Success();
  }

  IoResult SetTimes(const FileTimes& times) {
    IoResult result = SetWin32FileTimes(file_.get(), times);
    if (!::CloseHandle(file_.Release()) && result) return LastErrorFailure();
    return result;
  }

  // Still held against an interrupt: the file is counted before one can see it on disk.
  IoResult Rename() {
    IoResult result = MoveOver(temporary_, path_, *inputs_);
    if (result) CountPlacedFile();
    return result;
  }

  IoResult Remove() {
    file_ = UniqueHandle();
    if (!::DeleteFileW(temporary_.c_str())) return LastErrorFailure();
    return IoResult::Success();
  }

  void Withdraw() { held_.reset(); }

 private:
  std::wstring path_;
  std::wstring temporary_;
  UniqueHandle file_;
  std::unique_ptr<HeldAgainstInterrupt> held_;
  std::shared_ptr<const Win32OpenInputs> inputs_;
};

}  // namespace

IoResult OpenReplacement(std::u16string_view path, std::shared_ptr<const Win32OpenInputs> inputs,
                         std::unique_ptr<OutputStream>& stream) {
  const std::wstring target = ExtendedPath(path);
  if (target.empty()) return IoResult::Failure(SystemErrorText(ERROR_PATH_NOT_FOUND));
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::wstring temporary = TemporaryName(target);
    auto held = std::make_unique<HeldAgainstInterrupt>();
    // Shared for deletion, so that the handle may stay open while the file is renamed.
    UniqueHandle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
      if (::GetLastError() == ERROR_FILE_EXISTS) continue;
      return LastErrorFailure();
    }
    stream = std::make_unique<ReplacementStream<Win32ReplacementFile>>(Win32ReplacementFile(
        target, std::move(temporary), std::move(file), std::move(held), std::move(inputs)));
    return IoResult::Success();
  }
  return IoResult::Failure(u"一時ファイルを作成できませんでした");
}

}  // namespace velkora
