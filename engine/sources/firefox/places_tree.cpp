#include "engine/sources/firefox/places_tree.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace velkora {

PlacesTree::PlacesTree(std::vector<PlacesItem> items) : items_(std::move(items)) {
  std::stable_sort(items_.begin(), items_.end(),
                   [](const PlacesItem& a, const PlacesItem& b) { return a.id < b.id; });
  items_.erase(std::unique(items_.begin(), items_.end(),
                           [](const PlacesItem& a, const PlacesItem& b) { return a.id == b.id; }),
               items_.end());
  items_.shrink_to_fit();
  byParent_.resize(items_.size());
  std::iota(byParent_.begin(), byParent_.end(), Index{0});
  std::sort(byParent_.begin(), byParent_.end(), [this](Index a, Index b) {
    const PlacesItem& x = items_[a];
    const PlacesItem& y = items_[b];
    if (x.parent != y.parent) return x.parent < y.parent;
    if (x.position != y.position) return x.position < y.position;
    return x.id < y.id;
  });
}

std::optional<PlacesTree::Index> PlacesTree::IndexOf(std::int64_t id) const {
  const auto found =
      std::lower_bound(items_.begin(), items_.end(), id,
                       [](const PlacesItem& item, std::int64_t v) { return item.id < v; });
  if (found == items_.end() || found->id != id) return std::nullopt;
  return static_cast<Index>(found - items_.begin());
}

std::span<const PlacesTree::Index> PlacesTree::ChildrenOf(std::int64_t id) const {
  const auto first =
      std::lower_bound(byParent_.begin(), byParent_.end(), id,
                       [this](Index a, std::int64_t v) { return items_[a].parent < v; });
  const auto last = std::upper_bound(
      first, byParent_.end(), id, [this](std::int64_t v, Index a) { return v < items_[a].parent; });
  return {first, last};
}

}  // namespace velkora
