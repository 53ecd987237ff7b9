#include <gtest/gtest.h>

#include <string>

#include "engine/shortcut_names.h"
#include "platform/native_platform.h"

namespace velkora {
namespace {

const AnsiCodePage& CodePage() {
  static NativePlatform platform;
  return platform.Services().codePage;
}

TEST(FitTitleToPathLimit, CutsInsideTheTitleOnly) {
  const std::u16string folder = u"C:\\" + std::u16string(97, u'f') + u"\\";  // 101 characters
  EXPECT_EQ(FitTitleToPathLimit(folder, std::u16string(149, u't'), CodePage()).size(), 149u);
  EXPECT_EQ(FitTitleToPathLimit(folder, std::u16string(150, u't'), CodePage()).size(), 24u);

  const std::u16string deep = u"C:\\" + std::u16string(121, u'f') + u"\\";  // 125 characters
  EXPECT_EQ(FitTitleToPathLimit(deep, std::u16string(200, u't'), CodePage()).size(), 125u);
  EXPECT_EQ(FitTitleToPathLimit(deep, std::u16string(200, u'漢'), CodePage()).size(), 62u);
  EXPECT_EQ(FitTitleToPathLimit(deep, u"", CodePage()), u"");

  const std::u16string tooDeep = u"C:\\" + std::u16string(300, u'f') + u"\\";
  EXPECT_EQ(FitTitleToPathLimit(tooDeep, u"題名", CodePage()), u"題");
  EXPECT_EQ(FitTitleToPathLimit(tooDeep, u"\U0001F600x", CodePage()), u"\U0001F600");
}

TEST(CutToUtf8Bytes, KeepsWholeCharacters) {
  EXPECT_EQ(CutToUtf8Bytes(u"abc", 3), u"abc");
  EXPECT_EQ(CutToUtf8Bytes(u"日本語", 8), u"日本");
  EXPECT_EQ(CutToUtf8Bytes(u"a\U0001F600", 4), u"a");
  EXPECT_EQ(CutToUtf8Bytes(u"日", 0), u"");
}

TEST(WrittenShortcuts, ComparesNamesAsWindowsDoes) {
  WrittenShortcuts written(u'\\');
  written.Add(u"C:\\\\Out\\Page.url", u"C:\\\\Out\\Page", 1);
  EXPECT_TRUE(written.Contains(u"c:\\out\\\\PAGE.URL"));
  EXPECT_TRUE(written.Contains(u"C:\\Out\\page.url"));
  EXPECT_FALSE(written.Contains(u"C:\\Out\\Page (2).url"));
  EXPECT_FALSE(written.Contains(u"C:\\Out/Page.url"));
  EXPECT_EQ(written.FirstSuffixToTry(u"C:\\OUT\\page"), 2);
  EXPECT_EQ(written.FirstSuffixToTry(u"C:\\Out\\other"), 1);

  written.Add(u"C:\\Ωω\\Ｐａｇｅ.url", u"", 1);
  EXPECT_TRUE(written.Contains(u"C:\\ωΩ\\ｐＡＧＥ.url"));
  written.Add(u"C:\\ⅱ\\ⅹ.url", u"", 1);
  EXPECT_TRUE(written.Contains(u"C:\\Ⅱ\\Ⅹ.url"));
  written.Add(u"C:\\Дом.url", u"", 1);
  EXPECT_TRUE(written.Contains(u"C:\\дОМ.url"));
  EXPECT_FALSE(written.Contains(u"C:\\Dom.url"));
}

}  // namespace
}  // namespace velkora
