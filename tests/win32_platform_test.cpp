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

TEST(ExtendedPath, IsAbsoluteAndNormalisedAsWindowsWould) {
  EXPECT_EQ(ExtendedPath(u"C:\\out\\\\a\\b.url"), L"\\\\?\\C:\\out\\a\\b.url");
  EXPECT_EQ(ExtendedPath(u"C:/out/a\\.\\b\\..\\c"), L"\\\\?\\C:\\out\\a\\c");
  EXPECT_EQ(ExtendedPath(u"\\\\server\\share\\\\d\\e"), L"\\\\?\\UNC\\server\\share\\d\\e");
  const std::wstring relative = ExtendedPath(u"some\\name");
  EXPECT_EQ(relative.rfind(L"\\\\?\\", 0), 0u);
  EXPECT_TRUE(relative.ends_with(L"\\some\\name"));
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
  for (int level = 0; level < 12; ++level) {
    deepest += u"\\" + std::u16string(40, u'd');
    ASSERT_TRUE(fileSystem->CreateFolder(deepest).ok);
  }
  ASSERT_GT(deepest.size(), 500u);
  std::unique_ptr<OutputStream> output;
  ASSERT_TRUE(platform.Services().streams.OpenOutput(deepest + u"\\t.url", output).ok);
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
  EXPECT_FALSE(platform.Services().createFileSystem()->CreateFolder(u"C:\\no\\such\\folder").ok);
  const IoResult noFolder = platform.Services().createFileSystem()->CheckFolder(u"");
  EXPECT_FALSE(noFolder.ok);
  EXPECT_FALSE(noFolder.reason.empty());
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
