#include "engine/sources/firefox/places_roots.h"

namespace velkora {

std::u16string_view PlacesRootName(PlacesRoot root) {
  switch (root) {
    case PlacesRoot::kMenu:
      return u"ブックマークメニュー";
    case PlacesRoot::kToolbar:
      return u"ブックマークツールバー";
    case PlacesRoot::kUnfiled:
      return u"他のブックマーク";
    case PlacesRoot::kMobile:
      return u"モバイルのブックマーク";
    case PlacesRoot::kRoot:
    case PlacesRoot::kTags:
      break;
  }
  return {};
}

void PlacesRootIds::Add(std::string_view guid, std::int64_t id) {
  for (std::size_t i = 0; i < kPlacesRootCount; ++i) {
    if (guid == kPlacesRootGuids[i] && !ids_[i]) ids_[i] = id;
  }
}

std::optional<PlacesRoot> PlacesRootIds::RootOf(std::int64_t id) const {
  for (std::size_t i = 0; i < kPlacesRootCount; ++i) {
    if (ids_[i] == id) return static_cast<PlacesRoot>(i);
  }
  return std::nullopt;
}

}  // namespace velkora
