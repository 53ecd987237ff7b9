#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
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
// As above, as the number of units of title to keep, for a folder path whose length in the
// code page, folderBytes, is known: the writer measures each folder once, not once per
// bookmark, and keeps the title where it stands.
std::size_t FittedTitleLength(std::u16string_view folderPath, std::size_t folderBytes,
                              std::u16string_view title, const AnsiCodePage& codePage);

// The longest prefix of whole characters of name that takes at most limit bytes in UTF-8.
std::u16string CutToUtf8Bytes(std::u16string_view name, std::size_t limit);

// A name in the form in which Windows compares names (letter case folded), with its hash,
// worked out once for every lookup. Kept by its user, so that its memory serves every
// name of a run.
struct ShortcutKey {
  std::u16string folded;
  std::size_t hash = 0;
  bool operator==(const ShortcutKey&) const = default;
};

// Shortcut names written during one run, folder by folder. Bookmarks come folder by folder,
// so the names of the folder at hand are one small table, and a lookup stays within it.
// Every shortcut's name ends in ".url", so a name is known by its stem, the rest: the
// stem of a base's first name is the base itself, and one lookup serves both.
class WrittenShortcuts {
 public:
  explicit WrittenShortcuts(char16_t separator) : separator_(separator) {}

  // Folds text into key as Windows compares names; repeated separators count once.
  void Fold(std::u16string_view text, ShortcutKey& key) const;
  // Folds the name of base followed by ending into key.
  void FoldWithEnding(const ShortcutKey& base, std::u16string_view ending, ShortcutKey& key) const;

  // Makes the folder of folderPath (which ends with a separator) the one that names are
  // about, until the next call; folder paths that Windows takes for one are one folder.
  void EnterFolder(std::u16string_view folderPath);

  // The place of a stem or base in the current folder, taken (as not yet written) if it is
  // new.
  std::size_t Place(const ShortcutKey& name);
  // Whether a shortcut was written under the stem at place.
  bool IsWritten(std::size_t place) const { return current_->entries[place].written; }
  // The highest " (n)" number written for names built from the base at place, 0 for none.
  int LastSuffix(std::size_t place) const { return current_->entries[place].lastSuffix; }
  // Records a shortcut written under the stem at place, numbered suffix of the names
  // built from the base at basePlace.
  void MarkWritten(std::size_t place, std::size_t basePlace, int suffix);

 private:
  // What is known of one stem: whether a shortcut was written under it, and the highest
  // " (n)" number written for names built from it as a base (0 for none).
  struct Entry {
    std::size_t start;  // where its folded text begins in the table's text
    std::size_t length;
    std::size_t hash;
    int lastSuffix = 0;
    bool written = false;
  };
  // A slot of the index: an entry's number + 1 (0: empty), and part of its hash, so that a
  // probe passes other names without reading their entries.
  struct Slot {
    std::uint32_t entry = 0;
    std::uint32_t hash = 0;
  };
  // The names of one folder: entries in the order they came, their folded texts one after
  // the other, and an open-addressing index probed one slot after the other from the hash.
  struct NameTable {
    std::vector<Entry> entries;
    std::u16string text;
    std::vector<Slot> slots;
  };

  static void Index(NameTable& table, std::size_t count);

  char16_t separator_;
  std::unordered_map<std::u16string, NameTable> folders_;
  NameTable* current_ = nullptr;
  ShortcutKey folderKey_;
};

}  // namespace velkora
