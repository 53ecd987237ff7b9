#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/names/shortcut_names.h"

namespace velkora {

// The name of each shortcut in its folder: the first name of its title not yet written
// there, the title, else the title numbered " (2)", " (3)"..., each cut only as far as the
// whole path must be to open in Windows, and to the file system's limit on a name.
class ShortcutNamePicker {
 public:
  // A name picked, to be noted once its shortcut is written or its name found taken.
  struct Picked {
    // nullptr when not one character of the title fits the path: Path() is then the
    // shortest path the name could make.
    WrittenShortcuts::Stem* stem = nullptr;
    // The name " (n)" follows, for a numbered name; else nullptr.
    WrittenShortcuts::Stem* numbered = nullptr;
    int suffix = 1;
    bool shortened = false;  // cut shorter than the title
  };

  // componentUtf8Limit: the bytes of UTF-8 a name may take (0: no limit).
  ShortcutNamePicker(char16_t separator, int componentUtf8Limit);

  // Makes folderPath (which ends with a separator) the folder names are picked in, until
  // the next call. windowsLength: folderPath measured as Windows counts it, its names whole.
  void EnterFolder(std::u16string_view folderPath, std::size_t windowsLength);
  // Picks the name of title in the current folder; Path() then holds the folder's path
  // and the name with ".url".
  Picked Pick(std::u16string_view title);
  // The path of the latest name picked; valid until the next Pick.
  const std::u16string& Path() const { return path_; }
  // Where the name starts in Path().
  std::size_t NameStart() const { return folderPath_.size(); }

  // The shortcut of picked was written under its name.
  static void NoteWritten(const Picked& picked) {
    picked.stem->written = true;
    if (picked.numbered != nullptr) picked.numbered->NoteNumbered(picked.suffix);
  }
  // The name of picked stands for another file (its short name): it is taken, as a name
  // written in this run is.
  static void NoteTaken(const Picked& picked) { picked.stem->written = true; }

 private:
  WrittenShortcuts written_;
  std::size_t limit_;
  std::u16string folderPath_;
  std::size_t windowsLength_ = 0;
  // Working strings, kept so that their memory serves every bookmark.
  std::u16string path_;
  ShortcutKey base_;
  ShortcutKey prefix_;
  ShortcutKey key_;
};

}  // namespace velkora
