#include "engine/shortcut_names.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/utf8.h"
#include "tests/test_support.h"

namespace velkora {
namespace {

// The title FittedTitleLength keeps below folder.
std::u16string Fit(std::u16string_view folder, std::u16string_view title) {
  const AnsiCodePage& codePage = testing::NativeCodePage();
  return std::u16string(
      title.substr(0, FittedTitleLength(folder, codePage.AnsiLength(folder), title, codePage)));
}

TEST(FittedTitleLength, CutsInsideTheTitleOnly) {
  const std::u16string folder = u"C:\\" + std::u16string(97, u'f') + u"\\";  // 101 characters
  EXPECT_EQ(Fit(folder, std::u16string(149, u't')).size(), 149u);
  EXPECT_EQ(Fit(folder, std::u16string(150, u't')).size(), 24u);

  const std::u16string deep = u"C:\\" + std::u16string(121, u'f') + u"\\";  // 125 characters
  EXPECT_EQ(Fit(deep, std::u16string(200, u't')).size(), 125u);
  EXPECT_EQ(Fit(deep, std::u16string(200, u'漢')).size(), 62u);
  EXPECT_EQ(Fit(deep, u""), u"");

  const std::u16string tooDeep = u"C:\\" + std::u16string(300, u'f') + u"\\";
  EXPECT_EQ(Fit(tooDeep, u"題名"), u"題");
  EXPECT_EQ(Fit(tooDeep, u"\U0001F600x"), u"\U0001F600");

  // The 125-unit cut never splits a pair: it drops it, or, when nothing of the title would
  // be left, the title alone is cut to fit.
  const std::u16string emoji = u"\U0001F600";
  EXPECT_EQ(Fit(folder, std::u16string(23, u't') + emoji + std::u16string(200, u'漢')),
            std::u16string(23, u't'));
  const std::u16string kanjiFolder = u"C:\\" + std::u16string(120, u'漢') + u"\\";  // 124 units
  EXPECT_EQ(Fit(kanjiFolder, emoji + emoji + u"tttttttttt"), emoji + emoji + u"tttt");
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
  EXPECT_EQ(Fit(tooDeep, lone + u" x"), lone);
  const std::u16string twoBytesLeft = u"C:\\" + std::u16string(244, u'f') + u"\\";
  EXPECT_EQ(Fit(twoBytesLeft, u"x" + lone + u"yyy"), u"x" + lone);
  EXPECT_EQ(CutToUtf8Bytes(u"a" + lone + u"b", 4), u"a" + lone);
}

TEST(WrittenShortcuts, ComparesNamesAsWindowsDoes) {
  WrittenShortcuts written(u'\\');
  // Whether a name of stem was written in the folder of folderPath, as the writer asks it.
  const auto taken = [&written](std::u16string_view folderPath, std::u16string_view stem) {
    written.EnterFolder(folderPath);
    ShortcutKey key;
    written.Fold(stem, key);
    return written.Lookup(key).written;
  };
  // Records the first name of base, and its second with suffix when given.
  const auto add = [&written](std::u16string_view folderPath, std::u16string_view base,
                              std::u16string_view suffix = {}) {
    written.EnterFolder(folderPath);
    ShortcutKey baseKey;
    written.Fold(base, baseKey);
    WrittenShortcuts::Stem& baseStem = written.Lookup(baseKey);
    baseStem.written = true;
    if (suffix.empty()) return;
    ShortcutKey key;
    written.FoldWithEnding(baseKey, suffix, key);
    written.Lookup(key).written = true;
    baseStem.NoteNumbered(2);
  };
  add(u"C:\\\\Out\\", u"Page", u" (2)");
  EXPECT_TRUE(taken(u"c:\\out\\\\", u"PAGE"));
  EXPECT_TRUE(taken(u"C:\\Out\\", u"page (2)"));
  EXPECT_FALSE(taken(u"C:\\Out\\", u"Page (3)"));
  EXPECT_FALSE(taken(u"C:\\Out/", u"Page"));
  EXPECT_FALSE(taken(u"C:\\", u"Page"));
  ShortcutKey key;
  written.EnterFolder(u"C:\\OUT\\");
  written.Fold(u"page", key);
  EXPECT_TRUE(written.Lookup(key).KnowsNumbered(2));
  EXPECT_FALSE(written.Lookup(key).KnowsNumbered(3));
  written.Fold(u"other", key);
  EXPECT_FALSE(written.Lookup(key).KnowsNumbered(2));

  add(u"C:\\Ωω\\", u"Ｐａｇｅ");
  EXPECT_TRUE(taken(u"C:\\ωΩ\\", u"ｐＡＧＥ"));
  add(u"C:\\ⅱ\\", u"ⅹ");
  EXPECT_TRUE(taken(u"C:\\Ⅱ\\", u"Ⅹ"));
  add(u"C:\\", u"Дом");
  EXPECT_TRUE(taken(u"C:\\", u"дОМ"));
  EXPECT_FALSE(taken(u"C:\\", u"Dom"));
}

// Over all of Unicode: a character equals its simple upper-case mapping, a character
// beyond the Basic Multilingual Plane included, and nothing else.
TEST(WrittenShortcuts, FoldsCaseOverAllOfUnicode) {
  WrittenShortcuts written(u'/');
  const struct {
    std::u16string a;
    std::u16string b;
    bool same;
  } cases[] = {
      {u"é", u"É", true},
      {u"ǆǅ", u"ǄǄ", true},
      {u"ſı", u"SI", true},
      {u"ꭰ", u"Ꭰ", true},
      {u"ß", u"SS", false},
      {u"\u212A", u"k", false},
      {u"i", u"\u0130", false},
      {u"ア", u"ｱ", false},
      {u"あ", u"ア", false},
      {u"\U00010428", u"\U00010400", true},    // Deseret
      {u"\U0001E922a", u"\U0001E900A", true},  // Adlam
      {u"\U0001F600", u"\U0001F601", false},
  };
  ShortcutKey a;
  ShortcutKey b;
  for (const auto& c : cases) {
    written.Fold(c.a, a);
    written.Fold(c.b, b);
    EXPECT_EQ(a == b, c.same) << ToUtf8(c.a) << " " << ToUtf8(c.b);
  }
}

}  // namespace
}  // namespace velkora
