#include "engine/sources/chromium/chromium_bookmarks.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "engine/sources/icon_data_uri.h"
#include "engine/text/utf8.h"
#include "tests/chromium_json.h"
#include "tests/test_support.h"

namespace velkora {
namespace {

using testing::BookmarksJson;
using testing::JsonNode;

// The events a source reports, one text each, dates in brackets; and the failure, if any.
class EventLog final : public BookmarkEvents {
 public:
  std::vector<std::string> events;
  void OpenFolder(std::u16string& name, const BookmarkDates& dates) override {
    events.push_back("open " + ToUtf8(name) + Dates(dates));
  }
  void CloseFolder() override { events.push_back("close"); }
  void Bookmark(const BookmarkRecord& b) override {
    events.push_back(std::to_string(b.lineNumber) + " " + ToUtf8(b.url) + " " + ToUtf8(b.title) +
                     Dates(b.dates) + ToUtf8(b.icon.substr(0, 14)));
  }
  void MalformedBookmark(std::int32_t line, std::u16string_view reason) override {
    events.push_back("malformed " + std::to_string(line) + " " + ToUtf8(reason));
  }
  void SkippedQuery() override {}
  void ItemWithoutBookmark() override {}
  static std::string Dates(const BookmarkDates& d) {
    if (!d.added && !d.modified) return "";
    return " (" + (d.added ? std::to_string(*d.added) : "-") + " " +
           (d.modified ? std::to_string(*d.modified) : "-") + ")";
  }
};

class OneIcon final : public PageIcons {
 public:
  bool IconOf(std::string_view url, std::string& image) override {
    image = url == "i:" ? std::string("\x89PNG\r\n\x1a\n", 8) : "";
    return !image.empty();
  }
};

using Roots = std::vector<std::pair<std::string, JsonNode>>;
using Events = std::vector<std::string>;
constexpr const char* kDate = "13000000000000000";  // 2012-12-15 in microseconds since 1601
const JsonNode kBookmark{"url", "A", "a:", kDate};
const JsonNode kEmpty{"folder", "E"};
const JsonNode kTree{
    "folder", "stored", "", "", {kBookmark, {"folder", "F", "", kDate, {{"url", "B", "i:"}}}}};

// The events of kBookmark, and of kTree's contents, when it starts on line.
std::string BookmarkEvent(int line) { return std::to_string(line) + " a: A (1355526400000000 -)"; }
Events TreeEvents(int line) {
  return {BookmarkEvent(line), "open F (1355526400000000 1355526400000000)",
          std::to_string(line + 2) + " i: Bdata:image/png", "close"};
}
Events In(const std::string& folder, Events events) {
  events.insert(events.begin(), "open " + folder);
  events.push_back("close");
  return events;
}
Events Join(Events events, const Events& more) {
  events.insert(events.end(), more.begin(), more.end());
  return events;
}
// A file's text with its keys in Chromium's order and in the reverse one.
std::array<std::string, 2> Json(const Roots& roots) {
  return {BookmarksJson(roots), BookmarksJson(roots, true)};
}
std::array<std::string, 2> Raw(const std::string& text) { return {text, text}; }

// Every rule of the JSON source: roots named by family (unknown ones by their stored name,
// empty ones not at all), account bookmarks below their folder, dates from 1601, nodes of
// no known type, keys in either order, and files that are not Bookmarks files.
TEST(ChromiumBookmarks, ReadsTheRootsAndNodesAsTheBrowserShowsThem) {
  const std::string unknownType = "種類（type）が \"url\" でも \"folder\" でもありません";
  const struct {
    std::array<std::string, 2> bookmarks, account;  // "" for no account file
    ChromiumFamily family;
    Events events;
    std::string failure = "";
  } cases[] = {
      {Json({{"bookmark_bar", kTree}, {"other", kEmpty}, {"synced", kTree}}),
       {},
       ChromiumFamily::kChrome,
       Join(In("ブックマーク バー", TreeEvents(3)), In("モバイルのブックマーク", TreeEvents(8)))},
      {Json({{"other", kTree}, {"synced", kEmpty}}),
       {},
       ChromiumFamily::kEdge,
       In("その他のお気に入り", TreeEvents(3))},
      {Json(
           {{"bookmark_bar", {"folder", "x", "", "", {kBookmark}}}, {"x_y", kTree}, {"z", kEmpty}}),
       {},
       ChromiumFamily::kEdge,
       Join(In("お気に入りバー", {BookmarkEvent(3)}), In("stored", TreeEvents(5)))},
      {Json({{"w", {"folder", "", "", "", {kBookmark}}}}),
       {},
       ChromiumFamily::kChrome,
       In("w", {BookmarkEvent(3)})},
      {Json({{"other", {"folder", "", "", "", {{"separator"}, {""}, {"url", "u", "-"}, kEmpty}}}}),
       {},
       ChromiumFamily::kChrome,
       In("その他のブックマーク",
          {"malformed 3 " + unknownType, "malformed 4 " + unknownType,
           "malformed 5 種類が \"url\" なのに URL（url）がありません", "open E", "close"})},
      {Json({{"bookmark_bar", {"folder", "", "", "", {kBookmark}}}}),
       Json({{"other", kTree}, {"synced", kEmpty}}), ChromiumFamily::kChrome,
       Join(In("ブックマーク バー", {BookmarkEvent(3)}),
            In("アカウントのブックマーク", In("その他のブックマーク", TreeEvents(3))))},
      {Json({{"synced", {"folder", "", "", "", {kBookmark}}}}), Json({{"other", kEmpty}}),
       ChromiumFamily::kChrome, In("モバイルのブックマーク", {BookmarkEvent(3)})},
      {Raw("{\"roots\": {\"other\": \n {\"名前\": x}}}"),
       {},
       ChromiumFamily::kChrome,
       {},
       "ブックマークファイルを読めません（JSON として正しくありません）: 行 2、列 9: "
       "値として読めない文字があります"},
      {Raw("{\"roots\": {\"other\": {\"children\": ["),
       {},
       ChromiumFamily::kChrome,
       {},
       "行 1、列 35: 値の途中でファイルが終わっています"},
      {Raw(std::string("{\"roots\": {}}\n\0{}", 17)),
       {},
       ChromiumFamily::kChrome,
       {},
       "行 2、列 1: 値のあとに余分な文字があります"},
      {Raw("{\"roots\": {\"x\": " + std::string(1000, '[') + std::string(1000, ']') + "}}"),
       {},
       ChromiumFamily::kChrome,
       {},
       "行 1、列 1015: 入れ子が深すぎます（1000 段を超えています）"},
      {Raw("{\"roots\": {}}"),
       Raw("{\"roots\"}"),
       ChromiumFamily::kChrome,
       {},
       "AccountBookmarks: ブックマークファイルを読めません（JSON として正しくありません）: 行 "
       "1、列 9"},
      {Raw("{\"roots\":{\"other\":{\"children\":[{\"children\":[{\"type\":\"url\",\"url\":\"a:\"}],"
           "\"name\":\"u\",\"type\":\"url\",\"url\":\"b:\"},{\"children\":[{\"url\":\"c:\"}]}]}}}"),
       {},
       ChromiumFamily::kChrome,
       In("その他のブックマーク", {"1 b: u", "malformed 1 " + unknownType})},
      {Raw(" \n"), {}, ChromiumFamily::kChrome, {}, "ファイルが空です"},
      {Raw("[{\"roots\":{}}]"), {}, ChromiumFamily::kChrome, {}, "Chromium 系ブラウザーの"},
      {Raw("{\"version\":1,\"roots\":[]}"),
       {},
       ChromiumFamily::kChrome,
       {},
       "Chromium 系ブラウザーの"},
  };
  for (const auto& c : cases) {
    for (const int order : {0, 1}) {
      testing::TempDir dir;
      testing::WriteBytes(dir.path() / "Bookmarks", c.bookmarks[order]);
      if (!c.account[order].empty()) {
        testing::WriteBytes(dir.path() / "AccountBookmarks", c.account[order]);
      }
      NativePlatform platform;
      OneIcon icons;
      ChromiumBookmarks source(platform.Services().streams, (dir.path() / "Bookmarks").u16string(),
                               c.family, &icons);
      // Read with what counting found, then once more without it.
      SourceCount count;
      const IoResult counted = source.Count(count);
      EventLog log;
      const IoResult read = source.Read(log);
      EXPECT_EQ(log.events, c.events) << c.bookmarks[order];
      EXPECT_EQ(read.ok, c.failure.empty()) << c.bookmarks[order];
      EXPECT_NE(ToUtf8(read.reason).find(c.failure), std::string::npos) << ToUtf8(read.reason);
      BookmarkCounter counter;
      EXPECT_EQ(source.Read(counter).ok, read.ok);
      EXPECT_EQ(counted.ok, read.ok);
      EXPECT_EQ(count.bookmarks, read ? counter.count : 0) << c.bookmarks[order];
    }
  }
}

TEST(IconDataUri, NamesTheImageByItsSignature) {
  EXPECT_EQ(ToUtf8(IconDataUri(std::string("\x89PNG\r\n\x1a\n", 8))),
            "data:image/png;base64,iVBORw0KGgo=");
  EXPECT_EQ(ToUtf8(IconDataUri(std::string("\0\0\1\0\1", 5))), "data:image/x-icon;base64,AAABAAE=");
  EXPECT_EQ(IconDataUri("GIF89a"), u"");
}

}  // namespace
}  // namespace velkora
