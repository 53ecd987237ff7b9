#include "ui/directory_chain.h"

namespace velkora {

std::vector<std::wstring> SplitFolderPath(const std::wstring& path) {
  std::vector<std::wstring> chain;
  // A drive path starts with its root, "C:\"; anything else is taken whole as the root.
  const bool hasDriveRoot = path.size() >= 2 && path[1] == L':';
  const std::size_t rootEnd = hasDriveRoot ? 2 : path.size();
  chain.push_back(path.substr(0, rootEnd) + L'\\');
  std::size_t start = rootEnd;
  while (start < path.size()) {
    std::size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    if (end > start) chain.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return chain;
}

std::wstring JoinFolderPath(const std::vector<std::wstring>& chain, std::size_t count) {
  std::wstring path;
  for (std::size_t index = 0; index < count && index < chain.size(); ++index) {
    path = index == 0 ? chain[0] : ChildFolderPath(path, chain[index]);
  }
  return path;
}

std::wstring ChildFolderPath(const std::wstring& folder, const std::wstring& name) {
  if (!folder.empty() && folder.back() == L'\\') return folder + name;
  return folder + L'\\' + name;
}

}  // namespace velkora
