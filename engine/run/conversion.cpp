#include "engine/run/conversion.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>

#include "engine/names/file_name_rules.h"
#include "engine/run/messages.h"
#include "engine/run/refusal_reasons.h"
#include "engine/sources/bookmark_counter.h"
#include "engine/sources/bookmark_queue.h"
#include "engine/sources/browser_source.h"
#include "engine/sources/file_content.h"
#include "engine/sources/html/line_decoder.h"
#include "engine/sources/html/netscape_grammar.h"
#include "engine/sources/html/pomerek_grammar.h"
#include "engine/write/shortcut_writer.h"
#include "engine/write/url_text.h"

namespace velkora {
namespace {

void Increment(std::int32_t& value) {
  if (value < std::numeric_limits<std::int32_t>::max()) ++value;
}

// Reads every line of the open file as bytes, handing each to examine with its 1-based
// number and whether it was too long to be read (it is then empty).
template <typename Examine>
IoResult ForEachLine(SequentialFiles& files, std::int32_t fileNumber, Examine examine) {
  std::int32_t lineNumber = 0;
  for (;;) {
    std::string_view bytes;
    bool gotLine = false;
    bool tooLong = false;
    IoResult result = files.ReadLineBytes(fileNumber, bytes, gotLine, tooLong);
    if (!result || !gotLine) return result;
    Increment(lineNumber);
    examine(bytes, lineNumber, tooLong);
  }
}

}  // namespace

BookmarkConverter::BookmarkConverter(ConversionState& state, ConversionWindow& window,
                                     const PlatformServices& platform, ConversionObserver* observer)
    : state_(state),
      window_(window),
      platform_(platform),
      observer_(observer),
      files_(platform.streams, platform.codePage) {}

ConversionReport BookmarkConverter::ConvertBookmarks() {
  report_ = {};
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
  if (IoResult result = CountEntries(); !result) {
    return Fail(ConversionReport::Outcome::kCannotRead, CannotReadMessage(path, result.reason));
  }
  if (!nonTextReason_.empty()) {
    return Fail(ConversionReport::Outcome::kNotText, NotBookmarkFileMessage(path, nonTextReason_));
  }
  window_.SetProgressMaximum(static_cast<float>(state_.entryCount));
  window_.SetProgressValue(0.0f);
  ShortcutWriter writer(state_.target, *state_.fileSystem, platform_);
  // Dates later than the clock says (and a day's grace) were not written by a browser.
  const auto runStart = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
  writer.KeepDates(runStart, observer_);
  const IoResult converted = ConvertEntries(writer);
  writer.Finish();
  if (IoResult result = converted; !result) {
    return Fail(ConversionReport::Outcome::kCannotRead,
                CannotReadMessage(window_.PathText(), result.reason));
  }
  report_.changedDuringRun = recounted_ != state_.entryCount || stampChanged_;
  report_.otherFormatBookmarks = otherFormatEntries_;
  window_.ShowMessage(CompletionMessage(report_), CompletionIcon(report_));
  return report_;
}

ConversionReport BookmarkConverter::Fail(ConversionReport::Outcome outcome,
                                         std::u16string_view message, MessageIcon icon) {
  report_.outcome = outcome;
  window_.ShowMessage(message, icon);
  return report_;
}

// The reading that counts also decides the encoding, which the start of a file nearly
// always tells, and whether lines must be searched for "<LI>": a file whose start has none
// is nearly always a browser export, whose lines are not searched. A file whose whole says
// otherwise than its start is counted once more, as its whole says. A file whose start
// shows it is not text is not counted: nothing of it is read as bookmarks.
IoResult BookmarkConverter::CountEntries() {
  browserSource_.reset();
  nonTextReason_ = {};
  state_.inputFile = files_.FreeFile();
  state_.entryCount = 0;
  TextEncoding counted = TextEncoding::kAnsiCodePage;
  IoResult result = files_.OpenForInputDetecting(window_.PathText(), state_.inputFile, counted);
  if (!result) return result;
  const std::string_view start = files_.StartOfFile(state_.inputFile);
  if (const SourceKind kind = SourceKindOf(start); kind != SourceKind::kText) {
    files_.Close(state_.inputFile);
    return CountBrowserSource(kind);
  }
  nonTextReason_ = NonTextReason(start);
  if (!nonTextReason_.empty()) {
    files_.Close(state_.inputFile);
    return result;
  }
  CheckStamp(true);
  const bool searchItems = files_.MayHoldItems(state_.inputFile);
  result = CountOpenFile(counted, searchItems);
  if (result) result = files_.DetectedEncoding(state_.inputFile, encoding_);
  const bool missedItems = !searchItems && files_.MayHoldItems(state_.inputFile);
  files_.Close(state_.inputFile);
  if (!result || (encoding_ == counted && !missedItems)) return result;
  result = files_.OpenForInput(window_.PathText(), state_.inputFile, encoding_);
  if (!result) return result;
  CheckStamp();
  result = CountOpenFile(encoding_, true);
  files_.Close(state_.inputFile);
  return result;
}

// One reading decides the format and counts the bookmarks of both. The first marker
// decides: a line holding "<LI>" makes the file a Pomerek file, a "<DT>" tag before any
// such line a Netscape bookmark file. The bookmarks the other format's grammar finds are
// counted as not read: in a Pomerek file, those of the lines without "<LI>" (the lines it
// reads no bookmark from); in an export, those of the "<LI>" lines with an anchor on which
// the export's grammar found no bookmark of its own.
IoResult BookmarkConverter::CountOpenFile(TextEncoding encoding, bool findItems) {
  state_.entryCount = 0;
  otherFormatEntries_ = 0;
  const LineDecoder decoder(encoding, platform_.codePage);
  BookmarkCounter pomerekItems;
  PomerekGrammar pomerek(pomerekItems, decoder, GrammarMode::kCount);
  BookmarkCounter netscapeItems;
  NetscapeGrammar netscape(netscapeItems, decoder, GrammarMode::kCount);
  std::int32_t tooLongLines = 0;
  Format format = Format::kNone;
  const auto count = [&](std::string_view bytes, std::int32_t lineNumber, bool tooLong) {
    if (tooLong) Increment(tooLongLines);
    const bool item = findItems && decoder.Holds(bytes, "<LI>");
    if (item && format == Format::kNone) format = Format::kPomerek;
    if (item && format == Format::kPomerek) {
      pomerek.Feed(bytes, lineNumber);
      return;
    }
    const std::int32_t before = netscapeItems.count;
    netscape.Feed(bytes, lineNumber);
    if (format == Format::kNone && netscape.SawTermTag()) format = Format::kNetscape;
    // An item line of an export with an anchor: a bookmark of the other format unless the
    // export's own grammar found one on it. A literal "<LI>" in a description is none.
    if (item && netscapeItems.count == before && decoder.Holds(bytes, "</A>")) {
      pomerek.Feed(bytes, lineNumber);
    }
  };
  IoResult result = ForEachLine(files_, state_.inputFile, count);
  if (!result) return result;
  netscape.Finish();
  format_ = format;
  std::int32_t items = 0;
  if (format_ == Format::kPomerek) {
    items = pomerekItems.count;
    otherFormatEntries_ = netscapeItems.count;
  } else if (format_ == Format::kNetscape) {
    items = netscapeItems.count;
    otherFormatEntries_ = pomerekItems.count;
  }
  state_.entryCount = static_cast<std::int32_t>(std::min<std::int64_t>(
      std::int64_t{items} + tooLongLines, std::numeric_limits<std::int32_t>::max()));
  return result;
}

// A browser's own store is read by its source, which tells a file changed between its
// two readings itself.
IoResult BookmarkConverter::CountBrowserSource(SourceKind kind) {
  browserSource_ = BrowserSource(kind, window_.PathText(), platform_.streams, platform_.snapshots);
  SourceCount count;
  const IoResult result = browserSource_->Count(count);
  state_.entryCount = count.bookmarks;
  return result;
}

IoResult BookmarkConverter::ConvertEntries(ShortcutWriter& writer) {
  if (browserSource_) {
    writer_ = &writer;
    recounted_ = 0;
    const IoResult result = browserSource_->Read(*this);
    writer_ = nullptr;
    return result;
  }
  state_.inputFile = files_.FreeFile();
  IoResult result = files_.OpenForInput(window_.PathText(), state_.inputFile, encoding_);
  if (!result) return result;
  // Another file in its place, or the same one written since, may hold as many bookmarks:
  // the count alone would not tell.
  CheckStamp();
  writer_ = &writer;
  recounted_ = 0;
  // Lines are read and taken apart some at a time, and their shortcuts written after: each
  // kind of work then runs many times in a row with its code and data at hand.
  BookmarkQueue queue;
  const LineDecoder decoder(encoding_, platform_.codePage);
  PomerekGrammar pomerek(queue, decoder, GrammarMode::kRead);
  NetscapeGrammar netscape(queue, decoder, GrammarMode::kRead);
  BookmarkGrammar* grammar = format_ == Format::kPomerek ? static_cast<BookmarkGrammar*>(&pomerek)
                             : format_ == Format::kNetscape ? &netscape
                                                            : nullptr;
  result = ForEachLine(files_, state_.inputFile,
                       [&](std::string_view bytes, std::int32_t lineNumber, bool tooLong) {
                         if (tooLong) queue.MalformedBookmark(lineNumber, kLineTooLong);
                         if (grammar != nullptr) grammar->Feed(bytes, lineNumber);
                         if (queue.Full()) queue.HandOn(*this);
                       });
  if (result && grammar != nullptr) grammar->Finish();
  // Written while this pass read it.
  if (result) CheckStamp();
  // The file stays open until the last shortcut is written: no shortcut may replace it.
  queue.HandOn(*this);
  files_.Close(state_.inputFile);
  writer_ = nullptr;
  return result;
}

void BookmarkConverter::CheckStamp(bool first) {
  FileStamp stamp;
  const bool taken = static_cast<bool>(files_.Stamp(state_.inputFile, stamp));
  if (first) {
    countedStamp_ = stamp;
    stampChanged_ = !taken;
  } else if (!taken || stamp != countedStamp_) {
    stampChanged_ = true;
  }
}

void BookmarkConverter::OpenFolder(std::u16string& name, const BookmarkDates& dates) {
  writer_->OpenFolder(name, dates);
}

void BookmarkConverter::CloseFolder() { writer_->CloseFolder(); }

void BookmarkConverter::CountBookmark() {
  Increment(recounted_);
  window_.SetProgressValue(window_.ProgressValue() + 1.0f);
  Increment(report_.bookmarkLines);
}

void BookmarkConverter::Bookmark(const BookmarkRecord& read) {
  // A shortcut without a URL opens nothing: Windows refuses to load it.
  if (IsBlankUrl(read.url)) {
    Unreadable(read, kEmptyUrl);
    return;
  }
  BookmarkRecord bookmark = read;
  bookmark.url = UrlForShortcut(read.url, url_);
  CountBookmark();
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
  CountBookmark();
  if (report_.malformedLines++ == 0) report_.firstMalformedLine = bookmark.lineNumber;
  if (observer_) observer_->LineUnreadable(bookmark, reason);
}

void BookmarkConverter::SkippedQuery() {
  CountBookmark();
  Increment(report_.skippedQueries);
}

void BookmarkConverter::ItemWithoutBookmark() { Increment(recounted_); }

}  // namespace velkora
