#pragma once

#include "engine/sources/page_icon_table.h"

namespace velkora {

// Of a page's PNG images in a Chromium browser's Favicons database, the one closest to 16
// pixels wide, at least 16 when there is one.
inline constexpr PageIconQuery kChromiumIconQuery = {
    {"favicons", "favicon_bitmaps", "icon_mapping"},
    "CREATE INDEX IF NOT EXISTS velkora_page_url ON icon_mapping(page_url)",
    "SELECT b.image_data FROM icon_mapping m JOIN favicon_bitmaps b ON b.icon_id = m.icon_id "
    "WHERE m.page_url = ?1 "
    "ORDER BY b.width < 16, CASE WHEN b.width < 16 THEN -b.width ELSE b.width END, b.id",
    false};

// The icons a Chromium browser keeps for pages in its profile's Favicons database.
using ChromiumIcons = BrowserIcons<kChromiumIconQuery>;

}  // namespace velkora
