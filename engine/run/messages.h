#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/interfaces/conversion_window.h"
#include "engine/run/conversion_report.h"
#include "engine/sources/bookmark_record.h"

namespace velkora {

inline constexpr std::u16string_view kPathNotSetMessage =
    u"ブックマークファイルのパスが設定されていません";
// The first line of the end message: every bookmark became a shortcut or was skipped on
// purpose; some could not be written or read; none could.
inline constexpr std::u16string_view kCompletedMessage = u"   完了しました。";
inline constexpr std::u16string_view kSomeNotWrittenMessage =
    u"   変換を終えましたが、書き出せなかったブックマークがあります。";
inline constexpr std::u16string_view kNoneWrittenMessage =
    u"   ショートカットを作成できませんでした。";
inline constexpr std::u16string_view kNoBookmarksMessage =
    u"このファイルにはブックマークが見つかりませんでした。"
    u"Pomerekブラウザーのブックマークファイルか、ブラウザーからエクスポートしたブックマークの"
    u"HTMLファイルを指定してください。";
// The name of a bookmark with neither a title nor a URL to name it after.
inline constexpr std::u16string_view kUntitledName = u"無題";

// The message for a bookmark file that could not be opened or read.
std::u16string CannotReadMessage(std::u16string_view path, std::u16string_view reason);

// The message for a file that is not text, and why.
std::u16string NotBookmarkFileMessage(std::u16string_view path, std::u16string_view reason);

// The message for a target folder that cannot be used: not there, no folder, or locked by
// another run.
std::u16string TargetUnusableMessage(std::u16string_view target, std::u16string_view reason);

// The line that counts the bookmarks of the other format that were not read.
std::u16string OtherFormatMessage(std::int32_t count);

// The end message: a first line that says how the run ended and, unless every bookmark
// was simply written, the count of shortcuts made and a summary of what was not.
std::u16string CompletionMessage(const ConversionReport& report);
// The icon of the end message: a warning unless every bookmark was handled.
MessageIcon CompletionIcon(const ConversionReport& report);

// Names a bookmark for the person: its line, its title and its URL (those it has), each
// text shortened when it is too long to show.
std::u16string BookmarkText(const BookmarkRecord& bookmark);

// Decimal digits of number.
std::u16string DecimalText(long long number);

}  // namespace velkora
