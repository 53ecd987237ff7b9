#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velkora {

// The folders Firefox makes in every profile, known by their guid: the root of the tree,
// and below it the menu, the toolbar, the other bookmarks, the mobile bookmarks and the
// tags (each tag a folder of the bookmarks it is given).
enum class PlacesRoot { kRoot, kMenu, kToolbar, kUnfiled, kMobile, kTags };
inline constexpr std::size_t kPlacesRootCount = 6;

// The guids as moz_bookmarks holds them, in the order of PlacesRoot.
inline constexpr std::array<std::string_view, kPlacesRootCount> kPlacesRootGuids = {
    "root________", "menu________", "toolbar_____", "unfiled_____", "mobile______", "tags________"};

// The name the Japanese Firefox shows for a root of bookmarks (not kRoot or kTags).
std::u16string_view PlacesRootName(PlacesRoot root);

// The rows (their ids) of a database that are its roots.
class PlacesRootIds {
 public:
  // Takes the row id for the root of guid, unless one was taken already; other guids are
  // no root.
  void Add(std::string_view guid, std::int64_t id);
  std::optional<std::int64_t> IdOf(PlacesRoot root) const {
    return ids_[static_cast<std::size_t>(root)];
  }
  std::optional<PlacesRoot> RootOf(std::int64_t id) const;

 private:
  std::array<std::optional<std::int64_t>, kPlacesRootCount> ids_;
};

}  // namespace velkora
