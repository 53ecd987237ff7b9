#pragma once

#include <cstdint>
#include <string>

#include "engine/conversion_observer.h"
#include "engine/conversion_report.h"
#include "engine/conversion_state.h"
#include "engine/conversion_window.h"
#include "engine/platform_services.h"
#include "engine/text_files.h"

namespace velkora {

class ShortcutWriter;

// The conversion run behind the Convert button: reads the bookmark file named in the
// path box twice, first to count its bookmarks, then to follow its folders and write one
// Internet Shortcut per bookmark below the directory list's current path.
class BookmarkConverter {
 public:
  // observer, when given, hears of every shortcut written or failed and every bookmark
  // line that could not be read, as the run goes.
  BookmarkConverter(ConversionState& state, ConversionWindow& window,
                    const PlatformServices& platform, ConversionObserver* observer = nullptr);

  // Runs a whole conversion and reports its end in a message.
  ConversionReport ConvertBookmarks();

  // Counts the bookmark lines of the file in the path box into entryCount.
  IoResult CountEntries();

 private:
  IoResult ConvertEntries(ShortcutWriter& writer);
  void ExamineLine(std::int32_t lineNumber, ShortcutWriter& writer);
  void OpenFolder();
  void ConvertBookmarkLine(std::int32_t lineNumber, ShortcutWriter& writer);
  ConversionReport Fail(ConversionReport::Outcome outcome, std::u16string_view message);

  ConversionState& state_;
  ConversionWindow& window_;
  const PlatformServices& platform_;
  ConversionObserver* observer_;
  SequentialFiles files_;
  ConversionReport report_;
};

}  // namespace velkora
