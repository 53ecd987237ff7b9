#pragma once

#include <cstddef>
#include <string_view>

namespace velkora {

// Performance-critical: the first position from from on where text holds a or b, or npos.
// Reads four units as one word at a time; saves about 3.5% of a Pomerek bookmark's
// instructions against a loop over units, as every line is searched for '<' and '"'.
std::size_t FindEitherUnit(std::u16string_view text, std::size_t from, char16_t a, char16_t b);

}  // namespace velkora
