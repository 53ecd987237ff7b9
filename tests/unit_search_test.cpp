#include "engine/text/unit_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velkora {
namespace {

// The word-at-a-time search against its edges: a unit in each lane of a word, in the tail
// after the last whole word, at the last unit, several in one word, and units that share a
// byte with '<' or '"' (surrogates, CJK) without being either.
TEST(ForEachEitherUnit, FindsEveryPlaceOfTwoUnits) {
  const struct {
    std::u16string text;
    std::vector<std::size_t> found;
  } cases[] = {
      {u"", {}},
      {u"<", {0}},
      {u"abc\"", {3}},
      {u"abcd<", {4}},
      {u"abcdefg<", {7}},
      {u"abcdefgh\"", {8}},
      {u"<\"<\"<", {0, 1, 2, 3, 4}},
      {u"ab<d<fg\"", {2, 4, 7}},
      {u"\u3C00\u223C\u013C\u2200\U0001F03Cxyz", {}},
      {u"\U0001F03C\u3C3C\"", {3}},
      {std::u16string(1001, u'x') + u"<", {1001}},
  };
  for (const auto& c : cases) {
    std::vector<std::size_t> found;
    ForEachEitherUnit(c.text, u'<', u'"', [&found](std::size_t at) { found.push_back(at); });
    EXPECT_EQ(found, c.found) << c.text.size();
  }
}

}  // namespace
}  // namespace velkora
