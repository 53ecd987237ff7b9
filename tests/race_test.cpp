// Races against a run: folders below the target, and the target itself, swapped for links
// to a place outside while shortcuts are being written. Nothing may land outside, no
// temporary file may stay, and every bookmark is either written into the real tree or
// named with its reason.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "engine/run/conversion.h"
#include "engine/run/conversion_observer.h"
#include "engine/run/refusal_reasons.h"
#include "engine/text/utf8.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

constexpr int kGroups = 100;
constexpr int kInGroup = 10;
constexpr int kBetween = 10;
constexpr int kBookmarks = kGroups * (kInGroup + kBetween);

// Groups of bookmarks in sub/gN, each followed by bookmarks in the target itself, so that
// the chain below the target is opened again for every group.
std::vector<std::string> RaceBookmarks() {
  std::vector<std::string> lines;
  for (int group = 0; group < kGroups; ++group) {
    const std::string n = std::to_string(group);
    lines.insert(lines.end(), {Folder("sub"), Folder("g" + n)});
    for (int i = 0; i < kInGroup; ++i) {
      lines.push_back(Bookmark("http://s/" + n + "/" + std::to_string(i), "s" + std::to_string(i)));
    }
    lines.insert(lines.end(), {"</UL>", "</UL>"});
    for (int i = 0; i < kBetween; ++i) {
      lines.push_back(
          Bookmark("http://t/" + n + "/" + std::to_string(i), "t" + n + "_" + std::to_string(i)));
    }
  }
  return lines;
}

// Every failure as the console tool would name it; after writes, calls a hook.
class Recorder final : public ConversionObserver {
 public:
  std::vector<std::u16string> failedPaths;
  std::vector<std::u16string> reasons;
  int written = 0;
  std::function<void(int)> afterWrite;

  void ShortcutWritten(std::u16string_view) override {
    ++written;
    if (afterWrite) afterWrite(written);
  }
  void ShortcutShortened(const BookmarkRecord&, std::u16string_view) override {}
  void ShortcutFailed(const BookmarkRecord&, std::u16string_view path,
                      std::u16string_view reason) override {
    failedPaths.emplace_back(path);
    reasons.emplace_back(reason);
  }
  void LineUnreadable(const BookmarkRecord&, std::u16string_view) override {}
};

// The number of shortcuts below root, failing on any temporary file.
int CountShortcuts(const fs::path& root) {
  int shortcuts = 0;
  for (const std::string& entry : ListTree(root)) {
    EXPECT_EQ(entry.find(".velkora-"), std::string::npos) << "temporary file left: " << entry;
    if (entry.ends_with(".url")) ++shortcuts;
  }
  return shortcuts;
}

TEST(Race, FolderSwappedForALinkEveryMillisecond) {
  ConversionFixture fixture;
  const fs::path outside = fixture.BookmarkFile().parent_path() / "outside";
  fs::create_directories(outside);
  fixture.WriteBookmarks(RaceBookmarks());
  fs::create_directory(fixture.Out() / "sub");
  fs::create_directory_symlink(outside, fixture.Out() / "swap");

  // Swaps sub and the link, atomically, every millisecond until the run ends.
  std::atomic<bool> running{true};
  int swaps = 0;
  std::thread swapper([&] {
    const std::string out = fixture.Out().string();
    while (running.load()) {
      if (::renameat2(AT_FDCWD, (out + "/sub").c_str(), AT_FDCWD, (out + "/swap").c_str(),
                      RENAME_EXCHANGE) == 0) {
        ++swaps;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  Recorder recorder;
  const ConversionReport report =
      BookmarkConverter(fixture.state, fixture.window, fixture.platform.Services(), &recorder)
          .ConvertBookmarks();
  running.store(false);
  swapper.join();
  if (fs::is_symlink(fixture.Out() / "sub")) {
    fs::rename(fixture.Out() / "sub", fixture.Out() / "link");
    fs::rename(fixture.Out() / "swap", fixture.Out() / "sub");
  }

  EXPECT_GT(swaps, 10);
  EXPECT_EQ(ListTree(outside), Strings{});
  EXPECT_EQ(report.written + report.failedShortcuts, kBookmarks);
  EXPECT_EQ(CountShortcuts(fixture.Out()), report.written);
  ASSERT_EQ(recorder.failedPaths.size(), static_cast<std::size_t>(report.failedShortcuts));
  for (std::size_t i = 0; i < recorder.reasons.size(); ++i) {
    EXPECT_EQ(recorder.reasons[i], kLinkInTheWay) << ToUtf8(recorder.failedPaths[i]);
  }
  std::cout << "swaps " << swaps << ", written " << report.written << ", refused "
            << report.failedShortcuts << "\n";
}

TEST(Race, TargetSwappedForALinkMidRun) {
  ConversionFixture fixture;
  const fs::path outside = fixture.BookmarkFile().parent_path() / "outside";
  fs::create_directories(outside);
  fixture.WriteBookmarks(RaceBookmarks());
  const fs::path real = fixture.Out().string() + ".real";

  Recorder recorder;
  recorder.afterWrite = [&](int written) {
    if (written != kBookmarks / 3) return;
    fs::rename(fixture.Out(), real);
    fs::create_directory_symlink(outside, fixture.Out());
  };
  const ConversionReport report =
      BookmarkConverter(fixture.state, fixture.window, fixture.platform.Services(), &recorder)
          .ConvertBookmarks();

  EXPECT_TRUE(report.AllWritten());
  EXPECT_EQ(ListTree(outside), Strings{});
  EXPECT_EQ(CountShortcuts(real), kBookmarks);
}

// Open descriptors of this process.
int OpenDescriptors() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

// A run holds only the chain of the folder it writes into: a tree as deep as the folder
// levels go, then thousands of folders side by side, never holds more than one descriptor
// a level.
TEST(Handles, BoundedByTheDepthOfTheTree) {
  constexpr int kDepth = 128;
  constexpr int kSideBySide = 3000;
  ConversionFixture fixture;
  std::vector<std::string> lines;
  for (int level = 0; level < kDepth; ++level) {
    lines.push_back(Folder("d"));
    lines.push_back(Bookmark("http://deep/" + std::to_string(level), "b"));
  }
  lines.insert(lines.end(), kDepth, "</UL>");
  for (int folder = 0; folder < kSideBySide; ++folder) {
    lines.insert(lines.end(),
                 {Folder("f" + std::to_string(folder)), Bookmark("http://f/", "b"), "</UL>"});
  }
  fixture.WriteBookmarks(lines);

  Recorder recorder;
  const int before = OpenDescriptors();
  int most = 0;
  recorder.afterWrite = [&](int written) {
    if (written % 97 == 0 || written < kDepth) most = std::max(most, OpenDescriptors() - before);
  };
  const ConversionReport report =
      BookmarkConverter(fixture.state, fixture.window, fixture.platform.Services(), &recorder)
          .ConvertBookmarks();

  EXPECT_GT(report.written, kDepth / 2 + kSideBySide);  // the deepest are too long for Windows
  EXPECT_LE(most, kDepth + 8);
  EXPECT_LE(OpenDescriptors(), before + 2);
}

}  // namespace
}  // namespace velkora::testing
