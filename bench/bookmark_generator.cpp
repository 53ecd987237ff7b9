#include "bench/bookmark_generator.h"

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/text/utf8.h"
#include "platform/posix/code_page_932.h"
#include "tests/base64_encoding.h"
#include "tests/browser_databases.h"

namespace velkora::bench {
namespace {

constexpr std::array<std::string_view, 8> kTopics{"ニュース", "買い物", "旅行", "料理",
                                                  "仕事",     "趣味",   "学習", "暮らし"};
constexpr std::array<std::string_view, 6> kKinds{"国内",       "海外", "お気に入り",
                                                 "あとで読む", "資料", "よく見る"};
constexpr std::array<std::string_view, 10> kWords{
    "東京の天気", "新しい駅", "季節の野菜", "温泉旅館",     "電車の時刻表",
    "図書館",     "秋の紅葉", "家計簿",     "日本語の辞書", "地震の情報"};
constexpr std::array<std::string_view, 5> kEndings{"について", "のまとめ", "の案内", "を調べる",
                                                   "の最新記事"};

// Lines in UTF-8 go out in code page 932, each followed by CR LF, or as they are, each
// followed by LF.
class BookmarkFileWriter {
 public:
  explicit BookmarkFileWriter(const std::filesystem::path& file, bool utf8 = false)
      : out_(file, std::ios::binary | std::ios::trunc), utf8_(utf8) {
    if (!out_) throw std::runtime_error("cannot create " + file.string());
  }

  void Line(std::string_view utf8) {
    const std::string bytes =
        utf8_ ? std::string(utf8) : CodePage932::Instance().ToAnsi(FromUtf8(utf8));
    const std::string_view end = utf8_ ? "\n" : "\r\n";
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out_.write(end.data(), static_cast<std::streamsize>(end.size()));
    written_ += static_cast<std::int64_t>(bytes.size() + end.size());
    ++lines_;
  }

  void Close() {
    out_.close();
    if (!out_) throw std::runtime_error("cannot write a bookmark file");
  }

  std::int64_t Written() const { return written_; }
  std::int64_t Lines() const { return lines_; }

 private:
  std::ofstream out_;
  bool utf8_;
  std::int64_t written_ = 0;
  std::int64_t lines_ = 0;
};

// A Japanese title, different for every number.
std::string Title(int number) {
  return std::string(kWords[number % kWords.size()]) +
         std::string(kEndings[(number / kWords.size()) % kEndings.size()]) + "　その" +
         std::to_string(number);
}

// What a file for a re-run changes of a bookmark.
enum class Change { kNone, kUrl, kTitle };

Change ChangeOf(int number, int changeEvery) {
  if (changeEvery <= 0 || number % changeEvery != changeEvery / 2) return Change::kNone;
  return (number / changeEvery) % 2 == 0 ? Change::kUrl : Change::kTitle;
}

// The bookmark line of bookmark number, with the attributes a browser writes.
std::string BookmarkLine(int number, Change change = Change::kNone) {
  return "<DT><LI><A HREF=\"https://www.example.co.jp/section" + std::to_string(number % 97) +
         "/article" + std::to_string(number) + ".html?from=bookmark" +
         (change == Change::kUrl ? "&v=2" : "") + "\" ADD_DATE=\"" +
         std::to_string(1701302400 + number) + "\" LAST_VISIT=\"1701388800\">" + Title(number) +
         (change == Change::kTitle ? "（改訂版）" : "") + "</A>";
}

// The line that opens a folder named name and number.
std::string FolderLine(std::string_view name, int number) {
  return "<DT><LI>" + std::string(name) + std::to_string(number) + "<UL>";
}

// The lines before the first folder and after the last.
void Header(BookmarkFileWriter& writer) {
  writer.Line("<HTML>");
  writer.Line("<HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">");
  writer.Line("<TITLE>ブックマーク</TITLE></HEAD>");
  writer.Line("<BODY><H1>ブックマーク</H1>");
  writer.Line("<UL>");
}

void Footer(BookmarkFileWriter& writer) {
  writer.Line("</UL>");
  writer.Line("</BODY></HTML>");
}

// The icons of an export's bookmarks: as many distinct ones as a browser's export of
// many sites holds.
constexpr int kDistinctIcons = 200;

// The CRC of a PNG chunk's type and data.
std::uint32_t PngCrc(std::string_view bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char byte : bytes) {
    crc ^= static_cast<unsigned char>(byte);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

std::string BigEndian(std::uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
          static_cast<char>(value >> 8), static_cast<char>(value)};
}

// The ICON value of icon number n: a 16 x 16 PNG, made distinct by a text chunk that
// names it, as a data: URI.
const std::string& IconValue(int n) {
  static const std::vector<std::string> values = [] {
    // A 16 x 16 PNG of one colour, from zlib: its signature and IHDR, then its IDAT and IEND.
    const std::string png = std::string(
        "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0\x1f\xf3\xff"
        "a\0\0\0\x19IDATx\xda"
        "cPhx\xf0\x9f\x12\xcc"
        "0j\xc0\xa8\x01\xa3\x06\x0c\x17\x03\0\xc9"
        "\x80\x7f\x1f\n\xa1\"\xd0\0\0\0\0IEND\xae"
        "B`\x82",
        82);
    std::vector<std::string> made;
    for (int icon = 0; icon < kDistinctIcons; ++icon) {
      const std::string chunk = "tEXtComment\0icon " + std::to_string(icon);
      const std::string text = BigEndian(static_cast<std::uint32_t>(chunk.size() - 4)) + chunk +
                               BigEndian(PngCrc(chunk));
      made.push_back("data:image/png;base64," +
                     EncodeBase64(png.substr(0, 33) + text + png.substr(33)));
    }
    return made;
  }();
  return values[static_cast<std::size_t>(n % kDistinctIcons)];
}

// The same bookmark in a browser's export: indented, with an icon (one of kDistinctIcons)
// and "&amp;" in the URL.
std::string NetscapeBookmark(int number) {
  return "        <DT><A HREF=\"https://www.example.co.jp/section" + std::to_string(number % 97) +
         "/article" + std::to_string(number) +
         ".html?from=bookmark&amp;n=" + std::to_string(number) + "\" ADD_DATE=\"" +
         std::to_string(1701302400 + number) + "\" ICON=\"" + IconValue(number) + "\">" +
         Title(number) + "</A>";
}

void WriteNetscapeTreeFile(const std::filesystem::path& file, const TreeShape& shape) {
  BookmarkFileWriter writer(file, true);
  int bookmark = 0;
  const auto folder = [&](const std::string& name) {
    writer.Line("    <DT><H3 ADD_DATE=\"1701302400\" LAST_MODIFIED=\"1701388800\">" + name +
                "</H3>");
    writer.Line("    <DL><p>");
    for (int i = 0; i < shape.bookmarksPerFolder; ++i) writer.Line(NetscapeBookmark(++bookmark));
  };
  writer.Line("<!DOCTYPE NETSCAPE-Bookmark-file-1>");
  writer.Line("<!-- This is an automatically generated file.");
  writer.Line("     It will be read and overwritten.");
  writer.Line("     DO NOT EDIT! -->");
  writer.Line("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">");
  writer.Line("<TITLE>Bookmarks</TITLE>");
  writer.Line("<H1>Bookmarks</H1>");
  writer.Line("<DL><p>");
  for (int top = 0; top < shape.top; ++top) {
    folder(std::string(kTopics[top % kTopics.size()]) + std::to_string(top + 1));
    for (int second = 0; second < shape.second; ++second) {
      folder(std::string(kKinds[second % kKinds.size()]) + std::to_string(second + 1));
      for (int third = 0; third < shape.third; ++third) {
        folder("第" + std::to_string(third + 1) + "集の" + std::to_string(third + 1));
        writer.Line("    </DL><p>");
      }
      writer.Line("    </DL><p>");
    }
    writer.Line("    </DL><p>");
  }
  writer.Line("</DL><p>");
  writer.Close();
}

// The name of folder index (from 0) of its level (0: the top) of a tree.
std::string FolderName(int level, int index) {
  if (level == 0) return std::string(kTopics[index % kTopics.size()]) + std::to_string(index + 1);
  if (level == 1) return std::string(kKinds[index % kKinds.size()]) + std::to_string(index + 1);
  return "第" + std::to_string(index + 1) + "集の" + std::to_string(index + 1);
}

std::string StoreUrl(int number) {
  return "https://www.example.co.jp/section" + std::to_string(number % 97) + "/article" +
         std::to_string(number) + ".html?from=bookmark&n=" + std::to_string(number);
}

// Walks the folders of shape depth first: open(name, first) as each opens, its bookmarks
// numbered from first, then its folders, then close().
template <typename Open, typename Close>
void WalkTree(const TreeShape& shape, Open open, Close close) {
  const int counts[] = {shape.top, shape.second, shape.third};
  int bookmark = 0;
  const auto walk = [&](const auto& self, int level) -> void {
    for (int i = 0; i < counts[level]; ++i) {
      open(FolderName(level, i), bookmark + 1);
      bookmark += shape.bookmarksPerFolder;
      if (level < 2) self(self, level + 1);
      close();
    }
  };
  walk(walk, 0);
}

// A Chromium browser's Bookmarks file: its keys in the browser's order, "children" first,
// the tree below the bookmark bar.
void WriteChromiumTreeFile(const std::filesystem::path& file, const TreeShape& shape) {
  BookmarkFileWriter writer(file, true);
  const std::string date = "\"13347830400000000\"";  // 2023-12-01 in microseconds since 1601
  std::vector<std::string> names;
  std::vector<char> first{1};
  const auto comma = [&] { return std::exchange(first.back(), char{0}) != 0 ? "" : ","; };
  const auto folderEnd = [&](const std::string& name) {
    return "],\"date_added\":" + date + ",\"date_modified\":" + date + ",\"id\":\"1\",\"name\":\"" +
           name + "\",\"type\":\"folder\"}";
  };
  writer.Line("{\"checksum\":\"0\",\"roots\":{\"bookmark_bar\":{\"children\":[");
  WalkTree(
      shape,
      [&](const std::string& name, int firstBookmark) {
        writer.Line(std::string(comma()) + "{\"children\":[");
        names.push_back(name);
        first.push_back(1);
        for (int n = firstBookmark; n < firstBookmark + shape.bookmarksPerFolder; ++n) {
          writer.Line(std::string(comma()) + "{\"date_added\":\"" +
                      std::to_string(13347830400000000LL + n * 1000000LL) + "\",\"id\":\"" +
                      std::to_string(n) + "\",\"name\":\"" + Title(n) +
                      "\",\"type\":\"url\",\"url\":\"" + StoreUrl(n) + "\"}");
        }
      },
      [&] {
        first.pop_back();
        writer.Line(folderEnd(names.back()));
        names.pop_back();
      });
  writer.Line(folderEnd("Bookmarks bar") + "},\"version\":1}");
  writer.Close();
}

// Runs sql on db, which must succeed.
void Run(sqlite3* db, const std::string& sql) {
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    throw std::runtime_error(std::string("places: ") + sqlite3_errmsg(db));
  }
}

// Firefox's places.sqlite with the tree below the bookmarks toolbar.
void WritePlacesTreeFile(const std::filesystem::path& file, const TreeShape& shape) {
  std::filesystem::remove(file);
  sqlite3* db = nullptr;
  const int opened = sqlite3_open(file.c_str(), &db);
  const std::unique_ptr<sqlite3, decltype(&sqlite3_close)> held(db, sqlite3_close);
  if (opened != SQLITE_OK) throw std::runtime_error("cannot create " + file.string());
  Run(db, std::string("BEGIN;") + velkora::testing::kPlacesSchema);
  constexpr long long kDate = 1701388800000000;  // 2023-12-01 in microseconds since 1970
  int id = 100;
  std::vector<int> parents{3};  // the toolbar
  std::vector<int> positions{0};
  const auto row = [&](int type, const std::string& fk, const std::string& title, long long date) {
    ++id;
    Run(db, "INSERT INTO moz_bookmarks VALUES (" + std::to_string(id) + "," + std::to_string(type) +
                "," + fk + "," + std::to_string(parents.back()) + "," +
                std::to_string(positions.back()++) + ",'" + title + "'," + std::to_string(date) +
                "," + std::to_string(date) + ",'g" + std::to_string(id) + "')");
  };
  WalkTree(
      shape,
      [&](const std::string& name, int firstBookmark) {
        row(2, "NULL", name, kDate);
        parents.push_back(id);
        positions.push_back(0);
        for (int n = firstBookmark; n < firstBookmark + shape.bookmarksPerFolder; ++n) {
          Run(db,
              "INSERT INTO moz_places VALUES (" + std::to_string(n) + ",'" + StoreUrl(n) + "')");
          row(1, std::to_string(n), Title(n), kDate + n * 1000000LL);
        }
      },
      [&] {
        parents.pop_back();
        positions.pop_back();
      });
  Run(db, "COMMIT");
}

}  // namespace

void WriteTreeFile(const std::filesystem::path& file, const TreeShape& shape, FileFormat format,
                   int changeEvery) {
  if (changeEvery != 0 && format != FileFormat::kPomerek) {
    throw std::invalid_argument("changed bookmarks are made for Pomerek files only");
  }
  if (format == FileFormat::kNetscapeUtf8) {
    WriteNetscapeTreeFile(file, shape);
    return;
  }
  if (format == FileFormat::kChromiumJson) {
    WriteChromiumTreeFile(file, shape);
    return;
  }
  if (format == FileFormat::kFirefoxPlaces) {
    WritePlacesTreeFile(file, shape);
    return;
  }
  BookmarkFileWriter writer(file);
  int bookmark = 0;
  const auto bookmarks = [&] {
    for (int i = 0; i < shape.bookmarksPerFolder; ++i) {
      ++bookmark;
      writer.Line(BookmarkLine(bookmark, ChangeOf(bookmark, changeEvery)));
    }
  };
  Header(writer);
  for (int top = 0; top < shape.top; ++top) {
    writer.Line(FolderLine(kTopics[top % kTopics.size()], top + 1));
    bookmarks();
    for (int second = 0; second < shape.second; ++second) {
      writer.Line(FolderLine(kKinds[second % kKinds.size()], second + 1));
      bookmarks();
      for (int third = 0; third < shape.third; ++third) {
        writer.Line(FolderLine("第" + std::to_string(third + 1) + "集の", third + 1));
        bookmarks();
        writer.Line("</UL>");
      }
      writer.Line("</UL>");
    }
    writer.Line("</UL>");
  }
  Footer(writer);
  writer.Close();
}

std::int64_t WriteLargeFile(const std::filesystem::path& file, std::int64_t bytes, int bookmarks) {
  constexpr int kFolders = 50;
  const int perFolder = (bookmarks + kFolders - 1) / kFolders;
  BookmarkFileWriter writer(file);
  Header(writer);
  int written = 0;
  for (int folder = 0; written < bookmarks; ++folder) {
    writer.Line(FolderLine(kTopics[folder % kTopics.size()], folder + 1));
    for (int i = 0; i < perFolder && written < bookmarks; ++i) {
      writer.Line(BookmarkLine(++written));
      // Ordinary lines up to this bookmark's share of the file.
      for (int line = 0; writer.Written() < bytes * written / bookmarks; ++line) {
        if (line % 8 == 0) {
          writer.Line("<DT><H3 ADD_DATE=\"1701302400\">" + Title(written + line) + "</H3>");
        } else {
          writer.Line("<DD>" + Title(written + line) + "。" + std::string(kWords[line % 10]) +
                      "と" + std::string(kWords[(line + 3) % 10]) + "の記事をまとめたページです。");
        }
      }
    }
    writer.Line("</UL>");
  }
  Footer(writer);
  writer.Close();
  return writer.Lines();
}

void WriteLongTitlesFile(const std::filesystem::path& file, int count, bool colliding) {
  // 85 characters of 3 bytes in UTF-8: with the rest of a title, some 100 units, within
  // the 259 a path may take below a short target, but more than Linux's 255 bytes a name.
  std::string padding;
  for (int i = 0; i < 85; ++i) padding += "長";
  BookmarkFileWriter writer(file);
  Header(writer);
  for (int number = 1; number <= count; ++number) {
    const std::string title = colliding ? padding + Title(number) : Title(number) + padding;
    writer.Line("<DT><LI><A HREF=\"https://www.example.co.jp/article" + std::to_string(number) +
                ".html\">" + title + "</A>");
  }
  Footer(writer);
  writer.Close();
}

}  // namespace velkora::bench
