#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/interfaces/io_result.h"
#include "engine/sources/bookmark_counter.h"
#include "engine/sources/bookmark_events.h"
#include "engine/sources/firefox/places_database.h"
#include "engine/sources/firefox/places_roots.h"
#include "engine/sources/firefox/places_tree.h"
#include "engine/sources/page_icons.h"

namespace velkora {

// Reports a places database's tree as events: from its root down, each folder's rows in
// order, with an explicit stack so that no depth of folders is too deep. The tags and
// what is below them, and separators, are passed over. Each row is visited once, so a
// parent chain that loops is never followed around; rows that the walk from the root
// never reaches (their chain loops, or ends at a row that is no folder or is missing)
// are reported last, each bookmark among them as unreadable. Once events asks it to stop,
// it closes the folders it opened and reports nothing more.
class PlacesWalk {
 public:
  PlacesWalk(const PlacesTree& tree, const PlacesRootIds& roots, PlacesDetails& details,
             PageIcons* icons, BookmarkEvents& events)
      : tree_(tree), roots_(roots), details_(&details), icons_(icons), events_(events) {}
  // Counts into counter what the walk reports, without reading the rows' titles, URLs and
  // icons: each bookmark row is one, whatever it holds.
  PlacesWalk(const PlacesTree& tree, const PlacesRootIds& roots, BookmarkCounter& counter)
      : tree_(tree), roots_(roots), details_(nullptr), icons_(nullptr), events_(counter) {}

  IoResult Run();

 private:
  struct Frame {
    std::span<const PlacesTree::Index> rows;
    std::size_t next = 0;
    bool quiet = false;  // a folder not reported, nor anything below it
  };

  IoResult Visit(PlacesTree::Index index, bool quiet);
  IoResult OpenFolder(const PlacesItem& item, std::optional<PlacesRoot> root);
  IoResult ReportBookmark(const PlacesItem& item);
  bool IsEmptyRoot(const PlacesItem& item) const;
  void CloseOpenFolders();
  void ReportUnreached();

  const PlacesTree& tree_;
  const PlacesRootIds& roots_;
  PlacesDetails* const details_;  // none when counting
  PageIcons* icons_;
  BookmarkEvents& events_;
  std::vector<Frame> frames_;
  std::vector<bool> reached_;
  std::string image_;
};

}  // namespace velkora
