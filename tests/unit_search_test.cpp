#include "engine/unit_search.h"

#include <gtest/gtest.h>

#include <string>

namespace velkora {
namespace {

constexpr auto npos = std::u16string_view::npos;

// The word-at-a-time search against its edges: a unit in each lane of a word, in the tail
// after the last whole word, at the last unit, from a start inside a word, and units that
// share a byte with '<' or '"' (surrogates, CJK) without being either.
TEST(FindEitherUnit, FindsTheFirstOfTwoUnitsAnywhere) {
  const struct {
    std::u16string text;
    std::size_t from;
    std::size_t found;
  } cases[] = {
      {u"", 0, npos},
      {u"<", 0, 0},
      {u"abc\"", 0, 3},
      {u"abcd<", 0, 4},
      {u"abcdefg<", 0, 7},
      {u"abcdefgh\"", 0, 8},
      {u"ab<d", 1, 2},
      {u"ab<d<fgh", 3, 4},
      {u"ab<d", 3, npos},
      {u"a<", 2, npos},
      {u"\u3C00\u223C\u013C\u2200\U0001F03Cxyz", 0, npos},
      {u"\U0001F03C\u3C3C\"", 0, 3},
      {std::u16string(1001, u'x') + u"<", 0, 1001},
      {std::u16string(1001, u'x') + u"\"<", 500, 1001},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindEitherUnit(c.text, c.from, u'<', u'"'), c.found)
        << c.text.size() << " from " << c.from;
  }
}

}  // namespace
}  // namespace velkora
