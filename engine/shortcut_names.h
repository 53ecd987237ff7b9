#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/ansi_code_page.h"

namespace velkora {

// Largest shortcut path, without ".url", in bytes of the ANSI code page.
inline constexpr std::int32_t kShortcutPathLimit = 250;

// The title to use below folderPath (which ends with the separator) so that the whole
// path stays within kShortcutPathLimit bytes. Normally the path is cut to its first 125
// characters; when that would leave none of the title, the title alone is cut to fit,
// keeping at least one character.
std::u16string FitTitleToPathLimit(std::u16string_view folderPath, std::u16string title,
                                   const AnsiCodePage& codePage);
// As above, for a folder path whose length in the code page, folderBytes, is known: the
// writer measures each folder once, not once per bookmark.
std::u16string FitTitleToPathLimit(std::u16string_view folderPath, std::size_t folderBytes,
                                   std::u16string title, const AnsiCodePage& codePage);

// The longest prefix of whole characters of name that takes at most limit bytes in UTF-8.
std::u16string CutToUtf8Bytes(std::u16string_view name, std::size_t limit);

// A shortcut path in the form in which Windows compares names: letter case folded and
// repeated separators counted once; with its hash, worked out once for every table.
struct ShortcutKey {
  ShortcutKey() = default;
  explicit ShortcutKey(std::u16string text)
      : folded(std::move(text)), hash(std::hash<std::u16string>{}(folded)) {}

  std::u16string folded;
  std::size_t hash = std::hash<std::u16string>{}(std::u16string());
  bool operator==(const ShortcutKey&) const = default;
};

// Shortcut paths written during one run, compared by their keys.
class WrittenShortcuts {
 public:
  explicit WrittenShortcuts(char16_t separator) : separator_(separator) {}

  ShortcutKey Key(std::u16string_view path) const;
  // The key of a folder path's name, given the folder path's key (which ends with a
  // separator): name holds no separator.
  ShortcutKey KeyAfter(std::u16string_view folderKey, std::u16string_view name) const;
  // The key of the path of base followed by suffix and extension, neither of which starts
  // with a separator or the second half of a surrogate pair.
  ShortcutKey KeyWithEnding(const ShortcutKey& base, std::u16string_view suffix,
                            std::u16string_view extension) const;

  bool Contains(const ShortcutKey& path) const;

  // The first " (n)" number worth trying for a name built from base: every lower one is
  // taken already.
  int FirstSuffixToTry(const ShortcutKey& base) const;

  // Records path, written as the name numbered suffix of those built from base.
  void Add(ShortcutKey path, ShortcutKey base, int suffix);
  // Makes room for count paths at once.
  void Reserve(std::size_t count);

 private:
  // What is known of one key: a path written under it, and the highest " (n)" number
  // written for names built from it as a base (0 for none).
  struct Entry {
    ShortcutKey key;
    bool written = false;
    int lastSuffix = 0;
  };
  // A place in the index: part of the key's hash, and the entry's number + 1 (0: empty).
  struct Slot {
    std::uint32_t tag = 0;
    std::uint32_t entry = 0;
  };

  const Entry* Find(const ShortcutKey& key) const;
  Entry& FindOrAdd(ShortcutKey key);
  // Rebuilds the index with count slots, a power of two.
  void Index(std::size_t count);

  char16_t separator_;
  // Entries in the order they came, and an index into them, probed one slot after the
  // other from the key's hash: a lookup reads one stretch of the index, and an entry only
  // when the tag agrees, where a node-based table would follow a chain of nodes.
  std::vector<Entry> entries_;
  std::vector<Slot> slots_;
};

}  // namespace velkora
