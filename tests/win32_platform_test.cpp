#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/run/refusal_reasons.h"
#include "engine/sources/profiles/browser_profiles.h"
#include "engine/text/utf8.h"
#include "platform/browser_stores.h"
#include "platform/database_snapshots.h"
#include "platform/snapshot_folder_name.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_folder.h"
#include "platform/win32/win32_paths.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

TEST(ExtendedPath, IsAbsoluteAndNormalisedAsWindowsWould) {
  EXPECT_EQ(ExtendedPath(u"C:\\out\\\\a\\b.url"), L"\\\\?\\C:\\out\\a\\b.url");
  EXPECT_EQ(ExtendedPath(u"C:/out/a\\.\\b\\..\\c"), L"\\\\?\\C:\\out\\a\\c");
  EXPECT_EQ(ExtendedPath(u"\\\\server\\share\\\\d\\e"), L"\\\\?\\UNC\\server\\share\\d\\e");
  const std::wstring relative = ExtendedPath(u"some\\name");
  EXPECT_EQ(relative.rfind(L"\\\\?\\", 0), 0u);
  EXPECT_TRUE(relative.ends_with(L"\\some\\name"));
  EXPECT_EQ(ExtendedPath(u"..\\x"),
            L"\\\\?\\" + (fs::current_path().parent_path() / "x").wstring());
  // Names keep their trailing dots and spaces, which Windows would otherwise drop (the
  // engine's folder names no longer end in them; the layer still names what it is given).
  EXPECT_EQ(ExtendedPath(u"C:\\abc.\\x \\y..\\z. "), L"\\\\?\\C:\\abc.\\x \\y..\\z. ");
  EXPECT_EQ(ExtendedPath(u"C:\\a\\..\\..\\b\\"), L"\\\\?\\C:\\b");
}

TEST(ExtendedPath, LeavesDevicePathsAloneAndRefusesWhatNamesNoFile) {
  EXPECT_EQ(ExtendedPath(u"\\\\?\\C:\\x\\\\y"), L"\\\\?\\C:\\x\\\\y");
  EXPECT_EQ(ExtendedPath(u"\\\\.\\NUL"), L"\\\\.\\NUL");
  EXPECT_EQ(ExtendedPath(u""), L"");
  EXPECT_EQ(ExtendedPath(std::u16string(u"C:\\a\0b", 6)), L"");
}

TEST(SystemErrorText, GivesTheSystemsTextWithoutLineEnd) {
  const std::u16string text = SystemErrorText(2);  // ERROR_FILE_NOT_FOUND
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.back(), u'\n');
  EXPECT_EQ(SystemErrorText(0x2FFFFFFF), u"Windows のエラー 805306367");
}

TEST(Win32Platform, ProfilesAreFoundBelowTheKnownFolders) {
  // Under Wine the known folders lie in the test's prefix. The test makes Chromium's and
  // Firefox's folders there and removes them after; it never touches ones it did not make.
  const std::vector<BrowserStore> stores = BrowserStores();
  ASSERT_EQ(stores.size(), 6u);
  const fs::path chromium(stores[4].folder), firefox(stores[5].folder);
  // Google's folder may be the window test's, whose Chrome profile would be found too.
  if (fs::exists(chromium.parent_path()) || fs::exists(firefox.parent_path()) ||
      fs::exists(fs::path(stores[0].folder).parent_path().parent_path())) {
    GTEST_SKIP() << "Chromium, Firefox or Chrome keeps its own folders here";
  }
  struct RemovedAtEnd {
    std::vector<fs::path> folders;
    ~RemovedAtEnd() {
      std::error_code ignored;
      for (const fs::path& folder : folders) fs::remove_all(folder, ignored);
    }
  } const made{{chromium.parent_path(), firefox.parent_path()}};
  for (const auto& [file, bytes] : std::vector<std::pair<fs::path, std::string>>{
           {chromium / "Local State",
            R"({"profile":{"info_cache":{"Profile 1":{"name":"個人"}}}})"},
           {chromium / "Profile 1" / "Bookmarks", ""},
           {firefox / "profiles.ini",
            "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=p\r\n"},
           {firefox / "p" / "places.sqlite", ""}}) {
    fs::create_directories(file.parent_path());
    WriteBytes(file, bytes);
  }
  NativePlatform platform;
  EXPECT_EQ(FindProfiles(platform.Services().streams, stores, u'\\'),
            (std::vector<BrowserProfile>{
                {u"Chromium", u"個人", stores[4].folder + u"\\Profile 1\\Bookmarks"},
                {u"Firefox", u"default-release", stores[5].folder + u"\\p\\places.sqlite"}}));
}

TEST(Win32Platform, TargetEndingWithASeparatorAsAtADriveRoot) {
  // The directory list shows a drive root as "C:\"; the separator the engine adds after
  // it, and after an empty folder name, must not change where the files go.
  ConversionFixture fixture;
  fixture.window.target = fixture.Out().u16string() + u"\\";
  fixture.WriteBookmarks({"<LI>F<UL>", "<LI><A HREF=\"u1\">a</A>", "<LI><UL>",
                          "<LI><A HREF=\"u2\">b</A>", "<LI><A HREF=\"u3\">A</A>"});
  const ConversionReport report = fixture.Convert();
  EXPECT_TRUE(report.AllWritten()) << ToUtf8(report.firstFailureReason);
  EXPECT_EQ(fixture.Tree(), (Strings{"F/", "F/A (2).url", "F/a.url", "F/b.url"}));
  EXPECT_EQ(fixture.Read("F/A (2).url"), ShortcutBytes("u3"));
}

TEST(Win32Platform, PathsBeyondTheOldLimitOf260Characters) {
  // The conversion keeps within 259 units; the layer itself reaches further.
  TempDir dir;
  NativePlatform platform;
  const auto fileSystem = platform.Services().createFileSystem();
  std::u16string deepest = dir.path().u16string();
  std::vector<std::unique_ptr<FolderHandle>> chain(1);
  ASSERT_TRUE(fileSystem->OpenTarget(deepest, chain.back()).ok);
  for (int level = 0; level < 12; ++level) {
    deepest += u"\\" + std::u16string(40, u'd');
    std::unique_ptr<FolderHandle> folder;
    ASSERT_TRUE(fileSystem->OpenOrMakeFolder(*chain.back(), std::u16string(40, u'd'), folder).ok);
    chain.push_back(std::move(folder));
  }
  ASSERT_GT(deepest.size(), 500u);
  std::unique_ptr<OutputStream> output;
  ASSERT_TRUE(platform.Services().streams.OpenOutputIn(*chain.back(), u"t.url", output).ok);
  ASSERT_TRUE(output->Write("x").ok);
  ASSERT_TRUE(output->Close().ok);
  EXPECT_EQ(ReadBytes(fs::path(deepest) / "t.url"), "x");
}

TEST(Win32Platform, FailuresCarryTheSystemsReason) {
  NativePlatform platform;
  std::unique_ptr<InputStream> input;
  const IoResult missing = platform.Services().streams.OpenInput(u"C:\\no\\such\\file", input);
  EXPECT_FALSE(missing.ok);
  EXPECT_FALSE(missing.reason.empty());
  std::unique_ptr<FolderHandle> folder;
  EXPECT_FALSE(
      platform.Services().createFileSystem()->OpenTarget(u"C:\\no\\such\\folder", folder).ok);
  const IoResult noFolder = platform.Services().createFileSystem()->CheckFolder(u"");
  EXPECT_FALSE(noFolder.ok);
  EXPECT_FALSE(noFolder.reason.empty());
}

TEST(Win32Platform, HeldFoldersCanBeNeitherRenamedNorRemoved) {
  TempDir dir;
  fs::create_directories(dir.path() / "A" / "B");
  const std::wstring a = LiteralPath(dir.path() / "A").wstring();
  const std::wstring b = a + L"\\B";
  NativePlatform platform;
  const auto fileSystem = platform.Services().createFileSystem();
  std::unique_ptr<FolderHandle> target, heldA, heldB;
  ASSERT_TRUE(fileSystem->OpenTarget(dir.path().u16string(), target).ok);
  ASSERT_TRUE(fileSystem->OpenOrMakeFolder(*target, u"A", heldA).ok);
  ASSERT_TRUE(fileSystem->OpenOrMakeFolder(*heldA, u"B", heldB).ok);
  const auto renameB = [&] { return ::MoveFileExW(b.c_str(), (a + L"\\moved").c_str(), 0); };
  const auto removeB = [&] { return ::RemoveDirectoryW(b.c_str()); };
  const auto renameA = [&] { return ::MoveFileExW(a.c_str(), (a + L"-moved").c_str(), 0); };
  EXPECT_FALSE(renameB());
  EXPECT_FALSE(removeB());
  EXPECT_FALSE(renameA());
  EXPECT_EQ(ListTree(dir.path()), (Strings{"A/", "A/B/"}));
  // Let go, the same folders go as asked: only the holding kept them.
  heldB.reset();
  EXPECT_TRUE(renameB());
  heldA.reset();
  EXPECT_TRUE(renameA());
  EXPECT_EQ(ListTree(dir.path()), (Strings{"A-moved/", "A-moved/moved/"}));
}

TEST(Win32Platform, FoldersAndShortcutsAreMadeInTheFolderHeldNotWhereItsPathLeads) {
  // The folder's path names another folder now, as it would after a change no test
  // program can make to a held folder: folders and files go where the handle is.
  TempDir dir;
  fs::create_directories(dir.path() / "held");
  fs::create_directories(dir.path() / "named");
  Win32Folder folder(HoldFolder(LiteralPath(dir.path() / "held").wstring(), true),
                     (dir.path() / "named").u16string());
  NativePlatform platform;
  std::unique_ptr<FolderHandle> below;
  ASSERT_TRUE(platform.Services().createFileSystem()->OpenOrMakeFolder(folder, u"sub", below).ok);
  const auto write = [&](const FolderHandle& in, const std::string& bytes) {
    std::unique_ptr<OutputStream> output;
    ASSERT_TRUE(platform.Services().streams.OpenOutputIn(in, u"t.url", output).ok);
    ASSERT_TRUE(output->Write(bytes).ok);
    ASSERT_TRUE(output->Close().ok);
  };
  write(folder, "first");
  write(folder, "second");  // replacing the first
  write(*below, "below");
  EXPECT_EQ(ReadBytes(dir.path() / "held" / "t.url"), "second");
  EXPECT_EQ(ReadBytes(dir.path() / "held" / "sub" / "t.url"), "below");
  EXPECT_EQ(ListTree(dir.path()),
            (Strings{"held/", "held/sub/", "held/sub/t.url", "held/t.url", "named/"}));
}

TEST(Win32Platform, AFailedShortcutLeavesNoTemporaryFile) {
  TempDir dir;
  fs::create_directories(dir.path() / "folder.url");
  WriteBytes(dir.path() / "input.url", "input");
  NativePlatform platform;
  FileStreams& streams = platform.Services().streams;
  std::unique_ptr<InputStream> input;
  ASSERT_TRUE(streams.OpenInput((dir.path() / "input.url").u16string(), input).ok);
  std::unique_ptr<FolderHandle> target;
  ASSERT_TRUE(
      platform.Services().createFileSystem()->OpenTarget(dir.path().u16string(), target).ok);
  const struct {
    std::u16string name;
    bool close;
    std::u16string reason;  // empty: the system's own
  } cases[] = {
      {u"folder.url", true, u""},
      {u"input.url", true, std::u16string(kBookmarkFileInTheWay)},
      {u"dropped.url", false, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.name));
    std::unique_ptr<OutputStream> output;
    ASSERT_TRUE(streams.OpenOutputIn(*target, c.name, output).ok);
    ASSERT_TRUE(output->Write("new").ok);
    if (c.close) {
      const IoResult closed = output->Close();
      EXPECT_FALSE(closed.ok);
      EXPECT_FALSE(closed.reason.empty());
      if (!c.reason.empty()) {
        EXPECT_EQ(closed.reason, c.reason);
      }
    }
    output.reset();
    EXPECT_EQ(ListTree(dir.path()), (Strings{"folder.url/", "input.url"}));
  }
  EXPECT_EQ(ReadBytes(dir.path() / "input.url"), "input");
}

TEST(Win32Platform, SpecialFolderIsTheWindowsDirectory) {
  NativePlatform platform;
  const auto fileSystem = platform.Services().createFileSystem();
  const std::u16string windows = fileSystem->GetSpecialFolder(0);
  EXPECT_TRUE(fileSystem->CheckFolder(windows).ok) << ToUtf8(windows);
  EXPECT_TRUE(fs::exists(fs::path(windows) / "system32"));
}

}  // namespace
}  // namespace velkora::testing

namespace velkora::testing {
namespace {

// The folder a run killed while it held a snapshot leaves behind goes with the next
// snapshot taken once its process is gone; one named alike without our marker stays.
TEST(Win32Platform, SnapshotFoldersOfKilledRunsAreRemoved) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child{};
  std::wstring line = L"cmd.exe /c exit 0";
  ASSERT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                               nullptr, nullptr, &startup, &child));
  ::WaitForSingleObject(child.hProcess, INFINITE);
  ::CloseHandle(child.hThread);
  ::CloseHandle(child.hProcess);
  wchar_t temporary[MAX_PATH + 1];
  ASSERT_NE(::GetTempPathW(MAX_PATH + 1, temporary), 0u);
  const fs::path left =
      fs::path(temporary) / (SnapshotFolderStart<wchar_t>(child.dwProcessId) + L"abcdef");
  const fs::path alike =
      fs::path(temporary) / (SnapshotFolderStart<wchar_t>(child.dwProcessId) + L"zzzzzz");
  fs::create_directory(left);
  fs::create_directory(alike);
  WriteBytes(left / std::string(kSnapshotMarkerName), "");
  WriteBytes(alike / "x", "not ours");
  TempDir dir;
  WriteBytes(dir.path() / "places.sqlite", "bytes");
  std::unique_ptr<DatabaseSnapshot> snapshot;
  EXPECT_TRUE(NativeDatabaseSnapshots().Take((dir.path() / "places.sqlite").u16string(), snapshot));
  EXPECT_FALSE(fs::exists(left));
  EXPECT_TRUE(fs::exists(alike / "x"));
  fs::remove_all(alike);
}

}  // namespace
}  // namespace velkora::testing
