#include "engine/write/recorded_places.h"

#include <algorithm>
#include <utility>

namespace velkora {

void RecordPathOf(std::u16string_view full, std::size_t targetLength, char16_t separator,
                  std::u16string& relative) {
  std::u16string_view below = full.substr(std::min(targetLength, full.size()));
  while (!below.empty() && below.front() == separator) below.remove_prefix(1);
  relative.assign(below);
  if (separator != u'/') std::replace(relative.begin(), relative.end(), separator, u'/');
}

std::u16string_view RecordFolderOf(std::u16string_view path) {
  const std::size_t slash = path.rfind(u'/');
  return slash == std::u16string_view::npos ? std::u16string_view() : path.substr(0, slash);
}

std::u16string_view RecordNameOf(std::u16string_view path) {
  const std::size_t slash = path.rfind(u'/');
  return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

IoResult RecordedFolder::Open(FileSystemObject& fileSystem, const FolderHandle& target,
                              std::u16string_view folderPath) {
  held_.reset();
  folder_ = &target;
  while (!folderPath.empty()) {
    const std::size_t end = std::min(folderPath.find(u'/'), folderPath.size());
    std::unique_ptr<FolderHandle> next;
    if (IoResult opened = fileSystem.OpenFolderIn(*folder_, folderPath.substr(0, end), next);
        !opened) {
      folder_ = nullptr;
      held_.reset();
      return opened;
    }
    held_ = std::move(next);
    folder_ = held_.get();
    folderPath.remove_prefix(std::min(end + 1, folderPath.size()));
  }
  return IoResult::Success();
}

}  // namespace velkora
