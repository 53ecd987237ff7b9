// Arbitrary ICON values through the data: decoder and the image checks, as a browser
// export hands them on. Whatever the input, an icon that is taken is a well-formed ICO
// of at most 64 KiB of image; a PNG is taken exactly when it is well formed, wrapped as
// an ICO whose one image is the PNG as it is; an ICO exactly when it is well formed, as it
// is; and base64 decodes back to the bytes it was made of.
//
// Input: byte 0 chooses how the rest is used: as the ICON value itself (its bytes taken
// as units of Latin-1), or as the bytes of a PNG or an ICO, which are then written as a
// data: URI the way browsers write them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/write/data_uri.h"
#include "engine/write/icon_image.h"
#include "fuzz/fuzz_check.h"
#include "tests/base64_encoding.h"

namespace velkora::fuzz {
namespace {

std::u16string Widened(std::string_view bytes) {
  return std::u16string(bytes.begin(), bytes.end());
}

// Whatever the value, what is taken is a well-formed ICO of bounded size.
void CheckValue(std::u16string_view value) {
  std::string ico;
  if (IconFileBytes(value, ico) != IconDecoding::kDone) return;
  Require(IsWellFormedIco(ico), "a taken icon is a well-formed ICO");
  Require(ico.size() <= kMaxIconBytes + 22, "a taken icon holds at most 64 KiB of image");
}

// Image bytes written as a data: URI are taken exactly when they are well formed.
void CheckImage(std::string_view image, bool png) {
  const std::u16string uri =
      Widened((png ? "data:image/png;base64," : "data:image/vnd.microsoft.icon;base64,") +
              EncodeBase64(image));
  IconKind kind{};
  std::string decoded;
  const bool fits = image.size() <= kMaxIconBytes;
  Require((DecodeIconDataUri(uri, kMaxIconBytes, kind, decoded) == IconDecoding::kDone) == fits,
          "base64 within the bound decodes, beyond it does not");
  if (fits) Require(decoded == image, "base64 decodes to the bytes it was made of");
  std::string ico;
  const bool taken = IconFileBytes(uri, ico) == IconDecoding::kDone;
  if (png) {
    Require(taken == (fits && IsWellFormedPng(image)), "a PNG is taken when well formed");
    if (!taken) return;
    Require(IsWellFormedIco(ico), "a wrapped PNG is a well-formed ICO");
    Require(ico.size() == 22 + image.size() && ico.substr(22) == image,
            "a wrapped PNG is one image that is the PNG as it is");
  } else {
    Require(taken == (fits && IsWellFormedIco(image)), "an ICO is taken when well formed");
    if (taken) Require(ico == image, "an ICO is kept as it is");
  }
}

}  // namespace
}  // namespace velkora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 3) {
    case 0:
      velkora::fuzz::CheckValue(velkora::fuzz::Widened(rest));
      break;
    case 1:
      velkora::fuzz::CheckImage(rest, true);
      break;
    default:
      velkora::fuzz::CheckImage(rest, false);
      break;
  }
  return 0;
}
