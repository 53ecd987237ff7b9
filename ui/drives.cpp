#include "ui/drives.h"

#include <windows.h>

#include <cwctype>

#include "platform/win32/win32_paths.h"
#include "ui/quiet_drive_errors.h"

namespace velkora {
namespace {

std::wstring VolumeLabel(const std::wstring& root) {
  // A removable drive without a medium simply has no label; asking must not make Windows
  // put up its own "insert a disk" box.
  QuietDriveErrors quiet;
  wchar_t label[MAX_PATH + 1] = {};
  if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                             0)) {
    return {};
  }
  return label;
}

}  // namespace

std::vector<Drive> ListDrives() {
  std::vector<Drive> drives;
  const DWORD present = GetLogicalDrives();
  for (int index = 0; index < 26; ++index) {
    if ((present & (1u << index)) == 0) continue;
    const wchar_t letter = static_cast<wchar_t>(L'A' + index);
    drives.push_back(Drive{letter, VolumeLabel(DriveRoot(letter))});
  }
  return drives;
}

std::wstring DriveText(const Drive& drive) {
  std::wstring text{static_cast<wchar_t>(std::towlower(drive.letter)), L':'};
  if (!drive.label.empty()) text += L" [" + drive.label + L"]";
  return text;
}

std::wstring DriveCurrentDirectory(wchar_t letter) {
  // "X:" alone names the drive's current directory, which Windows resolves for us.
  const wchar_t relative[] = {letter, L':', L'\0'};
  const std::wstring full = FullPathName(relative);
  return full.empty() ? DriveRoot(letter) : full;
}

std::wstring DriveRoot(wchar_t letter) { return std::wstring{letter, L':', L'\\'}; }

}  // namespace velkora
