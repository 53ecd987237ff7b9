#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/sources/chromium/chromium_bookmarks.h"
#include "engine/sources/chromium/chromium_icons.h"
#include "engine/sources/firefox/firefox_icons.h"
#include "engine/sources/firefox/firefox_places.h"
#include "engine/sources/icon_data_uri.h"
#include "engine/text/utf8.h"
#include "platform/database_snapshots.h"
#include "platform/native_platform.h"
#include "tests/browser_databases.h"
#include "tests/chromium_json.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;

// The events of a source in one line: "[name(added,modified)" opens a folder, "]" closes
// it, "title=url@line" is a bookmark, "!line" an unreadable one, "Q" a skipped query.
class TraceEvents final : public BookmarkEvents {
 public:
  std::string trace;
  // The bookmarks after which it asks the source to stop.
  int stopAfter = INT_MAX;
  bool StopRequested() const override { return bookmarks_ >= stopAfter; }

  void OpenFolder(std::u16string& name, const BookmarkDates& dates) override {
    trace += "[" + ToUtf8(name) + Dates(dates) + " ";
  }
  void CloseFolder() override { trace += "] "; }
  void Bookmark(const BookmarkRecord& b) override {
    ++bookmarks_;
    trace += ToUtf8(b.title) + "=" + ToUtf8(b.url) + "@" + std::to_string(b.lineNumber) +
             Dates(b.dates) + (b.icon.empty() ? "" : "+" + ToUtf8(b.icon)) + " ";
  }
  void MalformedBookmark(std::int32_t line, std::u16string_view reason) override {
    const auto has = [reason](std::u16string_view part) {
      return reason.find(part) != std::u16string_view::npos;
    };
    trace += "!" + std::to_string(line) +
             (has(u"循環")       ? "循環"
              : has(u"見つから") ? "迷子"
              : has(u"URL")      ? "URL"
                                 : "種類") +
             " ";
  }
  void SkippedQuery() override { trace += "Q "; }
  void ItemWithoutBookmark() override { trace += "? "; }

 private:
  static std::string Dates(const BookmarkDates& d) {
    if (!d.added && !d.modified) return "";
    const auto text = [](const auto& date) { return date ? std::to_string(*date) : "-"; };
    return "(" + text(d.added) + "," + text(d.modified) + ")";
  }
  int bookmarks_ = 0;
};

// Gives https://c.example/ the smallest PNG there is.
class FakeIcons final : public PageIcons {
 public:
  bool IconOf(std::string_view url, std::string& image) override {
    image = url == "https://c.example/" ? "\x89PNG\r\n\x1a\n" : "";
    return !image.empty();
  }
};

TEST(FirefoxPlacesTest, ReportsTheTreeAsFirefoxShowsIt) {
  const struct {
    const char* rule;
    const char* rows;
    const char* trace;
  } kCases[] = {
      {"in order below the roots' Japanese names, with dates and icons; empty roots make nothing",
       "INSERT INTO moz_places VALUES (1, 'https://a.example/'), (2, 'https://b.example/'),"
       " (3, 'https://c.example/');"
       "INSERT INTO moz_bookmarks VALUES (10, 1, 1, 2, 1, 'A', 1000, 2000, 'a'),"
       " (11, 2, NULL, 2, 0, 'F', 3000, NULL, 'f'), (12, 1, 2, 11, 0, 'B', NULL, NULL, 'b'),"
       " (13, 1, 3, 3, 0, 'C', 5, 6, 'c'), (14, 3, NULL, 6, 0, NULL, 1, 1, 's');",
       "[ブックマークメニュー(1,1) [F(3000,-) B=https://b.example/@12 ] "
       "A=https://a.example/@10(1000,2000) ] [ブックマークツールバー(1,1) "
       "C=https://c.example/@13(5,6)+data:image/png;base64,iVBORw0KGgo= ] "},
      {"separators, the tags and what is below them are passed over, queries skipped",
       "INSERT INTO moz_places VALUES (1, 'place:sort=8'), (2, 'https://t.example/');"
       "INSERT INTO moz_bookmarks VALUES (10, 1, 1, 2, 0, 'Q', 1, 1, 'q'),"
       " (11, 3, NULL, 2, 1, NULL, 1, 1, 's'), (12, 2, NULL, 4, 0, 'tag', 1, 1, 't'),"
       " (13, 1, 2, 12, 0, 'T', 1, 1, 'tt'), (14, 1, 2, 5, 0, 'U', NULL, NULL, 'u');",
       "[ブックマークメニュー(1,1) Q ] [他のブックマーク(1,1) U=https://t.example/@14 ] "},
      {"rows of unknown type, without URL, in a loop of parents or without parent: unreadable",
       "INSERT INTO moz_bookmarks VALUES (10, 7, NULL, 2, 0, 'X', 1, 1, 'x'),"
       " (11, 1, 99, 2, 1, 'N', 1, 1, 'n'), (20, 2, NULL, 21, 0, 'L1', 1, 1, 'l1'),"
       " (21, 2, NULL, 20, 0, 'L2', 1, 1, 'l2'), (22, 1, NULL, 21, 1, 'LB', 1, 1, 'lb'),"
       " (23, 1, NULL, 98, 0, 'O', 1, 1, 'o'), (24, 1, NULL, 24, 0, 'S', 1, 1, 'self');",
       "[ブックマークメニュー(1,1) !10種類 !11URL ] !22循環 !23迷子 !24循環 "},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.rule);
    TempDir dir;
    TestDatabase(dir.path() / "places.sqlite").Run(std::string(kPlacesSchema) + c.rows);
    NativeDatabaseSnapshots snapshots;
    FakeIcons icons;
    FirefoxPlaces places(snapshots, (dir.path() / "places.sqlite").u16string(), &icons);
    for (int read = 0; read < 2; ++read) {
      TraceEvents events;
      ASSERT_TRUE(places.Read(events)) << "read " << read;
      EXPECT_EQ(events.trace, c.trace) << "read " << read;
    }
    // Counted without the rows' details as many as a reading reports.
    SourceCount count;
    BookmarkCounter counter;
    ASSERT_TRUE(places.Count(count) && places.Read(counter));
    EXPECT_EQ(count.bookmarks, counter.count);
  }
}

// Asked to stop after a bookmark, a source reports nothing more, closes the folders it
// opened and succeeds; AccountBookmarks is not read.
TEST(BrowserSourcesTest, StopBetweenTwoBookmarks) {
  TempDir dir;
  const std::string json =
      BookmarksJson({{"bookmark_bar",
                      {"folder",
                       "",
                       "",
                       "",
                       {{"folder", "F", "", "", {{"url", "a", "a:"}, {"url", "b", "b:"}}}}}},
                     {"other", {"folder", "", "", "", {{"url", "c", "c:"}}}}});
  WriteBytes(dir.path() / "Bookmarks", json);
  WriteBytes(dir.path() / "AccountBookmarks", json);
  TestDatabase(dir.path() / "places.sqlite")
      .Run(std::string(kPlacesSchema) +
           "INSERT INTO moz_places VALUES (1, 'a:'), (2, 'b:');"
           "INSERT INTO moz_bookmarks VALUES (10, 2, NULL, 2, 0, 'F', 1, 1, 'f'),"
           " (11, 1, 1, 10, 0, 'a', 1, 1, 'a'), (12, 1, 2, 10, 1, 'b', 1, 1, 'b'),"
           " (13, 1, 2, 3, 0, 'c', 1, 1, 'c');");
  NativePlatform platform;
  NativeDatabaseSnapshots snapshots;
  ChromiumBookmarks chromium(platform.Services().streams, (dir.path() / "Bookmarks").u16string());
  FirefoxPlaces places(snapshots, (dir.path() / "places.sqlite").u16string());
  const struct {
    BookmarkSource& source;
    const char* trace;
  } kCases[] = {{chromium, "[ブックマーク バー [F a=a:@4 ] ] "},
                {places, "[ブックマークメニュー(1,1) [F(1,1) a=a:@11(1,1) ] ] "}};
  for (const auto& c : kCases) {
    TraceEvents events;
    events.stopAfter = 1;
    EXPECT_TRUE(c.source.Read(events));
    EXPECT_EQ(events.trace, c.trace);
  }
}

TEST(FirefoxPlacesTest, SaysWhyAFileIsNoPlacesDatabase) {
  const auto sql = [](std::string text) {
    return [text](const fs::path& file) { TestDatabase(file).Run(text); };
  };
  const struct {
    std::function<void(const fs::path&)> make;
    const char* reason;
  } kCases[] = {
      {sql("CREATE TABLE t (x)"),
       "places.sqlite）ではありません（moz_bookmarks の表がありません）"},
      {sql(std::string(kPlacesSchema) + "DELETE FROM moz_bookmarks WHERE id = 1"),
       "places.sqlite）ではありません（ブックマークのルートがありません）"},
      {sql("CREATE TABLE moz_places (id); CREATE TABLE moz_bookmarks (id, guid);"
           "INSERT INTO moz_bookmarks VALUES (1, 'root________')"),
       "places.sqlite）ではありません（no such column"},
      {[](const fs::path& file) { WriteBytes(file, "SQLite format 3" + std::string(4096, '\0')); },
       "SQLite のデータベースではないか、暗号化されています"},
      {[](const fs::path& file) {
         TestDatabase(file).Run(kPlacesSchema);
         std::string bytes = ReadBytes(file);
         bytes.replace(100, 3900, 3900, '\x55');
         WriteBytes(file, bytes);
       },
       "データベースが壊れています"},
      {[](const fs::path&) {}, "ファイルがありません"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.reason);
    TempDir dir;
    c.make(dir.path() / "places.sqlite");
    NativeDatabaseSnapshots snapshots;
    TraceEvents events;
    const IoResult read =
        FirefoxPlaces(snapshots, (dir.path() / "places.sqlite").u16string()).Read(events);
    EXPECT_FALSE(read);
    EXPECT_NE(ToUtf8(read.reason).find(c.reason), std::string::npos) << ToUtf8(read.reason);
    EXPECT_EQ(events.trace, "");
  }
}

TEST(DatabaseSnapshotTest, CopiesTheDatabaseWithItsJournalsAndRemovesTheCopy) {
  TempDir dir;
  const fs::path profile = LiteralPath(dir.path() / fs::path(u8"プロファイル"));
  fs::create_directory(profile);
  for (const std::string suffix : {"", "-wal", "-journal", "-shm"}) {
    WriteBytes(profile / ("places.sqlite" + suffix), "bytes of" + suffix);
  }
  NativeDatabaseSnapshots snapshots;
  std::unique_ptr<DatabaseSnapshot> snapshot;
  ASSERT_TRUE(snapshots.Take((profile / "places.sqlite").u16string(), snapshot));
  ASSERT_NE(snapshot, nullptr);
  const fs::path copy(std::u8string(snapshot->Utf8Path().begin(), snapshot->Utf8Path().end()));
  EXPECT_EQ(ListTree(copy.parent_path()),
            (std::vector<std::string>{"database", "database-journal", "database-wal",
                                      "velkora-snapshot-owner"}));
  EXPECT_EQ(ReadBytes(copy.string() + "-wal"), "bytes of-wal");
  snapshot.reset();
  EXPECT_FALSE(fs::exists(copy.parent_path()));
  EXPECT_EQ(ListTree(profile).size(), 4u);
  ASSERT_TRUE(snapshots.Take((profile / "gone.sqlite").u16string(), snapshot));
  EXPECT_EQ(snapshot, nullptr);
}

TEST(FirefoxPlacesTest, ReadsWhatFirefoxHoldsLockedWithoutWritingToIt) {
  TempDir dir;
  const fs::path file = dir.path() / "places.sqlite";
  TestDatabase firefox(file);
  // As Firefox holds it while it runs: locked, and the last changes only in the -wal file.
  firefox.Run(std::string("PRAGMA locking_mode = EXCLUSIVE; PRAGMA journal_mode = WAL;") +
              kPlacesSchema + "INSERT INTO moz_places VALUES (1, 'https://w.example/');" +
              "INSERT INTO moz_bookmarks VALUES (10, 1, 1, 2, 0, 'W', NULL, NULL, 'w');");
  const std::vector<std::string> before = {ReadBytes(file), ReadBytes(file.string() + "-wal")};
  NativeDatabaseSnapshots snapshots;
  TraceEvents events;
  ASSERT_TRUE(FirefoxPlaces(snapshots, file.u16string()).Read(events));
  EXPECT_EQ(events.trace, "[ブックマークメニュー(1,1) W=https://w.example/@10 ] ");
  EXPECT_EQ(before, (std::vector<std::string>{ReadBytes(file), ReadBytes(file.string() + "-wal")}));
}

TEST(PageIconsTest, TakesTheIconOfTheSizeEachBrowserShows) {
  // Each icon: its width, and 'p' for a PNG, 'i' for an ICO, 's' for an SVG image; on the
  // page asked for unless 'o' (another page) follows.
  const struct {
    bool firefox;
    std::vector<std::string> icons;
    int width;  // of the icon taken, 0 for none
  } kCases[] = {
      {true, {"16p", "32p", "64p"}, 32},
      {true, {"128p", "64p"}, 64},
      {true, {"16p", "32s"}, 16},
      {true, {"16p", "24i"}, 24},
      {true, {"16po"}, 0},
      {false, {"32p", "16p", "64p"}, 16},
      {false, {"8p", "12p"}, 12},
      {false, {"32p", "20p"}, 20},
      {false, {"16i", "32p"}, 32},
      {false, {"16po"}, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(c.icons));
    TempDir dir;
    TestDatabase db(dir.path() / "icons");
    db.Run(std::string(c.firefox ? kFirefoxIconsSchema : kChromiumIconsSchema) +
           (c.firefox ? "INSERT INTO moz_pages_w_icons VALUES (1, 'https://p.example/'), (2, 'o');"
                      : ""));
    for (std::size_t i = 0; i < c.icons.size(); ++i) {
      const std::string& icon = c.icons[i];
      const int width = std::stoi(icon);
      const char kind = icon[icon.find_first_not_of("0123456789")];
      const std::string data = std::string(kind == 'p'   ? "X'89504E470D0A1A0A"
                                           : kind == 'i' ? "X'00000100"
                                                         : "X'3C737667") +
                               (width < 16 ? "0" : "") +
                               (std::stringstream() << std::hex << width).str() + "'";
      const std::string id = std::to_string(i + 1);
      const std::string page = icon.back() == 'o' ? "'o'" : "'https://p.example/'";
      db.Run(c.firefox ? "INSERT INTO moz_icons VALUES (" + id + ", " + std::to_string(width) +
                             ", " + data + "); INSERT INTO moz_icons_to_pages VALUES (" +
                             (icon.back() == 'o' ? "2" : "1") + ", " + id + ")"
                       : "INSERT INTO favicon_bitmaps VALUES (" + id + ", " + id + ", " + data +
                             ", " + std::to_string(width) + "); INSERT INTO icon_mapping VALUES (" +
                             id + ", " + page + ", " + id + ")");
    }
    NativeDatabaseSnapshots snapshots;
    FirefoxIcons firefox;
    ChromiumIcons chromium;
    PageIcons& icons = c.firefox ? static_cast<PageIcons&>(firefox) : chromium;
    ASSERT_TRUE(c.firefox ? firefox.Open(snapshots, (dir.path() / "icons").u16string())
                          : chromium.Open(snapshots, (dir.path() / "icons").u16string()));
    std::string image;
    EXPECT_EQ(icons.IconOf("https://p.example/", image), c.width != 0);
    EXPECT_EQ(image.empty() ? 0 : static_cast<unsigned char>(image.back()), c.width);
  }
}

TEST(IconDataUriTest, NamesTheImageTypeByItsSignature) {
  const struct {
    std::string bytes;
    const char* uri;
  } kCases[] = {
      {"\x89PNG\r\n\x1a\n", "data:image/png;base64,iVBORw0KGgo="},
      {std::string("\0\0\1\0\1", 5), "data:image/x-icon;base64,AAABAAE="},
      {std::string("\0\0\1\0", 4), "data:image/x-icon;base64,AAABAA=="},
      {"GIF89a", ""},
      {"<svg", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(ToUtf8(IconDataUri(c.bytes)), c.uri);
}

}  // namespace
}  // namespace velkora::testing

namespace velkora::testing {
namespace {

// Every file and folder below root with its bytes and its time of last write.
std::vector<std::string> TreeWithBytesAndTimes(const fs::path& root) {
  std::vector<std::string> listed;
  for (const std::string& entry : ListTree(root)) {
    // A folder is listed with a "/" after its name, which Windows does not take.
    const fs::path path =
        root / fs::u8path(entry.ends_with('/') ? entry.substr(0, entry.size() - 1) : entry);
    std::string line =
        entry + " @" + std::to_string(fs::last_write_time(path).time_since_epoch().count());
    if (fs::is_regular_file(path)) line += " " + ReadBytes(path);
    listed.push_back(line);
  }
  return listed;
}

// The same bookmarks as a browser's export and as the browser's own store give the same
// shortcuts, folders and times: the store is told by its bytes, whatever the file's name.
TEST(BrowserStores, GiveTheTreeTheirExportGives) {
  constexpr long long kAdded = 1700000000;  // seconds since 1970
  constexpr long long k1601 = 11644473600;  // seconds from 1601 to 1970
  const std::string added = std::to_string(kAdded);
  const std::string export_ =
      "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META CHARSET=\"UTF-8\">\n<DL><p>\n"
      "<DT><H3 ADD_DATE=\"" +
      added + "\" LAST_MODIFIED=\"" + added +
      "\">%s</H3>\n<DL><p>\n"
      "<DT><A HREF=\"http://a/\" ADD_DATE=\"" +
      added +
      "\">one</A>\n"
      "<DT><H3 ADD_DATE=\"" +
      added + "\" LAST_MODIFIED=\"" + added +
      "\">sub</H3>\n<DL><p>\n"
      "<DT><A HREF=\"http://b/?q=1\" ADD_DATE=\"" +
      added + "\">two</A>\n</DL><p>\n</DL><p>\n</DL><p>\n";
  const auto exportOf = [&](const std::string& root) {
    std::string text = export_;
    return text.replace(text.find("%s"), 2, root);
  };
  const std::string chromiumDate = std::to_string((kAdded + k1601) * 1000000);
  const std::string json = BookmarksJson(
      {{"bookmark_bar",
        JsonNode("folder", "bar", "", chromiumDate,
                 {JsonNode("url", "one", "http://a/", chromiumDate),
                  JsonNode("folder", "sub", "", chromiumDate,
                           {JsonNode("url", "two", "http://b/?q=1", chromiumDate)})})},
       {"other", JsonNode("folder", "other", "", chromiumDate)}});
  const std::string us = std::to_string(kAdded * 1000000);
  const auto writePlaces = [&](const fs::path& file) {
    TestDatabase places(file);
    places.Run(kPlacesSchema);
    places.Run("UPDATE moz_bookmarks SET dateAdded = " + us + ", lastModified = " + us +
               "; INSERT INTO moz_places VALUES (1, 'http://a/'), (2, 'http://b/?q=1');"
               "INSERT INTO moz_bookmarks VALUES (10, 1, 1, 3, 0, 'one', " +
               us + ", " + us + ", 'a'), (11, 2, NULL, 3, 1, 'sub', " + us + ", " + us +
               ", 'b'),"
               " (12, 1, 2, 11, 0, 'two', " +
               us + ", " + us + ", 'c');");
  };
  struct Case {
    const char* store;
    std::string root;  // the top folder's name as the browser shows it
    std::function<void(ConversionFixture&)> write;
  };
  const Case cases[] = {
      {"Chromium's Bookmarks", "ブックマーク バー",
       [&](ConversionFixture& f) { f.WriteBookmarkBytes(json); }},
      {"Firefox's places.sqlite", "ブックマークツールバー",
       [&](ConversionFixture& f) {
         fs::remove(f.BookmarkFile());
         writePlaces(f.BookmarkFile());
       }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.store);
    ConversionFixture exported;
    exported.WriteBookmarkBytes(exportOf(test.root));
    ASSERT_TRUE(exported.Convert().AllWritten());
    ConversionFixture stored;
    test.write(stored);
    const ConversionReport report = stored.Convert();
    EXPECT_TRUE(report.AllWritten()) << ToUtf8(stored.window.messages.back());
    EXPECT_EQ(report.written, 2);
    EXPECT_EQ(TreeWithBytesAndTimes(stored.Out()), TreeWithBytesAndTimes(exported.Out()));
  }
}

}  // namespace
}  // namespace velkora::testing
