#include "engine/names/shortcut_names.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/text/utf8.h"
#include "tests/test_support.h"

namespace velkora {
namespace {

// The title keeps what fits the room, in whole characters: a pair at the cut goes whole.
TEST(FittedTitleLength, KeepsWholeCharactersWithinTheRoom) {
  const std::u16string emoji = u"\U0001F600";
  const struct {
    std::u16string title;
    std::size_t room;
    std::size_t kept;
  } cases[] = {
      {u"abc", 4, 3},
      {u"abc", 3, 3},
      {u"abc", 2, 2},
      {u"abc", 0, 0},
      {u"", 0, 0},
      {u"a" + emoji + u"b", 2, 1},
      {u"a" + emoji + u"b", 3, 3},
      {emoji, 1, 0},
      {emoji + u"x", 2, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FittedTitleLength(c.title, c.room), c.kept) << ToUtf8(c.title) << " " << c.room;
  }
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
  EXPECT_EQ(FittedTitleLength(lone + u" x", 1), 1u);
  EXPECT_EQ(FittedTitleLength(u"x" + lone + u"yyy", 2), 2u);
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
