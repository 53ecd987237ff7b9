#pragma once

#include <string>
#include <string_view>

#include "engine/interfaces/database_snapshot.h"
#include "engine/sources/page_icon_table.h"
#include "engine/sources/page_icons.h"

namespace velkora {

// The icons Firefox keeps for pages in favicons.sqlite, read from a snapshot: of a page's
// icons the largest up to 32 pixels wide, or else the smallest larger one; SVG images
// (and anything that is neither PNG nor ICO) are passed over.
class FirefoxIcons final : public PageIcons {
 public:
  // Reads the database at path; no file there is no icons, and a success.
  IoResult Open(DatabaseSnapshots& snapshots, std::u16string_view path);
  bool IconOf(std::string_view url, std::string& image) override { return table_.Find(url, image); }

 private:
  PageIconTable table_;
};

}  // namespace velkora
