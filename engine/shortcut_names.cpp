#include "engine/shortcut_names.h"

#include <algorithm>
#include <utility>

#include "engine/case_table.h"
#include "engine/file_name_rules.h"
#include "engine/surrogates.h"
#include "engine/utf8.h"

namespace velkora {
namespace {

constexpr std::size_t kCutLength = 125;

// Shortens a cut of length units so that it does not end between the halves of a pair.
std::size_t WholeCharacters(std::u16string_view text, std::size_t length) {
  if (length > 0 && StartsSurrogatePair(text, length - 1)) --length;
  return length;
}

}  // namespace

std::size_t FittedTitleLength(std::u16string_view folderPath, std::size_t folderBytes,
                              std::u16string_view title, const AnsiCodePage& codePage) {
  // The folder path ends with a separator, so no character spans the two parts. No unit
  // takes more than two bytes of the code page: a short title fits unmeasured.
  const std::size_t room =
      folderBytes < std::size_t{kShortcutPathLimit} ? kShortcutPathLimit - folderBytes : 0;
  if (title.size() * 2 <= room || codePage.AnsiLength(title) <= room) return title.size();
  if (folderPath.size() < kCutLength) {
    // The cut counts UTF-16 units and drops a pair it would split; a cut that keeps no
    // character of the title gives way to the title's own cut below.
    const std::size_t cut =
        WholeCharacters(title, std::min(title.size(), kCutLength - folderPath.size()));
    if (cut > 0 || title.empty()) return cut;
  }
  if (title.empty()) return 0;

  // Longest prefix that fits, found by bisection since the length grows with the prefix.
  const std::size_t minimum = StartsSurrogatePair(title, 0) ? 2 : 1;
  std::size_t fits = minimum;
  std::size_t tooLong = title.size() + 1;
  std::u16string path(folderPath);
  while (tooLong - fits > 1) {
    const std::size_t middle = fits + (tooLong - fits) / 2;
    path.resize(folderPath.size());
    path += title.substr(0, middle);
    if (LenMbcs(path, codePage) <= kShortcutPathLimit) {
      fits = middle;
    } else {
      tooLong = middle;
    }
  }
  return std::max(minimum, WholeCharacters(title, fits));
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
