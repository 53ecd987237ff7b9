// Stubs until the target's record is kept: every call fails.
#include "platform/win32/win32_file_system.h"

namespace velkora {
namespace {
IoResult NotYet() { return IoResult::Failure(u"not yet"); }
}  // namespace

IoResult Win32FileSystem::OpenFolderIn(const FolderHandle&, std::u16string_view,
                                       std::unique_ptr<FolderHandle>&) {
  return NotYet();
}
IoResult Win32FileSystem::StampAt(const FolderHandle&, std::u16string_view, FileStamp&) const {
  return NotYet();
}
IoResult Win32FileSystem::ReadFileAt(const FolderHandle&, std::u16string_view, std::size_t,
                                     std::string&) const {
  return NotYet();
}
IoResult Win32FileSystem::SetFileTimesAt(const FolderHandle&, std::u16string_view,
                                         const FileTimes&) {
  return NotYet();
}
IoResult Win32FileSystem::MoveFileAt(const FolderHandle&, std::u16string_view, const FolderHandle&,
                                     std::u16string_view) {
  return NotYet();
}
IoResult Win32FileSystem::RemoveFileAt(const FolderHandle&, std::u16string_view, std::size_t,
                                       const std::function<bool(std::string_view)>&, bool&) {
  return NotYet();
}
IoResult Win32FileSystem::RemoveEmptyFolderAt(const FolderHandle&, std::u16string_view, bool&) {
  return NotYet();
}

}  // namespace velkora
