#pragma once

#include <string>
#include <string_view>

namespace velkora {

// Appends text to out with its character references decoded: the named references of
// HTML 4.01 and &apos;, each with its semicolon and in its exact letter case, and &#N; or
// &#xH; (a code point outside 1 to 10FFFF, or a surrogate, becomes U+FFFD). Anything else,
// a bare '&' included, is kept as written.
void AppendDecodedReferences(std::u16string_view text, std::u16string& out);

}  // namespace velkora
