#include "engine/sources/sqlite_database.h"

#include "engine/text/utf8.h"

namespace velkora {

IoResult SqliteDatabase::Open(const DatabaseSnapshot& snapshot) {
  sqlite3* db = nullptr;
  const int code = sqlite3_open_v2(snapshot.Utf8Path().c_str(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  db_.reset(db);
  if (code != SQLITE_OK) {
    const std::u16string reason = db != nullptr ? FailureReason(code) : u"メモリが足りません";
    db_.reset();
    return IoResult::Failure(reason);
  }
  // The file is a stranger's: nothing it holds runs as code, and nothing is changed.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_exec(db, "PRAGMA query_only = 1", nullptr, nullptr, nullptr);
  // The copy is this process's alone: its lock is taken once, not at every statement.
  sqlite3_exec(db, "PRAGMA locking_mode = EXCLUSIVE", nullptr, nullptr, nullptr);
  return IoResult::Success();
}

void SqliteDatabase::Index(const char* sql) {
  sqlite3_exec(db_.get(), "PRAGMA query_only = 0", nullptr, nullptr, nullptr);
  sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr);
  sqlite3_exec(db_.get(), "PRAGMA query_only = 1", nullptr, nullptr, nullptr);
}

int SqliteDatabase::FindTable(std::string_view name) const {
  SqliteStatement statement;
  const int code =
      statement.Prepare(*this, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?");
  if (code != SQLITE_OK) return code;
  statement.Bind(1, name);
  return statement.Step();
}

std::u16string SqliteDatabase::FailureReason(int code) const {
  std::u16string reason;
  switch (code & 0xff) {
    case SQLITE_NOTADB:
      reason = u"SQLite のデータベースではないか、暗号化されています";
      break;
    case SQLITE_CORRUPT:
      reason = u"データベースが壊れています";
      break;
    case SQLITE_NOMEM:
      reason = u"メモリが足りません";
      break;
    default:
      reason = u"データベースを読めません";
      break;
  }
  return reason + u"（" + FromUtf8(sqlite3_errmsg(db_.get())) + u"）";
}

int SqliteStatement::Prepare(const SqliteDatabase& db, std::string_view sql) {
  sqlite3_stmt* statement = nullptr;
  const int code =
      sqlite3_prepare_v2(db.get(), sql.data(), static_cast<int>(sql.size()), &statement, nullptr);
  statement_.reset(statement);
  return code;
}

void SqliteStatement::Bind(int index, std::string_view text) {
  sqlite3_bind_text(statement_.get(), index, text.data(), static_cast<int>(text.size()),
                    SQLITE_TRANSIENT);
}

std::optional<std::int64_t> SqliteStatement::OptionalInt(int column) const {
  if (sqlite3_column_type(statement_.get(), column) != SQLITE_INTEGER) return std::nullopt;
  return Int(column);
}

std::string_view SqliteStatement::Bytes(int column) const {
  // The pointer first, then the size, as SQLite asks.
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_.get(), column));
  const int size = sqlite3_column_bytes(statement_.get(), column);
  if (bytes == nullptr || size <= 0) return {};
  return {bytes, static_cast<std::size_t>(size)};
}

}  // namespace velkora
