#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace velkora {

// The subfolders of folder, sorted by name as Windows sorts them for people, without the
// hidden and system ones. ERROR_SUCCESS, or the system's error code when the folder could
// not be read; an empty folder is no error.
DWORD ListSubfolders(const std::wstring& folder, std::vector<std::wstring>& names);

}  // namespace velkora
