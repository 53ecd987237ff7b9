#pragma once

#include <string>
#include <string_view>

#include "engine/interfaces/target_changes.h"

namespace velkora {

// Why a shortcut or folder whose bookmark is gone stays.
inline constexpr std::u16string_view kKeptEdited = u"記録のあとで書き換えられています";
inline constexpr std::u16string_view kKeptNotAsked = u"削除は指定されていません";
inline constexpr std::u16string_view kKeptFolderNotEmpty = u"フォルダーにほかのものがあります";

// One line for change: "追加: path", "移動: from → path", "残す: path（reason）"...
std::u16string TargetChangeLine(const TargetChange& change);

// The counts of a run's changes on one line: "追加 1 件、更新 0 件、..." .
std::u16string TargetChangeCountsText(const TargetChangeCounts& counts);

// The line of the end message for shortcuts whose bookmarks are gone and that were left,
// since removal was not asked for: "消えたブックマークのショートカット: N 件".
std::u16string GoneShortcutsMessage(std::int32_t count);

// What a run says of a record made from another bookmark file than source.
std::u16string OtherSourceMessage(std::u16string_view recordSource);

}  // namespace velkora
