#pragma once

#include <string_view>

namespace velkora {

// Reasons the engine and the platform layers give, in the user's words, for what they
// refuse to do, where the system has no reason of its own.

// A bookmark file that is not a regular file: it could not be read twice, or at all.
inline constexpr std::u16string_view kInputIsFolder =
    u"フォルダーです（ブックマークファイルを指定してください）";
inline constexpr std::u16string_view kInputIsPipe =
    u"パイプ（FIFO）です（通常のファイルではないため読み込みません）";
inline constexpr std::u16string_view kInputIsDevice =
    u"デバイスです（通常のファイルではないため読み込みません）";
inline constexpr std::u16string_view kInputIsNotAFile = u"通常のファイルではありません";

// A path that must name a folder names something else.
inline constexpr std::u16string_view kNotAFolder = u"フォルダーではありません";

// A folder of the shortcut's chain, below the target, is a symbolic link or a junction.
inline constexpr std::u16string_view kLinkInTheWay =
    u"フォルダーの代わりにシンボリックリンクかジャンクションがあります（その先には書き込みません）";

// The target folder is locked by another run, which is writing into it.
inline constexpr std::u16string_view kTargetBusy = u"このフォルダーには別の変換が書き込み中です";

// A shortcut would take the place of the bookmark file being read.
inline constexpr std::u16string_view kBookmarkFileInTheWay =
    u"読み込み中のブックマークファイルと同じファイルなので、置き換えません";

// A shortcut's name is the short (8.3) name of another file, which it would replace.
inline constexpr std::u16string_view kNameIsShortNameOfAnother =
    u"別のファイルの短い名前（8.3 形式）と同じ名前です";

// A bookmark line without its URL and title in order.
inline constexpr std::u16string_view kMalformedBookmarkLine =
    u"<A HREF=\"URL\">タイトル</A> の形になっていません";

// A bookmark on a line that also closes a folder, which the line does instead.
inline constexpr std::u16string_view kBookmarkOnClosingLine =
    u"</UL> と同じ行にあるため、フォルダーを閉じる行として読みました";

// An anchor after the first on a line of the Pomerek file, whose grammar reads one
// bookmark a line.
inline constexpr std::u16string_view kFurtherBookmarkOnLine =
    u"同じ行の 2 つ目以降のブックマークです（1 行に 1 つだけ読みます）";

// A bookmark whose URL is empty, or white space only: its shortcut would open nothing.
inline constexpr std::u16string_view kEmptyUrl = u"URL が空です";

// A line longer than the reader holds; it is skipped unread.
inline constexpr std::u16string_view kLineTooLong = u"行が長すぎます（16 MiB を超えています）";

// Anchors of a browser's export that do not make a bookmark.
inline constexpr std::u16string_view kAnchorWithoutHref = u"<A> に HREF がありません";
inline constexpr std::u16string_view kAnchorNotClosed = u"<A> が </A> で閉じられていません";
inline constexpr std::u16string_view kItemTooLong =
    u"URL かタイトルが長すぎます（16 Mi 文字を超えています）";

// The icon folder's path holds a character the shortcuts' code page has no code for: the
// shortcuts could not name their icons.
inline constexpr std::u16string_view kIconPathNotInCodePage =
    u"アイコンのフォルダーのパスに、ショートカットの文字コードで書けない文字があります";

}  // namespace velkora
