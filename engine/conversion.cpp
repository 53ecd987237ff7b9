#include "engine/conversion.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

#include "engine/bookmark_queue.h"
#include "engine/file_name_rules.h"
#include "engine/messages.h"
#include "engine/netscape_grammar.h"
#include "engine/refusal_reasons.h"
#include "engine/shortcut_writer.h"
#include "engine/text.h"

namespace velkora {
namespace {

constexpr std::u16string_view kList = u"<UL>";
constexpr std::u16string_view kListEnd = u"</UL>";
constexpr std::u16string_view kItem = u"<LI>";
constexpr std::string_view kItemBytes = "<LI>";
constexpr std::string_view kListBytes = "<UL>";
constexpr std::u16string_view kTitleEnd = u"</A>";
constexpr std::u16string_view kSchemeEnd = u"://";

void Increment(std::int32_t& value) {
  if (value < std::numeric_limits<std::int32_t>::max()) ++value;
}

void Decrement(std::int32_t& value) {
  if (value > std::numeric_limits<std::int32_t>::min()) --value;
}

// A line of the Pomerek file that the counting pass counts as a bookmark line, from where
// its "<LI>" and "<UL>" stand (0 for none).
bool IsCountedLine(std::int32_t item, std::int32_t list) { return item != 0 && list == 0; }

}  // namespace

// Where the markers of a Pomerek line first stand (1-based, 0 for none), found in one
// pass over its '<' and '"' characters rather than one search each.
struct LineMarkers {
  std::int32_t item = 0;
  std::int32_t list = 0;
  std::int32_t listEnd = 0;
  std::int32_t titleEnd = 0;
  std::int32_t urlStart = 0;  // the first '="'
  std::int32_t urlEnd = 0;    // the first '">'
  std::int32_t urlClose = 0;  // the first '"' after urlStart's
};

namespace {

// Notes the quote at 0-based at in line where it ends '="', starts '">' or closes the URL.
void NoteQuote(std::u16string_view line, std::size_t at, LineMarkers& found) {
  const auto position = static_cast<std::int32_t>(at + 1);
  if (found.urlStart != 0 && found.urlClose == 0) found.urlClose = position;
  if (found.urlStart == 0 && at > 0 && line[at - 1] == u'=') found.urlStart = position - 1;
  if (found.urlEnd == 0 && at + 1 < line.size() && line[at + 1] == u'>') found.urlEnd = position;
}

// Notes the '<' at 0-based at in line where it starts one of the markers.
void NoteTagOpen(std::u16string_view line, std::size_t at, LineMarkers& found) {
  const std::u16string_view rest = line.substr(at);
  const auto note = [&rest, at](std::u16string_view marker, std::int32_t& where) {
    if (where == 0 && StartsWithText(rest, marker)) where = static_cast<std::int32_t>(at + 1);
  };
  switch (rest.size() > 1 ? rest[1] : u'\0') {
    case u'L':
      note(kItem, found.item);
      break;
    case u'U':
      note(kList, found.list);
      break;
    case u'/':
      note(kListEnd, found.listEnd);
      note(kTitleEnd, found.titleEnd);
      break;
    default:
      break;
  }
}

LineMarkers FindMarkers(std::u16string_view line) {
  // Four units at a time; marked units are checked one by one.
  LineMarkers found;
  const auto note = [&line, &found](std::size_t at) {
    if (line[at] == u'<') {
      NoteTagOpen(line, at, found);
    } else if (line[at] == u'"') {
      NoteQuote(line, at, found);
    }
  };
  std::size_t at = 0;
  for (; line.size() >= 4 && at <= line.size() - 4; at += 4) {
    std::uint64_t word = 0;
    std::memcpy(&word, line.data() + at, sizeof word);
    std::uint64_t marked = MarkUnits(word, u'<') | MarkUnits(word, u'"');
    if (marked == 0) continue;
    if constexpr (std::endian::native == std::endian::little) {
      for (; marked != 0; marked &= marked - 1) {
        note(at + static_cast<std::size_t>(std::countr_zero(marked)) / 16);
      }
    } else {
      for (std::size_t unit = 0; unit < 4; ++unit) note(at + unit);
    }
  }
  for (; at < line.size(); ++at) note(at);
  return found;
}

// Mid without a copy: up to length units from 1-based start, empty past the end or for
// length <= 0.
std::u16string_view MidView(std::u16string_view text, std::int32_t start, std::int32_t length) {
  if (start < 1 || length <= 0 || static_cast<std::size_t>(start) > text.size()) return {};
  return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length));
}

// Counts what a grammar finds, in the counting pass.
class BookmarkCounter final : public BookmarkEvents {
 public:
  std::int32_t count = 0;

  void OpenFolder(std::u16string&) override {}
  void CloseFolder() override {}
  void Bookmark(std::u16string_view, std::u16string_view) override { Increment(count); }
  void MalformedBookmark(std::int32_t, std::u16string_view) override { Increment(count); }
  void SkippedQuery() override { Increment(count); }
};

// The name of a bookmark without a title: its URL's host (after the first "://", up to
// the next "/", "?" or "#"), or the whole URL when it names no host.
std::u16string UntitledName(std::u16string_view url) {
  const std::size_t scheme = url.find(kSchemeEnd);
  if (scheme == std::u16string_view::npos) return std::u16string(url);
  const std::u16string_view rest = url.substr(scheme + kSchemeEnd.size());
  return std::u16string(rest.substr(0, rest.find_first_of(u"/?#")));
}

// Reads every line of the open file as bytes, handing each to examine with its 1-based
// number and whether it was too long to be read (it is then empty).
template <typename Examine>
IoResult ForEachLineBytes(SequentialFiles& files, std::int32_t fileNumber, Examine examine) {
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

// Hands a line to a browser export's grammar: a UTF-8 file as it stands, since the grammar
// decodes only the text it keeps; any other file decoded into line.
void FeedExport(NetscapeGrammar& grammar, SequentialFiles& files, std::int32_t fileNumber,
                std::string_view bytes, std::int32_t lineNumber, std::u16string& line) {
  if (files.IsUtf8(fileNumber)) {
    grammar.FeedUtf8(bytes, lineNumber);
  } else {
    files.DecodeLine(fileNumber, bytes, line);
    grammar.Feed(line, lineNumber);
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
  const std::u16string path = window_.PathText();
  if (path.empty()) return Fail(ConversionReport::Outcome::kPathNotSet, kPathNotSetMessage);
  state_.depth = 0;
  if (IoResult result = CountEntries(); !result) {
    return Fail(ConversionReport::Outcome::kCannotRead, CannotReadMessage(path, result.reason));
  }
  window_.SetProgressMaximum(static_cast<float>(state_.entryCount));
  window_.SetProgressValue(0.0f);
  ShortcutWriter writer(state_, window_, platform_, files_);
  if (IoResult result = ConvertEntries(writer); !result) {
    return Fail(ConversionReport::Outcome::kCannotRead,
                CannotReadMessage(window_.PathText(), result.reason));
  }
  report_.changedDuringRun = recounted_ != state_.entryCount;
  window_.ShowMessage(CompletionMessage(report_));
  return report_;
}

ConversionReport BookmarkConverter::Fail(ConversionReport::Outcome outcome,
                                         std::u16string_view message) {
  report_.outcome = outcome;
  window_.ShowMessage(message);
  return report_;
}

// The reading that counts also decides the encoding, which the start of a file nearly
// always tells, and whether lines must be searched for "<LI>": a file whose start has none
// is nearly always a browser export, whose lines are not searched. A file whose whole says
// otherwise than its start is counted once more, as its whole says.
IoResult BookmarkConverter::CountEntries() {
  state_.inputFile = files_.FreeFile();
  TextEncoding counted = TextEncoding::kAnsiCodePage;
  IoResult result = files_.OpenForInputDetecting(window_.PathText(), state_.inputFile, counted);
  if (!result) return result;
  const bool searchItems = files_.MayHoldItems(state_.inputFile);
  result = CountOpenFile(searchItems);
  if (result) result = files_.DetectedEncoding(state_.inputFile, encoding_);
  const bool missedItems = !searchItems && files_.MayHoldItems(state_.inputFile);
  files_.Close(state_.inputFile);
  if (!result || (encoding_ == counted && !missedItems)) return result;
  result = files_.OpenForInput(window_.PathText(), state_.inputFile, encoding_);
  if (!result) return result;
  result = CountOpenFile(true);
  files_.Close(state_.inputFile);
  return result;
}

// One reading decides the format: a line holding "<LI>" makes it the Pomerek file,
// otherwise a "<DT>" tag a Netscape bookmark file. Both are counted as the file is read,
// the Netscape one until the first "<LI>" rules it out.
IoResult BookmarkConverter::CountOpenFile(bool findItems) {
  state_.entryCount = 0;
  std::int32_t lineItems = 0;
  std::int32_t tooLongLines = 0;
  bool sawItem = false;
  bool sawTerm = false;
  BookmarkCounter netscapeItems;
  NetscapeGrammar netscape(netscapeItems, false);
  // Lines are counted from their bytes where the encoding allows: decoding them would
  // find the same markers, and take most of the time of this pass.
  const std::int32_t file = state_.inputFile;
  const bool utf8 = files_.IsUtf8(file);
  IoResult result = ForEachLineBytes(
      files_, file, [&](std::string_view bytes, std::int32_t lineNumber, bool tooLong) {
        if (tooLong) Increment(tooLongLines);
        if (findItems && files_.LineHolds(file, bytes, kItemBytes)) {
          sawItem = true;
          if (!files_.LineHolds(file, bytes, kListBytes)) Increment(lineItems);
        }
        if (sawItem) return;
        FeedExport(netscape, files_, file, bytes, lineNumber, state_.currentLine);
        if (!sawTerm) sawTerm = utf8 ? HoldsDtTag(bytes) : HoldsDtTag(state_.currentLine);
      });
  if (!result) return result;
  netscape.Finish();
  grammar_ = sawItem ? Grammar::kLines : sawTerm ? Grammar::kNetscape : Grammar::kNone;
  const std::int32_t items = grammar_ == Grammar::kLines      ? lineItems
                             : grammar_ == Grammar::kNetscape ? netscapeItems.count
                                                              : 0;
  state_.entryCount = static_cast<std::int32_t>(std::min<std::int64_t>(
      std::int64_t{items} + tooLongLines, std::numeric_limits<std::int32_t>::max()));
  return result;
}

IoResult BookmarkConverter::ConvertEntries(ShortcutWriter& writer) {
  state_.inputFile = files_.FreeFile();
  IoResult result = files_.OpenForInput(window_.PathText(), state_.inputFile, encoding_);
  if (!result) return result;
  writer_ = &writer;
  recounted_ = 0;
  // Lines are read and taken apart some at a time, and their shortcuts written after.
  BookmarkQueue queue;
  NetscapeGrammar netscape(queue, true);
  const std::int32_t file = state_.inputFile;
  result = ForEachLineBytes(
      files_, file, [&](std::string_view bytes, std::int32_t lineNumber, bool tooLong) {
        if (tooLong) {
          queue.HandOn(*this);
          Increment(recounted_);
          CountMalformed(lineNumber, kLineTooLong);
        }
        if (grammar_ == Grammar::kLines) {
          files_.DecodeLine(file, bytes, state_.currentLine);
          if (!tooLong) ExamineLine(lineNumber, queue);
        } else if (grammar_ == Grammar::kNetscape) {
          FeedExport(netscape, files_, file, bytes, lineNumber, state_.currentLine);
        }
        if (queue.Full()) queue.HandOn(*this);
      });
  if (result && grammar_ == Grammar::kNetscape) netscape.Finish();
  // The file stays open until the last shortcut is written: no shortcut may replace it.
  queue.HandOn(*this);
  files_.Close(state_.inputFile);
  writer_ = nullptr;
  return result;
}

void BookmarkConverter::ExamineLine(std::int32_t lineNumber, BookmarkEvents& events) {
  const LineMarkers found = FindMarkers(state_.currentLine);
  if (IsCountedLine(found.item, found.list)) Increment(recounted_);
  if (found.list != 0) {
    state_.endPos = found.list;
    OpenFolderLine(found.item, events);
  } else if (found.listEnd != 0) {
    // The line closes its folder. A bookmark written on it too is not converted, and is
    // reported rather than lost without a word.
    if (found.item != 0 && found.titleEnd != 0) {
      events.MalformedBookmark(lineNumber, kBookmarkOnClosingLine);
    }
    events.CloseFolder();
  } else if (found.item != 0) {
    ConvertBookmarkLine(lineNumber, found, events);
  }
}

// A line with "<LI>" and "<UL>" opens a folder named by the text between them; "<UL>"
// alone only encloses a list and leaves the nesting as it is.
void BookmarkConverter::OpenFolderLine(std::int32_t item, BookmarkEvents& events) {
  if (item == 0) return;
  state_.startPos = item + static_cast<std::int32_t>(kItem.size());
  std::u16string name = Mid(state_.currentLine, state_.startPos, state_.endPos - state_.startPos);
  events.OpenFolder(name);
}

// A bookmark line holds the URL between '="' and the next '"', and the title between the
// first '">' and the first "</A>" after it.
void BookmarkConverter::ConvertBookmarkLine(std::int32_t lineNumber, const LineMarkers& found,
                                            BookmarkEvents& events) {
  const std::u16string& line = state_.currentLine;
  const std::int32_t urlStart = found.urlStart;
  const std::int32_t urlEnd = found.urlEnd;
  if (urlStart == 0 || urlEnd < urlStart + 2 || found.titleEnd < urlEnd + 2) {
    events.MalformedBookmark(lineNumber, kMalformedBookmarkLine);
    return;
  }
  state_.startPos = urlStart + 2;
  state_.endPos = urlEnd - 2;
  const std::u16string_view url = MidView(line, state_.startPos, found.urlClose - state_.startPos);
  state_.startPos = state_.endPos + 4;
  state_.endPos = found.titleEnd;
  const std::u16string_view title = MidView(line, state_.startPos, state_.endPos - state_.startPos);
  events.Bookmark(url, title);
}

void BookmarkConverter::OpenFolder(std::u16string& name) {
  Increment(state_.depth);
  if (!FolderNames::HasSlot(state_.depth)) return;
  ReplaceForbiddenCharacters(name);
  state_.folderNames[state_.depth] = MakeWindowsSafe(std::move(name), NameKind::kFolder);
}

void BookmarkConverter::CloseFolder() { Decrement(state_.depth); }

void BookmarkConverter::AdvanceProgress() {
  window_.SetProgressValue(window_.ProgressValue() + 1.0f);
  Increment(report_.bookmarkLines);
}

void BookmarkConverter::Bookmark(std::u16string_view url, std::u16string_view title) {
  if (grammar_ == Grammar::kNetscape) Increment(recounted_);
  AdvanceProgress();
  state_.entryUrl.assign(url);
  state_.entryTitle.assign(title);
  ReplaceForbiddenCharacters(state_.entryTitle);
  state_.entryTitle = MakeWindowsSafe(std::move(state_.entryTitle), NameKind::kTitle);
  if (state_.entryTitle.empty()) {
    // A bookmark kept for its icon alone is named after the site it opens.
    std::u16string name = UntitledName(url);
    ReplaceForbiddenCharacters(name);
    state_.entryTitle = MakeWindowsSafe(std::move(name), NameKind::kTitle);
    if (state_.entryTitle.empty()) state_.entryTitle = kUntitledName;
  }

  const ShortcutOutcome outcome = writer_->WriteShortcut();
  if (outcome.result) {
    Increment(report_.written);
    if (observer_) observer_->ShortcutWritten(state_.targetPath);
    return;
  }
  if (report_.failedShortcuts++ == 0) {
    report_.firstFailedPath = outcome.failedPath;
    report_.firstFailureReason = outcome.result.reason;
  }
  if (observer_) observer_->ShortcutFailed(outcome.failedPath, outcome.result.reason);
}

void BookmarkConverter::MalformedBookmark(std::int32_t lineNumber, std::u16string_view reason) {
  if (grammar_ == Grammar::kNetscape) Increment(recounted_);
  CountMalformed(lineNumber, reason);
}

void BookmarkConverter::CountMalformed(std::int32_t lineNumber, std::u16string_view reason) {
  AdvanceProgress();
  if (report_.malformedLines++ == 0) report_.firstMalformedLine = lineNumber;
  if (observer_) observer_->LineUnreadable(lineNumber, reason);
}

void BookmarkConverter::SkippedQuery() {
  Increment(recounted_);
  AdvanceProgress();
  Increment(report_.skippedQueries);
}

}  // namespace velkora
