#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/bookmark_record.h"
#include "engine/conversion_state.h"
#include "engine/conversion_window.h"
#include "engine/icon_files.h"
#include "engine/io_result.h"
#include "engine/platform_services.h"
#include "engine/shortcut_names.h"
#include "engine/text_files.h"

namespace velkora {

// What became of one shortcut: the path it was written to or, on failure, the path that
// failed and the reason.
struct ShortcutOutcome {
  ShortcutOutcome() = default;
  ShortcutOutcome(IoResult result, std::u16string path)
      : result(std::move(result)), path(std::move(path)) {}

  IoResult result;
  std::u16string path;
  // Written without the icon its bookmark has: the icon file could not be written, or its
  // path cannot be said in the code page.
  bool iconLeftOut = false;
  // The first time an icon is left out in the run: its file's path and the reason. Valid
  // until the next shortcut.
  std::u16string_view iconFailurePath;
  std::u16string_view iconFailureReason;
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
  // Opens or makes each folder of the current folder's chain, each in the one before it,
  // starting from the target, which is opened once and held for the run. Levels held for
  // the bookmark before are kept; the rest are closed.
  ShortcutOutcome OpenFolders(const std::u16string& target);
  // Writes the shortcut of url, with the icon file iconPath when not empty, to a temporary
  // file in the current folder that then takes the name path_ ends in.
  IoResult WriteFile(std::u16string_view url, std::u16string_view iconPath);

  ConversionState& state_;
  const ConversionWindow& window_;
  const PlatformServices& platform_;
  SequentialFiles& files_;
  WrittenShortcuts written_;
  IconFiles icons_;
  // The target directory, opened at the run's first shortcut and held to its end.
  std::unique_ptr<FolderHandle> target_;
  // The open chain: the folders of the latest shortcut below the target, outermost first,
  // each opened in the one before it. Only the current chain is held, so a run holds at
  // most one handle per nesting level.
  struct OpenFolder {
    std::u16string name;
    std::unique_ptr<FolderHandle> handle;
  };
  std::vector<OpenFolder> open_;
  // True when the latest OpenFolders kept a folder held for an earlier shortcut.
  bool keptFolders_ = false;
  // What depends on the folder of the latest bookmark alone.
  struct FolderFacts {
    std::u16string target;              // the target directory
    std::vector<std::u16string> names;  // the folder names, outermost first
    std::u16string measured;  // target and folder names whole, with a separator at the end
    std::u16string chain;     // target and folder names as the file system takes them
    std::vector<std::u16string> levels;  // the folder names as taken, empty ones left out
    std::vector<std::size_t> ends;       // the length of chain up to the end of each level
    std::u16string path;                 // chain with a separator at the end
    std::size_t measuredBytes = 0;       // measured in bytes of the code page
    std::size_t windowsLength = 0;       // measured as Windows counts it
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
