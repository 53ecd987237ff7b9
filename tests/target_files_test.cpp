// The platform's calls on the entries of a target's record: each on one name in a held
// folder, never through a link, and a file removed only if it is the one found ours.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/run/refusal_reasons.h"
#include "engine/text/utf8.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// A modification time and the stamp's own units for it.
constexpr std::int64_t kTime = 1'600'000'000'123'456;
#ifdef _WIN32
constexpr std::int64_t kStampTime = kTime * 10 + 116'444'736'000'000'000;
#else
constexpr std::int64_t kStampTime = kTime * 1000;
#endif

TEST(TargetFiles, EachCallActsOnTheNameInItsFolderAndNeverThroughALink) {
  TempDir dir;
  const fs::path out = dir.path() / "out", outside = dir.path() / "outside";
  fs::create_directories(out / "full");
  fs::create_directories(out / "empty");
  fs::create_directories(outside / "dir");
  for (const char* name :
       {"ours.url", "theirs.url", "taken.url", "full/in.url", "swap.url", "ours"}) {
    WriteBytes(out / name, name);
  }
  WriteBytes(out / "big.url", "0123456789");
  WriteBytes(outside / "file.txt", "ours.url");
  fs::create_hard_link(out / "taken.url", outside / "hard.url");
  std::error_code noLinks;
  fs::create_symlink(outside / "file.txt", out / "link.url", noLinks);
  if (!noLinks) fs::create_directory_symlink(outside / "dir", out / "linkdir", noLinks);

  NativePlatform platform;
  const auto files = platform.Services().createFileSystem();
  std::unique_ptr<FolderHandle> target, full, opened;
  ASSERT_TRUE(files->OpenTarget(out.u16string(), target).ok);
  ASSERT_TRUE(files->OpenFolderIn(*target, u"full", full).ok);
  FileStamp stamp;
  std::string bytes;
  bool removed = false;
  const auto ours = [](std::string_view held) { return held == "ours.url"; };
  // Another file takes the name while it is asked about, where the system lets it.
  bool swapped = false, everSwapped = false;
  const auto swap = [&](std::string_view) {
    std::error_code refused;
    fs::rename(out / "swap.url", out / "ours", refused);
    swapped = everSwapped = !refused;
    return true;
  };
  const std::u16string link(kLinkInTheWay);
  const struct {
    const char* what;
    std::function<IoResult()> call;
    bool ok;
    std::u16string reason;  // empty: the system's own, or none
    bool missing = false, taken = false, link = false, removed = false;
  } cases[] = {
      {"open folder", [&] { return files->OpenFolderIn(*target, u"empty", opened); }, true, u""},
      {"open missing", [&] { return files->OpenFolderIn(*target, u"no", opened); }, false, u"",
       true},
      {"open file", [&] { return files->OpenFolderIn(*target, u"ours.url", opened); }, false,
       std::u16string(kNotAFolder)},
      {"open link", [&] { return files->OpenFolderIn(*target, u"linkdir", opened); }, false, link,
       false, false, true},
      {"open ..", [&] { return files->OpenFolderIn(*full, u"..", opened); }, false, u""},
      {"stamp folder", [&] { return files->StampAt(*target, u"full", stamp); }, false, u""},
      {"stamp link", [&] { return files->StampAt(*target, u"link.url", stamp); }, false, link,
       false, false, true},
      {"read", [&] { return files->ReadFileAt(*target, u"ours.url", 8, bytes); }, true, u""},
      {"read too large", [&] { return files->ReadFileAt(*target, u"big.url", 9, bytes); }, false,
       u""},
      {"read link", [&] { return files->ReadFileAt(*target, u"link.url", 99, bytes); }, false, link,
       false, false, true},
      {"times",
       [&] {
         return files->SetFileTimesAt(*target, u"ours.url", {{}, kTime});
       },
       true, u""},
      {"times link",
       [&] {
         return files->SetFileTimesAt(*target, u"link.url", {{}, kTime});
       },
       false, link, false, false, true},
      {"move taken", [&] { return files->MoveFileAt(*target, u"ours.url", *target, u"taken.url"); },
       false, u"", false, true},
      {"move missing", [&] { return files->MoveFileAt(*target, u"no", *full, u"no"); }, false, u"",
       true},
      {"move link", [&] { return files->MoveFileAt(*target, u"link.url", *full, u"l.url"); }, false,
       link, false, false, true},
      {"move", [&] { return files->MoveFileAt(*target, u"ours.url", *full, u"moved.url"); }, true,
       u""},
      {"remove not ours",
       [&] { return files->RemoveFileAt(*target, u"theirs.url", 99, ours, removed); }, true, u""},
      {"remove too large",
       [&] { return files->RemoveFileAt(*target, u"big.url", 9, ours, removed); }, true, u""},
      {"remove hard link",
       [&] { return files->RemoveFileAt(*target, u"taken.url", 99, ours, removed); }, false, u""},
      {"remove link", [&] { return files->RemoveFileAt(*target, u"link.url", 99, ours, removed); },
       false, link, false, false, true},
      {"remove missing", [&] { return files->RemoveFileAt(*target, u"no", 99, ours, removed); },
       false, u"", true},
      {"remove", [&] { return files->RemoveFileAt(*full, u"moved.url", 8, ours, removed); }, true,
       u"", false, false, false, true},
      {"remove swapped", [&] { return files->RemoveFileAt(*target, u"ours", 9, swap, removed); },
       true, u"", false, false, false, true},
      {"remove full folder", [&] { return files->RemoveEmptyFolderAt(*target, u"full", removed); },
       true, u""},
      {"remove file as folder",
       [&] { return files->RemoveEmptyFolderAt(*target, u"big.url", removed); }, false,
       std::u16string(kNotAFolder)},
      {"remove folder link",
       [&] { return files->RemoveEmptyFolderAt(*target, u"linkdir", removed); }, false, link, false,
       false, true},
      {"remove empty folder",
       [&] { return files->RemoveEmptyFolderAt(*target, u"empty", removed); }, true, u"", false,
       false, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.link && noLinks) continue;
    removed = !c.removed;
    swapped = false;
    const IoResult result = c.call();
    EXPECT_EQ(result.ok, c.ok) << ToUtf8(result.reason);
    EXPECT_EQ(result.ok, result.reason.empty()) << ToUtf8(result.reason);
    EXPECT_TRUE(c.reason.empty() || result.reason == c.reason) << ToUtf8(result.reason);
    EXPECT_EQ(result.missing, c.missing);
    EXPECT_EQ(result.nameTaken, c.taken);
    // The file removed is the file read: one put in its place meanwhile stays.
    if (c.ok && std::string(c.what).starts_with("remove")) {
      EXPECT_EQ(removed, c.removed && !swapped);
    }
    EXPECT_TRUE(!swapped || ReadBytes(out / "ours") == "swap.url");
    // A file too large leaves nothing read.
    EXPECT_TRUE(!std::string(c.what).starts_with("read") || bytes == (c.ok ? "ours.url" : ""));
  }
  ASSERT_TRUE(files->ReadFileAt(*target, u"theirs.url", 10, bytes).ok);
  EXPECT_EQ(bytes, "theirs.url");
  // The stamp of a name is the stamp of the stream open on that file, times set included.
  std::unique_ptr<InputStream> input;
  FileStamp streamed;
  ASSERT_TRUE(files->StampAt(*target, u"big.url", stamp).ok);
  ASSERT_TRUE(platform.Services().streams.OpenInput((out / "big.url").u16string(), input).ok);
  ASSERT_TRUE(input->Stamp(streamed).ok);
  EXPECT_EQ(stamp, streamed);
  ASSERT_TRUE(files->SetFileTimesAt(*target, u"theirs.url", {{}, kTime}).ok);
  ASSERT_TRUE(files->StampAt(*target, u"theirs.url", stamp).ok);
  EXPECT_EQ(stamp.modified, kStampTime);
  EXPECT_EQ(stamp.size, 10);
  Strings left{"big.url", "full/", "full/in.url"};
  if (!noLinks) left.insert(left.end(), {"link.url", "linkdir/"});
  left.insert(left.end(), {everSwapped ? "ours" : "swap.url", "taken.url", "theirs.url"});
  opened.reset();
  full.reset();
  target.reset();
  EXPECT_EQ(ListTree(out), left);
  EXPECT_EQ(ListTree(outside), (Strings{"dir/", "file.txt", "hard.url"}));
  EXPECT_EQ(ReadBytes(outside / "file.txt"), "ours.url");
}

}  // namespace
}  // namespace velkora::testing
