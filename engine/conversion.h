#pragma once

#include <cstdint>
#include <string>

#include "engine/bookmark_events.h"
#include "engine/conversion_observer.h"
#include "engine/conversion_report.h"
#include "engine/conversion_state.h"
#include "engine/conversion_window.h"
#include "engine/platform_services.h"
#include "engine/text_encoding.h"
#include "engine/text_files.h"

namespace velkora {

class ShortcutWriter;
struct LineMarkers;

// The conversion run behind the Convert button: reads the bookmark file named in the
// path box twice, first to count its bookmarks, then to follow its folders and write one
// Internet Shortcut per bookmark below the directory list's current path. The file is
// either the Pomerek browser's list-item file, read line by line, or a browser's export in
// the Netscape bookmark file format.
class BookmarkConverter : private BookmarkEvents {
 public:
  // observer, when given, hears of every shortcut written or failed and every bookmark
  // line that could not be read, as the run goes.
  BookmarkConverter(ConversionState& state, ConversionWindow& window,
                    const PlatformServices& platform, ConversionObserver* observer = nullptr);

  // Runs a whole conversion and reports its end in a message.
  ConversionReport ConvertBookmarks();

  // Decides the file's encoding and format, and counts the bookmarks of the file in the
  // path box into entryCount.
  IoResult CountEntries();

 private:
  enum class Grammar { kNone, kLines, kNetscape };

  // Counts the bookmarks of the file open as inputFile, read in its encoding; findItems:
  // its lines are searched for "<LI>", which a browser export lacks.
  IoResult CountOpenFile(bool findItems);
  IoResult ConvertEntries(ShortcutWriter& writer);
  // Reads the Pomerek line in currentLine, handing what it finds to events.
  void ExamineLine(std::int32_t lineNumber, BookmarkEvents& events);
  // item: where the line's "<LI>" stands, 0 for none.
  void OpenFolderLine(std::int32_t item, BookmarkEvents& events);
  // found: where the line's markers stand.
  void ConvertBookmarkLine(std::int32_t lineNumber, const LineMarkers& found,
                           BookmarkEvents& events);
  ConversionReport Fail(ConversionReport::Outcome outcome, std::u16string_view message);

  // The events of either grammar, in the writing pass.
  void OpenFolder(std::u16string& name) override;
  void CloseFolder() override;
  void Bookmark(std::u16string_view url, std::u16string_view title) override;
  void MalformedBookmark(std::int32_t lineNumber, std::u16string_view reason) override;
  void SkippedQuery() override;
  void AdvanceProgress();
  void CountMalformed(std::int32_t lineNumber, std::u16string_view reason);

  ConversionState& state_;
  ConversionWindow& window_;
  const PlatformServices& platform_;
  ConversionObserver* observer_;
  SequentialFiles files_;
  ConversionReport report_;
  TextEncoding encoding_ = TextEncoding::kAnsiCodePage;
  Grammar grammar_ = Grammar::kNone;
  ShortcutWriter* writer_ = nullptr;
  // Items of the writing pass that the counting pass counts, to tell a file changed
  // between the passes.
  std::int32_t recounted_ = 0;
};

}  // namespace velkora
