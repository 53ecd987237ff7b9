#include "engine/write/url_text.h"

#include <algorithm>
#include <iterator>

#include "engine/text/surrogates.h"

namespace velkora {
namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// Unicode's White_Space and Default_Ignorable_Code_Point characters and the control
// characters, in order: none of them shows as anything.
constexpr Range kInvisible[] = {
    {0x0000, 0x0020},   {0x007F, 0x00A0}, {0x00AD, 0x00AD}, {0x034F, 0x034F},   {0x061C, 0x061C},
    {0x115F, 0x1160},   {0x1680, 0x1680}, {0x17B4, 0x17B5}, {0x180B, 0x180F},   {0x2000, 0x200F},
    {0x2028, 0x202F},   {0x205F, 0x206F}, {0x3000, 0x3000}, {0x3164, 0x3164},   {0xFE00, 0xFE0F},
    {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0}, {0xFFF0, 0xFFF8}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A},
    {0xE0000, 0xE0FFF},
};

bool IsInvisible(char32_t c) {
  const Range* range =
      std::upper_bound(std::begin(kInvisible), std::end(kInvisible), c,
                       [](char32_t value, const Range& r) { return value < r.first; });
  return range != std::begin(kInvisible) && c <= std::prev(range)->last;
}

bool IsControl(char16_t c) { return c < 0x20 || c == 0x7F; }

}  // namespace

bool IsBlankUrl(std::u16string_view url) {
  for (std::size_t at = 0; at < url.size(); ++at) {
    char32_t c = url[at];
    if (StartsSurrogatePair(url, at)) {
      c = CombineSurrogates(url[at], url[at + 1]);
      ++at;
    }
    if (!IsInvisible(c)) return false;
  }
  return true;
}

std::u16string_view UrlForShortcut(std::u16string_view url, std::u16string& encoded) {
  if (std::none_of(url.begin(), url.end(), IsControl)) return url;
  constexpr char16_t kHex[] = u"0123456789ABCDEF";
  encoded.clear();
  for (const char16_t c : url) {
    if (!IsControl(c)) {
      encoded += c;
      continue;
    }
    encoded += u'%';
    encoded += kHex[c >> 4];
    encoded += kHex[c & 0xF];
  }
  return encoded;
}

}  // namespace velkora
