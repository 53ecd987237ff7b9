#pragma once

#include <string>
#include <string_view>

namespace velkora {

// The data: URI of an icon image, as a bookmark's ICON attribute carries one:
// "data:image/png;base64,..." for PNG bytes, "data:image/x-icon;base64,..." for an ICO
// file, told apart by their signatures; empty for bytes of any other kind.
std::u16string IconDataUri(std::string_view imageBytes);

}  // namespace velkora
