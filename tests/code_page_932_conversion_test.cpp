#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/names/file_name_rules.h"
#include "engine/text/utf8.h"
#include "tests/test_support.h"

#ifdef _WIN32
#include "platform/win32/win32_code_page.h"
#endif

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// The bookmark file is written as raw bytes of code page 932, so that what the shortcuts
// hold is checked against the code page itself rather than against the platform's own
// conversion.
std::string BookmarkBytes(const std::string& url, const std::string& title) {
  return "<DT><LI><A HREF=\"" + url + "\">" + title + "</A>\r\n";
}

TEST(CodePage932Conversion, TheAnsiCodePageIs932) {
#ifdef _WIN32
  EXPECT_EQ(Win32CodePage().Identifier(), 932u)
      << "run the Windows tests in a Japanese locale (Wine: LANG=ja_JP.UTF-8)";
#endif
  NativePlatform platform;
  EXPECT_EQ(platform.Services().codePage.ToAnsi(u"日本～－ｱ"),
            "\x93\xfa\x96\x7b\x81\x60\x81\x7c\xb1");
}

TEST(CodePage932Conversion, ShortcutsHoldTheBytesOfTheBookmarkFile) {
  ConversionFixture fixture;
  // Kanji, half-width katakana, the wave dash and minus of code page 932, an NEC and an
  // IBM extension, and the single bytes only Windows maps (0x80, 0xA0, 0xFD-0xFF).
  const std::string url =
      "http://example.jp/"
      "\x93\xfa\x96\x7b?q=\xb1\xb2&w=\x81\x60\x81\x7c\x87\x40\xfa\x40\x80\xa0\xfd\xff";
  const std::string title = "\x8c\x9f\x8d\xf5\x81\x60\xb6\xc0\x87\x54\xfa\x40";  // 検索～ｶﾀⅠⅰ
  fixture.WriteBookmarkBytes(BookmarkBytes(url, title));
  EXPECT_TRUE(fixture.Convert().AllWritten());
  EXPECT_EQ(fixture.Tree(), Strings{ToUtf8(u"検索\uFF5Eｶﾀ\u2160\u2170.url")});
  EXPECT_EQ(fixture.Read(ToUtf8(u"検索\uFF5Eｶﾀ\u2160\u2170.url")),
            "[InternetShortcut]\r\nURL=" + url + "\r\n");
}

// List items that come only after the first 64 KiB, below a declaration of UTF-8 or
// none: they are read, and counted, in the code page and as list items ("&amp;" stays).
TEST(CodePage932Conversion, ListItemsFarIntoTheFile) {
  for (const std::string start : {"<META charset=UTF-8>\r\n", ""}) {
    SCOPED_TRACE(start);
    ConversionFixture fixture;
    const std::string title = "\x8c\x9f\x8d\xf5";  // 検索
    fixture.WriteBookmarkBytes(start + std::string(70000, ' ') + "\r\n" +
                               BookmarkBytes("http://a/", title) +
                               BookmarkBytes("http://b/", "b&amp;c"));
    EXPECT_TRUE(fixture.Convert().AllWritten());
    EXPECT_EQ(fixture.window.maximum, 2);
    EXPECT_EQ(fixture.Tree(), (Strings{"b&amp;c.url", ToUtf8(u"検索.url")}));
  }
}

// The path limit counts UTF-16 units, as Windows does, not bytes of the code page.
TEST(CodePage932Conversion, PathLimitCountsUnitsNotBytesOfTheCodePage) {
  ConversionFixture fixture;
  // "é" and the emoji have no bytes in the code page; the emoji takes two units.
  const fs::path target = fixture.Out() / fs::path(U16("é\U0001F600漢ｱ"));
  fs::create_directory(target);
  fixture.window.target = target.u16string();
  const std::u16string folder = target.u16string() + fixture.platform.Services().paths.separator;
  const int folderUnits = static_cast<int>(fixture.Out().u16string().size()) + 1 + 5 + 1;
  ASSERT_EQ(static_cast<int>(folder.size()), folderUnits);

  // A title of ASCII, ten kanji and one half-width katakana that brings the path to
  // exactly 259 units (more than 250 bytes of the code page) stays whole; with one more
  // half-width katakana it is cut to the same name, which is then numbered and cut four
  // units more. (Mostly ASCII, so that no name passes 255 bytes of UTF-8 where that is
  // the limit.)
  std::string fits(static_cast<std::size_t>(259 - folderUnits - 4 - 11), 'a');
  for (int i = 0; i < 10; ++i) fits += "\x8a\xbf";  // 漢
  fits += "\xb1";                                   // ｱ
  const std::string tooLong = fits + "\xb1";
  fixture.WriteBookmarkBytes(BookmarkBytes("u1", fits) + BookmarkBytes("u2", tooLong));
  const ConversionReport report = fixture.Convert();
  EXPECT_TRUE(report.AllWritten());
  EXPECT_EQ(report.shortenedNames, 1);

  NativePlatform platform;
  const std::u16string fitsText = platform.Services().codePage.FromAnsi(fits);
  EXPECT_GT(LenMbcs(folder + fitsText, platform.Services().codePage), 250);
  EXPECT_TRUE(fs::exists(target / fs::path(fitsText + u".url")));
  EXPECT_TRUE(fs::exists(target / fs::path(fitsText.substr(0, fitsText.size() - 4) + u" (2).url")));
  EXPECT_EQ(ListTree(target).size(), 2u);
}

}  // namespace
}  // namespace velkora::testing
