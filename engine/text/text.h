#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velkora {

// The first n characters, or the whole text when shorter.
std::u16string Left(std::u16string_view text, std::int32_t n);

// Empties text, and gives its memory back when a hostile name or title made it larger than
// ordinary text needs: a kept working string would otherwise hold it for the whole run.
void ReleaseIfLarge(std::u16string& text);

// path without the double quotes around it, as Explorer's "copy as path" gives it; any
// other path as it is. Windows names cannot hold '"', so nothing is lost.
std::u16string WithoutEnclosingQuotes(std::u16string_view path);

}  // namespace velkora
