#include "platform/standard_input.h"

#include <windows.h>

#include <random>
#include <string>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_errors.h"

namespace velkora {
namespace {

constexpr int kNameAttempts = 100;

// The system's folder for temporary files, with a separator at its end.
std::wstring TemporaryFolder() {
  std::wstring folder(MAX_PATH + 1, L'\0');
  const DWORD size = ::GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
  if (size == 0 || size > folder.size()) return L".\\";
  folder.resize(size);
  return folder;
}

}  // namespace

// The copy is opened to be deleted when its last handle closes: the handle held here
// keeps it while the run reads it, and it goes however the process ends.
struct StandardInputCopy::Held {
  UniqueHandle file;
};

StandardInputCopy::StandardInputCopy() = default;
StandardInputCopy::~StandardInputCopy() = default;

IoResult StandardInputCopy::Make() {
  static std::minstd_rand random(std::random_device{}() ^ ::GetCurrentProcessId());
  static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
  held_ = std::make_unique<Held>();
  std::wstring path;
  for (int attempt = 0; attempt < kNameAttempts && !held_->file.valid(); ++attempt) {
    path = TemporaryFolder() + L"velkora-input-";
    for (int i = 0; i < 6; ++i) path += kLetters[random() % (std::size(kLetters) - 1)];
    path += L".tmp";
    held_->file = UniqueHandle(::CreateFileW(
        path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!held_->file.valid() && ::GetLastError() != ERROR_FILE_EXISTS) return LastErrorFailure();
  }
  if (!held_->file.valid()) return LastErrorFailure();
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  if (input == nullptr || input == INVALID_HANDLE_VALUE) return LastErrorFailure();
  char buffer[64 * 1024];
  for (;;) {
    DWORD count = 0;
    if (!::ReadFile(input, buffer, sizeof buffer, &count, nullptr)) {
      // The writing end of a pipe closed: that is the end of the input.
      if (::GetLastError() == ERROR_BROKEN_PIPE) break;
      return LastErrorFailure();
    }
    if (count == 0) break;
    DWORD written = 0;
    if (!::WriteFile(held_->file.get(), buffer, count, &written, nullptr)) {
      return LastErrorFailure();
    }
    if (written != count) return IoResult::Failure(u"ファイルに書き込めませんでした");
  }
  path_ = FromWide(path);
  return IoResult::Success();
}

}  // namespace velkora
