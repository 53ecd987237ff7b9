#pragma once

#include <string>
#include <vector>

namespace velkora {

// One drive of the machine as the drive list shows it.
struct Drive {
  wchar_t letter = L'C';
  // The volume label, empty when the drive has none or cannot be read.
  std::wstring label;
};

// The machine's drives with a letter, from A to Z.
std::vector<Drive> ListDrives();

// The drive as a drive list shows it: the letter in lower case, a colon, and the label in
// brackets when there is one, "c: [System]".
std::wstring DriveText(const Drive& drive);

// The current directory Windows keeps for the drive, or its root when it keeps none.
std::wstring DriveCurrentDirectory(wchar_t letter);

// The drive's root folder, "C:\".
std::wstring DriveRoot(wchar_t letter);

}  // namespace velkora
