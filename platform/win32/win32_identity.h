#pragma once

#include <windows.h>

#include "engine/interfaces/file_streams.h"
#include "platform/open_inputs.h"

namespace velkora {

// A file on a Windows volume, whatever its names.
struct Win32Identity {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
  bool operator==(const Win32Identity&) const = default;
};

using Win32OpenInputs = OpenInputs<Win32Identity>;

// The identity of the file open as handle; false when the system cannot tell it.
inline bool IdentityOf(HANDLE handle, Win32Identity& identity) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(handle, &information)) return false;
  identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh,
              information.nFileIndexLow};
  return true;
}

// The stamp of the file open as handle: volume serial number and file index, size, and the
// time it was last written in the system's 100-nanosecond units; false when the system
// cannot tell it.
inline bool StampOf(HANDLE handle, FileStamp& stamp) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(handle, &information)) return false;
  const auto join = [](DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
  };
  stamp = {information.dwVolumeSerialNumber,
           join(information.nFileIndexHigh, information.nFileIndexLow),
           static_cast<std::int64_t>(join(information.nFileSizeHigh, information.nFileSizeLow)),
           static_cast<std::int64_t>(join(information.ftLastWriteTime.dwHighDateTime,
                                          information.ftLastWriteTime.dwLowDateTime))};
  return true;
}

}  // namespace velkora
