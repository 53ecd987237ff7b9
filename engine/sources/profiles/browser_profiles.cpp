#include "engine/sources/profiles/browser_profiles.h"

#include <memory>
#include <string>

#include "engine/sources/profiles/local_state.h"
#include "engine/sources/profiles/profiles_ini.h"
#include "engine/sources/profiles/small_file.h"

namespace velkora {
namespace {

// Larger than any list of profiles a browser writes; a larger file is not read.
constexpr std::size_t kListLimit = 16 * 1024 * 1024;

bool FileExists(FileStreams& streams, std::u16string_view path) {
  std::unique_ptr<InputStream> stream;
  return static_cast<bool>(streams.OpenInput(path, stream));
}

// A name for one folder below the "User Data" folder, not a path leading elsewhere.
bool IsFolderName(std::u16string_view name) {
  return !name.empty() && name != u"." && name != u".." &&
         name.find_first_of(u"/\\") == std::u16string_view::npos;
}

void AddChromium(FileStreams& streams, const BrowserStore& store, char16_t separator,
                 std::vector<BrowserProfile>& profiles) {
  std::string json;
  const std::u16string folder = store.folder + separator;
  if (!ReadSmallFile(streams, folder + u"Local State", kListLimit, json)) return;
  for (const LocalStateProfile& profile : ProfilesOfLocalState(json)) {
    const std::u16string bookmarks = folder + profile.folder + separator + u"Bookmarks";
    if (IsFolderName(profile.folder) && FileExists(streams, bookmarks)) {
      profiles.push_back({store.browser, profile.name, bookmarks});
    }
  }
}

void AddFirefox(FileStreams& streams, const BrowserStore& store, char16_t separator,
                std::vector<BrowserProfile>& profiles) {
  std::string text;
  const std::u16string folder = store.folder + separator;
  if (!ReadSmallFile(streams, folder + u"profiles.ini", kListLimit, text)) return;
  for (IniProfile profile : ProfilesOfIni(text)) {
    if (profile.relative) {
      // Firefox writes relative paths with "/" on every system.
      for (char16_t& c : profile.path) c = c == u'/' ? separator : c;
      profile.path.insert(0, folder);
    }
    const std::u16string places = profile.path + separator + u"places.sqlite";
    if (FileExists(streams, places)) profiles.push_back({store.browser, profile.name, places});
  }
}

std::u16string Spaced(std::u16string text) {
  for (char16_t& c : text) c = c < u' ' || c == u'\x7F' ? u' ' : c;
  return text;
}

}  // namespace

std::vector<BrowserProfile> FindProfiles(FileStreams& streams,
                                         const std::vector<BrowserStore>& stores,
                                         char16_t separator) {
  std::vector<BrowserProfile> profiles;
  for (const BrowserStore& store : stores) {
    if (store.listing == ProfileListing::kChromium) {
      AddChromium(streams, store, separator, profiles);
    } else {
      AddFirefox(streams, store, separator, profiles);
    }
  }
  return profiles;
}

std::u16string ProfileLabel(const BrowserProfile& profile) {
  return profile.browser + u" — " + profile.name;
}

std::u16string ProfileLine(const BrowserProfile& profile) {
  return Spaced(profile.browser) + u'\t' + Spaced(profile.name) + u'\t' +
         Spaced(profile.bookmarkFile) + u'\n';
}

}  // namespace velkora
