#include "engine/sources/firefox/firefox_places.h"

#include <optional>

#include "engine/sources/firefox/places_database.h"
#include "engine/sources/firefox/places_walk.h"
#include "engine/sources/snapshot_failure.h"

namespace velkora {

IoResult FirefoxPlaces::Open() {
  if (db_.IsOpen()) return IoResult::Success();
  if (!snapshot_) {
    if (IoResult taken = TakeSnapshot(snapshots_, path_, snapshot_); !taken) return taken;
    if (!snapshot_) return IoResult::Failure(u"ファイルがありません");
  }
  if (IoResult opened = db_.Open(*snapshot_); !opened) return opened;
  IoResult checked = CheckPlacesTables(db_);
  if (!checked) db_.Close();
  return checked;
}

IoResult FirefoxPlaces::ReadTree() {
  if (tree_) return IoResult::Success();
  if (IoResult opened = Open(); !opened) return opened;
  if (IoResult read = ReadPlacesRoots(db_, roots_); !read) return read;
  return ReadPlacesTree(db_, tree_);
}

IoResult FirefoxPlaces::Count(SourceCount& count) {
  count = {};
  if (IoResult read = ReadTree(); !read) return read;
  BookmarkCounter counter;
  IoResult counted = PlacesWalk(*tree_, roots_, counter).Run();
  count.bookmarks = counter.count;
  return counted;
}

IoResult FirefoxPlaces::Read(BookmarkEvents& events) {
  if (IoResult read = ReadTree(); !read) return read;
  PlacesDetails details(db_);
  if (IoResult prepared = details.Prepare(); !prepared) return prepared;
  return PlacesWalk(*tree_, roots_, details, icons_, events).Run();
}

}  // namespace velkora
