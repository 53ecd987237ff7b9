#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/interfaces/file_times.h"
#include "engine/interfaces/io_result.h"
#include "platform/win32/win32_errors.h"

namespace velkora {

// time (microseconds since 1970) as a FILETIME: 100-nanosecond units since 1601.
inline FILETIME Win32FileTime(std::int64_t time) {
  constexpr std::int64_t kFrom1601 = 116'444'736'000'000'000;
  const auto units = static_cast<std::uint64_t>(time * 10 + kFrom1601);
  return {static_cast<DWORD>(units & 0xFFFFFFFFu), static_cast<DWORD>(units >> 32)};
}

// Sets the creation and modification times of times that are not empty on the file or
// folder held by handle, opened with FILE_WRITE_ATTRIBUTES.
inline IoResult SetWin32FileTimes(HANDLE handle, const FileTimes& times) {
  FILETIME created{};
  FILETIME modified{};
  if (times.created) created = Win32FileTime(*times.created);
  if (times.modified) modified = Win32FileTime(*times.modified);
  if (!::SetFileTime(handle, times.created ? &created : nullptr, nullptr,
                     times.modified ? &modified : nullptr)) {
    return LastErrorFailure();
  }
  return IoResult::Success();
}

}  // namespace velkora
