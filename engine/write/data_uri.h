#pragma once

#include <string>
#include <string_view>

namespace velkora {

// The kinds of image a bookmark's icon may be.
enum class IconKind { kPng, kIco };

// What a bookmark's ICON value gave: no icon, its bytes, or an icon too large to be taken.
enum class IconDecoding { kNone, kDone, kTooLarge };

// The bytes of an image that a data: URI carries, as browsers write a bookmark's icon:
// "data:image/png;base64,iVBOR...". Only the media types image/png, image/x-icon and
// image/vnd.microsoft.icon (in any letter case) with ";base64" are taken; parameters
// before ";base64" are passed over, percent-escapes decoded and white space in the
// payload skipped. Anything else, a remote URL too, gives kNone: that bookmark has no
// icon. kTooLarge once the bytes would pass maxBytes, so that no more is ever decoded.
IconDecoding DecodeIconDataUri(std::u16string_view uri, std::size_t maxBytes, IconKind& kind,
                               std::string& bytes);

}  // namespace velkora
