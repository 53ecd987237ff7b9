#include "engine/sources/firefox/places_database.h"

#include <limits>
#include <vector>

#include "engine/text/utf8.h"

namespace velkora {
namespace {

constexpr std::u16string_view kNotPlaces =
    u"Firefox のブックマークのデータベース（places.sqlite）ではありません";

// Prepares sql on db, or the failure that says why it cannot be.
IoResult PrepareOn(const SqliteDatabase& db, SqliteStatement& statement, std::string_view sql) {
  const int code = statement.Prepare(db, sql);
  return code == SQLITE_OK ? IoResult::Success() : PlacesFailure(db, code);
}

}  // namespace

IoResult PlacesFailure(const SqliteDatabase& db, int code) {
  if ((code & 0xff) != SQLITE_ERROR) return IoResult::Failure(db.FailureReason(code));
  return IoResult::Failure(std::u16string(kNotPlaces) + u"（" + FromUtf8(sqlite3_errmsg(db.get())) +
                           u"）");
}

IoResult CheckPlacesTables(const SqliteDatabase& db) {
  for (const std::string_view table : {"moz_bookmarks", "moz_places"}) {
    const int code = db.FindTable(table);
    if (code == SQLITE_DONE) {
      return IoResult::Failure(std::u16string(kNotPlaces) + u"（" + FromUtf8(table) +
                               u" の表がありません）");
    }
    if (code != SQLITE_ROW) return PlacesFailure(db, code);
  }
  return IoResult::Success();
}

IoResult ReadPlacesTree(const SqliteDatabase& db, std::optional<PlacesTree>& tree) {
  SqliteStatement count;
  if (IoResult prepared = PrepareOn(db, count, "SELECT count(*) FROM moz_bookmarks"); !prepared) {
    return prepared;
  }
  if (const int code = count.Step(); code != SQLITE_ROW) return PlacesFailure(db, code);
  if (count.Int(0) >= std::numeric_limits<PlacesTree::Index>::max()) {
    return IoResult::Failure(u"ブックマークの数が多すぎます");
  }
  std::vector<PlacesItem> items;
  items.reserve(static_cast<std::size_t>(count.Int(0)));
  SqliteStatement rows;
  if (IoResult prepared =
          PrepareOn(db, rows, "SELECT id, parent, position, type FROM moz_bookmarks");
      !prepared) {
    return prepared;
  }
  int code = SQLITE_ROW;
  while ((code = rows.Step()) == SQLITE_ROW) {
    // More rows than counted: the file changed under SQLite, which it reports as damage.
    if (items.size() + 1 >= std::numeric_limits<PlacesTree::Index>::max()) break;
    items.push_back(
        {rows.Int(0), rows.Int(1), rows.Int(2), static_cast<std::int32_t>(rows.Int(3))});
  }
  if (code != SQLITE_DONE) return PlacesFailure(db, code);
  tree.emplace(std::move(items));
  return IoResult::Success();
}

IoResult ReadPlacesRoots(const SqliteDatabase& db, PlacesRootIds& roots) {
  SqliteStatement rows;
  if (IoResult prepared = PrepareOn(db, rows,
                                    "SELECT guid, id FROM moz_bookmarks WHERE guid IN "
                                    "(?1, ?2, ?3, ?4, ?5, ?6) ORDER BY id");
      !prepared) {
    return prepared;
  }
  for (std::size_t i = 0; i < kPlacesRootCount; ++i) {
    rows.Bind(static_cast<int>(i + 1), kPlacesRootGuids[i]);
  }
  int code = SQLITE_ROW;
  while ((code = rows.Step()) == SQLITE_ROW) roots.Add(rows.Bytes(0), rows.Int(1));
  if (code != SQLITE_DONE) return PlacesFailure(db, code);
  if (!roots.IdOf(PlacesRoot::kRoot)) {
    return IoResult::Failure(std::u16string(kNotPlaces) + u"（ブックマークのルートがありません）");
  }
  return IoResult::Success();
}

IoResult PlacesDetails::Prepare() {
  return PrepareOn(
      db_, statement_,
      "SELECT b.title, b.dateAdded, b.lastModified, p.url, b.guid FROM moz_bookmarks b "
      "LEFT JOIN moz_places p ON p.id = b.fk WHERE b.id = ?");
}

IoResult PlacesDetails::Find(std::int64_t id) {
  statement_.Reset();
  statement_.Bind(1, id);
  const int code = statement_.Step();
  if (code == SQLITE_ROW) return IoResult::Success();
  if (code == SQLITE_DONE) return PlacesFailure(db_, SQLITE_CORRUPT);
  return PlacesFailure(db_, code);
}

}  // namespace velkora
