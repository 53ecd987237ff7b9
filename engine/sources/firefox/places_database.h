#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/interfaces/io_result.h"
#include "engine/sources/bookmark_dates.h"
#include "engine/sources/firefox/places_roots.h"
#include "engine/sources/firefox/places_tree.h"
#include "engine/sources/sqlite_database.h"

namespace velkora {

// Why a places database could not be read after SQLite gave code: not Firefox's tables
// (a table or column it lacks), or what SQLite says is wrong with the file.
IoResult PlacesFailure(const SqliteDatabase& db, int code);

// Fails unless db holds the tables of Firefox's bookmarks.
IoResult CheckPlacesTables(const SqliteDatabase& db);

// The shape of the tree of db's bookmarks, into tree; and the rows that are its roots.
IoResult ReadPlacesTree(const SqliteDatabase& db, std::optional<PlacesTree>& tree);
IoResult ReadPlacesRoots(const SqliteDatabase& db, PlacesRootIds& roots);

// The rest of a row of moz_bookmarks, looked up by its id: title, dates, the URL of the
// page it is a bookmark of, and its guid.
class PlacesDetails {
 public:
  explicit PlacesDetails(const SqliteDatabase& db) : db_(db) {}
  IoResult Prepare();
  // Looks up the row id; a failure says why it could not be read.
  IoResult Find(std::int64_t id);

  std::string_view Title() const { return statement_.Bytes(0); }
  BookmarkDates Dates() const { return {statement_.OptionalInt(1), statement_.OptionalInt(2)}; }
  bool HasUrl() const { return !statement_.IsNull(3); }
  std::string_view Url() const { return statement_.Bytes(3); }
  std::string_view Guid() const { return statement_.Bytes(4); }

 private:
  const SqliteDatabase& db_;
  SqliteStatement statement_;
};

}  // namespace velkora
