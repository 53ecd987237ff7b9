#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/interfaces/database_snapshot.h"
#include "engine/interfaces/io_result.h"

namespace velkora {

// One SQLite database, opened on a snapshot and closed when this object goes.
class SqliteDatabase {
 public:
  // Opens the snapshot's copy to be read. Only the copy is written: SQLite brings in what
  // its -wal or -journal holds.
  IoResult Open(const DatabaseSnapshot& snapshot);
  void Close() { db_.reset(); }
  bool IsOpen() const { return db_ != nullptr; }
  // Runs sql (an index the lookups need) on the copy, for speed only: a failure leaves the
  // database as it was.
  void Index(const char* sql);
  sqlite3* get() const { return db_.get(); }
  // SQLITE_ROW when the database has a table (not a view) of this name, SQLITE_DONE when it
  // has none, or why its schema cannot be read.
  int FindTable(std::string_view name) const;
  // Why the last call failed with code, in Japanese, with SQLite's own words.
  std::u16string FailureReason(int code) const;

 private:
  struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
  };
  std::unique_ptr<sqlite3, Closer> db_;
};

// One prepared statement, finalized when it goes.
class SqliteStatement {
 public:
  // SQLITE_OK, or why db cannot prepare sql.
  int Prepare(const SqliteDatabase& db, std::string_view sql);
  void Bind(int index, std::int64_t value) { sqlite3_bind_int64(statement_.get(), index, value); }
  void Bind(int index, std::string_view text);
  // SQLITE_ROW for each row, then SQLITE_DONE or the failure.
  int Step() { return sqlite3_step(statement_.get()); }
  void Reset() { sqlite3_reset(statement_.get()); }

  std::int64_t Int(int column) const { return sqlite3_column_int64(statement_.get(), column); }
  // The value of column when it is an integer; empty for anything else.
  std::optional<std::int64_t> OptionalInt(int column) const;
  bool IsNull(int column) const {
    return sqlite3_column_type(statement_.get(), column) == SQLITE_NULL;
  }
  // The bytes of a text or blob value, valid until the next Step or Reset.
  std::string_view Bytes(int column) const;

 private:
  struct Finalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
  };
  std::unique_ptr<sqlite3_stmt, Finalizer> statement_;
};

}  // namespace velkora
