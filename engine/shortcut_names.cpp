#include "engine/shortcut_names.h"

#include <algorithm>
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
  return FitTitleToPathLimit(folderPath, codePage.AnsiLength(folderPath), std::move(title),
                             codePage);
}

std::u16string FitTitleToPathLimit(std::u16string_view folderPath, std::size_t folderBytes,
                                   std::u16string title, const AnsiCodePage& codePage) {
  // The folder path ends with a separator, so no character spans the two parts.
  if (folderBytes + codePage.AnsiLength(title) <= std::size_t{kShortcutPathLimit}) return title;
  std::u16string path(folderPath);
  if (folderPath.size() < kCutLength) {
    // The cut counts UTF-16 units and drops a pair it would split; a cut that keeps no
    // character of the title gives way to the title's own cut below.
    const std::size_t cut =
        WholeCharacters(title, std::min(title.size(), kCutLength - folderPath.size()));
    if (cut > 0 || title.empty()) {
      title.resize(cut);
      return title;
    }
  }
  if (title.empty()) return title;

  // Longest prefix that fits, found by bisection since the length grows with the prefix.
  const std::size_t minimum = StartsSurrogatePair(title, 0) ? 2 : 1;
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
    const std::size_t step = StartsSurrogatePair(name, kept) ? 2 : 1;
    const std::size_t size = Utf8Length(name.substr(kept, step));
    if (bytes + size > limit) break;
    bytes += size;
    kept += step;
  }
  return std::u16string(name.substr(0, kept));
}

ShortcutKey WrittenShortcuts::Key(std::u16string_view path) const { return KeyAfter({}, path); }

ShortcutKey WrittenShortcuts::KeyAfter(std::u16string_view folderKey,
                                       std::u16string_view path) const {
  std::u16string key(folderKey.size() + path.size(), u'\0');
  std::copy(folderKey.begin(), folderKey.end(), key.begin());
  char16_t* next = key.data() + folderKey.size();
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char16_t c = path[i];
    if (c < 0x80) {  // most of a path: ASCII
      if (c == separator_ && next != key.data() && next[-1] == separator_) continue;
      *next++ = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 0x20) : c;
    } else if (StartsSurrogatePair(path, i)) {
      // A character beyond the Basic Multilingual Plane (Deseret, Adlam...) folds whole.
      const char32_t upper =
          UpperCase(static_cast<char32_t>(0x10000 + ((c - 0xD800) << 10) + (path[i + 1] - 0xDC00)));
      *next++ = static_cast<char16_t>(0xD800 + ((upper - 0x10000) >> 10));
      *next++ = static_cast<char16_t>(0xDC00 + ((upper - 0x10000) & 0x3FF));
      ++i;
    } else {
      *next++ = UpperCase(c);
    }
  }
  key.resize(static_cast<std::size_t>(next - key.data()));
  return ShortcutKey(std::move(key));
}

ShortcutKey WrittenShortcuts::KeyWithEnding(const ShortcutKey& base, std::u16string_view suffix,
                                            std::u16string_view extension) const {
  std::u16string folded;
  folded.reserve(base.folded.size() + suffix.size() + extension.size());
  folded = base.folded;
  folded += Key(suffix).folded;
  folded += Key(extension).folded;
  return ShortcutKey(std::move(folded));
}

namespace {

// The tag of a slot: other bits of the hash than those that pick the slot.
std::uint32_t TagOf(std::size_t hash) {
  return static_cast<std::uint32_t>((std::uint64_t{hash} * 0x9E3779B97F4A7C15u) >> 32);
}

}  // namespace

const WrittenShortcuts::Entry* WrittenShortcuts::Find(const ShortcutKey& key) const {
  if (slots_.empty()) return nullptr;
  const std::size_t mask = slots_.size() - 1;
  const std::uint32_t tag = TagOf(key.hash);
  for (std::size_t at = key.hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.entry == 0) return nullptr;
    if (slot.tag == tag && entries_[slot.entry - 1].key == key) return &entries_[slot.entry - 1];
  }
}

WrittenShortcuts::Entry& WrittenShortcuts::FindOrAdd(ShortcutKey key) {
  // At most half the slots are taken, so that probes stay short.
  if ((entries_.size() + 1) * 2 > slots_.size())
    Index(std::max<std::size_t>(64, slots_.size() * 2));
  const std::size_t mask = slots_.size() - 1;
  const std::uint32_t tag = TagOf(key.hash);
  for (std::size_t at = key.hash & mask;; at = (at + 1) & mask) {
    Slot& slot = slots_[at];
    if (slot.entry == 0) {
      slot = {tag, static_cast<std::uint32_t>(entries_.size() + 1)};
      entries_.push_back({std::move(key)});
      return entries_.back();
    }
    if (slot.tag == tag && entries_[slot.entry - 1].key == key) return entries_[slot.entry - 1];
  }
}

void WrittenShortcuts::Index(std::size_t count) {
  slots_.assign(count, Slot{});
  const std::size_t mask = count - 1;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::size_t hash = entries_[i].key.hash;
    std::size_t at = hash & mask;
    while (slots_[at].entry != 0) at = (at + 1) & mask;
    slots_[at] = {TagOf(hash), static_cast<std::uint32_t>(i + 1)};
  }
}

bool WrittenShortcuts::Contains(const ShortcutKey& path) const {
  const Entry* entry = Find(path);
  return entry != nullptr && entry->written;
}

int WrittenShortcuts::FirstSuffixToTry(const ShortcutKey& base) const {
  const Entry* entry = Find(base);
  return entry == nullptr ? 1 : entry->lastSuffix + 1;
}

void WrittenShortcuts::Reserve(std::size_t count) {
  // Each path and its base: two keys a name, in at most half the slots.
  std::size_t slots = 64;
  while (slots < count * 4) slots *= 2;
  if (slots > slots_.size()) Index(slots);
}

void WrittenShortcuts::Add(ShortcutKey path, ShortcutKey base, int suffix) {
  FindOrAdd(std::move(path)).written = true;
  Entry& last = FindOrAdd(std::move(base));
  if (suffix > last.lastSuffix) last.lastSuffix = suffix;
}

}  // namespace velkora
