#include "platform/posix/posix_file_system.h"

#include <sys/stat.h>

#include <cerrno>

#include "engine/refusal_reasons.h"
#include "engine/utf8.h"
#include "platform/posix/posix_errors.h"

namespace velkora {

IoResult PosixFileSystem::CheckFolder(std::u16string_view path) const {
  struct stat status {};
  if (::stat(ToUtf8(path).c_str(), &status) != 0) return ErrnoFailure(errno);
  if (!S_ISDIR(status.st_mode)) return IoResult::Failure(std::u16string(kNotAFolder));
  return IoResult::Success();
}

EntryKind PosixFileSystem::EntryAt(std::u16string_view path) const {
  struct stat status {};
  if (::lstat(ToUtf8(path).c_str(), &status) != 0) return EntryKind::kNothing;
  if (S_ISDIR(status.st_mode)) return EntryKind::kFolder;
  return S_ISLNK(status.st_mode) ? EntryKind::kLink : EntryKind::kOther;
}

IoResult PosixFileSystem::CreateFolder(std::u16string_view path) {
  if (::mkdir(ToUtf8(path).c_str(), 0777) != 0) return ErrnoFailure(errno);
  return IoResult::Success();
}

std::u16string PosixFileSystem::GetSpecialFolder(int /*selector*/) const { return u"/"; }

}  // namespace velkora
