#include "platform/win32/win32_file_streams.h"

#include <windows.h>

#include <algorithm>

#include "engine/run/refusal_reasons.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_folder.h"
#include "platform/win32/win32_paths.h"
#include "platform/win32/win32_replacement_file.h"

namespace velkora {
namespace {

// ReadFile and WriteFile count in DWORD; larger requests go through in pieces.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

class Win32InputStream final : public InputStream {
 public:
  Win32InputStream(UniqueHandle file, std::shared_ptr<Win32OpenInputs> inputs,
                   Win32Identity identity)
      : file_(std::move(file)), inputs_(std::move(inputs)), identity_(identity) {
    inputs_->Add(identity_);
  }
  ~Win32InputStream() override { inputs_->Remove(identity_); }

  IoResult Stamp(FileStamp& stamp) const override {
    if (!StampOf(file_.get(), stamp)) return LastErrorFailure();
    return IoResult::Success();
  }

  IoResult Read(char* buffer, std::size_t capacity, std::size_t& received) override {
    received = 0;
    DWORD count = 0;
    const auto wanted = static_cast<DWORD>(std::min(capacity, kLargestTransfer));
    if (!::ReadFile(file_.get(), buffer, wanted, &count, nullptr)) return LastErrorFailure();
    received = count;
    return IoResult::Success();
  }

 private:
  UniqueHandle file_;
  std::shared_ptr<Win32OpenInputs> inputs_;
  Win32Identity identity_;
};

// Why a file of type (GetFileType) cannot be read as a bookmark file.
std::u16string_view NotDiskFileReason(DWORD type) {
  if (type == FILE_TYPE_PIPE) return kInputIsPipe;
  if (type == FILE_TYPE_CHAR) return kInputIsDevice;
  return kInputIsNotAFile;
}

}  // namespace

IoResult Win32FileStreams::OpenInput(std::u16string_view path,
                                     std::unique_ptr<InputStream>& stream) {
  // Others may go on reading, writing, and renaming or deleting, the bookmark file while it
  // is read: a browser that keeps it open must not stop the conversion, and the copy of
  // standard input is a file that goes when it is closed.
  const std::wstring name = ExtendedPath(path);
  UniqueHandle file(::CreateFileW(
      name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) {
    const DWORD error = ::GetLastError();
    // A folder cannot be opened as a file: the system only says that access is denied.
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return IoResult::Failure(std::u16string(kInputIsFolder));
    }
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      return IoResult::Missing(SystemErrorText(error));
    }
    return IoResult::Failure(SystemErrorText(error));
  }
  if (const DWORD type = ::GetFileType(file.get()); type != FILE_TYPE_DISK) {
    return IoResult::Failure(std::u16string(NotDiskFileReason(type)));
  }
  Win32Identity identity;
  if (!IdentityOf(file.get(), identity)) return LastErrorFailure();
  stream = std::make_unique<Win32InputStream>(std::move(file), inputs_, identity);
  return IoResult::Success();
}

IoResult Win32FileStreams::OpenOutputIn(const FolderHandle& folder, std::u16string_view name,
                                        std::unique_ptr<OutputStream>& stream) {
  return OpenReplacementIn(AsWin32Folder(folder), name, inputs_, stream);
}

}  // namespace velkora
