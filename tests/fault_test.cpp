// Faults of the machine during a run, staged on Linux: folders without write permission,
// a file size limit, a full file system, a bookmark file that changes between the two
// passes or stops being readable. Each must be reported, leave no partial file behind and
// let the run convert what it still can. (A file where a folder should be and a shortcut
// path taken by a folder are in conversion_test.cpp.)

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/names/windows_path_limit.h"
#include "engine/run/messages.h"
#include "engine/text/utf8.h"
#include "platform/database_snapshots.h"
#include "platform/posix/posix_errors.h"
#include "tests/child_process.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// A run in a child process, as the child saw it before it ended.
struct ChildConversion {
  int exitCode = -1;
  std::string failure;  // what a child that did not get to convert said
  ConversionReport report;
  std::vector<std::u16string> messages;
  Strings tree;                              // below the target, as ListTree lists it
  std::map<std::string, std::string> files;  // bytes of each file in tree
};

// The report, the messages and the tree with every file's bytes, packed for the parent.
std::string Serialize(const ConversionReport& report, const RecordingWindow& window,
                      const fs::path& target) {
  Strings fields{std::to_string(static_cast<int>(report.outcome)),
                 std::to_string(report.bookmarkLines),
                 std::to_string(report.written),
                 std::to_string(report.malformedLines),
                 std::to_string(report.failedShortcuts),
                 ToUtf8(report.firstFailedPath),
                 ToUtf8(report.firstFailureReason),
                 std::to_string(window.messages.size())};
  for (const std::u16string& message : window.messages) fields.push_back(ToUtf8(message));
  for (const std::string& entry : ListTree(target)) {
    fields.push_back(entry);
    fields.push_back(entry.ends_with('/') ? std::string() : ReadBytes(target / fs::path(entry)));
  }
  return PackFields(fields);
}

// What Serialize packed.
ChildConversion Deserialize(const Strings& fields) {
  ChildConversion run;
  run.report.outcome = static_cast<ConversionReport::Outcome>(std::stoi(fields.at(0)));
  run.report.bookmarkLines = std::stoi(fields.at(1));
  run.report.written = std::stoi(fields.at(2));
  run.report.malformedLines = std::stoi(fields.at(3));
  run.report.failedShortcuts = std::stoi(fields.at(4));
  run.report.firstFailedPath = FromUtf8(fields.at(5));
  run.report.firstFailureReason = FromUtf8(fields.at(6));
  const std::size_t messages = std::stoul(fields.at(7));
  std::size_t next = 8;
  for (; next < 8 + messages; ++next) run.messages.push_back(FromUtf8(fields.at(next)));
  for (; next + 1 < fields.size(); next += 2) {
    run.tree.push_back(fields[next]);
    if (!fields[next].ends_with('/')) run.files[fields[next]] = fields[next + 1];
  }
  return run;
}

// Converts the fixture's bookmark file in a child process once prepare has run there, and
// brings back the report, the messages and the target's tree with every file's bytes:
// what the child changes about itself (privileges, limits, mounts) dies with it.
ChildConversion ConvertInChild(ConversionFixture& fixture, const std::function<void()>& prepare) {
  const ChildResult child = RunInChild([&] {
    prepare();
    const ConversionReport report = fixture.Convert();
    return Serialize(report, fixture.window, fixture.Out());
  });
  if (!child.exited || child.exitCode != 0) {
    ChildConversion run;
    run.exitCode = child.exited ? child.exitCode : -1;
    run.failure = child.output;
    return run;
  }
  ChildConversion run = Deserialize(UnpackFields(child.output));
  run.exitCode = 0;
  return run;
}

// Lets a process without root's privileges read the bookmark file and reach the target.
void OpenToEveryone(const ConversionFixture& fixture) {
  fs::permissions(fixture.BookmarkFile().parent_path(), fs::perms(0755));
  fs::permissions(fixture.BookmarkFile(), fs::perms(0644));
}

// Drops root's privileges in the child; a temporary directory that an unprivileged user
// cannot reach (a private TMPDIR) leaves nothing to test.
std::function<void()> WithoutRootPrivileges(const ConversionFixture& fixture) {
  return [&fixture] {
    DropRootPrivileges();
    if (::access(fixture.BookmarkFile().c_str(), R_OK) != 0) {
      throw ChildCannotSetUp("the bookmark file is out of reach: " +
                             fixture.BookmarkFile().string());
    }
  };
}

// True when part occurs in text.
bool Contains(const std::u16string& text, const std::u16string& part) {
  return text.find(part) != std::u16string::npos;
}

TEST(Faults, TargetWithoutWritePermissionFailsEveryShortcutAndSaysWhy) {
  ConversionFixture fixture;
  fixture.WriteBookmarks(
      {Folder("F"), Bookmark("http://a/", "in F"), "</UL>", Bookmark("http://b/", "top")});
  OpenToEveryone(fixture);
  fs::permissions(fixture.Out(), fs::perms(0555));
  const ChildConversion run = ConvertInChild(fixture, WithoutRootPrivileges(fixture));
  if (run.exitCode == kChildCannotSetUp) GTEST_SKIP() << run.failure;
  ASSERT_EQ(run.exitCode, 0) << run.failure;

  EXPECT_EQ(run.report.outcome, ConversionReport::Outcome::kCompleted);
  EXPECT_EQ(run.report.bookmarkLines, 2);
  EXPECT_EQ(run.report.written, 0);
  EXPECT_EQ(run.report.failedShortcuts, 2);
  EXPECT_EQ(run.report.firstFailedPath, (fixture.Out() / "F").u16string());
  EXPECT_EQ(run.report.firstFailureReason, ErrnoText(EACCES));
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_TRUE(Contains(run.messages[0], u"2 件"));
  EXPECT_TRUE(Contains(run.messages[0], run.report.firstFailedPath));
  EXPECT_TRUE(run.tree.empty());
}

TEST(Faults, ReadOnlyFolderFailsOnlyTheShortcutsInsideIt) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({Folder("locked"), Bookmark("http://a/", "a"), Folder("sub"),
                          Bookmark("http://b/", "b"), "</UL>", "</UL>", Bookmark("http://c/", "c"),
                          Folder("open"), Bookmark("http://d/", "d")});
  OpenToEveryone(fixture);
  fs::create_directory(fixture.Out() / "locked");
  fs::permissions(fixture.Out(), fs::perms(0777));
  fs::permissions(fixture.Out() / "locked", fs::perms(0555));
  const ChildConversion run = ConvertInChild(fixture, WithoutRootPrivileges(fixture));
  if (run.exitCode == kChildCannotSetUp) GTEST_SKIP() << run.failure;
  ASSERT_EQ(run.exitCode, 0) << run.failure;

  EXPECT_EQ(run.report.written, 2);
  EXPECT_EQ(run.report.failedShortcuts, 2);
  EXPECT_EQ(run.report.firstFailedPath, (fixture.Out() / "locked" / "a.url").u16string());
  EXPECT_EQ(run.report.firstFailureReason, ErrnoText(EACCES));
  EXPECT_EQ(run.tree, (Strings{"c.url", "locked/", "open/", "open/d.url"}));
  EXPECT_EQ(run.files.at("open/d.url"), ShortcutBytes("http://d/"));
}

TEST(Faults, FileSizeLimitFailsTheLongShortcutsAndLeavesNoPartOfThem) {
  ConversionFixture fixture;
  const std::string longUrl = "http://long.example/" + std::string(100, 'x');
  fixture.WriteBookmarks({Bookmark("http://s/1", "one"), Bookmark(longUrl, "big"), Folder("F"),
                          Bookmark(longUrl, "big"), Bookmark("http://s/2", "two")});
  // Left by an earlier run: a shortcut replaced in vain leaves it as it was.
  WriteBytes(fixture.Out() / "big.url", ShortcutBytes("http://old/"));
  const ChildConversion run = ConvertInChild(fixture, [] {
    // Writes past 64 bytes fail with EFBIG instead of killing the process.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) throw ChildCannotSetUp(std::strerror(errno));
  });
  ASSERT_EQ(run.exitCode, 0) << run.failure;

  EXPECT_EQ(run.report.written, 2);
  EXPECT_EQ(run.report.failedShortcuts, 2);
  EXPECT_EQ(run.report.firstFailedPath, (fixture.Out() / "big.url").u16string());
  EXPECT_EQ(run.report.firstFailureReason, ErrnoText(EFBIG));
  EXPECT_EQ(run.tree, (Strings{"F/", "F/two.url", "big.url", "one.url"}));
  EXPECT_EQ(run.files.at("big.url"), ShortcutBytes("http://old/"));
  EXPECT_EQ(run.files.at("F/two.url"), ShortcutBytes("http://s/2"));
}

// Nested headings of millions of characters: the run holds one of them at a time while it
// reads it, and keeps only the first units of each. Whole, they took six copies each.
TEST(Faults, HugeNestedHeadingsTakeLittleMemory) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers hold freed memory back";
#else
  constexpr int kLevels = 8;
  constexpr std::size_t kLineUnits = std::size_t{1} << 20;
  std::string heading;
  for (int line = 0; line < 4; ++line) heading += std::string(kLineUnits - 1, 'h') + "\n";
  std::string file = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
  for (int level = 0; level < kLevels; ++level) file += "<DT><H3>" + heading + "</H3>\n<DL><p>\n";
  file += "<DT><A HREF=\"http://u/\">t</A>\n";
  for (int level = 0; level <= kLevels; ++level) file += "</DL><p>\n";
  ConversionFixture fixture;
  fixture.WriteBookmarkBytes(file);
  std::string().swap(file);
  std::string().swap(heading);
  // In a child, whose peak resident size (VmHWM) starts where it stands.
  const ChildResult child = RunInChild([&] {
    const auto kilobytes = [](const std::string& field) {
      std::ifstream status("/proc/self/status");
      for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field)) return std::stol(line.substr(field.size()));
      }
      throw ChildCannotSetUp("no " + field + " in /proc/self/status");
    };
    if (!(std::ofstream("/proc/self/clear_refs") << "5")) {
      throw ChildCannotSetUp("cannot reset the peak resident size");
    }
    const long before = kilobytes("VmRSS:");
    const ConversionReport report = fixture.Convert();
    return PackFields({std::to_string(kilobytes("VmHWM:") - before),
                       std::to_string(report.failedShortcuts), ToUtf8(report.firstFailureReason)});
  });
  if (child.exited && child.exitCode == kChildCannotSetUp) GTEST_SKIP() << child.output;
  ASSERT_TRUE(child.exited && child.exitCode == 0) << child.output;
  const Strings fields = UnpackFields(child.output);
  ASSERT_EQ(fields.size(), 3u);
  // Each heading is 4 Mi units, 8 MB as UTF-16; read, passed on and made a name, it takes
  // a few such buffers at once, which are given back before the next.
  EXPECT_LT(std::stol(fields[0]), 80'000) << "KB more than before the run";
  EXPECT_EQ(fields[1], "1");
  EXPECT_EQ(fields[2], ToUtf8(kPathTooLongForWindows));
#endif
}

// Mounts a small tmpfs over where, in a mount namespace of the calling process's own.
void MountSmallFileSystem(const fs::path& where, const char* options) {
  const uid_t uid = ::geteuid();
  const gid_t gid = ::getegid();
  const auto fail = [](const char* step) {
    throw ChildCannotSetUp(std::string(step) + ": " + std::strerror(errno));
  };
  if (::unshare(uid == 0 ? CLONE_NEWNS : CLONE_NEWUSER | CLONE_NEWNS) != 0) fail("unshare");
  if (uid != 0) {
    std::ofstream("/proc/self/setgroups") << "deny";
    std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
    std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
  }
  // Keep the mount to this namespace rather than share it with the rest of the machine.
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
    fail("mount --make-rprivate");
  if (::mount("velkora-test", where.c_str(), "tmpfs", 0, options) != 0) fail("mount tmpfs");
}

TEST(Faults, FullFileSystemFailsTheRestAndLeavesNoEmptyFile) {
  ConversionFixture fixture;
  Strings lines;
  for (int i = 1; i <= 8; ++i) {
    lines.push_back(Bookmark("http://s/" + std::to_string(i), "s" + std::to_string(i)));
  }
  fixture.WriteBookmarks(lines);
  // Four pages of 4 KiB: one shortcut each.
  const ChildConversion run =
      ConvertInChild(fixture, [&] { MountSmallFileSystem(fixture.Out(), "size=16k,mode=0755"); });
  if (run.exitCode == kChildCannotSetUp) GTEST_SKIP() << "no private tmpfs here: " << run.failure;
  ASSERT_EQ(run.exitCode, 0) << run.failure;

  const int written = run.report.written;
  EXPECT_GE(written, 1);
  EXPECT_LT(written, 8);
  EXPECT_EQ(run.report.failedShortcuts, 8 - written);
  const std::string firstLost = "s" + std::to_string(written + 1) + ".url";
  EXPECT_EQ(run.report.firstFailedPath, (fixture.Out() / firstLost).u16string());
  EXPECT_EQ(run.report.firstFailureReason, ErrnoText(ENOSPC));
  Strings kept;
  for (int i = 1; i <= written; ++i) kept.push_back("s" + std::to_string(i) + ".url");
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(run.tree, kept);
  for (int i = 1; i <= written; ++i) {
    const std::string name = "s" + std::to_string(i) + ".url";
    EXPECT_EQ(run.files.at(name), ShortcutBytes("http://s/" + std::to_string(i))) << name;
  }
}

// When ChangingWindow changes the bookmark file.
enum class ChangeAt {
  kBetweenPasses,  // where the run sets the progress maximum, after counting
  kWhileWriting,   // at the writing pass's first bookmark
};

// Window operations that change the bookmark file once, at a point of the run.
class ChangingWindow final : public ConversionWindow {
 public:
  ChangingWindow(RecordingWindow& recorded, std::function<void()> change, ChangeAt at)
      : recorded_(recorded), change_(std::move(change)), at_(at) {}

  std::u16string PathText() const override { return recorded_.PathText(); }
  std::u16string TargetDirectory() const override { return recorded_.TargetDirectory(); }
  void SetProgressMaximum(std::int32_t maximum) override {
    recorded_.SetProgressMaximum(maximum);
    if (at_ == ChangeAt::kBetweenPasses) Change();
  }
  void SetProgressValue(std::int32_t value) override {
    recorded_.SetProgressValue(value);
    if (at_ == ChangeAt::kWhileWriting && value > 0) Change();
  }
  void ShowMessage(std::u16string_view text, MessageIcon icon) override {
    recorded_.ShowMessage(text, icon);
  }

 private:
  void Change() {
    if (change_) std::exchange(change_, nullptr)();
  }

  RecordingWindow& recorded_;
  std::function<void()> change_;
  ChangeAt at_;
};

// Converts the fixture's file, running change at the given point of the run.
ConversionReport ConvertChangingBetweenPasses(ConversionFixture& fixture,
                                              const std::function<void()>& change,
                                              ChangeAt at = ChangeAt::kBetweenPasses) {
  ChangingWindow window(fixture.window, change, at);
  return BookmarkConverter(fixture.state, window, fixture.platform.Services()).ConvertBookmarks();
}

// Changes that leave the number of bookmarks as it was: only the file's identity, size or
// time of last write tells them.
TEST(Faults, BookmarkFileChangedWithTheSameCountIsReported) {
  // More bookmarks than the writing pass reads ahead, so that a change at its first
  // bookmark comes while it still reads.
  constexpr int kBookmarks = 300;
  const auto lines = [](const std::string& url) {
    std::vector<std::string> made;
    for (int i = 0; i < kBookmarks; ++i) made.push_back(Bookmark(url, "b" + std::to_string(i)));
    return made;
  };
  struct Case {
    const char* what;
    ChangeAt at;
    std::function<void(const fs::path&)> change;
  };
  const auto later = [](const fs::path& file) {
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(2));
  };
  const Case cases[] = {
      {"swapped for another file", ChangeAt::kBetweenPasses,
       [&](const fs::path& file) {
         const fs::path other = file.parent_path() / "other.html";
         std::string bytes;
         for (const std::string& line : lines("http://x/")) bytes += Ansi(line) + "\r\n";
         WriteBytes(other, bytes);
         // Even the same time of last write: only the identity differs.
         fs::last_write_time(other, fs::last_write_time(file));
         fs::rename(other, file);
       }},
      {"only its time of last write", ChangeAt::kBetweenPasses, later},
      {"grown without a bookmark", ChangeAt::kBetweenPasses,
       [](const fs::path& file) { std::ofstream(file, std::ios::binary | std::ios::app) << "x"; }},
      {"grown while written", ChangeAt::kWhileWriting,
       [](const fs::path& file) { std::ofstream(file, std::ios::binary | std::ios::app) << "x"; }},
      {"written to while written", ChangeAt::kWhileWriting, later},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    ConversionFixture fixture;
    fixture.WriteBookmarks(lines("http://a/"));
    const ConversionReport report = ConvertChangingBetweenPasses(
        fixture, [&] { test.change(fixture.BookmarkFile()); }, test.at);
    EXPECT_EQ(report.outcome, ConversionReport::Outcome::kCompleted);
    EXPECT_TRUE(report.changedDuringRun);
    EXPECT_FALSE(report.AllWritten());
    EXPECT_EQ(report.written, kBookmarks);
    ASSERT_EQ(fixture.window.messages.size(), 1u);
    EXPECT_TRUE(Contains(fixture.window.messages[0], u"変更されました"));
  }
}

TEST(Faults, BookmarkFileRemovedBetweenThePassesIsReported) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({Folder("F"), Bookmark("http://a/", "one"), Bookmark("http://b/", "two")});
  const ConversionReport report =
      ConvertChangingBetweenPasses(fixture, [&] { fs::remove(fixture.BookmarkFile()); });

  EXPECT_EQ(report.outcome, ConversionReport::Outcome::kCannotRead);
  EXPECT_EQ(report.written, 0);
  EXPECT_EQ(fixture.window.maximum, 2);
  EXPECT_EQ(fixture.window.messages,
            std::vector<std::u16string>{CannotReadMessage(fixture.window.path, ErrnoText(ENOENT))});
  EXPECT_TRUE(fixture.Tree().empty());
}

TEST(Faults, BookmarkFileGrownOrCutBetweenThePassesIsConvertedAsItIsThenAndReported) {
  ConversionFixture grown;
  grown.WriteBookmarks({Folder("F"), Bookmark("http://a/", "one")});
  const ConversionReport more = ConvertChangingBetweenPasses(grown, [&] {
    std::ofstream(grown.BookmarkFile(), std::ios::binary | std::ios::app)
        << Bookmark("http://b/", "late") << "\r\n<LI>no anchor\r\n";
  });
  EXPECT_EQ(more.outcome, ConversionReport::Outcome::kCompleted);
  EXPECT_TRUE(more.changedDuringRun);
  EXPECT_EQ(more.bookmarkLines, 3);
  EXPECT_EQ(more.written, 2);
  EXPECT_EQ(more.malformedLines, 1);
  // The window is handed a value past the maximum it was given and has to keep its bar
  // in range itself.
  EXPECT_EQ(grown.window.maximum, 1);
  EXPECT_EQ(grown.window.value, 3);
  EXPECT_EQ(grown.Tree(), (Strings{"F/", "F/late.url", "F/one.url"}));
  ASSERT_EQ(grown.window.messages.size(), 1u);
  EXPECT_TRUE(Contains(grown.window.messages[0], u"4 行目"));
  EXPECT_TRUE(Contains(grown.window.messages[0], u"変更されました"));

  ConversionFixture cut;
  cut.WriteBookmarks({Bookmark("http://a/", "one"), Bookmark("http://b/", "two")});
  const ConversionReport fewer = ConvertChangingBetweenPasses(
      cut, [&] { WriteBytes(cut.BookmarkFile(), Bookmark("http://a/", "one")); });
  EXPECT_FALSE(fewer.AllWritten());
  EXPECT_TRUE(fewer.changedDuringRun);
  EXPECT_EQ(fewer.written, 1);
  EXPECT_EQ(cut.window.maximum, 2);
  EXPECT_EQ(cut.window.value, 1);
  EXPECT_EQ(cut.Tree(), Strings{"one.url"});
}

// Opens files as the platform does, but every opening of the bookmark file after the first
// (the reading that decides the encoding and counts) fails to read once it has handed out
// limit bytes: its digest for the record, then the writing pass.
class SecondPassReadFails final : public ForwardingFileStreams {
 public:
  SecondPassReadFails(FileStreams& real, std::size_t limit)
      : ForwardingFileStreams(real), limit_(limit) {}

  IoResult OpenInput(std::u16string_view path, std::unique_ptr<InputStream>& stream) override {
    IoResult result = real_.OpenInput(path, stream);
    if (result && ++openings_ >= 2) stream = std::make_unique<Failing>(std::move(stream), limit_);
    return result;
  }

 private:
  class Failing final : public InputStream {
   public:
    Failing(std::unique_ptr<InputStream> real, std::size_t limit)
        : real_(std::move(real)), left_(limit) {}
    IoResult Read(char* buffer, std::size_t capacity, std::size_t& received) override {
      if (left_ == 0) return IoResult::Failure(ErrnoText(EIO));
      IoResult result = real_->Read(buffer, std::min(capacity, left_), received);
      left_ -= received;
      return result;
    }

   private:
    std::unique_ptr<InputStream> real_;
    std::size_t left_;
  };

  std::size_t limit_;
  int openings_ = 0;
};

TEST(Faults, ReadErrorInTheWritingPassIsReportedAndKeepsWhatWasWritten) {
  ConversionFixture fixture;
  const std::string first = Ansi(Bookmark("http://a/", "one")) + "\r\n";
  fixture.WriteBookmarkBytes(first + Ansi(Bookmark("http://b/", "two")) + "\r\n");
  const PlatformServices& native = fixture.platform.Services();
  SecondPassReadFails streams(native.streams, first.size() + 5);
  const PlatformServices services{native.codePage, streams,       native.createFileSystem,
                                  native.paths,    native.sha256, native.snapshots};
  const ConversionReport report =
      BookmarkConverter(fixture.state, fixture.window, services).ConvertBookmarks();

  EXPECT_EQ(report.outcome, ConversionReport::Outcome::kCannotRead);
  EXPECT_EQ(report.written, 1);
  EXPECT_EQ(fixture.window.messages,
            std::vector<std::u16string>{CannotReadMessage(fixture.window.path, ErrnoText(EIO))});
  EXPECT_EQ(fixture.Tree(), Strings{"one.url"});
  EXPECT_EQ(fixture.Read("one.url"), ShortcutBytes("http://a/"));
}

}  // namespace
}  // namespace velkora::testing

namespace velkora::testing {
namespace {

// A run killed while it holds a snapshot leaves its folder behind; the next snapshot taken
// removes it, and leaves alone a folder named alike that holds no marker of ours.
TEST(DatabaseSnapshotLeftovers, AreRemovedOnceTheirRunIsGone) {
  TempDir dir;
  TempDir temporary;
  const std::u16string database = (dir.path() / "places.sqlite").u16string();
  WriteBytes(dir.path() / "places.sqlite", "bytes");
  const char* saved = std::getenv("TMPDIR");
  const std::string before = saved != nullptr ? saved : "";
  ::setenv("TMPDIR", temporary.path().c_str(), 1);
  const ChildResult killed = RunInChild([&] {
    std::unique_ptr<DatabaseSnapshot> snapshot;
    if (NativeDatabaseSnapshots().Take(database, snapshot)) ::raise(SIGKILL);
    return std::string("no snapshot");
  });
  const Strings left = ListTree(temporary.path());
  ASSERT_FALSE(killed.exited) << killed.output;
  ASSERT_FALSE(left.empty());
  const std::string folder = left.front().substr(0, left.front().find('/'));
  const fs::path alike = temporary.path() / (folder.substr(0, folder.size() - 6) + "zzzzzz");
  fs::create_directory(alike);
  WriteBytes(alike / "x", "not ours");
  std::unique_ptr<DatabaseSnapshot> snapshot;
  const bool taken = NativeDatabaseSnapshots().Take(database, snapshot).ok;
  saved != nullptr ? ::setenv("TMPDIR", before.c_str(), 1) : ::unsetenv("TMPDIR");
  ASSERT_TRUE(taken);
  EXPECT_FALSE(fs::exists(temporary.path() / folder));
  EXPECT_TRUE(fs::exists(alike / "x"));
}

}  // namespace
}  // namespace velkora::testing
