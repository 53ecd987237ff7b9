// A source read ahead hands on its bookmarks in order, batch after batch, waits for them
// when asked, and stops after the batch that asked it to. What each event carries, and a
// source's failure, the conversion tests check: each run reads ahead.

#include "engine/sources/read_ahead.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/text/utf8.h"

namespace velkora {
namespace {

// The URLs of the bookmarks reported; asks to stop once it holds stopAfter.
class UrlLog final : public BookmarkEvents {
 public:
  std::vector<std::u16string> urls;
  std::size_t stopAfter = SIZE_MAX;

  void OpenFolder(std::u16string&, const BookmarkDates&) override {}
  void CloseFolder() override {}
  void Bookmark(const BookmarkRecord& bookmark) override { urls.emplace_back(bookmark.url); }
  void MalformedBookmark(std::int32_t, std::u16string_view) override {}
  void SkippedQuery() override {}
  void ItemWithoutBookmark() override {}
  bool StopRequested() const override { return urls.size() >= stopAfter; }
};

// Reports bookmarks numbered from 0 until it is asked to stop. At its end it waits for them
// to be handled, and notes how many log holds then.
struct NumberedSource final : BookmarkSource {
  NumberedSource(int count, const UrlLog& log) : count(count), log(log) {}

  IoResult Read(BookmarkEvents& events) override {
    for (int i = 0; i < count; ++i) {
      if ((stopSeen = events.StopRequested())) return IoResult::Success();
      BookmarkRecord bookmark;
      const std::u16string url = FromUtf8(std::to_string(i));
      bookmark.url = url;
      events.Bookmark(bookmark);
    }
    events.WaitUntilHandled();
    handledAtEnd = log.urls.size();
    return IoResult::Success();
  }

  int count;
  const UrlLog& log;
  bool stopSeen = false;
  std::size_t handledAtEnd = 0;
};

TEST(ReadAhead, HandsOnWhatTheSourceReportsInOrder) {
  const struct {
    int count;
    std::size_t stopAfter;
  } cases[] = {{0, SIZE_MAX}, {2000, SIZE_MAX}, {2000, 300}};
  for (const auto& test : cases) {
    UrlLog log;
    log.stopAfter = test.stopAfter;
    NumberedSource source(test.count, log);
    EXPECT_TRUE(ReadAhead(source, log));
    for (std::size_t i = 0; i < log.urls.size(); ++i) {
      ASSERT_EQ(log.urls[i], FromUtf8(std::to_string(i)));
    }
    if (test.stopAfter == SIZE_MAX) {
      EXPECT_EQ(log.urls.size(), static_cast<std::size_t>(test.count));
      EXPECT_EQ(source.handledAtEnd, log.urls.size());
      continue;
    }
    // Up to the end of the batch that asked, and no further: the source saw the stop.
    EXPECT_TRUE(source.stopSeen);
    EXPECT_GE(log.urls.size(), test.stopAfter);
    EXPECT_LT(log.urls.size(), static_cast<std::size_t>(test.count));
  }
}

}  // namespace
}  // namespace velkora
