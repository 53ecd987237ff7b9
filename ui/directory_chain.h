#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace velkora {

// The folders from a drive's root down to a folder: "C:\Users\taro" gives "C:\", "Users",
// "taro". Empty components (doubled or trailing backslashes) are dropped.
std::vector<std::wstring> SplitFolderPath(const std::wstring& path);

// The path of the first count folders of a chain; the root keeps its backslash, no other
// folder ends with one.
std::wstring JoinFolderPath(const std::vector<std::wstring>& chain, std::size_t count);

// The path of a folder named name inside folder.
std::wstring ChildFolderPath(const std::wstring& folder, const std::wstring& name);

}  // namespace velkora
