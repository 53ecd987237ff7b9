#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/sources/bookmark_dates.h"

namespace velkora {

// The folder below a run's target that the next shortcut goes into, followed as the
// bookmark events open and close folders. Each open level keeps its name under the
// file-name rules and its heading's dates; the path through them is worked out again only
// after a folder opened or closed.
class FolderPath {
 public:
  // Folders are named down to this nesting level; the bookmarks of deeper ones go into the
  // deepest named one.
  static constexpr std::int32_t kLevels = 128;

  // A level of the current folder that makes a folder of its own.
  struct Level {
    std::u16string name;     // as the file system takes it
    std::size_t end = 0;     // the length of Chain() up to the end of name
    std::int32_t depth = 0;  // its nesting level, 1 to kLevels
  };

  // componentUtf8Limit: the bytes of UTF-8 a name may take (0: no limit).
  FolderPath(std::u16string_view target, char16_t separator, int componentUtf8Limit);

  // A folder opens one level below the current one; name is its name as the source gives
  // it, whose contents may be taken.
  void Open(std::u16string& name, const BookmarkDates& dates);
  void Close();
  // The current nesting level: 0 at the target, below it for more folders closed than
  // opened.
  std::int32_t Depth() const { return depth_; }
  // Works out the current folder when a folder opened or closed since the last call; true
  // then.
  bool Update();

  // The current folder, as the latest Update worked it out: the levels that make folders,
  // empty names left out, outermost first.
  const std::vector<Level>& Levels() const { return levels_; }
  // The target and the levels' names, with a separator before each name.
  const std::u16string& Chain() const { return chain_; }
  // Chain() with a separator at its end.
  const std::u16string& Path() const { return path_; }
  // The path measured as Windows counts it, its names whole, before any cut for the file
  // system.
  std::size_t WindowsLength() const { return windowsLength_; }
  // The dates of the heading of the open folder at nesting level depth (1 to Depth()).
  const BookmarkDates& DatesAt(std::int32_t depth) const {
    return open_[static_cast<std::size_t>(depth - 1)].dates;
  }

 private:
  struct OpenLevel {
    std::u16string name;
    BookmarkDates dates;
  };
  // The name level index makes: "_" in front of a name Velkora keeps at the top.
  std::u16string_view MadeName(std::size_t index) const;

  std::u16string target_;
  char16_t separator_;
  std::size_t limit_;
  // The open levels 1 to Depth(), down to kLevels.
  std::vector<OpenLevel> open_;
  std::int32_t depth_ = 0;
  bool changed_ = true;
  // The first level that makes a folder, at the top of the target, and its name when it
  // gets "_" in front.
  std::size_t top_ = 0;
  std::u16string topName_;
  std::vector<Level> levels_;
  std::u16string measured_;
  std::u16string chain_;
  std::u16string path_;
  std::size_t windowsLength_ = 0;
};

}  // namespace velkora
