#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/interfaces/file_system_object.h"
#include "engine/interfaces/io_result.h"
#include "engine/interfaces/platform_services.h"
#include "engine/names/shortcut_name_picker.h"
#include "engine/run/conversion_observer.h"
#include "engine/sources/bookmark_record.h"
#include "engine/write/folder_path.h"
#include "engine/write/held_folders.h"
#include "engine/write/held_target.h"
#include "engine/write/icon_files.h"
#include "engine/write/recorded_shortcuts.h"
#include "engine/write/shortcut_file.h"

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

// Places and writes one Internet Shortcut file per bookmark below a run's target, one folder
// per open nesting level, as the bookmark events open and close folders: the shortcut's
// name in its folder, the folders held for it, its icon and its file are each an object of
// their own, which this one coordinates.
class ShortcutWriter {
 public:
  // target: the run's target, held for as long as the writer lives.
  ShortcutWriter(const HeldTarget& target, FileSystemObject& fileSystem,
                 const PlatformServices& platform);
  ~ShortcutWriter();
  ShortcutWriter(const ShortcutWriter&) = delete;
  ShortcutWriter& operator=(const ShortcutWriter&) = delete;

  // A folder opens one level below the current one, as BookmarkEvents::OpenFolder says.
  void OpenFolder(std::u16string& name, const BookmarkDates& dates);
  // The current folder closes: its folder, when made, is let go with its times.
  void CloseFolder();

  // Writes the shortcut of bookmark, named name (without ".url"), in the current folder.
  ShortcutOutcome WriteShortcut(const BookmarkRecord& bookmark, std::u16string_view name);
  // From now on, shortcuts get the times of their bookmarks' dates and folders those of
  // their headings' dates, as read in a run that started at runStart (microseconds since
  // 1970). A time that cannot be set is told to observer.
  void KeepDates(std::int64_t runStart, ConversionObserver* observer);
  // From now on, each shortcut is matched with the target's record through steps: one
  // whose bytes are on disk already is not written again, and in a dry run none is, nor is
  // any folder or icon made.
  void KeepInStep(RecordedShortcuts& steps);
  // The end of the run, however far it got: the folders still held get their times.
  void Finish() { folders_.LetGoFrom(1); }

 private:
  const HeldTarget& target_;
  FileSystemObject& fileSystem_;
  FolderPath path_;
  ShortcutNamePicker names_;
  HeldFolders folders_;
  IconFiles icons_;
  ShortcutFile file_;
  // The record's path and identity of the current shortcut.
  void MakeIdentity(const BookmarkRecord& bookmark);
  // Tells steps_ of the folders of the current path, once after it changed.
  void NoteFolders();
  // Writes the bytes file_ made last, unless the record says they stand there already.
  IoResult WriteFile(const BookmarkRecord& bookmark, std::u16string_view path,
                     std::string_view bytes, const FileTimes& times);

  const Sha256& sha256_;
  char16_t separator_;
  RecordedShortcuts* steps_ = nullptr;
  bool foldersNoted_ = false;
  // The headings of the open folders as the source gave them, each followed by
  // kIdentitySeparator, and where each starts.
  std::u16string headings_;
  std::vector<std::size_t> headingStarts_;
  std::u16string relative_;
  std::u16string identity_;
  std::string identityBytes_;
  // The dates of the run, when kept.
  bool keepDates_ = false;
  std::int64_t runStart_ = 0;
  ConversionObserver* observer_ = nullptr;
};

}  // namespace velkora
