#include "engine/shortcut_names.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "engine/case_table.h"
#include "engine/file_name_rules.h"
#include "engine/surrogates.h"
#include "engine/text.h"
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

std::u16string FitTitleToPathLimit(std::u16string_view folderPath, std::u16string title,
                                   const AnsiCodePage& codePage) {
  title.resize(FittedTitleLength(folderPath, codePage.AnsiLength(folderPath), title, codePage));
  return title;
}

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
  std::u16string& folded = key.folded;
  folded.resize(text.size());
  char16_t* const first = folded.data();
  char16_t* next = first;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {  // most of a name: ASCII
      if (c == separator_ && next != first && next[-1] == separator_) continue;
      *next++ = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 0x20) : c;
    } else if (StartsSurrogatePair(text, i)) {
      // A character beyond the Basic Multilingual Plane (Deseret, Adlam...) folds whole.
      const char32_t upper =
          UpperCase(static_cast<char32_t>(0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00)));
      *next++ = static_cast<char16_t>(0xD800 + ((upper - 0x10000) >> 10));
      *next++ = static_cast<char16_t>(0xDC00 + ((upper - 0x10000) & 0x3FF));
      ++i;
    } else {
      *next++ = UpperCase(c);
    }
  }
  folded.resize(static_cast<std::size_t>(next - first));
  key.hash = std::hash<std::u16string_view>{}(folded);
}

void WrittenShortcuts::FoldWithEnding(const ShortcutKey& base, std::u16string_view ending,
                                      ShortcutKey& key) const {
  // An ending (a suffix) starts with neither a separator nor the second half of a pair, so
  // it folds on its own as it would after the base.
  std::u16string& folded = key.folded;
  folded.assign(base.folded);
  for (const char16_t c : ending) {
    folded += c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 0x20) : UpperCase(c);
  }
  key.hash = std::hash<std::u16string_view>{}(folded);
}

void WrittenShortcuts::EnterFolder(std::u16string_view folderPath) {
  Fold(folderPath, folderKey_);
  current_ = &folders_[folderKey_.folded];
}

void WrittenShortcuts::Index(NameTable& table, std::size_t count) {
  table.slots.assign(count, Slot{});
  const std::size_t mask = count - 1;
  for (std::size_t i = 0; i < table.entries.size(); ++i) {
    const std::size_t hash = table.entries[i].hash;
    std::size_t at = hash & mask;
    while (table.slots[at].entry != 0) at = (at + 1) & mask;
    table.slots[at] = {static_cast<std::uint32_t>(i + 1), static_cast<std::uint32_t>(hash)};
  }
}

std::size_t WrittenShortcuts::Place(const ShortcutKey& name) {
  NameTable& table = *current_;
  // At most half the slots are taken, so that probes stay short.
  if ((table.entries.size() + 1) * 2 > table.slots.size()) {
    Index(table, std::max<std::size_t>(16, table.slots.size() * 2));
  }
  const std::size_t mask = table.slots.size() - 1;
  const auto hash = static_cast<std::uint32_t>(name.hash);
  for (std::size_t at = name.hash & mask;; at = (at + 1) & mask) {
    Slot& slot = table.slots[at];
    if (slot.entry == 0) {
      slot = {static_cast<std::uint32_t>(table.entries.size() + 1), hash};
      table.entries.push_back({table.text.size(), name.folded.size(), name.hash});
      table.text += name.folded;
      return table.entries.size() - 1;
    }
    if (slot.hash != hash) continue;
    const Entry& entry = table.entries[slot.entry - 1];
    if (entry.hash == name.hash &&
        SameText(std::u16string_view(table.text).substr(entry.start, entry.length), name.folded)) {
      return slot.entry - 1;
    }
  }
}

void WrittenShortcuts::MarkWritten(std::size_t place, std::size_t basePlace, int suffix) {
  std::vector<Entry>& entries = current_->entries;
  entries[place].written = true;
  if (suffix > entries[basePlace].lastSuffix) entries[basePlace].lastSuffix = suffix;
}

}  // namespace velkora
