// The platform's calls on the entries of a target's record: each on one name in a held
// folder, never through a link, and a file removed only if it is the one found ours.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/run/refusal_reasons.h"
#include "engine/text/utf8.h"
#include "tests/test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// A modification time and the stamp's own units for it.
constexpr std::int64_t kTime = 1'600'000'000'123'456;
#ifdef _WIN32
constexpr std::int64_t kStampTime = kTime * 10 + 116'444'736'000'000'000;
// Windows is sure of a written file's stamp only where it set the time of last write.
constexpr bool kStampOnlyOnceTimed = true;
#else
constexpr std::int64_t kStampTime = kTime * 1000;
constexpr bool kStampOnlyOnceTimed = false;
#endif

constexpr int kFileLink = 1, kFolderLink = 2;

#ifdef _WIN32
// Under Wine, which makes no links, a Linux one made by ln, which Wine runs in folder: Wine
// shows a link to a folder as a reparse point (and one to a file as that file: none is made).
bool MakeLinuxLink(const fs::path& folder, std::wstring command, const fs::path& link) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
    return false;
  }
  ::WaitForSingleObject(process.hProcess, INFINITE);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  // Wine tells no exit status of a Linux program, and may hand back the process before it
  // ends: the link itself says whether it was made, once it shows.
  for (int tries = 0; tries < 250; ++tries) {
    const DWORD attributes = ::GetFileAttributesW(link.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }
    ::Sleep(20);
  }
  return false;
}
#endif

TEST(TargetFiles, EachCallActsOnTheNameInItsFolderAndNeverThroughALink) {
  TempDir dir;
  const fs::path out = dir.path() / "out", outside = dir.path() / "outside";
  for (const fs::path& folder : {out / "full", out / "empty", outside / "dir"}) {
    fs::create_directories(folder);
  }
  for (const char* name :
       {"ours.url", "theirs.url", "taken.url", "full/in.url", "swap.url", "ours"}) {
    WriteBytes(out / name, name);
  }
  WriteBytes(out / "big.url", "0123456789");
  WriteBytes(outside / "file.txt", "ours.url");
  fs::create_hard_link(out / "taken.url", outside / "hard.url");
  std::error_code noFileLink, noFolderLink;
  fs::create_symlink(outside / "file.txt", out / "link.url", noFileLink);
  fs::create_directory_symlink(outside / "dir", out / "linkdir", noFolderLink);
#ifdef _WIN32
  if (noFolderLink &&
      MakeLinuxLink(dir.path(), L"ln -s ../outside/dir out/linkdir", out / "linkdir")) {
    noFolderLink.clear();
  }
#endif

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
    bool missing = false, taken = false;
    int link = 0;  // the link the case needs: kFileLink or kFolderLink
    bool removed = false;
  } cases[] = {
      {"open folder", [&] { return files->OpenFolderIn(*target, u"empty", opened); }, true, u""},
      {"open missing", [&] { return files->OpenFolderIn(*target, u"no", opened); }, false, u"",
       true},
      {"open file", [&] { return files->OpenFolderIn(*target, u"ours.url", opened); }, false,
       std::u16string(kNotAFolder)},
      {"open link", [&] { return files->OpenFolderIn(*target, u"linkdir", opened); }, false, link,
       false, false, kFolderLink},
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
      {"remove full folder",
       [&] {
         // Windows lets no one remove a folder held open, as the run holds its folders.
         full.reset();
         opened.reset();
         return files->RemoveEmptyFolderAt(*target, u"full", removed);
       },
       true, u""},
      {"remove file as folder",
       [&] { return files->RemoveEmptyFolderAt(*target, u"big.url", removed); }, false,
       std::u16string(kNotAFolder)},
      {"remove folder link",
       [&] { return files->RemoveEmptyFolderAt(*target, u"linkdir", removed); }, false, link, false,
       false, kFolderLink},
      {"remove empty folder",
       [&] { return files->RemoveEmptyFolderAt(*target, u"empty", removed); }, true, u"", false,
       false, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if ((c.link == kFileLink && noFileLink) || (c.link == kFolderLink && noFolderLink)) continue;
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
  // A written file's stream tells the stamp its name shows afterwards, times given or not.
  for (const FileTimes& times : {FileTimes{}, FileTimes{kTime - 1, kTime}}) {
    std::unique_ptr<OutputStream> output;
    IoResult timesSet;
    ASSERT_TRUE(platform.Services().streams.OpenOutputIn(*target, u"theirs.url", output).ok);
    ASSERT_TRUE(output->Write("written").ok);
    ASSERT_TRUE(output->CloseWithTimes(times, timesSet).ok && timesSet.ok);
    ASSERT_TRUE(files->StampAt(*target, u"theirs.url", stamp).ok);
    const bool known = times.modified || !kStampOnlyOnceTimed;
    EXPECT_EQ(output->PlacedStamp(), known ? std::optional(stamp) : std::nullopt);
  }
  Strings left{"big.url", "full/", "full/in.url"};
  if (!noFileLink) left.push_back("link.url");
  if (!noFolderLink) left.push_back("linkdir/");
  left.insert(left.end(), {everSwapped ? "ours" : "swap.url", "taken.url", "theirs.url"});
  EXPECT_EQ(ListTree(out), left);
  EXPECT_EQ(ListTree(outside), (Strings{"dir/", "file.txt", "hard.url"}));
  EXPECT_EQ(ReadBytes(outside / "file.txt"), "ours.url");
}

}  // namespace
}  // namespace velkora::testing
