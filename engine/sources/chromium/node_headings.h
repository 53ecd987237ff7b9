#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "engine/sources/bookmark_dates.h"

namespace velkora {

// What a node's "type" says it is: none given, a bookmark, a folder, or anything else.
enum class NodeType : std::uint8_t { kNone, kUrl, kFolder, kOther };

// One node's values as read so far (its "name" and "url" in UTF-8).
struct NodeFields {
  std::string name;
  std::string url;
  std::string guid;
  bool hasName = false;
  bool hasUrl = false;
  NodeType type = NodeType::kNone;
  BookmarkDates dates;

  void Clear() {
    name.clear();
    url.clear();
    guid.clear();
    hasName = hasUrl = false;
    type = NodeType::kNone;
    dates = {};
  }
};

// What a folder's heading needs of a node that holds "children": Chromium writes a node's
// keys in alphabetical order, so its "children" come before its "name", "type" and dates.
// A first read of the file keeps these for every such node, in the order the nodes' children
// start; the second read opens each folder from them. Per node it keeps 40 bytes and its
// name, however many bookmarks the file holds.
struct NodeHeading {
  static constexpr std::int64_t kNoDate = std::numeric_limits<std::int64_t>::min();
  std::int64_t added = kNoDate;
  std::int64_t modified = kNoDate;
  std::uint64_t nameOffset = 0;
  std::uint32_t nameLength = 0;
  // The index of the first heading after those of the nodes inside this one.
  std::uint32_t next = 0;
  NodeType type = NodeType::kNone;
  bool hasChild = false;
};

struct NodeHeadings {
  std::vector<NodeHeading> list;
  // The names of list, one after another.
  std::string names;

  // Takes the values fields gives into heading: a later value of a key replaces an earlier.
  void Merge(NodeHeading& heading, const NodeFields& fields) {
    if (fields.hasName) {
      heading.nameOffset = names.size();
      heading.nameLength = static_cast<std::uint32_t>(fields.name.size());
      names += fields.name;
    }
    if (fields.type != NodeType::kNone) heading.type = fields.type;
    if (fields.dates.added) heading.added = *fields.dates.added;
    if (fields.dates.modified) heading.modified = *fields.dates.modified;
  }
  std::string_view NameOf(const NodeHeading& heading) const {
    return std::string_view(names).substr(heading.nameOffset, heading.nameLength);
  }
  static BookmarkDates DatesOf(const NodeHeading& heading) {
    const auto date = [](std::int64_t d) {
      return d == NodeHeading::kNoDate ? std::nullopt : std::optional<std::int64_t>(d);
    };
    return {date(heading.added), date(heading.modified)};
  }
};

}  // namespace velkora
