#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/interfaces/conversion_window.h"
#include "engine/interfaces/io_result.h"
#include "engine/interfaces/platform_services.h"
#include "engine/names/shortcut_names.h"
#include "engine/run/conversion_observer.h"
#include "engine/run/conversion_state.h"
#include "engine/sources/bookmark_record.h"
#include "engine/sources/html/text_files.h"
#include "engine/write/icon_files.h"

namespace velkora {

// What became of one shortcut: the path it was written to or, on failure, the path that
// failed and the reason.
struct ShortcutOutcome {
  ShortcutOutcome() = default;
  ShortcutOutcome(IoResult result, std::u16string path)
      : result(std::move(result)), path(std::move(path)) {}

  IoResult result;
  std::u16string path;
  // Written under a name cut shorter than the title, to fit the path's limits.
  bool shortened = false;
  // Where the shortcut's own name starts in path, once written.
  std::size_t nameStart = 0;
  // Written without the icon its bookmark has: the icon file could not be written, or its
  // path cannot be said in the code page.
  bool iconLeftOut = false;
  // The first time an icon is left out in the run: its file's path (empty for an icon too
  // large to have a file, which its bookmark names) and the reason. Valid until the next
  // shortcut.
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
  // From now on, shortcuts get the times of their bookmarks' dates and folders those of
  // their headings' dates in folders (by nesting level), as read in a run that started at
  // runStart (microseconds since 1970). A time that cannot be set is told to observer.
  void KeepDates(const FolderDates& folders, std::int64_t runStart, ConversionObserver* observer);
  // The end of the run: the folders still held get their times.
  void Finish();

 private:
  // The first name of title not yet written in the current folder, into path_: the title,
  // else the title numbered " (2)", " (3)"..., each cut only as far as the whole path must
  // be to open in Windows, and to the file system's limit on a name.
  struct PickedName {
    // nullptr when not one character of the title fits the path: path_ is then the
    // shortest path the name could make.
    WrittenShortcuts::Stem* stem;
    // The name " (n)" follows, for a numbered name; else nullptr.
    WrittenShortcuts::Stem* numbered;
    int suffix;
    bool shortened;  // cut shorter than the title
  };
  PickedName PickName(std::u16string_view title, WrittenShortcuts::Stem& base);
  // Opens or makes each folder of the current folder's chain, each in the one before it,
  // starting from the target, which the state holds for the run (opened here when it does
  // not). Levels held for the bookmark before are kept; the rest are closed.
  ShortcutOutcome OpenFolders(const std::u16string& target);
  // Writes the shortcut of url, with the icon file iconPath when not empty, to a temporary
  // file in the current folder that then takes the name path_ ends in, and gives it times.
  IoResult WriteFile(std::u16string_view url, std::u16string_view iconPath, const FileTimes& times);
  // Lets the open chain go down to its first kept levels, giving each folder let go its
  // times: nothing is written into it after that, for now.
  void LeaveFolders(std::size_t kept);

  ConversionState& state_;
  const ConversionWindow& window_;
  const PlatformServices& platform_;
  SequentialFiles& files_;
  WrittenShortcuts written_;
  IconFiles icons_;
  // The target directory, as the state holds it.
  const FolderHandle* target_ = nullptr;
  // The open chain: the folders of the latest shortcut below the target, outermost first,
  // each opened in the one before it. Only the current chain is held, so a run holds at
  // most one handle per nesting level.
  struct OpenFolder {
    std::u16string name;
    std::unique_ptr<FolderHandle> handle;
    std::u16string path;
    FileTimes times;  // of the latest heading whose bookmarks it took
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
    std::vector<std::int32_t> depths;    // the nesting level of each of levels
    std::u16string path;                 // chain with a separator at the end
    std::size_t windowsLength = 0;       // measured as Windows counts it
  };
  // Whether the folder facts are those of the current folder names, levels deep, below
  // target.
  bool IsLearnedFolder(std::u16string_view target, std::int32_t levels) const;
  // Works out the facts of the current folder names, levels deep, below target.
  void LearnFolder(const std::u16string& target, std::int32_t levels);

  FolderFacts folder_;
  // The dates of the run, when kept.
  const FolderDates* folderDates_ = nullptr;
  std::int64_t runStart_ = 0;
  ConversionObserver* observer_ = nullptr;
  // Working strings, kept so that their memory serves every bookmark.
  std::u16string path_;
  std::u16string shortcutText_;
  ShortcutKey base_;
  ShortcutKey prefix_;
  ShortcutKey key_;
};

}  // namespace velkora
