#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "engine/sources/profiles/browser_profiles.h"
#include "engine/text/utf8.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

using Files = std::vector<std::pair<std::string, std::string>>;

struct StoreCase {
  const char* browser;
  ProfileListing listing;
  // Paths below the browser's folder: files with their bytes ("@" for that folder and a
  // separator), then the profiles found, each a name and a bookmark file.
  Files files;
  Files found;
};

TEST(BrowserProfiles, AreNamedByTheirListsAndFoundWhereTheirBookmarkFileIs) {
  constexpr ProfileListing kChromium = ProfileListing::kChromium;
  const std::vector<StoreCase> cases = {
      {"Google Chrome",
       kChromium,
       {{"Local State", R"({"name":"x","profile":{"info_cache":{"Default":{"avatar":[{"name":
            "no"}],"name":"ユーザー 1"},"Profile 2":{"name":"仕事"},"Profile 1":{},".":{}}}})"},
        {"Default/Bookmarks", ""},
        {"Profile 2/Bookmarks", ""},
        {"Bookmarks", ""}},
       {{"ユーザー 1", "Default/Bookmarks"}, {"仕事", "Profile 2/Bookmarks"}}},
      {"Brave",
       kChromium,
       {{"Local State", R"({"profile":{"info_cache":{"Default":{)"}, {"Default/Bookmarks", ""}},
       {}},
      {"Firefox",
       ProfileListing::kFirefox,
       {{"profiles.ini",
         "\xEF\xBB\xBF[General]\r\nName=no\r\nPath=x\r\n\r\n[Profile1]\r\nName=default-release\r\n"
         "IsRelative=1\r\nPath=Profiles/r.default\r\n[Profile0]\r\nIsRelative=0\r\nPath=@abs\r\n"
         "Name=古い\r\n[Profile2]\r\nName=gone\r\nIsRelative=1\r\nPath=gone\r\n"},
        {"Profiles/r.default/places.sqlite", ""},
        {"abs/places.sqlite", ""}},
       {{"default-release", "Profiles/r.default/places.sqlite"}, {"古い", "abs/places.sqlite"}}},
  };
  TempDir home;
  NativePlatform platform;
  const char16_t separator = platform.Services().paths.separator;
  std::vector<BrowserStore> stores;
  std::vector<BrowserProfile> expected;
  for (const StoreCase& store : cases) {
    const std::u16string folder = home.Text() + separator + U16(store.browser);
    stores.push_back({U16(store.browser), store.listing, folder});
    for (auto [path, bytes] : store.files) {
      const auto file = home.path() / store.browser / path;
      std::filesystem::create_directories(file.parent_path());
      if (const auto at = bytes.find('@'); at != std::string::npos) {
        bytes.replace(at, 1, ToUtf8(folder + separator));
      }
      WriteBytes(file, bytes);
    }
    for (const auto& [name, path] : store.found) {
      std::u16string file = folder + separator + U16(path);
      std::replace(file.begin(), file.end(), u'/', separator);
      expected.push_back({U16(store.browser), U16(name), file});
    }
  }
  EXPECT_EQ(FindProfiles(platform.Services().streams, stores, separator), expected);
}

}  // namespace
}  // namespace velkora::testing
