// Arbitrary bytes as a Chromium Bookmarks file. Whatever they are, reading them does not
// crash, every folder it opens it closes, every bookmark and unreadable node is named by a
// line, and a failure says why.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/sources/chromium/chromium_bookmarks.h"
#include "fuzz/fuzz_check.h"
#include "platform/native_platform.h"
#include "tests/test_support.h"

namespace velkora::fuzz {
namespace {

class BalanceCheck final : public BookmarkEvents {
 public:
  std::int64_t depth = 0;
  std::int32_t reported = 0;
  void OpenFolder(std::u16string&, const BookmarkDates&) override { ++depth; }
  void CloseFolder() override { Require(--depth >= 0, "a folder closes only once opened"); }
  void Bookmark(const BookmarkRecord& bookmark) override {
    Require(bookmark.lineNumber >= 1, "a bookmark is named by its line");
    ++reported;
  }
  void MalformedBookmark(std::int32_t line, std::u16string_view reason) override {
    Require(line >= 1 && !reason.empty(), "an unreadable node is named by its line, with why");
    ++reported;
  }
  void SkippedQuery() override {}
  void ItemWithoutBookmark() override {}
};

}  // namespace
}  // namespace velkora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const velkora::testing::TempDir dir;
  velkora::testing::WriteBytes(dir.path() / "Bookmarks",
                               std::string_view(reinterpret_cast<const char*>(data), size));
  velkora::NativePlatform platform;
  velkora::ChromiumBookmarks source(platform.Services().streams,
                                    (dir.path() / "Bookmarks").u16string());
  velkora::SourceCount count;
  const velkora::IoResult counted = source.Count(count);
  velkora::fuzz::BalanceCheck check;
  const velkora::IoResult read = source.Read(check);
  velkora::fuzz::Require(counted.ok == read.ok && (!read || count.bookmarks == check.reported),
                         "the count is what the reading reports");
  velkora::fuzz::Require(check.depth == 0, "every folder opened is closed");
  velkora::fuzz::Require(read.ok || !read.reason.empty(), "a failure says why");
  return 0;
}
