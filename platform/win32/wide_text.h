#pragma once

#include <string>
#include <string_view>

namespace velkora {

// On Windows wchar_t holds UTF-16 code units, so the engine's text and the system's wide
// strings differ only in their element type.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");

// The wide string for text, to hand to a W function.
inline std::wstring Wide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

// The text of a wide string a W function returned.
inline std::u16string FromWide(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace velkora
