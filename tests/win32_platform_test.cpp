#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/utf8.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_paths.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

std::wstring W(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

TEST(ExtendedPath, IsAbsoluteAndNormalisedAsWindowsWould) {
  EXPECT_EQ(ExtendedPath(u"C:\\out\\\\a\\b.url"), L"\\\\?\\C:\\out\\a\\b.url");
  EXPECT_EQ(ExtendedPath(u"C:/out/a\\.\\b\\..\\c"), L"\\\\?\\C:\\out\\a\\c");
  EXPECT_EQ(ExtendedPath(u"\\\\server\\share\\\\d\\e"), L"\\\\?\\UNC\\server\\share\\d\\e");
  const std::wstring relative = ExtendedPath(u"some\\name");
  EXPECT_EQ(relative.rfind(L"\\\\?\\", 0), 0u);
  EXPECT_TRUE(relative.ends_with(L"\\some\\name"));
  // Full-width dots and spaces are ordinary characters to Windows.
  EXPECT_EQ(ExtendedPath(u"C:\\abc．\\x\u3000\\y"), W(u"\\\\?\\C:\\abc．\\x\u3000\\y"));
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
  ConversionFixture fixture;
  std::vector<std::string> lines;
  for (int level = 0; level < 12; ++level) lines.push_back("<LI>" + std::string(40, 'd') + "<UL>");
  lines.push_back("<LI><A HREF=\"deep\">t</A>");
  fixture.WriteBookmarks(lines);
  EXPECT_TRUE(fixture.Convert().AllWritten());
  fs::path deepest = fixture.Out();
  for (int level = 0; level < 12; ++level) deepest /= std::string(40, 'd');
  EXPECT_GT(deepest.native().size(), 500u);
  EXPECT_EQ(ReadBytes(fs::path(L"\\\\?\\" + (deepest / "t.url").native())), ShortcutBytes("deep"));
}

TEST(Win32Platform, FailuresCarryTheSystemsReason) {
  NativePlatform platform;
  std::unique_ptr<InputStream> input;
  const IoResult missing = platform.Services().streams.OpenInput(u"C:\\no\\such\\file", input);
  EXPECT_FALSE(missing.ok);
  EXPECT_FALSE(missing.reason.empty());
  EXPECT_FALSE(platform.Services().createFileSystem()->CreateFolder(u"C:\\no\\such\\folder").ok);
  EXPECT_FALSE(platform.Services().createFileSystem()->FolderExists(u""));
}

TEST(Win32Platform, SpecialFolderIsTheWindowsDirectory) {
  NativePlatform platform;
  const auto fileSystem = platform.Services().createFileSystem();
  const std::u16string windows = fileSystem->GetSpecialFolder(0);
  EXPECT_TRUE(fileSystem->FolderExists(windows)) << ToUtf8(windows);
  EXPECT_TRUE(fs::exists(fs::path(windows) / "system32"));
}

}  // namespace
}  // namespace velkora::testing
