// Arbitrary bytes as a places.sqlite (and as the icon databases beside it), read through a
// snapshot by the places source. Whatever the bytes, the read must end, close every
// folder it opened, name each unreadable bookmark by a row and a reason, and say why when
// it fails.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/sources/chromium/chromium_icons.h"
#include "engine/sources/firefox/firefox_icons.h"
#include "engine/sources/firefox/firefox_places.h"
#include "fuzz/fuzz_check.h"
#include "platform/database_snapshots.h"
#include "tests/test_support.h"

namespace velkora::fuzz {
namespace {

class CheckedEvents final : public BookmarkEvents {
 public:
  int depth = 0;
  std::int32_t reported = 0;

  void OpenFolder(std::u16string&, const BookmarkDates&) override { ++depth; }
  void CloseFolder() override { Require(--depth >= 0, "only an open folder is closed"); }
  void Bookmark(const BookmarkRecord& bookmark) override {
    Require(bookmark.lineNumber >= 1, "a bookmark is named by its row");
    ++reported;
  }
  void MalformedBookmark(std::int32_t line, std::u16string_view reason) override {
    Require(line >= 1 && !reason.empty(), "an unreadable bookmark has its row and a reason");
    ++reported;
  }
  void SkippedQuery() override { ++reported; }
  void ItemWithoutBookmark() override { Require(false, "a database has no items of no bookmark"); }
};

}  // namespace
}  // namespace velkora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velkora;
  static const testing::TempDir dir;
  const std::filesystem::path file = dir.path() / "places.sqlite";
  testing::WriteBytes(file, std::string_view(reinterpret_cast<const char*>(data), size));
  NativeDatabaseSnapshots snapshots;
  FirefoxIcons icons;
  const IoResult opened = icons.Open(snapshots, file.u16string());
  fuzz::Require(opened || !opened.reason.empty(), "a failure to read icons says why");
  ChromiumIcons chromium;
  std::string image;
  if (chromium.Open(snapshots, file.u16string())) chromium.IconOf("https://a.example/", image);
  FirefoxPlaces places(snapshots, file.u16string(), &icons);
  SourceCount count;
  const IoResult counted = places.Count(count);
  fuzz::CheckedEvents events;
  const IoResult read = places.Read(events);
  fuzz::Require(!read || (counted && count.bookmarks == events.reported),
                "the count is what the reading reports");
  fuzz::Require(events.depth == 0, "every folder opened is closed");
  fuzz::Require(read || !read.reason.empty(), "a failure says why");
  return 0;
}
