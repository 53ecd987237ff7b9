#pragma once

#include <memory>
#include <optional>
#include <string>

#include "engine/interfaces/database_snapshot.h"
#include "engine/sources/bookmark_source.h"
#include "engine/sources/firefox/places_roots.h"
#include "engine/sources/firefox/places_tree.h"
#include "engine/sources/page_icons.h"
#include "engine/sources/sqlite_database.h"

namespace velkora {

// Firefox's bookmarks, read from a snapshot of its places.sqlite: folders and bookmarks
// in the order Firefox shows them, the roots under the names it gives them, each row's id
// as the number its messages name it by. The snapshot is taken at the first Read and
// read again by every other, so that every Read reports the same events.
class FirefoxPlaces final : public BookmarkSource {
 public:
  // icons, when given, are the pages' icons (those of favicons.sqlite), and must outlive
  // this object.
  FirefoxPlaces(DatabaseSnapshots& snapshots, std::u16string path, PageIcons* icons = nullptr)
      : snapshots_(snapshots), path_(std::move(path)), icons_(icons) {}

  // Counts without reading the rows' titles, URLs and icons.
  IoResult Count(SourceCount& count) override;
  IoResult Read(BookmarkEvents& events) override;

 private:
  IoResult Open();
  // Reads the roots and the shape of the tree, once: the snapshot does not change.
  IoResult ReadTree();

  DatabaseSnapshots& snapshots_;
  std::u16string path_;
  PageIcons* icons_;
  std::unique_ptr<DatabaseSnapshot> snapshot_;
  SqliteDatabase db_;
  PlacesRootIds roots_;
  std::optional<PlacesTree> tree_;
};

}  // namespace velkora
