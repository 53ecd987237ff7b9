#include "engine/names/shortcut_name_picker.h"

#include "engine/run/messages.h"
#include "engine/text/surrogates.h"
#include "engine/text/utf8.h"

namespace velkora {
namespace {

constexpr std::u16string_view kExtension = u".url";

std::u16string SuffixText(int suffix) {
  return suffix == 1 ? std::u16string() : u" (" + DecimalText(suffix) + u")";
}

}  // namespace

ShortcutNamePicker::ShortcutNamePicker(char16_t separator, int componentUtf8Limit)
    : written_(separator), limit_(static_cast<std::size_t>(componentUtf8Limit)) {}

void ShortcutNamePicker::EnterFolder(std::u16string_view folderPath, std::size_t windowsLength) {
  folderPath_.assign(folderPath);
  windowsLength_ = windowsLength;
  written_.EnterFolder(folderPath);
}

// Names are folded once: a key serves both to pick the name and to record it. A name is
// known by its stem, the name without ".url": the stem of a name that was not cut is the
// base with its suffix, and the first name of a base is the base itself. Each name a
// " (n)" follows remembers how far its numbers were taken, so that many titles that come
// to one name after the cut do not each try every number again.
ShortcutNamePicker::Picked ShortcutNamePicker::Pick(std::u16string_view title) {
  written_.Fold(title, base_);
  WrittenShortcuts::Stem& base = written_.Lookup(base_);
  for (int suffix = 1;;) {
    const std::u16string suffixText = SuffixText(suffix);
    // The title keeps what the path Windows opens leaves it once the folders, the suffix
    // and ".url" are counted.
    const std::size_t used = windowsLength_ + suffixText.size() + kExtension.size();
    const std::size_t kept =
        FittedTitleLength(title, used < kWindowsPathLimit ? kWindowsPathLimit - used : 0);
    path_.assign(folderPath_);
    if (kept == 0 && !title.empty()) {
      // Not one character fits: the path refused is the shortest the name could make.
      path_ += title.substr(0, StartsSurrogatePair(title, 0) ? 2 : 1);
      path_ += suffixText;
      path_ += kExtension;
      return {nullptr, nullptr, suffix, false};
    }
    const std::size_t reserved = Utf8Length(suffixText) + kExtension.size();
    const bool whole = AppendFitting(path_, title.substr(0, kept),
                                     limit_ > reserved ? limit_ - reserved : 0, limit_ > 0) &&
                       kept == title.size();
    const std::u16string_view stemText = std::u16string_view(path_).substr(folderPath_.size());
    WrittenShortcuts::Stem* numbered = nullptr;
    if (suffix != 1) {
      // The name before " (n)": the title, or its cut, which depends on n's digits.
      if (!whole) written_.Fold(stemText, prefix_);
      numbered = whole ? &base : &written_.Lookup(prefix_);
      if (numbered->KnowsNumbered(suffix)) {
        suffix = numbered->numberedUpTo + 1;
        continue;
      }
      written_.FoldWithEnding(whole ? base_ : prefix_, suffixText, key_);
    } else if (!whole) {
      written_.Fold(stemText, key_);
    }
    WrittenShortcuts::Stem* stem = suffix == 1 && whole ? &base : &written_.Lookup(key_);
    path_ += suffixText;
    path_ += kExtension;
    if (!stem->written) return {stem, numbered, suffix, !whole};
    if (numbered != nullptr) numbered->NoteNumbered(suffix);
    ++suffix;
  }
}

}  // namespace velkora
