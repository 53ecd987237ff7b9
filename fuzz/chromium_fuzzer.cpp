// Arbitrary bytes as a Chromium Bookmarks file. Whatever they are, reading them does not
// crash, every folder it opens it closes, and every bookmark it reports is named by a line.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "engine/sources/chromium/chromium_bookmarks.h"
#include "fuzz/fuzz_check.h"

namespace velkora::fuzz {
namespace {

class BytesStream final : public InputStream {
 public:
  explicit BytesStream(std::string_view bytes) : bytes_(bytes) {}
  IoResult Read(char* buffer, std::size_t capacity, std::size_t& received) override {
    received = std::min(capacity, bytes_.size());
    std::memcpy(buffer, bytes_.data(), received);
    bytes_.remove_prefix(received);
    return IoResult::Success();
  }

 private:
  std::string_view bytes_;
};

// The input as "Bookmarks"; no other file is there.
class OneFile final : public FileStreams {
 public:
  explicit OneFile(std::string_view bytes) : bytes_(bytes) {}
  IoResult OpenInput(std::u16string_view path, std::unique_ptr<InputStream>& stream) override {
    if (path != u"Bookmarks") return IoResult::Missing(u"none");
    stream = std::make_unique<BytesStream>(bytes_);
    return IoResult::Success();
  }
  IoResult OpenOutput(std::u16string_view, std::unique_ptr<OutputStream>&) override {
    return IoResult::Failure(u"read only");
  }
  IoResult OpenOutputIn(const FolderHandle&, std::u16string_view,
                        std::unique_ptr<OutputStream>&) override {
    return IoResult::Failure(u"read only");
  }
  IoResult Remove(std::u16string_view) override { return IoResult::Failure(u"read only"); }

 private:
  std::string_view bytes_;
};

class BalanceCheck final : public BookmarkEvents {
 public:
  std::int64_t depth = 0;
  void OpenFolder(std::u16string&, const BookmarkDates&) override { ++depth; }
  void CloseFolder() override { Require(--depth >= 0, "a folder closes only once opened"); }
  void Bookmark(const BookmarkRecord& bookmark) override {
    Require(bookmark.lineNumber >= 1, "a bookmark is named by its line");
  }
  void MalformedBookmark(std::int32_t line, std::u16string_view reason) override {
    Require(line >= 1 && !reason.empty(), "an unreadable node is named by its line, with why");
  }
  void SkippedQuery() override {}
  void ItemWithoutBookmark() override {}
};

}  // namespace
}  // namespace velkora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velkora::fuzz::OneFile files(std::string_view(reinterpret_cast<const char*>(data), size));
  velkora::ChromiumBookmarks source(files, u"Bookmarks");
  velkora::fuzz::BalanceCheck check;
  const velkora::IoResult read = source.Read(check);
  velkora::fuzz::Require(check.depth == 0, "every folder opened is closed");
  velkora::fuzz::Require(read.ok || !read.reason.empty(), "a failure says why");
  return 0;
}
