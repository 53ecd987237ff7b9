#include "platform/win32/win32_paths.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace velkora {
namespace {

constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// path with "\" for "/" and every run of separators made one, except the two that begin a
// UNC path: an extended-length path is taken literally, so "\\" in it would name an
// empty folder.
std::wstring SingleSeparators(std::wstring_view path) {
  std::wstring result;
  result.reserve(path.size());
  for (std::size_t i = 0; i < path.size(); ++i) {
    const bool separator = IsSeparator(path[i]);
    if (separator && i >= 2 && !result.empty() && result.back() == L'\\') continue;
    result += separator ? L'\\' : path[i];
  }
  return result;
}

// The absolute, normalised form of path, or empty when Windows cannot give one.
std::wstring FullPath(const std::wstring& path) {
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

}  // namespace

std::wstring ExtendedPath(std::u16string_view path) {
  const std::wstring wide = Wide(path);
  if (wide.size() >= 4 && IsSeparator(wide[0]) && IsSeparator(wide[1]) &&
      (wide[2] == L'?' || wide[2] == L'.') && IsSeparator(wide[3])) {
    return wide;
  }
  // An empty path names no file, nor does one with a null character, which the system
  // would read as the end of a shorter path: both are handed on empty, to fail.
  if (wide.empty() || wide.find(L'\0') != std::wstring::npos) return {};
  const std::wstring full = FullPath(SingleSeparators(wide));
  if (full.empty()) return {};
  if (full.starts_with(kDevicePrefix) || full.starts_with(kExtendedPrefix)) return full;
  if (full.size() >= 2 && full[0] == L'\\' && full[1] == L'\\') {
    return std::wstring(kExtendedUncPrefix) + full.substr(2);
  }
  return std::wstring(kExtendedPrefix) + full;
}

}  // namespace velkora
