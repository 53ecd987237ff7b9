#pragma once

#include "engine/sources/page_icon_table.h"

namespace velkora {

// Of a page's icons in Firefox's favicons.sqlite, the largest up to 32 pixels wide, or else
// the smallest larger one; SVG images (and anything that is neither PNG nor ICO) are
// passed over.
inline constexpr PageIconQuery kFirefoxIconQuery = {
    {"moz_icons", "moz_pages_w_icons", "moz_icons_to_pages"},
    "CREATE INDEX IF NOT EXISTS velkora_page_url ON moz_pages_w_icons(page_url)",
    "SELECT i.data FROM moz_pages_w_icons p JOIN moz_icons_to_pages l ON l.page_id = p.id "
    "JOIN moz_icons i ON i.id = l.icon_id WHERE p.page_url = ?1 "
    "ORDER BY i.width > 32, CASE WHEN i.width > 32 THEN i.width ELSE -i.width END, i.id",
    true};

// The icons Firefox keeps for pages in favicons.sqlite.
using FirefoxIcons = BrowserIcons<kFirefoxIconQuery>;

}  // namespace velkora
