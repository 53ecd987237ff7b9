#pragma once

#include <windows.h>

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

}  // namespace velkora
