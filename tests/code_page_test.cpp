#include <gtest/gtest.h>

#include <string>

#include "engine/file_name_rules.h"
#include "platform/native_platform.h"

namespace velkora {
namespace {

const AnsiCodePage& CodePage() {
  static NativePlatform platform;
  return platform.Services().codePage;
}

TEST(CodePage932, DecodesSingleAndDoubleByteCharacters) {
  EXPECT_EQ(CodePage().FromAnsi("a\\~"), u"a\\~");
  EXPECT_EQ(CodePage().FromAnsi("\xb1\xdf"), u"\uFF71\uFF9F");      // half-width katakana
  EXPECT_EQ(CodePage().FromAnsi("\x93\xfa\x96\x7b"), u"日本");
  EXPECT_EQ(CodePage().FromAnsi("\x81\x68\x81\x8f"), u"\u201D\uFFE5");
  EXPECT_EQ(CodePage().FromAnsi("\x87\x40\xfa\x40"), u"\u2460\u2170");  // NEC and IBM rows
}

TEST(CodePage932, SingleBytesWindowsMapsOnItsOwnRoundTrip) {
  const std::string bytes = "\x80\xa0\xfd\xfe\xff";
  const std::u16string text = CodePage().FromAnsi(bytes);
  EXPECT_EQ(text, u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3");
  EXPECT_EQ(CodePage().ToAnsi(text), bytes);
}

TEST(CodePage932, InvalidSequencesDecodeToMiddleDots) {
  // A pair that names no character is one U+30FB.
  EXPECT_EQ(CodePage().FromAnsi("\x85\x40x"), u"\u30FBx");
#ifdef _WIN32
  // Windows decides what a lead byte before a byte outside the trail range means; it may
  // take the two as one unknown pair. Either way each lead byte gives a U+30FB, and one at
  // the very end is one U+30FB.
  const std::u16string text = CodePage().FromAnsi("\x81\x20\x81\x7f\x81");
  EXPECT_TRUE(text == u"\u30FB \u30FB\u007F\u30FB" || text == u"\u30FB\u30FB\u30FB");
  EXPECT_EQ(CodePage().FromAnsi("\xe0\x3f").front(), u'\u30FB');
#else
  // A lead byte before a byte outside the trail range, or at the end, is one U+30FB and
  // the byte after it is read on its own.
  EXPECT_EQ(CodePage().FromAnsi("\x81\x20\x81\x7f\x81"), u"\u30FB \u30FB\u007F\u30FB");
  EXPECT_EQ(CodePage().FromAnsi("\xe0\x3f"), u"\u30FB?");
#endif
}

TEST(CodePage932, EveryValidPairRoundTripsThroughItsCharacter) {
  int valid = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead <= 0xDF) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      const std::u16string text = CodePage().FromAnsi(pair);
      ASSERT_EQ(text.size(), 1u);
      if (text == u"\u30FB" && pair != "\x81\x45") continue;
      ++valid;
      // Duplicated characters (NEC and IBM rows) may come back as their other pair.
      ASSERT_EQ(CodePage().FromAnsi(CodePage().ToAnsi(text)), text) << lead << " " << trail;
    }
  }
  EXPECT_GT(valid, 7000);
}

TEST(CodePage932, UnencodableCharactersBecomeOneQuestionMark) {
  EXPECT_EQ(CodePage().ToAnsi(u"é\U0001F600x"), "??x");
  EXPECT_EQ(LenMbcs(u"é\U0001F600", CodePage()), 2);
}

TEST(LenMbcs, CountsBytesOfTheCodePage) {
  EXPECT_EQ(LenMbcs(u"", CodePage()), 0);
  EXPECT_EQ(LenMbcs(u"C:\\Users\\a.url", CodePage()), 14);
  EXPECT_EQ(LenMbcs(u"一二三四五六七八九十", CodePage()), 20);
  EXPECT_EQ(LenMbcs(u"ｱｲｳ", CodePage()), 3);
}

}  // namespace
}  // namespace velkora
