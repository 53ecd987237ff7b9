#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/write/data_uri.h"

namespace velkora {

// An icon's file is small: a bookmark's icon is a favicon, and anything bigger is no icon
// of ours, however it is written.
inline constexpr std::size_t kMaxIconBytes = 64 * 1024;

// A PNG with its signature and an IHDR chunk first, of width and height 1 to 256.
bool IsWellFormedPng(std::string_view bytes);

// An ICO file: reserved 0, type 1, at least one image, and each image's bytes inside the
// file, after its directory.
bool IsWellFormedIco(std::string_view bytes);

// The ICO file of one image that is the PNG png (well formed): Windows reads PNG images
// inside ICO files as they are.
std::string PngAsIco(std::string_view png);

// The bytes of the .ico file for a bookmark's ICON value into ico (kDone); kNone when it
// gives no icon that can be used, kTooLarge for an image of more than kMaxIconBytes.
IconDecoding IconFileBytes(std::u16string_view icon, std::string& ico);

}  // namespace velkora
