#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/interfaces/ansi_code_page.h"
#include "engine/names/file_name_rules.h"
#include "engine/text/utf8.h"
#include "tests/test_support.h"

namespace velkora {
namespace {

TEST(CodePage932, DecodesSingleAndDoubleByteCharacters) {
  EXPECT_EQ(testing::NativeCodePage().FromAnsi("a\\~"), u"a\\~");
  EXPECT_EQ(testing::NativeCodePage().FromAnsi("\xb1\xdf"),
            u"\uFF71\uFF9F");  // half-width katakana
  EXPECT_EQ(testing::NativeCodePage().FromAnsi("\x93\xfa\x96\x7b"), u"日本");
  EXPECT_EQ(testing::NativeCodePage().FromAnsi("\x81\x68\x81\x8f"), u"\u201D\uFFE5");
  EXPECT_EQ(testing::NativeCodePage().FromAnsi("\x87\x40\xfa\x40"),
            u"\u2460\u2170");  // NEC and IBM rows
}

TEST(CodePage932, SingleBytesWindowsMapsOnItsOwnRoundTrip) {
  const std::string bytes = "\x80\xa0\xfd\xfe\xff";
  const std::u16string text = testing::NativeCodePage().FromAnsi(bytes);
  EXPECT_EQ(text, u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3");
  EXPECT_EQ(testing::NativeCodePage().ToAnsi(text), bytes);
}

TEST(CodePage932, InvalidSequencesDecodeToMiddleDots) {
  // A pair that names no character is one U+30FB.
  EXPECT_EQ(testing::NativeCodePage().FromAnsi("\x85\x40x"), u"\u30FBx");
#ifdef _WIN32
  // Windows decides what a lead byte before a byte outside the trail range means; it may
  // take the two as one unknown pair. Either way each lead byte gives a U+30FB, and one at
  // the very end is one U+30FB.
  const std::u16string text = testing::NativeCodePage().FromAnsi("\x81\x20\x81\x7f\x81");
  EXPECT_TRUE(text == u"\u30FB \u30FB\u007F\u30FB" || text == u"\u30FB\u30FB\u30FB");
  EXPECT_EQ(testing::NativeCodePage().FromAnsi("\xe0\x3f").front(), u'\u30FB');
#else
  // A lead byte before a byte outside the trail range, or at the end, is one U+30FB and
  // the byte after it is read on its own.
  EXPECT_EQ(testing::NativeCodePage().FromAnsi("\x81\x20\x81\x7f\x81"),
            u"\u30FB \u30FB\u007F\u30FB");
  EXPECT_EQ(testing::NativeCodePage().FromAnsi("\xe0\x3f"), u"\u30FB?");
#endif
}

TEST(CodePage932, EveryValidPairRoundTripsThroughItsCharacter) {
  int valid = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead <= 0xDF) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      const std::u16string text = testing::NativeCodePage().FromAnsi(pair);
      ASSERT_EQ(text.size(), 1u);
      if (text == u"\u30FB" && pair != "\x81\x45") continue;
      ++valid;
      // Duplicated characters (NEC and IBM rows) may come back as their other pair.
      ASSERT_EQ(testing::NativeCodePage().FromAnsi(testing::NativeCodePage().ToAnsi(text)), text)
          << lead << " " << trail;
    }
  }
  EXPECT_GT(valid, 7000);
}

TEST(CodePage932, UnencodableCharactersBecomeOneQuestionMark) {
  EXPECT_EQ(testing::NativeCodePage().ToAnsi(u"é\U0001F600x"), "??x");
  EXPECT_EQ(LenMbcs(u"é\U0001F600", testing::NativeCodePage()), 2);
}

TEST(CodePage932, OnlyCharactersThatDecodeBackAreEncodable) {
  const AnsiCodePage& codePage = testing::NativeCodePage();
  const struct {
    std::u16string text;
    std::string bytes;  // "?" for a character with no code of its own
    std::string url;    // the same, percent-encoded where it cannot be encoded
  } cases[] = {
      {u"\u301C", "?", "%E3%80%9C"},  // look-alikes of 0x8160, 0x817C, 0x8161, 0x8191, 0x81CA
      {u"\u2212", "?", "%E2%88%92"},
      {u"\u2016", "?", "%E2%80%96"},
      {u"\u00A2", "?", "%C2%A2"},
      {u"\u00AC", "?", "%C2%AC"},
      {u"\u00A5", "?", "%C2%A5"},  // best fit "\\" on Windows
      {u"é€", "??", "%C3%A9%E2%82%AC"},
      {u"\U0001F600", "?", "%F0%9F%98%80"},
      {std::u16string(1, u'\xD800') + u"a", "?a", "%EF%BF%BDa"},
      {u"\uFF5E\u2225\uFFE0\uFFE2あ%?", "\x81\x60\x81\x61\x81\x91\x81\xCA\x82\xA0%?",
       "\x81\x60\x81\x61\x81\x91\x81\xCA\x82\xA0%?"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(codePage.ToAnsi(c.text), c.bytes) << c.url;
    EXPECT_EQ(codePage.ToAnsi(c.text, Unencodable::kPercentUtf8), c.url);
    EXPECT_EQ(LenMbcs(c.text, codePage), static_cast<std::int32_t>(c.bytes.size())) << c.url;
  }
  // Every other character too: its bytes decode back to it, or it is one "?".
  for (std::uint32_t c = 0x80; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::u16string text(1, static_cast<char16_t>(c));
    const std::string bytes = codePage.ToAnsi(text);
    ASSERT_TRUE(bytes == "?" || codePage.FromAnsi(bytes) == text) << std::hex << c;
  }
}

// The counting pass looks for markers in the bytes of a line and measures names without
// encoding them: each must agree with the text, lead bytes before and inside markers
// included.
TEST(CodePage932, FindsAndMeasuresAsTheTextWould) {
  const AnsiCodePage& codePage = testing::NativeCodePage();
  const std::string lines[] = {"<LI>",         "\x81<LI>",     "<\x81LI>", "\x81L<LI>", "<LI\x81>",
                               "\x82\xa0<UL>", "\x81<UL>\x81", "\x81",     "\xe0<",     "<L\x81I>"};
  for (const std::string& line : lines) {
    const std::u16string text = codePage.FromAnsi(line);
    for (const std::string_view marker : {"<LI>", "<UL>", "LI>", "~"}) {
      const std::u16string wide(marker.begin(), marker.end());
      EXPECT_EQ(codePage.HoldsAscii(line, marker), text.find(wide) != std::u16string::npos)
          << line << " " << marker;
    }
  }
}

// Code page 932 of the C library here; on Windows the system's code page, 932 in Wine's
// Japanese locale.
TEST(LenMbcs, CountsBytesOfTheCodePage) {
  const struct {
    std::u16string text;
    std::int32_t bytes;
  } cases[] = {
      {u"", 0},
      {u"C:\\Users\\a.url", 14},
      {u"一二三四五六七八九十", 20},
      {u"ブックマークa", 13},  // katakana and the long vowel mark, two bytes each
      {u"ｱｲｳ", 3},             // half-width katakana, one byte each
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LenMbcs(c.text, testing::NativeCodePage()), c.bytes) << ToUtf8(c.text);
  }
}

}  // namespace
}  // namespace velkora
