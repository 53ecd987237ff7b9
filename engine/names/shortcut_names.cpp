#include "engine/names/shortcut_names.h"

#include <algorithm>
#include <utility>

#include "engine/names/case_table.h"
#include "engine/text/surrogates.h"
#include "engine/text/utf8.h"

namespace velkora {
namespace {

// Shortens a cut of length units so that it does not end between the halves of a pair.
std::size_t WholeCharacters(std::u16string_view text, std::size_t length) {
  if (length > 0 && StartsSurrogatePair(text, length - 1)) --length;
  return length;
}

}  // namespace

std::size_t FittedTitleLength(std::u16string_view title, std::size_t room) {
  if (title.size() <= room) return title.size();
  return WholeCharacters(title, room);
}

void KeepNameBounded(std::u16string& name) {
  if (name.size() > kLongestKeptName) name.resize(kLongestKeptName);
  // A name the rules shortened ("abc" and a million spaces) may still hold its memory.
  if (name.capacity() > 2 * kLongestKeptName) name.shrink_to_fit();
}

std::u16string CutToUtf8Bytes(std::u16string_view name, std::size_t limit) {
  if (Utf8Length(name) <= limit) return std::u16string(name);
  std::size_t bytes = 0;
  std::size_t kept = 0;
  while (kept < name.size()) {
    const std::size_t step = StartsSurrogatePair(name, kept) ? 2 : 1;
    const std::size_t size = Utf8Length(name.substr(kept, step));
    if (bytes + size > limit) break;
    bytes += size;
    kept += step;
  }
  return std::u16string(name.substr(0, kept));
}

void WrittenShortcuts::Fold(std::u16string_view text, ShortcutKey& key) const {
  // As many units as text, written through a pointer and trimmed at the end.
  std::u16string& folded = key.folded;
  folded.resize(text.size());
  char16_t* const first = folded.data();
  char16_t* next = first;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == separator_ && next != first && next[-1] == separator_) continue;
    if (StartsSurrogatePair(text, i)) {
      // A character beyond the Basic Multilingual Plane (Deseret, Adlam...) folds whole.
      PutCodePoint(UpperCase(CombineSurrogates(c, text[++i])), next);
    } else {
      *next++ = UpperCase(c);
    }
  }
  folded.resize(static_cast<std::size_t>(next - first));
}

void WrittenShortcuts::FoldWithEnding(const ShortcutKey& base, std::u16string_view ending,
                                      ShortcutKey& key) const {
  // An ending (a suffix) starts with neither a separator nor the second half of a pair, so
  // it folds on its own as it would after the base.
  ShortcutKey folded;
  Fold(ending, folded);
  key.folded = base.folded + folded.folded;
}

void WrittenShortcuts::EnterFolder(std::u16string_view folderPath) {
  Fold(folderPath, folderKey_);
  auto folder = folders_.find(std::u16string_view(folderKey_.folded));
  if (folder == folders_.end()) {
    folder = folders_.try_emplace(std::pmr::u16string(folderKey_.folded, &memory_)).first;
  }
  current_ = &folder->second;
}

WrittenShortcuts::Stem& WrittenShortcuts::Lookup(const ShortcutKey& stem) {
  auto found = current_->find(std::u16string_view(stem.folded));
  if (found == current_->end()) {
    found = current_->try_emplace(std::pmr::u16string(stem.folded, &memory_)).first;
  }
  return found->second;
}

}  // namespace velkora
