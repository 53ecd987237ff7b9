#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkora {

// A profile that a Chromium browser's "Local State" file lists: the folder it keeps in,
// below the "User Data" folder, and the name the user gave it.
struct LocalStateProfile {
  std::u16string folder;
  std::u16string name;
};

// The profiles of the JSON text of a "Local State" file (profile.info_cache), in the
// order the file gives them; none when the text is not valid JSON. A profile without a
// name is named by its folder.
std::vector<LocalStateProfile> ProfilesOfLocalState(std::string_view json);

}  // namespace velkora
