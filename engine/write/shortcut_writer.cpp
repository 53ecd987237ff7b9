#include "engine/write/shortcut_writer.h"

#include <optional>

#include "engine/run/refusal_reasons.h"
#include "engine/text/ascii.h"

namespace velkora {

ShortcutWriter::ShortcutWriter(const HeldTarget& target, FileSystemObject& fileSystem,
                               const PlatformServices& platform)
    : target_(target),
      fileSystem_(fileSystem),
      path_(target.path, platform.paths.separator, platform.paths.componentUtf8Limit),
      names_(platform.paths.separator, platform.paths.componentUtf8Limit),
      folders_(fileSystem, *target.folder),
      icons_(platform.streams, platform.sha256, platform.codePage, platform.paths.separator),
      file_(platform.streams, platform.codePage),
      sha256_(platform.sha256),
      separator_(platform.paths.separator) {}

ShortcutWriter::~ShortcutWriter() = default;

void ShortcutWriter::OpenFolder(std::u16string& name, const BookmarkDates& dates) {
  if (steps_ != nullptr) {
    // A heading longer than any a browser writes tells its folder apart by its start: the
    // identity of each of its bookmarks stays small.
    constexpr std::size_t kHeadingUnits = 1024;
    headingStarts_.push_back(headings_.size());
    if (headingStarts_.size() <= FolderPath::kLevels) {
      headings_ += std::u16string_view(name).substr(0, kHeadingUnits);
      headings_ += kIdentitySeparator;
    }
  }
  path_.Open(name, dates);
  foldersNoted_ = false;
}

void ShortcutWriter::CloseFolder() {
  if (path_.Depth() >= 1) folders_.LetGoFrom(path_.Depth());
  path_.Close();
  foldersNoted_ = false;
  if (!headingStarts_.empty()) {
    headings_.resize(headingStarts_.back());
    headingStarts_.pop_back();
  }
}

void ShortcutWriter::KeepInStep(RecordedShortcuts& steps) {
  steps_ = &steps;
  if (steps.DryRun()) {
    folders_.OnlyOpen();
    icons_.OnlyName();
  }
}

void ShortcutWriter::MakeIdentity(const BookmarkRecord& bookmark) {
  RecordPathOf(names_.Path(), target_.path.size(), separator_, relative_);
  if (!bookmark.guid.empty()) {
    identity_.assign(bookmark.guid);
    return;
  }
  // The UTF-16 units of the headings, title and URL, little end first.
  const std::u16string_view parts[] = {headings_, bookmark.title,
                                       std::u16string_view(&kIdentitySeparator, 1), bookmark.url};
  std::size_t units = 0;
  for (const std::u16string_view part : parts) units += part.size();
  identityBytes_.resize(2 * units);
  char* next = identityBytes_.data();
  for (const std::u16string_view part : parts) {
    for (const char16_t unit : part) {
      *next++ = static_cast<char>(unit & 0xFF);
      *next++ = static_cast<char>(unit >> 8);
    }
  }
  // Without its digest a bookmark has no identity, and is never followed.
  identity_.clear();
  Sha256::Digest digest{};
  if (!sha256_.Hash(identityBytes_, digest)) return;
  AppendLowerHex(std::span(digest).first(kHtmlIdentityBytes), identity_);
}

void ShortcutWriter::NoteFolders() {
  if (foldersNoted_ || steps_ == nullptr) return;
  foldersNoted_ = true;
  for (const FolderPath::Level& level : path_.Levels()) {
    RecordPathOf(std::u16string_view(path_.Chain()).substr(0, level.end), target_.path.size(),
                 separator_, relative_);
    steps_->FolderMet(relative_);
  }
}

IoResult ShortcutWriter::WriteFile(const BookmarkRecord& bookmark, std::u16string_view path,
                                   std::string_view bytes, const FileTimes& times) {
  const std::u16string_view name = path.substr(names_.NameStart());
  const FolderHandle* folder = folders_.Standing();
  RecordedShortcuts::Step step;
  if (steps_ != nullptr) {
    NoteFolders();
    MakeIdentity(bookmark);
    step = steps_->Decide(folder, name, relative_, identity_, bytes, times);
    if (!step.write) return IoResult::Success();
  }
  std::optional<FileStamp> stamp;
  if (steps_ == nullptr || !steps_->DryRun()) {
    IoResult timesSet;
    if (IoResult written = file_.Write(*folder, name, times, timesSet, stamp); !written) {
      if (steps_ != nullptr) steps_->NotWritten(relative_);
      return written;
    }
    if (!timesSet && observer_ != nullptr) observer_->TimesNotSet(path, timesSet.reason);
  }
  if (steps_ != nullptr) {
    steps_->Written(step, folder, name, relative_, identity_, bytes.size(), times, stamp);
  }
  return IoResult::Success();
}

void ShortcutWriter::KeepDates(std::int64_t runStart, ConversionObserver* observer) {
  keepDates_ = true;
  runStart_ = runStart;
  observer_ = observer;
  folders_.KeepDates(runStart, observer);
}

ShortcutOutcome ShortcutWriter::WriteShortcut(const BookmarkRecord& bookmark,
                                              std::u16string_view name) {
  // Bookmarks come folder by folder: what depends on the folder alone is worked out when
  // a folder opened or closed since the bookmark before.
  if (path_.Update()) names_.EnterFolder(path_.Path(), path_.WindowsLength());
  const ShortcutNamePicker::Picked picked = names_.Pick(name);
  const std::u16string& path = names_.Path();
  // A shortcut Windows programs could not open is not written, nor are its folders made.
  if (picked.stem == nullptr) {
    return {IoResult::Failure(std::u16string(kPathTooLongForWindows)), path};
  }
  std::u16string failedFolder;
  if (IoResult held = folders_.Hold(path_, failedFolder); !held) return {held, failedFolder};
  const FileTimes times = keepDates_ ? TimesOfDates(bookmark.dates, runStart_) : FileTimes{};
  const PlacedIcon icon = bookmark.icon.empty() ? PlacedIcon{}
                                                : icons_.Place(bookmark.icon, fileSystem_,
                                                               *target_.folder, target_.path);
  // A failed icon is reported once, with whichever attempt at its shortcut comes last.
  const auto withIcon = [&icon](ShortcutOutcome outcome) {
    if (icon.firstFailure) {
      outcome.iconFailurePath = icon.path;
      outcome.iconFailureReason = icon.reason;
    }
    return outcome;
  };
  const bool placed = icon.kind == PlacedIcon::Kind::kPlaced;
  const std::string_view bytes =
      file_.Make(bookmark.url, placed ? icon.path : std::u16string_view());
  const IoResult result = WriteFile(bookmark, path, bytes, times);
  if (!result) {
    if (result.nameTaken) {
      // The name stands for another file (its short name): the next free number is tried.
      ShortcutNamePicker::NoteTaken(picked);
      return withIcon(WriteShortcut(bookmark, name));
    }
    if (folders_.KeptFolders()) {
      // A folder held since an earlier shortcut may have been removed meanwhile: open and
      // make the path afresh, as for a folder met for the first time, and try once more.
      folders_.Drop();
      return withIcon(WriteShortcut(bookmark, name));
    }
    return withIcon({result, path});
  }
  ShortcutNamePicker::NoteWritten(picked);
  ShortcutOutcome written{IoResult::Success(), path};
  written.shortened = picked.shortened;
  written.nameStart = names_.NameStart();
  written.iconLeftOut = icon.kind == PlacedIcon::Kind::kLeftOut;
  return withIcon(std::move(written));
}

}  // namespace velkora
