// What a run must never do, whatever stands in the target: write through a link to a
// place outside it, leave a shortcut half written, or replace the bookmark file it reads.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/run/refusal_reasons.h"
#include "engine/text/utf8.h"
#include "tests/test_support.h"

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#endif

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

#ifdef _WIN32
// Makes folder a junction to target (absolute); false where the system cannot.
bool MakeJunction(const fs::path& folder, const fs::path& target) {
  fs::create_directory(folder);
  const HANDLE handle =
      ::CreateFileW(folder.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const std::wstring substitute = L"\\??\\" + target.wstring();
  const std::wstring print = target.wstring();
  std::vector<WCHAR> names(substitute.begin(), substitute.end());
  names.push_back(0);
  names.insert(names.end(), print.begin(), print.end());
  names.push_back(0);
  // The mount point layout: tag, data length, reserved, four name offsets and lengths.
  std::vector<BYTE> buffer(16 + names.size() * sizeof(WCHAR));
  const auto word = [&](std::size_t at, std::size_t value) {
    buffer[at] = static_cast<BYTE>(value & 0xFF);
    buffer[at + 1] = static_cast<BYTE>(value >> 8);
  };
  *reinterpret_cast<DWORD*>(buffer.data()) = IO_REPARSE_TAG_MOUNT_POINT;
  word(4, buffer.size() - 8);
  word(10, substitute.size() * 2);
  word(12, (substitute.size() + 1) * 2);
  word(14, print.size() * 2);
  std::memcpy(buffer.data() + 16, names.data(), names.size() * sizeof(WCHAR));
  DWORD returned = 0;
  const BOOL made =
      ::DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(),
                        static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
  ::CloseHandle(handle);
  if (!made) fs::remove(folder);
  return made;
}
#endif

// A folder link, shortcut names that are links to a file outside or to nothing, and a hard
// link to that file: the run writes inside the target only, and replaces entries, never
// what they lead to.
TEST(Containment, LinksBelowTheTargetAreNeverFollowed) {
  ConversionFixture fixture;
  const fs::path outside = fixture.BookmarkFile().parent_path() / "outside";
  fs::create_directories(outside / "dir");
  WriteBytes(outside / "file.txt", "keep");
  fixture.WriteBookmarks({Folder("L"), Bookmark("http://in/", "in"), "</UL>",
                          Bookmark("http://h/", "H"), Bookmark("http://s/", "S"),
                          Bookmark("http://d/", "D")});
  Strings replaced{"H.url"};
  fs::create_hard_link(outside / "file.txt", fixture.Out() / "H.url");
#ifdef _WIN32
  // Symbolic links need a privilege on Windows; a junction needs none, where it exists.
  const bool folderLink = MakeJunction(fixture.Out() / "L", outside / "dir");
#else
  const bool folderLink = true;
  fs::create_directory_symlink(outside / "dir", fixture.Out() / "L");
  fs::create_symlink(outside / "file.txt", fixture.Out() / "S.url");
  fs::create_symlink(outside / "none.txt", fixture.Out() / "D.url");
  replaced.insert(replaced.end(), {"S.url", "D.url"});
#endif
  const ConversionReport report = fixture.Convert();

  EXPECT_EQ(ListTree(outside), (Strings{"dir/", "file.txt"}));
  EXPECT_EQ(ReadBytes(outside / "file.txt"), "keep");
  for (const std::string& name : replaced) {
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(fixture.Out() / name))) << name;
    EXPECT_EQ(fixture.Read(name), ShortcutBytes("http://" + std::string(1, name[0] | 0x20) + "/"));
  }
  if (!folderLink) GTEST_SKIP() << "no junction can be made here; links to files were checked";
  EXPECT_EQ(report.written, 3);
  EXPECT_EQ(report.failedShortcuts, 1);
  EXPECT_EQ(report.firstFailedPath, (fixture.Out() / "L").u16string());
  EXPECT_EQ(report.firstFailureReason, kLinkInTheWay);

#ifndef _WIN32
  // The target itself may be a link: the user chose it.
  fixture.window.target = (fixture.Out() / "L").u16string();
  fixture.WriteBookmarks({Bookmark("http://t/", "T")});
  EXPECT_TRUE(fixture.Convert().AllWritten());
  EXPECT_EQ(ListTree(outside / "dir"), Strings{"T.url"});
#endif
}

TEST(Containment, TheBookmarkFileBeingReadIsNeverReplaced) {
  ConversionFixture fixture;
  const std::string bytes =
      Ansi(Bookmark("http://b/", "B") + "\r\n" + Bookmark("http://c/", "C") + "\r\n");
  WriteBytes(fixture.Out() / "B.url", bytes);
  fixture.window.path = (fixture.Out() / "B.url").u16string();
  const ConversionReport report = fixture.Convert();

  EXPECT_EQ(report.written, 1);
  EXPECT_EQ(report.failedShortcuts, 1);
  EXPECT_EQ(report.firstFailureReason, kBookmarkFileInTheWay);
  EXPECT_EQ(fixture.Read("B.url"), bytes);
  EXPECT_EQ(fixture.Tree(), (Strings{"B.url", "C.url"}));
}

#ifdef _WIN32
// A title that is another file's short (8.3) name would open that file: the name counts as
// taken and is numbered, and the file stays.
TEST(Containment, AnotherFilesShortNameIsNumberedNotReplaced) {
  ConversionFixture fixture;
  const fs::path longFile = fixture.Out() / "Longname bookmark.url";
  WriteBytes(longFile, ShortcutBytes("http://long/"));
  std::wstring shortPath(MAX_PATH, L'\0');
  const DWORD size = ::GetShortPathNameW(LiteralPath(longFile).c_str(), shortPath.data(), MAX_PATH);
  ASSERT_GT(size, 0u);
  ASSERT_LT(size, static_cast<DWORD>(MAX_PATH));
  shortPath.resize(size);
  const std::string alias = ToUtf8(fs::path(shortPath).stem().u16string());
  if (alias == "Longname bookmark") GTEST_SKIP() << "no short names on this volume";
  ASSERT_TRUE(fs::exists(fixture.Out() / (alias + ".url"))) << alias;
  fixture.WriteBookmarks({Bookmark("http://short/", alias)});
  const ConversionReport report = fixture.Convert();

  EXPECT_TRUE(report.AllWritten());
  EXPECT_EQ(fixture.Read("Longname bookmark.url"), ShortcutBytes("http://long/"));
  EXPECT_EQ(fixture.Read(alias + " (2).url"), ShortcutBytes("http://short/"));
  EXPECT_EQ(fixture.Tree(), (Strings{alias + " (2).url", "Longname bookmark.url"}));
}
#endif

// The platform's files, but every shortcut's write fails once its temporary file exists.
class WritesFail final : public ForwardingFileStreams {
 public:
  using ForwardingFileStreams::ForwardingFileStreams;

  IoResult OpenOutputIn(const FolderHandle& folder, std::u16string_view name,
                        std::unique_ptr<OutputStream>& stream) override {
    IoResult result = real_.OpenOutputIn(folder, name, stream);
    if (result) stream = std::make_unique<Failing>(std::move(stream));
    return result;
  }

 private:
  struct Failing final : OutputStream {
    explicit Failing(std::unique_ptr<OutputStream> real) : real(std::move(real)) {}
    IoResult Write(std::string_view) override { return IoResult::Failure(u"disk full"); }
    IoResult Close() override { return real->Close(); }
    std::unique_ptr<OutputStream> real;
  };
};

TEST(InterruptedWrite, FailedWriteKeepsTheOldShortcutAndLeavesNoTemporaryFile) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({Bookmark("http://new/", "x")});
  WriteBytes(fixture.Out() / "x.url", ShortcutBytes("http://old/"));
  const PlatformServices& native = fixture.platform.Services();
  WritesFail streams(native.streams);
  const PlatformServices services{native.codePage, streams,       native.createFileSystem,
                                  native.paths,    native.sha256, native.snapshots};
  const ConversionReport report =
      BookmarkConverter(fixture.state, fixture.window, services).ConvertBookmarks();

  EXPECT_EQ(report.failedShortcuts, 1);
  EXPECT_EQ(report.firstFailureReason, u"disk full");
  EXPECT_EQ(fixture.Tree(), Strings{"x.url"});
  EXPECT_EQ(fixture.Read("x.url"), ShortcutBytes("http://old/"));
}

// The platform's stamp of a bookmark file open for reading: the same while the file stays
// as it was, another after any change, even one that keeps its bytes' count or its time.
TEST(InputStamp, DiffersAfterEveryChangeOfTheFile) {
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> change;
    bool differs;
  };
  const Case cases[] = {
      {"left alone", [](const fs::path&) {}, false},
      {"grown", [](const fs::path& file) { WriteBytes(file, "abcd"); }, true},
      {"time of last write",
       [](const fs::path& file) {
         fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(2));
       },
       true},
      {"swapped for a file of the same bytes and time",
       [](const fs::path& file) {
         const fs::path other = file.parent_path() / "other.html";
         WriteBytes(other, "abc");
         fs::last_write_time(other, fs::last_write_time(file));
         fs::rename(other, file);
       },
       true},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    TempDir dir;
    const fs::path file = dir.path() / "b.html";
    WriteBytes(file, "abc");
    NativePlatform platform;
    FileStreams& streams = platform.Services().streams;
    FileStamp before;
    FileStamp again;
    {
      std::unique_ptr<InputStream> input;
      ASSERT_TRUE(streams.OpenInput(file.u16string(), input).ok);
      ASSERT_TRUE(input->Stamp(before).ok);
      ASSERT_TRUE(input->Stamp(again).ok);
      EXPECT_EQ(before, again);
      EXPECT_EQ(before.size, 3);
    }
    test.change(file);
    std::unique_ptr<InputStream> input;
    ASSERT_TRUE(streams.OpenInput(file.u16string(), input).ok);
    FileStamp after;
    ASSERT_TRUE(input->Stamp(after).ok);
    EXPECT_EQ(before != after, test.differs);
  }
}

}  // namespace
}  // namespace velkora::testing
