// The dates of a browser export's bookmarks and headings, as the times of the shortcuts
// and folders written, read back from the file system: stat on POSIX (modification and
// access times), GetFileTime on Windows (creation and modification times).

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/run/conversion_observer.h"
#include "engine/text/utf8.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;
using Time = std::optional<std::int64_t>;  // microseconds since 1970

std::int64_t Now() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// The times of the file or folder at path, in microseconds since 1970; created is empty
// where the system keeps none, accessed where dates do not set it.
struct Times {
  Time created;
  std::int64_t modified = 0;
  Time accessed;
};

#ifdef _WIN32
std::int64_t Microseconds(const FILETIME& time) {
  const std::uint64_t units = (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
  return static_cast<std::int64_t>(units / 10) - 11'644'473'600'000'000;
}

// Wine keeps no creation time of its own on a Linux file system: it drops the one set
// and reports one it derives from the file's other times. There only the modification
// time can be read back.
bool RunsUnderWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

Times TimesOf(const fs::path& path) {
  const HANDLE file = ::CreateFileW(LiteralPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
  FILETIME created{}, accessed{}, modified{};
  EXPECT_TRUE(::GetFileTime(file, &created, &accessed, &modified)) << path;
  ::CloseHandle(file);
  if (RunsUnderWine()) return {std::nullopt, Microseconds(modified), std::nullopt};
  return {Microseconds(created), Microseconds(modified), std::nullopt};
}
#else
Times TimesOf(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  const auto microseconds = [](const timespec& time) {
    return std::int64_t{time.tv_sec} * 1'000'000 + time.tv_nsec / 1'000;
  };
  return {std::nullopt, microseconds(status.st_mtim), microseconds(status.st_atim)};
}
#endif

// A time is the date given, or, without one, the time the file was written: within the run.
void ExpectTime(Time actual, Time date, std::int64_t start, std::int64_t end,
                const std::string& what) {
  if (!actual) return;  // no creation time on this system
  if (date) {
    EXPECT_EQ(*actual, *date) << what;
  } else {
    // File systems keep times coarser than the clock reads them.
    EXPECT_GE(*actual, start - 2'000'000) << what;
    EXPECT_LE(*actual, end + 2'000'000) << what;
  }
}

void ExpectTimes(const fs::path& path, Time created, Time modified, std::int64_t start,
                 std::int64_t end, const std::string& what) {
  const Times times = TimesOf(path);
  ExpectTime(times.created, created, start, end, what + " created");
  ExpectTime(times.modified, modified, start, end, what + " modified");
  // Where the system has no creation time, the access time goes with the modification time.
  if (modified && times.accessed) {
    EXPECT_EQ(*times.accessed, *modified) << what << " accessed";
  }
}

constexpr std::int64_t kSecond = 1'000'000;

// Each bookmark's ADD_DATE and LAST_MODIFIED become its shortcut's creation and
// modification times; a value that is no plausible date leaves the time of writing.
TEST(FileTimes, BookmarkDatesBecomeTheShortcutsTimes) {
  const std::int64_t inAnHour = Now() / kSecond + 3600;
  const std::int64_t inTwoDays = Now() / kSecond + 2 * 86400;
  const struct {
    std::string attributes;
    Time created;
    Time modified;
  } cases[] = {
      {"ADD_DATE=\"1700000000\"", 1700000000 * kSecond, 1700000000 * kSecond},
      {"ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000500\"", 1700000000 * kSecond,
       1700000500 * kSecond},
      {"LAST_MODIFIED=\"1700000500\"", std::nullopt, 1700000500 * kSecond},
      {"add_date=1700000000123", 1700000000123000, 1700000000123000},        // milliseconds
      {"ADD_DATE='1700000000123456'", 1700000000123456, 1700000000123456},   // microseconds
      {"ADD_DATE=\"631152000\"", 631152000 * kSecond, 631152000 * kSecond},  // 1990-01-01
      {"ADD_DATE=\"631151999\"", std::nullopt, std::nullopt},                // before 1990
      {"ADD_DATE=\"0\"", std::nullopt, std::nullopt},
      {"ADD_DATE=\"-1700000000\"", std::nullopt, std::nullopt},
      {"ADD_DATE=\"" + std::to_string(inAnHour) + "\"", inAnHour * kSecond, inAnHour * kSecond},
      {"ADD_DATE=\"" + std::to_string(inTwoDays) + "\"", std::nullopt, std::nullopt},
      {"ADD_DATE=\"99999999999999999999\"", std::nullopt, std::nullopt},  // too large
      {"ADD_DATE=\"17e8\"", std::nullopt, std::nullopt},
      {"ADD_DATE=\" 1700000000\"", std::nullopt, std::nullopt},
      {"ADD_DATE=\"\"", std::nullopt, std::nullopt},
      {"", std::nullopt, std::nullopt},
      {"ADD_DATE=\"1700000000\" LAST_MODIFIED=\"soon\"", 1700000000 * kSecond,
       1700000000 * kSecond},
      {"ADD_DATE=\"&#49;700000000\" ADD_DATE=\"1600000000\"", 1700000000 * kSecond,
       1700000000 * kSecond},
  };
  std::string file = "<DL><p>\n";
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    file += "<DT><A HREF=\"http://" + std::to_string(i) + "/\" " + cases[i].attributes + ">b" +
            std::to_string(i) + "</A>\n";
  }
  file += "</DL><p>\n";
  ConversionFixture fixture;
  fixture.WriteBookmarkBytes(file);
  // A shortcut written before is replaced: the new file has the new times.
  fixture.Convert();
  const std::int64_t start = Now();
  fixture.Convert();
  const std::int64_t end = Now();
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    ExpectTimes(fixture.Out() / ("b" + std::to_string(i) + ".url"), cases[i].created,
                cases[i].modified, start, end, cases[i].attributes);
  }
}

// A heading's dates go to its folder once the last shortcut is written into it, folders
// within it included; a folder of a heading without dates keeps the time of its writing.
TEST(FileTimes, HeadingDatesBecomeTheFoldersTimesAfterTheirContent) {
  ConversionFixture fixture;
  fixture.WriteBookmarkBytes(
      "<DL><p>\n"
      "<DT><H3 ADD_DATE=\"1600000000\" LAST_MODIFIED=\"1650000000\">F</H3>\n<DL><p>\n"
      "<DT><A HREF=\"http://a/\" ADD_DATE=\"1700000000\">a</A>\n"
      "<DT><H3 ADD_DATE=\"1600000100\">G</H3>\n<DL><p>\n"
      "<DT><A HREF=\"http://b/\">b</A>\n"
      "</DL><p>\n"
      "<DT><H3>H</H3>\n<DL><p>\n<DT><A HREF=\"http://c/\">c</A>\n</DL><p>\n"
      "<DT><A HREF=\"http://d/\">d</A>\n"
      "</DL><p>\n"
      "<DT><H3 LAST_MODIFIED=\"1610000000\">Empty</H3>\n<DL><p>\n</DL><p>\n"
      "</DL><p>\n");
  const std::int64_t start = Now();
  fixture.Convert();
  const std::int64_t end = Now();
  const struct {
    const char* path;
    Time created;
    Time modified;
  } cases[] = {
      {"F", 1600000000 * kSecond, 1650000000 * kSecond},
      {"F/G", 1600000100 * kSecond, 1600000100 * kSecond},
      {"F/H", std::nullopt, std::nullopt},
      {"F/a.url", 1700000000 * kSecond, 1700000000 * kSecond},
  };
  // Before the tree is listed: reading a folder may change its access time.
  for (const auto& c : cases) {
    ExpectTimes(fixture.Out() / c.path, c.created, c.modified, start, end, c.path);
  }
  EXPECT_EQ(fixture.Tree(), (std::vector<std::string>{"F/", "F/G/", "F/G/b.url", "F/H/",
                                                      "F/H/c.url", "F/a.url", "F/d.url"}));
}

// The platform's files and folders, but no time can be set.
class TimesFail final : public ForwardingFileStreams {
 public:
  using ForwardingFileStreams::ForwardingFileStreams;

  IoResult OpenOutputIn(const FolderHandle& folder, std::u16string_view name,
                        std::unique_ptr<OutputStream>& stream) override {
    IoResult result = real_.OpenOutputIn(folder, name, stream);
    if (result) stream = std::make_unique<Failing>(std::move(stream));
    return result;
  }

  class FileSystem final : public FileSystemObject {
   public:
    explicit FileSystem(std::unique_ptr<FileSystemObject> real) : real_(std::move(real)) {}
    IoResult CheckFolder(std::u16string_view path) const override {
      return real_->CheckFolder(path);
    }
    IoResult OpenTarget(std::u16string_view path, std::unique_ptr<FolderHandle>& folder) override {
      return real_->OpenTarget(path, folder);
    }
    IoResult LockTarget(const FolderHandle& target, std::unique_ptr<FolderLock>& lock) override {
      return real_->LockTarget(target, lock);
    }
    IoResult OpenOrMakeFolder(const FolderHandle& parent, std::u16string_view name,
                              std::unique_ptr<FolderHandle>& folder) override {
      return real_->OpenOrMakeFolder(parent, name, folder);
    }
    IoResult SetFolderTimes(const FolderHandle&, const FileTimes&) override {
      return IoResult::Failure(u"folder times");
    }
    IoResult HideFolder(const FolderHandle& folder) override { return real_->HideFolder(folder); }
    bool HoldsFile(const FolderHandle& folder, std::u16string_view name,
                   std::string_view bytes) const override {
      return real_->HoldsFile(folder, name, bytes);
    }
    IoResult OpenFolderIn(const FolderHandle& parent, std::u16string_view name,
                          std::unique_ptr<FolderHandle>& folder) override {
      return real_->OpenFolderIn(parent, name, folder);
    }
    IoResult StampAt(const FolderHandle& folder, std::u16string_view name,
                     FileStamp& stamp) const override {
      return real_->StampAt(folder, name, stamp);
    }
    IoResult ReadFileAt(const FolderHandle& folder, std::u16string_view name, std::size_t limit,
                        std::string& bytes) const override {
      return real_->ReadFileAt(folder, name, limit, bytes);
    }
    IoResult SetFileTimesAt(const FolderHandle& folder, std::u16string_view name,
                            const FileTimes& times) override {
      return real_->SetFileTimesAt(folder, name, times);
    }
    IoResult MoveFileAt(const FolderHandle& from, std::u16string_view name, const FolderHandle& to,
                        std::u16string_view newName) override {
      return real_->MoveFileAt(from, name, to, newName);
    }
    IoResult RemoveFileAt(const FolderHandle& folder, std::u16string_view name, std::size_t limit,
                          const std::function<bool(std::string_view bytes)>& isOurs,
                          bool& removed) override {
      return real_->RemoveFileAt(folder, name, limit, isOurs, removed);
    }
    IoResult RemoveEmptyFolderAt(const FolderHandle& parent, std::u16string_view name,
                                 bool& removed) override {
      return real_->RemoveEmptyFolderAt(parent, name, removed);
    }
    std::u16string GetSpecialFolder(int selector) const override {
      return real_->GetSpecialFolder(selector);
    }

   private:
    std::unique_ptr<FileSystemObject> real_;
  };

 private:
  struct Failing final : OutputStream {
    explicit Failing(std::unique_ptr<OutputStream> real) : real(std::move(real)) {}
    IoResult Write(std::string_view bytes) override { return real->Write(bytes); }
    IoResult Close() override { return real->Close(); }
    IoResult CloseWithTimes(const FileTimes&, IoResult& timesSet) override {
      timesSet = IoResult::Failure(u"file times");
      return real->Close();
    }
    std::unique_ptr<OutputStream> real;
  };
};

class TimesRecorder final : public ConversionObserver {
 public:
  std::vector<std::string> lines;
  void ShortcutWritten(std::u16string_view) override {}
  void ShortcutShortened(const BookmarkRecord&, std::u16string_view) override {}
  void ShortcutFailed(const BookmarkRecord&, std::u16string_view path,
                      std::u16string_view) override {
    lines.push_back("failed " + ToUtf8(path));
  }
  void LineUnreadable(const BookmarkRecord&, std::u16string_view) override {}
  void TimesNotSet(std::u16string_view path, std::u16string_view reason) override {
    lines.push_back(ToUtf8(path) + ": " + ToUtf8(reason));
  }
};

// A time that cannot be set is told with its path and reason, and fails nothing: the
// shortcut is written and counted, and only files and folders with dates are told of.
TEST(FileTimes, TimesThatCannotBeSetAreToldAndFailNothing) {
  ConversionFixture fixture;
  fixture.WriteBookmarkBytes(
      "<DL><p>\n<DT><H3 ADD_DATE=\"1600000000\">F</H3>\n<DL><p>\n"
      "<DT><A HREF=\"http://a/\" ADD_DATE=\"1700000000\">a</A>\n"
      "<DT><A HREF=\"http://b/\">b</A>\n</DL><p>\n"
      "<DT><H3>G</H3>\n<DL><p>\n<DT><A HREF=\"http://c/\">c</A>\n</DL><p>\n</DL><p>\n");
  const PlatformServices& native = fixture.platform.Services();
  TimesFail streams(native.streams);
  const PlatformServices services{
      native.codePage,
      streams,
      [&native] { return std::make_unique<TimesFail::FileSystem>(native.createFileSystem()); },
      native.paths,
      native.sha256,
      native.snapshots};
  TimesRecorder recorder;
  const ConversionReport report =
      BookmarkConverter(fixture.state, fixture.window, services, &recorder).ConvertBookmarks();

  EXPECT_TRUE(report.AllWritten());
  EXPECT_EQ(report.written, 3);
  const std::string out = ToUtf8(fixture.Out().u16string());
  const char separator = static_cast<char>(native.paths.separator);
  EXPECT_EQ(recorder.lines,
            (std::vector<std::string>{out + separator + "F" + separator + "a.url: file times",
                                      out + separator + "F: folder times"}));
  EXPECT_EQ(fixture.Tree(),
            (std::vector<std::string>{"F/", "F/a.url", "F/b.url", "G/", "G/c.url"}));
}

}  // namespace
}  // namespace velkora::testing
