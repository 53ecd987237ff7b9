#include "engine/sources/chromium/chromium_names.h"

#include <limits>

namespace velkora {

ChromiumRoot RootOfKey(std::string_view key) {
  if (key == "bookmark_bar") return ChromiumRoot::kBar;
  if (key == "other") return ChromiumRoot::kOther;
  // The mobile root keeps the key it had when it held synced bookmarks.
  if (key == "synced") return ChromiumRoot::kMobile;
  if (key == "meta_info") return ChromiumRoot::kNone;
  return ChromiumRoot::kUnknown;
}

std::u16string_view RootName(ChromiumFamily family, ChromiumRoot root) {
  const bool edge = family == ChromiumFamily::kEdge;
  switch (root) {
    case ChromiumRoot::kBar:
      return edge ? u"お気に入りバー" : u"ブックマーク バー";
    case ChromiumRoot::kOther:
      return edge ? u"その他のお気に入り" : u"その他のブックマーク";
    case ChromiumRoot::kMobile:
      return edge ? u"モバイルのお気に入り" : u"モバイルのブックマーク";
    default:
      return {};
  }
}

std::optional<std::int64_t> ChromiumDate(std::string_view digits) {
  constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();
  // 1601-01-01 to 1970-01-01: 369 years, 89 of them leap years.
  constexpr std::int64_t kFrom1601 = std::int64_t{11'644'473'600} * 1'000'000;
  if (digits.empty()) return std::nullopt;
  std::int64_t number = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    const std::int64_t digit = c - '0';
    if (number > (kMost - digit) / 10) return std::nullopt;
    number = number * 10 + digit;
  }
  if (number == 0) return std::nullopt;
  return number - kFrom1601;
}

}  // namespace velkora
