#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/interfaces/conversion_window.h"
#include "engine/interfaces/platform_services.h"
#include "engine/interfaces/sha256.h"
#include "engine/record/recorded_target.h"
#include "engine/run/conversion_observer.h"
#include "engine/run/conversion_report.h"
#include "engine/run/conversion_state.h"
#include "engine/sources/bookmark_events.h"
#include "engine/sources/bookmark_source.h"

namespace velkora {

class ShortcutWriter;

// The conversion run behind the Convert button. It chooses the source of the bookmark
// file named in the path box by the file's content, counts it, and reads it: its events
// become folders and one Internet Shortcut per bookmark below the directory list's
// current path.
class BookmarkConverter : private BookmarkEvents {
 public:
  // observer, when given, hears of every shortcut written or failed and every bookmark
  // that could not be read, as the run goes.
  BookmarkConverter(ConversionState& state, ConversionWindow& window,
                    const PlatformServices& platform, ConversionObserver* observer = nullptr);

  // Runs a whole conversion and reports its end in a message, unless the window asked it
  // to stop. The target is held and locked from the start to the end: the one in the state
  // when it was held for this target, else the run holds it itself, or refuses to run.
  ConversionReport ConvertBookmarks();

 private:
  // Counts the bookmarks of source into entryCount.
  IoResult CountEntries(BookmarkSource& source);
  // Reads source into writer, and lets the folders still held have their times.
  IoResult ConvertEntries(BookmarkSource& source, ShortcutWriter& writer);
  // Reads source into the target as the record says, then settles the record's entries
  // the run did not meet, unless it stopped first or the source could not be read whole;
  // dryRun: only tells what it would do.
  IoResult RunPass(BookmarkSource& source, RecordedTarget& record, bool dryRun);
  // Reads the target's record into record, after the stamp of the file at path (the
  // source, or the copy of standard input): a record made by a whole run from the very
  // same file is read no further than InStep needs.
  void ReadRecord(RecordedTarget& record, std::u16string_view path, std::u16string_view targetPath);
  // Whether a record of header and text says that the target holds what a whole run made
  // of this source, and its entries all stand as recorded; the count is then the record's.
  bool InStep(const TargetRecord& header, std::string_view text, std::u16string_view path,
              std::u16string_view targetPath);
  // The digest of the source at path, taken when first asked for (a record without one,
  // and a run with something to tell, never need it), of the file as stamped before the
  // run read it; none once it changed.
  const std::optional<Sha256::Digest>& DigestOfSource(std::u16string_view path,
                                                      std::u16string_view targetPath);
  // A target found in step: nothing to do, every bookmark counts as unchanged.
  bool AlreadyInStep(const RecordedTarget& record);
  // What the source's count and reading say of the run: whether the source changed, and
  // the bookmarks of another format it held.
  void NoteWhatTheSourceSaid(const BookmarkSource& source, ConversionReport& report) const;
  // Whether the pass that ended with result made exactly what the record will list, with
  // nothing to tell, from the source as stamped before it: the record may give its digest.
  bool MadeWhole(const IoResult& result, const BookmarkSource& source, std::u16string_view path,
                 std::u16string_view targetPath);
  // A record made from another bookmark file: told, and with removal asked for, accepted
  // only as the options or the user say. False when the run is refused.
  bool AgreeOnSource(const RecordedTarget& record, const RecordSource& source);
  // With a preview asked for: a dry pass, then the window's confirmation. False when the
  // run ends here (cancelled, stopped or the file unreadable: report_ says which).
  bool Previewed(BookmarkSource& source, const RecordedTarget& record);
  // The end message: what a first run said, then what became of the record's entries.
  std::u16string EndMessage() const;
  ConversionReport Fail(ConversionReport::Outcome outcome, std::u16string_view message,
                        MessageIcon icon = MessageIcon::kNone);

  // The events of the writing pass.
  void OpenFolder(std::u16string& name, const BookmarkDates& dates) override;
  void CloseFolder() override;
  void Bookmark(const BookmarkRecord& read) override;
  void MalformedBookmark(std::int32_t lineNumber, std::u16string_view reason) override;
  void UnreadBookmark(const BookmarkRecord& bookmark, std::u16string_view reason) override {
    Unreadable(bookmark, reason);
  }
  void SkippedQuery() override;
  void ItemWithoutBookmark() override;
  bool StopRequested() const override { return window_.StopRequested(); }
  // A bookmark that could not be read, for reason; bookmark holds what was read of it.
  void Unreadable(const BookmarkRecord& bookmark, std::u16string_view reason);
  // One more bookmark met: the report, the progress, and the count that tells a source
  // changed since it was counted. False when the run stops here, as the window asked.
  bool CountBookmark();

  ConversionState& state_;
  ConversionWindow& window_;
  const PlatformServices& platform_;
  ConversionObserver* observer_;
  ConversionReport report_;
  RunOptions options_;
  // The writer of the writing pass, which follows the folders its events open and close.
  ShortcutWriter* writer_ = nullptr;
  // A shortcut's name, and a URL whose control characters are encoded; kept, so that
  // their memory serves every bookmark.
  std::u16string name_;
  std::u16string url_;
  // The bookmarks the writing pass has met, counted as the counting pass counts them.
  std::int32_t recounted_ = 0;
  // The bookmarks the counting pass found in a form the source is not read as.
  std::int32_t otherFormatEntries_ = 0;
  // The window asked the run to stop: no event after it is written.
  bool stopped_ = false;
  // What the record names as this run's source; for an HTML file its stamp before the run
  // read it, and its digest once taken.
  RecordSource recordSource_;
  std::optional<FileStamp> sourceStamp_;
  std::optional<Sha256::Digest> sourceDigest_;
  bool digestTaken_ = false;
  // The last pass found the target in step, without reading the source.
  bool foundInStep_ = false;
  // The last writing pass told of something beyond shortcuts written, or met an icon.
  bool noticed_ = false;
  bool metIcon_ = false;
};

}  // namespace velkora
