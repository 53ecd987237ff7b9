#include "engine/shortcut_names.h"

#include <algorithm>
#include <utility>

#include "engine/file_name_rules.h"
#include "engine/text.h"
#include "engine/utf8.h"

namespace velkora {
namespace {

constexpr std::int32_t kCutLength = 125;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// True when text[at] and text[at + 1] are the two halves of one character; a lone
// surrogate is a character of its own, as the length measures count it.
bool StartsPair(std::u16string_view text, std::size_t at) {
  return at + 1 < text.size() && IsHighSurrogate(text[at]) && IsLowSurrogate(text[at + 1]);
}

// Shortens a cut of length units so that it does not end between the halves of a pair.
std::size_t WholeCharacters(std::u16string_view text, std::size_t length) {
  if (length > 0 && StartsPair(text, length - 1)) --length;
  return length;
}

// Upper case of the letters Windows folds when it compares names here: ASCII, full-width
// Latin, Greek, Cyrillic and the small Roman numerals, the cased letters of code page 932.
char16_t FoldCase(char16_t c) {
  // Most characters of a path (digits, capitals, kana, kanji) have no case here.
  if (c < u'a' || (c > 0x045F && c < 0x2170) || (c > 0x217F && c < 0xFF41)) return c;
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
  if (folderLength < kCutLength) {
    // The cut keeps whole characters: a pair it would split is dropped.
    const std::size_t kept = WholeCharacters(
        title, std::min(title.size(), static_cast<std::size_t>(kCutLength - folderLength)));
    if (kept > 0 || title.empty()) return title.substr(0, kept);
  }
  if (title.empty()) return title;

  // Longest prefix that fits, found by bisection since the length grows with the prefix.
  const std::size_t minimum = StartsPair(title, 0) ? 2 : 1;
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
    const std::size_t step = StartsPair(name, kept) ? 2 : 1;
    const std::size_t size = Utf8Length(name.substr(kept, step));
    if (bytes + size > limit) break;
    bytes += size;
    kept += step;
  }
  return std::u16string(name.substr(0, kept));
}

ShortcutKey WrittenShortcuts::Key(std::u16string_view path) const {
  std::u16string key(path.size(), u'\0');
  char16_t* next = key.data();
  for (char16_t c : path) {
    if (c == separator_ && next != key.data() && next[-1] == separator_) continue;
    *next++ = FoldCase(c);
  }
  key.resize(static_cast<std::size_t>(next - key.data()));
  return {std::move(key)};
}

bool WrittenShortcuts::Contains(const ShortcutKey& path) const { return keys_.contains(path); }

int WrittenShortcuts::FirstSuffixToTry(const ShortcutKey& base) const {
  const auto it = lastSuffix_.find(base);
  return it == lastSuffix_.end() ? 1 : it->second + 1;
}

void WrittenShortcuts::Add(ShortcutKey path, const ShortcutKey& base, int suffix) {
  keys_.insert(std::move(path));
  int& last = lastSuffix_[base];
  if (suffix > last) last = suffix;
}

}  // namespace velkora
