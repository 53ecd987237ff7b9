#include "engine/names/file_name_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/text/utf8.h"

namespace velkora {
namespace {

TEST(SafeFileName, ReplacesTheNineForbiddenCharactersInPlace) {
  std::u16string text = u"a\\b/c:d*e?f\"g<h>i|j";
  const std::u16string result = SafeFileName(text);
  EXPECT_EQ(result, u"a￥b／c：d＊e？f”g＜h＞i｜j");
  EXPECT_EQ(text, result);
  EXPECT_EQ(text.size(), 19u);

  std::u16string empty;
  EXPECT_EQ(SafeFileName(empty), u"");
  std::u16string fullWidth = u"？＊ 日本";
  EXPECT_EQ(SafeFileName(fullWidth), u"？＊ 日本");
}

TEST(MakeWindowsSafe, TurnsControlCharactersIntoSpaces) {
  EXPECT_EQ(MakeWindowsSafe(std::u16string(u"a\u0000b\tc\u001f\u007f", 7), NameKind::kTitle),
            u"a b c \u007f");
  // Wherever one stands among the units read four at a time, and next to units that are
  // not control characters: a space, and units with the high bit set.
  EXPECT_EQ(MakeWindowsSafe(u"語語語語 語\u001f語", NameKind::kTitle), u"語語語語 語 語");
  EXPECT_EQ(MakeWindowsSafe(u"\uFFFF\u8000 !語語\n", NameKind::kTitle), u"\uFFFF\u8000 !語語 ");
  EXPECT_EQ(MakeWindowsSafe(u"\uFFFF\u8000 !語語 ", NameKind::kTitle), u"\uFFFF\u8000 !語語 ");
}

TEST(MakeWindowsSafe, FolderOfDotsAndSpacesCannotLeaveTheChain) {
  EXPECT_EQ(MakeWindowsSafe(u".", NameKind::kFolder), u"．");
  EXPECT_EQ(MakeWindowsSafe(u" .. ", NameKind::kFolder), u" ．．");
  EXPECT_EQ(MakeWindowsSafe(u"..", NameKind::kTitle), u"..");
  EXPECT_EQ(MakeWindowsSafe(u"   ", NameKind::kFolder), u"");
  EXPECT_EQ(MakeWindowsSafe(u"", NameKind::kFolder), u"");
  EXPECT_EQ(MakeWindowsSafe(u"..a", NameKind::kFolder), u"..a");
  EXPECT_EQ(MakeWindowsSafe(u".\t.", NameKind::kFolder), u"． ．");
}

TEST(MakeWindowsSafe, FolderNameLosesTrailingDotsAndSpaces) {
  EXPECT_EQ(MakeWindowsSafe(u"abc. .", NameKind::kFolder), u"abc");
  EXPECT_EQ(MakeWindowsSafe(u" a.b \t", NameKind::kFolder), u" a.b");
  EXPECT_EQ(MakeWindowsSafe(u"AUX.", NameKind::kFolder), u"_AUX");
  EXPECT_EQ(MakeWindowsSafe(u"abc. ", NameKind::kTitle), u"abc. ");
}

TEST(MakeWindowsSafe, ReservedDeviceNamesGetAnUnderscore) {
  for (const std::u16string name :
       {u"CON",    u"prn",        u"Aux",       u"nUL",        u"COM1",    u"com9",
        u"LPT5",   u"con.txt",    u"NUL  .x.y", u"AUX ",       u"COM0",    u"lpt0",
        u"COM¹",   u"com²",       u"COM³",      u"LPT¹",       u"Lpt²",    u"LPT³.txt",
        u"CONIN$", u"conin$.url", u"CONOUT$",   u"ConOut$ .x", u"COM0.a.b"}) {
    EXPECT_EQ(MakeWindowsSafe(name, NameKind::kTitle), u"_" + name) << ToUtf8(name);
    EXPECT_EQ(MakeWindowsSafe(name, NameKind::kFolder)[0], u'_') << ToUtf8(name);
  }
  for (const std::u16string name :
       {u"COM10", u"LPT", u" CON", u"CONSOLE", u"ＣＯＮ", u"COM１", u"x.CON", u"_CON", u"COM⁴",
        u"COM⁰", u"LPT₁", u"CONIN", u"CONOUT", u"CONIN$$", u"CONERR$", u"COM", u"LPT¹0"}) {
    EXPECT_EQ(MakeWindowsSafe(name, NameKind::kTitle), name) << ToUtf8(name);
  }
  EXPECT_EQ(MakeWindowsSafe(u"CON\t", NameKind::kTitle), u"_CON ");
}

}  // namespace
}  // namespace velkora
