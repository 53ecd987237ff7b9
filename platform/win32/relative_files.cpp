#include "platform/win32/relative_files.h"

// winternl.h declares the native calls that ntdll exports; the program links ntdll.
#include <winternl.h>

#include <cstring>
#include <vector>

namespace velkora {
namespace {

// A UNICODE_STRING can count up to 65,534 bytes, more than any name a folder holds.
constexpr std::size_t kLongestName = 32767;

// The Windows error for a native status.
DWORD ErrorOf(NTSTATUS status) {
  return NT_SUCCESS(status) ? ERROR_SUCCESS : ::RtlNtStatusToDosError(status);
}

}  // namespace

DWORD OpenRelative(HANDLE folder, std::wstring_view name, const RelativeOpen& how,
                   UniqueHandle& file) {
  if (name.empty() || name.size() > kLongestName) return ERROR_INVALID_NAME;
  UNICODE_STRING text{};
  text.Buffer = const_cast<wchar_t*>(name.data());
  text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES attributes{};
  // Names are compared as CreateFileW compares them: without regard to case.
  InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
  IO_STATUS_BLOCK io{};
  HANDLE opened = nullptr;
  const NTSTATUS status =
      ::NtCreateFile(&opened, how.access, &attributes, &io, nullptr, how.attributes, how.share,
                     how.disposition, how.options, nullptr, 0);
  if (!NT_SUCCESS(status)) return ErrorOf(status);
  file = UniqueHandle(opened);
  return ERROR_SUCCESS;
}

DWORD RenameRelative(HANDLE file, HANDLE folder, std::wstring_view name, bool replace) {
  if (name.empty() || name.size() > kLongestName) return ERROR_INVALID_NAME;
  // The native call, not SetFileInformationByHandle(FileRenameInfo), which hands the same
  // structure on to it on Windows: Wine 8 turns FileRenameInfo's name into a full path first
  // and refuses it with a root directory (ERROR_INVALID_PARAMETER), but runs this call.
  // Wine's server then renames by the path the folder had when it was opened: where a Linux
  // program has renamed the folder since, the rename fails (STATUS_OBJECT_TYPE_MISMATCH).
  const std::size_t bytes = name.size() * sizeof(wchar_t);
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFORMATION) + bytes);
  auto* information = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
  information->ReplaceIfExists = replace ? TRUE : FALSE;
  information->RootDirectory = folder;
  information->FileNameLength = static_cast<ULONG>(bytes);
  std::memcpy(information->FileName, name.data(), bytes);
  IO_STATUS_BLOCK io{};
  return ErrorOf(::NtSetInformationFile(file, &io, information, static_cast<ULONG>(buffer.size()),
                                        FileRenameInformation));
}

DWORD DeleteByHandle(HANDLE file) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  if (!::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition)) {
    return ::GetLastError();
  }
  return ERROR_SUCCESS;
}

bool LeadsElsewhere(HANDLE entry) {
  FILE_ATTRIBUTE_TAG_INFO information{};
  if (!::GetFileInformationByHandleEx(entry, FileAttributeTagInfo, &information,
                                      sizeof information)) {
    BY_HANDLE_FILE_INFORMATION attributes{};
    return !::GetFileInformationByHandle(entry, &attributes) ||
           (attributes.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  }
  if ((information.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return false;
  return information.ReparseTag == 0 || IsReparseTagNameSurrogate(information.ReparseTag);
}

}  // namespace velkora
