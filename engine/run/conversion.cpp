#include "engine/run/conversion.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <memory>
#include <utility>

#include "engine/names/file_name_rules.h"
#include "engine/run/change_messages.h"
#include "engine/run/messages.h"
#include "engine/run/notice_watch.h"
#include "engine/run/refusal_reasons.h"
#include "engine/run/source_digest.h"
#include "engine/sources/read_ahead.h"
#include "engine/sources/source_choice.h"
#include "engine/write/gone_entries.h"
#include "engine/write/recorded_shortcuts.h"
#include "engine/write/shortcut_writer.h"
#include "engine/write/standing_entries.h"
#include "engine/write/url_text.h"

namespace velkora {
namespace {

void Increment(std::int32_t& value) {
  if (value < std::numeric_limits<std::int32_t>::max()) ++value;
}

constexpr std::u16string_view kReplaceRecordQuestion =
    u"記録を置き換えて、消えたブックマークのショートカットを削除しますか?";
constexpr std::u16string_view kRecordNotWritten = u"出力先の記録を書き込めませんでした: ";

RecordSourceKind RecordKindOf(SourceKind kind) {
  switch (kind) {
    case SourceKind::kChromiumBookmarks:
      return RecordSourceKind::kChromium;
    case SourceKind::kFirefoxPlaces:
      return RecordSourceKind::kFirefox;
    case SourceKind::kText:
      break;
  }
  return RecordSourceKind::kHtml;
}

// What a dry pass before a run tells: the first changes, for the preview.
class PreviewLines final : public ConversionObserver {
 public:
  std::vector<TargetChange> lines;

  void ShortcutWritten(std::u16string_view /*path*/) override {}
  void ShortcutShortened(const BookmarkRecord&, std::u16string_view) override {}
  void ShortcutFailed(const BookmarkRecord&, std::u16string_view, std::u16string_view) override {}
  void LineUnreadable(const BookmarkRecord&, std::u16string_view) override {}
  void TargetChanged(const TargetChange& change) override {
    if (lines.size() < kPreviewChangeLines) lines.push_back(change);
  }
};

}  // namespace

BookmarkConverter::BookmarkConverter(ConversionState& state, ConversionWindow& window,
                                     const PlatformServices& platform, ConversionObserver* observer)
    : state_(state), window_(window), platform_(platform), observer_(observer) {}

ConversionReport BookmarkConverter::ConvertBookmarks() {
  report_ = {};
  stopped_ = false;
  // The target is let go when the run ends, however it ends.
  struct TargetRelease {
    HeldTarget& target;
    ~TargetRelease() { target = {}; }
  } release{state_.target};
  const std::u16string path = window_.PathText();
  if (path.empty()) return Fail(ConversionReport::Outcome::kPathNotSet, kPathNotSetMessage);
  if (!state_.fileSystem) state_.fileSystem = platform_.createFileSystem();
  const std::u16string targetPath = window_.TargetDirectory();
  if (!state_.target.Holds(targetPath)) {
    if (IoResult held = state_.target.Hold(*state_.fileSystem, targetPath); !held) {
      return Fail(ConversionReport::Outcome::kTargetUnusable,
                  TargetUnusableMessage(targetPath, held.reason), MessageIcon::kWarning);
    }
  }
  options_ = window_.Options();
  state_.entryCount = 0;
  std::unique_ptr<BookmarkSource> source;
  std::u16string_view nonTextReason;
  SourceKind kind = SourceKind::kText;
  IoResult result = ChooseSource(path, platform_, source, nonTextReason, kind);
  if (result && !source) {
    return Fail(ConversionReport::Outcome::kNotText, NotBookmarkFileMessage(path, nonTextReason));
  }
  RecordedTarget record;
  if (result) {
    recordSource_ = {RecordKindOf(kind), window_.RecordedSourcePath()};
    ReadRecord(record, path, targetPath);
    // A target in step needs no count: its source is the one its record counted.
    if (!record.InStep()) result = CountEntries(*source);
  }
  if (!result) {
    return Fail(ConversionReport::Outcome::kCannotRead, CannotReadMessage(path, result.reason));
  }
  if (!AgreeOnSource(record, recordSource_)) return report_;
  if (options_.removeGone && options_.preview && !options_.dryRun && !Previewed(*source, record)) {
    if (report_.outcome != ConversionReport::Outcome::kCannotRead) return report_;
    return Fail(report_.outcome, CannotReadMessage(path, report_.firstFailureReason));
  }
  result = RunPass(*source, record, options_.dryRun);
  // Even a run that stopped or failed leaves a record of what it wrote.
  if (!options_.dryRun) {
    const bool whole = foundInStep_ || MadeWhole(result, *source, path, targetPath);
    if (IoResult saved = record.Save(*state_.fileSystem, platform_.streams, *state_.target.folder,
                                     recordSource_, whole ? sourceDigest_ : std::nullopt);
        !saved) {
      report_.recordProblem = std::u16string(kRecordNotWritten) + saved.reason;
    }
  }
  if (!result) {
    return Fail(ConversionReport::Outcome::kCannotRead, CannotReadMessage(path, result.reason));
  }
  if (stopped_) {
    report_.outcome = ConversionReport::Outcome::kStopped;
    return report_;
  }
  NoteWhatTheSourceSaid(*source, report_);
  window_.ShowMessage(EndMessage(), CompletionIcon(report_));
  return report_;
}

bool BookmarkConverter::AgreeOnSource(const RecordedTarget& record, const RecordSource& source) {
  if (!record.Exists() || record.IsSource(source)) return true;
  report_.otherSource = record.Source().path;
  if (!options_.removeGone || options_.replaceSource) return true;
  if (window_.Ask(OtherSourceMessage(report_.otherSource) + u"\n" +
                  std::u16string(kReplaceRecordQuestion))) {
    return true;
  }
  report_.outcome = ConversionReport::Outcome::kOtherSource;
  return false;
}

bool BookmarkConverter::Previewed(BookmarkSource& source, const RecordedTarget& record) {
  RecordedTarget trial = record;
  PreviewLines preview;
  ConversionObserver* const observer = observer_;
  observer_ = &preview;
  const ConversionReport before = report_;
  const IoResult result = RunPass(source, trial, true);
  observer_ = observer;
  const TargetChangePreview shown{report_.changes, std::move(preview.lines), report_.otherSource};
  report_ = before;
  if (!result) {
    report_.outcome = ConversionReport::Outcome::kCannotRead;
    report_.firstFailureReason = result.reason;
    return false;
  }
  if (stopped_) {
    report_.outcome = ConversionReport::Outcome::kStopped;
    return false;
  }
  if (window_.ConfirmChanges(shown)) return true;
  report_.outcome = ConversionReport::Outcome::kCancelled;
  return false;
}

IoResult BookmarkConverter::RunPass(BookmarkSource& source, RecordedTarget& record, bool dryRun) {
  foundInStep_ = AlreadyInStep(record);
  if (foundInStep_) return IoResult::Success();
  RunOptions options = options_;
  options.dryRun = dryRun;
  window_.SetProgressMaximum(state_.entryCount);
  window_.SetProgressValue(0);
  // What the pass tells is watched for anything the record's digest could not stand for.
  NoticeWatch watch(observer_);
  struct Watched {
    ConversionObserver*& observer;
    ConversionObserver* const watched;
    ~Watched() { observer = watched; }
  } watched{observer_, observer_};
  observer_ = &watch;
  metIcon_ = false;
  IoResult result;
  {
    ShortcutWriter writer(state_.target, *state_.fileSystem, platform_);
    RecordedShortcuts steps(*state_.fileSystem, platform_.sha256, *state_.target.folder, record,
                            options, observer_, report_.changes);
    writer.KeepInStep(steps);
    result = ConvertEntries(source, writer);
    // The folders the pass held are let go here: Windows removes no folder held open.
  }
  // Entries not met are gone only once the whole source was read.
  if (!result || stopped_) return result;
  GoneEntries gone(*state_.fileSystem, platform_.sha256, *state_.target.folder, record, observer_,
                   report_.changes);
  gone.Settle(options.removeGone, dryRun, [this] { return stopped_ = window_.StopRequested(); });
  noticed_ = watch.Noticed();
  return result;
}

void BookmarkConverter::ReadRecord(RecordedTarget& record, std::u16string_view path,
                                   std::u16string_view targetPath) {
  // An HTML file holds all that its shortcuts are made of; a browser's store does not (its
  // icons are in another database), and changes with every visit.
  sourceStamp_.reset();
  sourceDigest_.reset();
  digestTaken_ = false;
  if (recordSource_.kind == RecordSourceKind::kHtml) sourceStamp_ = StampOfFile(platform_, path);
  report_.recordProblem = record.Read(*state_.fileSystem, *state_.target.folder,
                                      [&](const TargetRecord& header, std::string_view text) {
                                        return InStep(header, text, path, targetPath);
                                      });
}

const std::optional<Sha256::Digest>& BookmarkConverter::DigestOfSource(
    std::u16string_view path, std::u16string_view targetPath) {
  if (!std::exchange(digestTaken_, true) && sourceStamp_) {
    FileStamp read;
    sourceDigest_ = SourceDigest(platform_, path, targetPath, read);
    if (read != *sourceStamp_) sourceDigest_.reset();
  }
  return sourceDigest_;
}

bool BookmarkConverter::InStep(const TargetRecord& header, std::string_view text,
                               std::u16string_view path, std::u16string_view targetPath) {
  if (!header.sourceDigest || header.source != recordSource_ ||
      DigestOfSource(path, targetPath) != header.sourceDigest) {
    return false;
  }
  // A whole run wrote one file for each bookmark it counted, and no bookmark of another
  // format was in its file.
  std::int32_t files = 0;
  if (!EntriesStandAsRecorded(*state_.fileSystem, *state_.target.folder, text, files)) {
    return false;
  }
  state_.entryCount = files;
  otherFormatEntries_ = 0;
  return true;
}

bool BookmarkConverter::AlreadyInStep(const RecordedTarget& record) {
  if (!record.InStep()) return false;
  window_.SetProgressMaximum(state_.entryCount);
  window_.SetProgressValue(state_.entryCount);
  report_.bookmarkLines = report_.written = report_.changes.unchanged = state_.entryCount;
  recounted_ = state_.entryCount;
  return true;
}

void BookmarkConverter::NoteWhatTheSourceSaid(const BookmarkSource& source,
                                              ConversionReport& report) const {
  report.changedDuringRun = recounted_ != state_.entryCount || source.ChangedSinceCounted();
  report.otherFormatBookmarks = otherFormatEntries_;
}

bool BookmarkConverter::MadeWhole(const IoResult& result, const BookmarkSource& source,
                                  std::u16string_view path, std::u16string_view targetPath) {
  // Every bookmark written, as a complete run's report would say...
  ConversionReport whole = report_;
  NoteWhatTheSourceSaid(source, whole);
  // ...and nothing else to tell, nothing left behind.
  if (!sourceStamp_ || !result || stopped_ || !whole.AllWritten() || noticed_ || metIcon_ ||
      whole.changes.kept != 0 || whole.changes.gone != 0 || whole.skippedQueries != 0 ||
      whole.shortenedNames != 0 || whole.iconlessShortcuts != 0) {
    return false;
  }
  // The file read is the one stamped before the run and digested: unchanged since, as the
  // source found it unchanged from its count to the end of its reading.
  return DigestOfSource(path, targetPath) && StampOfFile(platform_, path) == sourceStamp_;
}

std::u16string BookmarkConverter::EndMessage() const {
  std::u16string text =
      options_.dryRun ? TargetChangeCountsText(report_.changes) : CompletionMessage(report_);
  // A run that removes says what it changed, as its preview did.
  if (!options_.dryRun && options_.removeGone) {
    text += u"\n" + TargetChangeCountsText(report_.changes);
  }
  if (report_.changes.gone > 0) text += u"\n" + GoneShortcutsMessage(report_.changes.gone);
  if (!report_.otherSource.empty()) text += u"\n" + OtherSourceMessage(report_.otherSource);
  if (!report_.recordProblem.empty()) text += u"\n" + report_.recordProblem;
  return text;
}

ConversionReport BookmarkConverter::Fail(ConversionReport::Outcome outcome,
                                         std::u16string_view message, MessageIcon icon) {
  report_.outcome = outcome;
  window_.ShowMessage(message, icon);
  return report_;
}

IoResult BookmarkConverter::CountEntries(BookmarkSource& source) {
  SourceCount count;
  const IoResult result = source.Count(count);
  state_.entryCount = count.bookmarks;
  otherFormatEntries_ = count.otherFormatBookmarks;
  return result;
}

IoResult BookmarkConverter::ConvertEntries(BookmarkSource& source, ShortcutWriter& writer) {
  // Dates later than the clock says (and a day's grace) were not written by a browser.
  const auto runStart = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
  writer.KeepDates(runStart, observer_);
  writer_ = &writer;
  recounted_ = 0;
  stopped_ = false;
  const IoResult result = ReadAhead(source, *this);
  // A source that took the window's stop between two bookmarks ended early without a
  // bookmark to count it: the bookmarks it did not read are not gone.
  if (window_.StopRequested()) stopped_ = true;
  writer_ = nullptr;
  // A stopped run's folders get their times too.
  writer.Finish();
  return result;
}

void BookmarkConverter::OpenFolder(std::u16string& name, const BookmarkDates& dates) {
  if (!stopped_) writer_->OpenFolder(name, dates);
}

void BookmarkConverter::CloseFolder() {
  if (!stopped_) writer_->CloseFolder();
}

// The progress is the count of bookmarks met; the window may take the stop it asks for
// only while it is told the progress, between two shortcuts.
bool BookmarkConverter::CountBookmark() {
  if (stopped_) return false;
  Increment(recounted_);
  Increment(report_.bookmarkLines);
  window_.SetProgressValue(report_.bookmarkLines);
  stopped_ = window_.StopRequested();
  return !stopped_;
}

void BookmarkConverter::Bookmark(const BookmarkRecord& read) {
  // A shortcut without a URL opens nothing: Windows refuses to load it.
  if (IsBlankUrl(read.url)) {
    Unreadable(read, kEmptyUrl);
    return;
  }
  if (!CountBookmark()) return;
  if (!read.icon.empty() || read.iconTooLong) metIcon_ = true;
  BookmarkRecord bookmark = read;
  bookmark.url = UrlForShortcut(read.url, url_);
  name_.assign(bookmark.title);
  MakeShortcutFileName(name_, bookmark.url);
  KeepNameBounded(name_);
  const ShortcutOutcome outcome = writer_->WriteShortcut(bookmark, name_);
  if (!outcome.iconFailurePath.empty() && observer_) {
    observer_->IconFailed(outcome.iconFailurePath, outcome.iconFailureReason);
  } else if (!outcome.iconFailureReason.empty() && observer_) {
    observer_->IconNotTaken(bookmark, outcome.iconFailureReason);
  }
  if (outcome.result) {
    Increment(report_.written);
    if (outcome.iconLeftOut) Increment(report_.iconlessShortcuts);
    if (observer_) observer_->ShortcutWritten(outcome.path);
    if (outcome.shortened) {
      Increment(report_.shortenedNames);
      if (observer_) {
        observer_->ShortcutShortened(bookmark,
                                     std::u16string_view(outcome.path).substr(outcome.nameStart));
      }
    }
    return;
  }
  if (report_.failedShortcuts++ == 0) {
    report_.firstFailedLine = bookmark.lineNumber;
    report_.firstFailedTitle = bookmark.title;
    report_.firstFailedUrl = bookmark.url;
    report_.firstFailedPath = outcome.path;
    report_.firstFailureReason = outcome.result.reason;
  }
  if (observer_) observer_->ShortcutFailed(bookmark, outcome.path, outcome.result.reason);
}

void BookmarkConverter::MalformedBookmark(std::int32_t lineNumber, std::u16string_view reason) {
  BookmarkRecord bookmark;
  bookmark.lineNumber = lineNumber;
  Unreadable(bookmark, reason);
}

void BookmarkConverter::Unreadable(const BookmarkRecord& bookmark, std::u16string_view reason) {
  if (!CountBookmark()) return;
  if (report_.malformedLines++ == 0) report_.firstMalformedLine = bookmark.lineNumber;
  if (observer_) observer_->LineUnreadable(bookmark, reason);
}

void BookmarkConverter::SkippedQuery() {
  if (!CountBookmark()) return;
  Increment(report_.skippedQueries);
}

void BookmarkConverter::ItemWithoutBookmark() {
  if (!stopped_) Increment(recounted_);
}

}  // namespace velkora
