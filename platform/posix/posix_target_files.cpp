// Stubs until the target's record is kept: every call fails.
#include "platform/posix/posix_file_system.h"

namespace velkora {
namespace {
IoResult NotYet() { return IoResult::Failure(u"not yet"); }
}  // namespace

IoResult PosixFileSystem::OpenFolderIn(const FolderHandle&, std::u16string_view,
                                       std::unique_ptr<FolderHandle>&) {
  return NotYet();
}
IoResult PosixFileSystem::StampAt(const FolderHandle&, std::u16string_view, FileStamp&) const {
  return NotYet();
}
IoResult PosixFileSystem::ReadFileAt(const FolderHandle&, std::u16string_view, std::size_t,
                                     std::string&) const {
  return NotYet();
}
IoResult PosixFileSystem::SetFileTimesAt(const FolderHandle&, std::u16string_view,
                                         const FileTimes&) {
  return NotYet();
}
IoResult PosixFileSystem::MoveFileAt(const FolderHandle&, std::u16string_view, const FolderHandle&,
                                     std::u16string_view) {
  return NotYet();
}
IoResult PosixFileSystem::RemoveFileAt(const FolderHandle&, std::u16string_view, std::size_t,
                                       const std::function<bool(std::string_view)>&, bool&) {
  return NotYet();
}
IoResult PosixFileSystem::RemoveEmptyFolderAt(const FolderHandle&, std::u16string_view, bool&) {
  return NotYet();
}

}  // namespace velkora
