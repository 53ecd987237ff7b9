#include "ui/folder_listing.h"

#include <algorithm>

#include "ui/quiet_drive_errors.h"
#include "ui/win32_handles.h"

namespace velkora {
namespace {

bool IsListedFolder(const WIN32_FIND_DATAW& found) {
  const std::wstring_view name = found.cFileName;
  if (name == L"." || name == L"..") return false;
  const DWORD attributes = found.dwFileAttributes;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

bool ComesBefore(const std::wstring& a, const std::wstring& b) {
  return CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.c_str(),
                         static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), nullptr,
                         nullptr, 0) == CSTR_LESS_THAN;
}

}  // namespace

DWORD ListSubfolders(const std::wstring& folder, std::vector<std::wstring>& names) {
  names.clear();
  std::wstring pattern = folder;
  if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  QuietDriveErrors quiet;
  WIN32_FIND_DATAW found{};
  UniqueFind find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                   FindExSearchLimitToDirectories, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH));
  if (!find) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
  }
  do {
    if (IsListedFolder(found)) names.emplace_back(found.cFileName);
  } while (FindNextFileW(find.get(), &found));
  if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES) {
    names.clear();
    return error;
  }
  std::sort(names.begin(), names.end(), ComesBefore);
  return ERROR_SUCCESS;
}

}  // namespace velkora
