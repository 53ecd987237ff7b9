#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include "engine/refusal_reasons.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_errors.h"
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

}  // namespace

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
