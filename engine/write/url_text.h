#pragma once

#include <string>
#include <string_view>

namespace velkora {

// True when url holds nothing a person could see or a browser could open: every
// character is white space, a control character or an invisible formatting character
// (a zero-width space or joiner, a word joiner, a byte order mark, a variation selector
// and the like). Such a URL counts as empty.
bool IsBlankUrl(std::u16string_view url);

// The URL as a shortcut's "URL=" line holds it: every C0 control character and DEL as
// "%XX", in upper-case hexadecimal. Windows reads a URL only up to a NUL, and a browser
// opens nothing for the others. Returns url itself when it holds none; encoded serves
// otherwise.
std::u16string_view UrlForShortcut(std::u16string_view url, std::u16string& encoded);

}  // namespace velkora
