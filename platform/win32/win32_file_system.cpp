#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_paths.h"

namespace velkora {

bool Win32FileSystem::FolderExists(std::u16string_view path) const {
  const DWORD attributes = ::GetFileAttributesW(ExtendedPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

IoResult Win32FileSystem::CreateFolder(std::u16string_view path) {
  if (!::CreateDirectoryW(ExtendedPath(path).c_str(), nullptr)) return LastErrorFailure();
  return IoResult::Success();
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
