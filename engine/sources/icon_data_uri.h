#pragma once

#include <string>
#include <string_view>

namespace velkora {

// A bookmark's icon as the HTML exports carry it, made from the bytes of a browser's icon
// file: "data:image/png;base64,..." for a PNG, "data:image/x-icon;base64,..." for an ICO,
// told by their first bytes; empty for any other image, which no shortcut takes.
std::u16string IconDataUri(std::string_view imageBytes);

}  // namespace velkora
