#include "engine/sources/read_ahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/text/utf8.h"

namespace velkora {
namespace {

// Every event as one text, with each field a bookmark has.
class EventLog final : public BookmarkEvents {
 public:
  std::vector<std::string> events;
  std::size_t stopAfter = SIZE_MAX;

  void OpenFolder(std::u16string& name, const BookmarkDates& dates) override {
    events.push_back("open " + ToUtf8(name) + " " + std::to_string(dates.added.value_or(-1)));
  }
  void CloseFolder() override { events.push_back("close"); }
  void Bookmark(const BookmarkRecord& b) override {
    events.push_back("bookmark " + std::to_string(b.lineNumber) + " " + ToUtf8(b.url) + " " +
                     ToUtf8(b.title) + " " + ToUtf8(b.icon) + (b.iconTooLong ? "+" : "") + " " +
                     std::to_string(b.dates.modified.value_or(-1)) + " " + ToUtf8(b.guid));
  }
  void MalformedBookmark(std::int32_t lineNumber, std::u16string_view reason) override {
    events.push_back("malformed " + std::to_string(lineNumber) + " " + ToUtf8(reason));
  }
  void UnreadBookmark(const BookmarkRecord& b, std::u16string_view reason) override {
    events.push_back("unread " + ToUtf8(b.url) + " " + ToUtf8(b.title) + " " + ToUtf8(reason));
  }
  void SkippedQuery() override { events.push_back("query"); }
  void ItemWithoutBookmark() override { events.push_back("item"); }
  bool StopRequested() const override { return events.size() >= stopAfter; }
};

// Reports folders of bookmarks and one of each other event, until asked to stop; notes
// how many events were handled when it waited for them at its end.
class MadeSource final : public BookmarkSource {
 public:
  int folders = 0;
  IoResult result = IoResult::Success();
  bool stopSeen = false;
  std::size_t handledAtEnd = 0;
  const EventLog* log = nullptr;

  IoResult Read(BookmarkEvents& events) override {
    for (int f = 0; f < folders; ++f) {
      std::u16string name = u"フォルダ" + FromUtf8(std::to_string(f));
      events.OpenFolder(name, {f, std::nullopt});
      for (int b = 0; b < 100; ++b) {
        const std::u16string url = u"http://x/" + FromUtf8(std::to_string(b));
        events.Bookmark({url,
                         u"題",
                         b + 1,
                         b % 2 ? u"data:x" : u"",
                         b % 3 == 0,
                         {std::nullopt, b * 7},
                         b % 5 ? u"guid-" + url : u""});
        if (events.StopRequested()) {
          stopSeen = true;
          return result;
        }
      }
      events.MalformedBookmark(f, u"理由");
      events.UnreadBookmark({u"http://u/", u"未", 3, {}, false, {}, {}}, u"読めない");
      events.SkippedQuery();
      events.ItemWithoutBookmark();
      events.CloseFolder();
    }
    events.WaitUntilHandled();
    handledAtEnd = log->events.size();
    return result;
  }
};

TEST(ReadAhead, HandsOnWhatTheSourceReportsInOrder) {
  struct Case {
    const char* what;
    int folders;
    IoResult result;
    std::size_t stopAfter;
  };
  const Case cases[] = {
      {"nothing", 0, IoResult::Success(), SIZE_MAX},
      {"many batches", 12, IoResult::Success(), SIZE_MAX},
      {"a failure after some", 3, IoResult::Failure(u"壊れています"), SIZE_MAX},
      {"a stop", 12, IoResult::Success(), 300},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    EventLog direct;
    MadeSource once;
    once.folders = test.folders;
    once.log = &direct;
    once.Read(direct);

    EventLog ahead;
    ahead.stopAfter = test.stopAfter;
    MadeSource source;
    source.folders = test.folders;
    source.result = test.result;
    source.log = &ahead;
    const IoResult result = ReadAhead(source, ahead);
    EXPECT_EQ(result.reason, test.result.reason);
    if (test.stopAfter == SIZE_MAX) {
      EXPECT_EQ(ahead.events, direct.events);
      EXPECT_EQ(source.handledAtEnd, direct.events.size());
    } else {
      // Handed on up to the batch that asked, and no further: the source saw the stop.
      EXPECT_TRUE(source.stopSeen);
      ASSERT_GE(ahead.events.size(), test.stopAfter);
      ASSERT_LT(ahead.events.size(), direct.events.size());
      EXPECT_TRUE(std::equal(ahead.events.begin(), ahead.events.end(), direct.events.begin()));
    }
  }
}

}  // namespace
}  // namespace velkora
