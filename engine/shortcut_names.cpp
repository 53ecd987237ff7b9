#include "engine/shortcut_names.h"

#include <algorithm>

#include "engine/file_name_rules.h"
#include "engine/text.h"
#include "engine/utf8.h"

namespace velkora {
namespace {

constexpr std::int32_t kCutLength = 125;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// Shortens a cut of length units so that it does not end between the halves of a pair.
std::size_t WholeCharacters(std::u16string_view text, std::size_t length) {
  if (length > 0 && length < text.size() && IsHighSurrogate(text[length - 1])) --length;
  return length;
}

// Upper case of the letters Windows folds when it compares names here: ASCII, full-width
// Latin, Greek, Cyrillic and the small Roman numerals, the cased letters of code page 932.
char16_t FoldCase(char16_t c) {
  if (c >= u'a' && c <= u'z') return c - 0x20;
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;
  if (c >= 0x2170 && c <= 0x217F) return c - 0x10;
  if (c == 0x03C2) return 0x03A3;
  if (c >= 0x03B1 && c <= 0x03C9) return c - 0x20;
  if (c >= 0x0430 && c <= 0x044F) return c - 0x20;
  if (c >= 0x0450 && c <= 0x045F) return c - 0x50;
  return c;
}

}  // namespace

std::u16string FitTitleToPathLimit(std::u16string_view folderPath, std::u16string title,
                                   const AnsiCodePage& codePage) {
  std::u16string path(folderPath);
  if (LenMbcs(path + title, codePage) <= kShortcutPathLimit) return title;
  const auto folderLength = static_cast<std::int32_t>(folderPath.size());
  if (folderLength < kCutLength) return Left(title, kCutLength - folderLength);
  if (title.empty()) return title;

  // Longest prefix that fits, found by bisection since the length grows with the prefix.
  const std::size_t minimum = (title.size() > 1 && IsHighSurrogate(title[0])) ? 2 : 1;
  std::size_t fits = minimum;
  std::size_t tooLong = title.size() + 1;
  while (tooLong - fits > 1) {
    const std::size_t middle = fits + (tooLong - fits) / 2;
    if (LenMbcs(path + title.substr(0, middle), codePage) <= kShortcutPathLimit) {
      fits = middle;
    } else {
      tooLong = middle;
    }
  }
  title.resize(std::max(minimum, WholeCharacters(title, fits)));
  return title;
}

std::u16string CutToUtf8Bytes(std::u16string_view name, std::size_t limit) {
  if (Utf8Length(name) <= limit) return std::u16string(name);
  std::size_t bytes = 0;
  std::size_t kept = 0;
  while (kept < name.size()) {
    const std::size_t step =
        (IsHighSurrogate(name[kept]) && kept + 1 < name.size()) ? 2 : 1;
    const std::size_t size = Utf8Length(name.substr(kept, step));
    if (bytes + size > limit) break;
    bytes += size;
    kept += step;
  }
  return std::u16string(name.substr(0, kept));
}

std::u16string WrittenShortcuts::Key(std::u16string_view path) const {
  std::u16string key;
  key.reserve(path.size());
  for (char16_t c : path) {
    if (c == separator_ && !key.empty() && key.back() == separator_) continue;
    key += FoldCase(c);
  }
  return key;
}

bool WrittenShortcuts::Contains(std::u16string_view path) const {
  return keys_.contains(Key(path));
}

int WrittenShortcuts::FirstSuffixToTry(std::u16string_view base) const {
  const auto it = lastSuffix_.find(Key(base));
  return it == lastSuffix_.end() ? 1 : it->second + 1;
}

void WrittenShortcuts::Add(std::u16string_view path, std::u16string_view base, int suffix) {
  keys_.insert(Key(path));
  int& last = lastSuffix_[Key(base)];
  if (suffix > last) last = suffix;
}

}  // namespace velkora
