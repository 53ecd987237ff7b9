#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine/sources/profiles/browser_profiles.h"

namespace velkora {

// Combo1: a drop-down list of the browsers' profiles found on the machine, each named as
// "Google Chrome — ユーザー 1"; choosing one gives the path of its bookmark file.
class ProfileList {
 public:
  // Creates the list, still empty, as child id of parent. False on failure.
  bool Create(HWND parent, int id, HFONT font);
  HWND Handle() const { return list_; }

  // Shows profiles, in their order, in place of what the list showed. With none, the
  // list says that none was found and is disabled.
  void Fill(std::vector<BrowserProfile> profiles);
  bool HasProfiles() const { return !profiles_.empty(); }

  // Places the closed list at place, as the drive list is placed.
  void Place(const RECT& place, HFONT font);

  // The bookmark file of the profile the list shows, or empty when it shows none.
  std::wstring ChosenFile() const;

  // Shows no profile unless path is the bookmark file of the one it shows, so that the
  // list never names a profile the path box no longer holds.
  void FollowPath(std::wstring_view path);

 private:
  HWND list_ = nullptr;
  std::vector<BrowserProfile> profiles_;
};

}  // namespace velkora
