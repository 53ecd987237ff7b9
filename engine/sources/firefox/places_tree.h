#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velkora {

// The kinds of row moz_bookmarks holds.
enum PlacesItemType : std::int32_t { kPlacesBookmark = 1, kPlacesFolder = 2, kPlacesSeparator = 3 };

// One row of moz_bookmarks, as far as the shape of the tree goes.
struct PlacesItem {
  std::int64_t id = 0;
  std::int64_t parent = 0;
  std::int64_t position = 0;
  std::int32_t type = 0;
};

// The rows of moz_bookmarks, each known by its index here, and which rows each folder
// holds in the order Firefox shows them (position, then id). Its memory is a few words a row.
class PlacesTree {
 public:
  using Index = std::uint32_t;

  // Rows in any order; of rows with the same id the first is kept.
  explicit PlacesTree(std::vector<PlacesItem> items);

  std::size_t Size() const { return items_.size(); }
  const PlacesItem& Item(Index index) const { return items_[index]; }
  std::optional<Index> IndexOf(std::int64_t id) const;
  // The rows whose parent is the row id, in order.
  std::span<const Index> ChildrenOf(std::int64_t id) const;

 private:
  std::vector<PlacesItem> items_;  // by id
  std::vector<Index> byParent_;    // by parent, position and id
};

}  // namespace velkora
