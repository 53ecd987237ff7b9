#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velkora {

// The browsers built on Chromium name their roots in two ways: Chrome, Brave, Vivaldi and
// Chromium itself as Chrome does, Edge as favourites.
enum class ChromiumFamily { kChrome, kEdge };

// The roots a Bookmarks file keeps under "roots" that the browsers name themselves.
enum class ChromiumRoot : std::uint8_t { kNone, kBar, kOther, kMobile, kUnknown };

// Which root a key of "roots" is: kNone for a key that holds no folder ("meta_info"),
// kUnknown for one whose folder keeps its stored name.
ChromiumRoot RootOfKey(std::string_view key);

// The name the Japanese browser of family shows for a known root.
std::u16string_view RootName(ChromiumFamily family, ChromiumRoot root);

// The top folder that holds the bookmarks kept in the signed-in account.
inline constexpr std::u16string_view kAccountFolderName = u"アカウントのブックマーク";

// A date of a Bookmarks file, decimal digits of microseconds since 1601-01-01 UTC, in
// microseconds since 1970. "0", or anything that is not digits, is no date.
std::optional<std::int64_t> ChromiumDate(std::string_view digits);

// Why a file or one of its nodes could not be read.
inline constexpr std::u16string_view kNodeTypeUnknown =
    u"種類（type）が \"url\" でも \"folder\" でもありません";
inline constexpr std::u16string_view kNodeWithoutUrl =
    u"種類が \"url\" なのに URL（url）がありません";
inline constexpr std::u16string_view kNotBookmarksJson =
    u"Chromium 系ブラウザーのブックマークファイル（\"roots\" を持つ JSON "
    u"のオブジェクト）ではありません";
inline constexpr std::u16string_view kEmptyBookmarksFile =
    u"ファイルが空です（ブラウザーのブックマークが保存されていません）";
inline constexpr std::u16string_view kBookmarksChanged =
    u"読み込み中にブックマークファイルが変更されました。もう一度変換してください";

}  // namespace velkora
