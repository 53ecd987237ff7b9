#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory_resource>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/names/windows_path_limit.h"
#include "engine/text/utf8.h"

namespace velkora {

// The units of a folder name or title a run keeps. No path longer than kWindowsPathLimit
// units is written, so of a longer name only its first units decide anything, and that it
// was longer: kept to kLongestKeptName units, it still makes every path through it too
// long, and it is cut as it would have been whole.
inline constexpr std::size_t kLongestKeptName = kWindowsPathLimit + 1;

// Cuts name to kLongestKeptName units, and gives back the memory it does not need.
void KeepNameBounded(std::u16string& name);

// How many units of title a shortcut's name keeps when room units of the path are left for
// it: all of them when the title fits, else its longest prefix of whole characters that
// fits (a surrogate pair is kept or dropped whole); 0 when not even its first character
// fits.
std::size_t FittedTitleLength(std::u16string_view title, std::size_t room);

// The longest prefix of whole characters of name that takes at most limit bytes in UTF-8.
std::u16string CutToUtf8Bytes(std::u16string_view name, std::size_t limit);

// Appends name to path, cut to limit bytes of UTF-8 when limited; false when it was cut.
// Most names fit, and are appended without a copy of their own.
inline bool AppendFitting(std::u16string& path, std::u16string_view name, std::size_t limit,
                          bool limited) {
  // No unit takes more than three bytes in UTF-8: a short name fits unmeasured.
  if (!limited || name.size() * 3 <= limit || Utf8Length(name) <= limit) {
    path += name;
    return true;
  }
  path += CutToUtf8Bytes(name, limit);
  return false;
}

// A name in the form in which Windows compares names (letter case folded). Kept by its
// user, so that its memory serves every name of a run.
struct ShortcutKey {
  std::u16string folded;
  bool operator==(const ShortcutKey&) const = default;
};

// Shortcut names written during one run, folder by folder. Every shortcut's name ends in
// ".url", so a name is known by its stem, the rest: the stem of a base's first name is the
// base itself, and one lookup serves both.
class WrittenShortcuts {
 public:
  // What is known of one stem in a folder.
  struct Stem {
    // Whether a shortcut was written under it.
    bool written = false;
    // Taken as the name a " (n)" follows: every name it makes with a number from
    // numberedFrom to numberedUpTo was written in the folder (0 and 0 while none is known).
    // A title cut shorter for a longer number starts its numbers past " (2)".
    int numberedFrom = 0;
    int numberedUpTo = 0;

    // Whether the name numbered n is known to be written.
    bool KnowsNumbered(int n) const { return n >= numberedFrom && n <= numberedUpTo && n > 0; }
    // Notes that the name numbered n was written.
    void NoteNumbered(int n) {
      if (numberedUpTo == 0) numberedFrom = n;
      if (numberedUpTo == 0 || n == numberedUpTo + 1) numberedUpTo = n;
    }
  };

  explicit WrittenShortcuts(char16_t separator) : separator_(separator) {}

  // Folds text into key as Windows compares names; repeated separators count once.
  void Fold(std::u16string_view text, ShortcutKey& key) const;
  // Folds the name of base followed by ending into key.
  void FoldWithEnding(const ShortcutKey& base, std::u16string_view ending, ShortcutKey& key) const;

  // Makes the folder of folderPath (which ends with a separator) the one that names are
  // about, until the next call; folder paths that Windows takes for one are one folder.
  void EnterFolder(std::u16string_view folderPath);
  // What is known of a stem in the current folder; a new stem starts unwritten. The
  // reference stays valid for the run.
  Stem& Lookup(const ShortcutKey& stem);

 private:
  // Names looked up as they stand, without a string made for the lookup.
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view text) const {
      return std::hash<std::u16string_view>{}(text);
    }
  };
  using Stems = std::pmr::unordered_map<std::pmr::u16string, Stem, Hash, std::equal_to<>>;

  char16_t separator_;
  // Names are only ever added during a run, and all go at its end: their memory is taken
  // from one growing buffer, without a call to the allocator for each.
  std::pmr::monotonic_buffer_resource memory_;
  std::pmr::unordered_map<std::pmr::u16string, Stems, Hash, std::equal_to<>> folders_{&memory_};
  Stems* current_ = nullptr;
  ShortcutKey folderKey_;
};

}  // namespace velkora
