#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/bookmark_record.h"
#include "engine/conversion_state.h"
#include "engine/conversion_window.h"
#include "engine/io_result.h"
#include "engine/platform_services.h"
#include "engine/shortcut_names.h"
#include "engine/text_files.h"

namespace velkora {

// What became of one shortcut: the path it was written to or, on failure, the path that
// failed and the reason.
struct ShortcutOutcome {
  IoResult result;
  std::u16string path;
};

// Places and writes one Internet Shortcut file per bookmark, below the directory list's
// current path, one folder per open nesting level.
class ShortcutWriter {
 public:
  ShortcutWriter(ConversionState& state, const ConversionWindow& window,
                 const PlatformServices& platform, SequentialFiles& files);

  // Writes the shortcut of bookmark, named name (without ".url"), under the state's
  // folderNames[1..depth].
  ShortcutOutcome WriteShortcut(const BookmarkRecord& bookmark, std::u16string_view name);

 private:
  // The first name of title not yet written in the current folder, into path_: the title,
  // else the title numbered " (2)", " (3)"..., each cut to the file system's limit.
  struct PickedName {
    WrittenShortcuts::Stem* stem;
    // The name " (n)" follows, for a numbered name; else nullptr.
    WrittenShortcuts::Stem* numbered;
    int suffix;
    std::size_t suffixLength;  // of " (n)", in units
  };
  PickedName PickName(std::u16string_view title, WrittenShortcuts::Stem& base);
  // Finds or makes each folder of chain, a folder path, below its first targetLength units.
  ShortcutOutcome EnsureFolders(const std::u16string& chain, std::size_t targetLength);
  // Makes path a folder unless it is one; a link or junction standing there is refused.
  IoResult EnsureFolder(const std::u16string& path);
  // True when path is the last folder found or made in this run, or one of its parents.
  bool IsKnownFolder(std::u16string_view path) const;
  // Writes the shortcut of url to a temporary file that then takes path's name.
  IoResult WriteFile(const std::u16string& path, std::u16string_view url);

  ConversionState& state_;
  const ConversionWindow& window_;
  const PlatformServices& platform_;
  SequentialFiles& files_;
  WrittenShortcuts written_;
  // The deepest folder found or made for the latest bookmark: it and its parents exist.
  std::u16string knownFolders_;
  // True when the latest EnsureFolders took a folder of the chain on trust.
  bool trustedKnownFolders_ = false;
  // What depends on the folder of the latest bookmark alone.
  struct FolderFacts {
    std::u16string target;              // the target directory
    std::vector<std::u16string> names;  // the folder names, outermost first
    std::u16string measured;        // target and folder names whole, with a separator at the end
    std::u16string chain;           // target and folder names as the file system takes them
    std::u16string path;            // chain with a separator at the end
    std::size_t measuredBytes = 0;  // measured in bytes of the code page
    std::size_t windowsLength = 0;  // measured as Windows counts it
  };
  // Whether the folder facts are those of the current folder names, levels deep, below
  // target.
  bool IsLearnedFolder(std::u16string_view target, std::int32_t levels) const;
  // Works out the facts of the current folder names, levels deep, below target.
  void LearnFolder(const std::u16string& target, std::int32_t levels);

  FolderFacts folder_;
  // Working strings, kept so that their memory serves every bookmark.
  std::u16string path_;
  std::u16string shortcutText_;
  ShortcutKey base_;
  ShortcutKey prefix_;
  ShortcutKey key_;
};

}  // namespace velkora
