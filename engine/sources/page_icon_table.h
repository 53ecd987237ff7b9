#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/interfaces/database_snapshot.h"
#include "engine/interfaces/io_result.h"
#include "engine/sources/page_icons.h"
#include "engine/sources/sqlite_database.h"

namespace velkora {

// How a browser's icon database is asked for a page's icons.
struct PageIconQuery {
  // The tables the database must have.
  std::array<std::string_view, 3> tables;
  // An index on the column a page's URL is looked up in, made in the snapshot when the
  // browser's own indexes do not serve.
  const char* index;
  // The image bytes of the icons of the page ?1, the best first.
  std::string_view select;
  // Whether an ICO file serves as well as a PNG.
  bool takesIco;
};

// The icons of a browser's database, read from a snapshot of it.
class PageIconTable final {
 public:
  // Takes the snapshot of the database at path and prepares query. No file at path is no
  // icon at all, and a success.
  IoResult Open(DatabaseSnapshots& snapshots, std::u16string_view path, const PageIconQuery& query);
  // The first image of the page at url that is a PNG (or an ICO, when those serve).
  bool Find(std::string_view url, std::string& image);

 private:
  IoResult Prepare(const PageIconQuery& query);

  std::unique_ptr<DatabaseSnapshot> snapshot_;
  SqliteDatabase db_;
  SqliteStatement select_;
  bool takesIco_ = false;
};

// The icons a browser keeps for pages in the database of the query, read from a snapshot:
// ChromiumIcons and FirefoxIcons.
template <const PageIconQuery& kQuery>
class BrowserIcons final : public PageIcons {
 public:
  // Reads the database at path; no file there is no icons, and a success.
  IoResult Open(DatabaseSnapshots& snapshots, std::u16string_view path) {
    return table_.Open(snapshots, path, kQuery);
  }
  bool IconOf(std::string_view url, std::string& image) override { return table_.Find(url, image); }

 private:
  PageIconTable table_;
};

}  // namespace velkora
