#include "engine/write/folder_path.h"

#include <algorithm>
#include <array>
#include <limits>

#include "engine/names/case_table.h"
#include "engine/names/file_name_rules.h"
#include "engine/names/shortcut_names.h"
#include "engine/names/windows_path_limit.h"
#include "engine/record/target_record.h"
#include "engine/write/icon_files.h"

namespace velkora {
namespace {

// What Velkora keeps at the top of a target: its folder, the file a run locks the target
// with on Windows, and the icon folder of earlier versions. A bookmark folder there may not
// take one of their names.
constexpr std::array<std::u16string_view, 3> kKeptTopNames{kVelkoraFolderName, u".velkora-lock",
                                                           kEarlierIconFolderName};

// Whether name is one of kKeptTopNames, compared as Windows compares names.
bool IsKeptTopName(std::u16string_view name) {
  return std::ranges::any_of(kKeptTopNames, [name](std::u16string_view kept) {
    return std::ranges::equal(name, kept,
                              [](char16_t a, char16_t b) { return UpperCase(a) == UpperCase(b); });
  });
}

bool HasLevel(std::int32_t depth) { return depth >= 1 && depth <= FolderPath::kLevels; }

}  // namespace

FolderPath::FolderPath(std::u16string_view target, char16_t separator, int componentUtf8Limit)
    : target_(target),
      separator_(separator),
      limit_(static_cast<std::size_t>(componentUtf8Limit)) {}

void FolderPath::Open(std::u16string& name, const BookmarkDates& dates) {
  if (depth_ < std::numeric_limits<std::int32_t>::max()) ++depth_;
  if (!HasLevel(depth_)) return;
  // The rules see the whole name (its end may be dropped); what is kept is bounded.
  std::u16string kept = FolderFileName(name);
  KeepNameBounded(kept);
  open_.push_back({std::move(kept), dates});
  changed_ = true;
}

void FolderPath::Close() {
  if (HasLevel(depth_)) {
    open_.pop_back();
    changed_ = true;
  }
  if (depth_ > std::numeric_limits<std::int32_t>::min()) --depth_;
}

std::u16string_view FolderPath::MadeName(std::size_t index) const {
  return index == top_ && !topName_.empty() ? std::u16string_view(topName_)
                                            : std::u16string_view(open_[index].name);
}

bool FolderPath::Update() {
  if (!changed_) return false;
  changed_ = false;
  // The first level made is the top of the target, below empty names that make none: a
  // name Velkora keeps there gets "_" in front, as a reserved name does.
  top_ = 0;
  while (top_ < open_.size() && open_[top_].name.empty()) ++top_;
  topName_.clear();
  if (top_ < open_.size() && IsKeptTopName(open_[top_].name)) topName_ = u'_' + open_[top_].name;
  // The length rules measure the folder names whole, before any cut for the file system:
  // that is the path Windows would have.
  measured_ = target_;
  for (std::size_t index = 0; index < open_.size(); ++index) {
    measured_ += separator_;
    measured_ += MadeName(index);
  }
  measured_ += separator_;
  chain_ = target_;
  levels_.clear();
  for (std::size_t index = 0; index < open_.size(); ++index) {
    chain_ += separator_;
    const std::size_t start = chain_.size();
    AppendFitting(chain_, MadeName(index), limit_, limit_ > 0);
    // An empty name puts its bookmarks into the enclosing folder: no level of its own.
    if (chain_.size() == start) continue;
    levels_.push_back({chain_.substr(start), chain_.size(), static_cast<std::int32_t>(index + 1)});
  }
  path_ = chain_ + separator_;
  windowsLength_ = WindowsPathLength(measured_, separator_);
  return true;
}

}  // namespace velkora
