#pragma once

#include <string>
#include <string_view>

namespace velkora {

// Decodes the character references of text where it stands: the named references of
// HTML 4.01 and &apos;, each with its semicolon and in its exact letter case, and &#N; or
// &#xH; (a code point outside 1 to 10FFFF, or a surrogate, becomes U+FFFD). Anything else,
// a bare '&' included, is kept as written.
void DecodeReferences(std::u16string& text);

}  // namespace velkora
