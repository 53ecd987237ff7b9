#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <string>

namespace velkora::testing {

// The tables and columns of Firefox's places.sqlite that are read, with its roots.
inline constexpr char kPlacesSchema[] =
    "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR);"
    "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,"
    " parent INTEGER, position INTEGER, title LONGVARCHAR, dateAdded INTEGER,"
    " lastModified INTEGER, guid TEXT);"
    "INSERT INTO moz_bookmarks VALUES (1, 2, NULL, 0, 0, '', 1, 1, 'root________'),"
    " (2, 2, NULL, 1, 0, 'menu', 1, 1, 'menu________'),"
    " (3, 2, NULL, 1, 1, 'toolbar', 1, 1, 'toolbar_____'),"
    " (4, 2, NULL, 1, 2, 'tags', 1, 1, 'tags________'),"
    " (5, 2, NULL, 1, 3, 'unfiled', 1, 1, 'unfiled_____'),"
    " (6, 2, NULL, 1, 4, 'mobile', 1, 1, 'mobile______');";

// favicons.sqlite's and Chromium's Favicons' tables that are read.
inline constexpr char kFirefoxIconsSchema[] =
    "CREATE TABLE moz_icons (id INTEGER PRIMARY KEY, width INTEGER, data BLOB);"
    "CREATE TABLE moz_pages_w_icons (id INTEGER PRIMARY KEY, page_url TEXT);"
    "CREATE TABLE moz_icons_to_pages (page_id INTEGER, icon_id INTEGER);";
inline constexpr char kChromiumIconsSchema[] =
    "CREATE TABLE favicons (id INTEGER PRIMARY KEY);"
    "CREATE TABLE favicon_bitmaps (id INTEGER PRIMARY KEY, icon_id INTEGER, image_data BLOB,"
    " width INTEGER);"
    "CREATE TABLE icon_mapping (id INTEGER PRIMARY KEY, page_url LONGVARCHAR, icon_id INTEGER);";

// A database open on the file at path, made when there is none, closed when it goes.
class TestDatabase {
 public:
  explicit TestDatabase(const std::filesystem::path& path);
  ~TestDatabase() { sqlite3_close(db_); }
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  // Runs sql, which must succeed.
  void Run(const std::string& sql);

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace velkora::testing
