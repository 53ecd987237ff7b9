#pragma once

#include <string>
#include <string_view>

#include "engine/interfaces/database_snapshot.h"
#include "engine/sources/page_icon_table.h"
#include "engine/sources/page_icons.h"

namespace velkora {

// The icons a Chromium browser keeps for pages in its profile's Favicons database, read
// from a snapshot: of a page's PNG images the one closest to 16 pixels wide, at least 16
// when there is one.
class ChromiumIcons final : public PageIcons {
 public:
  // Reads the database at path; no file there is no icons, and a success.
  IoResult Open(DatabaseSnapshots& snapshots, std::u16string_view path);
  bool IconOf(std::string_view url, std::string& image) override { return table_.Find(url, image); }

 private:
  PageIconTable table_;
};

}  // namespace velkora
