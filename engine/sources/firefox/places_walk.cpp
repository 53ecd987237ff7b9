#include "engine/sources/firefox/places_walk.h"

#include <algorithm>
#include <limits>
#include <string>

#include "engine/sources/icon_data_uri.h"
#include "engine/text/ascii.h"
#include "engine/text/utf8.h"
#include "engine/write/icon_image.h"

namespace velkora {
namespace {

constexpr std::u16string_view kNoUrlReason = u"ブックマークに URL がありません";
constexpr std::u16string_view kUnknownTypeReason =
    u"ブックマーク、フォルダー、区切り線のどれでもない種類の項目です";
constexpr std::u16string_view kLoopReason =
    u"親フォルダーをたどると同じフォルダーに戻ってしまう（循環している）ため、置き場所がわかりませ"
    u"ん";
constexpr std::u16string_view kNowhereReason =
    u"親フォルダーが見つからないため、置き場所がわかりません";

// The number a message names a row by: its id, kept within the numbers of lines.
std::int32_t LineOf(std::int64_t id) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(id, 1, std::numeric_limits<std::int32_t>::max()));
}

// A URL of the "place:" scheme, in any letter case: a saved query only Firefox opens.
bool IsQuery(std::u16string_view url) {
  while (!url.empty() && IsHtmlWhiteSpace(url.front())) url.remove_prefix(1);
  return StartsWithAsciiIgnoringCase(url, "place:");
}

}  // namespace

IoResult PlacesWalk::Run() {
  const std::int64_t rootId = *roots_.IdOf(PlacesRoot::kRoot);
  reached_.assign(tree_.Size(), false);
  if (const auto root = tree_.IndexOf(rootId)) reached_[*root] = true;
  frames_.push_back({tree_.ChildrenOf(rootId), 0, false});
  while (!frames_.empty()) {
    Frame& frame = frames_.back();
    if (frame.next == frame.rows.size()) {
      const bool quiet = frame.quiet;
      frames_.pop_back();
      if (!frames_.empty() && !quiet) events_.CloseFolder();
      continue;
    }
    const PlacesTree::Index index = frame.rows[frame.next++];
    if (reached_[index]) continue;
    if (events_.StopRequested()) {
      CloseOpenFolders();
      return IoResult::Success();
    }
    reached_[index] = true;
    // Visit may push a frame: frame is not used after it.
    if (IoResult visited = Visit(index, frame.quiet); !visited) {
      CloseOpenFolders();
      return visited;
    }
  }
  ReportUnreached();
  return IoResult::Success();
}

IoResult PlacesWalk::Visit(PlacesTree::Index index, bool quiet) {
  const PlacesItem& item = tree_.Item(index);
  if (item.type == kPlacesFolder) {
    const std::optional<PlacesRoot> root = roots_.RootOf(item.id);
    if (quiet || root == PlacesRoot::kTags) {
      frames_.push_back({tree_.ChildrenOf(item.id), 0, true});
      return IoResult::Success();
    }
    if (root && IsEmptyRoot(item)) return IoResult::Success();
    return OpenFolder(item, root);
  }
  if (quiet || item.type == kPlacesSeparator) return IoResult::Success();
  if (item.type == kPlacesBookmark) return ReportBookmark(item);
  events_.MalformedBookmark(LineOf(item.id), kUnknownTypeReason);
  return IoResult::Success();
}

IoResult PlacesWalk::OpenFolder(const PlacesItem& item, std::optional<PlacesRoot> root) {
  std::u16string name;
  if (details_ == nullptr) {
    events_.OpenFolder(name, {});
  } else {
    if (IoResult found = details_->Find(item.id); !found) return found;
    name = root ? std::u16string(PlacesRootName(*root)) : FromUtf8(details_->Title());
    events_.OpenFolder(name, details_->Dates());
  }
  frames_.push_back({tree_.ChildrenOf(item.id), 0, false});
  return IoResult::Success();
}

IoResult PlacesWalk::ReportBookmark(const PlacesItem& item) {
  if (details_ == nullptr) {
    // Counted: given only to a counter, an empty record counts as the row does.
    events_.Bookmark({});
    return IoResult::Success();
  }
  if (IoResult found = details_->Find(item.id); !found) return found;
  if (!details_->HasUrl()) {
    events_.MalformedBookmark(LineOf(item.id), kNoUrlReason);
    return IoResult::Success();
  }
  const std::u16string url = FromUtf8(details_->Url());
  if (IsQuery(url)) {
    events_.SkippedQuery();
    return IoResult::Success();
  }
  const std::u16string title = FromUtf8(details_->Title());
  std::u16string icon;
  bool iconTooLong = false;
  if (icons_ != nullptr && icons_->IconOf(details_->Url(), image_)) {
    iconTooLong = image_.size() > kMaxIconBytes;
    if (!iconTooLong) icon = IconDataUri(image_);
  }
  const std::u16string guid = FromUtf8(details_->Guid());
  events_.Bookmark({url, title, LineOf(item.id), icon, iconTooLong, details_->Dates(), guid});
  return IoResult::Success();
}

// A root of bookmarks that holds nothing but separators makes no folder.
bool PlacesWalk::IsEmptyRoot(const PlacesItem& item) const {
  const auto rows = tree_.ChildrenOf(item.id);
  return std::all_of(rows.begin(), rows.end(), [this](PlacesTree::Index row) {
    return tree_.Item(row).type == kPlacesSeparator;
  });
}

void PlacesWalk::CloseOpenFolders() {
  for (std::size_t i = 1; i < frames_.size(); ++i) {
    if (!frames_[i].quiet) events_.CloseFolder();
  }
  frames_.clear();
}

void PlacesWalk::ReportUnreached() {
  enum Fate : std::uint8_t { kUnknown, kOnPath, kLoops, kNowhere };
  std::vector<std::uint8_t> fates;
  std::vector<PlacesTree::Index> path;
  for (PlacesTree::Index index = 0; index < tree_.Size(); ++index) {
    const std::int32_t type = tree_.Item(index).type;
    if (reached_[index] || type == kPlacesFolder || type == kPlacesSeparator) continue;
    if (fates.empty()) fates.assign(tree_.Size(), kUnknown);
    // Up the chain of parents until it ends, comes round, or meets a chain already known:
    // each row is climbed from once, so the whole costs one step a row.
    std::uint8_t fate = kNowhere;
    for (std::optional<PlacesTree::Index> at = index; at;
         at = tree_.IndexOf(tree_.Item(*at).parent)) {
      if (reached_[*at]) break;
      if (fates[*at] != kUnknown) {
        fate = fates[*at] == kOnPath ? std::uint8_t{kLoops} : fates[*at];
        break;
      }
      fates[*at] = kOnPath;
      path.push_back(*at);
    }
    for (const PlacesTree::Index row : path) fates[row] = fate;
    path.clear();
    events_.MalformedBookmark(LineOf(tree_.Item(index).id),
                              fate == kLoops ? kLoopReason : kNowhereReason);
  }
}

}  // namespace velkora
