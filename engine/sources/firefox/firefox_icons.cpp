#include "engine/sources/firefox/firefox_icons.h"

namespace velkora {

IoResult FirefoxIcons::Open(DatabaseSnapshots& snapshots, std::u16string_view path) {
  static constexpr PageIconQuery kQuery = {
      {"moz_icons", "moz_pages_w_icons", "moz_icons_to_pages"},
      "CREATE INDEX IF NOT EXISTS velkora_page_url ON moz_pages_w_icons(page_url)",
      "SELECT i.data FROM moz_pages_w_icons p JOIN moz_icons_to_pages l ON l.page_id = p.id "
      "JOIN moz_icons i ON i.id = l.icon_id WHERE p.page_url = ?1 "
      "ORDER BY i.width > 32, CASE WHEN i.width > 32 THEN i.width ELSE -i.width END, i.id",
      true};
  return table_.Open(snapshots, path, kQuery);
}

}  // namespace velkora
