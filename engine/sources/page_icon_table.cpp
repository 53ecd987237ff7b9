#include "engine/sources/page_icon_table.h"

#include "engine/sources/snapshot_failure.h"
#include "engine/text/utf8.h"

namespace velkora {
namespace {

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);
constexpr std::string_view kIcoSignature("\0\0\1\0", 4);

}  // namespace

IoResult PageIconTable::Open(DatabaseSnapshots& snapshots, std::u16string_view path,
                             const PageIconQuery& query) {
  if (IoResult taken = TakeSnapshot(snapshots, path, snapshot_); !taken || !snapshot_) return taken;
  if (IoResult opened = db_.Open(*snapshot_); !opened) return opened;
  IoResult prepared = Prepare(query);
  if (!prepared) db_.Close();
  return prepared;
}

IoResult PageIconTable::Prepare(const PageIconQuery& query) {
  for (const std::string_view table : query.tables) {
    const int code = db_.FindTable(table);
    if (code == SQLITE_DONE) {
      return IoResult::Failure(u"ブラウザーのアイコンのデータベースではありません（" +
                               FromUtf8(table) + u" の表がありません）");
    }
    if (code != SQLITE_ROW) return IoResult::Failure(db_.FailureReason(code));
  }
  db_.Index(query.index);
  takesIco_ = query.takesIco;
  const int code = select_.Prepare(db_, query.select);
  if (code != SQLITE_OK) return IoResult::Failure(db_.FailureReason(code));
  return IoResult::Success();
}

bool PageIconTable::Find(std::string_view url, std::string& image) {
  image.clear();
  if (!db_.IsOpen()) return false;
  select_.Reset();
  select_.Bind(1, url);
  while (select_.Step() == SQLITE_ROW) {
    const std::string_view bytes = select_.Bytes(0);
    if (bytes.starts_with(kPngSignature) || (takesIco_ && bytes.starts_with(kIcoSignature))) {
      image.assign(bytes);
      return true;
    }
  }
  return false;
}

}  // namespace velkora
