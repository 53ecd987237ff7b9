#include "engine/unit_search.h"

#include <cstdint>
#include <cstring>

namespace velkora {
namespace {

constexpr std::uint64_t kOnes = 0x0001000100010001u;
constexpr std::uint64_t kHighBits = 0x8000800080008000u;

// Whether any of the four units of word is 0: a 0 unit borrows into its own high bit,
// which is clear in the unit itself. No unit other than 0 can set a mark where no 0 is.
bool HoldsZeroUnit(std::uint64_t word) { return ((word - kOnes) & ~word & kHighBits) != 0; }

}  // namespace

std::size_t FindEitherUnit(std::u16string_view text, std::size_t from, char16_t a, char16_t b) {
  std::size_t at = from;
  // Words up to the first that holds a or b, then units: whichever the byte order, the
  // unit found is in that word.
  for (; at < text.size() && text.size() - at >= 4; at += 4) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + at, sizeof word);
    if (HoldsZeroUnit(word ^ (kOnes * a)) || HoldsZeroUnit(word ^ (kOnes * b))) break;
  }
  for (; at < text.size(); ++at) {
    if (text[at] == a || text[at] == b) return at;
  }
  return std::u16string_view::npos;
}

}  // namespace velkora
