#include "engine/shortcut_names.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"

namespace velkora {
namespace {

TEST(FitTitleToPathLimit, CutsInsideTheTitleOnly) {
  const std::u16string folder = u"C:\\" + std::u16string(97, u'f') + u"\\";  // 101 characters
  EXPECT_EQ(
      FitTitleToPathLimit(folder, std::u16string(149, u't'), testing::NativeCodePage()).size(),
      149u);
  EXPECT_EQ(
      FitTitleToPathLimit(folder, std::u16string(150, u't'), testing::NativeCodePage()).size(),
      24u);

  const std::u16string deep = u"C:\\" + std::u16string(121, u'f') + u"\\";  // 125 characters
  EXPECT_EQ(FitTitleToPathLimit(deep, std::u16string(200, u't'), testing::NativeCodePage()).size(),
            125u);
  EXPECT_EQ(FitTitleToPathLimit(deep, std::u16string(200, u'漢'), testing::NativeCodePage()).size(),
            62u);
  EXPECT_EQ(FitTitleToPathLimit(deep, u"", testing::NativeCodePage()), u"");

  const std::u16string tooDeep = u"C:\\" + std::u16string(300, u'f') + u"\\";
  EXPECT_EQ(FitTitleToPathLimit(tooDeep, u"題名", testing::NativeCodePage()), u"題");
  EXPECT_EQ(FitTitleToPathLimit(tooDeep, u"\U0001F600x", testing::NativeCodePage()), u"\U0001F600");
}

TEST(CutToUtf8Bytes, KeepsWholeCharacters) {
  EXPECT_EQ(CutToUtf8Bytes(u"abc", 3), u"abc");
  EXPECT_EQ(CutToUtf8Bytes(u"日本語", 8), u"日本");
  EXPECT_EQ(CutToUtf8Bytes(u"a\U0001F600", 4), u"a");
  EXPECT_EQ(CutToUtf8Bytes(u"日", 0), u"");
}

// A high surrogate without its low half is a character of its own, as in the measure of
// the length, and is neither glued to the character after it nor dropped.
TEST(ShortcutNames, LoneSurrogateIsOneWholeCharacter) {
  const std::u16string lone = u"\xD83D";
  const std::u16string tooDeep = u"C:\\" + std::u16string(300, u'f') + u"\\";
  EXPECT_EQ(FitTitleToPathLimit(tooDeep, lone + u" x", testing::NativeCodePage()), lone);
  const std::u16string twoBytesLeft = u"C:\\" + std::u16string(244, u'f') + u"\\";
  EXPECT_EQ(FitTitleToPathLimit(twoBytesLeft, u"x" + lone + u"yyy", testing::NativeCodePage()),
            u"x" + lone);
  EXPECT_EQ(CutToUtf8Bytes(u"a" + lone + u"b", 4), u"a" + lone);
}

TEST(WrittenShortcuts, ComparesNamesAsWindowsDoes) {
  WrittenShortcuts written(u'\\');
  const auto key = [&written](std::u16string_view path) { return written.Key(path); };
  written.Add(key(u"C:\\\\Out\\Page.url"), key(u"C:\\\\Out\\Page"), 1);
  EXPECT_TRUE(written.Contains(key(u"c:\\out\\\\PAGE.URL")));
  EXPECT_TRUE(written.Contains(key(u"C:\\Out\\page.url")));
  EXPECT_FALSE(written.Contains(key(u"C:\\Out\\Page (2).url")));
  EXPECT_FALSE(written.Contains(key(u"C:\\Out/Page.url")));
  EXPECT_EQ(written.FirstSuffixToTry(key(u"C:\\OUT\\page")), 2);
  EXPECT_EQ(written.FirstSuffixToTry(key(u"C:\\Out\\other")), 1);

  written.Add(key(u"C:\\Ωω\\Ｐａｇｅ.url"), key(u""), 1);
  EXPECT_TRUE(written.Contains(key(u"C:\\ωΩ\\ｐＡＧＥ.url")));
  written.Add(key(u"C:\\ⅱ\\ⅹ.url"), key(u""), 1);
  EXPECT_TRUE(written.Contains(key(u"C:\\Ⅱ\\Ⅹ.url")));
  written.Add(key(u"C:\\Дом.url"), key(u""), 1);
  EXPECT_TRUE(written.Contains(key(u"C:\\дОМ.url")));
  EXPECT_FALSE(written.Contains(key(u"C:\\Dom.url")));
}

}  // namespace
}  // namespace velkora
