#include "platform/win32/win32_file_streams.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_paths.h"

namespace velkora {
namespace {

// ReadFile and WriteFile count in DWORD; larger requests go through in pieces.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

class Win32InputStream final : public InputStream {
 public:
  explicit Win32InputStream(UniqueHandle file) : file_(std::move(file)) {}

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
};

class Win32OutputStream final : public OutputStream {
 public:
  explicit Win32OutputStream(UniqueHandle file) : file_(std::move(file)) {}

  IoResult Write(std::string_view bytes) override {
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

  IoResult Close() override {
    // The handle is gone whether or not CloseHandle reports a failure.
    if (!::CloseHandle(file_.Release())) return LastErrorFailure();
    return IoResult::Success();
  }

 private:
  UniqueHandle file_;
};

}  // namespace

IoResult Win32FileStreams::OpenInput(std::u16string_view path,
                                     std::unique_ptr<InputStream>& stream) {
  // Others may go on reading, and writing, the bookmark file while it is read: a browser
  // that keeps it open must not stop the conversion.
  UniqueHandle file(::CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) return LastErrorFailure();
  stream = std::make_unique<Win32InputStream>(std::move(file));
  return IoResult::Success();
}

IoResult Win32FileStreams::OpenOutput(std::u16string_view path,
                                      std::unique_ptr<OutputStream>& stream) {
  UniqueHandle file(::CreateFileW(ExtendedPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return LastErrorFailure();
  stream = std::make_unique<Win32OutputStream>(std::move(file));
  return IoResult::Success();
}

IoResult Win32FileStreams::Remove(std::u16string_view path) {
  if (!::DeleteFileW(ExtendedPath(path).c_str())) return LastErrorFailure();
  return IoResult::Success();
}

}  // namespace velkora
