#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

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

// The longest prefix of whole characters of name that takes at most limit bytes in UTF-8.
std::u16string CutToUtf8Bytes(std::u16string_view name, std::size_t limit);

// Shortcut paths written during one run, compared as Windows compares names: letter case
// ignored and repeated separators counted once.
class WrittenShortcuts {
 public:
  explicit WrittenShortcuts(char16_t separator) : separator_(separator) {}

  bool Contains(std::u16string_view path) const;

  // The first " (n)" number worth trying for a name built from base: every lower one is
  // taken already.
  int FirstSuffixToTry(std::u16string_view base) const;

  // Records path, written as the name numbered suffix of those built from base.
  void Add(std::u16string_view path, std::u16string_view base, int suffix);

 private:
  std::u16string Key(std::u16string_view path) const;

  char16_t separator_;
  std::unordered_set<std::u16string> keys_;
  std::unordered_map<std::u16string, int> lastSuffix_;
};

}  // namespace velkora
