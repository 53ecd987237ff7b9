#pragma once

#include <windows.h>

#include <vector>

#include "ui/drives.h"

namespace velkora {

// Drive1: a drop-down list of the machine's drives.
class DriveList {
 public:
  // Creates the list as child id of parent and fills it. False on failure.
  bool Create(HWND parent, int id, HFONT font);
  HWND Handle() const { return list_; }

  // Places the closed list at place. Its height follows the font, so the selection field
  // is sized to make the closed list exactly as tall as place, unless the text would not
  // fit; the open list drops below it.
  void Place(const RECT& place, HFONT font);

  // Shows the drive with that letter; false when the machine has no such drive.
  bool SelectDrive(wchar_t letter);

  // The letter of the drive the list shows, or 0 when none.
  wchar_t SelectedDrive() const;

 private:
  HWND list_ = nullptr;
  std::vector<Drive> drives_;
};

}  // namespace velkora
