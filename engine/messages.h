#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/conversion_report.h"

namespace velkora {

inline constexpr std::u16string_view kPathNotSetMessage =
    u"ブックマークファイルのパスが設定されていません";
inline constexpr std::u16string_view kCompletedMessage = u"   完了しました。";
inline constexpr std::u16string_view kNoBookmarksMessage =
    u"このファイルにはブックマークが見つかりませんでした。"
    u"Pomerekブラウザのブックマークファイルか、ブラウザからエクスポートしたブックマークの"
    u"HTMLファイルを指定してください。";
// The name of a bookmark with neither a title nor a URL to name it after.
inline constexpr std::u16string_view kUntitledName = u"無題";

// The message for a bookmark file that could not be opened or read.
std::u16string CannotReadMessage(std::u16string_view path, std::u16string_view reason);

// The line that counts the bookmarks of the other format that were not read.
std::u16string OtherFormatMessage(std::int32_t count);

// The end message: the completion text, followed by a summary when anything was skipped.
std::u16string CompletionMessage(const ConversionReport& report);

// Decimal digits of number.
std::u16string DecimalText(long long number);

}  // namespace velkora
