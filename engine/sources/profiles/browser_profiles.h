#pragma once

#include <string>
#include <vector>

#include "engine/interfaces/file_streams.h"

namespace velkora {

// How a browser lists its profiles.
enum class ProfileListing {
  // A "User Data" folder whose "Local State" names the profile folders, each holding a
  // "Bookmarks" file: Chrome, Edge, Brave, Vivaldi, Chromium.
  kChromium,
  // A folder whose profiles.ini names the profile folders, each holding a places.sqlite:
  // Firefox.
  kFirefox,
};

// Where one browser keeps its profiles on this system, as the platform names it.
struct BrowserStore {
  std::u16string browser;  // the name the browser is shown by, "Google Chrome"
  ProfileListing listing = ProfileListing::kChromium;
  std::u16string folder;  // the folder holding Local State or profiles.ini
};

// One profile found: its browser's name, the profile's name as the user named it, and the
// path of its bookmark file.
struct BrowserProfile {
  std::u16string browser;
  std::u16string name;
  std::u16string bookmarkFile;
  bool operator==(const BrowserProfile&) const = default;
};

// The profiles of stores whose bookmark file exists, browser by browser in the order of
// stores, each browser's in the order its list gives them. A list that is missing, too
// large or unreadable gives none. separator joins the paths.
std::vector<BrowserProfile> FindProfiles(FileStreams& streams,
                                         const std::vector<BrowserStore>& stores,
                                         char16_t separator);

// "Google Chrome — ユーザー 1": how a list of profiles names one.
std::u16string ProfileLabel(const BrowserProfile& profile);

// Browser, name and bookmark file with a tab between them and a line end after: one line
// of a list for a program to read, each control character in them a space.
std::u16string ProfileLine(const BrowserProfile& profile);

}  // namespace velkora
