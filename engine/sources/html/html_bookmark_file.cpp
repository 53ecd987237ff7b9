#include "engine/sources/html/html_bookmark_file.h"

#include <utility>

#include "engine/run/refusal_reasons.h"
#include "engine/sources/html/line_decoder.h"
#include "engine/sources/html/netscape_grammar.h"
#include "engine/sources/html/pomerek_grammar.h"

namespace velkora {

HtmlBookmarkFile::HtmlBookmarkFile(FileStreams& streams, const AnsiCodePage& codePage,
                                   std::u16string path, std::unique_ptr<BookmarkFile> opened)
    : streams_(streams), codePage_(codePage), path_(std::move(path)), opened_(std::move(opened)) {}

// The reading that counts also decides the encoding, which the start of a file nearly
// always tells, and whether lines must be searched for "<LI>": a file whose start has none
// is nearly always a browser export, whose lines are not searched. A file whose whole says
// otherwise than its start is counted once more, as its whole says.
IoResult HtmlBookmarkFile::Count(SourceCount& count) {
  count = {};
  std::unique_ptr<BookmarkFile> file = std::move(opened_);
  TextEncoding counted = TextEncoding::kAnsiCodePage;
  IoResult result = IoResult::Success();
  if (file) {
    counted = file->Encoding();
  } else {
    result = BookmarkFile::OpenDetecting(streams_, path_, file, counted);
    if (!result) return result;
  }
  CheckStamp(*file, true);
  const bool searchItems = file->MayHoldItems();
  HtmlFormatCount found;
  result = CountBothFormats(*file, counted, codePage_, searchItems, found);
  if (result) result = file->DetectedEncoding(encoding_);
  const bool missedItems = !searchItems && file->MayHoldItems();
  file.reset();
  if (result && (encoding_ != counted || missedItems)) {
    result = BookmarkFile::Open(streams_, path_, encoding_, file);
    if (!result) return result;
    CheckStamp(*file);
    result = CountBothFormats(*file, encoding_, codePage_, true, found);
  }
  format_ = found.format;
  count = {found.bookmarks, found.otherFormatBookmarks};
  return result;
}

IoResult HtmlBookmarkFile::Read(BookmarkEvents& events) {
  std::unique_ptr<BookmarkFile> file;
  IoResult result = BookmarkFile::Open(streams_, path_, encoding_, file);
  if (!result) return result;
  // Another file in its place, or the same one written since, may hold as many bookmarks:
  // the count alone would not tell.
  CheckStamp(*file);
  return ReadLines(*file, events);
}

// The lines' events go to events as the grammar finds them; a run reads ahead, and batches
// them on the way (ReadAhead).
IoResult HtmlBookmarkFile::ReadLines(BookmarkFile& file, BookmarkEvents& events) {
  const LineDecoder decoder(encoding_, codePage_);
  PomerekGrammar pomerek(events, decoder, GrammarMode::kRead);
  NetscapeGrammar netscape(events, decoder, GrammarMode::kRead);
  BookmarkGrammar* grammar = format_ == HtmlFormat::kPomerek
                                 ? static_cast<BookmarkGrammar*>(&pomerek)
                             : format_ == HtmlFormat::kNetscape ? &netscape
                                                                : nullptr;
  bool stopped = false;
  IoResult result =
      ForEachLine(file, [&](std::string_view bytes, std::int32_t lineNumber, bool tooLong) {
        if (tooLong) events.MalformedBookmark(lineNumber, kLineTooLong);
        if (grammar != nullptr) grammar->Feed(bytes, lineNumber);
        stopped = events.StopRequested();
        return !stopped;
      });
  if (stopped) return result;
  if (result && grammar != nullptr) grammar->Finish();
  // The file stays open until the last shortcut is written: no shortcut may replace it.
  events.WaitUntilHandled();
  // Written while this pass read it, or while its shortcuts were written.
  if (result) CheckStamp(file);
  return result;
}

void HtmlBookmarkFile::CheckStamp(const BookmarkFile& file, bool first) {
  FileStamp stamp;
  const bool taken = static_cast<bool>(file.Stamp(stamp));
  if (first) {
    countedStamp_ = stamp;
    stampChanged_ = !taken;
  } else if (!taken || stamp != countedStamp_) {
    stampChanged_ = true;
  }
}

}  // namespace velkora
