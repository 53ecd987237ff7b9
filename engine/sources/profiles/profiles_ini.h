#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkora {

// A profile that Firefox's profiles.ini lists: its name, and the path of its folder as
// written, relative to the ini file's folder or absolute.
struct IniProfile {
  std::u16string name;
  std::u16string path;
  bool relative = false;
};

// The [Profile...] sections of the UTF-8 text of a profiles.ini (a byte order mark and
// CR LF line ends allowed) that give both a name and a path, in the file's order.
std::vector<IniProfile> ProfilesOfIni(std::string_view text);

}  // namespace velkora
