#include "platform/win32/win32_paths.h"

#include <windows.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace velkora {
namespace {

constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
constexpr std::wstring_view kUncPrefix = L"UNC\\";

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool SplitRoot(std::wstring& path, std::wstring& root, std::wstring_view& rest);

// Puts path, from restStart on, below the current directory base names ("." or a drive's),
// and splits that: the ".." of a relative path may climb above the current directory.
bool SplitBelow(const std::wstring& base, std::wstring& path, std::size_t restStart,
                std::wstring& root, std::wstring_view& rest) {
  std::wstring current = FullPathName(base);
  if (current.starts_with(kExtendedPrefix)) current.erase(0, kExtendedPrefix.size());
  if (current.starts_with(kUncPrefix)) current.replace(0, kUncPrefix.size(), L"\\\\");
  // Only a path with a root of its own is split again.
  const bool drive = current.size() >= 3 && IsDriveLetter(current[0]) && current[1] == L':' &&
                     IsSeparator(current[2]);
  const bool unc = current.size() >= 3 && IsSeparator(current[0]) && IsSeparator(current[1]);
  if (!drive && !unc) return false;
  path = current + L'\\' + path.substr(restStart);
  return SplitRoot(path, root, rest);
}

// Splits path into its root, made absolute ("C:\" or "\\server\share\"), and the rest.
bool SplitRoot(std::wstring& path, std::wstring& root, std::wstring_view& rest) {
  std::size_t restStart = 0;
  std::wstring base;
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    // \\server\share: both names belong to the root.
    std::size_t end = 2;
    for (int names = 0; names < 2 && end < path.size(); ++names) {
      while (end < path.size() && !IsSeparator(path[end])) ++end;
      if (names == 0 && end < path.size()) ++end;
    }
    base = path.substr(0, end);
    restStart = end;
  } else if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' &&
             IsSeparator(path[2])) {
    base = path.substr(0, 3);
    restStart = 3;
  } else if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':') {
    return SplitBelow(path.substr(0, 2), path, 2, root, rest);
  } else if (!path.empty() && IsSeparator(path[0])) {
    base = L"\\";  // the root of the current drive
    restStart = 1;
  } else {
    return SplitBelow(L".", path, 0, root, rest);
  }
  root = FullPathName(base);
  rest = std::wstring_view(path).substr(restStart);
  return !root.empty();
}

}  // namespace

std::wstring FullPathName(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size =
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (size == 0) return {};
    if (size < full.size()) {
      full.resize(size);
      return full;
    }
    full.resize(size);  // too small: size is what it needs, with the terminator
  }
}

std::wstring ExtendedPath(std::u16string_view path) {
  std::wstring wide = Wide(path);
  if (wide.starts_with(kExtendedPrefix) || wide.starts_with(kDevicePrefix)) return wide;
  // An empty path names no file, nor does one with a null character, which the system
  // would read as the end of a shorter path: both are handed on empty, to fail.
  if (wide.empty() || wide.find(L'\0') != std::wstring::npos) return {};

  std::wstring root;
  std::wstring_view rest;
  if (!SplitRoot(wide, root, rest)) return {};
  if (root.starts_with(kExtendedPrefix)) root.erase(0, kExtendedPrefix.size());
  if (root.size() >= 2 && root[0] == L'\\' && root[1] == L'\\') {
    root = std::wstring(kUncPrefix) + root.substr(2);
  }

  // Every name below the root is kept as it is written, trailing dots and spaces
  // included; only empty names, "." and ".." are resolved.
  std::vector<std::wstring_view> names;
  while (!rest.empty()) {
    std::size_t end = 0;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    const std::wstring_view name = rest.substr(0, end);
    if (name == L"..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != L".") {
      names.push_back(name);
    }
    rest.remove_prefix(end < rest.size() ? end + 1 : end);
  }
  std::wstring result(kExtendedPrefix);
  result += root;
  for (const std::wstring_view name : names) {
    if (!result.empty() && result.back() != L'\\') result += L'\\';
    result += name;
  }
  return result;
}

}  // namespace velkora
