// The closing and discarding both systems' replacement files share, driven through a file
// whose every step can be made to fail.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "engine/text/utf8.h"
#include "platform/replacement_file.h"

namespace velkora {
namespace {

// The reason each step fails with; an empty one succeeds.
struct Failures {
  std::u16string write = {};
  std::u16string close = {};
  std::u16string rename = {};
  std::u16string remove = {};
  std::u16string times = {};
};

// Notes each step it takes in steps.
class ScriptedFile {
 public:
  ScriptedFile(Failures failures, std::string& steps)
      : failures_(std::move(failures)), steps_(steps) {}

  IoResult Write(std::string_view) { return Step("write", failures_.write); }
  IoResult Close(const FileTimes& times) {
    return Step(times.Empty() ? "close" : "close-keeping", failures_.close);
  }
  IoResult Rename() { return Step("rename", failures_.rename); }
  IoResult SetTimes(const FileTimes&) { return Step("times", failures_.times); }
  std::optional<FileStamp> Stamp() const { return FileStamp{.size = 1}; }
  IoResult Remove() { return Step("remove", failures_.remove); }
  void Withdraw() { Step("withdraw", u""); }

 private:
  IoResult Step(const char* name, const std::u16string& failure) {
    if (!steps_.empty()) steps_ += ' ';
    steps_ += name;
    return failure.empty() ? IoResult::Success() : IoResult::Failure(failure);
  }

  Failures failures_;
  std::string& steps_;
};

TEST(ReplacementStream, CloseRenamesTheFileOrRemovesItAndGivesTheFirstReason) {
  const struct {
    const char* what;
    Failures failures;
    std::u16string reason;  // empty when Close succeeds
    std::string steps;
  } cases[] = {
      {"nothing fails", {}, u"", "write write close rename withdraw"},
      // The second write never reaches the file; the first failure stands for it.
      {"a write fails", {.write = u"W"}, u"W", "write close remove withdraw"},
      {"write and close fail", {.write = u"W", .close = u"C"}, u"W", "write close remove withdraw"},
      {"close fails", {.close = u"C"}, u"C", "write write close remove withdraw"},
      {"rename fails", {.rename = u"R"}, u"R", "write write close rename remove withdraw"},
      {"rename and remove fail",
       {.rename = u"R", .remove = u"D"},
       u"R（一時ファイルも削除できませんでした: D）",
       "write write close rename remove withdraw"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string steps;
    {
      ReplacementStream<ScriptedFile> stream(ScriptedFile(c.failures, steps));
      const IoResult first = stream.Write("a");
      const IoResult second = stream.Write("b");
      EXPECT_EQ(second.ok, first.ok);
      EXPECT_EQ(second.reason, first.reason);
      const IoResult closed = stream.Close();
      EXPECT_EQ(closed.ok, c.reason.empty());
      EXPECT_EQ(ToUtf8(closed.reason), ToUtf8(c.reason));
      // Only a file that took its name has a stamp there.
      EXPECT_EQ(stream.PlacedStamp().has_value(), closed.ok);
      const IoResult again = stream.Close();
      EXPECT_FALSE(again.ok);
      EXPECT_EQ(ToUtf8(again.reason), "file is not open");
    }
    // Neither the second Close nor the stream's end touches the file again.
    EXPECT_EQ(steps, c.steps);
  }
}

// Times are set by the handle kept through the rename, once the file has its name; a time
// that cannot be set leaves the file in place, and none is set on a file that has none.
TEST(ReplacementStream, TimesAreSetOnceTheFileHasItsName) {
  const struct {
    const char* what;
    Failures failures;
    bool closed;
    std::u16string timesReason;  // empty when the times were set
    std::string steps;
  } cases[] = {
      {"nothing fails", {}, true, u"", "write close-keeping rename withdraw times"},
      {"times fail", {.times = u"T"}, true, u"T", "write close-keeping rename withdraw times"},
      {"rename fails", {.rename = u"R"}, false, u"", "write close-keeping rename remove withdraw"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string steps;
    ReplacementStream<ScriptedFile> stream(ScriptedFile(c.failures, steps));
    ASSERT_TRUE(stream.Write("a").ok);
    IoResult timesSet = IoResult::Failure(u"untouched");
    EXPECT_EQ(stream.CloseWithTimes({.created = 1, .modified = 2}, timesSet).ok, c.closed);
    EXPECT_EQ(ToUtf8(timesSet.reason), ToUtf8(c.timesReason));
    EXPECT_EQ(steps, c.steps);
  }
}

TEST(ReplacementStream, StreamGoneWithoutCloseRemovesItsFile) {
  std::string steps;
  {
    ReplacementStream<ScriptedFile> stream(ScriptedFile({.remove = u"D"}, steps));
    ASSERT_TRUE(stream.Write("a").ok);
  }
  EXPECT_EQ(steps, "write remove withdraw");
}

}  // namespace
}  // namespace velkora
