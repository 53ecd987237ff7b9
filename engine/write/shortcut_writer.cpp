#include "engine/write/shortcut_writer.h"

#include <algorithm>
#include <array>

#include "engine/names/case_table.h"
#include "engine/names/windows_path_limit.h"
#include "engine/run/messages.h"
#include "engine/run/refusal_reasons.h"
#include "engine/text/surrogates.h"
#include "engine/text/text.h"
#include "engine/text/utf8.h"

namespace velkora {
namespace {

constexpr std::u16string_view kExtension = u".url";

// What Velkora keeps at the top of a target: the icon folder, and the file a run locks the
// target with on Windows. A bookmark folder there may not take one of their names.
constexpr std::array<std::u16string_view, 2> kKeptTopNames{kIconFolderName, u".velkora-lock"};

// Whether name is one of kKeptTopNames, compared as Windows compares names.
bool IsKeptTopName(std::u16string_view name) {
  return std::ranges::any_of(kKeptTopNames, [name](std::u16string_view kept) {
    return std::ranges::equal(name, kept,
                              [](char16_t a, char16_t b) { return UpperCase(a) == UpperCase(b); });
  });
}

std::u16string SuffixText(int suffix) {
  return suffix == 1 ? std::u16string() : u" (" + DecimalText(suffix) + u")";
}

// Appends name to path, cut to limit bytes of UTF-8 when limited; false when it was cut.
// Most names fit, and are appended without a copy of their own.
bool AppendFitting(std::u16string& path, std::u16string_view name, std::size_t limit,
                   bool limited) {
  // No unit takes more than three bytes in UTF-8: a short name fits unmeasured.
  if (!limited || name.size() * 3 <= limit || Utf8Length(name) <= limit) {
    path += name;
    return true;
  }
  path += CutToUtf8Bytes(name, limit);
  return false;
}

}  // namespace

ShortcutWriter::ShortcutWriter(ConversionState& state, const ConversionWindow& window,
                               const PlatformServices& platform, SequentialFiles& files)
    : state_(state),
      window_(window),
      platform_(platform),
      files_(files),
      written_(platform.paths.separator),
      icons_(platform.streams, platform.sha256, platform.codePage, platform.paths.separator) {}

ShortcutOutcome ShortcutWriter::WriteShortcut(const BookmarkRecord& bookmark,
                                              std::u16string_view name) {
  const std::u16string target = window_.TargetDirectory();
  // Bookmarks come folder by folder: what depends on the folder alone is worked out when
  // it changes.
  const std::int32_t levels = std::min(state_.depth, FolderNames::kLevels);
  if (!IsLearnedFolder(target, levels)) LearnFolder(target, levels);

  written_.Fold(name, base_);
  WrittenShortcuts::Stem& base = written_.Lookup(base_);
  const PickedName picked = PickName(name, base);
  const std::u16string& path = path_;
  // A shortcut Windows programs could not open is not written, nor are its folders made.
  if (picked.stem == nullptr) {
    return {IoResult::Failure(std::u16string(kPathTooLongForWindows)), path};
  }
  if (ShortcutOutcome made = OpenFolders(target); !made.result) return made;
  const FileTimes times =
      folderDates_ == nullptr ? FileTimes{} : TimesOfDates(bookmark.dates, runStart_);
  const PlacedIcon icon = bookmark.icon.empty()
                              ? PlacedIcon{}
                              : icons_.Place(bookmark.icon, *state_.fileSystem, *target_, target);
  // A failed icon is reported once, with whichever attempt at its shortcut comes last.
  const auto withIcon = [&icon](ShortcutOutcome outcome) {
    if (icon.firstFailure) {
      outcome.iconFailurePath = icon.path;
      outcome.iconFailureReason = icon.reason;
    }
    return outcome;
  };
  const bool placed = icon.kind == PlacedIcon::Kind::kPlaced;
  if (IoResult result = WriteFile(bookmark.url, placed ? icon.path : std::u16string_view(), times);
      !result) {
    if (result.nameTaken) {
      // The name stands for another file (its short name): it is taken, as a name written
      // in this run is, and the next free number is tried.
      picked.stem->written = true;
      return withIcon(WriteShortcut(bookmark, name));
    }
    if (keptFolders_) {
      // A folder held since an earlier shortcut may have been removed meanwhile: open and
      // make the chain afresh, as for a folder met for the first time, and try once more.
      open_.clear();
      return withIcon(WriteShortcut(bookmark, name));
    }
    return withIcon({result, path});
  }
  picked.stem->written = true;
  if (picked.numbered != nullptr) picked.numbered->NoteNumbered(picked.suffix);
  ShortcutOutcome written{IoResult::Success(), path};
  written.shortened = picked.shortened;
  written.nameStart = folder_.path.size();
  written.iconLeftOut = icon.kind == PlacedIcon::Kind::kLeftOut;
  return withIcon(std::move(written));
}

// Names are folded once: a key serves both to pick the name and to record it. A name is
// known by its stem, the name without ".url": the stem of a name that was not cut is the
// base with its suffix, and the first name of a base is the base itself. Each name a
// " (n)" follows remembers how far its numbers were taken, so that many titles that come
// to one name after the cut do not each try every number again.
ShortcutWriter::PickedName ShortcutWriter::PickName(std::u16string_view title,
                                                    WrittenShortcuts::Stem& base) {
  const auto limit = static_cast<std::size_t>(platform_.paths.componentUtf8Limit);
  for (int suffix = 1;;) {
    const std::u16string suffixText = SuffixText(suffix);
    // The title keeps what the path Windows opens leaves it once the folders, the suffix
    // and ".url" are counted.
    const std::size_t used = folder_.windowsLength + suffixText.size() + kExtension.size();
    const std::size_t kept =
        FittedTitleLength(title, used < kWindowsPathLimit ? kWindowsPathLimit - used : 0);
    path_.assign(folder_.path);
    if (kept == 0 && !title.empty()) {
      // Not one character fits: the path refused is the shortest the name could make.
      path_ += title.substr(0, StartsSurrogatePair(title, 0) ? 2 : 1);
      path_ += suffixText;
      path_ += kExtension;
      return {nullptr, nullptr, suffix, false};
    }
    const std::size_t reserved = Utf8Length(suffixText) + kExtension.size();
    const bool whole = AppendFitting(path_, title.substr(0, kept),
                                     limit > reserved ? limit - reserved : 0, limit > 0) &&
                       kept == title.size();
    const std::u16string_view stemText = std::u16string_view(path_).substr(folder_.path.size());
    WrittenShortcuts::Stem* numbered = nullptr;
    if (suffix != 1) {
      // The name before " (n)": the title, or its cut, which depends on n's digits.
      if (!whole) written_.Fold(stemText, prefix_);
      numbered = whole ? &base : &written_.Lookup(prefix_);
      if (numbered->KnowsNumbered(suffix)) {
        suffix = numbered->numberedUpTo + 1;
        continue;
      }
      written_.FoldWithEnding(whole ? base_ : prefix_, suffixText, key_);
    } else if (!whole) {
      written_.Fold(stemText, key_);
    }
    WrittenShortcuts::Stem* stem = suffix == 1 && whole ? &base : &written_.Lookup(key_);
    path_ += suffixText;
    path_ += kExtension;
    if (!stem->written) return {stem, numbered, suffix, !whole};
    if (numbered != nullptr) numbered->NoteNumbered(suffix);
    ++suffix;
  }
}

bool ShortcutWriter::IsLearnedFolder(std::u16string_view target, std::int32_t levels) const {
  // std::ranges::equal compares the units with memcmp; == compares them one by one, and
  // every bookmark asks this.
  if (!std::ranges::equal(target, std::u16string_view(folder_.target)) ||
      folder_.names.size() != static_cast<std::size_t>(std::max(levels, 0))) {
    return false;
  }
  for (std::int32_t level = 1; level <= levels; ++level) {
    if (!std::ranges::equal(state_.folderNames[level],
                            folder_.names[static_cast<std::size_t>(level - 1)])) {
      return false;
    }
  }
  return true;
}

void ShortcutWriter::LearnFolder(const std::u16string& target, std::int32_t levels) {
  const char16_t separator = platform_.paths.separator;
  const auto limit = static_cast<std::size_t>(platform_.paths.componentUtf8Limit);
  folder_.target = target;
  folder_.names.clear();
  for (std::int32_t level = 1; level <= levels; ++level) {
    folder_.names.push_back(state_.folderNames[level]);
  }
  // The first level made is the top of the target, below empty names that make none: a
  // name Velkora keeps there gets "_" in front, as a reserved name does.
  std::size_t top = 0;
  while (top < folder_.names.size() && folder_.names[top].empty()) ++top;
  std::u16string topName;
  if (top < folder_.names.size() && IsKeptTopName(folder_.names[top])) {
    topName = u'_' + folder_.names[top];
  }
  const auto madeName = [&](std::size_t index) -> std::u16string_view {
    return index == top && !topName.empty() ? topName : folder_.names[index];
  };
  // The length rules measure the folder names whole, before any cut for the file system:
  // that is the path Windows would have.
  folder_.measured = target;
  for (std::size_t index = 0; index < folder_.names.size(); ++index) {
    folder_.measured += separator;
    folder_.measured += madeName(index);
  }
  folder_.measured += separator;
  folder_.chain = target;
  folder_.levels.clear();
  folder_.ends.clear();
  folder_.depths.clear();
  for (std::int32_t level = 1; level <= levels; ++level) {
    folder_.chain += separator;
    const std::size_t start = folder_.chain.size();
    AppendFitting(folder_.chain, madeName(static_cast<std::size_t>(level - 1)), limit, limit > 0);
    // An empty name puts its bookmarks into the enclosing folder: no level of its own.
    if (folder_.chain.size() == start) continue;
    folder_.levels.push_back(folder_.chain.substr(start));
    folder_.ends.push_back(folder_.chain.size());
    folder_.depths.push_back(level);
  }
  folder_.path = folder_.chain + separator;
  folder_.windowsLength = WindowsPathLength(folder_.measured, separator);
  written_.EnterFolder(folder_.path);
}

ShortcutOutcome ShortcutWriter::OpenFolders(const std::u16string& target) {
  if (!state_.fileSystem) state_.fileSystem = platform_.createFileSystem();
  FileSystemObject& fileSystem = *state_.fileSystem;
  // A run holds and locks its target from its start; a writer used outside one opens it.
  if (!target_ && !state_.target.Holds(target)) {
    state_.target = {};
    if (IoResult result = fileSystem.OpenTarget(target, state_.target.folder); !result) {
      // Said of the first folder that could not be made in it, or of the shortcut.
      return {result, folder_.ends.empty() ? path_ : folder_.chain.substr(0, folder_.ends[0])};
    }
    state_.target.path = target;
  }
  if (!target_) target_ = state_.target.folder.get();
  // Bookmarks come folder by folder: most levels are held already for the bookmark before.
  const std::vector<std::u16string>& levels = folder_.levels;
  std::size_t kept = 0;
  while (kept < open_.size() && kept < levels.size() &&
         std::ranges::equal(open_[kept].name, levels[kept])) {
    ++kept;
  }
  LeaveFolders(kept);
  keptFolders_ = kept > 0;
  for (std::size_t level = kept; level < levels.size(); ++level) {
    const FolderHandle& parent = level == 0 ? *target_ : *open_[level - 1].handle;
    std::unique_ptr<FolderHandle> handle;
    std::u16string path = folder_.chain.substr(0, folder_.ends[level]);
    if (IoResult result = fileSystem.OpenOrMakeFolder(parent, levels[level], handle); !result) {
      return {result, std::move(path)};
    }
    open_.push_back({levels[level], std::move(handle), std::move(path), {}});
  }
  if (folderDates_ != nullptr) {
    for (std::size_t level = 0; level < open_.size(); ++level) {
      const auto depth = static_cast<std::size_t>(folder_.depths[level] - 1);
      open_[level].times = TimesOfDates((*folderDates_)[depth], runStart_);
    }
  }
  return {};
}

void ShortcutWriter::LeaveFolders(std::size_t kept) {
  // Innermost first: setting a folder's times changes nothing of the folder it lies in.
  while (open_.size() > kept) {
    OpenFolder& folder = open_.back();
    if (!folder.times.Empty()) {
      const IoResult result = state_.fileSystem->SetFolderTimes(*folder.handle, folder.times);
      if (!result && observer_ != nullptr) observer_->TimesNotSet(folder.path, result.reason);
    }
    open_.pop_back();
  }
}

void ShortcutWriter::KeepDates(const FolderDates& folders, std::int64_t runStart,
                               ConversionObserver* observer) {
  folderDates_ = &folders;
  runStart_ = runStart;
  observer_ = observer;
}

void ShortcutWriter::Finish() { LeaveFolders(0); }

IoResult ShortcutWriter::WriteFile(std::u16string_view url, std::u16string_view iconPath,
                                   const FileTimes& times) {
  state_.outputFile = files_.FreeFile();
  const FolderHandle& folder = open_.empty() ? *target_ : *open_.back().handle;
  const std::u16string_view name = std::u16string_view(path_).substr(folder_.path.size());
  IoResult result = files_.OpenForOutputIn(folder, name, state_.outputFile);
  if (!result) return result;
  std::u16string& text = shortcutText_;
  text.assign(u"[InternetShortcut]\r\nURL=");
  text += url;
  text += u"\r\n";
  if (!iconPath.empty()) {
    // The path is known to be spelt in the code page: it is never percent-encoded.
    text += u"IconFile=";
    text += iconPath;
    text += u"\r\nIconIndex=0\r\n";
  }
  result = files_.PrintLine(state_.outputFile, text, Unencodable::kPercentUtf8);
  // Closing moves the whole file into place; after a failed print it removes the
  // temporary file instead, and the old shortcut stays.
  IoResult timesSet;
  IoResult closed = files_.Close(state_.outputFile, times, &timesSet);
  if (closed && !timesSet && observer_ != nullptr) observer_->TimesNotSet(path_, timesSet.reason);
  return result ? closed : result;
}

}  // namespace velkora
