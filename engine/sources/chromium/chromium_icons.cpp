#include "engine/sources/chromium/chromium_icons.h"

namespace velkora {

IoResult ChromiumIcons::Open(DatabaseSnapshots& snapshots, std::u16string_view path) {
  static constexpr PageIconQuery kQuery = {
      {"favicons", "favicon_bitmaps", "icon_mapping"},
      "CREATE INDEX IF NOT EXISTS velkora_page_url ON icon_mapping(page_url)",
      "SELECT b.image_data FROM icon_mapping m JOIN favicon_bitmaps b ON b.icon_id = m.icon_id "
      "WHERE m.page_url = ?1 "
      "ORDER BY b.width < 16, CASE WHEN b.width < 16 THEN -b.width ELSE b.width END, b.id",
      false};
  return table_.Open(snapshots, path, kQuery);
}

}  // namespace velkora
