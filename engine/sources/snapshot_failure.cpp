#include "engine/sources/snapshot_failure.h"

#include <string>

namespace velkora {

IoResult TakeSnapshot(DatabaseSnapshots& snapshots, std::u16string_view path,
                      std::unique_ptr<DatabaseSnapshot>& snapshot) {
  IoResult taken = snapshots.Take(path, snapshot);
  if (taken) return taken;
  return IoResult::Failure(u"データベースを一時フォルダーに写せませんでした: " + taken.reason);
}

}  // namespace velkora
