#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/interfaces/conversion_window.h"
#include "engine/interfaces/platform_services.h"
#include "engine/run/conversion_observer.h"
#include "engine/run/conversion_report.h"
#include "engine/run/conversion_state.h"
#include "engine/sources/bookmark_events.h"
#include "engine/sources/browser_source.h"
#include "engine/sources/html/text_files.h"
#include "engine/text/text_encoding.h"

namespace velkora {

class ShortcutWriter;

// The conversion run behind the Convert button. It reads the bookmark file named in the
// path box twice: first to decide its encoding and format and count its bookmarks, then
// to hand its lines to the grammar of its format, whose events become folders and one
// Internet Shortcut per bookmark below the directory list's current path. The file is
// either the Pomerek browser's list-item file or a browser's export in the Netscape
// bookmark file format.
class BookmarkConverter : private BookmarkEvents {
 public:
  // observer, when given, hears of every shortcut written or failed and every bookmark
  // line that could not be read, as the run goes.
  BookmarkConverter(ConversionState& state, ConversionWindow& window,
                    const PlatformServices& platform, ConversionObserver* observer = nullptr);

  // Runs a whole conversion and reports its end in a message. The target is held and
  // locked from the start to the end: the one in the state when it was held for this
  // target, else the run holds it itself, or refuses to run.
  ConversionReport ConvertBookmarks();

  // Decides the file's encoding and format, and counts the bookmarks of the file in the
  // path box into entryCount. A file that is not text is left uncounted.
  IoResult CountEntries();

 private:
  enum class Format { kNone, kPomerek, kNetscape };

  // Counts the bookmarks of the file open as inputFile, in the encoding the start of the
  // file says, and decides its format, counting too the bookmarks of the other format
  // that reading it as its format leaves out; findItems: its lines are searched for
  // "<LI>", which a browser export lacks.
  IoResult CountOpenFile(TextEncoding encoding, bool findItems);
  // Counts the bookmarks of a browser's own store, of kind, and keeps its source for the
  // writing pass.
  IoResult CountBrowserSource(SourceKind kind);
  // Reads the file through the grammar of its format, writing what it finds.
  IoResult ConvertEntries(ShortcutWriter& writer);
  // Takes the stamp of the file open as inputFile: the first of a run is kept, each later
  // one compared with it. A stamp that differs, or cannot be taken, means the file changed.
  void CheckStamp(bool first = false);
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
  // A bookmark that could not be read, for reason; bookmark holds what was read of it.
  void Unreadable(const BookmarkRecord& bookmark, std::u16string_view reason);
  // One more bookmark met: progress, the report, and the count that tells a file changed
  // since it was counted.
  void CountBookmark();

  ConversionState& state_;
  ConversionWindow& window_;
  const PlatformServices& platform_;
  ConversionObserver* observer_;
  SequentialFiles files_;
  ConversionReport report_;
  TextEncoding encoding_ = TextEncoding::kAnsiCodePage;
  Format format_ = Format::kNone;
  // The writer of the writing pass, which follows the folders its events open and close.
  ShortcutWriter* writer_ = nullptr;
  // A shortcut's name, and a URL whose control characters are encoded; kept, so that
  // their memory serves every bookmark.
  std::u16string name_;
  std::u16string url_;
  // The bookmarks the writing pass has met, counted as the counting pass counts them.
  std::int32_t recounted_ = 0;
  // The bookmarks the counting pass found in the format the file is not read as.
  std::int32_t otherFormatEntries_ = 0;
  // The file's stamp when the counting pass opened it, and whether a later one differed.
  FileStamp countedStamp_;
  bool stampChanged_ = false;
  // The source of a browser's own store, when the file is one; else the file is text.
  std::unique_ptr<BookmarkSource> browserSource_;
  // Why the file is not text; empty when it may be.
  std::u16string_view nonTextReason_;
};

}  // namespace velkora
