#pragma once

#include <string>
#include <string_view>

namespace velkora {

// The kinds of image a bookmark's icon may be.
enum class IconKind { kPng, kIco };

// The bytes of an image that a data: URI carries, as browsers write a bookmark's icon:
// "data:image/png;base64,iVBOR...". Only the media types image/png, image/x-icon and
// image/vnd.microsoft.icon (in any letter case) with ";base64" are taken; parameters
// before ";base64" are passed over, percent-escapes decoded and white space in the
// payload skipped. Anything else, a remote URL too, gives false: that bookmark has no
// icon. False also once the bytes would pass maxBytes, so that no more is ever decoded.
bool DecodeIconDataUri(std::u16string_view uri, std::size_t maxBytes, IconKind& kind,
                       std::string& bytes);

}  // namespace velkora
