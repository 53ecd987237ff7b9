#include "tests/browser_databases.h"

#include <stdexcept>

namespace velkora::testing {

TestDatabase::TestDatabase(const std::filesystem::path& path) {
  if (sqlite3_open(reinterpret_cast<const char*>(path.u8string().c_str()), &db_) != SQLITE_OK) {
    throw std::runtime_error("cannot open " + path.string());
  }
  Run("PRAGMA synchronous = OFF");
}

void TestDatabase::Run(const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string text = error != nullptr ? error : "?";
    sqlite3_free(error);
    throw std::runtime_error(text + " in " + sql);
  }
}

}  // namespace velkora::testing
