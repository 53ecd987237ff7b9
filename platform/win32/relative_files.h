#pragma once

#include <windows.h>

#include <string_view>

#include "platform/win32/unique_handle.h"

namespace velkora {

// What OpenRelative asks of the system: the native access, sharing, disposition
// (FILE_CREATE, FILE_OPEN...), options (FILE_NON_DIRECTORY_FILE...) and attributes.
struct RelativeOpen {
  ACCESS_MASK access;
  ULONG share;
  ULONG disposition;
  ULONG options;
  // The attributes of a file made.
  ULONG attributes = FILE_ATTRIBUTE_NORMAL;
};

// Opens or makes name, one name without separators, in the folder that folder holds,
// whatever path leads there meanwhile (NtCreateFile with the folder as its root
// directory). Returns ERROR_SUCCESS with the handle in file, or the Windows error.
DWORD OpenRelative(HANDLE folder, std::wstring_view name, const RelativeOpen& how,
                   UniqueHandle& file);

// Gives the file open as file the name name in the folder that folder holds, replacing
// what stands there only when replace is true. Returns ERROR_SUCCESS or the Windows error.
DWORD RenameRelative(HANDLE file, HANDLE folder, std::wstring_view name, bool replace);

// Marks the file open as file, which must have been opened with DELETE access, to be
// removed when its last handle closes. Returns ERROR_SUCCESS or the Windows error.
DWORD DeleteByHandle(HANDLE file);

// True when the entry open as entry is a reparse point not known to stand for the entry
// itself, as a folder synchronised with a cloud drive does: junctions and symbolic links,
// the name surrogates, lead elsewhere, and so does any reparse point whose tag cannot be
// read.
bool LeadsElsewhere(HANDLE entry);

}  // namespace velkora
