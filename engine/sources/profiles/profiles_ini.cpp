#include "engine/sources/profiles/profiles_ini.h"

#include <optional>

#include "engine/text/utf8.h"

namespace velkora {
namespace {

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// One [Profile...] section as far as it has been read.
struct Section {
  std::optional<std::u16string> name;
  std::optional<std::u16string> path;
  bool relative = false;
};

void Keep(const std::optional<Section>& section, std::vector<IniProfile>& profiles) {
  if (section && section->name && section->path && !section->path->empty()) {
    profiles.push_back({*section->name, *section->path, section->relative});
  }
}

}  // namespace

std::vector<IniProfile> ProfilesOfIni(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<IniProfile> profiles;
  std::optional<Section> section;  // empty outside a [Profile...] section
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.starts_with('[')) {
      Keep(section, profiles);
      section.reset();
      if (line.starts_with("[Profile") && line.ends_with(']')) section.emplace();
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!section || line.starts_with(';') || line.starts_with('#') ||
        equals == std::string_view::npos) {
      continue;
    }
    const std::string_view key = Trimmed(line.substr(0, equals));
    const std::string_view value = Trimmed(line.substr(equals + 1));
    if (key == "Name") section->name = FromUtf8(value);
    if (key == "Path") section->path = FromUtf8(value);
    if (key == "IsRelative") section->relative = value == "1";
  }
  Keep(section, profiles);
  return profiles;
}

}  // namespace velkora
