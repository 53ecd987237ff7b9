#include "engine/sources/profiles/browser_places.h"

#include <string_view>

namespace velkora {
namespace {

// Where a browser keeps its profiles below its home, on Windows and elsewhere.
struct BrowserPlace {
  std::u16string_view browser;
  ProfileListing listing;
  std::u16string_view onWindows;
  std::u16string_view elsewhere;
};

constexpr ProfileListing kChromium = ProfileListing::kChromium;
constexpr BrowserPlace kPlaces[] = {
    {u"Google Chrome", kChromium, u"Google\\Chrome\\User Data", u"google-chrome"},
    {u"Microsoft Edge", kChromium, u"Microsoft\\Edge\\User Data", u"microsoft-edge"},
    {u"Brave", kChromium, u"BraveSoftware\\Brave-Browser\\User Data",
     u"BraveSoftware/Brave-Browser"},
    {u"Vivaldi", kChromium, u"Vivaldi\\User Data", u"vivaldi"},
    {u"Chromium", kChromium, u"Chromium\\User Data", u"chromium"},
    {u"Firefox", ProfileListing::kFirefox, u"Mozilla\\Firefox", u".mozilla/firefox"},
};

}  // namespace

std::vector<BrowserStore> BrowserStoresBelow(const BrowserHomes& homes) {
  std::vector<BrowserStore> stores;
  for (const BrowserPlace& place : kPlaces) {
    const std::u16string& home =
        place.listing == ProfileListing::kChromium ? homes.chromium : homes.firefox;
    if (home.empty()) continue;
    std::u16string folder = home + (homes.windows ? u'\\' : u'/');
    folder += homes.windows ? place.onWindows : place.elsewhere;
    stores.push_back({std::u16string(place.browser), place.listing, std::move(folder)});
  }
  return stores;
}

}  // namespace velkora
