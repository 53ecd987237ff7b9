#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velkora {

// UTF-8 for text; a lone surrogate U+DC80-U+DCFF turns back into the raw byte it
// stands for, so names made by FromUtf8 from arbitrary bytes survive the round trip.
std::string ToUtf8(std::u16string_view text);
// As ToUtf8, appended to out.
void AppendUtf8(std::u16string_view text, std::string& out);

// Text of UTF-8 bytes; each byte that is not part of valid UTF-8 becomes U+DC00 + byte.
std::u16string FromUtf8(std::string_view bytes);

// Number of bytes ToUtf8 would give for text.
std::size_t Utf8Length(std::u16string_view text);

}  // namespace velkora
